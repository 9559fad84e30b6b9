// Text: the Pango layer (fonts found, sizes, blending, broken input), then through the toolbox:
// per-target font settings, tb_DrawText's styles, alignment, length, clipping and colour, and the
// text tool's tb_DrawTextInFont.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text_pango.h"
#include "tests/unit/test_drawing_support.h"

namespace {

text::FontRequest Font(const char* family, text::FontKind kind, int size) {
    text::FontRequest font;
    font.family = family, font.kind = kind, font.size = size;
    return font;
}

// ---- The Pango layer -----------------------------------------------------------------------------

TEST(TextFonts, FaceNamesFindInstalledFamiliesOfTheirKind) {
    using text::FontKind;
    struct Case { const char* family; FontKind kind; const char* expected; };
    const Case cases[] = {
        {"MS San Serif", FontKind::Sans, "Liberation Sans"},  // no such font: its kind decides
        {"Times New Roman", FontKind::Any, "Liberation Serif"},  // "Roman" is no style word
        {"DejaVu Sans Mono", FontKind::Any, "DejaVu Sans Mono"},
        // URW's Z003 comes with the print server's fonts; without a script family the serif stands in.
        {"Brush Script MT", FontKind::Script,
         std::ranges::count(text::InstalledFamilies(), "Z003") ? "Z003" : "Liberation Serif"},
    };
    for (const Case& c : cases) EXPECT_EQ(text::ResolvedFamily(Font(c.family, c.kind, 20)), c.expected) << c.family;
}

// Liberation Sans: the cell (ascent + descent) is 1.12 em; size 0 is the default cell of 16.
TEST(TextMeasure, SizeIsTheEmHeightAndWithNoFontsTheCellHeight) {
    for (int size : {12, 40, 80})
        EXPECT_NEAR(text::MeasureLine(Font("Arial", text::FontKind::Sans, size), "H").height(), size * 1.12,
                    1.5) << size;
    EXPECT_EQ(text::MeasureLine(Font("Arial", text::FontKind::Sans, 0), "x").height(),
              text::MeasureLine(Font("Arial", text::FontKind::Sans, -16), "x").height());
    // Without any font at all (the font map measured above is handed back) a cell height stands
    // for the em at once, with no search through every size.
    FcConfig *installed = FcConfigReference(nullptr), *none = FcConfigCreate();
    FcConfigSetCurrent(none), FcConfigDestroy(none), text::ReleaseFontCaches();
    EXPECT_EQ(text::EmHeightOf(Font("Arial", text::FontKind::Sans, -16)), 16);
    FcConfigSetCurrent(installed), FcConfigDestroy(installed), text::ReleaseFontCaches();
}

TEST(TextBlend, CoverageMixesTheColourIntoEachChannel) {
    // A hand-made mask over (1, 1)..(5, 2) of a 6 x 3 picture, 24-bit rows padded to 20 bytes.
    const text::CoverageMask mask{Rect{1, 1, 5, 2}, 4, {0, 51, 255, 128}};
    drawtest::Canvas canvas(6, 3, 24, 200);
    const PixelView v = canvas.view();
    EXPECT_EQ(text::BlendCoverage(v, mask, 100, 100, 100), (Rect{2, 1, 5, 2}));
    // 200 x 0.8 + 100 x 0.2 = 180; full coverage is the colour itself; a half mixes halfway; the
    // other rows and the row padding stay as they were.
    const uint32_t row[6] = {0xC8C8C8, 0xC8C8C8, 0xB4B4B4, 0x646464, 0x969696, 0xC8C8C8};
    for (int x = 0; x < 6; ++x) EXPECT_TRUE(canvas.at(x, 1) == row[x] && canvas.at(x, 0) == 0xC8C8C8u) << x;
    for (int y = 0; y < 3; ++y) EXPECT_TRUE(RowPointer(v, y)[18] == 200 && RowPointer(v, y)[19] == 200);
    // Coloured ink keeps each channel apart: a fifth of 255 and of 51 at 51 of 255.
    std::fill(canvas.bytes.begin(), canvas.bytes.end(), 0);
    text::BlendCoverage(v, mask, 255, 0, 51);
    EXPECT_EQ(canvas.at(3, 1), 0xFF0033u);
    EXPECT_EQ(canvas.at(2, 1), 0x33000Au);
}

TEST(TextInput, BrokenUtf8AndLineBreaksStillMakeOneLine) {
    const text::FontRequest font = Font("Arial", text::FontKind::Sans, 20);
    const text::LineMetrics one = text::MeasureLine(font, "ab");
    // A line break is drawn as a symbol, never as a second line.
    EXPECT_EQ(text::MeasureLine(font, "ab\ncd").height(), one.height());
    // A cut two-byte character ("é" without its second byte) draws a replacement mark.
    EXPECT_GT(text::MeasureLine(font, std::string("ab\xC3", 3)).width, one.width);
    text::CoverageMask mask;
    text::RenderLine(font, std::string("\xFF\xFE", 2), text::Placement{}, Rect{0, 0, 200, 40}, mask);
    EXPECT_FALSE(mask.area.isEmpty());
}

// ---- Through the toolbox -------------------------------------------------------------------------

// Full blocks in face 1 (a monospaced face) fill their whole cell: their ink is the cell.
const char kBlocks[] = "\u2588\u2588\u2588\u2588";
constexpr int kBlocksLength = sizeof kBlocks - 1;

class TextTest : public ToolboxTest {
protected:
    int bitmap() { return create(300, 120); }
    // A bitmap with the given font, white ink on black.
    int fontBitmap(int face, int size, int style = 0) {
        const int b = bitmap();
        tb_SetFont(b, face);
        tb_SetFontSize(b, size);
        tb_SetFontStyle(b, style);
        tb_SetForeColor(b, 65025, 65025, 65025);
        return b;
    }
    std::vector<uint8_t> bytes(int handle) {
        const PixelView v = view(handle);
        return std::vector<uint8_t>(v.bits, v.bits + size_t(v.stride) * v.height);
    }
    // Bounds of the pixels that are not black; empty when none.
    Rect ink(int handle) {
        const auto inked = [&](int x, int y) { return at(handle, x, y) != 0; };
        return drawtest::Bounds(drawtest::PixelsWhere(raster::ViewRect(view(handle)), inked));
    }
    static int draw(int target, int x, int y, const char* s, int h = 0, int v = 0) {
        return tb_DrawText(target, x, y, s, int(std::char_traits<char>::length(s)), 0, 1, h, v);
    }
};

// Each setter reports a bad target under tb_SetFont's name; the printer page takes settings even
// without a document. Only bitmaps and windows are drawn on; other targets measure nothing and
// say nothing.
TEST_F(TextTest, SettersReportFreeSlotsAndAlwaysAcceptThePrinterPage) {
    const int window = openWindow(100, 100), used = bitmap(), freed = bitmap();
    tb_DisposeBitmap(freed);
    const char *bad = "Invalid bitmap! (tb_SetFont)", *closed = "Invalid window! (tb_SetFont)";
    const std::pair<int, const char*> cases[] = {
        {used, ""}, {window, ""}, {kPrinterHandle, ""}, {freed, bad}, {-1, bad}, {100, bad}, {4999, bad},
        {window + 1, closed}, {5010, closed},
    };
    for (auto [target, message] : cases) {
        desktop().clearRecords();
        tb_SetFont(target, 0);
        tb_SetFontSize(target, 20);
        tb_SetFontStyle(target, 0);
        const auto& boxes = desktop().messageBoxes();
        ASSERT_EQ(boxes.size(), message[0] ? 3u : 0u) << target;  // one per setter, all naming tb_SetFont
        for (const auto& box : boxes) EXPECT_TRUE(box.caption == "Error..." && box.text == message) << box.text;
        EXPECT_EQ(draw(target, 0, 0, "x") > 0, target == used || target == window) << target;
        tb_DrawTextInFont(target, 0, 0, "x", 1, "Arial", 20, 0, 255, 255, 255, 0, nullptr);
        EXPECT_EQ(boxes.size(), message[0] ? 3u : 0u) << target << ": drawing says nothing";
    }
}

// Styles 0 to 4 (normal, bold, italic, underlined, struck out) all differ; others draw normal.
TEST_F(TextTest, StylesOutsideTheTableDrawNormal) {
    std::vector<std::vector<uint8_t>> styles;
    for (int style : {0, 1, 2, 3, 4, 5, -1}) {
        const int b = fontBitmap(0, 28, style);
        draw(b, 5, 5, "Hamburg 42");
        styles.push_back(bytes(b));
        for (int other = 1; style >= 0 && style < 5 && other < int(styles.size()); ++other)
            EXPECT_NE(styles[other - 1], styles.back()) << "style " << style;
    }
    EXPECT_TRUE(styles[5] == styles[0] && styles[6] == styles[0]);
}

// The alignment places the drawn cell by its pixels, and the text takes the target's fore colour.
TEST_F(TextTest, AlignmentPlacesTheCellByItsPixelsInTheForeColour) {
    // Which edge of the drawn cell lies on the reference point (150, 60).
    enum Anchor { Start, Middle, End };
    struct Case { int h, v; Anchor x, y; };
    const Case cases[] = {
        {0, 0, Start, Start}, {1, 1, End, End}, {2, 1, Middle, End},
        {0, 2, Middle, Start}, {2, 2, Middle, Start},  // vertical 2 centres whatever the horizontal
        {3, -1, Start, Start}, {65537, 65537, End, End},  // the values are 16-bit
    };
    for (const Case& c : cases) {
        const int b = fontBitmap(1, 32);
        tb_SetForeColor(b, 65025, 32640, 0);  // 255, 128, 0
        const int width = tb_DrawText(b, 150, 60, kBlocks, kBlocksLength, 0, 1, c.h, c.v);
        const Rect r = ink(b);
        EXPECT_EQ(at(b, (r.left + r.right) / 2, (r.top + r.bottom) / 2), 0xFF8000u);
        const int anchorX = c.x == Start ? r.left : c.x == End ? r.right : (r.left + r.right) / 2;
        EXPECT_NEAR(r.width(), width, 1) << c.h << " " << c.v;
        EXPECT_NEAR(anchorX, 150, 1) << c.h << " " << c.v;
        EXPECT_NEAR(c.y == Start ? r.top : r.bottom, 60, 1) << c.h << " " << c.v;
    }
}

// The gallery draws a name without its extension by its length; a length past the end of the
// string stops at its terminating zero; no length or no text draws and measures nothing.
TEST_F(TextTest, LengthCutsTheTextAndStopsAtItsEnd) {
    const int whole = fontBitmap(0, 12), cut = fontBitmap(0, 12);
    const char name[] = "picture7.bmp";
    EXPECT_EQ(tb_DrawText(cut, 100, 40, name, 8, 0, 1, 2, 2), draw(whole, 100, 40, "picture7", 2, 2));
    EXPECT_EQ(tb_DrawText(cut, 0, 0, "picture7", 400, 0, 0, 0, 0), tb_DrawText(cut, 0, 0, "picture7", 8, 0, 0, 0, 0));
    for (int length : {0, -1}) EXPECT_EQ(tb_DrawText(cut, 0, 0, name, length, 0, 1, 0, 0), 0);
    EXPECT_EQ(tb_DrawText(cut, 0, 0, nullptr, 5, 0, 1, 0, 0), 0);
    EXPECT_EQ(bytes(cut), bytes(whole)) << "the cut text, and nothing else";
}

// Text keeps within the clip in force (the clip's mechanics: the copy and drawing tests) until it
// is cleared; the text tool's own clip replaces the clip in force, and leaving removes both.
TEST_F(TextTest, ClipInForceLimitsTheTextAndANamedFontsOwnClipReplacesIt) {
    const int free = fontBitmap(0, 40), clipped = fontBitmap(0, 40), black = bitmap();
    const Rect clip{60, 30, 170, 55}, all{0, 0, 300, 120}, own{140, 0, 160, 120};
    tb_SetClipRect(clipped, &clip);
    tb_CopyBitmap(black, clipped, &all, &all, 0);  // puts the clip in force, changes nothing
    for (int target : {free, clipped}) draw(target, 20, 20, "Clipped text");
    // The pixels unlike the unclipped text cut by the clip: none.
    const auto cut = [&](int x, int y) { return tb_PtInRect(x, y, &clip) ? at(free, x, y) : 0u; };
    const auto unlike = [&](int x, int y) { return at(clipped, x, y) != cut(x, y); };
    EXPECT_EQ(drawtest::PixelsWhere(all, unlike), drawtest::PixelSet{});
    tb_DrawTextInFont(clipped, 150, 110, kBlocks, kBlocksLength, "Liberation Mono", 30, 0, 255, 255, 255, 0, &own);
    EXPECT_NE(at(clipped, 155, 100), 0u);
    EXPECT_EQ(at(clipped, 165, 100), 0u);
    draw(clipped, 20, 20, "Clipped text");  // no clip in force any more
    EXPECT_TRUE(ink(clipped).left == ink(free).left && ink(clipped).top == ink(free).top);
}

}  // namespace
