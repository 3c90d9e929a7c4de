#include "items/CItemPointList.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "base/Archive.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"

namespace {

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();

// v + (v - edge) * delta / (from - edge), truncating toward zero, the product formed
// before the division. A press on the opposite edge itself (from == edge) gives no
// scale to apply, so that axis is left as it is.
int32_t ScaleCoord(int32_t v, int32_t edge, int32_t from, int64_t delta) {
    const int64_t distance = static_cast<int64_t>(from) - edge;
    if (distance == 0) return v;
    const int64_t offset = static_cast<int64_t>(v) - edge;
    int64_t moved;
    if (std::llabs(offset) <= kInt32Max && std::llabs(delta) <= kInt32Max) {
        moved = v + offset * delta / distance;  // |product| < 2^62
    } else {
        // Only coordinates near the 32-bit limits get here; the result is clamped anyway.
        const long double q = static_cast<long double>(offset) * delta / distance;
        moved = static_cast<int64_t>(std::clamp<long double>(v + q, kInt32Min, kInt32Max));
    }
    return Saturate32(moved);
}

// The box edge each handle scales away from: 'L', 'R', 'T', 'B' or 0 for none.
struct ScaleEdges {
    char x;
    char y;
};
constexpr ScaleEdges kEdges[10] = {
    {0, 0},      // body: nothing
    {'R', 'B'},  // 1 top-left
    {0, 'B'},    // 2 top-middle
    {'L', 'B'},  // 3 top-right
    {'L', 0},    // 4 right-middle
    {'L', 'T'},  // 5 bottom-right
    {0, 'T'},    // 6 bottom-middle
    {'R', 'T'},  // 7 bottom-left
    {'R', 0},    // 8 left-middle
    {0, 0},      // 9 centre: a plain move
};

}  // namespace

CItemPointList::CItemPointList(int x, int y, COLORREF colour, int32_t type) {
    m_nType = type;
    m_crColor = colour;
    m_arrPoints.push_back(Point{x, y});
    m_x1 = m_x2 = m_xTrack = x;
    m_y1 = m_y2 = m_yTrack = y;
    m_bTracking = 1;
    m_bCreating = 1;
}

void CItemPointList::Serialize(Archive& ar) {
    SerializeHead(ar, {{&m_x1, &m_y1}, {&m_x2, &m_y2}});
    int32_t count = static_cast<int32_t>(m_arrPoints.size());
    ar.Int32(count);
    if (ar.IsLoading()) {
        if (!ar.Ok()) return;
        // Each point takes 8 bytes: a count the rest of the file cannot hold is damage.
        if (count < 0 || static_cast<uint64_t>(count) > ar.Remaining() / 8) {
            ar.Fail(StringFormat("点的个数 %d 不对", count));
            return;
        }
        m_arrPoints.assign(static_cast<size_t>(count), Point{});
    }
    for (Point& p : m_arrPoints)
        ar.Point(p.x, p.y);
    if (ar.IsLoading()) {
        // The stored box stays as read (a resave is byte-identical); the handles are
        // placed when the item is next selected.
        m_bTracking = 0;
        m_bCreating = 0;
    }
}

int CItemPointList::UpdateHandles() {
    if (!m_arrPoints.empty()) {
        m_x1 = m_x2 = m_arrPoints[0].x;
        m_y1 = m_y2 = m_arrPoints[0].y;
        for (const Point& p : m_arrPoints) {
            m_x1 = std::min(m_x1, p.x), m_x2 = std::max(m_x2, p.x);
            m_y1 = std::min(m_y1, p.y), m_y2 = std::max(m_y2, p.y);
        }
    }
    m_pPointHandles.clear();
    for (const Point& p : m_arrPoints)
        m_pPointHandles.push_back(Rect::Around(p.x, p.y));
    CItemBase::UpdateHandles();
    m_rcHandles[0] = Rect{m_x1, m_y1, m_x2, m_y2};  // the box itself, not enlarged
    return 0;
}

int CItemPointList::HitTest(int x, int y) {
    UpdateHandles();
    m_nHandle = -1;
    for (size_t i = 0; i < m_pPointHandles.size() && m_nHandle < 0; ++i) {
        if (m_pPointHandles[i].Contains(x, y)) m_nHandle = kFirstPointHandle + static_cast<int>(i);
    }
    for (int k = 9; k >= 0 && m_nHandle < 0; --k) {
        if (m_rcHandles[k].Contains(x, y)) m_nHandle = k;
    }
    return m_nHandle;
}

void CItemPointList::DrawHandles(Surface& dc) {
    UpdateHandles();
    const size_t active = static_cast<size_t>(m_nHandle - kFirstPointHandle);
    if (m_nHandle >= kFirstPointHandle && active < m_pPointHandles.size()) {
        // While one point is dragged only its own square is shown.
        DrawSquare(dc, m_pPointHandles[active]);
    } else {
        DrawMarks(dc, true, 1, 9);
        for (const Rect& r : m_pPointHandles)
            DrawSquare(dc, r);
    }
    m_bSelected = 1;
}

void CItemPointList::ScalePoints(int handle, int ox, int oy, int64_t dx, int64_t dy) {
    const int32_t left = m_x1, top = m_y1, right = m_x2, bottom = m_y2;
    const ScaleEdges e = kEdges[handle];
    const int32_t xEdge = e.x == 'L' ? left : right;
    const int32_t yEdge = e.y == 'T' ? top : bottom;
    for (Point& p : m_arrPoints) {
        if (handle == 9) {
            p.x = Saturate32(p.x + dx), p.y = Saturate32(p.y + dy);
            continue;
        }
        if (e.x) p.x = ScaleCoord(p.x, xEdge, ox, dx);
        if (e.y) p.y = ScaleCoord(p.y, yEdge, oy, dy);
    }
}

int CItemPointList::MoveHandle(int ox, int oy, int nx, int ny) {
    const int h = m_nHandle;
    if (h >= 1 && h <= 9) {
        ScalePoints(h, ox, oy, static_cast<int64_t>(nx) - ox, static_cast<int64_t>(ny) - oy);
        CItemBase::MoveHandle(ox, oy, nx, ny);  // the box edges, as for any box item
        return 0;
    }
    const size_t i = static_cast<size_t>(h - kFirstPointHandle);
    if (h >= kFirstPointHandle && i < m_arrPoints.size()) {
        m_arrPoints[i] = Point{nx, ny};
        m_x1 = std::min(m_x1, nx), m_x2 = std::max(m_x2, nx);
        m_y1 = std::min(m_y1, ny), m_y2 = std::max(m_y2, ny);
    }
    return 0;
}

int CItemPointList::OnLButtonDown(int x, int y) {
    if (m_bTracking) {
        m_arrPoints.push_back(Point{x, y});
        UpdateHandles();
        return 1;
    }
    m_bDragging = 1;
    HitTest(x, y);
    if (m_nHandle < 0) {
        // An unselected item keeps the drag flag until the release.
        if (!m_bSelected) return 0;
        m_bSelected = 0;
        m_bDragging = 0;
        return 1;
    }
    m_bSelected = 1;
    return 1;
}

int CItemPointList::OnLButtonUp(int x, int y) {
    (void)x;
    (void)y;
    if (m_bTracking) return 1;
    m_bDragging = 0;
    return 0;
}

int CItemPointList::OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) {
    if (m_bTracking) {
        m_xTrack = nx, m_yTrack = ny;
        return 1;
    }
    if (m_bDragging) {
        MoveHandle(ox, oy, nx, ny);
        UpdateHandles();
        return 1;
    }
    if (!m_bSelected) return 0;
    HitTest(nx, ny);
    const int h = m_nHandle;
    if (h >= kFirstPointHandle)
        cursor = CursorShape::Move;
    else if (h <= 0)
        cursor = CursorShape::Cross;
    else
        cursor = HandleCursor(h);
    return 0;
}

int CItemPointList::OnRButtonDown(unsigned flags, int x, int y) {
    (void)flags;
    (void)x;
    (void)y;
    m_bTracking = 0;
    m_bCreating = 0;
    m_bDragging = 0;
    // Too few points: the caller removes the item from the page and clears its current item.
    if (m_arrPoints.size() < MinimumPoints()) return -1;
    UpdateHandles();
    return static_cast<int>(m_arrPoints.size());
}

void CItemPointList::Draw(Surface& dc) {
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, m_crColor});
    if (m_arrPoints.empty()) return;
    dc.Polyline(m_arrPoints);
    const Point& last = m_arrPoints.back();
    if (m_bTracking)
        dc.Line(last.x, last.y, m_xTrack, m_yTrack);
    else if (IsClosed())
        dc.Line(last.x, last.y, m_arrPoints[0].x, m_arrPoints[0].y);
}

void CItemPointList::AddToTree(TreeNode& parent, int index) {
    (void)index;
    TreeNode node;
    node.text = StringFormat("%s 左上角(%d,%d),右下角(%d,%d) 颜色代码:%X%X", Noun(), m_x1, m_y1,
                             m_x2, m_y2, m_codeHi & 15, m_codeLo & 15);
    node.checked = m_bSelected != 0;
    TreeNode points;
    points.text = "点队列:";
    for (const Point& p : m_arrPoints)
        points.text += StringFormat("(%d,%d) ", p.x, p.y);
    points.checked = m_bSelected != 0;
    node.children.push_back(std::move(points));
    parent.children.push_back(std::move(node));
}

size_t CItemPointList::EdgeCount() const {
    const size_t n = m_arrPoints.size();
    // A polygon of one point still sends its one (zero-length) closing edge.
    if (IsClosed()) return n;
    return n == 0 ? 0 : n - 1;
}

int CItemPointList::Encode(int flashMode, CByteArray& bytes, const DownloadSettings&) {
    (void)flashMode;
    const size_t n = m_arrPoints.size();
    for (size_t k = 1; k <= EdgeCount(); ++k) {
        const Point& a = m_arrPoints[k - 1];
        const Point& b = m_arrPoints[k % n];
        AppendTwoPointCommand(bytes, 0x46, ColourByte(), a.x, a.y, b.x, b.y);
    }
    return 0;
}

int CItemPointList::GetEncodedLength() {
    return static_cast<int>(11 * EdgeCount());
}

std::unique_ptr<CItemBase> CItemPointList::FinishClone(std::unique_ptr<CItemPointList> copy) const {
    copy->m_nType = TypeCode();
    copy->m_pPointHandles.clear();
    copy->UpdateHandles();
    return copy;
}
