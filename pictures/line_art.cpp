// Line art is judged from the brightness histogram: the paper is its brightest big peak, which
// must be narrow, the ink the pixels below that peak's foot. Between the two lie the
// anti-aliased rims, and where they are cut decides everything: too dark a cut breaks thin lines
// into pieces, too light a cut bridges the narrow gaps a drawing leaves open. So every cut in
// between is tried at once. Letting pixels in by brightness, two union-finds count, for every
// cut, the white areas (4-connected, as the Jar spreads) and the black pieces (8-connected, since
// ink touching at a corner still stops the Jar). A line breaking or mending, or a gap closing,
// moves one count or the other; the cut is the middle of the longest stretch where neither
// moves, among those where the ink is not in many more pieces than at its most joined. Counting
// black pieces matters for thin lines: their white areas stay merged over a long stretch of dark
// cuts, where the ink is still in pieces.
#include "pictures/line_art.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace pictures {
namespace {

constexpr int kColourSpread = 40;  // a pixel whose components differ more than this is coloured
constexpr int kDarkestPaper = 160;
constexpr int64_t kPaperFoot = 64;  // the paper's peak ends where it falls below 1/64 of its top
constexpr int kWidestPaper = 40;    // from top to foot: paper is even, a photo's light parts are not
constexpr int kInkPercentile = 10;  // the ink's level: this percentile of the pixels off the paper
constexpr int32_t kSmallestArea = 8;  // white specks smaller than this (noise) are not areas;
                                      // every black piece counts, a single pixel broken off too

// Grey v gives v; the weights are the eye's (blue, green, red, in 256ths).
inline uint8_t Brightness(const uint8_t* p) {
    return static_cast<uint8_t>((p[0] * 29 + p[1] * 150 + p[2] * 77 + 128) >> 8);
}

struct Census {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> level;  // each pixel's brightness, top row first
    std::array<int64_t, 256> histogram{};
    int64_t coloured = 0;
};

Census Count(const PixelView& view) {
    Census c;
    c.width = view.width;
    c.height = view.height;
    c.level.resize(static_cast<size_t>(view.width) * view.height);
    for (int32_t y = 0; y < view.height; ++y) {
        const uint8_t* p = RowPointer(view, y);
        uint8_t* out = c.level.data() + static_cast<size_t>(y) * view.width;
        for (int32_t x = 0; x < view.width; ++x, p += 3) {
            out[x] = Brightness(p);
            ++c.histogram[out[x]];
            const int most = std::max({p[0], p[1], p[2]}), least = std::min({p[0], p[1], p[2]});
            c.coloured += most - least > kColourSpread;
        }
    }
    return c;
}

// The pixels let in so far, joined into areas; counts the areas of `smallest` pixels or more.
// A root holds minus its area's size, any other pixel the index of one further up its tree.
class Areas {
public:
    Areas(size_t pixels, int32_t smallest) : link_(pixels, kOut), smallest_(smallest) {}
    bool in(int32_t p) const { return link_[p] != kOut; }
    void add(int32_t p) { link_[p] = -1, counted_ += smallest_ <= 1; }
    // Pixels first..first + length - 1, one row's run, as one area.
    void addRun(int32_t first, int32_t length) {
        link_[first] = -length;
        std::fill(link_.begin() + first + 1, link_.begin() + first + length, first);
        counted_ += length >= smallest_;
    }
    void join(int32_t a, int32_t b) {
        a = root(a), b = root(b);
        if (a == b) return;
        int32_t sizeA = -link_[a], sizeB = -link_[b];
        if (sizeA < sizeB) std::swap(a, b), std::swap(sizeA, sizeB);
        link_[b] = a;
        link_[a] = -(sizeA + sizeB);
        counted_ += (sizeA + sizeB >= smallest_) - (sizeA >= smallest_) - (sizeB >= smallest_);
    }
    int32_t counted() const { return counted_; }

private:
    static constexpr int32_t kOut = INT32_MIN;
    int32_t root(int32_t p) {
        while (link_[p] >= 0) {
            if (link_[link_[p]] >= 0) link_[p] = link_[link_[p]];  // halve the path on the way
            p = link_[p];
        }
        return p;
    }
    std::vector<int32_t> link_;
    int32_t smallest_;
    int32_t counted_ = 0;
};

// The pixels whose brightness lies in lo..hi - 1, in order of brightness: level v's pixels are
// order[start[v - lo]] up to order[start[v - lo + 1]], each as y << 16 | x (sides are at most
// 16384), row by row.
struct Between {
    std::vector<size_t> start;
    std::vector<uint32_t> order;
};

Between SortBetween(const Census& c, int lo, int hi) {
    Between b;
    b.start.assign(hi - lo + 1, 0);
    for (int v = lo; v < hi; ++v) b.start[v - lo + 1] = b.start[v - lo] + c.histogram[v];
    b.order.resize(b.start.back());
    std::vector<size_t> next(b.start.begin(), b.start.end() - 1);
    for (int32_t y = 0, p = 0; y < c.height; ++y)
        for (int32_t x = 0; x < c.width; ++x, ++p)
            if (c.level[p] >= lo && c.level[p] < hi) b.order[next[c.level[p] - lo]++] = uint32_t(y) << 16 | uint32_t(x);
    return b;
}

// How many white areas (4-connected, as the Jar spreads) or black pieces (8-connected: a
// diagonal step of ink still stops the Jar) there are at each threshold t = lo + i: white is
// brightness t and above. White pixels are let in from the brightest down, black ones from the
// darkest up, so one sweep counts every threshold.
std::vector<int32_t> CountAreas(const Census& c, const Between& between, int lo, int hi, bool black) {
    const int32_t w = c.width, h = c.height;
    const uint8_t* level = c.level.data();
    Areas areas(c.level.size(), black ? 1 : kSmallestArea);
    static constexpr int32_t kSteps[8][2] = {{-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    static constexpr int32_t kFour[8][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    const auto& steps = black ? kSteps : kFour;
    auto joinAround = [&](uint32_t at, int count) {
        const int32_t x = at & 0xffff, y = at >> 16, p = y * w + x;
        areas.add(p);
        for (int i = 0; i < count; ++i) {
            const int32_t nx = x + steps[i][0], ny = y + steps[i][1];
            if (nx >= 0 && nx < w && ny >= 0 && ny < h && areas.in(ny * w + nx)) areas.join(p, ny * w + nx);
        }
    };
    const int all = black ? 8 : 4;
    // The pixels on the far side of the whole range first (most of the picture): a row's runs at
    // a time, each joined to the runs it touches in the row above.
    auto far = [&](uint8_t v) { return black ? v < lo : v >= hi; };
    const int32_t reach = black ? 1 : 0;  // black runs touching at a corner join too
    std::vector<std::pair<int32_t, int32_t>> above, here;
    for (int32_t y = 0; y < h; ++y, std::swap(above, here)) {
        here.clear();
        const uint8_t* row = level + static_cast<size_t>(y) * w;
        for (int32_t x = 0, end = 0; x < w; x = end) {
            for (end = x + 1; end < w && far(row[end]) == far(row[x]);) ++end;
            if (far(row[x])) areas.addRun(y * w + x, end - x), here.emplace_back(x, end);
        }
        size_t j = 0;
        for (const auto& [x0, x1] : here) {
            while (j < above.size() && above[j].second + reach <= x0) ++j;
            for (size_t k = j; k < above.size() && above[k].first < x1 + reach; ++k)
                areas.join(y * w + x0, (y - 1) * w + above[k].first);
        }
    }
    std::vector<int32_t> counts(hi - lo + 1);
    counts[black ? 0 : hi - lo] = areas.counted();
    for (int step = 0; step < hi - lo; ++step) {
        const int v = black ? lo + step : hi - 1 - step;
        for (size_t i = between.start[v - lo]; i < between.start[v - lo + 1]; ++i)
            joinAround(between.order[i], all);
        counts[black ? v + 1 - lo : v - lo] = areas.counted();
    }
    return counts;
}

// The middle of the longest run of thresholds over which neither count moves; of runs as long,
// the one nearest the middle of the range. Runs where the ink lies in clearly more pieces than
// at its most joined do not count: there the lines are broken, however steady the counts (a
// faint line's pixels may all be lighter than a long range of cuts). Gaps closing join a few
// pieces too, hence the slack.
int SteadiestThreshold(const std::vector<int32_t>& white, const std::vector<int32_t>& black, int lo) {
    const int n = static_cast<int>(white.size());
    auto same = [&](int i, int j) { return white[i] == white[j] && black[i] == black[j]; };
    int bestFrom = 0, bestLength = 0, bestOffCentre = INT_MAX;
    const int fewest = *std::min_element(black.begin(), black.end());
    for (int from = 0, to = 0; from < n; from = to + 1) {
        for (to = from; to + 1 < n && same(to + 1, from);) ++to;
        if (black[from] * 2 > fewest * 3 + 4) continue;  // the lines are still in pieces
        const int length = to - from + 1, offCentre = std::abs(from + to - (n - 1));
        if (length > bestLength || (length == bestLength && offCentre < bestOffCentre))
            bestFrom = from, bestLength = length, bestOffCentre = offCentre;
    }
    return lo + bestFrom + bestLength / 2;
}

LineArt Judge(const Census& c) {
    const auto& histogram = c.histogram;
    const int64_t pixels = static_cast<int64_t>(c.width) * c.height;
    int paper = 255;
    for (int v = 254; v >= 0; --v)
        if (histogram[v] > histogram[paper]) paper = v;
    if (paper < kDarkestPaper) return {};
    int foot = paper;
    while (foot > 0 && histogram[foot - 1] * kPaperFoot >= histogram[paper]) --foot;
    int64_t offPaper = 0;
    for (int v = 0; v < foot; ++v) offPaper += histogram[v];
    // Most of a page is paper, and a page's pixels are grey but for a few (JPEG's colour fringes).
    if (paper - foot > kWidestPaper || (pixels - offPaper) * 5 < pixels * 2) return {};
    if (c.coloured * 50 > pixels || c.coloured * 8 > offPaper) return {};
    if (offPaper == 0) return {true, foot};
    int ink = 0;
    for (int64_t seen = histogram[0]; seen * 100 < offPaper * kInkPercentile;) seen += histogram[++ink];
    const int lo = ink + 1;
    const Between between = SortBetween(c, lo, foot);
    if (between.order.empty()) return {true, (lo + foot + 1) / 2};  // already black and white
    const std::vector<int32_t> white = CountAreas(c, between, lo, foot, false);
    const std::vector<int32_t> black = CountAreas(c, between, lo, foot, true);
    return {true, SteadiestThreshold(white, black, lo)};
}

}  // namespace

LineArt JudgeLineArt(const PixelView& view) {
    if (!view.isValid() || view.bitCount != 24) return {};
    return Judge(Count(view));
}

bool CleanLineArt(const PixelView& view) {
    if (!view.isValid() || view.bitCount != 24) return false;
    const Census census = Count(view);
    const LineArt verdict = Judge(census);
    if (!verdict.isLineArt) return false;
    for (int32_t y = 0; y < view.height; ++y) {
        uint8_t* p = RowPointer(view, y);
        const uint8_t* level = census.level.data() + static_cast<size_t>(y) * view.width;
        for (int32_t x = 0; x < view.width; ++x, p += 3) std::memset(p, level[x] < verdict.threshold ? 0 : 255, 3);
    }
    return true;
}

void ShrinkByArea(const PixelView& from, const PixelView& to) {
    if (!from.isValid() || !to.isValid() || from.bitCount != 24 || to.bitCount != 24) return;
    // The source span [first, end) each target column or row covers; at least one pixel.
    auto spans = [](int32_t source, int32_t target) {
        std::vector<int32_t> first(static_cast<size_t>(target) + 1);
        for (int32_t i = 0; i <= target; ++i) first[i] = static_cast<int32_t>(int64_t{i} * source / target);
        return first;
    };
    const std::vector<int32_t> columns = spans(from.width, to.width), rows = spans(from.height, to.height);
    std::vector<uint64_t> sums(static_cast<size_t>(to.width) * 3);
    for (int32_t y = 0; y < to.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const int32_t top = rows[y], bottom = std::max(rows[y + 1], top + 1);
        for (int32_t sy = top; sy < bottom; ++sy) {
            const uint8_t* in = RowPointer(from, sy);
            for (int32_t x = 0; x < to.width; ++x) {
                const int32_t left = columns[x], right = std::max(columns[x + 1], left + 1);
                for (int32_t sx = left; sx < right; ++sx) {
                    for (int c = 0; c < 3; ++c) sums[3 * x + c] += in[3 * sx + c];
                }
            }
        }
        uint8_t* out = RowPointer(to, y);
        for (int32_t x = 0; x < to.width; ++x) {
            const uint64_t count = uint64_t(bottom - top) * uint64_t(std::max(columns[x + 1], columns[x] + 1) - columns[x]);
            for (int c = 0; c < 3; ++c) out[3 * x + c] = static_cast<uint8_t>((sums[3 * x + c] + count / 2) / count);
        }
    }
}

}  // namespace pictures
