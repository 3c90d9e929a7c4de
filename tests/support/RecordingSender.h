#pragma once
// A ModuleSender for widget tests: records every download and immediate command as hex
// and answers from `ok`; the link settings stay in memory.

#include <QStringList>

#include "ui/ModuleSender.h"

class RecordingSender : public ModuleSender {
public:
    bool send(CByteArray bytes, const QString& title) override {
        downloads.append(title + QLatin1Char(':') + Hex(bytes));
        return ok;
    }
    bool sendImmediate(CByteArray& bytes) override {
        commands.append(Hex(bytes));
        bytes.clear();
        return ok;
    }
    void editSettings() override { ++settingsDialogs; }
    const LinkSettings& settings() const override { return link; }
    void setBaudRate(int32_t rate) override { link.baudRate = rate; }
    void setBoardType(int32_t board) override { link.boardType = board; }

    static QString Hex(const CByteArray& bytes) {
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
            .toHex(' ')
            .toUpper();
    }

    bool ok = true;
    QStringList downloads, commands;
    int settingsDialogs = 0;
    LinkSettings link;
};
