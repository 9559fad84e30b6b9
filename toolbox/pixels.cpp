// Single pixels and the 5 x 5 filter, straight on a bitmap's pixel rows.
//
// Coordinates are the bitmap's pixels, y down. These operations take their bitmap as valid
// and report nothing; a handle that names no bitmap in use does nothing.
#include <algorithm>

#include "pictures/line_art.h"
#include "platform/raster/convolve.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace {

constexpr int kFullScale = 65025;

// The inside test of the pixel operations includes the right and bottom edges.
bool InsideStoredRect(const toolbox::BitmapSlot& slot, int x, int y) {
    const Rect& r = slot.rect;
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

uint8_t ToByte(int component) { return static_cast<uint8_t>(std::clamp(component, 0, kFullScale) / 255); }

raster::Kernel5x5 FixedKernel(const FilterKernel& k) {
    raster::Kernel5x5 fixed;
    std::copy(&k.weights[0][0], &k.weights[0][0] + 25, &fixed.weights[0][0]);
    fixed.divisor = k.divisor;
    fixed.bias = k.bias;
    fixed.filterRed = k.red != 0;
    fixed.filterGreen = k.green != 0;
    fixed.filterBlue = k.blue != 0;
    return fixed;
}

// With random weights every neighbour of every pixel draws its own factor, in a fixed order:
// rows from the bottom up, pixels from right to left, neighbours row by row.
void ConvolveRandom(const PixelView& src, const Rect& area, const FilterKernel& k, const PixelView& out) {
    const int64_t divisor = k.divisor == 0 ? 1 : k.divisor;
    const bool filter[3] = {k.blue != 0, k.green != 0, k.red != 0};  // bytes b, g, r
    for (int32_t y = area.bottom - 1; y >= area.top; --y) {
        const uint8_t* own = RowPointer(src, y);
        uint8_t* o = RowPointer(out, y - area.top);
        for (int32_t x = area.right - 1; x >= area.left; --x) {
            int64_t sum[3] = {0, 0, 0};
            for (int32_t dy = -2; dy <= 2; ++dy) {
                if (y + dy < 0 || y + dy >= src.height) continue;
                const uint8_t* row = RowPointer(src, y + dy);
                for (int32_t dx = -2; dx <= 2; ++dx) {
                    if (x + dx < 0 || x + dx >= src.width) continue;
                    const int64_t weight = int64_t{k.weights[dy + 2][dx + 2]} * tb_Random(k.randomLow, k.randomHigh);
                    for (int c = 0; c < 3; ++c) sum[c] += weight * row[3 * (x + dx) + c];
                }
            }
            for (int c = 0; c < 3; ++c) {
                const int64_t v = sum[c] / divisor + k.bias;
                o[3 * (x - area.left) + c] = filter[c] ? static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255))
                                                       : own[3 * x + c];
            }
        }
    }
}

}  // namespace

void tb_GetPixel(int bitmap, int x, int y, int* red, int* green, int* blue) {
    uint8_t r = 0, g = 0, b = 0;
    const toolbox::BitmapSlot* slot = toolbox::FindBitmapSlot(bitmap);
    if (slot != nullptr && InsideStoredRect(*slot, x, y)) dib_GetPixelRGB(slot->image, x, y, r, g, b);
    if (red != nullptr) *red = r * 255;
    if (green != nullptr) *green = g * 255;
    if (blue != nullptr) *blue = b * 255;
}

void tb_SetPixel(int bitmap, int x, int y, int red, int green, int blue) {
    toolbox::BitmapSlot* slot = toolbox::FindBitmapSlot(bitmap);
    if (slot == nullptr || !InsideStoredRect(*slot, x, y)) return;
    dib_SetPixelRGB(slot->image, x, y, ToByte(red), ToByte(green), ToByte(blue));
}

void tb_InitKernel(FilterKernel* kernel) {
    if (kernel == nullptr) return;
    *kernel = FilterKernel{};
    kernel->divisor = 1;
    kernel->red = kernel->green = kernel->blue = 1;
}

void tb_Convolve(int bitmap, const Rect* rect, const FilterKernel* kernel) {
    toolbox::BitmapSlot* slot = toolbox::FindBitmapSlot(bitmap);
    if (slot == nullptr || rect == nullptr || kernel == nullptr || dib_GetBitCount(slot->image) != 24) return;
    const PixelView picture = dib_ReadView(slot->image);
    const Rect area = IntersectRects(IntersectRects(*rect, slot->rect), Rect{0, 0, picture.width, picture.height});

    // The results wait in a bitmap of the table (so a full table stops the filter, reported
    // as any creation is) and go back in one pass, leaving the source untouched meanwhile.
    Rect scratchRect{0, 0, area.width(), area.height()};
    const int scratch = tb_CreateBitmap(&scratchRect, -1, 24);
    if (scratch < 0) return;
    if (!area.isEmpty()) {
        toolbox::BitmapSlot& out = *toolbox::FindBitmapSlot(scratch);
        const PixelView outView = dib_WriteView(out.image);
        if (kernel->random != 0) {
            ConvolveRandom(picture, area, *kernel, outView);
        } else {
            raster::Convolve5x5(picture, area, FixedKernel(*kernel), outView, Point{0, 0});
        }
        dib_CopyRect(out.image, 0, 0, area.width(), area.height(), slot->image, area.left, area.top, 0);
    }
    tb_DisposeBitmap(scratch);
}

int tb_ShrinkBitmap(int bitmap, int width, int height) {
    toolbox::BitmapSlot* slot = toolbox::FindBitmapSlot(bitmap);
    if (slot == nullptr || dib_GetBitCount(slot->image) != 24) return -1;
    Rect size{0, 0, width, height};
    const int shrunk = tb_CreateBitmap(&size, 0, 24);
    toolbox::BitmapSlot* target = toolbox::FindBitmapSlot(shrunk);
    if (target == nullptr || !dib_MakeWritable(target->image)) {
        if (shrunk >= 0) tb_DisposeBitmap(shrunk);
        return -1;
    }
    pictures::ShrinkByArea(dib_ReadView(slot->image), dib_WriteView(target->image));
    return shrunk;
}

int tb_CleanLineArt(int bitmap) {
    toolbox::BitmapSlot* slot = toolbox::FindBitmapSlot(bitmap);
    if (slot == nullptr || dib_GetBitCount(slot->image) != 24 || !dib_MakeWritable(slot->image)) return 0;
    return pictures::CleanLineArt(dib_WriteView(slot->image)) ? 1 : 0;
}
