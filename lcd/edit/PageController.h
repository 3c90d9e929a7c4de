#pragma once
// The page canvas without the painting: which item gets which mouse and key event, when
// an undo checkpoint is taken, when the page is marked modified, what the tools create,
// and what the view has to do afterwards (repaint, cursor, property panel, context menu).
//
// A view (the Qt canvas, mkexamples, the tests) turns its input into the plain events
// below, in module pixels: zooming is the view's business. It paints the page with
// CLedDoc::DrawPage(surface, ShowsMarks()) and the text caret from TextCaret(), and sends
// the page commands undo, redo and delete through this controller.
//
// Tools (the drawing toolbox); the item is created at the press point:
//   19 selection      11 line            2 solid rectangle    3 hollow rectangle
//   70 button (a hollow rectangle)       80 input box (a hollow rectangle)
//   4 solid ellipse   5 hollow ellipse   14 solid circle      104 hollow circle
//   30 pie            40 arc             18 polyline          50 polygon
//   15 text           12 number widget   13 animation widget
//   16 bitmap (asks for a picture first) 17 flood fill (asks for its colours first)
// New items take the page's drawing colour and colour code; a hollow rectangle is filled
// with the page's background colour.
//
// Several items: with the selection tool a press with Ctrl adds the item under it to the
// selection or takes it out, a press on empty canvas drags a rubber band that selects the
// items lying wholly inside it, and a drag of one of several selected items (or the arrow
// keys) moves them all. Lining up, cut, copy, paste and delete act on all selected items,
// each as one undo step. Moves and resizes stop at the screen's edge; with the grid's snap
// on, new points and moved items land on multiples of the grid.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "base/Geometry.h"
#include "edit/Arrange.h"
#include "items/CItemFill.h"
#include "items/CItemFont.h"
#include "items/ItemTypes.h"

class CItemBase;
class CLedDoc;
class LocalBitmapStore;

// The tools, by the type number of the item each one makes (the selection tool has its own).
namespace Tool {
enum : int {
    SolidRect = 2,
    HollowRect = 3,
    SolidEllipse = 4,
    HollowEllipse = 5,
    Line = 11,
    Number = 12,
    Animation = 13,
    SolidCircle = 14,
    Text = 15,
    Bitmap = 16,
    Fill = 17,
    Polyline = 18,
    Select = 19,
    Pie = 30,
    Arc = 40,
    Polygon = 50,
    Button = 70,
    InputBox = 80,
    HollowCircle = 104,
};
}  // namespace Tool

// Mouse buttons and keyboard modifiers of an event.
enum MouseButton : unsigned { kLeftButton = 1, kRightButton = 2 };
enum KeyModifier : unsigned { kShiftKey = 1, kControlKey = 2 };

struct MouseEvent {
    Point point;             // module pixels
    unsigned buttons = 0;    // MouseButton bits held
    unsigned modifiers = 0;  // KeyModifier bits held
};

enum class EditKey { Left, Right, Up, Down, Delete, KeypadDecimal, Other };

struct KeyEvent {
    EditKey key = EditKey::Other;
    unsigned modifiers = 0;
};

// The item property panels of the main frame; None hides them all.
enum class PropertyPanel { None, Page, TwoPoint, Line, Circle, Text, Arc, Number, Animation };

// What the view does after an event.
struct EditResult {
    // The event was for the canvas (false: a key the view passes on).
    bool handled = true;
    bool repaint = false;
    // The cursor to show over the canvas.
    CursorShape cursor = CursorShape::Unchanged;
    // Set when the view must show this panel (hiding the others) and refresh it from
    // the selection.
    std::optional<PropertyPanel> panel;
    // A context menu the item asks for at the press point: CItemBmp::kReplaceCommand
    // ("替换"); choosing its entry calls ReplacePicture(). 0: none.
    int menu = 0;
};

class PageController {
public:
    static constexpr int kSelectTool = 19;

    // What the dialogs a gesture opens answer; a callback returns false when cancelled.
    struct Dialogs {
        // The fill tool's colour dialog.
        FillDialog fillColours;
        // The open-image dialog of the bitmap tool and of "替换": the chosen file.
        std::function<bool(std::string&)> choosePicture;
    };

    // `page` and `bitmaps` (where new pictures are placed) must outlive the controller.
    // Messages go to the page's messenger.
    PageController(CLedDoc& page, LocalBitmapStore& bitmaps, Dialogs dialogs);

    // A drawing tool arms the next press to create its item; 19 selects. Other codes are
    // ignored. Leaving the selection tool drops every item's selection mark.
    EditResult SetTool(int tool);
    int Tool() const { return m_nTool; }
    // The next left press creates an item of the current tool.
    bool CreatesNext() const { return m_bCreateNext; }
    // Pen width of new lines.
    void SetLinePen(int width) { m_nLinePen = width; }
    // The selection marks are drawn while the selection tool is active.
    bool ShowsMarks() const { return m_nTool == kSelectTool; }
    // "显示或关闭属性页": with the panels off every panel is hidden.
    EditResult ShowProperties(bool show);
    bool PropertiesShown() const { return m_bShowProperties; }
    // The panel the current selection needs.
    PropertyPanel Panel() const;
    static PropertyPanel PanelForType(int type);

    // Mouse, in module pixels.
    EditResult MouseDown(const MouseEvent& e);
    EditResult MouseMove(const MouseEvent& e);
    EditResult MouseUp(const MouseEvent& e);
    EditResult RightDown(const MouseEvent& e);
    // The selection tool's press: the topmost item under the point is selected, an item
    // whose handle is under it wins over items whose body is.
    EditResult SelectAt(Point p);
    // A press that creates an item of the current tool.
    EditResult CreateItemAt(Point p);

    // One typed byte (GBK, two for a Chinese character) for the text being edited;
    // 8 is backspace, 13 a line break.
    EditResult Char(uint8_t byte);
    // Arrows move the caret of a text being edited, or else move the selected item by one
    // module pixel (Shift: 8); a run of such moves is one undo step. Delete and the
    // keypad's decimal key delete the selection.
    EditResult KeyDown(const KeyEvent& e);

    // The page commands.
    EditResult Undo();
    EditResult Redo();
    EditResult DeleteSelection();
    // "替换": the selected bitmap item shows the picture the dialog chooses; its box,
    // flash place and path stay.
    EditResult ReplacePicture();

    // Where the view shows the caret of the text being edited.
    std::optional<CItemFont::Caret> TextCaret() const;
    // The selected item (the last one picked), or null.
    CItemBase* Selected() const;
    // How many items carry the selection mark.
    int SelectedCount() const;
    // The rubber band while it is dragged, in module pixels, for the view to draw.
    std::optional<Rect> RubberBand() const;
    EditResult SelectAll();

    // The grid of `pixels` module pixels (0: none); with `snap` new points and moved items
    // land on it.
    void SetGrid(int pixels, bool snap);
    int Grid() const { return m_nGrid; }
    bool Snaps() const { return m_nGrid > 1 && m_bSnap; }

    // Lines up the selected items (Arrange.h), one undo step; unhandled when too few are
    // selected.
    EditResult Arrange(Arrangement how);
    // The selected items as clipboard bytes (ItemClipboard); empty when none is selected.
    CByteArray CopySelection() const;
    // Adds the clipboard's items, moved on by a step (the grid, else 8 pixels, a step
    // further with each paste of the same bytes, kept on the screen) and selected; a
    // picture gets its own flash place. Bytes that are not items are told and change
    // nothing.
    EditResult Paste(std::span<const uint8_t> bytes);
    // Copy, then delete the selection, as one undo step.
    EditResult Cut();

private:
    // Tells the page's observers what the event changed.
    EditResult Finish(EditResult r);
    void RemoveEmptyTexts();
    std::unique_ptr<CItemBase> MakeItem(Point p);
    bool MoveCaret(CItemFont& text, EditKey key);
    void CheckBitmapSize(CItemBase& item);
    void EndMoveRun() { m_pMoveRun = nullptr; }
    EditResult ToggleAt(Point p);
    // The point on the grid nearest `p` when snapping, and inside the screen.
    Point Place(Point p) const;
    // The move of the selected items by (dx, dy) from where the drag began, cut short at
    // the screen's edges and, when snapping, landing the first item on the grid.
    void MoveSelection(int64_t dx, int64_t dy);
    // Deletes every selected item, one undo step.
    EditResult DeleteAll();

    CLedDoc& m_page;
    LocalBitmapStore& m_bitmaps;
    Dialogs m_dialogs;
    int m_nTool = kSelectTool;
    bool m_bButtonDown = false;
    bool m_bCreateNext = false;
    bool m_bDragCheckpointed = false;
    bool m_bShowProperties = true;
    // The event being handled changed items.
    bool m_bItemsChanged = false;
    int m_nLinePen = 1;
    Point m_ptLast;
    int m_nGrid = 0;
    bool m_bSnap = false;
    // A whole-item drag of the selection: where it began, the selection's box then, and
    // the move applied so far.
    bool m_bMoveDrag = false;
    Point m_ptDragStart;
    Rect m_rcDragStart;
    Point m_ptApplied;
    std::optional<Rect> m_band;
    // The last bytes pasted and how often in a row.
    size_t m_nPasteHash = 0;
    int m_nPasteRun = 0;
    // The item the last arrow move moved and the undo step it made; a further arrow
    // press on it adds to that undo step.
    const CItemBase* m_pMoveRun = nullptr;
    uint64_t m_nMoveRunStep = 0;
};
