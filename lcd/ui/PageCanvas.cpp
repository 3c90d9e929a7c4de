#include "ui/PageCanvas.h"

#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "base/Messenger.h"
#include "project/CLedDoc.h"
#include "ui/Commands.h"

namespace {

// A page size from a damaged file must not make a window larger than any screen.
constexpr int kMaxShownSide = 4096;

// Messages the items report while they draw (a missing font file) wait until the paint
// is over: a message box inside a paint event would paint again under it, forever. Each
// text is shown once per run, not once per paint.
class PaintMessages final : public Messenger {
public:
    PaintMessages(CLedDoc& page, QObject* context)
        : m_page(page), m_previous(page.GetMessenger()), m_context(context) {
        page.SetMessenger(*this);
    }
    ~PaintMessages() override {
        m_page.SetMessenger(m_previous);
        static QSet<QString> shown;
        for (const auto& [text, caption] : m_told) {
            const QString key = QString::fromStdString(text);
            if (shown.contains(key)) continue;
            shown.insert(key);
            // The canvas as context: a message still waiting when it closes is dropped.
            QTimer::singleShot(0, m_context,
                               [target = &m_previous, text = text, caption = caption] {
                                   target->Tell(text, caption);
                               });
        }
    }
    PaintMessages(const PaintMessages&) = delete;
    PaintMessages& operator=(const PaintMessages&) = delete;
    void Tell(const std::string& text, const std::string& caption) override {
        m_told.emplace_back(text, caption);
    }
    Answer Ask(const std::string&, const std::string&, Buttons) override { return Answer::No; }

private:
    CLedDoc& m_page;
    Messenger& m_previous;
    QObject* m_context;
    std::vector<std::pair<std::string, std::string>> m_told;
};

}  // namespace

PageCanvas::PageCanvas(CLedDoc* page, QWidget* parent)
    : QWidget(parent), m_page(page), m_toolCommand(Cmd::SelectTool) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFixedSize(pageSize());
}

QSize PageCanvas::pageSize() const {
    if (!m_page) return {1, 1};
    return {std::clamp(m_page->m_nLogWidth, 1, kMaxShownSide),
            std::clamp(m_page->m_nLogHeight, 1, kMaxShownSide)};
}

void PageCanvas::setZoom(int zoom) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == m_zoom) return;
    m_zoom = zoom;
    setFixedSize(pageSize() * m_zoom);
    update();
    emit zoomChanged(m_zoom);
}

int PageCanvas::defaultZoom(qreal logicalDpi, qreal devicePixelRatio) {
    // The toolkit already doubles everything on a screen it scales by 1.5 or more.
    if (devicePixelRatio >= 1.5) return 1;
    return logicalDpi * devicePixelRatio >= 144 ? 2 : 1;
}

int PageCanvas::defaultZoom(const QScreen* screen) {
    if (!screen) return 1;
    return defaultZoom(screen->logicalDotsPerInch(), screen->devicePixelRatio());
}

void PageCanvas::setToolCommand(int command) {
    m_toolCommand = command;
    update();
}

QPoint PageCanvas::toModule(QPointF widgetPos) const {
    return {static_cast<int>(widgetPos.x()) / m_zoom, static_cast<int>(widgetPos.y()) / m_zoom};
}

QString PageCanvas::coordinatesText(QPoint widgetPos) const {
    const QPoint m = toModule(widgetPos);
    return tr("逻辑坐标x=%1,y=%2 物理坐标X=%3,Y=%4")
        .arg(m.x())
        .arg(m.y())
        .arg(widgetPos.x())
        .arg(widgetPos.y());
}

void PageCanvas::paintEvent(QPaintEvent*) {
    const QSize size = pageSize();
    if (m_surface.Width() != size.width() || m_surface.Height() != size.height())
        m_surface = Surface(size.width(), size.height());
    QPainter painter(this);
    if (!m_page || m_surface.Width() == 0) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    {
        PaintMessages messages(*m_page, this);
        // Selection marks belong to the selection tool.
        m_page->DrawPage(m_surface, m_toolCommand == Cmd::SelectTool);
    }
    const QImage image(reinterpret_cast<const uchar*>(m_surface.Pixels()), m_surface.Width(),
                       m_surface.Height(), m_surface.Width() * 4, QImage::Format_RGB32);
    // Without SmoothPixmapTransform the scaling is nearest neighbour.
    painter.drawImage(QRect(QPoint(0, 0), size * m_zoom), image);
}

void PageCanvas::forwardMouse(CanvasInput::Kind kind, QMouseEvent* event) {
    CanvasInput input;
    input.kind = kind;
    const QPoint m = toModule(event->position());
    input.x = m.x();
    input.y = m.y();
    input.buttons = event->buttons();
    input.modifiers = event->modifiers();
    forward(input);
}

void PageCanvas::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) forwardMouse(CanvasInput::Kind::Press, event);
    if (event->button() == Qt::RightButton) forwardMouse(CanvasInput::Kind::RightPress, event);
}

void PageCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) forwardMouse(CanvasInput::Kind::Release, event);
}

void PageCanvas::mouseMoveEvent(QMouseEvent* event) {
    emit coordinatesChanged(coordinatesText(event->position().toPoint()));
    forwardMouse(CanvasInput::Kind::Move, event);
}

void PageCanvas::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
        QWidget::wheelEvent(event);
        return;
    }
    setZoom(m_zoom + (event->angleDelta().y() > 0 ? 1 : -1));
    event->accept();
}

void PageCanvas::keyPressEvent(QKeyEvent* event) {
    if (!m_handler) {
        QWidget::keyPressEvent(event);
        return;
    }
    CanvasInput input;
    input.kind = CanvasInput::Kind::Key;
    input.key = event->key();
    input.modifiers = event->modifiers();
    input.text = event->text();
    forward(input);
}

void PageCanvas::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) return;
    CanvasInput input;
    input.kind = CanvasInput::Kind::Text;
    input.text = event->commitString();
    forward(input);
}

void PageCanvas::forward(const CanvasInput& input) {
    if (m_handler && m_page) m_handler(input);
}
