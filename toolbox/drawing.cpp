// Drawing primitives and colours: figures, lines, flood fill and regions in a target's fore
// colour, and resource pictures placed or tiled into bitmaps.
//
// Coordinates are the target's pixels, y down; rectangles are right/bottom exclusive. Every
// figure is clipped to the target and to the clip in force on it (ClipInForce); geometry is
// never clipped before it is turned into spans, so a clipped figure is a crop of the whole one.
#include <algorithm>
#include <string>

#include "platform/print_page.h"
#include "platform/raster/fill.h"
#include "platform/raster/region.h"
#include "platform/raster/shapes.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace toolbox {

DrawState& PrinterDrawState() {
    static DrawState printer;
    return printer;
}

}  // namespace toolbox

namespace {

using toolbox::Target;

// Reused by every primitive (all drawing happens on the one thread of the message loop).
raster::SpanList gSpans;
raster::FloodFiller gFiller;

void Report(const char* what, const char* operation) {
    tb_ErrorMessage((std::string(what) + " (" + operation + ")").c_str());
}

// The target to draw into. A bad bitmap handle is reported as "Invalid bitmap!"; a bitmap whose
// pixels cannot be written, or the printer page without a document, as having no context; both
// under `reportAs`. A window that is not open is passed over in silence.
bool Open(int handle, const char* reportAs, Target& target) {
    if (toolbox::ResolveTarget(handle, target)) return true;
    const bool bitmap = handle < kFirstWindowHandle;
    if (bitmap && toolbox::FindBitmapSlot(handle) == nullptr) Report("Invalid bitmap!", reportAs);
    else if (bitmap || handle == kPrinterHandle) Report("Bitmap does not have a DC!", reportAs);
    return false;
}

Rect Ordered(const Rect& r) {
    return Rect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

raster::Ink InkOf(const Target& target, toolbox::Rgb8 colour) {
    return raster::InkFor(target.view, colour.red, colour.green, colour.blue);
}

// Writes the collected spans in the colour and shows them on a window, or puts them on the page.
void PaintCollected(const Target& target, toolbox::Rgb8 colour) {
    if (target.isPrinter) {
        target.page->fillSpans(gSpans, colour.red, colour.green, colour.blue);
        return;
    }
    raster::PaintSpans(target.view, gSpans, InkOf(target, colour));
    toolbox::PresentTarget(target, raster::SpanBounds(gSpans));
}

using SpanMaker = void (*)(const Rect&, const Rect&, raster::SpanList&);

void DrawFigure(int handle, const Rect* rect, SpanMaker make, const char* reportAs) {
    if (rect == nullptr) return;
    Target target;
    if (!Open(handle, reportAs, target)) return;
    gSpans.clear();
    make(Ordered(*rect), toolbox::ClipInForce(target), gSpans);
    PaintCollected(target, target.draw->fore);
}

void FillBox(int handle, const Rect* rect, const char* reportAs, bool black) {
    if (rect == nullptr) return;
    Target target;
    if (!Open(handle, reportAs, target)) return;
    const Rect area = IntersectRects(Ordered(*rect), toolbox::ClipInForce(target));
    if (target.isPrinter) {
        gSpans.clear();
        for (int32_t y = area.top; y < area.bottom; ++y) gSpans.push_back(raster::Span{y, area.left, area.right});
        PaintCollected(target, black ? toolbox::Rgb8{} : target.draw->fore);
        return;
    }
    raster::FillRect(target.view, area, InkOf(target, black ? toolbox::Rgb8{} : target.draw->fore));
    toolbox::PresentTarget(target, area);
}

// Where a colour is stored for tb_SetForeColor and tb_SetBackColor; reports a free slot.
toolbox::DrawState* ColourState(int handle, const char* operation) {
    if (handle == kPrinterHandle) return &toolbox::PrinterDrawState();
    if (handle < kFirstWindowHandle) {
        toolbox::BitmapSlot* slot = toolbox::FindBitmapSlot(handle);
        if (slot == nullptr) Report("Invalid bitmap!", operation);
        return slot != nullptr ? &slot->draw : nullptr;
    }
    toolbox::WindowSlot* slot = toolbox::FindWindowSlot(handle);
    if (slot == nullptr) Report("Invalid window!", operation);
    return slot != nullptr ? &slot->draw : nullptr;
}

}  // namespace

void tb_SetForeColor(int target, int red, int green, int blue) {
    if (toolbox::DrawState* state = ColourState(target, "tb_SetForeColor"))
        state->fore = toolbox::ColorFrom65025(red, green, blue);
}

void tb_SetBackColor(int target, int red, int green, int blue) {
    if (toolbox::DrawState* state = ColourState(target, "tb_SetBackColor"))
        state->back = toolbox::ColorFrom65025(red, green, blue);
}

void tb_PaintRect(int target, const Rect* rect) { FillBox(target, rect, "tb_PaintRect", false); }

void tb_Rectangle(int target, const Rect* rect) { FillBox(target, rect, "tb_Rectangle", true); }

void tb_FrameRect(int target, const Rect* rect) { DrawFigure(target, rect, raster::FrameRectSpans, "tb_FrameRect"); }

void tb_PaintEllipse(int target, const Rect* rect) {
    DrawFigure(target, rect, raster::EllipseSpans, "tb_PaintEllipse");
}

// Reports under tb_FrameRect's name, as it always has.
void tb_FrameEllipse(int target, const Rect* rect) {
    DrawFigure(target, rect, raster::FrameEllipseSpans, "tb_FrameRect");
}

void tb_Line(int target, int x1, int y1, int x2, int y2, int width) {
    Target t;
    if (!toolbox::ResolveTarget(target, t)) {
        if (target < kFirstWindowHandle) Report("Invalid bitmap!", "tb_Line");
        return;  // no page or no window: nothing to draw on, nothing to say
    }
    Rect clip = raster::ViewRect(t.view);
    if (!t.isPrinter && toolbox::IsClipSet(t.draw->clip)) {
        if (t.window == 0) {
            // On a bitmap the line leaves its clip in force for every later drawing.
            t.draw->clipInForce = true;
            t.draw->clipInForceRect = t.draw->clip;
            clip = toolbox::ClipInForce(t);
        } else {
            clip = IntersectRects(clip, t.draw->clip);
        }
    } else if (!t.isPrinter) {
        clip = toolbox::ClipInForce(t);
    }
    gSpans.clear();
    raster::LineSpans(Point{x1, y1}, Point{x2, y2}, width, clip, gSpans);
    PaintCollected(t, t.draw->fore);
}

// Reports under tb_PaintRect's name, as it always has. A printer's page cannot be read, so
// there is nothing to fill there.
void tb_FloodFill(int target, int x, int y, int red, int green, int blue) {
    Target t;
    if (!Open(target, "tb_PaintRect", t) || t.isPrinter) return;
    const toolbox::Rgb8 surface = toolbox::ColorFrom65025(red, green, blue);
    const uint32_t surfaceValue = raster::InkValue(t.view, InkOf(t, surface));
    const Rect changed = gFiller.fill(t.view, x, y, surfaceValue, InkOf(t, t.draw->fore), toolbox::ClipInForce(t));
    toolbox::PresentTarget(t, changed);
}

void tb_PaintRegion(int target, int region) {
    Target t;
    if (!Open(target, "tb_PaintRegion", t)) return;
    const raster::Region* found = toolbox::FindRegion(region);
    if (found == nullptr) return;
    gSpans.clear();
    found->clippedSpans(toolbox::ClipInForce(t), gSpans);
    PaintCollected(t, t.draw->fore);
}

void tb_DrawPictureToBitmap(int target, int resourceId, int x, int y, Rect* rect) {
    if (target < kFirstWindowHandle && toolbox::FindBitmapSlot(target) == nullptr) {
        Report("Invalid destination bitmap!", "tb_DrawPictureToBitmap");
        return;
    }
    Rect size{};
    const int picture = tb_CreateBitmap(&size, resourceId, 24);
    if (picture < 0) return;
    const Rect placed{x, y, x + size.width(), y + size.height()};
    tb_CopyBitmap(picture, target, &size, &placed, 0);
    tb_DisposeBitmap(picture);
    if (rect != nullptr) *rect = placed;
}

void tb_TileBitmap(int bitmap, int resourceId, const Rect* rect) {
    if (rect == nullptr || toolbox::FindBitmapSlot(bitmap) == nullptr) return;
    Rect tileRect{};
    const int tile = tb_CreateBitmap(&tileRect, resourceId, 24);
    if (tile < 0) return;
    const int32_t w = rect->width(), h = rect->height();
    const int32_t tw = tileRect.width(), th = tileRect.height();
    if (w < tw || h < th || tw <= 0 || th <= 0) {
        tb_DisposeBitmap(tile);
        return;
    }
    // Whole tiles into a work picture by rows of bytes, then the wanted part of it at once.
    const int32_t columns = (w + tw - 1) / tw, rows = (h + th - 1) / th;
    Rect workRect{0, 0, columns * tw, rows * th};
    const int work = tb_CreateBitmap(&workRect, -1, 24);
    if (work >= 0) {
        const DibRecord& tileImage = toolbox::FindBitmapSlot(tile)->image;
        DibRecord& workImage = toolbox::FindBitmapSlot(work)->image;
        for (int32_t r = 0; r < rows; ++r)
            for (int32_t c = 0; c < columns; ++c) dib_CopyRect(tileImage, 0, 0, tw, th, workImage, c * tw, r * th, 0);
        dib_CopyRect(workImage, 0, 0, w, h, toolbox::FindBitmapSlot(bitmap)->image, 0, 0, 0);
        tb_DisposeBitmap(work);
    }
    tb_DisposeBitmap(tile);
}

int tb_CreateTiledBitmap(const Rect* rect, int resourceId) {
    if (rect == nullptr) return -1;
    Rect stored = *rect;
    const int bitmap = tb_CreateBitmap(&stored, -1, 24);
    if (bitmap >= 0) tb_TileBitmap(bitmap, resourceId, rect);
    return bitmap;
}
