// The toolbox's window table, message boxes and pointer queries.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/headless_fixture.h"

using platform::MsgBoxIcon;
using platform::MsgBoxResult;

namespace {

long QuietProc(platform::Message& msg) { return platform::Plat().defWindowProc(msg); }

class WindowTableTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_RegisterWindowClass(QuietProc, 375);
        tb_Init();
    }
    std::string lastError() {
        const auto& boxes = desktop().messageBoxes();
        if (boxes.empty()) return "";
        EXPECT_EQ(boxes.back().caption, "Error...");
        return boxes.back().text;
    }
    int open(int left = 0, int top = 0) {
        Rect r{left, top, left + 200, top + 100};
        return tb_OpenWindow(&r, "w");
    }
};

}  // namespace

TEST_F(WindowTableTest, HandlesRunFrom5000LowestFreeFirstAndTheEleventhFails) {
    int first = open();
    EXPECT_EQ(first, 5000);
    EXPECT_EQ(tb_GetMainWindow(), tb_GetWindowHandle(5000));
    for (int i = 1; i < 10; ++i) EXPECT_EQ(open(), 5000 + i);
    EXPECT_TRUE(desktop().messageBoxes().empty());

    EXPECT_EQ(open(), -1);
    EXPECT_EQ(lastError(), "No more available Windows! (tb_OpenWindow)");
    EXPECT_EQ(desktop().windowCount(), 10);

    tb_DisposeOfWindow(5003);
    EXPECT_EQ(desktop().windowCount(), 9);
    EXPECT_EQ(open(), 5003);
    // The main window stays the first one opened.
    EXPECT_EQ(tb_GetMainWindow(), tb_GetWindowHandle(5000));
}

TEST_F(WindowTableTest, HandlesOutsideTheTableAreReportedNeverUsed) {
    open();
    Rect r{7, 7, 7, 7};
    for (int bad : {-1, 0, 99, 4999, 5001, 5010, 9000, 1 << 30}) {
        desktop().clearRecords();
        tb_GetClientRect(bad, &r);
        EXPECT_EQ(lastError(), "Invalid window! (tb_GetClientRect)") << bad;
        tb_GetWindowRect(bad, &r);
        EXPECT_EQ(lastError(), "Invalid window! (tb_GetWindowRect)") << bad;
        tb_SetWindowTitle(bad, "x");
        EXPECT_EQ(lastError(), "Invalid window! (tb_SetWindowTitle)") << bad;
        EXPECT_EQ(tb_GetWindowHandle(bad), 0) << bad;
        EXPECT_EQ(r, (Rect{7, 7, 7, 7})) << "output untouched for " << bad;
    }
    for (int bad : {-1, 4999, 5010, 5005}) {
        desktop().clearRecords();
        tb_DisposeOfWindow(bad);
        EXPECT_EQ(lastError(), "Invalid window hanlde, can't destroy! (tb_DisposeOfWindow)") << bad;
    }
}

TEST_F(WindowTableTest, RectsAndTitleComeFromTheDesktop) {
    int w = open(100, 50);
    Rect client, window;
    tb_GetClientRect(w, &client);
    tb_GetWindowRect(w, &window);
    EXPECT_EQ(client, (Rect{0, 0, 200, 100}));
    EXPECT_EQ(window, (Rect{100, 50, 300, 150}));
    tb_SetWindowTitle(w, "Pictoria");
    EXPECT_EQ(desktop().titleOf(tb_GetWindowHandle(w)), "Pictoria");
    tb_DisposeOfWindow(w);
    tb_GetClientRect(w, &client);
    EXPECT_EQ(lastError(), "Invalid window! (tb_GetClientRect)");
}

TEST_F(WindowTableTest, MessageBoxesHaveTheirCaptionsOwnersAndAnswers) {
    int w = open();
    tb_ErrorMessage("e");
    tb_AttentionMessage("a");
    tb_InfoMessage("i");
    desktop().answerMessageBox(MsgBoxResult::Yes);
    desktop().answerMessageBox(MsgBoxResult::No);
    desktop().answerMessageBox(MsgBoxResult::Closed);
    EXPECT_EQ(tb_AskYesNo("q"), 1);
    EXPECT_EQ(tb_AskYesNo("q"), 0);
    EXPECT_EQ(tb_AskYesNo("q"), -1);

    const auto& b = desktop().messageBoxes();
    ASSERT_EQ(b.size(), 6u);
    platform::NativeWindow main = tb_GetWindowHandle(w);
    EXPECT_EQ(b[0].caption, "Error...");
    EXPECT_EQ(b[0].owner, 0);
    EXPECT_TRUE(b[0].style.systemModal);
    EXPECT_EQ(b[0].style.icon, MsgBoxIcon::Exclamation);
    EXPECT_EQ(b[1].caption, "Attention!");
    EXPECT_EQ(b[1].owner, main);
    EXPECT_EQ(b[1].style.icon, MsgBoxIcon::Information);
    EXPECT_EQ(b[2].caption, "Information...");
    EXPECT_EQ(b[2].owner, main);
    EXPECT_EQ(b[3].caption, "Attention...");
    EXPECT_EQ(b[3].owner, 0);
    EXPECT_EQ(b[3].style.buttons, platform::MsgBoxButtons::YesNo);
    EXPECT_EQ(b[3].style.icon, MsgBoxIcon::Question);
    EXPECT_TRUE(b[3].style.systemModal);
}

TEST_F(WindowTableTest, PointerModesConvertThroughTheMainWindow) {
    open(100, 50);
    // Screen mode: the point as it is.
    tb_SetMouseMode(kMouseModeScreen);
    tb_SetMousePosition(10, 10);
    EXPECT_EQ(desktop().cursorPos(), (Point{10, 10}));
    Point p;
    tb_GetMousePosition(&p);
    EXPECT_EQ(p, (Point{10, 10}));

    // Client mode: the window's client area starts at screen (100, 50).
    tb_SetMouseMode(kMouseModeClient);
    tb_SetMousePosition(10, 10);
    EXPECT_EQ(desktop().cursorPos(), (Point{110, 60}));
    tb_GetMousePosition(&p);
    EXPECT_EQ(p, (Point{10, 10}));

    // Any other mode leaves the point and the pointer alone.
    tb_SetMouseMode(7);
    Point untouched{-3, -4};
    tb_GetMousePosition(&untouched);
    EXPECT_EQ(untouched, (Point{-3, -4}));
    tb_SetMousePosition(500, 500);
    EXPECT_EQ(desktop().cursorPos(), (Point{110, 60}));
}

TEST_F(WindowTableTest, ButtonHonoursSwappedButtonsUnlessEitherCounts) {
    using platform::MouseButton;
    struct Case {
        bool swapped, left, right;
        int mode;
        int expected;
    };
    const Case cases[] = {
        {false, true, false, 0, 1}, {false, false, true, 0, 0}, {true, false, true, 0, 1},
        {true, true, false, 0, 0},  {false, false, true, 1, 1}, {true, true, false, 1, 1},
        {false, false, false, 1, 0},
    };
    for (const Case& c : cases) {
        desktop().setButtonsSwapped(c.swapped);
        desktop().setButtonState(MouseButton::Left, c.left);
        desktop().setButtonState(MouseButton::Right, c.right);
        tb_SetButtonMode(c.mode);
        EXPECT_EQ(tb_Button(), c.expected) << c.swapped << c.left << c.right << c.mode;
    }
}

TEST_F(WindowTableTest, KeyStateIsPolledNow) {
    EXPECT_EQ(tb_KeyDown('C'), 0);
    desktop().setKeyState('C', true);
    EXPECT_EQ(tb_KeyDown('C'), 1);
    EXPECT_EQ(tb_KeyDown('D'), 0);
}

TEST_F(WindowTableTest, UnknownDialogReturnsMinusOne) {
    open();
    EXPECT_EQ(tb_DoDialog(4242, QuietProc), -1);
}

TEST_F(WindowTableTest, QuitClosesTheMainWindowThroughItsProcedure) {
    int w = open();
    platform::NativeWindow native = tb_GetWindowHandle(w);
    tb_Quit();
    platform::Message msg;
    ASSERT_TRUE(desktop().peekMessage(msg));
    EXPECT_EQ(msg.kind, platform::MsgKind::Close);
    EXPECT_EQ(msg.window, native);
    desktop().dispatchMessage(msg);
    EXPECT_FALSE(desktop().isWindow(native));
}
