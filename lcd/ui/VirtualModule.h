#pragma once
// The virtual module inside the editor: lcdsim's module model, reached through a Link like
// any port, so that a download, a shown page, a font or a firmware takes the same road as
// to a real module. The worker thread feeds the model while the dock shows its screen, so
// the model is kept behind one mutex; finished screens reach the dock as queued signals.
//
// Choosing it in the link settings is kept in link.conf ("virtual-module = on"); conf.dll
// keeps the real link, so the program's other settings files stay as they are.

#include <QImage>
#include <QObject>
#include <QTemporaryDir>
#include <memory>
#include <mutex>

#include "core/DisplayModule.h"
#include "link/Link.h"

bool UsesVirtualModule(const LinkSettings& settings);
void SetVirtualModule(LinkSettings& settings, bool on);

class VirtualModule : public QObject, private ModuleListener {
    Q_OBJECT
public:
    explicit VirtualModule(QObject* parent = nullptr);
    ~VirtualModule() override;

    // Makes the module fit the page's screen and the board; a module that already fits
    // keeps its flash. A screen no module can have leaves no module (openLink: null).
    void configure(int width, int height, int colours, int board);
    bool configured() const;
    // Counts the modules made so far: a new one starts with an empty flash, so what a
    // download left on an earlier one is not on it.
    int generation() const;
    // Where the editor keeps what downloads left on this module: a temporary folder, made
    // when first asked for, that lives as long as the module's flash does and goes with
    // it; "" when none can be made (then nothing is remembered of the module).
    std::string memoryDir();
    // A link into the module (configure first).
    std::unique_ptr<Link> openLink();

    // The screen as it stands, in module pixels.
    QImage screen() const;
    int shownPage() const;
    // The page the slideshow shows next, or -1 when it has ended.
    int nextPage() const;
    // The lowest page of the page area that holds a stored page, or -1.
    int firstStoredPage() const;
    int warnings() const;
    // The flash as lcdsim keeps it (DisplayModule::SaveFlash); empty without a module.
    CByteArray flash() const;
    // The slideshow: shows stored page `page`, or lets virtual time pass.
    void showPage(int page);
    void advance(double seconds);

signals:
    // A new screen. Sent from whichever thread feeds the module, with the model locked:
    // connect with Qt::QueuedConnection.
    void screenChanged();
    // A command refused or a fault found in what arrived (queued as well).
    void warned(const QString& text);

private:
    friend class VirtualModuleLink;
    void OnWarning(const ModuleEvent& event) override;
    void OnFrame(const Surface& screen, int page) override;

    mutable std::mutex m_mutex;
    std::unique_ptr<DisplayModule> m_module;
    int m_generation = 0;
    std::unique_ptr<QTemporaryDir> m_memory;
    QImage m_screen;
};
