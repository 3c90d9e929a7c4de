#include "ui/PageCanvas.h"

#include <QApplication>
#include <QClipboard>
#include <QHash>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "base/GbkCodec.h"
#include "base/Messenger.h"
#include "core/DisplayModule.h"
#include "core/ModuleFonts.h"
#include "edit/ItemClipboard.h"
#include "items/CItemBmp.h"
#include "project/CLedDoc.h"
#include "ui/Commands.h"
#include "ui/PageSignals.h"
#include "ui/Tools.h"

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

Qt::CursorShape QtCursor(CursorShape shape) {
    switch (shape) {
        case CursorShape::SizeNwSe:
            return Qt::SizeFDiagCursor;
        case CursorShape::SizeNs:
            return Qt::SizeVerCursor;
        case CursorShape::SizeNeSw:
            return Qt::SizeBDiagCursor;
        case CursorShape::SizeWe:
            return Qt::SizeHorCursor;
        case CursorShape::Move:
            return Qt::SizeAllCursor;
        case CursorShape::Text:
            return Qt::IBeamCursor;
        default:
            return Qt::CrossCursor;
    }
}

QColor QtColour(COLORREF c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

unsigned Buttons(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? kLeftButton : 0u) |
           (buttons & Qt::RightButton ? kRightButton : 0u);
}

unsigned Modifiers(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? kShiftKey : 0u) |
           (modifiers & Qt::ControlModifier ? kControlKey : 0u);
}

constexpr int kTextTool = 15;

}  // namespace

PageCanvas::PageCanvas(CLedDoc* page, QWidget* parent)
    : QWidget(parent), m_page(page), m_marks(1, 1), m_toolCommand(Cmd::SelectTool) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFixedSize(pageSize());
    m_marks.Record(&m_shapes);
    if (m_page) {
        m_signals = new PageSignals(m_page, this);
        connect(m_signals, &PageSignals::itemsChanged, this, [this] { update(); });
        connect(m_signals, &PageSignals::selectionChanged, this, [this] { update(); });
        connect(m_signals, &PageSignals::pageDestroyed, this, &PageCanvas::detach);
    }
    const int flash = QApplication::cursorFlashTime();
    m_caretBlink.setInterval(flash > 0 ? flash / 2 : 500);
    connect(&m_caretBlink, &QTimer::timeout, this, [this] {
        m_caretOn = !m_caretOn;
        update(caretRect());
    });
}

PageCanvas::~PageCanvas() = default;

void PageCanvas::detach() {
    m_controller.reset();
    if (m_signals) m_signals->forget();
    m_page = nullptr;
    m_caretBlink.stop();
}

void PageCanvas::edit(LocalBitmapStore& bitmaps, PageController::Dialogs dialogs) {
    if (!m_page) return;
    m_controller = std::make_unique<PageController>(*m_page, bitmaps, std::move(dialogs));
    m_controller->SetTool(toolOf(m_toolCommand));
    m_controller->SetGrid(m_grid, m_snap);
    m_handler = [this](const CanvasInput& input) { handle(input); };
}

int PageCanvas::toolOf(int command) {
    const ToolDef* tool = FindTool(command);
    return tool ? tool->tool : -1;
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
    if (toolOf(command) < 0) return;
    m_toolCommand = command == Cmd::SelectMany ? int(Cmd::SelectTool) : command;
    if (m_controller) apply(m_controller->SetTool(toolOf(command)));
    update();
}

void PageCanvas::undo() {
    if (m_controller) apply(m_controller->Undo());
}

void PageCanvas::redo() {
    if (m_controller) apply(m_controller->Redo());
}

void PageCanvas::deleteSelection() {
    if (m_controller) apply(m_controller->DeleteSelection());
}

void PageCanvas::cut() {
    if (!m_controller || selectedCount() == 0) return;
    copy();
    apply(m_controller->Cut());
}

void PageCanvas::copy() {
    if (!m_controller) return;
    const CByteArray bytes = m_controller->CopySelection();
    if (bytes.empty()) return;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(ItemClipboard::kMimeType),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    data->setImageData(picture(bytes));
    QApplication::clipboard()->setMimeData(data);
}

void PageCanvas::paste() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const QString format = QString::fromLatin1(ItemClipboard::kMimeType);
    if (!m_controller || !data || !data->hasFormat(format)) return;
    const QByteArray bytes = data->data(format);
    apply(m_controller->Paste(
        std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()))));
}

void PageCanvas::duplicate() {
    if (!m_controller) return;
    const CByteArray bytes = m_controller->CopySelection();
    if (!bytes.empty()) apply(m_controller->Paste(bytes));
}

void PageCanvas::selectAll() {
    if (!m_controller) return;
    setToolCommand(Cmd::SelectTool);
    apply(m_controller->SelectAll());
}

void PageCanvas::arrange(Arrangement how) {
    if (m_controller) apply(m_controller->Arrange(how));
}

int PageCanvas::selectedCount() const {
    return m_controller ? m_controller->SelectedCount() : 0;
}

QImage PageCanvas::picture(const CByteArray& bytes) const {
    if (!m_page) return {};
    CLedDoc copy(m_page->GetScreenParams());
    ItemList items;
    std::string error;
    if (!ItemClipboard::Read(bytes, m_page->m_nColours, items, error) || items.empty()) return {};
    std::vector<CItemBase*> all;
    for (auto& item : items)
        all.push_back(item.get());
    const Rect box = Arrange::Union(all);
    copy.CurrentItems() = std::move(items);
    copy.m_crBack = m_page->m_crBack;
    const QSize size = pageSize();
    Surface surface(size.width(), size.height());
    copy.DrawPage(surface, false);
    const QImage image(reinterpret_cast<const uchar*>(surface.Pixels()), surface.Width(),
                       surface.Height(), surface.Width() * 4, QImage::Format_RGB32);
    const QRect within =
        QRect(QPoint(box.left, box.top), QPoint(box.right, box.bottom)).intersected(image.rect());
    return image.copy(within);
}

void PageCanvas::setGrid(int pixels, bool shown, bool snap) {
    m_grid = pixels;
    m_gridShown = shown;
    m_snap = snap;
    if (m_controller) m_controller->SetGrid(pixels, snap);
    update();
}

void PageCanvas::setModuleView(bool on, const DownloadSettings& settings) {
    m_moduleView = on;
    m_settings = settings;
    update();
}

bool PageCanvas::drawAsModule() {
    ModuleConfig config;
    config.width = m_surface.Width();
    config.height = m_surface.Height();
    const int colours = m_page->m_nColours;
    config.colours = colours == 8 || colours == 16 || colours == 64 ? colours : 256;
    config.board = std::clamp(m_settings.boardType, 0, 3);
    ModuleFonts::Use(config);
    if (!config.Check().empty()) return false;
    DisplayModule module(config);
    CByteArray bytes;
    m_page->EncodeDirect(bytes, m_settings);
    module.Execute(bytes);
    const Surface& screen = module.Screen();
    std::copy_n(screen.Pixels(), size_t(screen.Width()) * size_t(screen.Height()),
                m_surface.Pixels());
    return true;
}

void PageCanvas::paintGrid(QPainter& painter) {
    // Lines closer than four screen pixels would hide the page.
    if (!m_gridShown || m_grid < 1 || m_grid * m_zoom < 4) return;
    painter.setPen(QPen(QColor(128, 128, 128, 140), 0, Qt::DotLine));
    const QSize size = pageSize() * m_zoom;
    for (int x = m_grid * m_zoom; x < size.width(); x += m_grid * m_zoom)
        painter.drawLine(x, 0, x, size.height() - 1);
    for (int y = m_grid * m_zoom; y < size.height(); y += m_grid * m_zoom)
        painter.drawLine(0, y, size.width() - 1, y);
}

void PageCanvas::showProperties(bool show) {
    if (m_controller) apply(m_controller->ShowProperties(show));
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
        // The marks come after, at screen resolution.
        if (!m_moduleView || !drawAsModule()) m_page->DrawPage(m_surface, false);
    }
    const QImage image(reinterpret_cast<const uchar*>(m_surface.Pixels()), m_surface.Width(),
                       m_surface.Height(), m_surface.Width() * 4, QImage::Format_RGB32);
    // Without SmoothPixmapTransform the scaling is nearest neighbour.
    painter.drawImage(QRect(QPoint(0, 0), size * m_zoom), image);
    paintGrid(painter);
    if (const std::optional<Rect> band = m_controller ? m_controller->RubberBand() : std::nullopt) {
        painter.setPen(QPen(Qt::white, 0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(band->left * m_zoom, band->top * m_zoom,
                         (band->right - band->left) * m_zoom, (band->bottom - band->top) * m_zoom);
    }
    // Selection marks belong to the selection tool.
    if (m_controller ? m_controller->ShowsMarks() : m_toolCommand == Cmd::SelectTool)
        paintMarks(painter);
    if (m_caretOn && hasFocus()) {
        const QRect caret = caretRect();
        if (!caret.isEmpty()) {
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.fillRect(caret, Qt::white);
        }
    }
}

void PageCanvas::paintMarks(QPainter& painter) {
    // The items draw their marks as they always have; the shapes are recorded in module
    // pixels and painted here one screen pixel wide, squares of a fixed screen size.
    m_shapes.clear();
    for (auto& item : m_page->CurrentItems())
        if (item->m_bSelected) item->DrawHandles(m_marks);
    const int z = m_zoom;
    // The centre of module pixel v on the screen.
    auto at = [z](int v) { return v * z + z / 2; };
    for (const Surface::Shape& s : m_shapes) {
        const QRect box = QRect(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2)).normalized();
        if (s.kind == Surface::Shape::Kind::FillRect) {
            if (s.brush.style == Surface::BrushStyle::None) continue;
            // A handle square: its own size at 1x; when zoomed one pixel larger, centred
            // on the module pixel it marks.
            const int side = box.width() - 1 + (z > 1 ? 1 : 0);
            const QPoint centre(at((box.left() + box.right()) / 2),
                                at((box.top() + box.bottom()) / 2));
            const QRect square =
                z > 1 ? QRect(centre.x() - side / 2, centre.y() - side / 2, side, side)
                      : QRect(box.left(), box.top(), side, box.height() - 1);
            painter.fillRect(square, QtColour(s.brush.colour));
            continue;
        }
        if (s.pen.style == Surface::PenStyle::None) continue;
        QPen pen(QtColour(s.pen.colour), 0);
        if (s.pen.style == Surface::PenStyle::Dotted) pen.setDashPattern({1, 1});
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        if (s.kind == Surface::Shape::Kind::Line) {
            painter.drawLine(at(s.x1), at(s.y1), at(s.x2), at(s.y2));
        } else if (box.width() > 1 && box.height() > 1) {
            // The outline covers left..right-1 and top..bottom-1.
            painter.drawRect(at(box.left()), at(box.top()), at(box.right() - 1) - at(box.left()),
                             at(box.bottom() - 1) - at(box.top()));
        }
    }
}

QRect PageCanvas::caretRect() const {
    if (!m_controller) return {};
    const std::optional<CItemFont::Caret> caret = m_controller->TextCaret();
    if (!caret) return {};
    return QRect(caret->x * m_zoom, caret->y * m_zoom, m_zoom > 1 ? 2 : 1,
                 std::max(caret->height, 1) * m_zoom);
}

void PageCanvas::restartCaret() {
    m_caretOn = true;
    if (hasFocus() && !caretRect().isEmpty())
        m_caretBlink.start();
    else
        m_caretBlink.stop();
}

void PageCanvas::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    restartCaret();
    update();
}

void PageCanvas::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    m_caretBlink.stop();
    update();
}

QVariant PageCanvas::inputMethodQuery(Qt::InputMethodQuery query) const {
    // The input method's window opens at the caret.
    if (query == Qt::ImCursorRectangle) return caretRect();
    if (query == Qt::ImEnabled) return m_controller != nullptr;
    return QWidget::inputMethodQuery(query);
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

void PageCanvas::handle(const CanvasInput& in) {
    if (!m_controller) return;
    const MouseEvent mouse{Point{in.x, in.y}, Buttons(in.buttons), Modifiers(in.modifiers)};
    switch (in.kind) {
        case CanvasInput::Kind::Press:
            apply(m_controller->MouseDown(mouse));
            break;
        case CanvasInput::Kind::Release:
            apply(m_controller->MouseUp(mouse));
            break;
        case CanvasInput::Kind::Move:
            apply(m_controller->MouseMove(mouse));
            break;
        case CanvasInput::Kind::RightPress: {
            const EditResult r = m_controller->RightDown(mouse);
            apply(r);
            if (r.menu == CItemBmp::kReplaceCommand) replaceMenu(QPoint(in.x, in.y));
            break;
        }
        case CanvasInput::Kind::Key:
            if (!handleKey(in)) type(in.text);
            break;
        case CanvasInput::Kind::Text:
            type(in.text);
            break;
    }
    restartCaret();
}

bool PageCanvas::handleKey(const CanvasInput& in) {
    KeyEvent key;
    key.modifiers = Modifiers(in.modifiers);
    switch (in.key) {
        case Qt::Key_Left:
            key.key = EditKey::Left;
            break;
        case Qt::Key_Right:
            key.key = EditKey::Right;
            break;
        case Qt::Key_Up:
            key.key = EditKey::Up;
            break;
        case Qt::Key_Down:
            key.key = EditKey::Down;
            break;
        case Qt::Key_Delete:
            key.key = EditKey::Delete;
            break;
        case Qt::Key_Period:
            // The keypad's decimal key deletes; the other full stop is typed.
            if (!(in.modifiers & Qt::KeypadModifier)) return false;
            key.key = EditKey::KeypadDecimal;
            break;
        case Qt::Key_Backspace:
            apply(m_controller->Char(8));
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            apply(m_controller->Char(13));
            return true;
        default:
            return false;
    }
    const EditResult r = m_controller->KeyDown(key);
    apply(r);
    return r.handled || key.key != EditKey::KeypadDecimal;
}

void PageCanvas::type(const QString& text) {
    // Only a text being edited takes characters.
    if (!m_controller || m_page->m_nSelType != kTextTool ||
        !dynamic_cast<CItemFont*>(m_controller->Selected()))
        return;
    for (char32_t c : text.toUcs4()) {
        // Control characters other than the two the text knows are not typed.
        if (c < 0x20 || c == 0x7F) continue;
        const QString one = QString::fromUcs4(&c, 1);
        std::string gbk;
        if (!GbkCodec::FromUtf8(one.toStdString(), gbk) || gbk.empty()) {
            m_page->GetMessenger().Tell(
                tr("字符“%1”不在GBK字符集中，无法输入。").arg(one).toStdString(), "提示");
            continue;
        }
        for (char byte : gbk)
            apply(m_controller->Char(static_cast<uint8_t>(byte)));
    }
}

void PageCanvas::apply(const EditResult& r) {
    if (r.repaint) update();
    if (r.cursor != CursorShape::Unchanged) setCursor(QtCursor(r.cursor));
    if (r.panel) emit propertyPanelRequested(*r.panel);
}

void PageCanvas::replaceMenu(QPoint modulePos) {
    QMenu menu(this);
    QAction* replace = menu.addAction(tr("替换"));
    replace->setData(int(Cmd::ReplaceBitmap));
    const QPoint at = mapToGlobal(modulePos * m_zoom);
    if (menu.exec(at) == replace && m_controller) apply(m_controller->ReplacePicture());
}
