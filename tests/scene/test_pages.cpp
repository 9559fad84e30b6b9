// The colouring pages as the build puts them in the run folder.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <filesystem>

#include "app/pictures.h"
#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;

namespace {

class PagesTest : public RoomTest {
protected:
    // The page's pixels as the program reads it (and cleans it), none unless it is 634 x 488.
    std::vector<Rgb> read(std::string path, bool clean = false) {
        Rect rect{};
        const int b = tb_OpenFile(path, 0) == 1 ? tb_ReadBitmapFromFile(&rect) : -1;
        tb_CloseFile();
        if (clean) { EXPECT_EQ(tb_CleanLineArt(b), 1); }
        std::vector<Rgb> pixels;
        for (int i = 0; b >= 0 && rect == Rect{0, 0, 634, 488} && i < 634 * 488; ++i)
            pixels.push_back(canvasAt(i % 634, i / 634, b));
        if (b >= 0) tb_DisposeBitmap(b);
        return pixels;
    }
};

// The size of each white area, 4-connected.
std::vector<int> AreaSizes(const std::vector<Rgb>& pixels) {
    std::vector<int> sizes;
    std::vector<bool> seen(pixels.size());
    auto white = [&](int p) { return pixels[p] == Rgb{255, 255, 255}; };
    for (int start = 0; start < 634 * 488; ++start) {
        if (seen[start] || !white(start)) continue;
        sizes.push_back(0);
        seen[start] = true;
        for (std::deque<int> todo{start}; !todo.empty(); todo.pop_front()) {
            const int p = todo.front(), x = p % 634, y = p / 634;
            ++sizes.back();
            for (int q : {x > 0 ? p - 1 : -1, x < 633 ? p + 1 : -1, y > 0 ? p - 634 : -1, y < 487 ? p + 634 : -1})
                if (q >= 0 && !seen[q] && white(q)) todo.push_back(q), seen[q] = true;
        }
    }
    return sizes;
}

// Each page is a 634 x 488 picture the program reads, pure black on white, with no white area
// too small for a child to colour.
TEST_F(PagesTest, PagesAreBlackOnWhiteShapesWithoutSlivers) {
    int pages = 0;
    for (const auto& entry : fs::directory_iterator(PICTORIA_PAGES_DIR)) {
        SCOPED_TRACE(entry.path().filename());
        const std::vector<Rgb> pixels = read(entry.path());
        ASSERT_EQ(pixels.size(), 634u * 488u) << "not a 634 x 488 picture the program reads";
        EXPECT_TRUE(read(entry.path(), true) == pixels) << "cleaning a page that comes with the program changed it";
        ++pages;
        for (const Rgb& c : pixels) ASSERT_TRUE((c == Rgb{0, 0, 0} || c == Rgb{255, 255, 255})) << c;
        for (int size : AreaSizes(pixels)) EXPECT_GE(size, 150) << "a sliver";
    }
    EXPECT_TRUE(pages >= 11 && fs::exists(fs::path(PICTORIA_PAGES_DIR) / "blank.bmp")) << pages;
}

// A grey anti-aliased page as saved from the web: from Pages/ it is placed pure black on white,
// the file untouched, and the Jar fills each ring whole; from the Gallery it keeps its greys.
TEST_F(FolderTest, GreyPagesArePlacedBlackOnWhiteSoTheJarFillsEachRingWhole) {
    const struct Ring { int x, y, r; double width; } rings[] = {{120, 120, 90, 0.6}, {330, 120, 90, 1}, {530, 130, 80, 1.5}, {230, 350, 110, 3}};
    // The page at the canvas's size, and four times larger (a scan), whose lines must survive the shrink.
    for (int scale : {1, 4}) {
        room().modified = false;  // the fills of the round before
        std::string drawing = "convert -size " + std::to_string(634 * scale) + "x" + std::to_string(488 * scale) +
                              " xc:gray96 -fill none -stroke gray25";
        for (const Ring& g : rings)
            drawing += " -strokewidth " + std::to_string(g.width * scale) + " -draw 'circle " + std::to_string(g.x * scale) +
                       "," + std::to_string(g.y * scale) + " " + std::to_string((g.x + g.r) * scale) + "," +
                       std::to_string(g.y * scale) + "'";
        for (const char* folder : {"Gallery", "Pages"}) {
            const fs::path page = home_ / folder / "web.bmp";
            ASSERT_EQ(std::system((drawing + " -type TrueColor BMP3:" + page.string()).c_str()), 0);
            const std::string bytes = FileBytes(page);
            desktop().answerDialog([&](platform::NativeWindow d) { desktop().click(180, 390, d); });
            folder == std::string("Pages") ? scene::NewPicture() : scene::GalleryCommand();
            EXPECT_EQ(countCanvas(Rgb{0, 0, 0}) + countCanvas(kWhite) == 634 * 488, folder == std::string("Pages"));
            EXPECT_EQ(FileBytes(page), bytes);
        }
        chooseTool(scene::kJar);
        for (const Ring& g : rings) {
            clickAt(W(g.x, g.y));
            for (int y = g.y - g.r; y < g.y + g.r; ++y)  // red up to the line, no grey rim
                for (int x = g.x - g.r; x < g.x + g.r; ++x) {
                    const Rgb c = canvasAt(x, y);
                    if (const double d = std::hypot(x - g.x, y - g.y); d < g.r) {
                        ASSERT_TRUE(c == kRed || (c == Rgb{0, 0, 0} && d > g.r - 3)) << c << " at " << x << "," << y << " x" << scale;
                    }
                }
            EXPECT_EQ(canvasAt(g.x + g.r + 4, g.y), kWhite) << "the fill left the ring at " << g.x << "," << g.y << " x" << scale;
        }
    }
}

}  // namespace
