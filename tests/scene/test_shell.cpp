// The program's start-up, window procedure and loop on a headless desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <vector>

#include "app/room.h"
#include "app/scene.h"
#include "tests/support/headless_fixture.h"

using platform::HeadlessConfig;
using platform::MsgBoxResult;

namespace {

int CountBoxes(platform::HeadlessPlatform& d, const std::string& caption, const std::string& text) {
    return static_cast<int>(std::count_if(d.messageBoxes().begin(), d.messageBoxes().end(), [&](const auto& b) {
        return b.caption == caption && b.text == text;
    }));
}

std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

const std::vector<unsigned char> kAllOn = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};

class ShellTest : public HeadlessTest {
protected:
    // Start-up to the loop; fails the test when start-up ends the program instead.
    void start() { ASSERT_EQ(shell::StartPictoria(), -1); }
    int run() { return shell::RunMessageLoop(); }
};

}  // namespace

TEST_F(ShellTest, StartsWithOneWindowOverTheDesktopAndQuitsWithZero) {
    useDesktop(HeadlessConfig{1024, 768, 24});
    start();
    ASSERT_EQ(desktop().windowCount(), 1);
    platform::NativeWindow w = desktop().firstWindow();
    EXPECT_EQ(desktop().windowRect(w), (Rect{0, 0, 1024, 768}));
    EXPECT_EQ(desktop().titleOf(w), "Pictoria");
    EXPECT_EQ(desktop().iconOf(w), 375);
    EXPECT_EQ(desktop().currentCursor(), 203);
    EXPECT_TRUE(shell::Shell().ready);
    EXPECT_EQ(shell::Shell().pictureFileName, "Pictoria.bmp");
    EXPECT_FALSE(shell::Shell().programFolder.empty());
    // The first frame of the room reached the screen (after the title screen's).
    const std::vector<Rect>& shown = desktop().presented();
    EXPECT_NE(std::find(shown.begin(), shown.end(), Rect{0, 0, 1024, 768}), shown.end());
    EXPECT_EQ(tb_GetMouseMode(), kMouseModeClient);

    desktop().answerMenu(shell::kCmdQuit);
    desktop().rightClick(10, 10);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(desktop().windowCount(), 0);
}

TEST_F(ShellTest, ResolutionAdviceOnlyAboveEightHundredBySixHundred) {
    struct Case {
        int width, height;
        bool advised;
    };
    for (Case c : {Case{1024, 768, true}, Case{800, 768, true}, Case{801, 600, true}, Case{640, 480, false},
                   Case{800, 600, false}}) {
        useDesktop(HeadlessConfig{c.width, c.height, 24});
        start();
        EXPECT_EQ(CountBoxes(desktop(), "Attention!", shell::kResolutionAdvice), c.advised ? 1 : 0)
            << c.width << "x" << c.height;
        // The window opens after the advice and still covers the whole desktop.
        EXPECT_EQ(desktop().windowRect(desktop().firstWindow()), (Rect{0, 0, c.width, c.height}));
    }
    EXPECT_STREQ(shell::kResolutionAdvice,
                 "Pictoria works best when your display is set to a resultion of 800x600 or 640x480.");
}

TEST_F(ShellTest, EightBitDisplayIsRefusedWithExitZero) {
    useDesktop(HeadlessConfig{800, 600, 8});
    EXPECT_EQ(shell::PictoriaMain(), 0);
    EXPECT_EQ(desktop().windowCount(), 0);
    ASSERT_EQ(desktop().messageBoxes().size(), 1u);
    EXPECT_EQ(desktop().messageBoxes()[0].caption, "Attention!");
    EXPECT_EQ(desktop().messageBoxes()[0].text,
              "Pictoria requires that your display be set to 16 or 24 bits per pixel color mode. Please adjust "
              "your display settings and then restart Pictoria.");

    for (int depth : {16, 24, 32}) {
        useDesktop(HeadlessConfig{800, 600, depth});
        start();
        EXPECT_EQ(desktop().windowCount(), 1) << depth;
    }
}

TEST_F(ShellTest, SecondInstanceEndsAtOnceWithZero) {
    HeadlessConfig second;
    second.otherInstanceRunning = true;
    useDesktop(second);
    EXPECT_EQ(shell::PictoriaMain(), 0);
    EXPECT_EQ(desktop().windowCount(), 0);
    EXPECT_TRUE(desktop().messageBoxes().empty());
    EXPECT_EQ(desktop().raiseRequests().size(), 1u);
}

TEST_F(ShellTest, PressesAndReleasesIgnoredWhileInactiveButNotMovesOrDoubleClicks) {
    start();
    const scene::Room& room = scene::TheRoom();
    Point onCanvas{room.canvasArea.left + 100, room.canvasArea.top + 100};
    Point onCan{(room.cans[2].top.left + room.cans[2].top.right) / 2, room.cans[2].top.top + 4};
    desktop().focus(false);
    desktop().click(onCanvas.x, onCanvas.y);
    desktop().then([&] {
        EXPECT_FALSE(room.modified);
        EXPECT_FALSE(room.undoAvailable);
    });
    desktop().moveTo(onCanvas.x, onCanvas.y);
    desktop().then([&] { EXPECT_EQ(desktop().currentCursor(), 204); });
    // A double click on a can opens the colour palette; Escape closes it, the cursor comes back.
    desktop().answerDialog([&](platform::NativeWindow d) { desktop().typeKey(platform::kVkEscape, d); });
    desktop().doubleClick(onCan.x, onCan.y);
    desktop().then([&] {  // queued behind the Escape that closes the palette
        desktop().then([&] { EXPECT_EQ(desktop().currentCursor(), 203); });
        desktop().focus(true);
        desktop().click(onCanvas.x, onCanvas.y);
        desktop().then([&] {
            EXPECT_TRUE(room.modified);
            EXPECT_FALSE(shell::Shell().inactive);
        });
    });
    EXPECT_EQ(run(), 0);
}

TEST_F(ShellTest, RegainingFocusPutsTheWindowBackOverTheDesktop) {
    start();
    platform::NativeWindow w = desktop().firstWindow();
    desktop().then([&] { desktop().moveWindow(w, Rect{40, 30, 440, 330}); });
    desktop().focus(false);
    desktop().then([&] { desktop().clearRecords(); });
    desktop().focus(true);
    desktop().then([&] {
        EXPECT_EQ(desktop().windowRect(w), (Rect{0, 0, 800, 600}));
        EXPECT_FALSE(desktop().presented().empty());
    });
    EXPECT_EQ(run(), 0);
}

TEST_F(ShellTest, EscapeShowsTheRemoteHintOnlyWhileTheToolIsIdle) {
    start();
    const scene::Room& room = scene::TheRoom();
    Point onCanvas{room.canvasArea.left + 100, room.canvasArea.top + 100};
    desktop().typeKey(platform::kVkEscape);
    desktop().press(onCanvas.x, onCanvas.y);  // the Pencil is busy until the release
    desktop().typeKey(platform::kVkEscape);
    desktop().release(onCanvas.x, onCanvas.y);
    desktop().typeKey('A');
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(CountBoxes(desktop(), "Attention!", shell::kRemoteHint), 1);
    EXPECT_EQ(desktop().messageBoxes().size(), 2u);  // and the save question as the window closes
    EXPECT_STREQ(shell::kRemoteHint,
                 "Press the Remote Control (on the yellow table below,\nnext to the monitor and cleaner bottle) to "
                 "access the\nmenu options such as Open, Save, Quit, New, Help, etc");
}

TEST_F(ShellTest, F1AndTheRightButtonOpenTheSameMenuAtThePointer) {
    start();
    desktop().moveTo(123, 45);
    desktop().typeKey(platform::kVkF1);
    desktop().rightClick(400, 300);
    EXPECT_EQ(run(), 0);

    ASSERT_EQ(desktop().menus().size(), 2u);
    const auto& byKey = desktop().menus()[0];
    const auto& byButton = desktop().menus()[1];
    EXPECT_EQ(byKey.at, (Point{123, 45}));
    EXPECT_EQ(byButton.at, (Point{400, 300}));
    ASSERT_EQ(byKey.items.size(), 12u);
    const std::vector<std::pair<int, std::string>> expected = {
        {40019, "&New..."}, {40020, "&Open..."}, {40021, "&Save..."},   {0, ""},
        {40022, "&Gallery..."}, {0, ""}, {40023, "&Preferences..."},   {0, ""},
        {40026, "&Help..."}, {40025, "&About..."}, {0, ""},            {40027, "&Quit..."}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(byKey.items[i].id, expected[i].first) << i;
        EXPECT_EQ(byKey.items[i].text, expected[i].second) << i;
        EXPECT_EQ(byButton.items[i].id, byKey.items[i].id) << i;
    }
}

TEST_F(ShellTest, UnknownCommandsAndMenuDismissalChangeNothing) {
    start();
    desktop().postCommand(12345);
    desktop().rightClick(5, 5);  // dismissed: no answer scripted
    desktop().then([&] { EXPECT_EQ(desktop().windowCount(), 1); });
    EXPECT_EQ(run(), 0);
}

TEST_F(ShellTest, SizingAndMovingAreOverwrittenWithTheDesktop) {
    useDesktop(HeadlessConfig{640, 480, 24});
    start();
    platform::NativeWindow w = desktop().firstWindow();
    desktop().tryToMove(Rect{50, 60, 690, 540});
    desktop().then([&] { EXPECT_EQ(desktop().windowRect(w), (Rect{0, 0, 640, 480})); });
    desktop().tryToResize(Rect{0, 0, 300, 200});
    desktop().then([&] { EXPECT_EQ(desktop().windowRect(w), (Rect{0, 0, 640, 480})); });
    EXPECT_EQ(run(), 0);
}

TEST_F(ShellTest, DisplayChangeIsHandledOnlyOnceReady) {
    start();
    platform::NativeWindow w = desktop().firstWindow();

    // Before the scene exists the message is answered and ignored.
    desktop().then([] { shell::Shell().ready = false; });
    desktop().changeDisplay(1024, 768, 24);
    desktop().then([&] {
        EXPECT_EQ(desktop().windowRect(w), (Rect{0, 0, 800, 600}));
        EXPECT_EQ(shell::Shell().desktop, (Rect{0, 0, 800, 600}));
        shell::Shell().ready = true;
        desktop().clearRecords();
    });
    desktop().changeDisplay(640, 480, 24);
    desktop().then([&] {
        EXPECT_EQ(shell::Shell().desktop, (Rect{0, 0, 640, 480}));
        EXPECT_EQ(desktop().windowRect(w), (Rect{0, 0, 640, 480}));
        EXPECT_EQ(desktop().backingStore(w).width, 640);
        ASSERT_FALSE(desktop().presented().empty());
        EXPECT_EQ(desktop().presented().back(), (Rect{0, 0, 640, 480}));
    });
    EXPECT_EQ(run(), 0);
}

TEST_F(ShellTest, DestroyPostsQuitAndTheLoopReturnsZero) {
    start();
    platform::NativeWindow w = desktop().firstWindow();
    desktop().then([&] { desktop().destroyWindow(w); });
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(desktop().windowCount(), 0);
    EXPECT_TRUE(shell::Shell().popupMenu.empty());
    EXPECT_FALSE(shell::Shell().ready);
}

TEST_F(ShellTest, PreferencesAreReadAndWrittenBack) {
    // Missing, short and empty files give the defaults and are written anew; words other than
    // 0 and 1 read as on; a complete file is honoured.
    struct Case {
        const char* name;
        bool present;
        std::vector<unsigned char> bytes;
        shell::Preferences expected;
    };
    const std::vector<Case> cases = {
        {"missing", false, {}, {true, true, true, true}},
        {"empty", true, {}, {true, true, true, true}},
        {"short", true, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {true, true, true, true}},
        {"all off", true, std::vector<unsigned char>(16, 0), {false, false, false, false}},
        {"mixed", true, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {false, true, false, true}},
        {"corrupt words", true, {7, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 1, 0}, {true, false, true, true}},
        {"longer", true, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9}, {false, false, false, false}},
    };
    for (const Case& c : cases) {
        useDesktop(HeadlessConfig{});
        std::filesystem::remove_all(configHome_ + "/pictoria");
        if (c.present) {
            std::filesystem::create_directories(configHome_ + "/pictoria");
            WriteFile(prefsPath(), c.bytes);
        }
        start();
        const shell::Preferences& p = shell::Prefs();
        EXPECT_EQ(p.soundOn, c.expected.soundOn) << c.name;
        EXPECT_EQ(p.fitPictures, c.expected.fitPictures) << c.name;
        EXPECT_EQ(p.transitions, c.expected.transitions) << c.name;
        EXPECT_EQ(p.printOption, c.expected.printOption) << c.name;
        std::vector<unsigned char> written = ReadFile(prefsPath());
        ASSERT_EQ(written.size(), 16u) << c.name;
        const bool words[4] = {c.expected.soundOn, c.expected.fitPictures, c.expected.transitions,
                               c.expected.printOption};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(written[4 * i], words[i] ? 1 : 0) << c.name << " word " << i;
            EXPECT_EQ(written[4 * i + 1] | written[4 * i + 2] | written[4 * i + 3], 0) << c.name;
        }
    }
}

TEST_F(ShellTest, UnwritablePreferencesFolderIsIgnored) {
    if (geteuid() == 0) {
        // Root writes anywhere; a folder path blocked by a plain file fails for everyone.
        std::filesystem::remove_all(configHome_ + "/pictoria");
        WriteFile(configHome_ + "/pictoria", {1, 2, 3});
    } else {
        std::filesystem::create_directories(configHome_ + "/pictoria");
        chmod((configHome_ + "/pictoria").c_str(), 0500);
    }
    start();
    EXPECT_TRUE(shell::Prefs().soundOn);
    EXPECT_TRUE(shell::Prefs().printOption);
    EXPECT_EQ(desktop().windowCount(), 1);
    EXPECT_EQ(run(), 0);
    chmod((configHome_ + "/pictoria").c_str(), 0700);
}

TEST_F(ShellTest, TheIdleLoopWaitsInsteadOfPolling) {
    // With nothing to do the loop must block for input; the headless desktop counts virtual time
    // only while something sleeps or waits with a timeout, so an idle run leaves the clock alone.
    start();
    uint32_t before = desktop().tickCount();
    desktop().moveTo(1, 1);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(desktop().tickCount(), before);
}
