#pragma once
// The record every page item carries and the operations every item answers.
//
// Items know nothing of windows: they draw on a Surface, report the cursor they want as
// a CursorShape, describe themselves into a TreeNode and encode module commands into a
// CByteArray. Their fields are public because the property panels write them directly.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>

#include "base/ByteArray.h"
#include "base/CObject.h"
#include "base/Colour.h"
#include "base/Geometry.h"
#include "images/DownloadSettings.h"
#include "items/ItemTypes.h"

class Surface;

class CItemBase : public CObject {
public:
    CItemBase() = default;
    ~CItemBase() override = default;

    // CItemBase writes nothing of its own: every class writes its whole record.
    void Serialize(Archive&) override {}

    // A copy equal in every stored field and in the state members; the type code becomes
    // the class's clone value. The base returns null.
    virtual std::unique_ptr<CItemBase> Clone() const { return nullptr; }
    // Recomputes m_rcHandles (and any hit region) from the coordinates.
    virtual int UpdateHandles();
    // Sets and returns m_nHandle for the point: a handle (1..9, or a class's own numbers),
    // 0 the body, -1 nothing. Every class answers in these terms.
    virtual int HitTest(int x, int y);
    // Draws the selection marks and sets m_bSelected.
    virtual void DrawHandles(Surface& dc);
    // Applies the movement of the active handle from (ox, oy) to (nx, ny).
    virtual int MoveHandle(int ox, int oy, int nx, int ny);
    // The handle whose drag carries the whole item: the centre (9) of a box.
    virtual int WholeMoveHandle() const { return 9; }
    // Moves the whole item by (dx, dy), as a drag of that handle does.
    void MoveBy(int dx, int dy);
    // The box the item covers on the screen, edges included (left <= right): the two
    // points' box; a circle's or a sweep's round one. Lining items up and keeping them on
    // the screen go by it.
    virtual Rect Bounds() const;
    // Non-zero when the canvas must be redrawn.
    virtual int OnLButtonDown(int x, int y);
    // -1 when the item just created is degenerate and must be removed, else 0 (or 1).
    virtual int OnLButtonUp(int x, int y);
    // Non-zero when the canvas must be redrawn; `cursor` receives the cursor to show
    // (left as it is when the item has no opinion).
    virtual int OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny);
    virtual void Draw(Surface& dc) { (void)dc; }
    // Appends the item's description line (and any sub-lines) under `parent`.
    virtual void AddToTree(TreeNode& parent, int index) {
        (void)parent;
        (void)index;
    }
    // Appends the module commands; flashMode is 1 for the page's flash record and 0 for
    // the direct drawing stream. `settings` matters to the direct form of a bitmap item
    // only, whose pixels follow the board. The result is not used.
    virtual int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) {
        (void)flashMode;
        (void)bytes;
        (void)settings;
        return 0;
    }
    // Right press while this is the page's selected item. Multi-point items end their
    // point list: the point count, or -1 when too few points were given and the caller
    // must remove the item from the page and clear the page's current item.
    virtual int OnRButtonDown(unsigned flags, int x, int y) {
        (void)flags;
        (void)x;
        (void)y;
        return 0;
    }
    // Exactly the number of bytes Encode(1, ...) appends in the current state.
    virtual int GetEncodedLength() { return 0; }
    // The dot fonts the last Draw could not find (kAsciiFontMissing, kHanziFontMissing);
    // items never talk to the user themselves, the page tells once per draw.
    enum MissingFont { kAsciiFontMissing = 1, kHanziFontMissing = 2 };
    virtual int MissingFonts() const { return 0; }

    uint8_t ColourByte() const {
        return static_cast<uint8_t>(((m_codeHi & 15) << 4) | (m_codeLo & 15));
    }
    // The generic cursor of a handle (-1 gives the cross-hair).
    static CursorShape HandleCursor(int handle);

    int32_t m_nType = 0;
    int32_t m_x1 = 0;
    int32_t m_y1 = 0;
    int32_t m_x2 = 0;
    int32_t m_y2 = 0;
    COLORREF m_crColor = 0;
    COLORREF m_crFill = 0;
    uint8_t m_codeLo = 0;
    uint8_t m_codeHi = 0;
    int32_t m_bSelected = 0;
    int32_t m_bDragging = 0;
    int32_t m_bCreating = 0;
    int32_t m_bModified = 0;
    int32_t m_bTextFlag = 0;
    int32_t m_nHandle = -1;
    int32_t m_nPenWidth = 1;
    Rect m_rcHandles[10] = {};
    int32_t m_bSolid = 0;

    CItemBase(const CItemBase&) = default;
    CItemBase& operator=(const CItemBase&) = default;

    // ESC, the opcode, the colour byte and two points, each coordinate 16 bits low byte
    // first: the module's two-point commands (line 0x46, rectangles 0x41 and 0x5A).
    static void AppendTwoPointCommand(CByteArray& bytes, uint8_t opcode, uint8_t colour, int64_t xa,
                                      int64_t ya, int64_t xb, int64_t yb);
    static constexpr int kTwoPointCommandBytes = 11;

protected:
    // The two-point command over (x1, y1)-(x2, y2) in the item's colour, or nothing when
    // the two points are one; returns the bytes appended (11 or 0).
    int EncodeTwoPoint(CByteArray& bytes, uint8_t opcode) const;
    int TwoPointLength() const {
        return (m_x1 == m_x2 && m_y1 == m_y2) ? 0 : kTwoPointCommandBytes;
    }
    // The record the rectangle and the ellipse share: type (int32), the two corners, outline
    // and fill colours (COLORREF), the solid flag (int32), then the two code bytes.
    void SerializeBox(Archive& ar);
    // The record head the line, the point lists, the arc, the pie and the circle share:
    // type (int32), the given points (x, y) in order, the colour (COLORREF), then the two
    // code bytes.
    using PointRef = std::pair<int32_t*, int32_t*>;
    void SerializeHead(Archive& ar, std::initializer_list<PointRef> points);
    // Appends the item's description line under `parent`, checked when selected.
    TreeNode& AddTreeLine(TreeNode& parent, std::string text) const;
    // Draws the outline rectangle m_rcHandles[0] with the dotted blue pen and the handle
    // squares first..last filled solid blue.
    void DrawMarks(Surface& dc, bool outline, int first, int last) const;
    // Draws one handle square filled solid blue, no outline.
    static void DrawSquare(Surface& dc, const Rect& r);
};
