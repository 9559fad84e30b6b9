// Rectangle arithmetic. Right and bottom are exclusive; a rect with right <= left or
// bottom <= top is empty.
#include <cstdint>

#include "toolbox/toolbox.h"

namespace {

// Coordinates wrap on overflow as 32-bit integers do in the rest of the platform's arithmetic,
// instead of being undefined behaviour.
int32_t Add(int32_t a, int64_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a + b)); }

}  // namespace

void tb_SetRect(Rect* rect, int left, int top, int right, int bottom) {
    if (rect == nullptr) return;
    *rect = Rect{left, top, right, bottom};
}

void tb_OffsetRect(Rect* rect, int dx, int dy) {
    if (rect == nullptr) return;
    *rect = Rect{Add(rect->left, dx), Add(rect->top, dy), Add(rect->right, dx), Add(rect->bottom, dy)};
}

void tb_InsetRect(Rect* rect, int dx, int dy) {
    if (rect == nullptr) return;
    *rect = Rect{Add(rect->left, dx), Add(rect->top, dy), Add(rect->right, -int64_t{dx}),
                 Add(rect->bottom, -int64_t{dy})};
}

int tb_PtInRect(int x, int y, const Rect* rect) {
    if (rect == nullptr) return 0;
    return x >= rect->left && x < rect->right && y >= rect->top && y < rect->bottom ? 1 : 0;
}

int tb_IntersectRect(Rect* destination, const Rect* a, const Rect* b) {
    if (destination == nullptr || a == nullptr || b == nullptr) return 0;
    *destination = IntersectRects(*a, *b);  // all zeros when they do not overlap
    return destination->isEmpty() ? 0 : 1;
}

int tb_UnionRect(const Rect* a, const Rect* b, Rect* destination) {
    if (destination == nullptr || a == nullptr || b == nullptr) return 0;
    Rect first = *a;
    Rect second = *b;
    if (first.isEmpty() && second.isEmpty()) {
        *destination = Rect{};
        return 0;
    }
    if (first.isEmpty()) {
        *destination = second;
    } else if (second.isEmpty()) {
        *destination = first;
    } else {
        *destination = Rect{first.left < second.left ? first.left : second.left,
                            first.top < second.top ? first.top : second.top,
                            first.right > second.right ? first.right : second.right,
                            first.bottom > second.bottom ? first.bottom : second.bottom};
    }
    return 1;
}
