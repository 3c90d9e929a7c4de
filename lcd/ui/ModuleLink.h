#pragma once
// The editor's one road to the module. It owns the link settings (one copy: read at start,
// changed by the settings dialog, saved at once when the baud rate or the board type
// changes), opens the chosen link (a port, or the virtual module in its dock) and runs
// every transfer and every immediate command on the download worker, under the progress
// dialog and its stop button. Windows ask it; none opens a link of its own.

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

#include "base/ByteArray.h"
#include "link/Download.h"
#include "link/LinkSettings.h"
#include "project/ScreenParams.h"
#include "ui/dialogs/CommSettingsDialog.h"

class DownloadProgressDialog;
class Messenger;
class QWidget;
class VirtualModuleDock;

class ModuleLink : public QObject {
    Q_OBJECT
public:
    // How long quitting or closing waits for a stopped transfer's worker.
    static constexpr int kStopBudgetMs = 1000;
    // The screen the virtual module takes: the page in front, else the project.
    using ScreenOf = std::function<ScreenParams()>;
    // Opens the link in place of the chosen one (tests record what goes out).
    using Opener = std::function<std::unique_ptr<Link>(LinkSettings&, Messenger&)>;

    // `window` parents the dialogs and the virtual module's dock.
    ModuleLink(QWidget* window, Messenger& messenger, ScreenOf screen = {});
    ~ModuleLink() override;

    // Reads the settings files of `dir` (the settings directory when empty); the warning
    // for a damaged file, else empty. Without files nothing is chosen yet.
    std::string load(const std::string& dir = "");
    const LinkSettings& settings() const { return m_settings; }
    // Settings given by the caller count as chosen.
    void setSettings(LinkSettings settings);
    // "设置通信方式": true when the user confirmed (the settings are saved then).
    bool editSettings();
    // The baud rate the module was just told, and the page manager's board type.
    void setBaudRate(int32_t rate);
    void setBoardType(int32_t board);

    // While set, the virtual module takes this screen rather than ScreenOf's (the
    // project manager's project, whatever page is in front).
    void setScreen(std::optional<ScreenParams> screen) { m_fixedScreen = std::move(screen); }

    // A download with the progress dialog titled `title`; the outcome (already told).
    SendResult transfer(CByteArray bytes, const QString& title);
    // An immediate command; `bytes` is emptied. True when it went out (failures told).
    bool command(CByteArray& bytes);
    // Opening (its questions and refusals are on screen) or transferring.
    bool busy() const { return m_opening || !m_running.isNull(); }
    // Stops a running transfer and waits for its worker within the stop budget; true when
    // nothing runs any more.
    bool stop();
    const SendResult& lastResult() const { return m_last; }
    // How long the last transfer took, in seconds.
    double lastSeconds() const { return m_lastSeconds; }
    // Whether the last transfer's link answers (not so a CAN adapter).
    bool lastAcknowledged() const { return m_lastAcknowledged; }

    VirtualModuleDock* dock() const { return m_dock; }
    void setPortFinder(CommSettingsDialog::PortFinder finder) { m_finder = std::move(finder); }
    void setOpener(Opener opener) { m_opener = std::move(opener); }

signals:
    // The settings changed (dialog, baud rate, board type).
    void settingsChanged();

private:
    std::unique_ptr<Link> open();
    SendResult run(CByteArray bytes, const QString& title, Download::Mode mode);
    void save();

    QWidget* m_window;
    Messenger& m_messenger;
    ScreenOf m_screen;
    std::optional<ScreenParams> m_fixedScreen;
    LinkSettings m_settings;
    bool m_chosen = false;
    bool m_opening = false;
    CommSettingsDialog::PortFinder m_finder;
    Opener m_opener;
    VirtualModuleDock* m_dock;
    QPointer<DownloadProgressDialog> m_running;
    SendResult m_last;
    double m_lastSeconds = 0;
    bool m_lastAcknowledged = true;
};
