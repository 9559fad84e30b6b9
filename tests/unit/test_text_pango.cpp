// The Pango layer on plain pixel buffers: fonts found, sizes, measuring against drawing and
// blending. Alignment, rotation and clipping are tested through tb_DrawText.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text_pango.h"

namespace {

using text::FontKind;
using text::FontRequest;

// A bottom-up buffer laid out like a BMP, filled with one colour.
struct Buffer {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> table;
    PixelView view;

    Buffer(int32_t width, int32_t height, int32_t bitCount = 24, uint8_t fill = 0) {
        view.width = width;
        view.height = height;
        view.bitCount = bitCount;
        view.stride = StrideFor(width, bitCount);
        bytes.assign(static_cast<size_t>(view.stride) * static_cast<size_t>(height), fill);
        view.bits = bytes.data();
        if (bitCount == 8) {
            table.resize(1024);
            for (int i = 0; i < 256; ++i) {
                table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<uint8_t>(i);
            }
            view.colorTable = table.data();
        }
    }
    uint32_t at(int32_t x, int32_t y) const {
        const uint8_t* p = RowPointer(view, y) + x * (view.bitCount / 8);
        return view.bitCount == 8 ? p[0] : static_cast<uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
    }
    // Bounds of the pixels that differ from `background`; empty when none.
    Rect inkBounds(uint32_t background = 0) const {
        Rect r{view.width, view.height, 0, 0};
        for (int32_t y = 0; y < view.height; ++y) {
            for (int32_t x = 0; x < view.width; ++x) {
                if (at(x, y) == background) continue;
                r = Rect{std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
            }
        }
        return r.isEmpty() ? Rect{} : r;
    }
};

FontRequest Font(const char* family, FontKind kind, int32_t size) {
    FontRequest font;
    font.family = family;
    font.kind = kind;
    font.size = size;
    return font;
}

FontRequest MonoFont(int32_t size = 40) { return Font("Courier New", FontKind::Mono, size); }

Rect Draw(Buffer& buffer, const FontRequest& font, const std::string& line, text::Placement place,
          uint8_t red = 255, uint8_t green = 255, uint8_t blue = 255, Rect clip = Rect{0, 0, 0, 0}) {
    if (clip.isEmpty()) clip = Rect{0, 0, buffer.view.width, buffer.view.height};
    text::CoverageMask mask;
    text::RenderLine(font, line, place, clip, mask);
    return text::BlendCoverage(buffer.view, mask, red, green, blue);
}

text::Placement At(int32_t x, int32_t y) {
    text::Placement place;
    place.x = x;
    place.y = y;
    return place;
}

}  // namespace

TEST(TextFonts, FaceNamesFindInstalledFamiliesOfTheirKind) {
    struct Case {
        const char* family;
        FontKind kind;
        const char* expected;
    };
    const Case cases[] = {
        {"Arial", FontKind::Sans, "Liberation Sans"},
        {"Courier New", FontKind::Mono, "Liberation Mono"},
        {"MS San Serif", FontKind::Sans, "Liberation Sans"},
        {"MS Serif", FontKind::Serif, "Liberation Serif"},
        {"Times New Roman", FontKind::Serif, "Liberation Serif"},
        {"Times New Roman", FontKind::Any, "Liberation Serif"},  // "Roman" is no style word
        {"DejaVu Sans Mono", FontKind::Any, "DejaVu Sans Mono"},
        // URW's Z003 comes with the print server's fonts; without a script family the serif stands in.
        {"Brush Script MT", FontKind::Script,
         std::ranges::count(text::InstalledFamilies(), "Z003") ? "Z003" : "Liberation Serif"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text::ResolvedFamily(Font(c.family, c.kind, 20)), c.expected) << c.family;
    }
}

TEST(TextFonts, FamilyListIsSortedRealAndScalable) {
    const auto& families = text::InstalledFamilies();
    for (const char* expected : {"Liberation Sans", "Liberation Serif", "Liberation Mono", "DejaVu Sans"}) {
        EXPECT_NE(std::find(families.begin(), families.end(), expected), families.end()) << expected;
    }
    for (const std::string& name : families) {
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        for (const char* generic : {"sans", "serif", "monospace", "system-ui", "sans-serif"}) {
            EXPECT_NE(lower, generic);
        }
    }
    EXPECT_TRUE(std::is_sorted(families.begin(), families.end()));
    EXPECT_EQ(std::adjacent_find(families.begin(), families.end()), families.end());
}

TEST(TextMeasure, SizeIsTheEmHeightAndNegativeSizeTheCellHeight) {
    // Liberation Sans: capitals stand 0.69 em tall, the cell (ascent + descent) is 1.12 em.
    Buffer small(200, 100), large(400, 200);
    Draw(small, Font("Arial", FontKind::Sans, 40), "H", At(10, 10));
    Draw(large, Font("Arial", FontKind::Sans, 80), "H", At(10, 10));
    EXPECT_NEAR(small.inkBounds().height(), 27.5, 1.5);
    EXPECT_NEAR(large.inkBounds().height(), 55.0, 1.5);
    EXPECT_NEAR(text::MeasureLine(Font("Arial", FontKind::Sans, 40), "H").height(), 44.7, 1.5);

    for (int32_t cell : {16, 23, 46, 90}) {
        const text::LineMetrics m = text::MeasureLine(Font("Arial", FontKind::Sans, -cell), "Hxg");
        EXPECT_LE(m.height(), cell) << cell;
        EXPECT_GE(m.height(), cell - 1) << cell;
    }
    EXPECT_EQ(text::MeasureLine(Font("Arial", FontKind::Sans, 0), "x").height(),
              text::MeasureLine(Font("Arial", FontKind::Sans, -16), "x").height());
}

TEST(TextMeasure, WidthIsWhereTheNextLineWouldStart) {
    // Drawing "MMM" in one go and as three single letters side by side, each at the measured
    // advance of what precedes it, gives the same pixels.
    const FontRequest font = MonoFont(31);
    Buffer whole(300, 60), pieces(300, 60);
    Draw(whole, font, "MMM", At(7, 5));
    const int32_t advance = text::MeasureLine(font, "M").width;
    ASSERT_GT(advance, 10);
    for (int i = 0; i < 3; ++i) Draw(pieces, font, "M", At(7 + i * advance, 5));
    EXPECT_EQ(whole.bytes, pieces.bytes);
    EXPECT_EQ(text::MeasureLine(font, "MMM").width, 3 * advance);
    EXPECT_EQ(text::MeasureLine(font, "").width, 0);
}

TEST(TextBlend, CoverageMixesTheColourIntoEachDepth) {
    // A hand-made mask over (1, 1)..(5, 2) of a 6 x 3 picture, 24-bit rows padded to 20 bytes.
    text::CoverageMask mask;
    mask.area = Rect{1, 1, 5, 2};
    mask.stride = 4;
    mask.alpha = {0, 51, 255, 128};
    Buffer deep(6, 3, 24, 200);
    const Rect changed = text::BlendCoverage(deep.view, mask, 100, 100, 100);
    EXPECT_EQ(changed, (Rect{2, 1, 5, 2}));
    // 200 x 0.8 + 100 x 0.2 = 180; full coverage is the colour itself; a half mixes halfway.
    const uint32_t expectedRow[6] = {0xC8C8C8, 0xC8C8C8, 0xB4B4B4, 0x646464, 0x969696, 0xC8C8C8};
    for (int32_t x = 0; x < 6; ++x) {
        EXPECT_EQ(deep.at(x, 1), expectedRow[x]) << x;
        EXPECT_EQ(deep.at(x, 0), 0xC8C8C8u) << x;
        EXPECT_EQ(deep.at(x, 2), 0xC8C8C8u) << x;
    }
    for (int32_t y = 0; y < 3; ++y) {  // the row padding stays as it was
        EXPECT_EQ(RowPointer(deep.view, y)[18], 200);
        EXPECT_EQ(RowPointer(deep.view, y)[19], 200);
    }

    // Coloured ink on 24 bits keeps each channel apart.
    Buffer colour(6, 3, 24, 0);
    text::BlendCoverage(colour.view, mask, 255, 0, 51);
    EXPECT_EQ(colour.at(3, 1), 0xFF0033u);
    EXPECT_EQ(colour.at(2, 1), 0x330000u + 0x0Au);  // a fifth of 255 and of 51

    // 8 bits: no in-between colours, half covered or more takes the nearest table entry.
    Buffer shallow(6, 3, 8, 7);
    const Rect changed8 = text::BlendCoverage(shallow.view, mask, 90, 90, 93);
    EXPECT_EQ(changed8, (Rect{3, 1, 5, 2}));
    const uint32_t expected8[6] = {7, 7, 7, 91, 91, 7};
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(shallow.at(x, 1), expected8[x]) << x;
}

TEST(TextInput, BrokenUtf8AndLineBreaksStillMakeOneLine) {
    const FontRequest font = Font("Arial", FontKind::Sans, 20);
    const text::LineMetrics one = text::MeasureLine(font, "ab");
    // A line break is drawn as a symbol, never as a second line.
    EXPECT_EQ(text::MeasureLine(font, "ab\ncd").height(), one.height());
    // A cut two-byte character ("é" without its second byte) draws a replacement mark.
    const text::LineMetrics cut = text::MeasureLine(font, std::string("ab\xC3", 3));
    EXPECT_GT(cut.width, one.width);
    Buffer buffer(200, 40);
    EXPECT_FALSE(Draw(buffer, font, std::string("\xFF\xFE", 2), At(5, 5)).isEmpty());
}
