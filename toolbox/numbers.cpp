// Rounding and random numbers: the program's own rounding rule and one generator for every
// random choice.
#include <climits>
#include <cmath>
#include <ctime>

#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace {

int ToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

// A 64-bit linear congruential generator; its upper bits are the output. Any uniform generator
// serves: sequences only have to differ between runs.
struct Generator {
    uint64_t state = 0x853c49e6748fea9bULL;

    void seed(uint64_t value) {
        // Spread nearby seeds (consecutive seconds) over the whole state.
        value += 0x9e3779b97f4a7c15ULL;
        value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
        value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
        state = value ^ (value >> 31);
    }
    uint64_t next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 1;  // 63 bits
    }
};

Generator gGenerator;

}  // namespace

namespace toolbox {

void SeedRandom() { tb_RandomSeeded(0, 100, 1); }

void SeedRandomWith(uint64_t seed) { gGenerator.seed(seed); }

Rgb8 ColorFrom65025(int red, int green, int blue) {
    auto component = [](int c) {
        const double scale = c <= 65025 ? 65025.0 : 65535.0;
        const int value = tb_Round(c / scale * 255.0);
        return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
    };
    return Rgb8{component(red), component(green), component(blue)};
}

}  // namespace toolbox

int tb_Round(double x) {
    const double t = std::trunc(x);
    // Below 1 the divisor of the remainder would be 0 (or the remainder is never positive):
    // the value stays truncated.
    if (!(t >= 1.0)) return ToInt(t);
    return ToInt(std::fmod(x, t) >= 0.5 ? t + 1.0 : t);
}

int tb_Trunc(double x) { return ToInt(std::trunc(x)); }

int tb_Random(int low, int high) {
    const int64_t range = int64_t{high} - low + 1;
    int64_t r = low;
    if (range > 0) r += static_cast<int64_t>(gGenerator.next() % static_cast<uint64_t>(range));
    if (r < low) r = low;
    if (r > high) r = high;
    return static_cast<int>(r);
}

int tb_RandomSeeded(int low, int high, int reseed) {
    if (reseed != 0) gGenerator.seed(static_cast<uint64_t>(std::time(nullptr)));
    return tb_Random(low, high);
}
