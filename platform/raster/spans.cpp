#include "platform/raster/spans.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "platform/raster/blit.h"

namespace raster {

Ink InkFor(const PixelView& view, uint8_t red, uint8_t green, uint8_t blue) {
    Ink ink{blue, green, red, 0};
    if (view.bitCount != 8) return ink;
    // The same choice of entry as copies into 8-bit pictures make.
    ink.index = view.colorTable != nullptr ? NearestColorIndex(view.colorTable, red, green, blue)
                                           : static_cast<uint8_t>((red + green + blue) / 3);
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

namespace {

// Copies the ink block over `bytes` bytes: whole blocks with wide stores, then the rest of a
// block. The block starts on a pixel, and its length is a whole number of pixels, so every
// copy keeps the pixels in step.
void WritePlain(uint8_t* to, size_t bytes, const uint8_t* block) {
    for (; bytes >= RowFiller::kBlock; bytes -= RowFiller::kBlock, to += RowFiller::kBlock)
        std::memcpy(to, block, RowFiller::kBlock);
    std::memcpy(to, block, bytes);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) void WriteAvx2(uint8_t* to, size_t bytes, const uint8_t* block) {
    if (bytes >= RowFiller::kBlock) {
        const __m256i a = _mm256_load_si256(reinterpret_cast<const __m256i*>(block));
        const __m256i b = _mm256_load_si256(reinterpret_cast<const __m256i*>(block + 32));
        const __m256i c = _mm256_load_si256(reinterpret_cast<const __m256i*>(block + 64));
        for (; bytes >= RowFiller::kBlock; bytes -= RowFiller::kBlock, to += RowFiller::kBlock) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), a);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + 32), b);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + 64), c);
        }
    }
    std::memcpy(to, block, bytes);
}
#endif

// Chosen once for the processor the program runs on.
const auto kWriter = [] {
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx2")) return &WriteAvx2;
#endif
    return &WritePlain;
}();

}  // namespace

RowFiller::RowFiller(const PixelView& view, const Ink& ink)
    : bytesPerPixel_(view.bitCount == 8 ? 1 : 3), write_(kWriter) {
    if (bytesPerPixel_ == 1) {
        std::memset(block_, ink.index, kBlock);
        return;
    }
    for (size_t i = 0; i < kBlock; i += 3) {
        block_[i] = ink.blue;
        block_[i + 1] = ink.green;
        block_[i + 2] = ink.red;
    }
}

void PaintSpans(const PixelView& view, const Span* spans, size_t count, const Ink& ink) {
    const RowFiller filler(view, ink);
    for (size_t i = 0; i < count; ++i) {
        const Span& s = spans[i];
        if (s.x0 < s.x1) filler.fill(RowPointer(view, s.y), s.x0, s.x1);
    }
}

void FillRect(const PixelView& view, const Rect& rect, const Ink& ink) {
    if (rect.isEmpty()) return;
    const RowFiller filler(view, ink);
    for (int32_t y = rect.top; y < rect.bottom; ++y) filler.fill(RowPointer(view, y), rect.left, rect.right);
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
