#pragma once
// The commands that talk to the module, routed from the main window: the link settings,
// showing the current page, sending a file, the font download, the CPU program upgrade,
// the bitmap-to-array dialog and the virtual module's dock. Every download is built
// first (nothing is opened for a file that cannot be read), then the link is opened
// (a port, or the virtual module when the settings say so) and the progress dialog sends.

#include <QObject>
#include <memory>

#include "link/Download.h"
#include "link/LinkSettings.h"
#include "ui/dialogs/CommSettingsDialog.h"

class MainWindow;
class Messenger;
class VirtualModuleDock;

class LinkCommands : public QObject {
    Q_OBJECT
public:
    LinkCommands(MainWindow& window, Messenger& messenger);

    // Runs `command` when it is one of these; false for any other command.
    bool run(int command);

    LinkSettings& settings() { return m_settings; }
    void setSettings(LinkSettings settings) { m_settings = std::move(settings); }
    VirtualModuleDock* dock() const { return m_dock; }
    // The virtual module follows the zoom of the page in front.
    void followZoom(int zoom);
    // Replaces the search for ports of the settings dialog (tests).
    void setPortFinder(CommSettingsDialog::PortFinder finder) { m_finder = std::move(finder); }
    // The outcome of the last transfer, for whoever wants to know (tests).
    const SendResult& lastResult() const { return m_lastResult; }

private:
    bool editSettings();
    std::unique_ptr<Link> openLink();
    void download(const DownloadRequest& request);
    void showPage();
    void sendFile();
    void sendFont();
    void upgradeCpu();

    MainWindow& m_window;
    Messenger& m_messenger;
    LinkSettings m_settings;
    CommSettingsDialog::PortFinder m_finder;
    VirtualModuleDock* m_dock;
    SendResult m_lastResult;
    bool m_upgradedOnce = false;
};
