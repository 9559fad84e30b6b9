// Text through the toolbox: per-target font settings, tb_DrawText's faces, styles, alignment,
// angle, clipping and colour, and the text tool's tb_DrawTextInFont.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text_pango.h"
#include "tests/support/headless_fixture.h"
#include "toolbox/internal.h"

namespace {

// Full blocks in face 1 (a monospaced face) fill their whole cell: their ink is the cell.
const char kBlocks[] = "\u2588\u2588\u2588\u2588";
constexpr int kBlocksLength = sizeof kBlocks - 1;

long QuietProc(platform::Message& msg) { return platform::Plat().defWindowProc(msg); }

class TextTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_Init();
    }

    int bitmap(int width = 300, int height = 120, int depth = 24) {
        Rect r{0, 0, width, height};
        return tb_CreateBitmap(&r, -1, depth);
    }
    // A bitmap with the given font, white ink on black.
    int fontBitmap(int face, int size, int style = 0, int width = 300, int height = 120) {
        const int b = bitmap(width, height);
        tb_SetFont(b, face);
        tb_SetFontSize(b, size);
        tb_SetFontStyle(b, style);
        tb_SetForeColor(b, 65025, 65025, 65025);
        return b;
    }
    static PixelView view(int handle) {
        toolbox::Target t;
        EXPECT_TRUE(toolbox::ResolveSource(handle, t));
        return t.view;
    }
    static std::vector<uint8_t> bytes(int handle) {
        const PixelView v = view(handle);
        return std::vector<uint8_t>(v.bits, v.bits + static_cast<size_t>(v.stride) * v.height);
    }
    static uint32_t at(const PixelView& v, int x, int y) {
        const uint8_t* p = RowPointer(v, y) + x * (v.bitCount / 8);
        return v.bitCount == 8 ? p[0] : static_cast<uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
    }
    // Bounds of the pixels that are not `background`; empty when none.
    static Rect inkBounds(const PixelView& v, uint32_t background = 0) {
        Rect r{v.width, v.height, 0, 0};
        for (int y = 0; y < v.height; ++y)
            for (int x = 0; x < v.width; ++x)
                if (at(v, x, y) != background)
                    r = Rect{std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
        return r.isEmpty() ? Rect{} : r;
    }
    static Rect inkBounds(int handle) { return inkBounds(view(handle)); }
    static int draw(int target, int x, int y, const char* s, int h = 0, int v = 0, double angle = 0) {
        return tb_DrawText(target, x, y, s, static_cast<int>(std::char_traits<char>::length(s)), angle, 1, h, v);
    }
};

}  // namespace

TEST_F(TextTest, SettersReportFreeSlotsAndAlwaysAcceptThePrinterPage) {
    tb_RegisterWindowClass(QuietProc, 0);
    Rect wr{0, 0, 100, 100};
    const int window = tb_OpenWindow(&wr, "w");
    const int used = bitmap();
    const int freed = bitmap();
    tb_DisposeBitmap(freed);
    struct Case {
        int target;
        const char* message;  // "" when the setting is taken
    };
    const Case cases[] = {
        {used, ""},          {window, ""},
        {kPrinterHandle, ""}, {freed, "Invalid bitmap! (tb_SetFont)"},
        {-1, "Invalid bitmap! (tb_SetFont)"},     {100, "Invalid bitmap! (tb_SetFont)"},
        {4999, "Invalid bitmap! (tb_SetFont)"},   {window + 1, "Invalid window! (tb_SetFont)"},
        {5010, "Invalid window! (tb_SetFont)"},   {8999, "Invalid window! (tb_SetFont)"},
    };
    for (const Case& c : cases) {
        desktop().clearRecords();
        tb_SetFont(c.target, 1);
        tb_SetFontSize(c.target, 20);
        tb_SetFontStyle(c.target, 1);
        const auto& boxes = desktop().messageBoxes();
        if (c.message[0] == '\0') {
            EXPECT_TRUE(boxes.empty()) << c.target;
            continue;
        }
        ASSERT_EQ(boxes.size(), 3u) << c.target;  // one per setter, all naming tb_SetFont
        for (const auto& box : boxes) {
            EXPECT_EQ(box.caption, "Error...");
            EXPECT_EQ(box.text, c.message) << c.target;
        }
    }
}

TEST_F(TextTest, SettingsBelongToTheSlotAndSurviveItsBitmap) {
    const int reference = fontBitmap(1, 30);
    draw(reference, 10, 10, "Slot");
    const int first = bitmap();
    tb_SetFont(first, 1);
    tb_SetFontSize(first, 30);
    tb_DisposeBitmap(first);
    const int again = bitmap();
    ASSERT_EQ(again, first);
    tb_SetForeColor(again, 65025, 65025, 65025);
    draw(again, 10, 10, "Slot");
    EXPECT_EQ(bytes(again), bytes(reference));
}

TEST_F(TextTest, MeasuringChangesNoPixelAndGivesTheDrawnWidth) {
    const int b = fontBitmap(0, 24);
    const std::vector<uint8_t> before = bytes(b);
    const int measured = tb_DrawText(b, 150, 60, "Measure me", 10, 0, 0, 2, 1);
    EXPECT_GT(measured, 60);
    EXPECT_EQ(bytes(b), before);
    // The width does not depend on alignment or angle, and drawing returns the same.
    for (int h : {0, 1, 2})
        for (int v : {0, 1, 2})
            for (double angle : {0.0, 90.0, 33.3}) EXPECT_EQ(tb_DrawText(b, 150, 60, "Measure me", 10, angle, 0, h, v), measured);
    EXPECT_EQ(draw(b, 10, 10, "Measure me"), measured);
    EXPECT_NE(bytes(b), before);
}

TEST_F(TextTest, FacesOutsideTheTableDrawAsFaceZero) {
    // Faces in one group draw the same pixels; different groups differ. On a machine without a
    // script font, face 4 is the serif in italic, unlike faces 3 and 5.
    struct Case {
        int face;
        int group;
    };
    const Case cases[] = {{0, 0}, {2, 0}, {7, 0}, {6, 0}, {-1, 0}, {32767, 0}, {1, 1}, {3, 2}, {5, 2}, {4, 3}};
    std::vector<std::vector<uint8_t>> groups(4);
    for (const Case& c : cases) {
        const int b = fontBitmap(c.face, 28);
        draw(b, 5, 5, "Hamburg 42");
        const std::vector<uint8_t> pixels = bytes(b);
        tb_DisposeBitmap(b);
        if (groups[c.group].empty()) {
            for (const auto& other : groups) EXPECT_NE(pixels, other) << "face " << c.face;
            groups[c.group] = pixels;
        } else {
            EXPECT_EQ(pixels, groups[c.group]) << "face " << c.face;
        }
    }
}

TEST_F(TextTest, StylesOutsideTheTableDrawNormal) {
    std::vector<std::vector<uint8_t>> seen;
    for (int style : {0, 1, 2, 3, 4}) {
        const int b = fontBitmap(0, 28, style);
        draw(b, 5, 5, "Styled");
        for (const auto& other : seen) EXPECT_NE(bytes(b), other) << "style " << style;
        seen.push_back(bytes(b));
        tb_DisposeBitmap(b);
    }
    for (int style : {5, -1, 700}) {
        const int b = fontBitmap(0, 28, style);
        draw(b, 5, 5, "Styled");
        EXPECT_EQ(bytes(b), seen[0]) << "style " << style;
        tb_DisposeBitmap(b);
    }
}

TEST_F(TextTest, SizeTwelveBoldArialIsTwelvePixelsToTheEm) {
    // Capitals of Arial's metric twin stand 0.69 em tall: 8 pixels at a 12-pixel em.
    const int bold = fontBitmap(0, 12, 1);
    const int regular = fontBitmap(0, 12, 0);
    draw(bold, 5, 5, "HHHH");
    draw(regular, 5, 5, "HHHH");
    EXPECT_GE(inkBounds(bold).height(), 8);
    EXPECT_LE(inkBounds(bold).height(), 9);
    long boldInk = 0, regularInk = 0;
    for (uint8_t byte : bytes(bold)) boldInk += byte;
    for (uint8_t byte : bytes(regular)) regularInk += byte;
    EXPECT_GT(boldInk, regularInk * 5 / 4);
}

TEST_F(TextTest, AlignmentPlacesTheCellByItsPixels) {
    // Which edge of the drawn cell lies on the reference point (150, 60).
    enum Anchor { Start, Middle, End };
    struct Case {
        int h, v;
        Anchor x, y;
    };
    const Case cases[] = {
        {0, 0, Start, Start},  {1, 0, End, Start},    {2, 0, Middle, Start},
        {0, 1, Start, End},    {1, 1, End, End},      {2, 1, Middle, End},
        {0, 2, Middle, Start}, {1, 2, Middle, Start}, {2, 2, Middle, Start},  // vertical 2 centres
        {3, 0, Start, Start},  {0, 3, Start, Start},  {-1, -1, Start, Start},
        {65537, 65537, End, End},  // the values are 16-bit
    };
    for (const Case& c : cases) {
        const int b = fontBitmap(1, 32);
        const int width = tb_DrawText(b, 150, 60, kBlocks, kBlocksLength, 0, 1, c.h, c.v);
        const Rect ink = inkBounds(b);
        tb_DisposeBitmap(b);
        const std::string what = "h " + std::to_string(c.h) + " v " + std::to_string(c.v);
        EXPECT_NEAR(ink.width(), width, 1) << what;
        const int anchorX = c.x == Start ? ink.left : c.x == End ? ink.right : (ink.left + ink.right) / 2;
        const int anchorY = c.y == Start ? ink.top : ink.bottom;
        EXPECT_NEAR(anchorX, 150, 1) << what;
        EXPECT_NEAR(anchorY, 60, 1) << what;
    }
}

TEST_F(TextTest, GalleryNameLeavesOutItsExtension) {
    const int whole = fontBitmap(0, 12);
    const int cut = fontBitmap(0, 12);
    const char name[] = "picture7.bmp";
    EXPECT_EQ(tb_DrawText(cut, 100, 40, name, 8, 0, 1, 2, 2), draw(whole, 100, 40, "picture7", 2, 2));
    EXPECT_EQ(bytes(cut), bytes(whole));
    // A length past the end of the string stops at its terminating zero.
    EXPECT_EQ(tb_DrawText(cut, 0, 0, "picture7", 400, 0, 0, 0, 0), tb_DrawText(cut, 0, 0, "picture7", 8, 0, 0, 0, 0));
    for (int length : {0, -1, -100}) EXPECT_EQ(tb_DrawText(cut, 0, 0, name, length, 0, 1, 0, 0), 0);
    EXPECT_EQ(tb_DrawText(cut, 0, 0, nullptr, 5, 0, 1, 0, 0), 0);
    EXPECT_EQ(bytes(cut), bytes(whole));
}

TEST_F(TextTest, TextPartlyOutsideTheTargetIsACropOfTheWholeLine) {
    const int large = fontBitmap(5, 40, 0, 400, 200);
    draw(large, 100, 80, "Overhang", 0, 1, 20);
    const PixelView big = view(large);
    // The small bitmap sees the part of the large one from (offset) on.
    for (Point offset : {Point{150, 30}, Point{60, 50}}) {
        const int small = fontBitmap(5, 40, 0, 90, 40);
        draw(small, 100 - offset.x, 80 - offset.y, "Overhang", 0, 1, 20);
        const PixelView part = view(small);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 90; ++x)
                ASSERT_EQ(at(part, x, y), at(big, x + offset.x, y + offset.y)) << x << "," << y;
        tb_DisposeBitmap(small);
    }
}

TEST_F(TextTest, ClipInForceLimitsTheTextUntilCleared) {
    const int free = fontBitmap(0, 40);
    draw(free, 20, 20, "Clipped text");
    const int clipped = fontBitmap(0, 40);
    const int black = bitmap();
    const Rect clip{60, 30, 170, 55};
    const Rect all{0, 0, 300, 120};
    tb_SetClipRect(clipped, &clip);
    tb_CopyBitmap(black, clipped, &all, &all, 0);  // puts the clip in force, changes nothing
    draw(clipped, 20, 20, "Clipped text");
    const PixelView a = view(free), b = view(clipped);
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 300; ++x) {
            const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            ASSERT_EQ(at(b, x, y), inside ? at(a, x, y) : 0u) << x << "," << y;
        }
    }
    tb_ClearClipRect(clipped);
    draw(clipped, 20, 20, "Clipped text");
    EXPECT_EQ(inkBounds(clipped), inkBounds(free));
}

TEST_F(TextTest, EscapementTurnsTheLineCounterClockwiseAboutTheReferencePoint) {
    const int flat = fontBitmap(1, 24, 0, 300, 300);
    const int w = tb_DrawText(flat, 150, 150, kBlocks, kBlocksLength, 0, 1, 0, 0);
    const int h = inkBounds(flat).height();  // the cell's height
    struct Case {
        double angle;
        Rect expected;  // at 90 the line runs upward and the cell's top faces left
    };
    const Case cases[] = {{90, {150, 150 - w, 150 + h, 150}},
                          {180, {150 - w, 150 - h, 150, 150}},
                          {-90, {150 - h, 150, 150, 150 + w}}};
    for (const Case& c : cases) {
        const int b = fontBitmap(1, 24, 0, 300, 300);
        tb_DrawText(b, 150, 150, kBlocks, kBlocksLength, c.angle, 1, 0, 0);
        const Rect ink = inkBounds(b);
        tb_DisposeBitmap(b);
        for (auto [actual, expected] : {std::pair{ink.left, c.expected.left}, {ink.top, c.expected.top},
                                        {ink.right, c.expected.right}, {ink.bottom, c.expected.bottom}}) {
            EXPECT_NEAR(actual, expected, 1) << "angle " << c.angle;
        }
    }
    // The angle counts in whole tenths of a degree, rounded by the program's rule (below one
    // tenth is none at all).
    const int up = fontBitmap(1, 24, 0, 300, 300), nearlyUp = fontBitmap(1, 24, 0, 300, 300);
    tb_DrawText(up, 150, 150, kBlocks, kBlocksLength, 90, 1, 0, 0);
    tb_DrawText(nearlyUp, 150, 150, kBlocks, kBlocksLength, 90.04, 1, 0, 0);
    EXPECT_EQ(bytes(nearlyUp), bytes(up));
    const int tiny = fontBitmap(1, 24, 0, 300, 300);
    tb_DrawText(tiny, 150, 150, kBlocks, kBlocksLength, 0.09, 1, 0, 0);
    EXPECT_EQ(bytes(tiny), bytes(flat));
}
TEST_F(TextTest, TextTakesTheForeColour) {
    const int b = fontBitmap(1, 30);
    tb_SetForeColor(b, 65025, 32640, 0);  // 255, 128, 0
    tb_DrawText(b, 20, 20, kBlocks, kBlocksLength, 0, 1, 0, 0);
    const PixelView v = view(b);
    const Rect ink = inkBounds(v);
    ASSERT_GT(ink.width(), 40);
    for (int y = 0; y < v.height; ++y) {
        for (int x = 0; x < v.width; ++x) {
            const uint32_t p = at(v, x, y);
            const bool interior = x > ink.left + 1 && x < ink.right - 2 && y > ink.top + 1 && y < ink.bottom - 2;
            if (interior) {
                ASSERT_EQ(p, 0xFF8000u) << x << "," << y;
            }
            // Edges mix black and the colour: no blue, green at most half the red.
            ASSERT_EQ(p & 0xFF, 0u);
            ASSERT_LE((p >> 8 & 0xFF) * 2, (p >> 16) + 1) << x << "," << y;
        }
    }
}

TEST_F(TextTest, WindowShowsTheChangeAtOnceAndMeasuringShowsNothing) {
    tb_RegisterWindowClass(QuietProc, 0);
    Rect wr{0, 0, 320, 100};
    const int window = tb_OpenWindow(&wr, "w");
    tb_SetFontSize(window, 30);
    tb_SetForeColor(window, 65025, 65025, 65025);
    desktop().clearRecords();
    tb_DrawText(window, 10, 10, "Shown", 5, 0, 0, 0, 0);
    EXPECT_TRUE(desktop().presented().empty());
    tb_DrawText(window, 10, 10, "Shown", 5, 0, 1, 0, 0);
    ASSERT_EQ(desktop().presented().size(), 1u);
    const PixelView store = desktop().backingStore(tb_GetWindowHandle(window));
    EXPECT_EQ(desktop().presented()[0], inkBounds(store));
}

TEST_F(TextTest, TargetsThatCannotBeDrawnMeasureNothingAndSayNothing) {
    const int freed = bitmap();
    tb_DisposeBitmap(freed);
    desktop().clearRecords();
    for (int target : {freed, -1, 100, 5003, kPrinterHandle}) {
        EXPECT_EQ(tb_DrawText(target, 0, 0, "x", 1, 0, 1, 0, 0), 0) << target;
        tb_DrawTextInFont(target, 0, 0, "x", 1, "Arial", 20, 0, 255, 255, 255, 0, nullptr);
    }
    EXPECT_TRUE(desktop().messageBoxes().empty());
}

TEST_F(TextTest, NamedFontSitsOnItsBottomCentreInTheGivenColour) {
    const int b = bitmap();
    tb_DrawTextInFont(b, 150, 90, kBlocks, kBlocksLength, "Liberation Mono", 30, 0, 10, 200, 30, 0, nullptr);
    const Rect ink = inkBounds(b);
    EXPECT_NEAR((ink.left + ink.right) / 2, 150, 1);
    EXPECT_NEAR(ink.bottom, 90, 1);
    EXPECT_EQ(at(view(b), 150, ink.bottom - 5), 0x0AC81Eu);
    // Bold "Liberation Sans" at 30 matches face 0, style 1, size 30 drawn bottom-centre.
    const int named = bitmap();
    tb_DrawTextInFont(named, 150, 90, "Same", 4, "Liberation Sans", 30, 1, 255, 255, 255, 0, nullptr);
    const int faced = fontBitmap(0, 30, 1);
    tb_DrawText(faced, 150, 90, "Same", 4, 0, 1, 2, 1);
    EXPECT_EQ(bytes(named), bytes(faced));
}

TEST_F(TextTest, NamedFontClipReplacesTheClipInForceAndRemovesIt) {
    const int b = bitmap();
    const int black = bitmap();
    const Rect storedClip{0, 0, 150, 120};
    const Rect all{0, 0, 300, 120};
    tb_SetClipRect(b, &storedClip);
    tb_CopyBitmap(black, b, &all, &all, 0);
    // With no clip of its own the text keeps within the clip in force, which stays.
    tb_DrawTextInFont(b, 150, 60, kBlocks, kBlocksLength, "Liberation Mono", 30, 0, 255, 255, 255, 0, nullptr);
    EXPECT_LE(inkBounds(b).right, 150);
    EXPECT_TRUE(toolbox::FindBitmapSlot(b)->draw.clipInForce);
    // Its own clip wins over the one in force, and leaving removes both.
    const Rect own{140, 0, 160, 120};
    tb_DrawTextInFont(b, 150, 110, kBlocks, kBlocksLength, "Liberation Mono", 30, 0, 255, 255, 255, 0, &own);
    const PixelView v = view(b);
    EXPECT_NE(at(v, 155, 100), 0u);
    EXPECT_EQ(at(v, 165, 100), 0u);
    EXPECT_FALSE(toolbox::FindBitmapSlot(b)->draw.clipInForce);
}
