#include "platform/raster/shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace raster {
namespace {

// Geometry is int32, but differences and products of coordinates are not: the arithmetic below
// is 64-bit, and 128-bit where two such products meet.
using i64 = int64_t;
using i128 = __int128;
using u128 = unsigned __int128;

i64 FloorDiv(i64 a, i64 b) {
    i64 q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0))) --q;
    return q;
}

i64 CeilDiv(i64 a, i64 b) {
    i64 q = a / b;
    if (a % b != 0 && ((a < 0) == (b < 0))) ++q;
    return q;
}

// floor((n + k i) / d) for the steps i = 0, 1, 2, ..., d > 0: one exact division to start,
// then an addition and a comparison per step.
class SteppedFloor {
public:
    SteppedFloor() = default;
    SteppedFloor(i64 n, i64 k, i64 d) : d_(d) {
        q_ = FloorDiv(n, d), r_ = n - q_ * d;
        kq_ = FloorDiv(k, d), kr_ = k - kq_ * d;
    }
    i64 value() const { return q_; }
    void step() {
        q_ += kq_, r_ += kr_;
        if (r_ >= d_) r_ -= d_, ++q_;
    }

private:
    i64 q_ = 0, r_ = 0, kq_ = 0, kr_ = 0, d_ = 1;
};

// ceil((n + k i) / d) for d > 0.
SteppedFloor SteppedCeil(i64 n, i64 k, i64 d) { return SteppedFloor(n + d - 1, k, d); }

i128 CeilDiv128(i128 a, i128 b) {
    i128 q = a / b;
    if (a % b != 0 && ((a < 0) == (b < 0))) ++q;
    return q;
}

// The largest s with s * s <= m, for m < 2^126. The floating-point estimate is only a start.
uint64_t FloorSqrt(u128 m) {
    uint64_t s = static_cast<uint64_t>(std::sqrt(static_cast<long double>(m)));
    while (s > 0 && static_cast<u128>(s) * s > m) --s;
    while (static_cast<u128>(s + 1) * (s + 1) <= m) ++s;
    return s;
}

uint64_t FloorSqrt64(i64 m) {  // 0 <= m < 2^52
    i64 s = static_cast<i64>(std::sqrt(static_cast<double>(m)));
    while (s > 0 && s * s > m) --s;
    while ((s + 1) * (s + 1) <= m) ++s;
    return static_cast<uint64_t>(s);
}

// Appends the columns first..last (inclusive) of row y, cut to the clip's columns.
void AppendRow(SpanList& out, i64 y, i64 first, i64 last, const Rect& clip) {
    const i64 x0 = std::max<i64>(first, clip.left);
    const i64 x1 = std::min<i64>(last + 1, clip.right);
    if (x0 < x1) out.push_back(Span{static_cast<int32_t>(y), static_cast<int32_t>(x0), static_cast<int32_t>(x1)});
}

// ---- Ellipses -------------------------------------------------------------------------------
//
// Measured in half pixels from the box's centre, pixel (x, y) sits at dx = 2x + 1 - (left + right),
// dy = 2y + 1 - (top + bottom), and lies in the ellipse when (dx / w)^2 + (dy / h)^2 <= 1. Two
// additions keep thin ellipses whole: the middle row (or two) spans the whole box, and every row
// keeps its middle pixel (or two); each is the other's transpose.
class EllipseRows {
public:
    explicit EllipseRows(const Rect& box)
        : left_(box.left), top_(box.top), w_(i64{box.right} - box.left), h_(i64{box.bottom} - box.top) {}

    // The first and last column of row y; false for a row outside the box.
    bool row(i64 y, i64& first, i64& last) const {
        if (y < top_ || y >= top_ + h_) return false;
        const i64 dy = 2 * (y - top_) + 1 - h_;
        const i64 reach = halfWidth(dy < 0 ? -dy : dy);
        // Columns whose dx lies in [-reach, reach].
        first = left_ + CeilDiv(w_ - 1 - reach, 2);
        last = left_ + FloorDiv(w_ - 1 + reach, 2);
        return true;
    }

private:
    // The largest |dx| still inside at this |dy|.
    i64 halfWidth(i64 dy) const {
        if (dy <= 1) return w_ - 1;
        // reach = floor(w * sqrt(h^2 - dy^2) / h), exactly: the largest r with r^2 h^2 <= w^2 (h^2 - dy^2).
        i64 r = static_cast<i64>(static_cast<double>(w_) *
                                 std::sqrt(static_cast<double>(h_ - dy) * static_cast<double>(h_ + dy)) /
                                 static_cast<double>(h_));
        r = std::clamp<i64>(r, 0, w_ - 1);
        if (w_ <= kSmallSide && h_ <= kSmallSide) {  // every product below fits in 62 bits
            const i64 h2 = h_ * h_, rhs = w_ * w_ * ((h_ - dy) * (h_ + dy));
            while (r > 0 && r * r * h2 > rhs) --r;
            while (r < w_ - 1 && (r + 1) * (r + 1) * h2 <= rhs) ++r;
        } else {
            const u128 h2 = static_cast<u128>(h_) * static_cast<u128>(h_);
            const u128 rhs = static_cast<u128>(w_) * static_cast<u128>(w_) *
                             (static_cast<u128>(h_ - dy) * static_cast<u128>(h_ + dy));
            while (r > 0 && static_cast<u128>(r) * static_cast<u128>(r) * h2 > rhs) --r;
            while (r < w_ - 1 && static_cast<u128>(r + 1) * static_cast<u128>(r + 1) * h2 <= rhs) ++r;
        }
        return std::max<i64>(r, (w_ & 1) ? 0 : 1);
    }

    static constexpr i64 kSmallSide = i64{1} << 15;

    i64 left_, top_, w_, h_;
};

// ---- 1-pixel lines ----------------------------------------------------------------------------
//
// The line is walked along its major axis, i = 0 .. n - 1 steps from the start. The minor
// coordinate at step i is the ideal one rounded to nearest, halves going to the smaller value:
// minor0 + ceil((2 * d * i - n) / (2n)), d the signed minor extent.
struct ThinLine {
    i64 n;          // steps (the major extent)
    i64 step;       // +1 or -1 along the major axis
    i64 d;          // signed minor extent
    i64 major0, minor0;

    i64 minorAt(i64 i) const { return minor0 + static_cast<i64>(CeilDiv128(i128{2} * d * i - n, i128{2} * n)); }
};

// The first i in [lo, hi) for which pred(i) holds, pred being false then true; hi if never.
template <class Pred>
i64 FirstWhere(i64 lo, i64 hi, Pred pred) {
    while (lo < hi) {
        const i64 mid = lo + (hi - lo) / 2;
        if (pred(mid)) hi = mid;
        else lo = mid + 1;
    }
    return lo;
}

void ThinLineSpans(Point from, Point to, const Rect& clip, SpanList& out) {
    const i64 dx = i64{to.x} - from.x, dy = i64{to.y} - from.y;
    if ((dx == 0 && dy == 0) || clip.isEmpty()) return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    ThinLine line{};
    line.n = xMajor ? std::llabs(dx) : std::llabs(dy);
    line.step = (xMajor ? dx : dy) > 0 ? 1 : -1;
    line.d = xMajor ? dy : dx;
    line.major0 = xMajor ? from.x : from.y;
    line.minor0 = xMajor ? from.y : from.x;
    const i64 majLo = xMajor ? clip.left : clip.top, majHi = xMajor ? clip.right : clip.bottom;
    const i64 minLo = xMajor ? clip.top : clip.left, minHi = xMajor ? clip.bottom : clip.right;

    // Steps whose major coordinate is inside the clip, then those whose minor one is too.
    i64 lo = line.step > 0 ? majLo - line.major0 : line.major0 - majHi + 1;
    i64 hi = line.step > 0 ? majHi - line.major0 : line.major0 - majLo + 1;
    lo = std::max<i64>(lo, 0);
    hi = std::min<i64>(hi, line.n);
    if (lo >= hi) return;
    if (line.d >= 0) {
        lo = FirstWhere(lo, hi, [&](i64 i) { return line.minorAt(i) >= minLo; });
        hi = FirstWhere(lo, hi, [&](i64 i) { return line.minorAt(i) >= minHi; });
    } else {
        lo = FirstWhere(lo, hi, [&](i64 i) { return line.minorAt(i) < minHi; });
        hi = FirstWhere(lo, hi, [&](i64 i) { return line.minorAt(i) < minLo; });
    }
    if (lo >= hi) return;

    // Bresenham from step lo: minor = minor0 + q, with num = 2n q - rem and 0 <= rem < 2n.
    const i64 twoN = 2 * line.n, twoD = 2 * std::llabs(line.d);
    const i128 num = i128{2} * line.d * lo - line.n;
    i64 q = static_cast<i64>(CeilDiv128(num, twoN));
    i64 rem = static_cast<i64>(i128{twoN} * q - num);
    const size_t firstSpan = out.size();
    for (i64 i = lo; i < hi; ++i) {
        const auto major = static_cast<int32_t>(line.major0 + line.step * i);
        const auto minor = static_cast<int32_t>(line.minor0 + q);
        if (!xMajor) {
            out.push_back(Span{major, minor, minor + 1});
        } else if (out.size() > firstSpan && out.back().y == minor) {
            Span& run = out.back();  // still on the same row: grow the run
            if (line.step > 0) run.x1 = major + 1;
            else run.x0 = major;
        } else {
            out.push_back(Span{minor, major, major + 1});
        }
        if (line.d >= 0) {
            rem -= twoD;
            if (rem < 0) rem += twoN, ++q;
        } else {
            rem += twoD;
            if (rem >= twoN) rem -= twoN, --q;
        }
    }
}

// ---- Wide lines ----------------------------------------------------------------------------------
//
// Measured in half pixels, a pixel's centre is (2x + 1, 2y + 1); the pen's centre is at
// (2x + 1, 2y + 1) of the end point for odd widths and at (2x, 2y) for even ones, and the pen's
// radius is the width itself. The capsule is two end discs and the band between them; it is
// convex, so each row is one run: the hull of the three parts' runs.
struct Capsule {
    i64 ax, ay, bx, by;  // end centres, half pixels
    i64 width;
    i64 dx, dy;          // b - a in whole pixels
    i64 len2;            // dx^2 + dy^2
    i64 reach;           // floor(width * sqrt(len2)): the band's half width times 2|d|, rounded down
    bool reachExact;     // the band's edges pass exactly through pixel centres
    bool keepPlusEdge, keepMinusEdge;  // which band edge keeps the centres lying on it
};

// Columns of row y inside the disc of diameter `width` centred at (cx, cy) (half pixels).
bool DiscRowSlow(i64 cx, i64 width, i64 sy, i64& first, i64& last) {
    const i64 m = width * width - sy * sy;
    if (m == 0) {  // the disc only touches this row: its top touch point counts, its bottom one not
        if (sy >= 0 || (cx & 1) == 0) return false;
        first = last = (cx - 1) / 2;
        return true;
    }
    const i64 inner = static_cast<i64>(FloorSqrt64(m - 1));  // largest |sx| strictly inside
    const i64 lowest = (inner + 1) * (inner + 1) == m ? -(inner + 1) : -inner;  // left edge counts
    first = CeilDiv(lowest + cx - 1, 2);
    last = FloorDiv(inner + cx - 1, 2);
    return first <= last;
}

inline bool DiscRow(i64 cx, i64 cy, i64 width, i64 y, i64& first, i64& last) {
    const i64 sy = 2 * y + 1 - cy;
    if (sy > width || sy < -width) return false;  // most rows of a long line
    return DiscRowSlow(cx, width, sy, first, last);
}

// The band between the two end discs, walked down one row at a time from row `y`. Its edges
// are straight, so each of its column limits moves by a fixed fraction per row.
class Band {
public:
    Band(const Capsule& c, i64 y) : c_(c) {
        if (c.len2 == 0) return;
        const i64 vy = 2 * y + 1 - c.ay;
        // Across the line: cross = dx * vy - dy * vx with vx = 2x + 1 - ax, and |cross| <= reach
        // (less one where an edge does not keep the centres on it).
        crossHi_ = c.reach - (c.reachExact && !c.keepPlusEdge ? 1 : 0);
        crossLo_ = -c.reach + (c.reachExact && !c.keepMinusEdge ? 1 : 0);
        crossAt_ = c.dx * vy;  // for a flat line, where cross does not depend on x
        if (c.dy != 0) {
            // 2 dy x lies in [base - crossHi, base - crossLo], base = dx vy - dy (1 - ax).
            const i64 base = c.dx * vy - c.dy * (1 - c.ax), d = 2 * std::llabs(c.dy), k = 2 * c.dx;
            if (c.dy > 0) acrossFirst_ = SteppedCeil(base - crossHi_, k, d), acrossLast_ = SteppedFloor(base - crossLo_, k, d);
            else acrossFirst_ = SteppedCeil(crossLo_ - base, -k, d), acrossLast_ = SteppedFloor(crossHi_ - base, -k, d);
        }
        // Along the line: 0 <= dx vx + dy vy <= 2 len2, that is 2 dx x in [along, along + 2 len2].
        along_ = -c.dy * vy - c.dx * (1 - c.ax);
        if (c.dx != 0) {
            const i64 d = 2 * std::llabs(c.dx), k = -2 * c.dy;
            if (c.dx > 0) alongFirst_ = SteppedCeil(along_, k, d), alongLast_ = SteppedFloor(along_ + 2 * c.len2, k, d);
            else alongFirst_ = SteppedCeil(-along_ - 2 * c.len2, -k, d), alongLast_ = SteppedFloor(-along_, -k, d);
        }
    }

    // The columns of the current row inside the band; false when none.
    bool row(i64& first, i64& last) const {
        if (c_.len2 == 0) return false;
        first = INT64_MIN / 4, last = INT64_MAX / 4;
        if (c_.dy == 0) {
            if (crossAt_ < crossLo_ || crossAt_ > crossHi_) return false;
        } else {
            first = acrossFirst_.value(), last = acrossLast_.value();
        }
        if (c_.dx == 0) {
            if (along_ > 0 || along_ < -2 * c_.len2) return false;
        } else {
            first = std::max(first, alongFirst_.value()), last = std::min(last, alongLast_.value());
        }
        return first <= last;
    }

    void next() {
        crossAt_ += 2 * c_.dx;
        along_ -= 2 * c_.dy;
        acrossFirst_.step(), acrossLast_.step(), alongFirst_.step(), alongLast_.step();
    }

private:
    const Capsule& c_;
    i64 crossHi_ = 0, crossLo_ = 0, crossAt_ = 0, along_ = 0;
    SteppedFloor acrossFirst_, acrossLast_, alongFirst_, alongLast_;
};

// Coordinates beyond this are first cut down to the clip (in floating point), so that the exact
// arithmetic above cannot overflow.
constexpr i64 kFar = i64{1} << 24;

bool IsFar(Point p) { return std::llabs(p.x) > kFar || std::llabs(p.y) > kFar; }

// Liang-Barsky: the part of the segment inside `box`, rounded to whole pixels.
bool CutSegment(Point& a, Point& b, const Rect& box) {
    const double x0 = a.x, y0 = a.y, ddx = double(b.x) - a.x, ddy = double(b.y) - a.y;
    double t0 = 0, t1 = 1;
    const double p[4] = {-ddx, ddx, -ddy, ddy};
    const double q[4] = {x0 - box.left, box.right - x0, y0 - box.top, box.bottom - y0};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
    a = Point{static_cast<int32_t>(std::lround(x0 + t0 * ddx)), static_cast<int32_t>(std::lround(y0 + t0 * ddy))};
    b = Point{static_cast<int32_t>(std::lround(x0 + t1 * ddx)), static_cast<int32_t>(std::lround(y0 + t1 * ddy))};
    return true;
}

void WideLineSpans(Point from, Point to, i64 width, const Rect& clip, SpanList& out) {
    if (clip.isEmpty()) return;
    if (IsFar(from) || IsFar(to)) {
        auto widen = [&](i64 v) { return static_cast<int32_t>(std::clamp<i64>(v, INT32_MIN, INT32_MAX)); };
        const Rect around{widen(clip.left - width - 2), widen(clip.top - width - 2),
                          widen(clip.right + width + 2), widen(clip.bottom + width + 2)};
        if (!CutSegment(from, to, around)) return;
    }
    const i64 odd = width & 1;
    Capsule c{};
    c.ax = 2 * i64{from.x} + odd, c.ay = 2 * i64{from.y} + odd;
    c.bx = 2 * i64{to.x} + odd, c.by = 2 * i64{to.y} + odd;
    c.width = width;
    c.dx = i64{to.x} - from.x, c.dy = i64{to.y} - from.y;
    c.len2 = c.dx * c.dx + c.dy * c.dy;
    const u128 reach2 = static_cast<u128>(width * width) * static_cast<u128>(c.len2);
    c.reach = static_cast<i64>(FloorSqrt(reach2));
    c.reachExact = static_cast<u128>(c.reach) * static_cast<u128>(c.reach) == reach2;
    // A centre on an edge counts when the edge's outward normal points left, or straight up.
    c.keepPlusEdge = c.dy > 0 || (c.dy == 0 && c.dx < 0);
    c.keepMinusEdge = c.dy < 0 || (c.dy == 0 && c.dx > 0);

    const i64 top = std::max<i64>(FloorDiv(std::min(c.ay, c.by) - width - 1, 2), clip.top);
    const i64 bottom = std::min<i64>(CeilDiv(std::max(c.ay, c.by) + width + 1, 2), clip.bottom);
    Band band(c, top);
    for (i64 y = top; y < bottom; ++y, band.next()) {
        i64 first = INT64_MAX, last = INT64_MIN, a, b;
        if (DiscRow(c.ax, c.ay, width, y, a, b)) first = std::min(first, a), last = std::max(last, b);
        if (DiscRow(c.bx, c.by, width, y, a, b)) first = std::min(first, a), last = std::max(last, b);
        if (band.row(a, b)) first = std::min(first, a), last = std::max(last, b);
        if (first <= last) AppendRow(out, y, first, last, clip);
    }
}

// ---- Polygons ---------------------------------------------------------------------------------

struct Crossing {
    i64 x;    // first column at or right of the edge on this row
    int dir;  // +1 for an edge going down, -1 going up
};

}  // namespace

void RectSpans(const Rect& box, const Rect& clip, SpanList& out) {
    const Rect r = IntersectRects(box, clip);
    for (int32_t y = r.top; y < r.bottom; ++y) out.push_back(Span{y, r.left, r.right});
}

void FrameRectSpans(const Rect& box, const Rect& clip, SpanList& out) {
    const Rect r = IntersectRects(box, clip);
    if (r.isEmpty()) return;
    const bool leftShows = r.left == box.left, rightShows = r.right == box.right && box.right - 1 > box.left;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        if (y == box.top || y == box.bottom - 1) {
            out.push_back(Span{y, r.left, r.right});
            continue;
        }
        if (leftShows) out.push_back(Span{y, box.left, box.left + 1});
        if (rightShows) out.push_back(Span{y, box.right - 1, box.right});
    }
}

void EllipseSpans(const Rect& box, const Rect& clip, SpanList& out) {
    const Rect r = IntersectRects(box, clip);
    if (r.isEmpty()) return;
    const EllipseRows rows(box);
    // Row y and row `mirror - y` are the same: work each pair out once.
    const i64 mirror = i64{box.top} + box.bottom - 1;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        const i64 partner = mirror - y;
        if (partner < y && partner >= r.top) continue;  // done with its partner
        i64 first = 0, last = 0;
        rows.row(y, first, last);
        AppendRow(out, y, first, last, clip);
        if (partner > y && partner < r.bottom) AppendRow(out, partner, first, last, clip);
    }
}

void FrameEllipseSpans(const Rect& box, const Rect& clip, SpanList& out) {
    const Rect r = IntersectRects(box, clip);
    if (r.isEmpty()) return;
    const EllipseRows rows(box);
    // A window of three rows slides down: above, this one, below.
    struct Row {
        bool inside;
        i64 first = 0, last = 0;
    };
    auto rowAt = [&](i64 y) {
        Row row{};
        row.inside = rows.row(y, row.first, row.last);
        return row;
    };
    Row above = rowAt(i64{r.top} - 1), here = rowAt(r.top);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        const Row below = rowAt(i64{y} + 1);
        // Inside pixels have all four neighbours in the ellipse.
        i64 innerFirst = here.first + 1, innerLast = here.last - 1;
        if (!above.inside || !below.inside) {
            innerFirst = 1, innerLast = 0;
        } else {
            innerFirst = std::max({innerFirst, above.first, below.first});
            innerLast = std::min({innerLast, above.last, below.last});
        }
        if (innerFirst > innerLast) {
            AppendRow(out, y, here.first, here.last, clip);
        } else {
            AppendRow(out, y, here.first, innerFirst - 1, clip);
            AppendRow(out, y, innerLast + 1, here.last, clip);
        }
        above = here, here = below;
    }
}

void LineSpans(Point from, Point to, int32_t width, const Rect& clip, SpanList& out) {
    if (width <= 1) ThinLineSpans(from, to, clip, out);
    else WideLineSpans(from, to, std::min(width, kMaxPenWidth), clip, out);
}

void PolygonSpans(const Point* points, int32_t count, const Rect& clip, SpanList& out) {
    if (count < 3 || clip.isEmpty()) return;
    i64 minY = points[0].y, maxY = points[0].y;
    for (int32_t i = 1; i < count; ++i) minY = std::min<i64>(minY, points[i].y), maxY = std::max<i64>(maxY, points[i].y);
    const i64 top = std::max<i64>(minY, clip.top), bottom = std::min<i64>(maxY, clip.bottom);
    std::vector<Crossing> crossings;
    crossings.reserve(static_cast<size_t>(count));
    const size_t firstSpan = out.size();
    for (i64 y = top; y < bottom; ++y) {
        crossings.clear();
        for (int32_t i = 0; i < count; ++i) {
            const Point& p = points[i];
            const Point& q = points[i + 1 < count ? i + 1 : 0];
            int dir;
            if (p.y <= y && y < q.y) dir = 1;       // an edge holds its upper end, not its lower
            else if (q.y <= y && y < p.y) dir = -1;
            else continue;
            const i128 num = i128{y - p.y} * (i64{q.x} - p.x);
            crossings.push_back(Crossing{p.x + static_cast<i64>(CeilDiv128(num, i64{q.y} - p.y)), dir});
        }
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        int winding = 0;
        i64 start = 0;
        for (const Crossing& c : crossings) {
            const int before = winding;
            winding += c.dir;
            if (before == 0 && winding != 0) {
                start = c.x;
            } else if (before != 0 && winding == 0 && start < c.x) {
                const size_t had = out.size();
                AppendRow(out, y, start, c.x - 1, clip);
                // A run that begins where the previous one ended continues it.
                if (out.size() > had && had > firstSpan && out[had - 1].y == y && out[had - 1].x1 == out[had].x0) {
                    out[had - 1].x1 = out[had].x1;
                    out.pop_back();
                }
            }
        }
    }
}

}  // namespace raster
