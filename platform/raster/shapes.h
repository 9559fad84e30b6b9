// Shapes turned into spans: rectangles, ellipses, lines of any width and polygons.
//
// Coordinates are pixels, y down; a pixel (x, y) is the unit square whose top-left corner is
// (x, y). A box (left, top, right, bottom) covers the columns left .. right - 1 and the rows
// top .. bottom - 1; a box with right <= left or bottom <= top is empty and draws nothing.
//
// Clipping: every producer takes the unclipped geometry and a clip rectangle, and appends to
// `out` only the spans inside the clip, at most one span per row and shape part, never
// overlapping another span it appends. Shape (radii, slopes, caps) always comes from the
// unclipped geometry, so a partly clipped shape is an exact crop of the whole one. The clip
// must lie inside the view the spans are written to.
#pragma once

#include <cstdint>

#include "platform/geometry.h"
#include "platform/raster/spans.h"

namespace raster {

// The box filled.
void RectSpans(const Rect& box, const Rect& clip, SpanList& out);

// The box's 1-pixel outline: its first and last row and column.
void FrameRectSpans(const Rect& box, const Rect& clip, SpanList& out);

// The ellipse inscribed in the box. It reaches the box's first and last row and column, is
// symmetric about both axes of the box, and a box's transpose gives the transposed ellipse.
void EllipseSpans(const Rect& box, const Rect& clip, SpanList& out);

// The 1-pixel outline of that ellipse: the pixels of the filled ellipse that have a 4-neighbour
// outside it. It is 8-connected and lies within the filled ellipse.
void FrameEllipseSpans(const Rect& box, const Rect& clip, SpanList& out);

// A line from `from` to `to` with a pen `width` pixels wide.
// - Width 1 or less: a 1-pixel line that includes `from` and leaves out `to`: one pixel per
//   column for lines flatter than 45 degrees, one per row for steeper ones, each the pixel
//   nearest the ideal line (on a tie the upper, or for steep lines the left, pixel).
//   A line to its own start draws nothing.
// - Wider: the capsule swept by a disc of that diameter along the line, round ends included;
//   a line to its own start is a round dot. Odd widths centre the pen on the pixel, even
//   widths on its top-left corner, so a horizontal line of width w covers exactly w rows.
//   Pixels whose centre lies exactly on the capsule's edge count when the edge faces left
//   (or, where it is horizontal, up).
// Widths above kMaxPenWidth are drawn as kMaxPenWidth.
constexpr int32_t kMaxPenWidth = 4096;
void LineSpans(Point from, Point to, int32_t width, const Rect& clip, SpanList& out);

// The polygon through `points` (closed back to the first) with the winding rule: a pixel is
// inside when the polygon winds around its top-left corner a non-zero number of times (corners
// on a left or top edge count, on a right or bottom edge do not). Spans within a row come out
// sorted, separate and not touching.
void PolygonSpans(const Point* points, int32_t count, const Rect& clip, SpanList& out);

}  // namespace raster
