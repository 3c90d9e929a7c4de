#pragma once
// How the project dialogs reach the module: a download with its progress dialog, an
// immediate command, the link settings. MainWindow provides one; tests give a recorder.

#include <QString>
#include <memory>

#include "base/ByteArray.h"
#include "link/LinkSettings.h"

class Messenger;
class QWidget;

class ModuleSender {
public:
    virtual ~ModuleSender() = default;
    // Sends a whole download (the flash image) with a modal progress dialog titled
    // `title`; true when every byte went out. The user has been told why otherwise.
    virtual bool send(CByteArray bytes, const QString& title) = 0;
    // An immediate command (show page, options, CRC table): opens the link, sends, closes.
    // `bytes` is emptied; true when it went out.
    virtual bool sendImmediate(CByteArray& bytes) = 0;
    // "通信方式": the communication settings dialog.
    virtual void editSettings() = 0;
    // The link as it is set now (the baud picker shows its rate).
    virtual const LinkSettings& settings() const = 0;
    // "快速设定波特率：" after its command went out, and the board type of "板子类型":
    // both are kept with the link settings, which are saved at once.
    virtual void setBaudRate(int32_t rate) = 0;
    virtual void setBoardType(int32_t boardType) = 0;
};

// The sender of a program without the link dialogs: the settings of the settings
// directory, a plain progress dialog, and the download worker of lcd/link.
std::unique_ptr<ModuleSender> MakeLinkSender(QWidget* parent, Messenger& messenger);
