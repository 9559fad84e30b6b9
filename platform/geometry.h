// Plain geometry shared by every layer.
// Coordinates are pixels, y grows downward. A rectangle's right and bottom are exclusive:
// (0, 0, 10, 10) covers columns 0..9 and rows 0..9.
#pragma once

#include <cstdint>

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    // The difference of two 32-bit edges may not fit in 32 bits: it is held at the int limits.
    int32_t width() const { return Span(left, right); }
    int32_t height() const { return Span(top, bottom); }
    bool isEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const Rect&, const Rect&) = default;

private:
    static int32_t Span(int32_t from, int32_t to) {
        const int64_t d = int64_t{to} - from;
        return d > INT32_MAX ? INT32_MAX : d < INT32_MIN ? INT32_MIN : static_cast<int32_t>(d);
    }
};

// The intersection of two rectangles; empty (all zero) when they do not overlap.
inline Rect IntersectRects(const Rect& a, const Rect& b) {
    Rect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    if (r.isEmpty()) return Rect{};
    return r;
}
