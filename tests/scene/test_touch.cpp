// A finger on the touch screen, headless: it paints and presses as the left button does.
#include <gtest/gtest.h>

#include "tests/support/room_fixture.h"
#include "tools/tool_record.h"

namespace {

using platform::TouchPhase;
struct Touch { TouchPhase phase; int finger; Point at; int waitMs = 0; };
constexpr TouchPhase kDown = TouchPhase::Begin, kMove = TouchPhase::Update, kUp = TouchPhase::End, kGone = TouchPhase::Cancel;

class TouchTest : public RoomTest {
protected:
    void fingers(const std::vector<Touch>& script, platform::NativeWindow w = 0) {
        for (const Touch& t : script) {
            if (t.waitMs > 0) desktop().then([this, t] { desktop().sleep(t.waitMs); });
            if (t.finger == 0) desktop().focus(false), desktop().focus(true);  // a dialog came and went
            if (t.finger != 0) desktop().touch(t.phase, t.finger, t.at.x, t.at.y, w);
        }
    }
};

// Each script paints what the mouse strokes beside it paint; a hover afterwards shows no stroke is left held.
TEST_F(TouchTest, AFingerPaintsAsTheMouseDoesAndOtherFingersAreIgnored) {
    const Point a = W(100, 100), b = W(200, 150), c = W(300, 100), far = W(500, 400), off = W(50, 300);
    struct Case { std::vector<Touch> script; std::vector<std::vector<Point>> strokes; };
    const Case cases[] = {
        {{{kDown, 1, a}, {kMove, 1, b}, {kMove, 1, c}, {kUp, 1, c}}, {{a, b, c}}},
        {{{kDown, 1, a}, {kDown, 2, far}, {kMove, 1, b}, {kMove, 2, off}, {kUp, 2, off}, {kMove, 1, c}, {kUp, 1, c}}, {{a, b, c}}},
        {{{kDown, 1, a}, {kMove, 1, b}, {kGone, 1, far}, {kMove, 1, c}}, {{a, b}}},
        {{{kDown, 1, a}, {kMove, 1, b}, {kUp, 1, b}, {kDown, 2, c}, {kMove, 2, far}, {kUp, 2, far}}, {{a, b}, {c, far}}},
        {{{kDown, 1, a}, {kMove, 1, b}, {kGone, 0, {}}, {kDown, 2, c}, {kMove, 2, far}, {kUp, 2, far}}, {{a, b}, {c, far}}},
    };
    for (int tool : {scene::kPencil, scene::kRuler})  // the Ruler draws to where the button is released
    for (const Case& k : cases) {
        SCOPED_TRACE(tool * 100 + (&k - cases));
        start(), chooseTool(tool);
        for (const auto& s : k.strokes) {
            for (Point p : s) p == s[0] ? desktop().press(p.x, p.y) : desktop().moveTo(p.x, p.y);
            desktop().release(s.back().x, s.back().y);
        }
        pump(), moveTo(off);
        const std::string byMouse = shownBytes();
        start(), chooseTool(tool), fingers(k.script), pump(), moveTo(off);
        EXPECT_TRUE(shownBytes() == byMouse);
        EXPECT_TRUE(desktop().menus().empty());
    }
}

// Two taps close together in time and place are a double click: a can's opens the colour palette.
// On the remote a finger presses a button; a second finger on Back meanwhile changes nothing.
TEST_F(TouchTest, FingersPressButtonsAQuickSecondTapOnACanOpensThePaletteAndAHeldFingerNoMenu) {
    const Point can = centreOf(room().cans[2].top), near{can.x + 6, can.y - 6}, save{60, 60}, back{50, 228};
    int opened = 0;
    platform::Improviser palette;
    palette.dialog = [&](platform::NativeWindow d) { ++opened, desktop().typeKey(platform::kVkEscape, d); };
    desktop().improvise(palette);
    struct Case { Point second; int waitMs; int palettes; };
    for (const Case& c : {Case{near, 200, 1}, Case{can, 900, 0}, Case{Point{can.x + 40, can.y}, 100, 0}}) {
        opened = 0;
        fingers({{kDown, 1, can}, {kUp, 1, can}, {kDown, 1, c.second, c.waitMs}, {kUp, 1, c.second, 1500}}), pump();
        EXPECT_EQ(opened, c.palettes) << c.waitMs;
    }
    EXPECT_TRUE(desktop().menus().empty());
    desktop().answerDialog([&](platform::NativeWindow d) { fingers({{kDown, 1, save}, {kDown, 2, back}, {kUp, 2, back}, {kUp, 1, save}}, d); });
    scene::RunCommand(scene::kCommandRemote);
    EXPECT_EQ(desktop().fileDialogs().size(), 1u);
}

}  // namespace
