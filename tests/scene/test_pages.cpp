// The colouring pages as the build puts them in the run folder.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;

namespace {

class PagesTest : public RoomTest {
protected:
    // The page's pixels as the program reads it, none unless it is 634 x 488.
    std::vector<Rgb> read(std::string path) {
        Rect rect{};
        const int b = tb_OpenFile(path, 0) == 1 ? tb_ReadBitmapFromFile(&rect) : -1;
        tb_CloseFile();
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
        ++pages;
        for (const Rgb& c : pixels) ASSERT_TRUE((c == Rgb{0, 0, 0} || c == Rgb{255, 255, 255})) << c;
        for (int size : AreaSizes(pixels)) EXPECT_GE(size, 150) << "a sliver";
    }
    EXPECT_TRUE(pages >= 11 && fs::exists(fs::path(PICTORIA_PAGES_DIR) / "blank.bmp")) << pages;
}

}  // namespace
