#pragma once
// The main window's bars around the active page: the seven item property panels, the
// page-properties bar and the palette bar, each put into its dock slot. It follows the
// active page window, shows the panel of the selected item's type (none without a page,
// without a selection or with the panels switched off), and runs the widgets' edits on
// the page; the page's windows follow every edit.

#include <QObject>
#include <functional>
#include <memory>

#include "base/Colour.h"
#include "edit/PageController.h"
#include "edit/PanelRules.h"
#include "project/Observers.h"

class CLedDoc;
class ItemPanel;
class MainWindow;
class PagePropertiesBar;
class PaletteBar;

class PropertyPanels : public QObject, private PageObserver, private WorkspaceObserver {
    Q_OBJECT
public:
    explicit PropertyPanels(MainWindow* window);
    ~PropertyPanels() override;

    MainWindow* window() const { return m_window; }
    // The page shown and edited (the active page), or null.
    CLedDoc* page() const { return m_page; }
    PanelEditor* editor() const { return m_editor.get(); }
    // The panel of a kind (null for None and Page), and which one is shown.
    ItemPanel* panel(PropertyPanel which) const;
    PropertyPanel shown() const { return m_shown; }
    PagePropertiesBar* pageBar() const { return m_pageBar; }
    PaletteBar* paletteBar() const { return m_paletteBar; }

    // Runs one edit of a bar or panel on the page: the page's notifications during it do
    // not refresh the control being typed into; the page's windows follow afterwards.
    void edit(const std::function<void()>& change);
    // Shows the panel the selection needs and refreshes it and the bars from the page.
    void refresh();
    // The colour dialog at the page's colour count; false when cancelled.
    bool pickColour(COLORREF& colour, uint8_t& hi, uint8_t& lo);

signals:
    // A bar or panel changed the page.
    void pageEdited(CLedDoc* page);

private:
    void ItemsChanged(CLedDoc& page) override;
    void SelectionChanged(CLedDoc& page) override;
    void PageClosed(CLedDoc& page) override;
    // The active page window's page becomes the one shown.
    void follow();
    void setPage(CLedDoc* page);

    MainWindow* m_window;
    CLedDoc* m_page = nullptr;
    std::unique_ptr<PanelEditor> m_editor;
    ItemPanel* m_panels[9] = {};
    PagePropertiesBar* m_pageBar = nullptr;
    PaletteBar* m_paletteBar = nullptr;
    PropertyPanel m_shown = PropertyPanel::None;
    bool m_editing = false;
    bool m_paletteWanted = true;
};
