// Regions: arbitrary sets of pixels, kept as spans sorted by row and then by column.
//
// Coordinates are pixels, y down, in whatever space the region's maker used; a region has no
// view and is never clipped until it is painted. Within a row the spans are separate and do not
// touch (two touching spans are one).
#pragma once

#include <cstdint>

#include "platform/geometry.h"
#include "platform/raster/spans.h"

namespace raster {

class Region {
public:
    Region() = default;

    // Any spans, in any order, overlapping or not.
    static Region FromSpans(SpanList spans);
    // The polygon through the points with the winding rule (see PolygonSpans).
    static Region Polygon(const Point* points, int32_t count);
    // The ellipse inscribed in the box (see EllipseSpans).
    static Region Ellipse(const Rect& box);
    static Region Union(const Region& a, const Region& b);

    bool contains(int32_t x, int32_t y) const;
    bool isEmpty() const { return spans_.empty(); }
    const Rect& bounds() const { return bounds_; }  // empty (all zero) for an empty region
    const SpanList& spans() const { return spans_; }

    // Appends the region's spans cut to `clip`.
    void clippedSpans(const Rect& clip, SpanList& out) const;

private:
    SpanList spans_;
    Rect bounds_{};
};

}  // namespace raster
