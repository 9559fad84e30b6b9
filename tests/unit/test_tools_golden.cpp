// Golden image of the scattering tools and the Templates: with the generator seeded, each
// tool's marks at two sizes and in both colour modes (the Templates: the four figures). Any
// change to the bubbles' shading, the stars' fill, the splats' recolouring or the scatter shows
// up here. Regenerate on purpose with UPDATE_GOLDEN=1 and look at the new picture.
#include <gtest/gtest.h>

#include <cstring>

#include "app/room.h"
#include "resources/resource_ids.h"
#include "tests/unit/test_drawing_support.h"
#include "tools/tools.h"

namespace {

using scene::PointSlot;

constexpr int kCell = 96;

struct ToolRow {
    PointSlot press, drag, release;
    int sizes[2];
    bool figures;  // the Templates: param is the figure, and they take window coordinates
};

}  // namespace

TEST_F(ToolboxTest, ScatteringToolsAndTemplatesPaintTheirGoldenPicture) {
    // One row per tool; columns: small size single colour, small random, large single, large random.
    const ToolRow rows[] = {
        {tools::SprayPress, tools::SprayDrag, tools::SprayRelease, {16, 36}, false},
        {tools::BallPress, tools::BallDrag, tools::ToyRelease, {32, 64}, false},
        {tools::WandPress, tools::WandDrag, tools::WandRelease, {32, 64}, false},
        {tools::NeedlePress, tools::NeedleDrag, tools::NeedleRelease, {32, 64}, false},
        {tools::GunPress, tools::GunDrag, tools::ToyRelease, {60, 90}, false},
        {tools::TemplatesPress, tools::TemplatesDrag, tools::TemplatesRelease, {40, 70}, true},
    };
    const int width = 4 * kCell, height = int(std::size(rows)) * kCell;
    const int canvas = create(width, height);
    fill(canvas, 0xFFFFFF);
    Rect whole{0, 0, width, height};
    tb_SetClipRect(canvas, &whole);  // as the room keeps its canvas
    for (int row = 0; row < int(std::size(rows)); ++row) {
        const ToolRow& t = rows[row];
        for (int column = 0; column < 4; ++column) {
            toolbox::SeedRandomWith(uint64_t(row * 4 + column + 1));
            scene::SceneObject tool;
            tool.canvasBitmap = canvas;
            tool.cursorId = kCurArrow;
            tool.red = 40 * 255, tool.green = 110 * 255, tool.blue = 200 * 255;
            tool.size = t.sizes[column / 2];
            tool.param = t.figures ? column : column % 2;
            const int cx = column * kCell + kCell / 2, cy = row * kCell + kCell / 2;
            if (t.figures) {
                const int half = tool.size / 2, wx = cx + scene::kCanvasLeft, wy = cy + scene::kCanvasTop;
                t.press(tool, wx - half, wy - half * 3 / 4);
                t.release(tool, wx + half, wy + half * 3 / 4);
            } else {
                t.press(tool, cx, cy);
                t.drag(tool, cx + 4, cy + 2);
                t.release(tool, cx + 4, cy + 2);
            }
        }
    }
    EXPECT_EQ(errors(), std::vector<std::string>{});
    drawtest::Canvas picture(width, height);
    for (int y = 0; y < height; ++y) std::memcpy(RowPointer(picture.view(), y), RowPointer(view(canvas), y), width * 3);
    const std::string failure = drawtest::CompareWithGolden(picture, "scattering_tools");
    EXPECT_TRUE(failure.empty()) << failure;
}
