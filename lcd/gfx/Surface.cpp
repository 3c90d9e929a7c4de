#include "gfx/Surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Coordinates arrive as any 32-bit value; every shape is clipped to the surface before
// its pixels are visited, so the work is bounded by the visible part. Differences and
// products of coordinates are formed in 64 or 128 bits so nothing can wrap.

namespace {

using i64 = int64_t;
using i128 = __int128;
using u128 = unsigned __int128;

// Beyond this a pen would only cost time: it already covers any module screen.
constexpr int kMaxPenWidth = 1024;
// Above this width solid lines are drawn row by row instead of stamping squares.
constexpr int kStampLimit = 16;

template <typename T>
T FloorDiv(T a, T b) {  // b > 0
    T q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}
template <typename T>
T CeilDiv(T a, T b) {  // b > 0
    return -FloorDiv<T>(-a, b);
}

i64 Clamp64(i128 v, i64 lo, i64 hi) {
    if (v < lo) return lo;
    if (v > hi) return hi;
    return static_cast<i64>(v);
}

// One bit per column (x & 7) for each row (y & 7) of the six hatch patterns.
using HatchTable = std::array<std::array<uint8_t, 8>, 6>;
constexpr HatchTable MakeHatchTable() {
    HatchTable t{};
    for (int h = 0; h < 6; ++h) {
        for (int y = 0; y < 8; ++y) {
            uint8_t m = 0;
            for (int x = 0; x < 8; ++x) {
                const bool horiz = y == 0, vert = x == 0;
                const bool fdiag = ((x - y) & 7) == 0, bdiag = ((x + y) & 7) == 7;
                bool on = false;
                switch (h) {
                    case 0:
                        on = horiz;
                        break;
                    case 1:
                        on = vert;
                        break;
                    case 2:
                        on = fdiag;
                        break;
                    case 3:
                        on = bdiag;
                        break;
                    case 4:
                        on = horiz || vert;
                        break;
                    default:
                        on = fdiag || bdiag;
                        break;
                }
                if (on) m = static_cast<uint8_t>(m | (1u << x));
            }
            t[h][y] = m;
        }
    }
    return t;
}
constexpr HatchTable kHatch = MakeHatchTable();

// n values of `v` from `p` on, four to a store: the compiler leaves std::fill of 32-bit
// values a loop of single stores, and runs of pixels are most of what drawing does.
template <typename T>
void FillRun(T* p, size_t n, T v) {
#if defined(__SSE2__)
    static_assert(sizeof(T) == 4 || sizeof(T) == 2);
    const __m128i vv = sizeof(T) == 4 ? _mm_set1_epi32(static_cast<int>(v))
                                      : _mm_set1_epi16(static_cast<short>(v));
    constexpr size_t kPer = 16 / sizeof(T);
    for (; n >= kPer; n -= kPer, p += kPer)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), vv);
#endif
    for (; n > 0; --n)
        *p++ = v;
}

// The first x of x..end - 1 that a flood fill may not enter (visited: its mark is
// `stamp`, or of the border colour), else `end`; four pixels to a test.
int FirstClosed(const uint16_t* mark, const uint32_t* px, int x, int end, uint16_t stamp,
                uint32_t edge) {
#if defined(__SSE2__)
    const __m128i s = _mm_set1_epi16(static_cast<short>(stamp));
    const __m128i e = _mm_set1_epi32(static_cast<int>(edge)), rgb = _mm_set1_epi32(0xFFFFFF);
    for (; x + 4 <= end; x += 4) {
        const __m128i seen =
            _mm_cmpeq_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(mark + x)), s);
        const __m128i pixels =
            _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(px + x)), rgb);
        const int closed = _mm_movemask_epi8(
            _mm_or_si128(_mm_unpacklo_epi16(seen, seen), _mm_cmpeq_epi32(pixels, e)));
        if (closed) return x + __builtin_ctz(static_cast<unsigned>(closed)) / 4;
    }
#endif
    for (; x < end; ++x)
        if (mark[x] == stamp || (px[x] & 0xFFFFFFu) == edge) return x;
    return end;
}

// Direct access to the pixels for one drawing call.
struct Raster {
    uint32_t* px;
    i64 w, h;

    bool Inside(i64 x, i64 y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    void Put(i64 x, i64 y, uint32_t c) {
        if (Inside(x, y)) px[y * w + x] = c;
    }
    // Solid span x0..x1 inclusive, clipped.
    void Span(i64 y, i64 x0, i64 x1, uint32_t c) {
        if (y < 0 || y >= h) return;
        x0 = std::max<i64>(x0, 0);
        x1 = std::min<i64>(x1, w - 1);
        if (x0 > x1) return;
        FillRun(px + y * w + x0, static_cast<size_t>(x1 - x0 + 1), c);
    }
    void Box(i64 x0, i64 y0, i64 x1, i64 y1, uint32_t c) {  // inclusive
        y0 = std::max<i64>(y0, 0);
        y1 = std::min<i64>(y1, h - 1);
        for (i64 y = y0; y <= y1; ++y)
            Span(y, x0, x1, c);
    }
};

// The brush as pixels: solid colour, or a hatch over a transparent background.
struct BrushFill {
    bool active = false;
    bool hatched = false;
    uint32_t colour = 0;
    const std::array<uint8_t, 8>* rows = nullptr;

    BrushFill(const Surface::Brush& b) {
        active = b.style != Surface::BrushStyle::None;
        hatched = b.style == Surface::BrushStyle::Hatched;
        colour = Surface::ToPixel(b.colour);
        const int k = static_cast<int>(b.hatch);
        rows = &kHatch[(k >= 0 && k < 6) ? k : 5];
    }
    bool On(i64 x, i64 y) const { return !hatched || ((*rows)[y & 7] >> (x & 7)) & 1; }
    void Span(Raster& r, i64 y, i64 x0, i64 x1) const {
        if (!active) return;
        if (!hatched) return r.Span(y, x0, x1, colour);
        if (y < 0 || y >= r.h) return;
        x0 = std::max<i64>(x0, 0);
        x1 = std::min<i64>(x1, r.w - 1);
        const unsigned mask = (*rows)[y & 7];
        if (!mask) return;
        uint32_t* row = r.px + y * r.w;
        for (i64 x = x0; x <= x1; ++x)
            if ((mask >> (x & 7)) & 1) row[x] = colour;
    }
};

// The pen: a w x w square stamped on every pixel of the path (every other pixel for a
// dotted pen), covering x - off .. x - off + w - 1.
struct PenStamp {
    bool active = false;
    bool dotted = false;
    int width = 1;
    int off = 0;
    uint32_t colour = 0;

    PenStamp(const Surface::Pen& p) {
        active = p.style != Surface::PenStyle::None;
        dotted = p.style == Surface::PenStyle::Dotted;
        width = std::clamp(p.width, 1, kMaxPenWidth);
        off = (width - 1) / 2;
        colour = Surface::ToPixel(p.colour);
    }
    // Path pixels in [Lo, Hi(size)] of an axis can touch the surface.
    i64 Lo() const { return off - (width - 1); }
    i64 Hi(i64 size) const { return size - 1 + off; }
    void Stamp(Raster& r, i64 x, i64 y) const {
        if (width == 1) return r.Put(x, y, colour);
        r.Box(x - off, y - off, x - off + width - 1, y - off + width - 1, colour);
    }
    // Stamps along a horizontal run x0..x1 of path pixels in row y.
    void Run(Raster& r, i64 y, i64 x0, i64 x1) const {
        if (width == 1) return r.Span(y, x0, x1, colour);
        r.Box(x0 - off, y - off, x1 - off + width - 1, y - off + width - 1, colour);
    }
};

// A Bresenham segment: pixel i (0 <= i < n) sits at major = maj1 + sMaj * i,
// minor = min1 + sMin * m(i) with m(i) = floor((2 i dMin + dMaj) / (2 dMaj)).
struct Segment {
    bool xMajor = true;
    i64 maj1 = 0, min1 = 0, dMaj = 0, dMin = 0;
    int sMaj = 1, sMin = 1;
    i64 n = 0;

    Segment(i64 x1, i64 y1, i64 x2, i64 y2) {
        const i64 dx = x2 - x1, dy = y2 - y1;
        const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
        xMajor = adx >= ady;
        maj1 = xMajor ? x1 : y1;
        min1 = xMajor ? y1 : x1;
        dMaj = xMajor ? adx : ady;
        dMin = xMajor ? ady : adx;
        sMaj = (xMajor ? dx : dy) < 0 ? -1 : 1;
        sMin = (xMajor ? dy : dx) < 0 ? -1 : 1;
        n = dMaj;
    }
    i64 M(i64 i) const {
        if (dMin == 0) return 0;
        return static_cast<i64>(FloorDiv<i128>(i128{2} * i * dMin + dMaj, i128{2} * dMaj));
    }
    i64 Major(i64 i) const { return maj1 + sMaj * i; }
    i64 Minor(i64 i) const { return min1 + sMin * M(i); }
    // Steps whose major coordinate lies in [lo, hi].
    std::pair<i64, i64> StepsForMajor(i64 lo, i64 hi) const {
        return sMaj > 0 ? std::pair{lo - maj1, hi - maj1} : std::pair{maj1 - hi, maj1 - lo};
    }
    // Steps whose minor coordinate lies in [lo, hi].
    std::pair<i64, i64> StepsForMinor(i64 lo, i64 hi) const {
        const i64 mlo = sMin > 0 ? lo - min1 : min1 - hi;
        const i64 mhi = sMin > 0 ? hi - min1 : min1 - lo;
        if (dMin == 0) {
            if (mlo <= 0 && 0 <= mhi) return {0, n - 1};
            return {1, 0};
        }
        // m(i) >= k  <=>  i >= ceil((2k - 1) dMaj / (2 dMin)); m(i) <= K  <=>
        // i <= ceil((2K + 1) dMaj / (2 dMin)) - 1.
        const i128 den = i128{2} * dMin;
        const i128 a = CeilDiv<i128>((i128{2} * mlo - 1) * dMaj, den);
        const i128 b = CeilDiv<i128>((i128{2} * mhi + 1) * dMaj, den) - 1;
        return {Clamp64(a, -1, n + 1), Clamp64(b, -1, n + 1)};
    }
    // Steps whose pixel can touch the surface under the pen.
    std::pair<i64, i64> Clipped(const Raster& r, const PenStamp& pen) const {
        const i64 majSize = xMajor ? r.w : r.h, minSize = xMajor ? r.h : r.w;
        auto [a, b] = StepsForMajor(pen.Lo(), pen.Hi(majSize));
        auto [c, d] = StepsForMinor(pen.Lo(), pen.Hi(minSize));
        return {std::max({a, c, i64{0}}), std::min({b, d, n - 1})};
    }
};

// Draws the segment from (x1, y1) up to but not including (x2, y2). `phase` is the
// position of the first pixel in the dotted pattern.
void PenSegment(Raster& r, const PenStamp& pen, i64 x1, i64 y1, i64 x2, i64 y2, i64 phase) {
    if (!pen.active || (x1 == x2 && y1 == y2)) return;
    const Segment s(x1, y1, x2, y2);

    if (!pen.dotted && pen.width > kStampLimit) {
        // Row by row: the squares of the path pixels whose rows reach row y join into
        // one run, since neighbouring path pixels differ by at most one in x.
        const i64 yA = s.xMajor ? s.Minor(0) : s.Major(0);
        const i64 yB = s.xMajor ? s.Minor(s.n - 1) : s.Major(s.n - 1);
        const i64 y0 = std::max<i64>(std::min(yA, yB) - pen.off, 0);
        const i64 y1r = std::min<i64>(std::max(yA, yB) - pen.off + pen.width - 1, r.h - 1);
        for (i64 y = y0; y <= y1r; ++y) {
            const i64 pa = y + pen.off - (pen.width - 1), pb = y + pen.off;
            auto [a, b] = s.xMajor ? s.StepsForMinor(pa, pb) : s.StepsForMajor(pa, pb);
            a = std::max<i64>(a, 0);
            b = std::min<i64>(b, s.n - 1);
            if (a > b) continue;
            const i64 xa = s.xMajor ? s.Major(a) : s.Minor(a);
            const i64 xb = s.xMajor ? s.Major(b) : s.Minor(b);
            r.Span(y, std::min(xa, xb) - pen.off, std::max(xa, xb) - pen.off + pen.width - 1,
                   pen.colour);
        }
        return;
    }

    const auto [a, b] = s.Clipped(r, pen);
    if (a > b) return;
    if (!pen.dotted && s.dMin == 0) {
        // Horizontal or vertical: one box.
        const i64 m0 = std::min(s.Major(a), s.Major(b)), m1 = std::max(s.Major(a), s.Major(b));
        const i64 lo = pen.off, hi = pen.width - 1 - pen.off;
        if (s.xMajor)
            r.Box(m0 - lo, s.min1 - lo, m1 + hi, s.min1 + hi, pen.colour);
        else
            r.Box(s.min1 - lo, m0 - lo, s.min1 + hi, m1 + hi, pen.colour);
        return;
    }
    // Incremental walk from step a: m and the remainder of (2 i dMin + dMaj) / (2 dMaj).
    const i64 twoMaj = 2 * s.dMaj;
    const i128 num = i128{2} * a * s.dMin + s.dMaj;
    i64 m = static_cast<i64>(num / twoMaj);
    i64 rem = static_cast<i64>(num - i128{m} * twoMaj);
    const i64 twoMin = 2 * s.dMin;
    i64 maj = s.Major(a);
    i64 mnr = s.min1 + s.sMin * m;
    for (i64 i = a; i <= b; ++i) {
        if (!pen.dotted || ((phase + i) & 1) == 0) {
            if (s.xMajor)
                pen.Stamp(r, maj, mnr);
            else
                pen.Stamp(r, mnr, maj);
        }
        maj += s.sMaj;
        rem += twoMin;
        if (rem >= twoMaj) {
            rem -= twoMaj;
            mnr += s.sMin;
        }
    }
}

struct Box64 {
    i64 l, t, r, b;
};
Box64 Normalised(int left, int top, int right, int bottom) {
    Box64 b{left, top, right, bottom};
    if (b.l > b.r) std::swap(b.l, b.r);
    if (b.t > b.b) std::swap(b.t, b.b);
    return b;
}

// The pixels of an ellipse inscribed in a box: those whose centres lie inside it. In
// half-pixel units relative to the box centre, X = 2x + 1 - (l + r) and
// Y = 2y + 1 - (t + b); the pixel is inside when X^2 H^2 + Y^2 W^2 <= W^2 H^2.
class EllipseRows {
public:
    explicit EllipseRows(const Box64& box) : m_box(box) {
        m_w = box.r - box.l;
        m_h = box.b - box.t;
        m_small = m_w < (i64{1} << 15) && m_h < (i64{1} << 15);
    }
    bool Empty() const { return m_w <= 0 || m_h <= 0; }
    i64 W() const { return m_w; }
    i64 H() const { return m_h; }
    const Box64& Box() const { return m_box; }
    i64 HalfX(i64 x) const { return 2 * x + 1 - (m_box.l + m_box.r); }
    i64 HalfY(i64 y) const { return 2 * y + 1 - (m_box.t + m_box.b); }

    // Works out the rows y0 - 1 .. y1 + 1 once, so the fill and the outline's neighbour
    // lookups cost nothing more. One cache per thread: one ellipse at a time.
    void Cache(i64 y0, i64 y1) {
        y0 = std::max(y0 - 1, m_box.t);
        y1 = std::min(y1 + 1, m_box.b - 1);
        if (y0 > y1) return;
        std::vector<std::pair<i64, i64>>& rows = Store();
        rows.resize(static_cast<size_t>(y1 - y0 + 1));
        for (i64 y = y0; y <= y1; ++y) {
            auto& row = rows[static_cast<size_t>(y - y0)];
            // Rows y and t + b - 1 - y are mirror images (HalfY changes sign only).
            const i64 mirror = m_box.t + m_box.b - 1 - y;
            if (mirror >= y0 && mirror < y)
                row = rows[static_cast<size_t>(mirror - y0)];
            else if (!Compute(y, row.first, row.second))
                row = {1, 0};
        }
        m_rows = rows.data();
        m_c0 = y0;
        m_c1 = y1;
    }

    // The inside pixels of row y, xa..xb; false when there are none.
    bool Row(i64 y, i64& xa, i64& xb) const {
        if (y >= m_c0 && y <= m_c1) {
            const auto& row = m_rows[y - m_c0];
            xa = row.first;
            xb = row.second;
            return xa <= xb;
        }
        return Compute(y, xa, xb);
    }

    bool Compute(i64 y, i64& xa, i64& xb) const {
        if (y < m_box.t || y >= m_box.b) return false;
        const i64 Y = HalfY(y);
        const double fy = static_cast<double>(Y) / static_cast<double>(m_h);
        i64 X =
            static_cast<i64>(static_cast<double>(m_w) * std::sqrt(std::max(0.0, 1.0 - fy * fy)));
        if (m_small) {
            const uint64_t h2 = static_cast<uint64_t>(m_h * m_h);
            const uint64_t rhs =
                static_cast<uint64_t>(m_w * m_w) * (h2 - static_cast<uint64_t>(Y * Y));
            while (X > 0 && static_cast<uint64_t>(X * X) * h2 > rhs)
                --X;
            while (static_cast<uint64_t>((X + 1) * (X + 1)) * h2 <= rhs)
                ++X;
        } else {
            const u128 h2 = static_cast<u128>(m_h) * static_cast<u128>(m_h);
            const u128 y2 = static_cast<u128>(Y < 0 ? -Y : Y) * static_cast<u128>(Y < 0 ? -Y : Y);
            const u128 rhs = static_cast<u128>(m_w) * static_cast<u128>(m_w) * (h2 - y2);
            auto sq = [](i64 v) { return static_cast<u128>(v) * static_cast<u128>(v); };
            X = std::clamp<i64>(X, 0, m_w);
            while (X > 0 && sq(X) * h2 > rhs)
                --X;
            while (X < m_w && sq(X + 1) * h2 <= rhs)
                ++X;
        }
        // 2x + 1 - (l + r) in [-X, X]; halving by arithmetic shift rounds down.
        const i64 c = m_box.l + m_box.r - 1;
        xa = -((X - c) >> 1);
        xb = (c + X) >> 1;
        return xa <= xb;
    }

    // The outline of a row a..b whose neighbours above and below are ua..ub (when `up`)
    // and da..db (when `down`): inside pixels with a 4-neighbour outside; up to two runs.
    static int Boundary(i64 a, i64 b, bool up, i64 ua, i64 ub, bool down, i64 da, i64 db,
                        std::array<std::pair<i64, i64>, 2>& runs) {
        i64 ia = a + 1, ib = b - 1;
        if (!up || !down) {
            runs[0] = {a, b};
            return 1;
        }
        ia = std::max({ia, ua, da});
        ib = std::min({ib, ub, db});
        if (ia > ib) {
            runs[0] = {a, b};
            return 1;
        }
        int k = 0;
        if (a <= ia - 1) runs[k++] = {a, ia - 1};
        if (ib + 1 <= b) runs[k++] = {ib + 1, b};
        return k;
    }

    // A dotted outline alternates along x where the curve is flat and along y where it
    // is steep, which is every other pixel along the path.
    bool DotOn(i64 x, i64 y) const {
        const double X = std::fabs(static_cast<double>(HalfX(x)));
        const double Y = std::fabs(static_cast<double>(HalfY(y)));
        const double w = static_cast<double>(m_w), h = static_cast<double>(m_h);
        const bool flat = Y * w * w >= X * h * h;
        return ((flat ? x : y) & 1) == 0;
    }

private:
    static std::vector<std::pair<i64, i64>>& Store() {
        thread_local std::vector<std::pair<i64, i64>> rows;
        return rows;
    }

    Box64 m_box;
    i64 m_w = 0, m_h = 0;
    bool m_small = true;
    i64 m_c0 = 1, m_c1 = 0;  // cached rows
    const std::pair<i64, i64>* m_rows = nullptr;
};

// The clockwise sweep from one ray to another, tested with cross products on the
// half-pixel offsets from the centre (y grows downward, so clockwise is positive).
class Sweep {
public:
    Sweep(double startDeg, double endDeg) {
        const double s = Norm(startDeg), e = Norm(endDeg);
        m_full = s == e;
        double span = e - s;
        if (span < 0) span += 360.0;
        m_narrow = span <= 180.0;
        Direction(s, m_sx, m_sy);
        Direction(e, m_ex, m_ey);
    }
    bool Contains(i64 X, i64 Y) const {
        if (m_full) return true;
        const double x = static_cast<double>(X), y = static_cast<double>(Y);
        const double c1 = m_sx * y - m_sy * x;  // start ray to point
        const double c2 = x * m_ey - y * m_ex;  // point to end ray
        return m_narrow ? (c1 >= 0 && c2 >= 0) : (c1 >= 0 || c2 >= 0);
    }
    // The pixels of [a, b] in the row at Y whose centres lie in the sweep, as up to two
    // runs; `halfX` maps x to the half-pixel offset X. Each half-plane test is monotone
    // along the row, so its edge is found by bisection.
    template <typename HalfX>
    int RowRuns(i64 Y, i64 a, i64 b, HalfX halfX, std::array<std::pair<i64, i64>, 2>& runs) const {
        if (a > b) return 0;
        if (m_full) {
            runs[0] = {a, b};
            return 1;
        }
        const double y = static_cast<double>(Y);
        const auto first = MonotoneRun(
            a, b, [&](i64 x) { return m_sx * y - m_sy * static_cast<double>(halfX(x)) >= 0; });
        const auto second = MonotoneRun(
            a, b, [&](i64 x) { return static_cast<double>(halfX(x)) * m_ey - y * m_ex >= 0; });
        if (m_narrow) {
            runs[0] = {std::max(first.first, second.first), std::min(first.second, second.second)};
            return runs[0].first <= runs[0].second ? 1 : 0;
        }
        int k = 0;
        if (first.first <= first.second) runs[k++] = first;
        if (second.first <= second.second) runs[k++] = second;
        if (k == 2 && runs[0].first <= runs[1].second + 1 && runs[1].first <= runs[0].second + 1) {
            runs[0] = {std::min(runs[0].first, runs[1].first),
                       std::max(runs[0].second, runs[1].second)};
            k = 1;
        }
        return k;
    }

    double StartX() const { return m_sx; }
    double StartY() const { return m_sy; }
    double EndX() const { return m_ex; }
    double EndY() const { return m_ey; }

    static double Norm(double a) {
        if (!std::isfinite(a)) return 0.0;
        a = std::fmod(a, 360.0);
        if (a < 0) a += 360.0;
        if (a >= 360.0) a -= 360.0;
        return a;
    }

private:
    // Where a test that holds on one side of the row and not the other holds.
    template <typename Test>
    static std::pair<i64, i64> MonotoneRun(i64 a, i64 b, Test test) {
        const bool ta = test(a), tb = test(b);
        if (ta && tb) return {a, b};
        if (!ta && !tb) return {1, 0};
        i64 lo = a, hi = b;  // test(lo) == ta, test(hi) == tb
        while (hi - lo > 1) {
            const i64 mid = lo + (hi - lo) / 2;
            (test(mid) == ta ? lo : hi) = mid;
        }
        return ta ? std::pair{a, lo} : std::pair{hi, b};
    }

    // Multiples of 45 degrees get exact directions so pixels on those rays are decided
    // the same way on every side.
    static void Direction(double deg, double& x, double& y) {
        static constexpr int kEighths[8][2] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                               {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
        const double q = deg / 45.0;
        if (q == std::floor(q)) {
            const int k = static_cast<int>(q) & 7;
            x = kEighths[k][0];
            y = kEighths[k][1];
            return;
        }
        const double rad = deg * M_PI / 180.0;
        x = std::cos(rad);
        y = std::sin(rad);
    }

    bool m_full = false, m_narrow = true;
    double m_sx = 1, m_sy = 0, m_ex = 1, m_ey = 0;
};

// Where the edge (xi, yi)-(xj, yj) crosses the centre line of row y, as the first pixel
// whose centre lies at or right of the crossing c = xi + num / den, which is
// xi + ceil((2 num - den) / (2 den)).
template <typename T>
i64 FirstCentreRightOf(i64 xi, i64 yi, i64 xj, i64 yj, i64 y) {
    T num = T{xj - xi} * (2 * (y - yi) + 1);
    T den = 2 * T{yj - yi};
    if (den < 0) num = -num, den = -den;
    return Clamp64(xi + CeilDiv<T>(2 * num - den, 2 * den), -(i64{1} << 40), i64{1} << 40);
}

// Outline of an ellipse, all of it or the part inside a sweep.
void EllipseOutline(Raster& r, const PenStamp& pen, const EllipseRows& e, const Sweep* sweep) {
    if (!pen.active || e.Empty()) return;
    const Box64& box = e.Box();
    const i64 y0 = std::max(box.t, pen.Lo()), y1 = std::min(box.b - 1, pen.Hi(r.h));
    const i64 xLo = pen.Lo(), xHi = pen.Hi(r.w);
    std::array<std::pair<i64, i64>, 2> runs;
    auto halfX = [&e](i64 x) { return e.HalfX(x); };
    // Rows y - 1, y and y + 1 roll along: each is looked up once.
    i64 ua = 0, ub = 0, a0 = 0, b0 = 0, da = 0, db = 0;
    bool up = e.Row(y0 - 1, ua, ub), here = e.Row(y0, a0, b0);
    for (i64 y = y0; y <= y1; ++y) {
        const bool down = e.Row(y + 1, da, db);
        const int k = here ? EllipseRows::Boundary(a0, b0, up, ua, ub, down, da, db, runs) : 0;
        up = here, ua = a0, ub = b0;
        here = down, a0 = da, b0 = db;
        for (int j = 0; j < k; ++j) {
            const i64 a = std::max(runs[j].first, xLo), b = std::min(runs[j].second, xHi);
            if (a > b) continue;
            std::array<std::pair<i64, i64>, 2> parts{std::pair{a, b}};
            const int n = sweep ? sweep->RowRuns(e.HalfY(y), a, b, halfX, parts) : 1;
            for (int p = 0; p < n; ++p) {
                if (!pen.dotted) {
                    pen.Run(r, y, parts[p].first, parts[p].second);
                    continue;
                }
                for (i64 x = parts[p].first; x <= parts[p].second; ++x)
                    if (e.DotOn(x, y)) pen.Stamp(r, x, y);
            }
        }
    }
}

// Where the ray at `dirX, dirY` from the centre leaves the ellipse through the outermost
// pixel centres, as a pixel.
Point RayEnd(const EllipseRows& e, double dirX, double dirY) {
    const Box64& box = e.Box();
    const double cx = (static_cast<double>(box.l) + static_cast<double>(box.r)) / 2.0;
    const double cy = (static_cast<double>(box.t) + static_cast<double>(box.b)) / 2.0;
    const double a = std::max(0.0, static_cast<double>(e.W()) / 2.0 - 0.5);
    const double b = std::max(0.0, static_cast<double>(e.H()) / 2.0 - 0.5);
    const double len = std::hypot(dirX, dirY);
    const double ux = dirX / len, uy = dirY / len;
    const double q = std::hypot(b * ux, a * uy);
    const double t = q > 0 ? a * b / q : 0.0;
    auto toInt = [](double v) {
        return static_cast<int32_t>(std::clamp(std::floor(v), -2147483648.0, 2147483647.0));
    };
    return Point{toInt(cx + t * ux), toInt(cy + t * uy)};
}

}  // namespace

Surface::Surface(int width, int height, COLORREF fill) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        int64_t{width} * height > kMaxPixels)
        return;
    m_width = width;
    m_height = height;
    m_pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), ToPixel(fill));
}

void Surface::Clear(COLORREF colour) {
    FillRun(m_pixels.data(), m_pixels.size(), ToPixel(colour));
}

COLORREF Surface::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0xFFFFFFFFu;
    return FromPixel(m_pixels[static_cast<size_t>(y) * m_width + x]);
}

void Surface::SetPixel(int x, int y, COLORREF colour) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    m_pixels[static_cast<size_t>(y) * m_width + x] = ToPixel(colour);
}

void Surface::Line(int x1, int y1, int x2, int y2) {
    if (m_record) {
        m_record->push_back(Shape{Shape::Kind::Line, x1, y1, x2, y2, m_pen, m_brush});
        return;
    }
    Raster r{m_pixels.data(), m_width, m_height};
    PenSegment(r, PenStamp(m_pen), x1, y1, x2, y2, 0);
}

void Surface::Polyline(std::span<const Point> points) {
    Raster r{m_pixels.data(), m_width, m_height};
    const PenStamp pen(m_pen);
    i64 phase = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        const Point& p = points[i - 1];
        const Point& q = points[i];
        PenSegment(r, pen, p.x, p.y, q.x, q.y, phase);
        phase += std::max(std::abs(i64{q.x} - p.x), std::abs(i64{q.y} - p.y));
    }
}

void Surface::Rectangle(int left, int top, int right, int bottom) {
    if (m_record) {
        m_record->push_back(
            Shape{Shape::Kind::Rectangle, left, top, right, bottom, m_pen, m_brush});
        return;
    }
    const Box64 b = Normalised(left, top, right, bottom);
    if (b.l == b.r || b.t == b.b) return;
    FillRect(left, top, right, bottom);
    Raster r{m_pixels.data(), m_width, m_height};
    const PenStamp pen(m_pen);
    if (b.r - b.l == 1 || b.b - b.t == 1) {
        // One pixel thick: the whole box is its outline.
        PenSegment(r, pen, b.l, b.t, b.r - b.l == 1 ? b.l : b.r, b.r - b.l == 1 ? b.b : b.t, 0);
        return;
    }
    // Clockwise from the top-left corner, each side stopping short of the next corner.
    const i64 x0 = b.l, y0 = b.t, x1 = b.r - 1, y1 = b.b - 1;
    const i64 w = x1 - x0, h = y1 - y0;
    PenSegment(r, pen, x0, y0, x1, y0, 0);
    PenSegment(r, pen, x1, y0, x1, y1, w);
    PenSegment(r, pen, x1, y1, x0, y1, w + h);
    PenSegment(r, pen, x0, y1, x0, y0, w + h + w);
}

void Surface::Ellipse(int left, int top, int right, int bottom) {
    EllipseRows e(Normalised(left, top, right, bottom));
    if (e.Empty()) return;
    Raster r{m_pixels.data(), m_width, m_height};
    const BrushFill brush(m_brush);
    const PenStamp pen(m_pen);
    e.Cache(pen.Lo(), pen.Hi(r.h));
    if (brush.active) {
        const i64 y0 = std::max<i64>(e.Box().t, 0), y1 = std::min<i64>(e.Box().b - 1, r.h - 1);
        for (i64 y = y0; y <= y1; ++y) {
            i64 a, b;
            if (e.Row(y, a, b)) brush.Span(r, y, a, b);
        }
    }
    EllipseOutline(r, pen, e, nullptr);
}

void Surface::Arc(int left, int top, int right, int bottom, double startDeg, double endDeg) {
    EllipseRows e(Normalised(left, top, right, bottom));
    if (e.Empty()) return;
    Raster r{m_pixels.data(), m_width, m_height};
    const Sweep sweep(startDeg, endDeg);
    const PenStamp pen(m_pen);
    e.Cache(pen.Lo(), pen.Hi(r.h));
    EllipseOutline(r, pen, e, &sweep);
}

void Surface::Pie(int left, int top, int right, int bottom, double startDeg, double endDeg) {
    EllipseRows e(Normalised(left, top, right, bottom));
    if (e.Empty()) return;
    Raster r{m_pixels.data(), m_width, m_height};
    const Sweep sweep(startDeg, endDeg);
    const BrushFill brush(m_brush);
    const PenStamp pen(m_pen);
    e.Cache(pen.Lo(), pen.Hi(r.h));
    if (brush.active) {
        const i64 y0 = std::max<i64>(e.Box().t, 0), y1 = std::min<i64>(e.Box().b - 1, r.h - 1);
        std::array<std::pair<i64, i64>, 2> runs;
        auto halfX = [&e](i64 x) { return e.HalfX(x); };
        for (i64 y = y0; y <= y1; ++y) {
            i64 a, b;
            if (!e.Row(y, a, b)) continue;
            const int k = sweep.RowRuns(e.HalfY(y), std::max<i64>(a, 0), std::min<i64>(b, r.w - 1),
                                        halfX, runs);
            for (int j = 0; j < k; ++j)
                brush.Span(r, y, runs[j].first, runs[j].second);
        }
    }
    EllipseOutline(r, pen, e, &sweep);
    const Box64& box = e.Box();
    const i64 cx = FloorDiv<i64>(box.l + box.r, 2), cy = FloorDiv<i64>(box.t + box.b, 2);
    const Point ps = RayEnd(e, sweep.StartX(), sweep.StartY());
    const Point pe = RayEnd(e, sweep.EndX(), sweep.EndY());
    PenSegment(r, pen, cx, cy, ps.x, ps.y, 0);
    PenSegment(r, pen, cx, cy, pe.x, pe.y, 0);
}

void Surface::Polygon(std::span<const Point> points) {
    const size_t n = points.size();
    if (n < 2) return;
    Raster r{m_pixels.data(), m_width, m_height};
    const BrushFill brush(m_brush);
    if (brush.active && n >= 3) {
        i64 ymin = points[0].y, ymax = points[0].y;
        bool small = true;  // every product fits in 64 bits
        for (const Point& p : points) {
            ymin = std::min<i64>(ymin, p.y);
            ymax = std::max<i64>(ymax, p.y);
            small = small && std::abs(i64{p.x}) < (1 << 28) && std::abs(i64{p.y}) < (1 << 28);
        }
        // Row y is sampled at y + 0.5: rows ymin .. ymax - 1.
        const i64 y0 = std::max<i64>(ymin, 0), y1 = std::min<i64>(ymax - 1, r.h - 1);
        thread_local std::vector<i64> xs;
        for (i64 y = y0; y <= y1; ++y) {
            xs.clear();
            for (size_t i = 0, j = n - 1; i < n; j = i++) {
                const i64 xi = points[i].x, yi = points[i].y;
                const i64 xj = points[j].x, yj = points[j].y;
                if ((yi > y) == (yj > y)) continue;
                xs.push_back(small ? FirstCentreRightOf<i64>(xi, yi, xj, yj, y)
                                   : FirstCentreRightOf<i128>(xi, yi, xj, yj, y));
            }
            // Few crossings per row: insertion sort.
            for (size_t k = 1; k < xs.size(); ++k) {
                const i64 v = xs[k];
                size_t m = k;
                for (; m > 0 && xs[m - 1] > v; --m)
                    xs[m] = xs[m - 1];
                xs[m] = v;
            }
            for (size_t k = 0; k + 1 < xs.size(); k += 2)
                brush.Span(r, y, xs[k], xs[k + 1] - 1);
        }
    }
    const PenStamp pen(m_pen);
    i64 phase = 0;
    for (size_t i = 0; i < n; ++i) {
        const Point& p = points[i];
        const Point& q = points[(i + 1) % n];
        PenSegment(r, pen, p.x, p.y, q.x, q.y, phase);
        phase += std::max(std::abs(i64{q.x} - p.x), std::abs(i64{q.y} - p.y));
    }
}

void Surface::FloodFill(int x, int y, COLORREF border) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    const BrushFill brush(m_brush);
    if (!brush.active) return;
    Raster r{m_pixels.data(), m_width, m_height};
    const uint32_t edge = ToPixel(border) & 0xFFFFFFu;
    const size_t w = static_cast<size_t>(m_width);
    const uint32_t* px = m_pixels.data();
    if ((px[static_cast<size_t>(y) * w + x] & 0xFFFFFFu) == edge) return;

    // Visited pixels are never looked at again, so the fill ends even when it paints
    // the colour it started on (or the border colour). A pixel is visited when it holds
    // this fill's stamp: the buffer is cleared only when the stamps wrap or the size
    // changes, not once per fill (a page of many fills would spend its time clearing).
    // Kept per thread: a fresh buffer of screen size costs more in page faults than the fill.
    thread_local std::vector<uint16_t> seen;
    thread_local uint16_t stamp = 0;
    // A run of row y whose row y - dy was filled over x1..x2: row y is looked at there.
    struct Todo {
        int y, x1, x2, dy;
    };
    thread_local std::vector<Todo> todo;
    if (seen.size() != m_pixels.size() || ++stamp == 0) {
        seen.assign(m_pixels.size(), 0);
        stamp = 1;
    }
    uint16_t* mark = seen.data();
    const auto open = [&](size_t i) { return mark[i] != stamp && (px[i] & 0xFFFFFFu) != edge; };
    // Fills the open run through x of row y, returns its ends.
    const auto fillRun = [&](int yy, int from, int& xl, int& xr) {
        const size_t row = static_cast<size_t>(yy) * w;
        xl = xr = from;
        while (xl > 0 && open(row + xl - 1))
            --xl;
        xr = FirstClosed(mark + row, px + row, from + 1, m_width, stamp, edge) - 1;
        FillRun(mark + row + xl, static_cast<size_t>(xr - xl + 1), stamp);
        brush.Span(r, yy, xl, xr);
    };
    // Each run found is looked at once on the far side; on its parent's side only where it
    // reaches past the parent run, since under the parent run that row is filled already.
    int xl = 0, xr = 0;
    fillRun(y, x, xl, xr);
    todo.clear();
    todo.push_back({y + 1, xl, xr, 1});
    todo.push_back({y - 1, xl, xr, -1});
    while (!todo.empty()) {
        const Todo t = todo.back();
        todo.pop_back();
        if (t.y < 0 || t.y >= m_height) continue;
        const size_t row = static_cast<size_t>(t.y) * w;
        for (int nx = t.x1; nx <= t.x2; ++nx) {
            if (!open(row + nx)) continue;
            int l = 0, rr = 0;
            fillRun(t.y, nx, l, rr);
            todo.push_back({t.y + t.dy, l, rr, t.dy});
            if (l < t.x1 - 1) todo.push_back({t.y - t.dy, l, t.x1 - 2, -t.dy});
            if (rr > t.x2 + 1) todo.push_back({t.y - t.dy, t.x2 + 2, rr, -t.dy});
            nx = rr + 1;
        }
    }
}

void Surface::FillRect(int left, int top, int right, int bottom) {
    if (m_record) {
        m_record->push_back(Shape{Shape::Kind::FillRect, left, top, right, bottom, m_pen, m_brush});
        return;
    }
    const BrushFill brush(m_brush);
    if (!brush.active) return;
    const Box64 b = Normalised(left, top, right, bottom);
    Raster r{m_pixels.data(), m_width, m_height};
    const i64 y0 = std::max<i64>(b.t, 0), y1 = std::min<i64>(b.b - 1, r.h - 1);
    for (i64 y = y0; y <= y1; ++y)
        brush.Span(r, y, b.l, b.r - 1);
}

void Surface::PatternInvert(int left, int top, int right, int bottom) {
    const BrushFill brush(m_brush);
    if (!brush.active) return;
    const uint32_t mask = brush.colour & 0xFFFFFFu;
    const Box64 b = Normalised(left, top, right, bottom);
    const i64 x0 = std::max<i64>(b.l, 0), x1 = std::min<i64>(b.r - 1, m_width - 1);
    const i64 y0 = std::max<i64>(b.t, 0), y1 = std::min<i64>(b.b - 1, m_height - 1);
    for (i64 y = y0; y <= y1; ++y) {
        uint32_t* row = m_pixels.data() + y * m_width;
        for (i64 x = x0; x <= x1; ++x)
            if (brush.On(x, y)) row[x] ^= mask;
    }
}

void Surface::StretchBlit(const uint32_t* src, int srcWidth, int srcHeight, int left, int top,
                          int right, int bottom) {
    if (!src || srcWidth <= 0 || srcHeight <= 0) return;
    const Box64 b = Normalised(left, top, right, bottom);
    const i64 dw = b.r - b.l, dh = b.b - b.t;
    if (dw == 0 || dh == 0) return;
    const i64 x0 = std::max<i64>(b.l, 0), x1 = std::min<i64>(b.r - 1, m_width - 1);
    const i64 y0 = std::max<i64>(b.t, 0), y1 = std::min<i64>(b.b - 1, m_height - 1);
    if (x0 > x1 || y0 > y1) return;
    // The source pixel under the centre of each destination pixel.
    auto pick = [](i64 d, i64 dstSize, i64 srcSize) {
        return static_cast<i64>((i128{2} * d + 1) * srcSize / (i128{2} * dstSize));
    };
    thread_local std::vector<int32_t> cols;
    cols.resize(static_cast<size_t>(x1 - x0 + 1));
    for (i64 x = x0; x <= x1; ++x)
        cols[static_cast<size_t>(x - x0)] = static_cast<int32_t>(pick(x - b.l, dw, srcWidth));
    for (i64 y = y0; y <= y1; ++y) {
        const uint32_t* srow = src + pick(y - b.t, dh, srcHeight) * srcWidth;
        uint32_t* row = m_pixels.data() + y * m_width;
        for (i64 x = x0; x <= x1; ++x)
            row[x] = srow[cols[static_cast<size_t>(x - x0)]] | 0xFF000000u;
    }
}
