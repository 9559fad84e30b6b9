#include "platform/raster/spans.h"

#include <algorithm>
#include <climits>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace raster {

Ink InkFor(const PixelView& view, uint8_t red, uint8_t green, uint8_t blue) {
    Ink ink{blue, green, red, 0};
    if (view.bitCount != 8) return ink;
    if (view.colorTable == nullptr) {
        ink.index = static_cast<uint8_t>((red + green + blue) / 3);
        return ink;
    }
    int best = INT_MAX;
    for (int i = 0; i < 256; ++i) {
        const uint8_t* entry = view.colorTable + 4 * i;
        const int db = entry[0] - blue, dg = entry[1] - green, dr = entry[2] - red;
        const int distance = db * db + dg * dg + dr * dr;
        if (distance < best) {
            best = distance;
            ink.index = static_cast<uint8_t>(i);
            if (distance == 0) break;
        }
    }
    return ink;
}

uint32_t PixelAt(const PixelView& view, int32_t x, int32_t y) {
    const uint8_t* row = RowPointer(view, y);
    if (view.bitCount == 8) return row[x];
    const uint8_t* p = row + 3 * static_cast<intptr_t>(x);
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

uint32_t InkValue(const PixelView& view, const Ink& ink) {
    if (view.bitCount == 8) return ink.index;
    return static_cast<uint32_t>(ink.red) << 16 | static_cast<uint32_t>(ink.green) << 8 | ink.blue;
}

void FillRow8(uint8_t* row, int32_t x0, int32_t x1, const Ink& ink) {
    std::memset(row + x0, ink.index, static_cast<size_t>(x1 - x0));
}

void FillRow24(uint8_t* row, int32_t x0, int32_t x1, const Ink& ink) {
    uint8_t* p = row + 3 * static_cast<intptr_t>(x0);
    size_t count = static_cast<size_t>(x1 - x0);
    if (ink.blue == ink.green && ink.green == ink.red) {
        std::memset(p, ink.blue, 3 * count);
        return;
    }
    // Sixteen pixels are 48 bytes: three 16-byte stores of a pattern that repeats exactly.
    if (count >= 16) {
        alignas(16) uint8_t pattern[48];
        for (int i = 0; i < 48; i += 3) {
            pattern[i] = ink.blue;
            pattern[i + 1] = ink.green;
            pattern[i + 2] = ink.red;
        }
        const size_t blocks = count / 16;
#if defined(__SSE2__)
        const __m128i a = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern));
        const __m128i b = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 16));
        const __m128i c = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 32));
        for (size_t i = 0; i < blocks; ++i, p += 48) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), b);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), c);
        }
#else
        uint64_t words[6];
        std::memcpy(words, pattern, sizeof words);
        for (size_t i = 0; i < blocks; ++i, p += 48) std::memcpy(p, words, sizeof words);
#endif
        count -= blocks * 16;
    }
    for (; count > 0; --count, p += 3) {
        p[0] = ink.blue;
        p[1] = ink.green;
        p[2] = ink.red;
    }
}

void PaintSpans(const PixelView& view, const Span* spans, size_t count, const Ink& ink) {
    auto fill = view.bitCount == 8 ? FillRow8 : FillRow24;
    for (size_t i = 0; i < count; ++i) {
        const Span& s = spans[i];
        if (s.x0 < s.x1) fill(RowPointer(view, s.y), s.x0, s.x1, ink);
    }
}

void FillRect(const PixelView& view, const Rect& rect, const Ink& ink) {
    if (rect.isEmpty()) return;
    auto fill = view.bitCount == 8 ? FillRow8 : FillRow24;
    for (int32_t y = rect.top; y < rect.bottom; ++y) fill(RowPointer(view, y), rect.left, rect.right, ink);
}

Rect SpanBounds(const SpanList& spans) {
    Rect bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const Span& s : spans) {
        if (s.x0 >= s.x1) continue;
        bounds.left = std::min(bounds.left, s.x0);
        bounds.right = std::max(bounds.right, s.x1);
        bounds.top = std::min(bounds.top, s.y);
        bounds.bottom = std::max(bounds.bottom, s.y + 1);
    }
    if (bounds.isEmpty()) return Rect{};
    return bounds;
}

}  // namespace raster
