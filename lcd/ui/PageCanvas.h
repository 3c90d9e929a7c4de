#pragma once
// The page as the module shows it: the core draws the page into a Surface of module
// pixels and the canvas shows it scaled by a whole-number zoom (nearest neighbour).
// Mouse and key input is handed, in module pixels, to one place: the page controller's
// input handler.

#include <QString>
#include <QWidget>
#include <functional>

#include "gfx/Surface.h"

class CLedDoc;
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
    void detach() { m_page = nullptr; }
    int zoom() const { return m_zoom; }
    void setZoom(int zoom);
    // 2 where one module pixel would be too small to see (a dense screen that the
    // toolkit does not already scale), else 1.
    static int defaultZoom(qreal logicalDpi, qreal devicePixelRatio);
    static int defaultZoom(const QScreen* screen);

    // The drawing tool command chosen in the toolbox (the selection tool at first).
    int toolCommand() const { return m_toolCommand; }
    void setToolCommand(int command);
    // Who receives the canvas's mouse and key input (the page controller).
    void setInputHandler(InputHandler handler) { m_handler = std::move(handler); }

    // The page's size in module pixels, as shown (at least 1 x 1).
    QSize pageSize() const;
    // The status-bar text for a canvas point in widget pixels.
    QString coordinatesText(QPoint widgetPos) const;

signals:
    void zoomChanged(int zoom);
    void coordinatesChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    QPoint toModule(QPointF widgetPos) const;
    void forwardMouse(CanvasInput::Kind kind, QMouseEvent* event);
    // The one place input leaves the canvas.
    void forward(const CanvasInput& input);

    CLedDoc* m_page;
    Surface m_surface;
    int m_zoom = 1;
    int m_toolCommand;
    InputHandler m_handler;
};
