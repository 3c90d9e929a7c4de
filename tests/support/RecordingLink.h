#pragma once
// The link behind ModuleLink::setOpener in widget tests: every transfer and immediate
// command goes through the real service (worker, progress dialog) and arrives here, where
// it is recorded as hex. With `ok` false the link cannot be opened, and its refusal stays
// on screen for `refusalMs` (events go on, as under a message box).

#include <QByteArray>
#include <QStringList>
#include <QTest>
#include <memory>

#include "link/Link.h"
#include "ui/ModuleLink.h"

struct LinkLog {
    bool ok = true;
    int refusalMs = 0;
    int failAfter = -1;  // opens that succeed before the link is lost (-1: `ok` decides)
    int opened = 0;      // times the link was asked for
    QStringList downloads, commands;

    static QString Hex(std::span<const uint8_t> bytes) {
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
            .toHex(' ')
            .toUpper();
    }
    ModuleLink::Opener opener() {
        return [this](LinkSettings&, Messenger&) -> std::unique_ptr<Link> {
            if (failAfter >= 0 && opened >= failAfter) ok = false;
            ++opened;
            if (!ok) QTest::qWait(refusalMs);
            return ok ? std::make_unique<Recording>(*this) : nullptr;
        };
    }

    struct Recording final : Link {
        explicit Recording(LinkLog& log) : m_log(log) {}
        LinkKind Kind() const override { return LinkKind::None; }
        SendResult Send(std::span<const uint8_t> bytes, ProgressSink&,
                        const std::atomic<bool>&) override {
            m_log.downloads.append(Hex(bytes));
            return {SendStatus::Done, int64_t(bytes.size()), {}};
        }
        SendResult SendCommand(std::span<const uint8_t> bytes, const std::atomic<bool>&) override {
            m_log.commands.append(Hex(bytes));
            return {SendStatus::Done, int64_t(bytes.size()), {}};
        }
        LinkLog& m_log;
    };
};
