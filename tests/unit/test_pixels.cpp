// Single pixels and the 5 x 5 filter.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/support/headless_fixture.h"
#include "toolbox/internal.h"

namespace {

struct Rgb {
    int r = 0, g = 0, b = 0;  // bytes
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << "(" << c.r << "," << c.g << "," << c.b << ")"; }

class PixelTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_Init();
    }
    int create(int width, int height, Rect* withRect = nullptr) {
        Rect r{0, 0, width, height};
        return tb_CreateBitmap(withRect != nullptr ? withRect : &r, -1, 24);
    }
    PixelView view(int handle) {
        toolbox::Target t;
        EXPECT_TRUE(toolbox::ResolveBitmapTarget(handle, t));
        return t.view;
    }
    Rgb at(int handle, int x, int y) {
        int r, g, b;
        tb_GetPixel(handle, x, y, &r, &g, &b);
        return Rgb{r / 255, g / 255, b / 255};
    }
    void set(int handle, int x, int y, Rgb c) { tb_SetPixel(handle, x, y, c.r * 255, c.g * 255, c.b * 255); }
    void fillRandom(int handle, std::mt19937& rng) {
        const PixelView v = view(handle);
        for (int y = 0; y < v.height; ++y) {
            for (int x = 0; x < 3 * v.width; ++x) RowPointer(v, y)[x] = uint8_t(rng() & 0xFF);
        }
    }
    std::vector<uint8_t> snapshot(int handle) {
        const PixelView v = view(handle);
        return std::vector<uint8_t>(v.bits, v.bits + static_cast<size_t>(v.stride) * v.height);
    }
    std::vector<std::string> errors() const {
        std::vector<std::string> texts;
        for (const auto& box : desktop_->messageBoxes()) texts.push_back(box.text);
        return texts;
    }
    static FilterKernel initKernel() {
        FilterKernel k;
        tb_InitKernel(&k);
        return k;
    }
};

}  // namespace

TEST_F(PixelTest, ComponentsAreBytesTimes255InAndOut) {
    struct Case {
        int in;
        int byte;
    };
    const Case cases[] = {{65535, 255}, {65025, 255}, {65024, 254}, {300, 1}, {255, 1},
                          {254, 0},     {0, 0},       {-5, 0},      {1 << 30, 255}};
    const int b = create(2, 2);
    for (const Case& c : cases) {
        tb_SetPixel(b, 1, 1, c.in, 0, 0);
        EXPECT_EQ(at(b, 1, 1).r, c.byte) << c.in;
    }
    tb_SetPixel(b, 0, 0, 65025, 65025, 65025);
    int r, g, bl;
    tb_GetPixel(b, 0, 0, &r, &g, &bl);
    EXPECT_EQ(r, 65025);
    EXPECT_EQ(g, 65025);
    EXPECT_EQ(bl, 65025);
}

TEST_F(PixelTest, InsideTestUsesTheStoredRectThenThePicture) {
    Rect withOrigin{10, 20, 110, 70};
    const int b = create(0, 0, &withOrigin);
    const PixelView v = view(b);
    RowPointer(v, 5)[17] = 255;  // red of picture pixel (5, 5), outside the stored rect
    EXPECT_EQ(at(b, 5, 5), (Rgb{}));
    set(b, 5, 5, Rgb{0, 0, 9});
    EXPECT_EQ(RowPointer(v, 5)[17], 255);
    EXPECT_EQ(RowPointer(v, 5)[15], 0);

    set(b, 50, 30, Rgb{1, 2, 3});
    EXPECT_EQ(at(b, 50, 30), (Rgb{1, 2, 3}));
    // Right and bottom edges pass the rect test but lie beyond the 100 x 50 picture.
    set(b, 99, 49, Rgb{4, 5, 6});
    EXPECT_EQ(at(b, 99, 49), (Rgb{4, 5, 6}));
    set(b, 110, 49, Rgb{7, 7, 7});
    EXPECT_EQ(at(b, 110, 49), (Rgb{}));
}

TEST_F(PixelTest, HandlesThatNameNoBitmapDoNothing) {
    for (int bad : {-1, 3, 100, 5000, 9000}) {
        int r = 5, g = 5, b = 5;
        tb_GetPixel(bad, 0, 0, &r, &g, &b);
        EXPECT_EQ(r + g + b, 0) << bad;
        tb_SetPixel(bad, 0, 0, 1, 1, 1);
        Rect all{0, 0, 10, 10};
        const FilterKernel k = initKernel();
        tb_Convolve(bad, &all, &k);
    }
    EXPECT_TRUE(errors().empty());
}

TEST_F(PixelTest, CentreWeightOneLeavesThePictureUnchanged) {
    std::mt19937 rng(7);
    const int b = create(9, 7);
    fillRandom(b, rng);
    const std::vector<uint8_t> before = snapshot(b);
    FilterKernel k = initKernel();
    k.weights[2][2] = 1;
    Rect all{0, 0, 9, 7};
    tb_Convolve(b, &all, &k);
    EXPECT_EQ(snapshot(b), before);
    k.divisor = 0;  // counts as 1
    tb_Convolve(b, &all, &k);
    EXPECT_EQ(snapshot(b), before);
}

TEST_F(PixelTest, ExactQuotientsAreNotRoundedDown) {
    // Centre weight d over divisor d gives every byte back. Reciprocals of some divisors (41,
    // 47, 97...) round low, so a division by multiplying with them alone loses one here.
    const int b = create(86, 3);  // 258 bytes a row: every byte value, wide enough for blocks
    const PixelView v = view(b);
    for (int y = 0; y < 3; ++y) {
        for (int i = 0; i < 258; ++i) RowPointer(v, y)[i] = static_cast<uint8_t>((i + 85 * y) % 256);
    }
    const std::vector<uint8_t> before = snapshot(b);
    for (int d : {1, 2, 3, 25, 41, 47, 97, 400, 1999, -41, -400}) {
        FilterKernel k = initKernel();
        k.weights[2][2] = d;
        k.divisor = d;
        Rect all{0, 0, 86, 3};
        tb_Convolve(b, &all, &k);
        EXPECT_EQ(snapshot(b), before) << "divisor " << d;
    }
}

TEST_F(PixelTest, BoxBlurCountsMissingNeighboursAsBlack) {
    const int b = create(9, 9);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) set(b, x, y, Rgb{255, 255, 255});
    }
    FilterKernel k = initKernel();
    for (auto& row : k.weights) {
        for (int& w : row) w = 1;
    }
    k.divisor = 25;
    Rect all{0, 0, 9, 9};
    tb_Convolve(b, &all, &k);
    struct Case {
        int x, y, value;  // 255 x neighbours inside / 25, truncated
    };
    const Case cases[] = {{0, 0, 91}, {8, 8, 91}, {8, 0, 91}, {2, 0, 153}, {0, 4, 153},
                          {1, 1, 163}, {1, 0, 122}, {4, 4, 255}, {2, 2, 255}, {6, 7, 204}};
    for (const Case& c : cases) EXPECT_EQ(at(b, c.x, c.y), (Rgb{c.value, c.value, c.value})) << c.x << "," << c.y;
}

TEST_F(PixelTest, EveryNeighbourIsReadFromTheUnchangedPicture) {
    // A kernel that copies one neighbour moves the whole picture by one pixel; reading pixels
    // already filtered would smear the first column (or row) across the picture instead.
    struct Case {
        int row, col;  // the one weight
        int dx, dy;    // where each pixel's value comes from
    };
    const Case cases[] = {{2, 3, 1, 0}, {2, 1, -1, 0}, {1, 2, 0, -1}, {3, 2, 0, 1}, {0, 4, 2, -2}};
    std::mt19937 rng(11);
    for (const Case& c : cases) {
        const int b = create(6, 5);
        fillRandom(b, rng);
        std::vector<Rgb> before;
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) before.push_back(at(b, x, y));
        }
        FilterKernel k = initKernel();
        k.weights[c.row][c.col] = 1;
        Rect all{0, 0, 6, 5};
        tb_Convolve(b, &all, &k);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) {
                const int sx = x + c.dx, sy = y + c.dy;
                const Rgb expected = sx >= 0 && sx < 6 && sy >= 0 && sy < 5 ? before[sy * 6 + sx] : Rgb{};
                ASSERT_EQ(at(b, x, y), expected) << "weight " << c.row << "," << c.col << " at " << x << "," << y;
            }
        }
        tb_DisposeBitmap(b);
    }
}

TEST_F(PixelTest, ChannelsSwitchedOffKeepTheirValues) {
    std::mt19937 rng(3);
    const int b = create(8, 8);
    fillRandom(b, rng);
    std::vector<Rgb> before;
    for (int i = 0; i < 64; ++i) before.push_back(at(b, i % 8, i / 8));
    FilterKernel k = initKernel();
    k.bias = 255;  // with no weights every filtered channel becomes 255
    k.red = 0;
    Rect all{0, 0, 8, 8};
    tb_Convolve(b, &all, &k);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(at(b, i % 8, i / 8), (Rgb{before[i].r, 255, 255})) << i;
    }
    k.red = 1;
    k.green = 0;
    k.blue = 0;
    k.bias = -1;
    tb_Convolve(b, &all, &k);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(at(b, i % 8, i / 8), (Rgb{0, 255, 255})) << i;
}

TEST_F(PixelTest, EmbossTurnsFlatAreasGreyAndRaisesEdges) {
    // The Hammer & Chisel's kernel.
    FilterKernel k = initKernel();
    const int weights[3][3] = {{-150, -150, 150}, {-150, 0, 150}, {-150, 150, 150}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) k.weights[r + 1][c + 1] = weights[r][c];
    }
    k.divisor = 400;
    k.bias = 200;
    struct Case {
        Rgb left, right;  // halves of the picture, split between x 4 and 5
        int at3, at4, at5, at6;
    };
    const Case cases[] = {
        {{37, 90, 250}, {37, 90, 250}, 200, 200, 200, 200},  // flat: the weights sum to 0
        {{100, 100, 100}, {120, 120, 120}, 200, 222, 222, 200},  // (450 x 120 - 450 x 100) / 400
        {{120, 120, 120}, {100, 100, 100}, 200, 178, 178, 200},  // toward zero: -22
        {{0, 0, 0}, {255, 255, 255}, 200, 255, 255, 200},
        {{255, 255, 255}, {0, 0, 0}, 200, 0, 0, 200},
    };
    for (const Case& c : cases) {
        const int b = create(10, 10);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) set(b, x, y, x < 5 ? c.left : c.right);
        }
        Rect all{0, 0, 10, 10};
        tb_Convolve(b, &all, &k);
        const int expected[] = {c.at3, c.at4, c.at5, c.at6};
        for (int x = 3; x <= 6; ++x) {
            const int v = expected[x - 3];
            EXPECT_EQ(at(b, x, 5), (Rgb{v, v, v})) << "left " << c.left << " right " << c.right << " x " << x;
        }
        tb_DisposeBitmap(b);
    }
}

TEST_F(PixelTest, OnlyTheRectInsideThePictureIsFiltered) {
    Rect withOrigin{10, 20, 110, 70};
    const int b = create(0, 0, &withOrigin);
    FilterKernel k = initKernel();
    k.bias = 255;
    Rect corner{0, 0, 15, 25};  // meets the stored rect in (10, 20) .. (14, 24)
    tb_Convolve(b, &corner, &k);
    const PixelView v = view(b);
    int white = 0;
    for (int y = 0; y < v.height; ++y) {
        for (int x = 0; x < v.width; ++x) {
            const bool inside = x >= 10 && x < 15 && y >= 20 && y < 25;
            EXPECT_EQ(RowPointer(v, y)[3 * x], inside ? 255 : 0) << x << "," << y;
            white += inside;
        }
    }
    EXPECT_EQ(white, 25);
}

TEST_F(PixelTest, RectOutsideThePictureChangesNothingAndLeavesNoSlotInUse) {
    std::mt19937 rng(5);
    const int b = create(10, 10);
    fillRandom(b, rng);
    const std::vector<uint8_t> before = snapshot(b);
    FilterKernel k = initKernel();
    k.bias = 255;
    for (Rect outside : {Rect{10, 0, 20, 10}, Rect{-5, -5, 0, 3}, Rect{3, 3, 3, 8}, Rect{8, 8, 2, 2}}) {
        tb_Convolve(b, &outside, &k);
        EXPECT_EQ(snapshot(b), before);
    }
    EXPECT_EQ(create(1, 1), b + 1);
    EXPECT_TRUE(errors().empty());
}

TEST_F(PixelTest, FullTableIsReportedAndTheFilterNotApplied) {
    std::mt19937 rng(9);
    const int b = create(10, 10);
    fillRandom(b, rng);
    for (int i = 1; i < 100; ++i) ASSERT_EQ(create(1, 1), i);
    const std::vector<uint8_t> before = snapshot(b);
    FilterKernel k = initKernel();
    k.bias = 255;
    Rect all{0, 0, 10, 10};
    tb_Convolve(b, &all, &k);
    EXPECT_EQ(snapshot(b), before);
    EXPECT_EQ(errors(), std::vector<std::string>{"No more available Bitmaps! (tb_CreateBitmap)"});
}

// Differential: tb_Convolve against a direct per-pixel, per-channel evaluation of the filter's
// definition, over random pictures, rects, weights (some large), divisors (some negative or 0),
// biases and channel flags.
TEST_F(PixelTest, FilterMatchesAPerPixelReference) {
    std::mt19937 rng(424242);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 200; ++round) {
        const int w = pick(1, 40), h = pick(1, 12);
        const int b = create(w, h);
        fillRandom(b, rng);
        std::vector<Rgb> src;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) src.push_back(at(b, x, y));
        }
        FilterKernel k = initKernel();
        // Small weights take the vector path; the larger ones 32- and 64-bit plain sums.
        const int scale = round % 10 == 0 ? 5000000 : round % 10 == 5 ? 20000 : 300;
        for (auto& row : k.weights) {
            for (int& weight : row) weight = pick(0, 2) == 0 ? 0 : pick(-scale, scale);
        }
        k.divisor = round % 17 == 0 ? 0 : pick(-3, 1) == 0 ? -pick(1, 900) : pick(1, 2000);
        k.bias = pick(-300, 300);
        k.red = pick(0, 3) != 0;
        k.green = pick(0, 3) != 0;
        k.blue = pick(0, 3) != 0;
        const Rect area{pick(-3, w), pick(-3, h), pick(0, w + 3), pick(0, h + 3)};
        tb_Convolve(b, &area, &k);

        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                Rgb expected = src[y * w + x];
                if (x >= area.left && x < area.right && y >= area.top && y < area.bottom) {
                    int64_t sum[3] = {0, 0, 0};
                    for (int r = 0; r < 5; ++r) {
                        for (int c = 0; c < 5; ++c) {
                            const int nx = x + c - 2, ny = y + r - 2;
                            if (nx < 0 || nx >= w || ny < 0 || ny >= h) continue;
                            const Rgb n = src[ny * w + nx];
                            sum[0] += int64_t{k.weights[r][c]} * n.r;
                            sum[1] += int64_t{k.weights[r][c]} * n.g;
                            sum[2] += int64_t{k.weights[r][c]} * n.b;
                        }
                    }
                    const int64_t d = k.divisor == 0 ? 1 : k.divisor;
                    int out[3];
                    for (int i = 0; i < 3; ++i) out[i] = int(std::clamp<int64_t>(sum[i] / d + k.bias, 0, 255));
                    if (k.red) expected.r = out[0];
                    if (k.green) expected.g = out[1];
                    if (k.blue) expected.b = out[2];
                }
                ASSERT_EQ(at(b, x, y), expected) << "round " << round << " at " << x << "," << y;
            }
        }
        tb_DisposeBitmap(b);
    }
}

TEST_F(PixelTest, RandomFactorsOfOneRangeScaleEveryWeight) {
    // With the range low = high = k every factor is k: the filter of the weights times k.
    std::mt19937 rng(17);
    for (int factor : {1, 3, -2}) {
        const int a = create(23, 9);
        fillRandom(a, rng);
        const int b = create(23, 9);
        Rect all{0, 0, 23, 9};
        tb_CopyBitmap(a, b, &all, &all, 0);
        FilterKernel random = initKernel();
        FilterKernel fixed = initKernel();
        for (int r = 0; r < 5; ++r) {
            for (int c = 0; c < 5; ++c) {
                random.weights[r][c] = (r * 5 + c) % 7 - 3;
                fixed.weights[r][c] = random.weights[r][c] * factor;
            }
        }
        random.divisor = fixed.divisor = 6;
        random.bias = fixed.bias = 40;
        random.green = fixed.green = 0;
        random.random = 1;
        random.randomLow = random.randomHigh = factor;
        Rect part{1, 2, 20, 9};
        tb_Convolve(a, &part, &random);
        tb_Convolve(b, &part, &fixed);
        EXPECT_EQ(snapshot(a), snapshot(b)) << factor;
        tb_DisposeBitmap(a);
        tb_DisposeBitmap(b);
    }
}
