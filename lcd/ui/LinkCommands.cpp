#include "ui/LinkCommands.h"

#include "base/Messenger.h"
#include "project/CLedDoc.h"
#include "ui/MainWindow.h"
#include "ui/ModuleLink.h"
#include "ui/PageWindow.h"
#include "ui/VirtualModuleDock.h"
#include "ui/dialogs/BitmapProcessingDialog.h"
#include "ui/dialogs/FontDownloadDialog.h"

LinkCommands::LinkCommands(MainWindow& window, ModuleLink& link, Messenger& messenger)
    : QObject(&window), m_window(window), m_link(link), m_messenger(messenger) {}

void LinkCommands::bitmapData() {
    BitmapProcessingDialog dialog(m_messenger, m_window.fileChooser(), &m_window);
    dialog.exec();
}

void LinkCommands::download(const DownloadRequest& request) {
    CByteArray bytes;
    if (!BuildDownload(request, m_messenger, bytes)) return;
    m_link.transfer(std::move(bytes), {});
}

void LinkCommands::showPage() {
    PageWindow* window = m_window.activePageWindow();
    if (!window) return;
    DownloadRequest request;
    request.kind = DownloadKind::ActivePage;
    window->page()->EncodeDirect(request.built, m_window.workspace().Settings());
    download(request);
}

void LinkCommands::sendFile() {
    const QString path = AskFile(m_window.fileChooser(), &m_window,
                                 {tr("发送文件"), tr("所有文件 (*)"), {}, {}, false});
    if (path.isEmpty()) return;
    DownloadRequest request;
    request.kind = DownloadKind::RawFile;
    request.file = path.toStdString();
    download(request);
}

void LinkCommands::sendFont() {
    FontDownloadDialog dialog(m_messenger, m_window.fileChooser(), &m_window);
    if (dialog.exec() != QDialog::Accepted) return;
    DownloadRequest request = dialog.request();
    // The font heads are framed in the page manager's instruction mode.
    request.mode = m_window.workspace().Settings().instructionMode;
    download(request);
}

void LinkCommands::upgradeCpu() {
    if (m_messenger.Ask("是否要升级CPU程序？", "提示", Messenger::Buttons::YesNo) !=
        Messenger::Answer::Yes)
        return;
    // The first upgrade of a run confirms the link; cancelling keeps it as it was.
    if (!m_upgradedOnce) {
        m_upgradedOnce = true;
        m_link.editSettings();
    }
    const QString path = AskFile(m_window.fileChooser(), &m_window,
                                 {tr("打开升级程序"), tr("升级程序(*.bin *.hex)"), {}, {}, false});
    if (path.isEmpty()) return;
    DownloadRequest request;
    request.kind = DownloadKind::Firmware;
    request.file = path.toStdString();
    download(request);
}
