// The bitmap table: 100 slots of pixel stores, their creation, disposal, queries and clip.
#include <array>

#include "platform/raster/blit.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace toolbox {
namespace {

std::array<BitmapSlot, kBitmapSlots> gBitmaps;

// The slot behind a bitmap handle whether it is in use or not; null outside 0..99.
BitmapSlot* SlotAt(int handle) {
    if (handle < 0 || handle >= kBitmapSlots) return nullptr;
    return &gBitmaps[static_cast<size_t>(handle)];
}

int FirstFreeSlot() {
    for (int i = 0; i < kBitmapSlots; ++i) {
        if (gBitmaps[static_cast<size_t>(i)].free) return i;
    }
    return -1;
}

// A resource of the other depth is converted the way a 1:1 copy into a fresh bitmap of the
// asked depth would convert it.
bool LoadResourceAtDepth(DibRecord& image, int id, int depth) {
    if (!dib_LoadResource(image, id)) return false;
    if (dib_GetBitCount(image) == depth) return true;
    DibRecord converted;
    const int32_t w = dib_GetWidth(image);
    const int32_t h = dib_GetHeight(image);
    const bool made = depth == 8 ? dib_CreateSection8(converted, w, h) : dib_CreateSection24(converted, w, h);
    if (made) {
        raster::CopyBlock(dib_ReadView(image), dib_WriteView(converted), raster::Block{0, 0, 0, 0, w, h},
                          raster::RasterOp::Copy);
    }
    dib_Free(image);
    image = std::move(converted);
    return made;
}

void ClearClip(DrawState& draw) {
    draw.clip = kNoClip;
    draw.clipInForce = false;
}

DrawState* ClipOwner(int handle) {
    if (handle >= kFirstWindowHandle) {
        WindowSlot* window = FindWindowSlot(handle);
        return window != nullptr ? &window->draw : nullptr;
    }
    // The clip belongs to the slot: it may be set while the slot is free.
    BitmapSlot* slot = SlotAt(handle);
    return slot != nullptr ? &slot->draw : nullptr;
}

}  // namespace

void ResetBitmapTable() {
    for (BitmapSlot& slot : gBitmaps) slot = BitmapSlot{};
}

BitmapSlot* FindBitmapSlot(int handle) {
    BitmapSlot* slot = SlotAt(handle);
    return slot != nullptr && !slot->free ? slot : nullptr;
}

bool ResolveBitmapTarget(int handle, Target& out) {
    BitmapSlot* slot = FindBitmapSlot(handle);
    if (slot == nullptr || !dib_MakeWritable(slot->image)) return false;
    out = Target{};
    out.view = dib_WriteView(slot->image);
    out.draw = &slot->draw;
    return true;
}

bool ResolveTarget(int handle, Target& out) {
    if (handle < kFirstWindowHandle) return ResolveBitmapTarget(handle, out);
    if (handle == kPrinterHandle) return ResolvePrinterPage(out);
    return ResolveWindowTarget(handle, out);
}

bool ResolveSource(int handle, Target& out) {
    if (handle == kPrinterHandle) return false;  // a page can be drawn on, not read
    if (handle >= kFirstWindowHandle) return ResolveTarget(handle, out);
    BitmapSlot* slot = FindBitmapSlot(handle);
    if (slot == nullptr) return false;
    out = Target{};
    out.view = dib_ReadView(slot->image);
    out.draw = &slot->draw;
    return true;
}

}  // namespace toolbox

using toolbox::BitmapSlot;
using toolbox::FindBitmapSlot;

int tb_CreateBitmap(Rect* rect, int source, int depth) {
    const int index = toolbox::FirstFreeSlot();
    if (index < 0) {
        tb_ErrorMessage("No more available Bitmaps! (tb_CreateBitmap)");
        return -1;
    }
    if (depth != 8 && depth != 24) {
        tb_ErrorMessage("Only 8 and 24 bit bitmaps can be created! (tb_CreateBitmap)");
        return -1;
    }
    BitmapSlot& slot = toolbox::gBitmaps[static_cast<size_t>(index)];
    Rect stored = rect != nullptr ? *rect : Rect{};
    if (source > 0) {
        if (!toolbox::LoadResourceAtDepth(slot.image, source, depth)) {
            tb_ErrorMessage("Could not load the bitmap resource! (tb_CreateBitmap)");
            return -1;
        }
        stored = Rect{0, 0, dib_GetWidth(slot.image), dib_GetHeight(slot.image)};
        if (rect != nullptr) *rect = stored;
    } else {
        const bool made = depth == 8 ? dib_CreateSection8(slot.image, stored.width(), stored.height())
                                     : dib_CreateSection24(slot.image, stored.width(), stored.height());
        // Our stand-in for the device context is the storage itself.
        if (!made) {
            tb_ErrorMessage("Could not create DC! (tb_CreateBitmap)");
            return -1;
        }
    }
    slot.free = false;
    slot.rect = stored;
    slot.draw.clipInForce = false;  // a new bitmap starts without a clip region in force
    return index;
}

void tb_DisposeBitmap(int bitmap) {
    BitmapSlot* slot = FindBitmapSlot(bitmap);
    if (slot == nullptr) {
        tb_ErrorMessage("There is no bitmap to free! (tb_DisposeBitmap)");
        return;
    }
    dib_Free(slot->image);
    slot->free = true;
    // The rect and the stored clip stay with the slot; a clip in force went with the bitmap.
    slot->draw.clipInForce = false;
}

void tb_GetBitmapRect(int bitmap, Rect* rect) {
    BitmapSlot* slot = FindBitmapSlot(bitmap);
    if (slot == nullptr) {
        tb_ErrorMessage("Invalid bitmap! (tb_GetBitmapRect)");
        return;
    }
    if (rect != nullptr) *rect = slot->rect;
}

int tb_GetBitmapWidth(int bitmap) {
    BitmapSlot* slot = FindBitmapSlot(bitmap);
    if (slot == nullptr) {
        tb_ErrorMessage("Invalid bitmap! (tb_GetBitmapWidth)");
        return -1;
    }
    return dib_GetWidth(slot->image);
}

int tb_GetBitmapHeight(int bitmap) {
    BitmapSlot* slot = FindBitmapSlot(bitmap);
    if (slot == nullptr) {
        tb_ErrorMessage("Invalid bitmap! (tb_GetBitmapHeight)");
        return -1;
    }
    return dib_GetHeight(slot->image);
}

int tb_GetBitmapStorageWidth(int bitmap) {
    BitmapSlot* slot = FindBitmapSlot(bitmap);
    if (slot == nullptr) {
        tb_ErrorMessage("Invalid bitmap! (tb_GetBitmapStorageWidth)");
        return -1;
    }
    return dib_GetStride(slot->image);
}

void tb_SetClipRect(int target, const Rect* rect) {
    toolbox::DrawState* draw = toolbox::ClipOwner(target);
    if (draw == nullptr) return;
    toolbox::ClearClip(*draw);
    if (rect != nullptr) draw->clip = *rect;
}

void tb_ClearClipRect(int target) {
    toolbox::DrawState* draw = toolbox::ClipOwner(target);
    if (draw != nullptr) toolbox::ClearClip(*draw);
}
