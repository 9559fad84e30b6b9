// Golden image of the scattering tools and the Templates, the generator seeded: per tool a row
// of small size in one colour, small in random colours, large in one, large in random (the
// Templates: the four figures). Bubble shading, star fill, splat recolouring and the scatter all
// show up here. Regenerate on purpose with UPDATE_GOLDEN=1 and look at the new picture.
#include <gtest/gtest.h>

#include <cstring>

#include "app/room.h"
#include "resources/resource_ids.h"
#include "tests/unit/test_drawing_support.h"
#include "tools/tools.h"

TEST_F(ToolboxTest, ScatteringToolsAndTemplatesPaintTheirGoldenPicture) {
    using namespace tools;
    const struct { scene::PointSlot press, drag, release; int sizes[2]; } rows[] = {
        {SprayPress, SprayDrag, SprayRelease, {16, 36}},  {BallPress, BallDrag, ToyRelease, {32, 64}},
        {WandPress, WandDrag, WandRelease, {32, 64}},     {NeedlePress, NeedleDrag, NeedleRelease, {32, 64}},
        {GunPress, GunDrag, ToyRelease, {60, 90}},        {TemplatesPress, nullptr, TemplatesRelease, {40, 70}}};
    constexpr int kCell = 96, kMid = kCell / 2, kWidth = 4 * kCell, kHeight = 6 * kCell;
    const int canvas = create(kWidth, kHeight);
    fill(canvas, 0xFFFFFF);
    const int left = scene::kCanvasLeft, top = scene::FactsOfRoom().canvasArea.top;
    for (int cell = 0; cell < 24; ++cell) {
        const auto& t = rows[cell / 4];
        toolbox::SeedRandomWith(uint64_t(cell + 1));
        scene::SceneObject tool{.cursorId = kCurArrow, .size = t.sizes[cell % 4 / 2], .red = 40 * 255,
            .green = 110 * 255, .blue = 200 * 255, .canvasBitmap = canvas, .param = cell % (t.drag ? 2 : 4)};
        const int x = cell % 4 * kCell + kMid, y = cell / 4 * kCell + kMid, h = tool.size / 2, v = h * 3 / 4;
        // A press, a short drag and the release at the cell's middle; the Templates take window
        // points and draw the column's figure in a box about it.
        if (t.drag) t.press(tool, x, y), t.drag(tool, x + 4, y + 2), t.release(tool, x + 4, y + 2);
        else t.press(tool, x + left - h, y + top - v), t.release(tool, x + left + h, y + top + v);
    }
    EXPECT_EQ(errors(), std::vector<std::string>{});
    drawtest::Canvas picture(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) std::memcpy(RowPointer(picture.view(), y), RowPointer(view(canvas), y), kWidth * 3);
    EXPECT_EQ(drawtest::CompareWithGolden(picture, "scattering_tools"), "");
}
