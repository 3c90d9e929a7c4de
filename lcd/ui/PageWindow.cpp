#include "ui/PageWindow.h"

#include <QCloseEvent>
#include <QFrame>
#include <QTimer>
#include <QVBoxLayout>

#include "project/CLedDoc.h"
#include "ui/PageCanvas.h"
#include "ui/PageSignals.h"

PageWindow::PageWindow(CLedDoc* page, int zoom, QWidget* parent)
    : QMdiSubWindow(parent), m_page(page) {
    setAttribute(Qt::WA_DeleteOnClose);
    // No maximise button and no sizing border: the window is exactly the module screen.
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    auto* frame = new QFrame;
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(2);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_canvas = new PageCanvas(page, frame);
    m_canvas->setZoom(zoom);
    layout->addWidget(m_canvas);
    setWidget(frame);
    setWindowIcon(QIcon(QStringLiteral(":/icons/application-x-lcdscreen-page.svg")));
    connect(m_canvas, &PageCanvas::zoomChanged, this, &PageWindow::fitToCanvas);
    connect(m_canvas, &PageCanvas::propertyPanelRequested, this,
            &PageWindow::propertyPanelRequested);
    // The panels follow the page in front.
    connect(this, &QMdiSubWindow::aboutToActivate, this, [this] {
        if (const PageController* c = m_canvas->controller())
            emit propertyPanelRequested(c->Panel());
    });
    if (PageSignals* notices = m_canvas->pageSignals()) {
        connect(notices, &PageSignals::modifiedChanged, this, &QWidget::setWindowModified);
        connect(notices, &PageSignals::modifiedChanged, this, &PageWindow::stateChanged);
        connect(notices, &PageSignals::undoRedoChanged, this, &PageWindow::stateChanged);
        connect(notices, &PageSignals::selectionChanged, this, &PageWindow::stateChanged);
        // The page went without this window being told: it must not show it any more.
        connect(notices, &PageSignals::pageDestroyed, this, [this] {
            m_page = nullptr;
            QTimer::singleShot(0, this, [this] {
                if (isVisible()) discard();
            });
        });
    }
    refresh();
}

void PageWindow::setShowProperties(bool show) {
    m_showProperties = show;
    m_canvas->showProperties(show);
}

void PageWindow::edit(LocalBitmapStore& bitmaps, PageController::Dialogs dialogs) {
    m_canvas->edit(bitmaps, std::move(dialogs));
}

void PageWindow::fitToCanvas() {
    // The frame's margins (title bar, border) are known once the style has seen the
    // window, so this runs again when it is shown.
    widget()->adjustSize();
    setFixedSize(widget()->sizeHint().grownBy(contentsMargins()));
}

void PageWindow::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    fitToCanvas();
}

void PageWindow::refresh() {
    if (!m_page) return;
    setWindowTitle(QString::fromStdString(m_page->m_strTitle) + QStringLiteral("[*]"));
    setWindowModified(m_page->m_bModified);
    // The page in this window may have been read anew with another screen size.
    m_canvas->setFixedSize(m_canvas->pageSize() * m_canvas->zoom());
    fitToCanvas();
    m_canvas->update();
}

void PageWindow::detach() {
    m_page = nullptr;
    m_canvas->detach();
}

void PageWindow::discard() {
    m_discarding = true;
    close();
}

void PageWindow::closeEvent(QCloseEvent* event) {
    if (!m_discarding && m_closer && !m_closer(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
