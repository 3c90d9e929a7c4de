#pragma once
// "工程管理": the project's flash layout and its download. Two tabs: "预置画面 " (the page
// map, the page order list, the picked page's fields, the next-page picker and the display
// modes) and "局部位图" (the map of one block of the local-bitmap area and the bitmap
// pickers); beside them the download settings and commands, below them the reports, the
// test display and "退出". Every rule is the core's (FlashLayout, FlashImage); the maps
// show on hover who owns a cell, and a status line names the runs in collision.

#include <QDialog>
#include <functional>
#include <memory>

#include "project/FlashImage.h"
#include "project/FlashLayout.h"

class FlashMapView;
class ModuleLink;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class ReorderList;
class Workspace;

class ProjectManagerDialog : public QDialog {
    Q_OBJECT
public:
    // What a file dialog is asked: its title, filter, and whether it saves. The answer is
    // a path, or "" when cancelled.
    using ChooseFile =
        std::function<std::string(const QString& title, const QString& filter, bool save)>;

    ProjectManagerDialog(Workspace& workspace, ModuleLink& link, ChooseFile chooseFile,
                         QWidget* parent = nullptr);
    ~ProjectManagerDialog() override;

    FlashLayout& layout() { return m_layout; }
    FlashImage& image() { return m_image; }
    QTabWidget* tabs() const { return m_tabs; }
    FlashMapView* pageMap() const { return m_pageMap; }
    FlashMapView* bitmapMap() const { return m_bitmapMap; }
    ReorderList* orderList() const { return m_order; }
    QComboBox* nextPicker() const { return m_next; }
    // The "显示模式:" radios, in FlashLayout::DisplayMode order.
    QButtonGroup* modeButtons() const { return m_modes; }
    QComboBox* bitmapNamePicker() const { return m_bmpName; }
    QComboBox* bitmapBlockPicker() const { return m_bmpBlock; }
    QComboBox* bitmapStartPicker() const { return m_bmpStart; }
    // The status line naming collisions, and the hover line under the maps.
    QLabel* statusLine() const { return m_status; }
    QLabel* doneLine() const { return m_done; }
    QLabel* hoverLine() const { return m_hover; }
    // The push button labelled `text` ("下载", "导出", ...).
    QPushButton* button(const QString& text) const;
    // "名称:", "开始页面:", "长度:" of the page tab.
    QString pageFields() const;

protected:
    // The close box (and Escape) is refused while a collision stands.
    void reject() override;

private:
    QWidget* buildPageTab();
    QWidget* buildBitmapTab();
    QWidget* buildSettings();
    QWidget* buildBottomRow();
    QPushButton* addButton(const QString& text, void (ProjectManagerDialog::*slot)());

    void refreshMaps();
    // The hover lines (and the maps' tool tips) for the cells last under the pointer.
    void showHover();
    void showPage(CLedDoc* page);
    void pagePressed(int x, int y);
    void pageDragged(int x, int y);
    void titleChosen(int row);
    void modeChosen(int mode);
    void nextChosen(int index);
    void openedTab(int index);
    void bitmapPressed(int x, int y);
    void bitmapDragged(int x, int y);
    void showBitmap(int index);
    void bitmapNameChosen(int index);
    void bitmapBlockChosen(int block);
    void bitmapStartChosen(int start);

    void instructionModeChosen(int mode);
    void boardChosen(int board);
    void baudChosen(int index);
    void showBaud();
    void send(CByteArray& command);
    void download();
    void exportImage();
    void showOnModule();
    void linkSettings();
    void crcTable();
    void startCheck();
    void readVersion();
    void readConfiguration();
    void characterSwitch();
    void parallelSwitch();
    void pageSize();
    void testDisplay();
    void bitmapReport();
    void backgroundReport();

    Workspace& m_ws;
    ModuleLink& m_link;
    ChooseFile m_chooseFile;
    FlashLayout m_layout;
    FlashImage m_image;
    QTabWidget* m_tabs = nullptr;
    FlashMapView* m_pageMap = nullptr;
    FlashMapView* m_bitmapMap = nullptr;
    QGroupBox* m_bitmapBox = nullptr;
    ReorderList* m_order = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_start = nullptr;
    QLabel* m_count = nullptr;
    QComboBox* m_next = nullptr;
    QButtonGroup* m_modes = nullptr;
    QComboBox* m_bmpName = nullptr;
    QComboBox* m_bmpBlock = nullptr;
    QComboBox* m_bmpStart = nullptr;
    QLabel* m_bmpCount = nullptr;
    QLabel* m_bmpSize = nullptr;
    QLabel* m_bmpOwner = nullptr;
    QComboBox* m_mode = nullptr;
    QButtonGroup* m_boards = nullptr;
    QComboBox* m_baud = nullptr;
    QCheckBox* m_crc = nullptr;
    QCheckBox* m_changed = nullptr;
    QCheckBox* m_verify = nullptr;
    QLabel* m_done = nullptr;  // what the last download or export did
    QPushButton* m_charSwitch = nullptr;
    QPushButton* m_parallelSwitch = nullptr;
    QPushButton* m_pageSize = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_hover = nullptr;
    QLabel* m_bitmapHover = nullptr;
    int m_pageCell = -1;
    int m_bitmapCell = -1;
    QList<QPushButton*> m_buttons;
};
