#include "platform/raster/region.h"

#include <algorithm>
#include <climits>

#include "platform/raster/shapes.h"

namespace raster {

Region Region::FromSpans(SpanList spans) {
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
    Region region;
    for (const Span& s : spans) {
        if (s.x0 >= s.x1) continue;
        if (!region.spans_.empty()) {
            Span& last = region.spans_.back();
            if (last.y == s.y && s.x0 <= last.x1) {  // overlaps or touches the previous span
                last.x1 = std::max(last.x1, s.x1);
                continue;
            }
        }
        region.spans_.push_back(s);
    }
    region.spans_.shrink_to_fit();
    region.bounds_ = SpanBounds(region.spans_);
    return region;
}

Region Region::Polygon(const Point* points, int32_t count) {
    if (count <= 0) return Region{};
    Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t i = 0; i < count; ++i) {
        box.left = std::min(box.left, points[i].x);
        box.right = std::max(box.right, points[i].x);
        box.top = std::min(box.top, points[i].y);
        box.bottom = std::max(box.bottom, points[i].y);
    }
    SpanList spans;
    PolygonSpans(points, count, box, spans);  // nothing of the polygon lies outside its corners
    return FromSpans(std::move(spans));
}

Region Region::Ellipse(const Rect& box) {
    SpanList spans;
    EllipseSpans(box, box, spans);
    return FromSpans(std::move(spans));
}

Region Region::Union(const Region& a, const Region& b) {
    SpanList spans;
    spans.reserve(a.spans_.size() + b.spans_.size());
    spans.insert(spans.end(), a.spans_.begin(), a.spans_.end());
    spans.insert(spans.end(), b.spans_.begin(), b.spans_.end());
    return FromSpans(std::move(spans));
}

bool Region::contains(int32_t x, int32_t y) const {
    // The first span at or after (x, y) in reading order.
    auto it = std::lower_bound(spans_.begin(), spans_.end(), Span{y, x, x}, [](const Span& s, const Span& key) {
        return s.y != key.y ? s.y < key.y : s.x1 <= key.x0;
    });
    return it != spans_.end() && it->y == y && it->x0 <= x && x < it->x1;
}

void Region::clippedSpans(const Rect& clip, SpanList& out) const {
    if (clip.isEmpty()) return;
    auto it = std::lower_bound(spans_.begin(), spans_.end(), clip.top,
                               [](const Span& s, int32_t top) { return s.y < top; });
    for (; it != spans_.end() && it->y < clip.bottom; ++it) {
        const int32_t x0 = std::max(it->x0, clip.left), x1 = std::min(it->x1, clip.right);
        if (x0 < x1) out.push_back(Span{it->y, x0, x1});
    }
}

}  // namespace raster
