#include "ui/panels/PropertyPanels.h"

#include <QAction>
#include <QDockWidget>
#include <QMdiArea>

#include "project/CLedDoc.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/PageWindow.h"
#include "ui/dialogs/ColourPickDialog.h"
#include "ui/panels/ItemPanels.h"
#include "ui/panels/PagePropertiesBar.h"
#include "ui/panels/PaletteBar.h"

namespace {

using Dock = MainWindow::Dock;

struct Slot {
    PropertyPanel panel;
    Dock dock;
};
const Slot kSlots[] = {
    {PropertyPanel::TwoPoint, Dock::TwoPointPanel},   {PropertyPanel::Line, Dock::LinePanel},
    {PropertyPanel::Circle, Dock::CirclePanel},       {PropertyPanel::Arc, Dock::ArcPanel},
    {PropertyPanel::Text, Dock::TextPanel},           {PropertyPanel::Number, Dock::NumberPanel},
    {PropertyPanel::Animation, Dock::AnimationPanel},
};

}  // namespace

PropertyPanels::PropertyPanels(MainWindow* window) : QObject(window), m_window(window) {
    setObjectName(QStringLiteral("propertyPanels"));
    auto put = [window](Dock slot, QWidget* widget) {
        widget->setObjectName(widget->metaObject()->className());
        window->setDockContent(slot, widget);
    };
    ItemPanel* panels[] = {new TwoPointPanel(*this), new LinePanel(*this), new CirclePanel(*this),
                           new ArcPanel(*this),      new TextPanel(*this), new NumberPanel(*this),
                           new AnimationPanel(*this)};
    for (size_t i = 0; i < std::size(kSlots); ++i) {
        m_panels[static_cast<int>(kSlots[i].panel)] = panels[i];
        put(kSlots[i].dock, panels[i]);
    }
    m_pageBar = new PagePropertiesBar(*this);
    put(Dock::PageProperties, m_pageBar);
    // A dialog bar across the top, as wide as the window.
    window->addDockWidget(Qt::TopDockWidgetArea, window->dock(Dock::PageProperties));
    m_paletteBar = new PaletteBar(*this);
    put(Dock::Palette, m_paletteBar);
    // The palette comes with the first page and stays as the user leaves it.
    connect(window->action(Cmd::Palette), &QAction::triggered, this,
            [this] { m_paletteWanted = !m_window->dock(Dock::Palette)->isHidden(); });
    connect(window->action(Cmd::Properties), &QAction::triggered, this, &PropertyPanels::refresh);
    connect(window->mdiArea(), &QMdiArea::subWindowActivated, this, &PropertyPanels::follow);
    connect(this, &PropertyPanels::pageEdited, window, &MainWindow::pageChanged);
    window->workspace().AddObserver(this);
}

PropertyPanels::~PropertyPanels() {
    setPage(nullptr);
    m_window->workspace().RemoveObserver(this);
}

ItemPanel* PropertyPanels::panel(PropertyPanel which) const {
    return m_panels[static_cast<int>(which)];
}

void PropertyPanels::follow() {
    PageWindow* w = m_window->activePageWindow();
    setPage(w ? w->page() : nullptr);
}

void PropertyPanels::setPage(CLedDoc* page) {
    if (page != m_page) {
        if (m_page) m_page->RemoveObserver(this);
        const bool first = !m_page;
        m_page = page;
        m_editor = page ? std::make_unique<PanelEditor>(*page) : nullptr;
        if (page) page->AddObserver(this);
        if (page && first && m_paletteWanted) m_window->dock(Dock::Palette)->show();
    }
    // Closing the last window hides the bars; the page in front brings its own back.
    m_window->dock(Dock::PageProperties)->setVisible(page != nullptr);
    if (!page) m_window->dock(Dock::Palette)->hide();
    refresh();
}

void PropertyPanels::refresh() {
    PropertyPanel want = PropertyPanel::None;
    PageWindow* w = m_window->activePageWindow();
    if (m_editor && m_editor->Selected() && w && w->showProperties())
        want = PageController::PanelForType(m_editor->Selected()->m_nType);
    for (const Slot& s : kSlots)
        m_window->dock(s.dock)->setVisible(s.panel == want);
    m_shown = want;
    if (ItemPanel* p = panel(want)) p->refresh();
    if (m_page) {
        m_pageBar->refresh();
        m_paletteBar->refresh();
    }
}

void PropertyPanels::edit(const std::function<void()>& change) {
    CLedDoc* page = m_page;
    if (!page) return;
    m_editing = true;
    change();
    m_editing = false;
    // The bar shows the drawing colour an edit may have changed; the panel being typed
    // into is left as the user has it.
    m_pageBar->refresh();
    emit pageEdited(page);
}

bool PropertyPanels::pickColour(COLORREF& colour, uint8_t& hi, uint8_t& lo) {
    const int colours = m_page ? m_page->m_nColours : 256;
    return ColourPickDialog::pick(m_window, colours, colour, hi, lo);
}

void PropertyPanels::ItemsChanged(CLedDoc&) {
    if (m_editing) return;
    // A change from elsewhere (the canvas, undo) ends the panels' undo run.
    if (m_editor) m_editor->EndRun();
    refresh();
}

void PropertyPanels::SelectionChanged(CLedDoc&) {
    if (m_editor) m_editor->EndRun();
    if (!m_editing) refresh();
}

void PropertyPanels::PageClosed(CLedDoc& page) {
    if (&page == m_page) setPage(nullptr);
}
