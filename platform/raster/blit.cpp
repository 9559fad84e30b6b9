#include "platform/raster/blit.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

namespace raster {
namespace {

using OpCopy = std::integral_constant<RasterOp, RasterOp::Copy>;
using OpOr = std::integral_constant<RasterOp, RasterOp::Or>;
using OpAnd = std::integral_constant<RasterOp, RasterOp::And>;

// An 8-bit view without a table reads as the grey ramp a fresh 8-bit bitmap has.
const uint8_t* TableOf(const PixelView& v) {
    static const auto kGreyRamp = [] {
        std::vector<uint8_t> t(256 * 4);
        for (int i = 0; i < 256; ++i) {
            t[i * 4] = t[i * 4 + 1] = t[i * 4 + 2] = static_cast<uint8_t>(i);
        }
        return t;
    }();
    return v.colorTable != nullptr ? v.colorTable : kGreyRamp.data();
}

// ---- Converters: one source pixel to the destination's bytes --------------------------------

struct Rgb24To24 {
    static constexpr int kSrc = 3;
    static constexpr int kDst = 3;
    void operator()(const uint8_t* s, uint8_t* out) const {
        out[0] = s[0];
        out[1] = s[1];
        out[2] = s[2];
    }
};

struct Index8To24 {
    static constexpr int kSrc = 1;
    static constexpr int kDst = 3;
    const uint8_t* lut;  // 256 x (b, g, r)
    void operator()(const uint8_t* s, uint8_t* out) const {
        const uint8_t* c = lut + 3 * *s;
        out[0] = c[0];
        out[1] = c[1];
        out[2] = c[2];
    }
};

struct Index8To8 {
    static constexpr int kSrc = 1;
    static constexpr int kDst = 1;
    const uint8_t* map;  // source index -> destination index
    void operator()(const uint8_t* s, uint8_t* out) const { out[0] = map[*s]; }
};

// Nearest-entry searches are slow, and pictures repeat colours: remember recent answers.
class NearestCache {
public:
    explicit NearestCache(const uint8_t* table) : table_(table) { std::fill(std::begin(keys_), std::end(keys_), 0u); }
    uint8_t lookup(uint8_t r, uint8_t g, uint8_t b) {
        const uint32_t key = 0x1000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
        const uint32_t slot = ((key * 2654435761u) >> 20) & (kSize - 1);
        if (keys_[slot] != key) {
            keys_[slot] = key;
            values_[slot] = NearestColorIndex(table_, r, g, b);
        }
        return values_[slot];
    }

private:
    static constexpr uint32_t kSize = 4096;
    const uint8_t* table_;
    uint32_t keys_[kSize];
    uint8_t values_[kSize];
};

struct Rgb24To8 {
    static constexpr int kSrc = 3;
    static constexpr int kDst = 1;
    NearestCache* cache;
    void operator()(const uint8_t* s, uint8_t* out) const { out[0] = cache->lookup(s[2], s[1], s[0]); }
};

template <RasterOp op, int n>
inline void Apply(uint8_t* d, const uint8_t* v) {
    for (int k = 0; k < n; ++k) {
        if constexpr (op == RasterOp::Copy) d[k] = v[k];
        if constexpr (op == RasterOp::Or) d[k] |= v[k];
        if constexpr (op == RasterOp::And) d[k] &= v[k];
    }
}

// Calls fn with the converter for this pair of depths, built once per call.
template <class Fn>
void WithConverter(const PixelView& src, const PixelView& dst, Fn&& fn) {
    if (src.bitCount == 24 && dst.bitCount == 24) {
        fn(Rgb24To24{});
    } else if (src.bitCount == 8 && dst.bitCount == 24) {
        uint8_t lut[256 * 3];
        const uint8_t* table = TableOf(src);
        for (int i = 0; i < 256; ++i) std::memcpy(lut + 3 * i, table + 4 * i, 3);
        fn(Index8To24{lut});
    } else if (src.bitCount == 8) {
        uint8_t map[256];
        const uint8_t* from = TableOf(src);
        const uint8_t* to = TableOf(dst);
        const bool same = std::memcmp(from, to, 256 * 4) == 0;
        for (int i = 0; i < 256; ++i) {
            map[i] = same ? static_cast<uint8_t>(i) : NearestColorIndex(to, from[4 * i + 2], from[4 * i + 1], from[4 * i]);
        }
        fn(Index8To8{map});
    } else {
        NearestCache cache(TableOf(dst));
        fn(Rgb24To8{&cache});
    }
}

template <class Fn>
void WithOp(RasterOp op, Fn&& fn) {
    switch (op) {
        case RasterOp::Copy: fn(OpCopy{}); break;
        case RasterOp::Or: fn(OpOr{}); break;
        case RasterOp::And: fn(OpAnd{}); break;
    }
}

// True when a plain copy may move the bytes unchanged.
bool SameEncoding(const PixelView& src, const PixelView& dst) {
    if (src.bitCount != dst.bitCount) return false;
    if (src.bitCount == 24) return true;
    return std::memcmp(TableOf(src), TableOf(dst), 256 * 4) == 0;
}

// ---- Equal-size blocks ------------------------------------------------------------------------

void MoveRows(const PixelView& src, const PixelView& dst, const Block& b) {
    const int bpp = dst.bitCount / 8;
    const size_t bytes = static_cast<size_t>(b.w) * bpp;
    // Rows are stored bottom-up: going up the picture walks memory forward, which the
    // processor prefetches best. Within one picture moving up, go down instead, against the
    // direction of the move, so no row is overwritten before it is read.
    const bool downwards = src.bits == dst.bits && b.dy < b.sy;
    for (int32_t i = 0; i < b.h; ++i) {
        const int32_t r = downwards ? i : b.h - 1 - i;
        std::memmove(RowPointer(dst, b.dy + r) + b.dx * bpp, RowPointer(src, b.sy + r) + b.sx * bpp, bytes);
    }
}

template <RasterOp op, class Conv>
void BlockRows(const PixelView& src, const PixelView& dst, const Block& b, const Conv& conv) {
    for (int32_t r = 0; r < b.h; ++r) {
        const uint8_t* s = RowPointer(src, b.sy + r) + b.sx * Conv::kSrc;
        uint8_t* d = RowPointer(dst, b.dy + r) + b.dx * Conv::kDst;
        for (int32_t i = 0; i < b.w; ++i, s += Conv::kSrc, d += Conv::kDst) {
            uint8_t px[Conv::kDst];
            conv(s, px);
            Apply<op, Conv::kDst>(d, px);
        }
    }
}

// ---- Stretch ------------------------------------------------------------------------------

// Source coordinate sampled by destination position i of a span of `dstLen` mapped onto
// `srcLen` source pixels from `srcStart`: the source pixel under the destination pixel's centre.
inline int64_t Sample(int64_t i, int64_t srcStart, int64_t srcLen, int64_t dstLen) {
    return srcStart + SampleOf(i, srcLen, dstLen);
}

// Narrows [lo, hi) of destination positions so that every sample lies in [0, limit); fills
// `out` with the samples. Samples grow with the position, so the valid ones are contiguous.
// Positions and starts are apart by up to 2^32, so the differences are taken in 64 bits.
void SampleAxis(int32_t& lo, int32_t& hi, int32_t dstStart, int32_t dstLen, int32_t srcStart, int32_t srcLen,
                int32_t limit, std::vector<int32_t>& out) {
    auto at = [&](int32_t p) { return Sample(int64_t{p} - dstStart, srcStart, srcLen, dstLen); };
    while (lo < hi && at(lo) < 0) ++lo;
    while (hi > lo && at(hi - 1) >= limit) --hi;
    out.resize(static_cast<size_t>(hi > lo ? hi - lo : 0));
    for (int32_t p = lo; p < hi; ++p) out[p - lo] = static_cast<int32_t>(at(p));
}

// A plain 24-bit row moves each pixel as one 4-byte load and store; the fourth byte lands on
// the next pixel, which is written next. `fast` leading columns may do so: their source pixel
// is not the row's last, and they are not the span's last.
inline void Stretch24Row(const uint8_t* s, uint8_t* d, const int32_t* colOffsets, int32_t w, int32_t fast) {
    int32_t i = 0;
    for (; i < fast; ++i) {
        uint32_t px;
        std::memcpy(&px, s + colOffsets[i], 4);
        std::memcpy(d + 3 * i, &px, 4);
    }
    for (; i < w; ++i) std::memcpy(d + 3 * i, s + colOffsets[i], 3);
}

template <RasterOp op, class Conv>
void StretchRows(const PixelView& src, const PixelView& dst, const Rect& area, const int32_t* colOffsets,
                 const int32_t* rowSamples, const Conv& conv) {
    const int32_t w = area.width();
    const size_t rowBytes = static_cast<size_t>(w) * Conv::kDst;
    // Enlarging repeats source rows: a plain copy reuses the row it has just written.
    const bool reuseRows = op == RasterOp::Copy && src.bits != dst.bits;
    const uint8_t* lastSource = nullptr;
    const uint8_t* lastWritten = nullptr;
    int32_t fast = 0;
    while (fast < w - 1 && colOffsets[fast] + 4 <= 3 * src.width) ++fast;
    for (int32_t y = area.bottom - 1; y >= area.top; --y) {  // memory forward
        const uint8_t* s = RowPointer(src, rowSamples[y - area.top]);
        uint8_t* d = RowPointer(dst, y) + area.left * Conv::kDst;
        if (reuseRows && s == lastSource) {
            std::memcpy(d, lastWritten, rowBytes);
            continue;
        }
        if constexpr (std::is_same_v<Conv, Rgb24To24> && op == RasterOp::Copy) {
            Stretch24Row(s, d, colOffsets, w, fast);
        } else {
            for (int32_t i = 0; i < w; ++i) {
                uint8_t px[Conv::kDst];
                conv(s + colOffsets[i], px);
                Apply<op, Conv::kDst>(d + i * Conv::kDst, px);
            }
        }
        lastSource = s;
        lastWritten = d;
    }
}

}  // namespace

uint8_t NearestColorIndex(const uint8_t* colorTable, uint8_t red, uint8_t green, uint8_t blue) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        const int db = colorTable[4 * i] - blue;
        const int dg = colorTable[4 * i + 1] - green;
        const int dr = colorTable[4 * i + 2] - red;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0) break;
        }
    }
    return static_cast<uint8_t>(best);
}

bool ClipBlock(Block& b, const PixelView& src, const PixelView& dst, const Rect& clip) {
    // 64-bit so that callers' extreme rectangles cannot overflow the sums.
    auto trim = [](int32_t& s, int32_t& d, int32_t& len, int64_t sHi, int64_t dLo, int64_t dHi) {
        const int64_t shift = std::max<int64_t>({0, -int64_t{s}, dLo - d});
        const int64_t start = int64_t{s} + shift;
        const int64_t at = int64_t{d} + shift;
        const int64_t n = std::min({int64_t{len} - shift, sHi - start, dHi - at});
        if (n <= 0) return false;
        s = static_cast<int32_t>(start);
        d = static_cast<int32_t>(at);
        len = static_cast<int32_t>(n);
        return true;
    };
    if (!src.isValid() || !dst.isValid() || b.w <= 0 || b.h <= 0) return false;
    const Rect limit = IntersectRects(Bounds(dst), clip);
    if (limit.isEmpty()) return false;
    return trim(b.sx, b.dx, b.w, src.width, limit.left, limit.right) &&
           trim(b.sy, b.dy, b.h, src.height, limit.top, limit.bottom);
}

void CopyBlock(const PixelView& src, const PixelView& dst, const Block& block, RasterOp op) {
    if (block.w <= 0 || block.h <= 0) return;
    if (op == RasterOp::Copy && SameEncoding(src, dst)) {
        MoveRows(src, dst, block);
        return;
    }
    WithConverter(src, dst, [&](const auto& conv) {
        WithOp(op, [&](auto opTag) { BlockRows<decltype(opTag)::value>(src, dst, block, conv); });
    });
}

int64_t SampleOf(int64_t i, int64_t srcLen, int64_t dstLen) {
    // (2i + 1) srcLen fits in 64 bits while both stay below 2^31; further out, 128 bits.
    if (i >= 0 && i < (int64_t{1} << 31) && srcLen < (int64_t{1} << 31)) return ((2 * i + 1) * srcLen) / (2 * dstLen);
    const __int128 n = static_cast<__int128>(2 * i + 1) * srcLen;
    const __int128 d = static_cast<__int128>(2) * dstLen;
    __int128 q = n / d;
    if (n % d != 0 && n < 0) --q;  // floor, as the positive branch does
    return static_cast<int64_t>(q);
}

Rect StretchBlock(const PixelView& src, const Rect& srcRect, const PixelView& dst, const Rect& dstRect,
                  const Rect& clip, RasterOp op) {
    if (!src.isValid() || !dst.isValid() || srcRect.isEmpty() || dstRect.isEmpty()) return Rect{};
    Rect area = IntersectRects(IntersectRects(dstRect, Bounds(dst)), clip);
    if (area.isEmpty()) return Rect{};

    static std::vector<int32_t> columns;  // reused: one thread, no allocation once warm
    static std::vector<int32_t> rows;
    SampleAxis(area.left, area.right, dstRect.left, dstRect.width(), srcRect.left, srcRect.width(), src.width,
               columns);
    SampleAxis(area.top, area.bottom, dstRect.top, dstRect.height(), srcRect.top, srcRect.height(), src.height,
               rows);
    if (area.isEmpty()) return Rect{};

    if (srcRect.width() == dstRect.width() && srcRect.height() == dstRect.height()) {
        const Block same{columns.front(), rows.front(), area.left, area.top, area.width(), area.height()};
        CopyBlock(src, dst, same, op);
        return area;
    }
    const int srcBytes = src.bitCount / 8;
    for (int32_t& c : columns) c *= srcBytes;  // byte offsets within a source row
    WithConverter(src, dst, [&](const auto& conv) {
        WithOp(op, [&](auto opTag) {
            StretchRows<decltype(opTag)::value>(src, dst, area, columns.data(), rows.data(), conv);
        });
    });
    return area;
}

}  // namespace raster
