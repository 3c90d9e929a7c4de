#include "ui/ModuleLink.h"

#include <QWidget>

#include "base/Messenger.h"
#include "link/PortList.h"
#include "ui/VirtualModule.h"
#include "ui/VirtualModuleDock.h"
#include "ui/dialogs/DownloadProgressDialog.h"

ModuleLink::ModuleLink(QWidget* window, Messenger& messenger, ScreenOf screen)
    : QObject(window),
      m_window(window),
      m_messenger(messenger),
      m_screen(std::move(screen)),
      m_dock(new VirtualModuleDock(window)) {}

ModuleLink::~ModuleLink() {
    stop();
    if (!m_dock->parent()) delete m_dock;
}

std::string ModuleLink::load(const std::string& dir) {
    LinkSettings settings;
    std::string error;
    const LinkSettings::LoadResult loaded = settings.Load(error, dir);
    m_settings = std::move(settings);
    m_chosen = loaded != LinkSettings::LoadResult::Missing;
    emit settingsChanged();
    // A damaged or unreadable file is said now; a transfer refuses it until it is mended.
    return loaded == LinkSettings::LoadResult::Damaged ||
                   loaded == LinkSettings::LoadResult::Unreadable
               ? error
               : std::string();
}

void ModuleLink::setSettings(LinkSettings settings) {
    m_settings = std::move(settings);
    m_chosen = true;
    emit settingsChanged();
}

bool ModuleLink::editSettings() {
    CommSettingsDialog dialog(m_settings, m_messenger, m_finder, m_window);
    if (dialog.exec() != QDialog::Accepted) return false;
    m_chosen = true;
    emit settingsChanged();
    return true;
}

void ModuleLink::save() {
    std::string error;
    // A damaged file is the user's to mend: a baud or board change never writes over it.
    if (!m_settings.loadProblem.empty())
        m_messenger.Tell(m_settings.loadProblem +
                             "。这个改动只在本次运行中有效，不会写入这个文件：请改正或删除它，"
                             "或在通讯口设置中重新保存",
                         "提示");
    else if (!m_settings.Save(error))
        m_messenger.Tell(error, "提示");
    emit settingsChanged();
}

void ModuleLink::setBaudRate(int32_t rate) {
    m_settings.baudRate = rate;
    save();
}

void ModuleLink::setBoardType(int32_t board) {
    if (m_settings.boardType == board) return;
    m_settings.boardType = board;
    save();
}

std::unique_ptr<Link> ModuleLink::open() {
    if (UsesVirtualModule(m_settings)) {
        const ScreenParams screen = m_fixedScreen ? *m_fixedScreen
                                    : m_screen    ? m_screen()
                                                  : ScreenParams{};
        VirtualModule& module = m_dock->module();
        module.configure(screen.logWidth, screen.logHeight, screen.colours, m_settings.boardType);
        m_dock->show();
        m_dock->raise();
        if (auto link = module.openLink()) return link;
        m_messenger.Tell("虚拟模块不能模拟这个屏幕尺寸", "提示");
        return nullptr;
    }
    if (m_opener) return m_opener(m_settings, m_messenger);
    // Nothing chosen yet and the default port is the console: choose first.
    if (const std::string console = m_chosen ? "" : ConsolePortWarning(m_settings);
        !console.empty()) {
        m_messenger.Tell(console + "。请在“设置通信方式”中选择连接。", "提示");
        if (!editSettings()) return nullptr;
        return open();
    }
    LinkEnvironment env;
    // Several USB modules, or another one than before: the user picks one.
    env.chooseDevice = [this](LinkSettings& settings) {
        CommSettingsDialog dialog(settings, m_messenger, m_finder, m_window);
        return dialog.exec() == QDialog::Accepted;
    };
    return OpenLink(m_settings, m_messenger, env);
}

SendResult ModuleLink::run(CByteArray bytes, const QString& title, Download::Mode mode) {
    if (busy()) {
        m_messenger.Tell("正在与模块通讯，请等这次传送结束", "提示");
        return SendResult::Fail("");
    }
    // A refusal on screen runs its own event loop: a timer's next command waits for it.
    m_opening = true;
    std::unique_ptr<Link> link = open();
    m_opening = false;
    if (!link) {
        m_last = SendResult::Fail("");
        return m_last;
    }
    DownloadProgressDialog dialog(std::move(link), std::move(bytes), m_messenger, m_window, mode);
    if (!title.isEmpty()) dialog.setWindowTitle(title);
    m_running = &dialog;
    m_last = dialog.run();
    m_lastSeconds = dialog.seconds();
    m_lastAcknowledged = dialog.acknowledged();
    m_running = nullptr;
    return m_last;
}

SendResult ModuleLink::transfer(CByteArray bytes, const QString& title) {
    return run(std::move(bytes), title, Download::Mode::Transfer);
}

bool ModuleLink::command(CByteArray& bytes) {
    CByteArray taken;
    taken.swap(bytes);
    return run(std::move(taken), {}, Download::Mode::Command).Ok();
}

bool ModuleLink::stop() {
    if (m_running.isNull()) return true;
    const bool ended = m_running->stopAndWait(kStopBudgetMs);
    if (ended && !m_running.isNull()) m_running->done(QDialog::Rejected);
    return ended;
}
