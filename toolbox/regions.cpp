// The region table: 100 slots of pixel regions for hit tests and shaped painting.
//
// Region coordinates are whatever the creator used (window or picture pixels, y down); a
// region is only placed on a target when it is painted (tb_PaintRegion, drawing.cpp).
#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/raster/region.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace toolbox {
namespace {

struct RegionSlot {
    bool free = true;
    raster::Region region;
};

std::array<RegionSlot, kRegionSlots> gRegions;

int FirstFreeRegion() {
    for (int i = 0; i < kRegionSlots; ++i)
        if (gRegions[static_cast<size_t>(i)].free) return i;
    return -1;
}

RegionSlot* FindSlot(int handle) {
    if (handle < 0 || handle >= kRegionSlots) return nullptr;
    RegionSlot& slot = gRegions[static_cast<size_t>(handle)];
    return slot.free ? nullptr : &slot;
}

// No screen needs a region wider or taller than this; a bigger one would cost gigabytes of
// spans (a region keeps its spans row by row).
constexpr int64_t kMaxRegionSide = 32768;

bool FitsAScreen(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    return right - left <= kMaxRegionSide && bottom - top <= kMaxRegionSide;
}

int Take(int index, raster::Region region) {
    RegionSlot& slot = gRegions[static_cast<size_t>(index)];
    slot.region = std::move(region);
    slot.free = false;
    return index;
}

}  // namespace

void ResetRegionTable() {
    for (RegionSlot& slot : gRegions) slot = RegionSlot{};
}

const raster::Region* FindRegion(int handle) {
    const RegionSlot* slot = FindSlot(handle);
    return slot != nullptr ? &slot->region : nullptr;
}

}  // namespace toolbox

int tb_CreateRegion(const Point* points) {
    if (points == nullptr || (points[0].x == kEndOfPoints && points[0].y == kEndOfPoints)) return -1;
    const int index = toolbox::FirstFreeRegion();
    int count = 0;
    while (count < kMaxRegionPoints && points[count].x != kEndOfPoints && points[count].y != kEndOfPoints) ++count;
    if (index < 0) {
        tb_ErrorMessage("No more available Regions! (tb_CreateRegion)");
        return -1;
    }
    int64_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (int i = 0; i < count; ++i) {
        left = std::min<int64_t>(left, points[i].x);
        right = std::max<int64_t>(right, points[i].x);
        top = std::min<int64_t>(top, points[i].y);
        bottom = std::max<int64_t>(bottom, points[i].y);
    }
    // Fewer than two points make no polygon at all (a list that ends with a half marker).
    if (count < 2 || !toolbox::FitsAScreen(left, top, right, bottom)) {
        tb_AttentionMessage("Failed to create region.");
        return -1;
    }
    return toolbox::Take(index, raster::Region::Polygon(points, count));
}

int tb_CreateCircleRegion(int x, int y, int radius) {
    if (radius == 0) return -1;
    const int index = toolbox::FirstFreeRegion();
    if (index < 0) {
        tb_ErrorMessage("No more available Regions! (tb_CreateCircleRegion)");
        return -1;
    }
    const int64_t r = radius < 0 ? -int64_t{radius} : radius;
    const int64_t left = int64_t{x} - r, top = int64_t{y} - r, right = int64_t{x} + r, bottom = int64_t{y} + r;
    if (!toolbox::FitsAScreen(left, top, right, bottom)) {
        tb_AttentionMessage("Failed to create region.");
        return -1;
    }
    auto limit = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    const Rect box{limit(left), limit(top), limit(right), limit(bottom)};
    return toolbox::Take(index, raster::Region::Ellipse(box));
}

int tb_UnionRegion(int a, int b) {
    // The result starts as a one-pixel square in a slot of its own, then becomes the union. When
    // either region is missing there is nothing to unite and the square stays.
    const Point square[] = {{1, 1}, {2, 1}, {2, 2}, {1, 2}, {kEndOfPoints, kEndOfPoints}};
    const int result = tb_CreateRegion(square);
    if (result < 0) return -1;
    const raster::Region* first = toolbox::FindRegion(a);
    const raster::Region* second = toolbox::FindRegion(b);
    if (first != nullptr && second != nullptr) toolbox::Take(result, raster::Region::Union(*first, *second));
    return result;
}

int tb_PtInRegion(int x, int y, int region) {
    const raster::Region* found = toolbox::FindRegion(region);
    return found != nullptr && found->contains(x, y) ? 1 : 0;
}

void tb_DisposeRegion(int region) {
    if (toolbox::FindRegion(region) == nullptr) return;
    toolbox::gRegions[static_cast<size_t>(region)] = toolbox::RegionSlot{};
}
