#include "platform/raster/convolve.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace raster {
namespace {

// In a row of blue-green-red bytes each output byte is the weighted sum of the bytes 3, 6 bytes
// away (same channel) in five rows, so the filter runs on bytes without knowing the channels.
struct Tap {
    int32_t dy;
    int32_t dx;
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
    int32_t operator()(int32_t n) const {
        const uint64_t magnitude = n < 0 ? uint64_t{0} - static_cast<uint64_t>(int64_t{n}) : static_cast<uint64_t>(n);
        const int32_t q = static_cast<int32_t>((magnitude * magic_) >> shift_);
        return (n < 0) != negative_ ? -q : q;
    }

private:
    uint64_t magic_ = 1;
    int shift_ = 31;
    bool negative_ = false;
};

inline uint8_t Clamp255(int64_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Adds one tap's contribution to a row of sums: the bytes of the source row shifted by dx
// pixels, for the part of the area whose neighbour lies inside the picture.
template <class Acc>
void AddTap(Acc* acc, const uint8_t* row, int32_t weight, int32_t x0, int32_t x1) {
    const int32_t n = 3 * (x1 - x0);
    for (int32_t j = 0; j < n; ++j) acc[j] += static_cast<Acc>(weight) * row[j];
}

template <class Acc, class Divide>
void FinishRow(const Acc* acc, int32_t n, const Divide& divide, int32_t bias, uint8_t* out) {
    for (int32_t j = 0; j < n; ++j) out[j] = Clamp255(int64_t{divide(acc[j])} + bias);
}

// Channels that are not filtered keep the source's bytes.
void RestoreChannels(const uint8_t* source, uint8_t* out, int32_t pixels, const bool keep[3]) {
    for (int32_t i = 0; i < pixels; ++i) {
        for (int c = 0; c < 3; ++c) {
            if (keep[c]) out[3 * i + c] = source[3 * i + c];
        }
    }
}

template <class Acc, class Divide>
void ConvolveRows(const PixelView& src, const Rect& area, const std::vector<Tap>& taps, const Divide& divide,
                  int32_t bias, const bool keep[3], const PixelView& out, Point at) {
    const int32_t n = 3 * area.width();
    static thread_local std::vector<Acc> sums;
    sums.resize(static_cast<size_t>(n));
    const bool restore = keep[0] || keep[1] || keep[2];
    for (int32_t y = area.top; y < area.bottom; ++y) {
        std::fill(sums.begin(), sums.end(), Acc{0});
        for (const Tap& t : taps) {
            const int32_t sy = y + t.dy;
            if (sy < 0 || sy >= src.height) continue;
            const int32_t x0 = std::max(area.left, -t.dx);
            const int32_t x1 = std::min(area.right, src.width - t.dx);
            if (x0 >= x1) continue;
            AddTap(sums.data() + 3 * (x0 - area.left), RowPointer(src, sy) + 3 * (x0 + t.dx), t.weight, x0, x1);
        }
        uint8_t* o = RowPointer(out, at.y + (y - area.top)) + 3 * at.x;
        FinishRow(sums.data(), n, divide, bias, o);
        if (restore) RestoreChannels(RowPointer(src, y) + 3 * area.left, o, area.width(), keep);
    }
}

}  // namespace

void Convolve5x5(const PixelView& src, const Rect& area, const Kernel5x5& kernel, const PixelView& out, Point at) {
    if (area.isEmpty() || !src.isValid() || src.bitCount != 24) return;
    std::vector<Tap> taps;
    int64_t weightSum = 0;
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 5; ++c) {
            const int32_t w = kernel.weights[r][c];
            if (w == 0) continue;
            taps.push_back(Tap{r - 2, c - 2, w});
            weightSum += std::llabs(int64_t{w});
        }
    }
    const bool keep[3] = {!kernel.filterBlue, !kernel.filterGreen, !kernel.filterRed};  // bytes b, g, r
    const int32_t divisor = kernel.divisor == 0 ? 1 : kernel.divisor;
    // 32-bit sums while no sum can pass 2^31 (every weight the program uses); 64-bit beyond.
    if (weightSum * 255 < (int64_t{1} << 31)) {
        if (divisor == 1) {
            ConvolveRows<int32_t>(src, area, taps, [](int32_t v) { return v; }, kernel.bias, keep, out, at);
        } else {
            ConvolveRows<int32_t>(src, area, taps, Divider(divisor), kernel.bias, keep, out, at);
        }
    } else {
        const auto divide = [divisor](int64_t v) { return v / divisor; };
        ConvolveRows<int64_t>(src, area, taps, divide, kernel.bias, keep, out, at);
    }
}

}  // namespace raster
