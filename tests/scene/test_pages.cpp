// The colouring pages as the build puts them in the run folder.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "app/pictures.h"
#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;

namespace {

class PagesTest : public RoomTest {
protected:
    // The page on the canvas, 1:1 at 800x600, and its pixels.
    std::vector<Rgb> place(std::string path) {
        Rect rect{};
        const int b = tb_OpenFile(path, 0) == 1 ? tb_ReadBitmapFromFile(&rect) : -1;
        tb_CloseFile();
        std::vector<Rgb> pixels;
        if (b < 0 || rect != Rect{0, 0, 634, 488}) return pixels;
        scene::PlacePicture(b, rect);
        tb_DisposeBitmap(b);
        for (int i = 0; i < 634 * 488; ++i) pixels.push_back(canvasAt(i % 634, i / 634));
        return pixels;
    }
};

// Each white area, 4-connected, found here independently of the program's fill: its number
// for each white pixel (-1 on the lines), and a point and the size of each area.
struct Areas {
    std::vector<int> of, size;
    std::vector<Point> seed;
};

Areas FindAreas(const std::vector<Rgb>& pixels) {
    Areas a;
    a.of.assign(pixels.size(), -1);
    auto white = [&](int p) { return pixels[p] == Rgb{255, 255, 255}; };
    for (int start = 0; start < 634 * 488; ++start) {
        if (a.of[start] >= 0 || !white(start)) continue;
        const int id = static_cast<int>(a.size.size());
        a.seed.push_back(Point{start % 634, start / 634});
        a.size.push_back(0);
        a.of[start] = id;
        for (std::deque<int> todo{start}; !todo.empty(); todo.pop_front()) {
            const int p = todo.front(), x = p % 634, y = p / 634;
            ++a.size[id];
            for (int q : {x > 0 ? p - 1 : -1, x < 633 ? p + 1 : -1, y > 0 ? p - 634 : -1, y < 487 ? p + 634 : -1})
                if (q >= 0 && a.of[q] < 0 && white(q)) todo.push_back(q), a.of[q] = id;
        }
    }
    return a;
}

// Pure black on white, no sliver; on a busy page each area the Jar fills in its own colour ends
// up wholly that colour: no fill ran into a neighbour or stopped short.
TEST_F(PagesTest, PagesAreClosedBlackOnWhiteShapesThatTheJarFillsOneByOne) {
    start(800, 600);
    chooseTool(scene::kJar);
    int pages = 0;
    for (const auto& entry : fs::directory_iterator(PICTORIA_PAGES_DIR)) {
        SCOPED_TRACE(entry.path().filename());
        const std::vector<Rgb> pixels = place(entry.path());
        ASSERT_EQ(pixels.size(), 634u * 488u) << "not a 634 x 488 picture the program reads";
        ++pages;
        for (const Rgb& c : pixels) ASSERT_TRUE((c == Rgb{0, 0, 0} || c == Rgb{255, 255, 255})) << c;
        const Areas areas = FindAreas(pixels);
        for (size_t i = 0; i < areas.size.size(); ++i) EXPECT_GE(areas.size[i], 150) << "sliver " << i;
        if (entry.path().filename() != "house.bmp") continue;
        auto colourOf = [](int i) { return Rgb{i * 7 % 200, 100 + i % 50, 30}; };
        for (size_t i = 0; i < areas.size.size(); ++i) {
            const Rgb c = colourOf(static_cast<int>(i));
            scene::TheRoom().currentColor = scene::Color{c.r * 255, c.g * 255, c.b * 255};
            clickAt(areas.seed[i].x + scene::kCanvasLeft, areas.seed[i].y + scene::kCanvasTop);
        }
        for (int i = 0; i < 634 * 488; ++i) {
            const Rgb expected = areas.of[i] < 0 ? Rgb{0, 0, 0} : colourOf(areas.of[i]);
            ASSERT_EQ(canvasAt(i % 634, i / 634), expected) << i % 634 << "," << i / 634;
        }
    }
    EXPECT_TRUE(pages >= 11 && fs::exists(fs::path(PICTORIA_PAGES_DIR) / "blank.bmp")) << pages;
}

}  // namespace
