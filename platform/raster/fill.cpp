#include "platform/raster/fill.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace raster {
namespace {

// Row scanners: find where runs of the surface value begin and end, sixteen pixels at a time
// where the run is long, and paint runs. Columns passed in are inside the row. A scanner says
// how one pixel and a block of sixteen compare (`matches`, `blockMatches`); the runs are common.
template <class Pixels>
class RunScanner {
public:
    explicit RunScanner(const PixelView& view, const Ink& ink) : filler_(view, ink) {}

    // The first column from x on (before limit) that is not of the surface value.
    int32_t runEnd(const uint8_t* row, int32_t x, int32_t limit) const {
        while (limit - x >= 16 && self().blockMatches(row, x)) x += 16;
        while (x < limit && self().matches(row, x)) ++x;
        return x;
    }

    // The first column of the run that ends at x (x matches), not left of limit.
    int32_t runStart(const uint8_t* row, int32_t x, int32_t limit) const {
        while (x - limit >= 16 && self().blockMatches(row, x - 16)) x -= 16;
        while (x > limit && self().matches(row, x - 1)) --x;
        return x;
    }

    int32_t nextMatch(const uint8_t* row, int32_t x, int32_t limit) const {
        while (x < limit && !self().matches(row, x)) ++x;
        return x;
    }

    void paint(uint8_t* row, int32_t x0, int32_t x1) const { filler_.fill(row, x0, x1); }

private:
    const Pixels& self() const { return static_cast<const Pixels&>(*this); }
    RowFiller filler_;
};

class Scanner24 : public RunScanner<Scanner24> {
public:
    Scanner24(uint32_t surface, const PixelView& view, const Ink& ink)
        : RunScanner(view, ink), blue_(uint8_t(surface)), green_(uint8_t(surface >> 8)), red_(uint8_t(surface >> 16)) {
#if defined(__SSE2__)
        alignas(16) uint8_t pattern[48];
        for (int i = 0; i < 48; i += 3) pattern[i] = blue_, pattern[i + 1] = green_, pattern[i + 2] = red_;
        for (int k = 0; k < 3; ++k) pattern_[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 16 * k));
#endif
    }

    bool matches(const uint8_t* row, int32_t x) const {
        const uint8_t* p = row + 3 * static_cast<intptr_t>(x);
        return p[0] == blue_ && p[1] == green_ && p[2] == red_;
    }


    bool blockMatches(const uint8_t* row, int32_t x) const {
#if defined(__SSE2__)
        const auto* p = reinterpret_cast<const __m128i*>(row + 3 * static_cast<intptr_t>(x));
        const __m128i same = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(p), pattern_[0]),
                                                         _mm_cmpeq_epi8(_mm_loadu_si128(p + 1), pattern_[1])),
                                           _mm_cmpeq_epi8(_mm_loadu_si128(p + 2), pattern_[2]));
        return _mm_movemask_epi8(same) == 0xFFFF;
#else
        for (int32_t i = 0; i < 16; ++i)
            if (!matches(row, x + i)) return false;
        return true;
#endif
    }

private:
    uint8_t blue_, green_, red_;
#if defined(__SSE2__)
    __m128i pattern_[3];
#endif
};

class Scanner8 : public RunScanner<Scanner8> {
public:
    Scanner8(uint32_t surface, const PixelView& view, const Ink& ink) : RunScanner(view, ink), value_(uint8_t(surface)) {}

    bool matches(const uint8_t* row, int32_t x) const { return row[x] == value_; }


    bool blockMatches(const uint8_t* row, int32_t x) const {
#if defined(__SSE2__)
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        return _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(value_)))) == 0xFFFF;
#else
        for (int32_t i = 0; i < 16; ++i)
            if (row[x + i] != value_) return false;
        return true;
#endif
    }

private:
    uint8_t value_;
};

}  // namespace

template <class Scanner>
Rect FloodFiller::fillWith(const Scanner& scanner, const PixelView& view, int32_t x, int32_t y, const Rect& clip) {
    stack_.clear();
    deepest_ = 0;
    Rect changed{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    auto paint = [&](uint8_t* row, int32_t ry, int32_t x0, int32_t x1) {
        scanner.paint(row, x0, x1);
        changed.left = std::min(changed.left, x0);
        changed.right = std::max(changed.right, x1);
        changed.top = std::min(changed.top, ry);
        changed.bottom = std::max(changed.bottom, ry + 1);
    };
    auto push = [&](int32_t ry, int32_t x0, int32_t x1, int32_t dir) {
        if (ry < clip.top || ry >= clip.bottom) return;
        stack_.push_back(Pending{ry, x0, x1, dir});
        deepest_ = std::max(deepest_, stack_.size());
    };

    uint8_t* row = RowPointer(view, y);
    const int32_t seedLeft = scanner.runStart(row, x, clip.left);
    const int32_t seedRight = scanner.runEnd(row, x + 1, clip.right);
    paint(row, y, seedLeft, seedRight);
    push(y - 1, seedLeft, seedRight, -1);
    push(y + 1, seedLeft, seedRight, 1);

    while (!stack_.empty()) {
        const Pending p = stack_.back();
        stack_.pop_back();
        row = RowPointer(view, p.y);
        int32_t at = scanner.nextMatch(row, p.x0, p.x1);
        if (at >= p.x1) continue;
        int32_t left = at == p.x0 ? scanner.runStart(row, at, clip.left) : at;
        for (;;) {
            const int32_t right = scanner.runEnd(row, at + 1, clip.right);
            paint(row, p.y, left, right);
            push(p.y + p.dir, left, right, p.dir);
            // Where the run reaches past the row it came from, that row needs a look too.
            if (left < p.x0) push(p.y - p.dir, left, p.x0, -p.dir);
            if (right > p.x1) push(p.y - p.dir, p.x1, right, -p.dir);
            if (right + 1 >= p.x1) break;
            at = scanner.nextMatch(row, right + 1, p.x1);
            if (at >= p.x1) break;
            left = at;
        }
    }
    return changed;
}

Rect FloodFiller::fill(const PixelView& view, int32_t x, int32_t y, uint32_t surface, const Ink& ink,
                       const Rect& clip) {
    stack_.clear();
    deepest_ = 0;
    if (!view.isValid() || x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) return Rect{};
    if (PixelAt(view, x, y) != surface || InkValue(view, ink) == surface) return Rect{};
    if (view.bitCount == 8) return fillWith(Scanner8(surface, view, ink), view, x, y, clip);
    return fillWith(Scanner24(surface, view, ink), view, x, y, clip);
}

}  // namespace raster
