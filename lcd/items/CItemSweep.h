#pragma once
// What the arc and the pie share: a centre, a start point and an end point on the
// curve, three-press creation, three handles and a sector hit region.
//
// The sweep runs clockwise on the screen from the start point (x1, y1) to the end point
// (x2, y2). The module gets whole-degree angles and a truncated radius (ArcGeometry);
// the canvas draws and hit-tests with the exact angles, so the curve meets both rays.

#include <cstdint>
#include <memory>

#include "gfx/Region.h"
#include "items/CItemBase.h"

class CItemSweep : public CItemBase {
public:
    void Serialize(Archive& ar) override;
    int UpdateHandles() override;
    // The centre (1), start (2) and end (3) handles, then the sector's body (0); -1 for a miss.
    int HitTest(int x, int y) override;
    void DrawHandles(Surface& dc) override;
    int MoveHandle(int ox, int oy, int nx, int ny) override;
    int WholeMoveHandle() const override { return 1; }  // the centre
    int OnLButtonDown(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    int OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) override;
    void Draw(Surface& dc) override;
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;

    // Recomputes m_nStartAngle, m_nEndAngle and m_nRadius from the points.
    void UpdateAngles();
    // The square of the whole circle the curve lies on.
    Rect Bounds() const override;

    int32_t m_xCentre = 0;
    int32_t m_yCentre = 0;
    uint16_t m_nStartAngle = 0;
    uint16_t m_nEndAngle = 0;
    // Creation step: 1 placing the start point, 2 placing the end point, 3 all placed.
    int32_t m_nStep = 3;
    Region m_pRgn;
    uint16_t m_nRadius = 0;

protected:
    CItemSweep() = default;
    CItemSweep(int x, int y, COLORREF colour, int32_t type);
    CItemSweep(const CItemSweep&) = default;

    // The type code every arc (or pie) carries.
    virtual int32_t TypeCode() const = 0;
    // The module command's opcode.
    virtual uint8_t Opcode() const = 0;
    // The noun that opens the description line.
    virtual const char* Noun() const = 0;
    // Whether hovering over hit result `handle` shows the four-way move cursor.
    virtual bool ShowsMoveCursor(int handle) const = 0;
    // The guide and curve drawing that differs between the twins.
    virtual void DrawCurve(Surface& dc) const = 0;

    // Finishes a copy made by a concrete Clone: own type code, no shared region, handles.
    std::unique_ptr<CItemBase> FinishClone(std::unique_ptr<CItemSweep> copy) const;
    // The square the curve lies on, for a radius; saturated to 32-bit coordinates.
    Rect CurveBox(int64_t radius) const;
    double StartDegrees() const;
    double EndDegrees() const;
    // Lines from the centre to the start point (and to the end point when `toEnd`), in
    // m_crColor with a dotted or a solid pen of width 1.
    void DrawRays(Surface& dc, bool dotted, bool toEnd) const;
};
