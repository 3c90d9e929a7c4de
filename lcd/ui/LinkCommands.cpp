#include "ui/LinkCommands.h"

#include "base/Messenger.h"
#include "project/CLedDoc.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/PageWindow.h"
#include "ui/VirtualModule.h"
#include "ui/VirtualModuleDock.h"
#include "ui/dialogs/BitmapProcessingDialog.h"
#include "ui/dialogs/DownloadProgressDialog.h"
#include "ui/dialogs/FontDownloadDialog.h"

LinkCommands::LinkCommands(MainWindow& window, Messenger& messenger)
    : QObject(&window),
      m_window(window),
      m_messenger(messenger),
      m_dock(new VirtualModuleDock(&window)) {}

void LinkCommands::followZoom(int zoom) {
    m_dock->setZoom(zoom);
}

bool LinkCommands::run(int command) {
    switch (command) {
        case Cmd::LinkSettings:
            editSettings();
            return true;
        case Cmd::ShowPage:
            showPage();
            return true;
        case Cmd::SendFile:
            sendFile();
            return true;
        case Cmd::SendFont:
            sendFont();
            return true;
        case Cmd::UpgradeCpu:
            upgradeCpu();
            return true;
        case Cmd::BitmapData: {
            BitmapProcessingDialog dialog(m_messenger, m_window.fileChooser(), &m_window);
            dialog.exec();
            return true;
        }
        case Cmd::VirtualModule:
            m_dock->setVisible(m_dock->isHidden());
            return true;
        default:
            return false;
    }
}

bool LinkCommands::editSettings() {
    CommSettingsDialog dialog(m_settings, m_messenger, m_finder, &m_window);
    return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<Link> LinkCommands::openLink() {
    if (UsesVirtualModule(m_settings)) {
        // The module has the screen of the page in front, else of the project.
        ScreenParams screen = m_window.workspace().GetProject().screen;
        if (PageWindow* w = m_window.activePageWindow()) screen = w->page()->GetScreenParams();
        VirtualModule& module = m_dock->module();
        module.configure(screen.logWidth, screen.logHeight, screen.colours, m_settings.boardType);
        m_dock->show();
        m_dock->raise();
        if (auto link = module.openLink()) return link;
        m_messenger.Tell("虚拟模块不能模拟这个屏幕尺寸", "提示");
        return nullptr;
    }
    LinkEnvironment env;
    // Several USB modules, or another one than before: the user picks one.
    env.chooseDevice = [this](LinkSettings& settings) {
        CommSettingsDialog dialog(settings, m_messenger, m_finder, &m_window);
        return dialog.exec() == QDialog::Accepted;
    };
    return OpenLink(m_settings, m_messenger, env);
}

void LinkCommands::download(const DownloadRequest& request) {
    CByteArray bytes;
    if (!BuildDownload(request, m_messenger, bytes)) return;
    std::unique_ptr<Link> link = openLink();
    if (!link) return;
    m_lastResult =
        DownloadProgressDialog::Run(std::move(link), std::move(bytes), m_messenger, &m_window);
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
        editSettings();
    }
    const QString path = AskFile(m_window.fileChooser(), &m_window,
                                 {tr("打开升级程序"), tr("升级程序(*.bin *.hex)"), {}, {}, false});
    if (path.isEmpty()) return;
    DownloadRequest request;
    request.kind = DownloadKind::Firmware;
    request.file = path.toStdString();
    download(request);
}
