#pragma once
// What the polyline and the polygon share: a list of points added press by press until a
// right click, a bounding box with the generic handles, one handle per point, and
// scaling of all points when a box handle is dragged.

#include <cstdint>
#include <memory>
#include <vector>

#include "items/CItemBase.h"

class CItemPointList : public CItemBase {
public:
    // Point handle numbers start here: point i is handle kFirstPointHandle + i.
    static constexpr int kFirstPointHandle = 10;

    void Serialize(Archive& ar) override;
    int UpdateHandles() override;
    // Point i is handle kFirstPointHandle + i and wins over the box handles 1..9 and the
    // body 0; -1 for a miss.
    int HitTest(int x, int y) override;
    void DrawHandles(Surface& dc) override;
    int MoveHandle(int ox, int oy, int nx, int ny) override;
    int OnLButtonDown(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    int OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) override;
    int OnRButtonDown(unsigned flags, int x, int y) override;
    void Draw(Surface& dc) override;
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;

    std::vector<Point> m_arrPoints;
    int32_t m_bTracking = 0;
    std::vector<Rect> m_pPointHandles;
    int32_t m_xTrack = 0;
    int32_t m_yTrack = 0;

protected:
    CItemPointList() = default;
    CItemPointList(int x, int y, COLORREF colour, int32_t type);
    CItemPointList(const CItemPointList&) = default;

    // The type code every item of the class carries.
    virtual int32_t TypeCode() const = 0;
    // Whether the last point joins back to the first.
    virtual bool IsClosed() const = 0;
    // The noun that opens the description line.
    virtual const char* Noun() const = 0;

    // Finishes a copy made by a concrete Clone: own type code, then the handles.
    std::unique_ptr<CItemBase> FinishClone(std::unique_ptr<CItemPointList> copy) const;

private:
    // The points a finished item needs: two for a polyline, three for a polygon.
    size_t MinimumPoints() const { return IsClosed() ? 3 : 2; }
    // The edges that are sent and drawn once the list is finished.
    size_t EdgeCount() const;
    void ScalePoints(int handle, int ox, int oy, int64_t dx, int64_t dy);
};
