// The program's start-up, window procedure and loop on a headless desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>
#include <vector>

#include "tests/support/room_fixture.h"

using platform::HeadlessConfig;
using Texts = std::vector<std::string>;

namespace {

class ShellTest : public RoomTest {
protected:
    void SetUp() override { HeadlessTest::SetUp(); }  // each test starts the program itself
    void start() { ASSERT_EQ(shell::StartPictoria(), -1); }
    int run() { return shell::RunMessageLoop(); }
};

}  // namespace

// The room comes to its designed size by itself; where it cannot, the parent is advised once.
// A desktop that scales by itself is multiplied only as far as the room allows; the settings
// file is read, the command line wins, and what is not understood is left out.
TEST_F(ShellTest, TheRoomScalesItselfToItsSizeAndTheAdviceComesOnceWhereItDoesNot) {
    constexpr int kNone = shell::kScaleNotGiven, kAuto = shell::kScaleAuto;
    struct Case { HeadlessConfig screen; const char* settings; int asked; int factor; bool advised; };
    for (const Case& c : {
             Case{{1920, 1080}, "", kNone, 2, false}, {{2560, 1440}, "", kNone, 2, false}, {{3840, 2160}, "", kNone, 4, false},
             {{1920, 1200}, "", kNone, 2, false}, {{1366, 768}, "", kNone, 1, true}, {{801, 600}, "", kNone, 1, true},
             {{800, 768}, "", kNone, 1, true}, {{800, 600}, "", kNone, 1, false}, {{640, 480}, "", kNone, 1, false},
             {{3840, 2160, 24, 2}, "", kNone, 4, false}, {{1920, 1080, 24, 2}, "", kNone, 2, true},
             {{2560, 1440, 24, 2}, "", kNone, 2, true}, {{1920, 1080, 24, 2}, "", 1, 1, true},
             {{1920, 1080}, "[Pictoria]\nscale = 1\n", kNone, 1, true}, {{1920, 1080}, "[Pictoria]\nscale=3\n", kNone, 3, false},
             {{1920, 1080}, "[Pictoria]\nscale = 1\n", 2, 2, true}, {{1920, 1080}, "[Pictoria]\nscale = 1\n", kAuto, 2, false},
             {{1920, 1080}, "[Pictoria]\nscale = 9\ncolour = red\n", kNone, 2, false}, {{1920, 1080}, "scale = 1\n", kNone, 2, false}}) {
        std::filesystem::remove_all(configHome_);
        std::filesystem::create_directories(configHome_ + "/pictoria");
        std::ofstream(configHome_ + "/pictoria/settings.ini") << c.settings;
        for (int time : {1, 2}) {
            useDesktop(c.screen);
            ASSERT_EQ(shell::StartPictoria(shell::AskingScale(c.asked)), -1);
            EXPECT_EQ(desktop().windowRect(desktop().firstWindow()), (Rect{0, 0, c.screen.width / c.factor, c.screen.height / c.factor}));
            EXPECT_EQ(boxTexts().size(), c.advised && time == 1) << c.screen.width << " " << c.settings << " start " << time;
        }
    }
}

// The system's file, then the user's, then the command line; each problem told once, with its file.
TEST_F(ShellTest, SettingsComeFromTheSystemThenTheUserThenTheCommandLine) {
    const std::string system = configHome_ + "/system-settings.ini", user = configHome_ + "/pictoria/settings.ini";
    struct Case { const char* system; const char* user; int asked, factor; const char* told; long lines = 0; bool kiosk = false; };
    for (const Case& c : {Case{"[Pictoria]\nscale = 3\n", "", shell::kScaleNotGiven, 3, ""},
                          Case{"[Pictoria]\nscale = 3\n", "[Pictoria]\nscale = 1\n", shell::kScaleNotGiven, 1, ""},
                          Case{"[Pictoria]\nscale = 3\n", "[Pictoria]\nscale = 1\n", 4, 4, ""},
                          Case{"[Pictoria]\nscale = x\n", "[Pictoria]\nscale = 1\n", shell::kScaleNotGiven, 1, "pictoria: system: scale = x", 1},
                          Case{"[Pictoria]\nscale = 1\nlock\n", "[Other]\n", shell::kScaleNotGiven, 4, "pictoria: system: ", 2},
                          Case{"[Pictoria]\nscan-step-ms = 100\n", "[Pictoria]\nscan-key = Esc\n", shell::kScaleNotGiven, 4, "pictoria: system: scan-step-ms = 100", 2},
                          Case{"[Pictoria]\nkiosk = true\n", "[Pictoria]\nlock = false\n", shell::kScaleNotGiven, 4, "", 0, true},
                          Case{"[Pictoria]\nkiosk = true\n", "[Pictoria]\nkiosk = false\n", shell::kScaleNotGiven, 4, "", 0, false}}) {
        std::filesystem::create_directories(configHome_ + "/pictoria");
        std::ofstream(system) << c.system;
        std::ofstream(user) << c.user;
        testing::internal::CaptureStderr();
        useDesktop(HeadlessConfig{3840, 2160});
        ASSERT_EQ(shell::StartPictoria(shell::AskingScale(c.asked)), -1) << c.system;
        std::string told = testing::internal::GetCapturedStderr();
        for (auto [path, name] : {std::pair{system, "system"}, {user, "user"}})
            for (size_t at; (at = told.find(path)) != std::string::npos;) told.replace(at, path.size(), name);
        EXPECT_EQ(desktop().windowRect(desktop().firstWindow()).width(), 3840 / c.factor) << c.system << c.user;
        EXPECT_TRUE(desktop().heldOverDesktop(desktop().firstWindow()) == c.kiosk && shell::Shell().settings.lock == c.kiosk) << c.user;
        EXPECT_TRUE(told.rfind(c.told, 0) == 0 && std::count(told.begin(), told.end(), '\n') == c.lines) << told;
    }
}

// The system's file as installed changes nothing; with every setting's "#" taken away, each is
// understood as its example.
TEST_F(ShellTest, TheInstalledSettingsFileLeavesEverySettingOutAndExplainsOnlyKnownOnes) {
    std::ifstream in(PICTORIA_DESKTOP_DIR "/settings.ini");
    std::string shipped((std::istreambuf_iterator<char>(in)), {}), uncommented;
    std::istringstream lines(shipped);
    for (std::string line; std::getline(lines, line);)
        uncommented += (line.size() > 1 && line[0] == '#' && line[1] != ' ' ? line.substr(1) : line) + "\n";
    struct Case { const std::string& text; int scale; bool print, save, sound; const char* pictures; const char* pages; };
    for (const Case& c : {Case{shipped, shell::kScaleAuto, true, true, true, "", ""},
                          Case{uncommented, shell::kScaleAuto, true, true, true, "/srv/pictoria/Gallery/", "/srv/pictoria/Pages/"}}) {
        ASSERT_NE(c.text.find("[Pictoria]"), std::string::npos);
        std::ofstream(configHome_ + "/system-settings.ini") << c.text;
        testing::internal::CaptureStderr();
        const shell::Settings s = shell::ReadSettings();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(std::tie(s.scale, s.print, s.save, s.sound, s.pictures, s.pages),
                  std::tie(c.scale, c.print, c.save, c.sound, c.pictures, c.pages)) << c.text;
    }
}

// A display change that suits another factor lays the room out at it, with the picture kept.
TEST_F(ShellTest, ADisplayChangeChoosesTheFactorAgain) {
    // Also while the title screen shows, before the room is built.
    useDesktop(HeadlessConfig{1920, 1080});
    desktop().answerDialog([&](platform::NativeWindow) { desktop().changeDisplay(1366, 768, 24); });
    start();
    EXPECT_EQ(desktop().windowRect(desktop().firstWindow()), (Rect{0, 0, 1366, 768}));
    EXPECT_EQ(room().width, 1366);
    tb_SetForeColor(room().canvas, 0, 0, 0);
    tb_PaintRect(room().canvas, &room().picture);
    for (auto [w, h, factor] : {std::tuple{3840, 2160, 4}, {1366, 768, 1}, {1920, 1080, 2}}) {
        desktop().changeDisplay(w, h, 24), pump();
        EXPECT_EQ(desktop().windowRect(desktop().firstWindow()), (Rect{0, 0, w / factor, h / factor}));
        EXPECT_EQ(canvasAt(room().picture.right - 1, room().picture.bottom - 1), (Rgb{0, 0, 0})) << w;
    }
}

TEST_F(ShellTest, RefusedStartsEndAtOnceWithZero) {
    // An 8-bit display is refused with its message; a second copy asks the first to come forward.
    struct Case { HeadlessConfig config; Texts boxes; size_t raises; };
    for (const Case& c : {Case{{.depth = 8}, {"Attention! Pictoria requires that your display be set to 16 or 24 bits "
                                              "per pixel color mode. Please adjust your display settings and then "
                                              "restart Pictoria."}, 0},
                          Case{{.otherInstanceRunning = true}, {}, 1}}) {
        useDesktop(c.config);
        EXPECT_EQ(shell::PictoriaMain(), 0);
        EXPECT_EQ(desktop().windowCount(), 0);
        EXPECT_EQ(boxTexts(), c.boxes);
        EXPECT_EQ(desktop().raiseRequests().size(), c.raises);
    }
    for (int depth : {16, 24, 32}) {
        useDesktop(HeadlessConfig{.depth = depth});
        start();
        EXPECT_EQ(desktop().windowCount(), 1) << depth;
    }
}

TEST_F(ShellTest, InactivePressesAndReleasesAreIgnoredButNotMovesOrDoubleClicksAndFocusPutsTheWindowBack) {
    start();
    const platform::NativeWindow w = desktop().firstWindow();
    const Point onCanvas = W(100, 100), onCan = centreOf(room().cans[2].top);
    desktop().focus(false);
    desktop().click(onCanvas.x, onCanvas.y);
    desktop().then([&] { EXPECT_FALSE(room().modified || room().undoAvailable); });
    desktop().moveTo(onCanvas.x, onCanvas.y);
    desktop().then([&] { EXPECT_EQ(desktop().currentCursor(), 204); });
    // A double click on a can opens the colour palette; Escape closes it, the cursor comes back.
    desktop().answerDialog([&](platform::NativeWindow d) { desktop().typeKey(platform::kVkEscape, d); });
    desktop().doubleClick(onCan.x, onCan.y);
    desktop().then([&] {  // queued behind the Escape that closes the palette
        desktop().then([&] {
            EXPECT_EQ(desktop().currentCursor(), 203);
            desktop().moveWindow(w, Rect{40, 30, 440, 330}), desktop().clearRecords();
        });
        desktop().focus(true);
        desktop().then([&] {
            EXPECT_EQ(desktop().windowRect(w), (Rect{0, 0, 800, 600}));
            EXPECT_FALSE(desktop().presented().empty());
        });
        desktop().click(onCanvas.x, onCanvas.y);
        desktop().then([&] { EXPECT_TRUE(room().modified && !shell::Shell().inactive); });
    });
    EXPECT_EQ(run(), 0);
}

// Focus lost mid-stroke (the stroke ends, the next click acts) is played on a real X server in
// tests/e2e/test_room.sh.
TEST_F(ShellTest, AWindowManagersOwnPlaceIsTakenAfterOneTryAndTheRoomAndTheRemoteFollowIt) {
    start();
    desktop().keepWindowIn(Rect{0, 24, 800, 600}), desktop().focus(true), pump(), desktop().focus(true), pump();
    EXPECT_TRUE(desktop().refusals() == 2 && room().table.bottom == 576);
    paint(Rect{100, 140, 200, 160}, kBlue), scene::RedrawRect(room().canvasArea);  // behind the remote's corner
    desktop().answerDialog([&](platform::NativeWindow d) { EXPECT_EQ(shown(Point{0, 0}, d), kBlue); desktop().typeKey(platform::kVkEscape, d); });
    scene::RunCommand(scene::kCommandRemote);
}

TEST_F(ShellTest, EscapeShowsTheRemoteHintOnlyWhileTheToolIsIdleAndStrayInputDoesNothing) {
    start();
    const Point onCanvas = W(100, 100);
    desktop().typeKey(platform::kVkEscape);
    desktop().press(onCanvas.x, onCanvas.y);  // the Pencil is busy until the release
    desktop().typeKey(platform::kVkEscape);
    desktop().release(onCanvas.x, onCanvas.y);
    desktop().postCommand(12345);  // no command
    desktop().rightClick(5, 5);   // the menu dismissed: no answer scripted
    desktop().typeKey('A');
    desktop().then([&] { EXPECT_EQ(desktop().windowCount(), 1); });
    EXPECT_EQ(run(), 0);
    // The hint once, and the save question as the window closes.
    EXPECT_EQ(boxTexts(), (Texts{std::string("Attention! ") + shell::kRemoteHint,
                                 "Attention... Do you want to save the current picture before quitting?"}));
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

TEST_F(ShellTest, PreferencesAreReadAndWrittenBackAndAnUnwritableFolderIsIgnored) {
    // A missing file gives the defaults and is written anew; a file of odd words is honoured as
    // the start reads it. A plain file where the folder belongs stops the reading and the
    // writing, for root too: the defaults, and the program runs.
    struct Case { const char* name; std::vector<unsigned char> bytes; std::array<bool, 4> on; };
    for (const Case& c : std::vector<Case>{
             {"missing", {}, {true, true, true, true}},
             {"blocked", {}, {true, true, true, true}},
             {"corrupt words", {7, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 1, 0}, {true, false, true, true}}}) {
        const bool blocked = std::string(c.name) == "blocked";
        std::filesystem::remove_all(configHome_ + "/pictoria");
        if (blocked) std::ofstream(configHome_ + "/pictoria") << "x";
        if (!c.bytes.empty()) {
            std::filesystem::create_directories(configHome_ + "/pictoria");
            std::ofstream(prefsPath(), std::ios::binary)
                .write(reinterpret_cast<const char*>(c.bytes.data()), static_cast<std::streamsize>(c.bytes.size()));
        }
        useDesktop(HeadlessConfig{});
        start();
        const shell::Preferences& p = shell::Prefs();
        EXPECT_EQ((std::array{p.soundOn, p.fitPictures, p.transitions, p.printOption}), c.on) << c.name;
        std::string written(16, '\0');
        for (int i = 0; i < 4; ++i) written[4 * i] = c.on[i];
        EXPECT_EQ(FileBytes(prefsPath()), blocked ? "" : written) << c.name;
    }
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
