// The compiled-in resources: lookup, and the formats and properties the program relies on.
// The readers here are written independently of the resource compiler's encoders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "resources/resource_ids.h"
#include "resources/resources.h"

namespace {

unsigned U16(const uint8_t* p) { return p[0] | (p[1] << 8); }
int32_t I32(const uint8_t* p) {
    return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24));
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

// A bitmap resource read the way a BMP reader would.
struct Bitmap {
    int width = 0, height = 0, bits = 0;
    const uint8_t* table = nullptr;
    const uint8_t* rows = nullptr;
    int stride = 0;

    explicit Bitmap(ResourceData d) {
        width = I32(d.bytes + 4);
        height = I32(d.bytes + 8);
        bits = U16(d.bytes + 14);
        table = d.bytes + 40;
        rows = table + (bits == 8 ? 256 * 4 : 0);
        stride = ((width * bits + 31) / 32) * 4;
    }
    // Picture coordinates, y down; rows are stored bottom-up.
    const uint8_t* Pixel(int x, int y) const {
        return rows + static_cast<size_t>(height - 1 - y) * stride + x * (bits / 8);
    }
    int Index(int x, int y) const { return *Pixel(x, y); }
    Rgb At(int x, int y) const {
        const uint8_t* p = bits == 8 ? table + Index(x, y) * 4 : Pixel(x, y);
        return {p[2], p[1], p[0]};
    }
};

struct Cursor {
    int width, height, hotX, hotY;
    const uint8_t* pixels;

    explicit Cursor(ResourceData d)
        : width(U16(d.bytes)), height(U16(d.bytes + 2)), hotX(U16(d.bytes + 4)),
          hotY(U16(d.bytes + 6)), pixels(d.bytes + 8) {}
    int Alpha(int x, int y) const { return pixels[(y * width + x) * 4 + 3]; }
};

// The smallest rectangle holding every pixel at least half opaque: left, top, right, bottom inclusive.
struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};
Box DrawnBox(const Cursor& c) {
    Box b;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            if (c.Alpha(x, y) < 128) continue;
            b.left = std::min(b.left, x), b.right = std::max(b.right, x);
            b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
        }
    }
    return b;
}

std::vector<int> CursorIds() {
    std::vector<int> ids{kCurSpare};
    for (int id = kCurDropper; id <= kCurStampBook; ++id) ids.push_back(id);
    return ids;
}

}  // namespace

TEST(ResourceLookup, UnknownIdsAndWrongKindsAreEmpty) {
    const std::pair<ResourceKind, int> missing[] = {
        {ResourceKind::Bitmap, 99999}, {ResourceKind::Bitmap, -1},    {ResourceKind::Cursor, 199},
        {ResourceKind::Cursor, 229},   {ResourceKind::Cursor, 0},     {ResourceKind::Icon, 376},
        {ResourceKind::Cursor, kBmpWallpaper}, {ResourceKind::Bitmap, kCurArrow + 1000},
        {ResourceKind::Icon, kCurArrow}, {ResourceKind::Wave, kCurArrow},
    };
    for (auto [kind, id] : missing) {
        ResourceData d = FindResource(kind, id);
        EXPECT_FALSE(d) << "kind " << int(kind) << " id " << id;
        EXPECT_EQ(d.size, 0u);
    }
    EXPECT_FALSE(FindIcon(kIconProgram, -1));
    EXPECT_FALSE(FindIcon(kIconProgram, 1000));
    EXPECT_FALSE(FindIcon(kCurArrow, 0));
}

TEST(ResourceLookup, FindsEachKindUnderItsOwnId) {
    ResourceData arrow = FindResource(ResourceKind::Cursor, kCurArrow);
    ResourceData wallpaper = FindResource(ResourceKind::Bitmap, kBmpWallpaper);
    ASSERT_TRUE(arrow);
    ASSERT_TRUE(wallpaper);
    EXPECT_NE(arrow.bytes, wallpaper.bytes);
    // The icon's first size is also what a plain lookup returns.
    EXPECT_EQ(FindResource(ResourceKind::Icon, kIconProgram).bytes, FindIcon(kIconProgram, 0).bytes);
}

TEST(ResourceLookup, BytesSurviveReleasingTheirPages) {
    const ResourceData wallpaper = FindResource(ResourceKind::Bitmap, kBmpWallpaper);
    ASSERT_TRUE(wallpaper);
    const std::vector<uint8_t> before(wallpaper.bytes, wallpaper.bytes + wallpaper.size);
    ReleaseResourcePages();
    EXPECT_TRUE(std::equal(before.begin(), before.end(), FindResource(ResourceKind::Bitmap, kBmpWallpaper).bytes));
}

// Whatever bitmaps exist, each is a BMP without its file header whose size adds up, 4-byte aligned.
TEST(ResourceBitmaps, EveryBitmapHasAConsistentHeaderAndSize) {
    int found = 0;
    for (int id = 0; id < 2000; ++id) {
        ResourceData d = FindResource(ResourceKind::Bitmap, id);
        if (!d) continue;
        ++found;
        SCOPED_TRACE(id);
        ASSERT_GE(d.size, 40u);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(d.bytes) % 4, 0u);
        Bitmap b(d);
        EXPECT_EQ(I32(d.bytes), 40);
        EXPECT_GT(b.width, 0);
        EXPECT_GT(b.height, 0);  // bottom-up
        EXPECT_EQ(U16(d.bytes + 12), 1u);
        EXPECT_TRUE(b.bits == 8 || b.bits == 24) << b.bits;
        EXPECT_EQ(I32(d.bytes + 16), 0);  // uncompressed
        size_t expected = 40 + (b.bits == 8 ? 1024 : 0) + size_t(b.stride) * b.height;
        EXPECT_EQ(d.size, expected);
        EXPECT_EQ(I32(d.bytes + 20), b.stride * b.height);
    }
    EXPECT_GE(found, 3);
}

TEST(CursorResources, EveryCursorIs32x32WithItsHotSpotOnTheDrawing) {
    for (int id : CursorIds()) {
        SCOPED_TRACE(id);
        ResourceData d = FindResource(ResourceKind::Cursor, id);
        ASSERT_TRUE(d);
        ASSERT_EQ(d.size, 8u + 32 * 32 * 4);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(d.bytes) % 4, 0u);
        Cursor c(d);
        EXPECT_EQ(c.width, 32);
        EXPECT_EQ(c.height, 32);
        ASSERT_LT(c.hotX, 32);
        ASSERT_LT(c.hotY, 32);
        EXPECT_GT(c.Alpha(c.hotX, c.hotY), 0);
        // A real drawing: neither empty nor a filled square.
        int opaque = 0, dark = 0;
        for (int i = 0; i < 32 * 32; ++i) {
            const uint8_t* p = c.pixels + i * 4;
            opaque += p[3] == 255;
            dark += p[3] == 255 && p[0] + p[1] + p[2] < 3 * 80;
        }
        EXPECT_GT(opaque, 60);
        EXPECT_LT(opaque, 32 * 32 * 3 / 4);
        EXPECT_GT(dark, 30) << "needs a dark outline to read on light backgrounds";
    }
}

// Where the hot spot sits on the drawing, for the cursors where that matters to the child.
TEST(CursorResources, HotSpotsSitAtTheWorkingPoint) {
    enum Where { TopLeftTip, BottomLeftTip, TopTip, BottomTip, Centre };
    const std::pair<int, Where> cases[] = {
        {kCurArrow, TopLeftTip},      {kCurPointing, TopTip},     {kCurSpeaker, TopTip},
        {kCurPencil, BottomLeftTip},  {kCurBrush, BottomLeftTip}, {kCurDropper, BottomLeftTip},
        {kCurHammer, BottomLeftTip},  {kCurNeedle, BottomLeftTip}, {kCurJar, BottomTip},
        {kCurEraser, Centre},         {kCurBall, Centre},         {kCurCog, Centre},
        {kCurPaintballGun, Centre},   {kCurText, Centre},         {kCurStampBook, TopLeftTip},
    };
    for (auto [id, where] : cases) {
        SCOPED_TRACE(id);
        Cursor c(FindResource(ResourceKind::Cursor, id));
        Box b = DrawnBox(c);
        const int near = 3;
        switch (where) {
            case TopLeftTip:
                EXPECT_LE(c.hotX - b.left, near);
                EXPECT_LE(c.hotY - b.top, near);
                break;
            case BottomLeftTip:
                EXPECT_LE(c.hotX - b.left, near);
                EXPECT_LE(b.bottom - c.hotY, near);
                break;
            case TopTip: EXPECT_LE(c.hotY - b.top, near); break;
            case BottomTip: EXPECT_LE(b.bottom - c.hotY, near); break;
            case Centre:
                EXPECT_LE(std::abs(2 * c.hotX - (b.left + b.right)), 2 * near);
                EXPECT_LE(std::abs(2 * c.hotY - (b.top + b.bottom)), 2 * near);
                break;
        }
    }
    // The zoom cursor's hot spot is the middle of its lens: see-through there, ringed around.
    Cursor zoom(FindResource(ResourceKind::Cursor, kCurZoom));
    EXPECT_LT(zoom.Alpha(zoom.hotX + 3, zoom.hotY - 3), 255);
    EXPECT_EQ(zoom.Alpha(zoom.hotX - 8, zoom.hotY), 255);
    EXPECT_EQ(zoom.Alpha(zoom.hotX, zoom.hotY - 8), 255);
}

TEST(ProgramIcon, ComesInSeveralSquareSizesShapedNotBoxed) {
    std::vector<int> sizes;
    for (int i = 0; ResourceData d = FindIcon(kIconProgram, i); ++i) {
        SCOPED_TRACE(i);
        ASSERT_LT(i, 20);
        Cursor icon(d);
        EXPECT_EQ(icon.width, icon.height);
        EXPECT_EQ(icon.hotX, 0);
        EXPECT_EQ(icon.hotY, 0);
        ASSERT_EQ(d.size, 8u + size_t(icon.width) * icon.height * 4);
        const int n = icon.width;
        EXPECT_EQ(icon.Alpha(0, 0), 0);
        EXPECT_EQ(icon.Alpha(n - 1, 0), 0);
        EXPECT_EQ(icon.Alpha(n / 2, n / 3), 255);
        sizes.push_back(n);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 64, 128}));
}

TEST(WallpaperTile, Is256Square24BitAndTilesSeamlessly) {
    ResourceData d = FindResource(ResourceKind::Bitmap, kBmpWallpaper);
    ASSERT_TRUE(d);
    Bitmap w(d);
    ASSERT_EQ(w.width, 256);
    ASSERT_EQ(w.height, 256);
    ASSERT_EQ(w.bits, 24);
    ASSERT_EQ(d.size, 40u + 256 * 256 * 3);

    // Tiled, column 255 meets column 0 and row 255 meets row 0: no step there may stand out.
    auto step = [](Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); };
    int worstSeam = 0;
    long seamTotal = 0;
    for (int i = 0; i < 256; ++i) {
        int across = step(w.At(255, i), w.At(0, i));
        int down = step(w.At(i, 255), w.At(i, 0));
        worstSeam = std::max({worstSeam, across, down});
        seamTotal += across + down;
    }
    EXPECT_LE(worstSeam, 24);
    EXPECT_LE(seamTotal / 512.0, 1.0);

    // A picture, not a flat colour: light and warm overall, with several colours.
    std::set<int> colours;
    long red = 0, blue = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            Rgb c = w.At(x, y);
            colours.insert(c.r << 16 | c.g << 8 | c.b);
            red += c.r, blue += c.b;
        }
    }
    EXPECT_GE(colours.size(), 12u);
    EXPECT_GT(red, blue);
    EXPECT_GT(red / (256 * 256), 200);
}

TEST(PaintBlot, SurfaceIsPureBlackClosedAndWhole) {
    ResourceData d = FindResource(ResourceKind::Bitmap, kBmpPaintBlot);
    ASSERT_TRUE(d);
    Bitmap blot(d);
    ASSERT_EQ(blot.width, 44);
    ASSERT_EQ(blot.height, 17);
    ASSERT_EQ(blot.bits, 24);
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    ASSERT_EQ(blot.At(21, 8), black);

    // The program fills the surface 4-connected from (21, 8); it must stay inside the picture's
    // border and reach every black pixel (a separate black patch would never take the colour).
    std::vector<char> seen(44 * 17, 0);
    std::vector<std::pair<int, int>> todo{{21, 8}};
    seen[8 * 44 + 21] = 1;
    int filled = 0;
    while (!todo.empty()) {
        auto [x, y] = todo.back();
        todo.pop_back();
        ++filled;
        ASSERT_TRUE(x > 0 && y > 0 && x < 43 && y < 16) << "the fill leaks out at " << x << "," << y;
        const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (auto [nx, ny] : next) {
            if (!seen[ny * 44 + nx] && blot.At(nx, ny) == black) {
                seen[ny * 44 + nx] = 1;
                todo.push_back({nx, ny});
            }
        }
    }
    EXPECT_GT(filled, 44 * 17 / 3);
    std::set<int> colours;
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 44; ++x) {
            Rgb c = blot.At(x, y);
            colours.insert(c.r << 16 | c.g << 8 | c.b);
            if (c == black) {
                EXPECT_TRUE(seen[y * 44 + x]) << "stray black pixel at " << x << "," << y;
            }
        }
    }
    // Drawn without anti-aliasing: white outside, the outline, the surface, perhaps a glint.
    EXPECT_LE(colours.size(), 4u);
    EXPECT_TRUE(colours.count(0xFFFFFF));
    EXPECT_EQ(blot.At(0, 0), white);
}

TEST(PaintBlot, MaskIsPureBlackAndWhiteExactlyOverTheBlot) {
    Bitmap blot(FindResource(ResourceKind::Bitmap, kBmpPaintBlot));
    ResourceData d = FindResource(ResourceKind::Bitmap, kBmpPaintBlotMask);
    ASSERT_TRUE(d);
    Bitmap mask(d);
    ASSERT_EQ(mask.bits, 8);
    ASSERT_EQ(mask.width, blot.width);
    ASSERT_EQ(mask.height, blot.height);
    const Rgb white{255, 255, 255}, black{0, 0, 0};
    int shown = 0;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            Rgb m = mask.At(x, y);
            ASSERT_TRUE(m == white || m == black) << x << "," << y;
            // The index itself is 0 or 255 too, for readers that skip the colour table.
            EXPECT_EQ(mask.Index(x, y), m == white ? 255 : 0);
            EXPECT_EQ(m == white, !(blot.At(x, y) == white)) << x << "," << y;
            shown += m == white;
        }
    }
    EXPECT_GT(shown, 44 * 17 / 2);
}

// The program recolours a splat where red is 0 and copies it through its mask: each is a crisp
// black shape on white with the mask white exactly over it. (Where it lands: the scene tests.)
TEST(PaintballSplats, CrispBlackShapesWithExactMasks) {
    const Rgb white{255, 255, 255}, black{0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        ResourceData pd = FindResource(ResourceKind::Bitmap, kBmpSplatFirst + k);
        ResourceData md = FindResource(ResourceKind::Bitmap, kBmpSplatMaskFirst + k);
        ASSERT_TRUE(pd && md) << k;
        Bitmap pic(pd), mask(md);
        ASSERT_TRUE(pic.width == 120 && pic.height == 120 && mask.width == 120 && mask.height == 120) << k;
        int shape = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 120; ++x) {
                const Rgb c = pic.At(x, y);
                ASSERT_TRUE(c == black || c == white) << k << ": " << x << "," << y;
                ASSERT_EQ(mask.At(x, y), c == black ? white : black) << k << ": " << x << "," << y;
                shape += c == black;
            }
        EXPECT_GT(shape, 120 * 120 / 3) << k;
    }
}

// A click picks the very pixel under it: only clean colours, each on a fair area of the palette.
TEST(ColourPalette, CleanColoursOnly) {
    ResourceData pd = FindResource(ResourceKind::Bitmap, kBmpColourPalette);
    ResourceData md = FindResource(ResourceKind::Bitmap, kBmpColourPaletteMask);
    ASSERT_TRUE(pd && md);
    Bitmap pic(pd), mask(md);
    ASSERT_TRUE(pic.width == 369 && pic.height == 242 && mask.width == 369 && mask.height == 242);
    std::map<int, int> count;
    for (int y = 0; y < 242; ++y)
        for (int x = 0; x < 369; ++x)
            if (const Rgb c = pic.At(x, y); mask.Index(x, y) == 255) ++count[c.r << 16 | c.g << 8 | c.b];
    EXPECT_GE(count.size(), 40u);
    for (auto [colour, pixels] : count) EXPECT_GE(pixels, 30) << std::hex << colour;
}
