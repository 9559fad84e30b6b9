#include "platform/raster/convolve.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace raster {
namespace {

// In a row of blue-green-red bytes each output byte is the weighted sum of the bytes 0, 3 or
// 6 bytes away (the same channel) in five rows, so the filter runs on bytes without knowing
// which channel a byte belongs to.
struct Tap {
    int32_t dy;
    int32_t dx;
    int32_t weight;
};

// One tap applied to one output row: its source row and the byte offset of the neighbour.
struct RowTap {
    const uint8_t* row;
    int32_t shift;  // 3 x dx
    int32_t weight;
};

// Division toward zero by a constant, as a multiply and a shift: for 0 <= n < 2^31,
// n / d == (n * m) >> s with s = 31 + ceil(log2 d) and m = ceil(2^s / d) (the rounding error
// of m stays below 1/d over that range).
class Divider {
public:
    explicit Divider(int32_t divisor) {
        negative_ = divisor < 0;
        const uint64_t d = divisor < 0 ? uint64_t{0} - static_cast<uint64_t>(int64_t{divisor})
                                       : static_cast<uint64_t>(divisor);
        int log = 0;
        while ((uint64_t{1} << log) < d) ++log;
        shift_ = 31 + log;
        magic_ = ((uint64_t{1} << shift_) + d - 1) / d;
    }
    int64_t operator()(int32_t n) const {
        const uint64_t magnitude = n < 0 ? uint64_t{0} - static_cast<uint64_t>(int64_t{n}) : static_cast<uint64_t>(n);
        const int64_t q = static_cast<int64_t>((magnitude * magic_) >> shift_);
        return (n < 0) != negative_ ? -q : q;
    }

private:
    uint64_t magic_ = 1;
    int shift_ = 31;
    bool negative_ = false;
};

inline uint8_t Clamp255(int64_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// What is fixed for one call.
struct Plan {
    std::vector<Tap> taps;  // the non-zero weights
    int32_t divisor = 1;
    int32_t bias = 0;
    int32_t minDx = 0;
    int32_t maxDx = 0;
    bool sums32 = false;     // every sum stays below 2^31 in magnitude
    bool smallSums = false;  // below 2^22, and the bias small: the vector path's range
};

// ---- Plain path: any weights, any platform ------------------------------------------------

// Pixels [x0, x1) of one row, tap by tap into a row of sums (32 bits while the sums allow).
template <class Acc, class Divide>
void PlainSpan(const std::vector<RowTap>& taps, const std::vector<int32_t>& dxs, int32_t width, int32_t x0,
               int32_t x1, const Divide& divide, int32_t bias, uint8_t* out) {
    static thread_local std::vector<Acc> sums;
    const int32_t n = 3 * (x1 - x0);
    sums.assign(static_cast<size_t>(n), Acc{0});
    for (size_t t = 0; t < taps.size(); ++t) {
        // Neighbours outside the picture count as 0: only the pixels whose neighbour exists.
        const int32_t from = std::max(x0, -dxs[t]);
        const int32_t to = std::min(x1, width - dxs[t]);
        if (from >= to) continue;
        const uint8_t* s = taps[t].row + 3 * from + taps[t].shift;
        Acc* a = sums.data() + 3 * (from - x0);
        const Acc w = static_cast<Acc>(taps[t].weight);
        for (int32_t j = 0; j < 3 * (to - from); ++j) a[j] += w * s[j];
    }
    for (int32_t j = 0; j < n; ++j) out[j] = Clamp255(divide(sums[j]) + bias);
}

// ---- Vector path (x86-64): 16 output bytes at a time, sums kept in registers ----------------
#if defined(__SSE2__)

struct TapPair {
    const uint8_t* a;
    const uint8_t* b;
    __m128i weights;  // 16-bit pairs (weight of a, weight of b), for pmaddwd
};

// 16 output bytes from byte `at` of the row; every tap's load lies inside its row.
inline __m128i SumsTimesWeights(const TapPair* pairs, size_t count, int32_t at, __m128i& s1, __m128i& s2,
                                __m128i& s3) {
    const __m128i zero = _mm_setzero_si128();
    __m128i s0 = zero;
    s1 = s2 = s3 = zero;
    for (size_t p = 0; p < count; ++p) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pairs[p].a + at));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pairs[p].b + at));
        const __m128i aLo = _mm_unpacklo_epi8(a, zero), aHi = _mm_unpackhi_epi8(a, zero);
        const __m128i bLo = _mm_unpacklo_epi8(b, zero), bHi = _mm_unpackhi_epi8(b, zero);
        const __m128i w = pairs[p].weights;
        s0 = _mm_add_epi32(s0, _mm_madd_epi16(_mm_unpacklo_epi16(aLo, bLo), w));
        s1 = _mm_add_epi32(s1, _mm_madd_epi16(_mm_unpackhi_epi16(aLo, bLo), w));
        s2 = _mm_add_epi32(s2, _mm_madd_epi16(_mm_unpacklo_epi16(aHi, bHi), w));
        s3 = _mm_add_epi32(s3, _mm_madd_epi16(_mm_unpackhi_epi16(aHi, bHi), w));
    }
    return s0;
}

// Division toward zero by d for |n| < 2^22, in single precision: trunc((|n| + 1/2) / d) with
// the reciprocal rounded. Adding half lifts exact quotients clear of the reciprocal's
// rounding, and stays below the next integer because a remainder is at most d - 1.
inline __m128i DivideSums(__m128i sums, __m128 reciprocal) {
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128 signBit = _mm_set1_ps(-0.0f);
    const __m128 v = _mm_cvtepi32_ps(sums);
    const __m128 lifted = _mm_add_ps(v, _mm_or_ps(half, _mm_and_ps(v, signBit)));
    return _mm_cvttps_epi32(_mm_mul_ps(lifted, reciprocal));
}

void VectorSpan(const std::vector<TapPair>& pairs, int32_t byte0, int32_t byte1, const Plan& plan, uint8_t* out) {
    const bool divide = plan.divisor != 1;
    const __m128 reciprocal = _mm_set1_ps(1.0f / static_cast<float>(plan.divisor));
    const __m128i bias = _mm_set1_epi32(plan.bias);
    for (int32_t at = byte0;; at += 16) {
        // The last block ends with the span; it may go over bytes already done.
        if (at + 16 > byte1) at = byte1 - 16;
        __m128i s1, s2, s3;
        __m128i s0 = SumsTimesWeights(pairs.data(), pairs.size(), at, s1, s2, s3);
        if (divide) {
            s0 = DivideSums(s0, reciprocal);
            s1 = DivideSums(s1, reciprocal);
            s2 = DivideSums(s2, reciprocal);
            s3 = DivideSums(s3, reciprocal);
        }
        // Signed packing to 16 bits, then unsigned to 8: the limits 0 and 255 come for free.
        const __m128i lo = _mm_packs_epi32(_mm_add_epi32(s0, bias), _mm_add_epi32(s1, bias));
        const __m128i hi = _mm_packs_epi32(_mm_add_epi32(s2, bias), _mm_add_epi32(s3, bias));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (at - byte0)), _mm_packus_epi16(lo, hi));
        if (at + 16 >= byte1) break;
    }
}

void PairTaps(const std::vector<RowTap>& taps, std::vector<TapPair>& pairs) {
    pairs.clear();
    for (size_t t = 0; t < taps.size(); t += 2) {
        const RowTap& a = taps[t];
        const RowTap& b = t + 1 < taps.size() ? taps[t + 1] : RowTap{a.row, a.shift, 0};
        const int32_t packed = static_cast<int32_t>((static_cast<uint32_t>(b.weight) << 16) |
                                                    (static_cast<uint32_t>(a.weight) & 0xFFFFu));
        pairs.push_back(TapPair{a.row + a.shift, b.row + b.shift, _mm_set1_epi32(packed)});
    }
}

#endif

// One output row: the vector path for the pixels whose neighbours all lie inside the row,
// the plain path for the rest.
void ConvolveRow(const PixelView& src, int32_t y, const Rect& area, const Plan& plan, uint8_t* out) {
    static thread_local std::vector<RowTap> taps;
    static thread_local std::vector<int32_t> dxs;
    taps.clear();
    dxs.clear();
    for (const Tap& t : plan.taps) {
        const int32_t sy = y + t.dy;
        if (sy < 0 || sy >= src.height) continue;  // a missing row contributes 0
        taps.push_back(RowTap{RowPointer(src, sy), 3 * t.dx, t.weight});
        dxs.push_back(t.dx);
    }
    int32_t v0 = area.left, v1 = area.left;  // pixels done by the vector path
#if defined(__SSE2__)
    if (plan.smallSums) {
        v0 = std::max(area.left, -plan.minDx);
        v1 = std::max(v0, std::min(area.right, src.width - plan.maxDx));
        if (3 * (v1 - v0) >= 16) {
            static thread_local std::vector<TapPair> pairs;
            PairTaps(taps, pairs);
            VectorSpan(pairs, 3 * v0, 3 * v1, plan, out + 3 * (v0 - area.left));
        } else {
            v0 = v1 = area.left;
        }
    }
#endif
    auto plain = [&](int32_t x0, int32_t x1) {
        if (x0 >= x1) return;
        uint8_t* o = out + 3 * (x0 - area.left);
        if (plan.sums32) {
            PlainSpan<int32_t>(taps, dxs, src.width, x0, x1, Divider(plan.divisor), plan.bias, o);
        } else {
            const int64_t d = plan.divisor;
            PlainSpan<int64_t>(taps, dxs, src.width, x0, x1, [d](int64_t v) { return v / d; }, plan.bias, o);
        }
    };
    plain(area.left, v0);
    plain(v1, area.right);
}

// Channels that are not filtered keep the source's bytes.
void RestoreChannels(const uint8_t* source, uint8_t* out, int32_t pixels, const bool keep[3]) {
    for (int32_t i = 0; i < pixels; ++i) {
        for (int c = 0; c < 3; ++c) {
            if (keep[c]) out[3 * i + c] = source[3 * i + c];
        }
    }
}

Plan MakePlan(const Kernel5x5& kernel) {
    Plan plan;
    int64_t weightSum = 0;
    plan.minDx = 2;
    plan.maxDx = -2;
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 5; ++c) {
            const int32_t w = kernel.weights[r][c];
            if (w == 0) continue;
            plan.taps.push_back(Tap{r - 2, c - 2, w});
            weightSum += std::llabs(int64_t{w});
            plan.minDx = std::min(plan.minDx, c - 2);
            plan.maxDx = std::max(plan.maxDx, c - 2);
        }
    }
    if (plan.taps.empty()) plan.minDx = plan.maxDx = 0;
    plan.divisor = kernel.divisor == 0 ? 1 : kernel.divisor;
    plan.bias = kernel.bias;
    plan.sums32 = weightSum * 255 < (int64_t{1} << 31);
    plan.smallSums = weightSum * 255 < (int64_t{1} << 22) && std::llabs(int64_t{plan.bias}) < (int64_t{1} << 30);
    return plan;
}

}  // namespace

void Convolve5x5(const PixelView& src, const Rect& area, const Kernel5x5& kernel, const PixelView& out, Point at) {
    if (area.isEmpty() || !src.isValid() || src.bitCount != 24) return;
    const Plan plan = MakePlan(kernel);
    const bool keep[3] = {!kernel.filterBlue, !kernel.filterGreen, !kernel.filterRed};  // bytes b, g, r
    const bool restore = keep[0] || keep[1] || keep[2];
    for (int32_t y = area.bottom - 1; y >= area.top; --y) {  // forward in memory
        uint8_t* o = RowPointer(out, at.y + (y - area.top)) + 3 * at.x;
        ConvolveRow(src, y, area, plan, o);
        if (restore) RestoreChannels(RowPointer(src, y) + 3 * area.left, o, area.width(), keep);
    }
}

}  // namespace raster
