// What the toolbox tables hold, for checks that the program gives back what it takes.
#include "toolbox/internal.h"

TableCounts tb_CountTableEntries() {
    TableCounts counts;
    for (int i = 0; i < kBitmapSlots; ++i) counts.bitmaps += toolbox::FindBitmapSlot(i) != nullptr;
    for (int i = 0; i < kRegionSlots; ++i) counts.regions += toolbox::FindRegion(i) != nullptr;
    for (int i = 0; i < kWindowSlots; ++i) counts.windows += toolbox::FindWindowSlot(kFirstWindowHandle + i) != nullptr;
    return counts;
}

PixelView tb_PeekBitmapPixels(int bitmap) {
    const toolbox::BitmapSlot* slot = toolbox::FindBitmapSlot(bitmap);
    return slot == nullptr ? PixelView{} : dib_ReadView(slot->image);
}
