// The bitmap table, single pixels and the 5 x 5 filter.
#include <algorithm>
#include <cstring>
#include <random>

#include "resources/resource_ids.h"
#include "resources/resources.h"
#include "tests/unit/test_drawing_support.h"

namespace {

class PixelTest : public ToolboxTest {
protected:
    int createAt(Rect r) { return tb_CreateBitmap(&r, -1, 24); }
    std::vector<uint8_t> snapshot(int handle) {
        const PixelView v = view(handle);
        return std::vector<uint8_t>(v.bits, v.bits + static_cast<size_t>(v.stride) * v.height);
    }
    static FilterKernel Kernel(int bias = 0) {
        FilterKernel k;
        tb_InitKernel(&k);
        k.bias = bias;
        return k;
    }
};

const std::string kTableFull = "No more available Bitmaps! (tb_CreateBitmap)";
constexpr uint32_t kWhite = 0xFFFFFF;

}  // namespace

TEST_F(PixelTest, TheTableRefusesWhatItCannotHoldAndReportsBadHandlesAndAFullOneStopsTheFilter) {
    Rect r{0, 0, 4, 4}, huge{0, 0, 1 << 20, 1 << 20}, missing{1, 2, 3, 4};
    EXPECT_EQ(tb_CreateBitmap(&r, -1, 16), -1);
    EXPECT_EQ(tb_CreateBitmap(&huge, -1, 24), -1);
    EXPECT_EQ(tb_CreateBitmap(&missing, 31999, 24), -1);
    tb_GetBitmapRect(100, &missing);
    tb_DisposeBitmap(-1);
    EXPECT_EQ(missing, (Rect{1, 2, 3, 4}));
    // An inside-out rect makes an empty bitmap, which takes the first slot and copies nothing.
    Rect empty{5, 5, 2, 9};
    ASSERT_EQ(tb_CreateBitmap(&empty, -1, 24), 0);
    tb_CopyBitmap(create(4, 4), 0, &r, &r, 0);
    tb_CopyBitmap(0, 1, &r, &r, 0);
    for (int i = 2; i < kBitmapSlots; ++i) ASSERT_EQ(create(1, 1), i);
    EXPECT_EQ(create(1, 1), -1);
    // The filter works in a bitmap of its own: a full table stops it, and it says so.
    const FilterKernel k = Kernel(255);
    tb_Convolve(2, &r, &k);
    EXPECT_EQ(colour(2, 0, 0), 0u);
    EXPECT_EQ(errors(), (std::vector<std::string>{"Only 8 and 24 bit bitmaps can be created! (tb_CreateBitmap)",
                                                  "Could not create DC! (tb_CreateBitmap)",
                                                  "Could not load the bitmap resource! (tb_CreateBitmap)",
                                                  "Invalid bitmap! (tb_GetBitmapRect)",
                                                  "There is no bitmap to free! (tb_DisposeBitmap)", kTableFull,
                                                  kTableFull}));
    for (int handle : {37, 12}) tb_DisposeBitmap(handle);
    EXPECT_EQ(create(1, 1), 12);  // the lowest free slot first
    EXPECT_EQ(create(1, 1), 37);
    EXPECT_EQ(desktop().messageBoxes()[0].caption, "Error...");
}

TEST_F(PixelTest, ResourceBitmapsAreReadInPlaceBottomUpAndCopiedOnWrite) {
    const ResourceData data = FindResource(ResourceKind::Bitmap, kBmpPaintBlot);
    ASSERT_TRUE(data);
    const std::vector<uint8_t> original(data.bytes, data.bytes + data.size);
    int32_t size[2];
    std::memcpy(size, data.bytes + 4, 8);
    Rect r{5, 5, 6, 6};
    const int first = tb_CreateBitmap(&r, kBmpPaintBlot, 24), second = tb_CreateBitmap(&r, kBmpPaintBlot, 24);
    EXPECT_EQ(r, (Rect{0, 0, size[0], size[1]}));
    // Pixel (0, 0) of the picture is in the last stored row.
    const uint8_t* topLeft = data.bytes + 40 + size_t(size[1] - 1) * ((3 * size[0] + 3) & ~3);
    EXPECT_EQ(colour(first, 0, 0), uint32_t(topLeft[2] << 16 | topLeft[1] << 8 | topLeft[0]));
    const uint32_t before = colour(second, 3, 3);
    tb_CopyBitmap(create(r.right, r.bottom), first, &r, &r, 0);
    set(first, 3, 3, ~before & 0xFFFFFF);
    EXPECT_EQ(colour(first, 0, 0), 0u);
    EXPECT_EQ(colour(second, 3, 3), before);
    EXPECT_EQ(std::memcmp(data.bytes, original.data(), original.size()), 0);
    // An 8-bit mask made at 24 bits keeps its colours.
    const int mask = tb_CreateBitmap(&r, kBmpPaintBlotMask, 8), asColour = tb_CreateBitmap(&r, kBmpPaintBlotMask, 24);
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) ASSERT_EQ(colour(mask, x, y), colour(asColour, x, y)) << x << "," << y;
}

TEST_F(PixelTest, ComponentsAreBytesTimes255AndOnlyThePictureInsideTheStoredRectIsTouchedOrFiltered) {
    const int b = create(2, 2);
    for (const auto& [in, byte] : {std::pair(65535, 255u), std::pair(65024, 254u), std::pair(254, 0u), std::pair(-5, 0u)}) {
        tb_SetPixel(b, 1, 1, in, 0, 0);
        EXPECT_EQ(colour(b, 1, 1), byte << 16) << in;
    }
    // Stored rect (10, 20) - (110, 70), picture 100 x 50: (5, 5) lies outside the rect.
    const int c = createAt(Rect{10, 20, 110, 70});
    Rect stored{};
    tb_GetBitmapRect(c, &stored);
    EXPECT_EQ(stored, (Rect{10, 20, 110, 70}));
    RowPointer(view(c), 5)[17] = 255;  // red of picture pixel (5, 5)
    EXPECT_EQ(colour(c, 5, 5), 0u);
    set(c, 5, 5, 0x0000FF);
    EXPECT_EQ(at(c, 5, 5), 0xFF0000u);
    // The rect's right and bottom edges count as inside, but past the picture nothing happens.
    set(c, 99, 49, 0xFF0000);
    set(c, 100, 49, 0xFF0000);
    set(c, 50, 50, 0xFF0000);
    EXPECT_EQ(colour(c, 99, 49), 0xFF0000u);
    EXPECT_EQ(colour(c, 100, 49) + colour(c, 50, 50), 0u);
    // Only the part of the filtered rect inside the stored one is filtered.
    const FilterKernel k = Kernel(255);  // were it filtered, every byte would turn 255
    Rect corner{0, 0, 15, 25};  // meets the stored rect in (10, 20) .. (14, 24)
    tb_Convolve(c, &corner, &k);
    const auto filtered = [&](int x, int y) { return RowPointer(view(c), y)[3 * x] == 255; };
    EXPECT_EQ(drawtest::PixelsWhere(Rect{0, 0, 100, 50}, filtered), drawtest::Filled(Rect{10, 20, 15, 25}));
    const Rect all{0, 0, 10, 10};
    for (int bad : {-1, 100, 5000}) {  // nothing happens and nothing is said
        set(bad, 0, 0, kWhite);
        EXPECT_EQ(colour(bad, 0, 0), 0u);
        tb_Convolve(bad, &all, &k);
    }
    EXPECT_TRUE(errors().empty());
}

// Differential: tb_Convolve against a direct per-pixel, per-channel evaluation of the filter's
// definition, over random pictures, rects, weights (some large), divisors (some negative or 0),
// biases and channel flags. The first rounds filter a wide picture (for the blocks) with only a
// centre weight d over divisor d, which gives every byte back: reciprocals of some divisors (41,
// 47, 97...) round low, so a division by multiplying with them alone loses one.
TEST_F(PixelTest, FilterMatchesAPerPixelReference) {
    std::mt19937 rng(424242);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int exact[] = {1, 3, 25, 41, 47, 97, 400, 1999, -41, -400};
    for (int round = 0; round < 210; ++round) {
        const int w = round < 10 ? 86 : pick(1, 40), h = pick(1, 12), b = create(w, h);
        const PixelView v = view(b);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < 3 * w; ++x) RowPointer(v, y)[x] = uint8_t(rng() & 0xFF);
        const std::vector<uint8_t> src = snapshot(b);
        FilterKernel k = Kernel();
        // Small weights take the vector path; the larger ones 32- and 64-bit plain sums.
        const int scale = round % 10 == 0 ? 5000000 : round % 10 == 5 ? 20000 : 300;
        for (auto& row : k.weights)
            for (int& weight : row) weight = pick(0, 2) == 0 ? 0 : pick(-scale, scale);
        k.divisor = round % 17 == 0 ? 0 : pick(-3, 1) == 0 ? -pick(1, 900) : pick(1, 2000);
        k.bias = pick(-300, 300);
        const bool filtered[3] = {pick(0, 3) != 0, pick(0, 3) != 0, pick(0, 3) != 0};  // bytes blue, green, red
        k.blue = filtered[0], k.green = filtered[1], k.red = filtered[2];
        const Rect area = round < 10 ? Rect{0, 0, w, h}
                                     : Rect{pick(-3, w), pick(-3, h), pick(0, w + 3), pick(0, h + 3)};
        if (round < 10) {  // every channel, no bias
            k = Kernel();
            k.weights[2][2] = k.divisor = exact[round];
        }
        tb_Convolve(b, &area, &k);
        auto byte = [&](int x, int y, int c) { return size_t(RowPointer(v, y) - v.bits) + 3 * x + c; };
        for (int i = 0; i < 3 * w * h; ++i) {
            const int x = i / 3 % w, y = i / 3 / w, c = i % 3;
            const size_t at = byte(x, y, c);
            int expected = src[at];
            if (filtered[c] && x >= area.left && x < area.right && y >= area.top && y < area.bottom) {
                int64_t sum = 0;
                for (int r = 0; r < 5; ++r)
                    for (int col = 0; col < 5; ++col) {
                        const int nx = x + col - 2, ny = y + r - 2;
                        if (nx >= 0 && nx < w && ny >= 0 && ny < h)
                            sum += int64_t{k.weights[r][col]} * src[byte(nx, ny, c)];
                    }
                expected = int(std::clamp<int64_t>(sum / (k.divisor == 0 ? 1 : k.divisor) + k.bias, 0, 255));
            }
            ASSERT_EQ(int(v.bits[at]), expected) << "round " << round << " at " << x << "," << y << " byte " << c;
        }
        tb_DisposeBitmap(b);
    }
}
