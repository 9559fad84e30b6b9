// The colouring pages as the build puts them in the run folder.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "app/pictures.h"
#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;

namespace {

// A page's white areas, 4-connected, found here independently of the program's fill: each
// white pixel's area number, -1 on the black lines.
struct Areas {
    std::vector<int> of;
    std::vector<int> size;
    std::vector<Point> seed;
};

Areas FindAreas(const std::vector<Rgb>& pixels, int w, int h) {
    Areas a;
    a.of.assign(pixels.size(), -1);
    for (int start = 0; start < w * h; ++start) {
        if (a.of[start] >= 0 || pixels[start] != Rgb{255, 255, 255}) continue;
        const int id = static_cast<int>(a.size.size());
        a.size.push_back(0);
        a.seed.push_back(Point{start % w, start / w});
        std::deque<int> todo{start};
        a.of[start] = id;
        while (!todo.empty()) {
            const int p = todo.front();
            todo.pop_front();
            ++a.size[id];
            const int x = p % w, y = p / w;
            for (int q : {x > 0 ? p - 1 : -1, x + 1 < w ? p + 1 : -1, y > 0 ? p - w : -1, y + 1 < h ? p + w : -1}) {
                if (q >= 0 && a.of[q] < 0 && pixels[q] == Rgb{255, 255, 255}) {
                    a.of[q] = id;
                    todo.push_back(q);
                }
            }
        }
    }
    return a;
}

class PagesTest : public RoomTest {
protected:
    std::vector<Rgb> read(const fs::path& page, Rect& rect) {
        std::string path = page;
        std::vector<Rgb> pixels;
        if (tb_OpenFile(path, 0) != 1) return pixels;
        const int b = tb_ReadBitmapFromFile(&rect);
        tb_CloseFile();
        if (b < 0) return pixels;
        for (int y = 0; y < rect.bottom; ++y)
            for (int x = 0; x < rect.right; ++x) {
                Rgb c{};
                tb_GetPixel(b, x, y, &c.r, &c.g, &c.b);
                pixels.push_back(Rgb{c.r / 255, c.g / 255, c.b / 255});
            }
        tb_DisposeBitmap(b);
        return pixels;
    }
};

TEST_F(PagesTest, EveryPageIsABlackAndWhitePictureOfClosedShapesBigEnoughToFill) {
    start();
    std::vector<fs::path> pages;
    for (const auto& entry : fs::directory_iterator(PICTORIA_PAGES_DIR)) pages.push_back(entry.path());
    ASSERT_GE(pages.size(), 11u);
    EXPECT_TRUE(fs::exists(fs::path(PICTORIA_PAGES_DIR) / "blank.bmp"));
    for (const fs::path& page : pages) {
        SCOPED_TRACE(page.filename());
        Rect rect{};
        const std::vector<Rgb> pixels = read(page, rect);
        ASSERT_EQ(rect, (Rect{0, 0, 634, 488}));
        for (const Rgb& c : pixels) ASSERT_TRUE((c == Rgb{0, 0, 0} || c == Rgb{255, 255, 255})) << c;
        const Areas areas = FindAreas(pixels, 634, 488);
        if (page.filename() != "blank.bmp") EXPECT_GE(areas.size.size(), 8u);
        for (size_t i = 0; i < areas.size.size(); ++i)
            EXPECT_GE(areas.size[i], 150) << "a sliver at " << areas.seed[i].x << "," << areas.seed[i].y;
    }
}

// Every area of a busy page filled with the Jar in the room, each in its own colour: each area
// ends up wholly in its own colour, so no fill ran into a neighbour or stopped short.
TEST_F(PagesTest, TheJarFillsEachAreaOfAPageAndNothingElse) {
    start(800, 600);
    Rect rect{};
    const std::vector<Rgb> pixels = read(fs::path(PICTORIA_PAGES_DIR) / "house.bmp", rect);
    ASSERT_EQ(rect.width(), 634);
    std::string path = fs::path(PICTORIA_PAGES_DIR) / "house.bmp";
    tb_OpenFile(path, 0);
    const int page = tb_ReadBitmapFromFile(&rect);
    tb_CloseFile();
    scene::PlacePicture(page, rect);
    tb_DisposeBitmap(page);
    chooseTool(scene::kJar);
    const Areas areas = FindAreas(pixels, 634, 488);
    auto colourOf = [](size_t i) { return Rgb{static_cast<int>(i * 7 % 200), 100 + static_cast<int>(i % 50), 30}; };
    for (size_t i = 0; i < areas.size.size(); ++i) {
        const Rgb c = colourOf(i);
        scene::TheRoom().currentColor = scene::Color{c.r * 255, c.g * 255, c.b * 255};
        clickAt(areas.seed[i].x + scene::kCanvasLeft, areas.seed[i].y + scene::kCanvasTop);
    }
    for (int y = 0; y < 488; ++y)
        for (int x = 0; x < 634; ++x) {
            const int area = areas.of[y * 634 + x];
            const Rgb expected = area < 0 ? Rgb{0, 0, 0} : colourOf(area);
            ASSERT_EQ(canvasAt(x, y), expected) << x << "," << y;
        }
}

}  // namespace
