#pragma once
// The commands that talk to the module, routed from the main window: the link settings,
// showing the current page, sending a file, the font download, the CPU program upgrade,
// the bitmap-to-array dialog and the virtual module's dock. Every download is built
// first (nothing is opened for a file that cannot be read), then handed to the module
// link, the one road to the module.

#include <QObject>
#include <memory>

#include "link/Download.h"

class MainWindow;
class Messenger;
class ModuleLink;

class LinkCommands : public QObject {
    Q_OBJECT
public:
    LinkCommands(MainWindow& window, ModuleLink& link, Messenger& messenger);

    // "显示当前页面", "发送文件", "传送字库", "升级CPU程序", "提取位图数据".
    void showPage();
    void sendFile();
    void sendFont();
    void upgradeCpu();
    void bitmapData();

private:
    void download(const DownloadRequest& request);

    MainWindow& m_window;
    ModuleLink& m_link;
    Messenger& m_messenger;
    bool m_upgradedOnce = false;
};
