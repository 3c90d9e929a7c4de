#pragma once
// One page's window: the canvas at the module's size times the zoom, framed by a 2-pixel
// border, not resizable by the user. Closing it asks about unsaved changes (through the
// closer the main window installs). It also keeps the page's instruction-tree window.

#include <QMdiSubWindow>
#include <QPointer>
#include <functional>

#include "edit/PageController.h"

class CLedDoc;
class LocalBitmapStore;
class PageCanvas;

class PageWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    // Asked when the user closes the window; false keeps it open.
    using Closer = std::function<bool(PageWindow*)>;

    PageWindow(CLedDoc* page, int zoom, QWidget* parent = nullptr);

    CLedDoc* page() const { return m_page; }
    PageCanvas* canvas() const { return m_canvas; }
    void setCloser(Closer closer) { m_closer = std::move(closer); }
    // The canvas edits the page (see PageCanvas::edit).
    void edit(LocalBitmapStore& bitmaps, PageController::Dialogs dialogs);
    // Closes without asking (the page is already gone or discarded).
    void discard();
    // The page has been closed: the window shows nothing of it any more (page() is null).
    void detach();
    // Follows the page: title, modified mark, size.
    void refresh();

    // The page's instruction-tree window, while it is open.
    QMdiSubWindow* treeWindow() const { return m_treeWindow; }
    void setTreeWindow(QMdiSubWindow* window) { m_treeWindow = window; }
    // Whether the item property panels are shown for this page (command 32802).
    bool showProperties() const { return m_showProperties; }
    void setShowProperties(bool show);

signals:
    // The page's selection, modified flag or undo state changed: the commands follow.
    void stateChanged();
    // The item property panel to show (PropertyPanel::None: none).
    void propertyPanelRequested(PropertyPanel panel);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fitToCanvas();

    CLedDoc* m_page;
    PageCanvas* m_canvas;
    Closer m_closer;
    bool m_discarding = false;
    bool m_showProperties = true;
    QPointer<QMdiSubWindow> m_treeWindow;
};
