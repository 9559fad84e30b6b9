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
    constexpr int kCell = 96, kWidth = 4 * kCell, kHeight = 6 * kCell;
    const int canvas = create(kWidth, kHeight);
    fill(canvas, 0xFFFFFF);
    Rect whole{0, 0, kWidth, kHeight};
    tb_SetClipRect(canvas, &whole);  // as the room keeps its canvas
    for (int cell = 0; cell < 24; ++cell) {
        const auto& t = rows[cell / 4];
        toolbox::SeedRandomWith(uint64_t(cell + 1));
        scene::SceneObject tool{.cursorId = kCurArrow, .size = t.sizes[cell % 4 / 2], .red = 40 * 255,
                                .green = 110 * 255, .blue = 200 * 255, .canvasBitmap = canvas};
        const int x = cell % 4 * kCell + kCell / 2, y = cell / 4 * kCell + kCell / 2, half = tool.size / 2;
        if (t.drag == nullptr) {  // the Templates take window points; the figure is the column
            tool.param = cell % 4;
            const int top = scene::FactsOfRoom().canvasArea.top;
            t.press(tool, x + scene::kCanvasLeft - half, y + top - half * 3 / 4);
            t.release(tool, x + scene::kCanvasLeft + half, y + top + half * 3 / 4);
        } else {
            tool.param = cell % 2;
            t.press(tool, x, y), t.drag(tool, x + 4, y + 2), t.release(tool, x + 4, y + 2);
        }
    }
    EXPECT_EQ(errors(), std::vector<std::string>{});
    drawtest::Canvas picture(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) std::memcpy(RowPointer(picture.view(), y), RowPointer(view(canvas), y), kWidth * 3);
    const std::string failure = drawtest::CompareWithGolden(picture, "scattering_tools");
    EXPECT_TRUE(failure.empty()) << failure;
}
