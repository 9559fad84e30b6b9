// Copies between bitmaps, windows, dialogs and the printer page.
//
// Rectangles are in each target's own pixel coordinates, y down, right/bottom exclusive.
// A destination's stored clip rectangle limits every copy into it; on a bitmap the copy also
// puts that clip in force for later drawing (DrawState::clipInForce) until tb_ClearClipRect.
#include <algorithm>

#include "platform/print_page.h"
#include "platform/raster/blit.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace toolbox {

Rect ClipInForce(const Target& target) {
    const Rect whole = raster::Bounds(target.view);
    if (target.draw == nullptr || !target.draw->clipInForce) return whole;
    return IntersectRects(whole, target.draw->clipInForceRect);
}

namespace {

using raster::RasterOp;

bool IsBitmapTarget(const Target& t) { return t.window == 0 && !t.isPrinter; }

// The clip a copy honours: the destination's stored clip rectangle when it is set (a copy
// into a bitmap then leaves it in force), otherwise whatever clip is already in force.
struct CopyClip {
    Rect rect{};
    bool stored = false;
};

CopyClip InstallClip(const Target& dst) {
    if (dst.draw == nullptr || dst.isPrinter || !IsClipSet(dst.draw->clip)) return CopyClip{ClipInForce(dst), false};
    DrawState& draw = *dst.draw;
    if (IsBitmapTarget(dst)) {
        draw.clipInForce = true;
        draw.clipInForceRect = draw.clip;
    }
    return CopyClip{draw.clip, true};
}

Rect UnionRects(const Rect& a, const Rect& b) {
    if (a.isEmpty()) return b;
    if (b.isEmpty()) return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// An equal-size copy into a clipped destination: a block that reaches 4 pixels or less into
// the clip rectangle on any side is not copied at all. Otherwise one side per axis is trimmed
// and the clip takes care of the rest.
bool TrimToClip(raster::Block& b, const Rect& clip) {
    const int64_t x = b.dx, y = b.dy, w = b.w, h = b.h;
    if (!(clip.left + 4 < x + w && x < clip.right - 4 && y + h > clip.top + 4 && y < clip.bottom - 4)) {
        return false;
    }
    auto trim = [](int32_t& s, int32_t& d, int32_t& len, int32_t lo, int32_t hi) {
        if (int64_t{d} + len > hi) {
            len = hi - d;
        } else if (d < lo) {
            const int32_t offset = lo - d;
            s += offset;
            d += offset;
            len -= offset;
        }
    };
    trim(b.sx, b.dx, b.w, clip.left, clip.right);
    trim(b.sy, b.dy, b.h, clip.top, clip.bottom);
    return true;
}

// The copy itself once source and destination are known; returns the rectangle it changed.
Rect CopyBetween(const Target& src, const Target& dst, const Rect& sr, const Rect& dr) {
    if (dst.isPrinter) {
        dst.page->drawPicture(src.view, sr, dr);
        return Rect{};
    }
    const CopyClip clip = InstallClip(dst);
    if (sr.width() != dr.width() || sr.height() != dr.height()) {
        return raster::StretchBlock(src.view, sr, dst.view, dr, clip.rect, RasterOp::Copy);
    }
    raster::Block block{sr.left, sr.top, dr.left, dr.top, sr.width(), sr.height()};
    if (clip.stored && !TrimToClip(block, clip.rect)) return Rect{};
    if (!raster::ClipBlock(block, src.view, dst.view, clip.rect)) return Rect{};
    raster::CopyBlock(src.view, dst.view, block, RasterOp::Copy);
    return Rect{block.dx, block.dy, block.dx + block.w, block.dy + block.h};
}

// The three checks shared by tb_CopyBitmap and tb_CopyBitmapBits, reported in this order.
bool ValidateCopy(int source, int destination) {
    if (source < kFirstWindowHandle && FindBitmapSlot(source) == nullptr) {
        tb_ErrorMessage("Invalid source bitmap! (tb_CopyBitmap)");
        return false;
    }
    if (destination < kFirstWindowHandle && FindBitmapSlot(destination) == nullptr) {
        tb_ErrorMessage("Invalid destination bitmap! (tb_CopyBitmap)");
        return false;
    }
    if (destination >= kFirstWindowHandle && destination != kPrinterHandle && FindWindowSlot(destination) == nullptr) {
        tb_ErrorMessage("Invalid destination window! (tb_CopyBitmap)");
        return false;
    }
    return true;
}

// Destination first: making a resource bitmap writable moves its pixels, and a copy of a
// bitmap onto itself must read the moved ones.
bool ResolvePair(int source, int destination, Target& src, Target& dst) {
    return ResolveTarget(destination, dst) && ResolveSource(source, src);
}

}  // namespace

}  // namespace toolbox

using toolbox::Target;

void tb_CopyBitmap(int source, int destination, const Rect* sourceRect, const Rect* destRect, int flag) {
    if (!toolbox::ValidateCopy(source, destination) || sourceRect == nullptr || destRect == nullptr) return;
    Target src, dst;
    if (!toolbox::ResolvePair(source, destination, src, dst)) return;
    const Rect changed = toolbox::CopyBetween(src, dst, *sourceRect, *destRect);
    toolbox::PresentTarget(dst, changed);
}

void tb_CopyBitmapBits(int source, int destination, const Rect* sourceRect, const Rect* destRect, int flag) {
    if (source >= kFirstWindowHandle) {
        tb_ErrorMessage("Can't copy from a window! (tb_CopyBitmap)");
        return;
    }
    if (!toolbox::ValidateCopy(source, destination) || sourceRect == nullptr || destRect == nullptr) return;
    Target src, dst;
    if (!toolbox::ResolvePair(source, destination, src, dst)) return;
    const Rect& sr = *sourceRect;
    const Rect& dr = *destRect;
    if (toolbox::IsBitmapTarget(dst)) {
        // Unstretched and unclipped, except by a clip already in force on the bitmap.
        raster::Block block{sr.left, sr.top, dr.left, dr.top, sr.width(), sr.height()};
        if (!raster::ClipBlock(block, src.view, dst.view, toolbox::ClipInForce(dst))) return;
        raster::CopyBlock(src.view, dst.view, block, raster::RasterOp::Copy);
        return;
    }
    // A window or the page gets the picture through a fresh context: no clip at all.
    if (dst.isPrinter) {
        dst.page->drawPicture(src.view, sr, dr);
        return;
    }
    const Rect changed =
        raster::StretchBlock(src.view, sr, dst.view, dr, raster::Bounds(dst.view), raster::RasterOp::Copy);
    toolbox::PresentTarget(dst, changed);
}

void tb_CopyMaskedBitmap(int image, int mask, int destination, const Rect* imageRect, const Rect* maskRect,
                         const Rect* destRect) {
    if (imageRect == nullptr || maskRect == nullptr || destRect == nullptr) return;
    Target dst, picture, shape;
    // Masking reads the destination back, which a printer's page cannot give.
    if (!toolbox::ResolveTarget(destination, dst) || dst.isPrinter || !toolbox::ResolveSource(image, picture) ||
        !toolbox::ResolveSource(mask, shape)) {
        return;
    }
    const Rect clip = toolbox::InstallClip(dst).rect;
    const Rect a = raster::StretchBlock(shape.view, *maskRect, dst.view, *destRect, clip, raster::RasterOp::Or);
    const Rect b = raster::StretchBlock(picture.view, *imageRect, dst.view, *destRect, clip, raster::RasterOp::And);
    toolbox::PresentTarget(dst, toolbox::UnionRects(a, b));
}

void tb_CopyBitmapToDialog(platform::NativeWindow dialog, int bitmap, const Rect* sourceRect,
                           const Rect* destRect) {
    Target src;
    const PixelView view = dialog != 0 && platform::Plat().isWindow(dialog) ? platform::Plat().backingStore(dialog)
                                                                             : PixelView{};
    if (!toolbox::ResolveSource(bitmap, src) || !view.isValid() || sourceRect == nullptr || destRect == nullptr) {
        tb_ErrorMessage("Failed to copy Keyboard Image");
        return;
    }
    const Rect changed =
        raster::StretchBlock(src.view, *sourceRect, view, *destRect, raster::Bounds(view), raster::RasterOp::Copy);
    if (!changed.isEmpty()) platform::Plat().present(dialog, changed);
}
