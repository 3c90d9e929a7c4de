#pragma once
// The page as the module shows it: the core draws the page into a Surface of module
// pixels and the canvas shows it scaled by a whole-number zoom (nearest neighbour), with
// the selection marks and the text caret painted over it at screen resolution.
// Mouse and key input is handed, in module pixels, to one place: the input handler, which
// is the canvas's own page controller once edit() has been called.

#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "base/ByteArray.h"
#include "edit/PageController.h"
#include "gfx/Surface.h"
#include "images/DownloadSettings.h"

class CLedDoc;
class LocalBitmapStore;
class PageSignals;
class QScreen;

// One user gesture on the canvas, in module pixels.
struct CanvasInput {
    enum class Kind { Press, Release, Move, RightPress, Key, Text };
    Kind kind = Kind::Move;
    int x = 0;
    int y = 0;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
    int key = 0;   // Kind::Key: the Qt::Key
    QString text;  // Kind::Key: the typed text; Kind::Text: what the input method committed
};

class PageCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 8;
    using InputHandler = std::function<void(const CanvasInput&)>;

    explicit PageCanvas(CLedDoc* page, QWidget* parent = nullptr);

    CLedDoc* page() const { return m_page; }
    // The page has been closed; the canvas paints nothing and forwards nothing.
    void detach();
    int zoom() const { return m_zoom; }
    void setZoom(int zoom);
    // 2 where one module pixel would be too small to see (a dense screen that the
    // toolkit does not already scale), else 1.
    static int defaultZoom(qreal logicalDpi, qreal devicePixelRatio);
    static int defaultZoom(const QScreen* screen);

    ~PageCanvas() override;

    // The canvas edits its page from now on: a page controller of its own takes the
    // mouse and keys; `dialogs` answer the bitmap tool, "替换" and the fill tool.
    void edit(LocalBitmapStore& bitmaps, PageController::Dialogs dialogs);
    // Null until edit() and after the page has gone.
    PageController* controller() const { return m_controller.get(); }
    // The page's change notifications (null without a page).
    PageSignals* pageSignals() const { return m_signals; }

    // The drawing tool command chosen in the toolbox (the selection tool at first).
    int toolCommand() const { return m_toolCommand; }
    void setToolCommand(int command);
    // The tool code of the page controller for a toolbox command, or -1.
    static int toolOf(int command);
    // Who receives the canvas's mouse and key input (edit() installs the controller).
    void setInputHandler(InputHandler handler) { m_handler = std::move(handler); }

    // The page commands undo, redo and delete, through the controller.
    void undo();
    void redo();
    void deleteSelection();
    // The clipboard: the selected items in the private format (and as a picture for other
    // programs); a paste takes the private format only.
    void cut();
    void copy();
    void paste();
    void duplicate();
    void selectAll();
    void arrange(Arrangement how);
    int selectedCount() const;
    // A picture of what `bytes` (clipboard items) draw, cut to their box.
    QImage picture(const CByteArray& bytes) const;

    // The grid every `pixels` module pixels, drawn when `shown`; with `snap` new points
    // and moves land on it.
    void setGrid(int pixels, bool shown, bool snap);
    // Draws the page as the module shows it (the virtual module's model runs the page's
    // drawing stream at `settings`) instead of the canvas's own drawing; editing goes on.
    void setModuleView(bool on, const DownloadSettings& settings = {});
    bool moduleView() const { return m_moduleView; }
    // "显示或关闭属性页": with the panels off no panel is shown.
    void showProperties(bool show);

    // The page's size in module pixels, as shown (at least 1 x 1).
    QSize pageSize() const;
    // The status-bar text for a canvas point in widget pixels.
    QString coordinatesText(QPoint widgetPos) const;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void zoomChanged(int zoom);
    void coordinatesChanged(const QString& text);
    // The item property panel to show changed (the selection or the panels switch);
    // PropertyPanel::None hides every panel.
    void propertyPanelRequested(PropertyPanel panel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QPoint toModule(QPointF widgetPos) const;
    void forwardMouse(CanvasInput::Kind kind, QMouseEvent* event);
    // The one place input leaves the canvas.
    void forward(const CanvasInput& input);
    // The controller's side of the input.
    void handle(const CanvasInput& input);
    bool handleKey(const CanvasInput& input);
    // Typed text goes to the text being edited as GBK bytes; a character GBK lacks is
    // refused with a message.
    void type(const QString& text);
    // Does what the controller asks after an event.
    void apply(const EditResult& result);
    void replaceMenu(QPoint modulePos);
    void paintMarks(QPainter& painter);
    void paintGrid(QPainter& painter);
    // The module's picture of the page into m_surface; false when no module has its screen.
    bool drawAsModule();
    QRect caretRect() const;
    void restartCaret();

    CLedDoc* m_page;
    Surface m_surface;
    // Records the selection marks instead of drawing them.
    Surface m_marks;
    std::vector<Surface::Shape> m_shapes;
    int m_zoom = 1;
    int m_toolCommand;
    InputHandler m_handler;
    std::unique_ptr<PageController> m_controller;
    PageSignals* m_signals = nullptr;
    QTimer m_caretBlink;
    bool m_caretOn = true;
    int m_grid = 0;
    bool m_gridShown = false;
    bool m_snap = false;
    bool m_moduleView = false;
    DownloadSettings m_settings;
};
