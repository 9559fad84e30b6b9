// A view of pixels laid out exactly as in a BMP file: bottom-up rows, each padded to a
// multiple of 4 bytes; 24-bit pixels are stored blue, green, red; 8-bit pixels index a
// colour table of 256 entries (blue, green, red, reserved).
//
// Row y of the picture (y = 0 at the top) starts at bits + (height - 1 - y) * stride.
// The view does not own the memory it points at.
#pragma once

#include <cstdint>

struct PixelView {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;        // bytes from one stored row to the next
    int32_t bitCount = 24;     // 8 or 24
    uint8_t* colorTable = nullptr;  // 256 x 4 bytes for 8-bit views, else null

    bool isValid() const { return bits != nullptr && width > 0 && height > 0; }
};

// The one place that turns a picture row into a row pointer.
inline uint8_t* RowPointer(const PixelView& v, int32_t y) {
    return v.bits + static_cast<intptr_t>(v.height - 1 - y) * v.stride;
}

// Bytes per stored row for a width and depth: width * bytes per pixel, rounded up to 4.
inline int32_t StrideFor(int32_t width, int32_t bitCount) {
    return ((width * bitCount + 31) / 32) * 4;
}
