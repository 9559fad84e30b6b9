// The parent lock, headless: the grown-up check and what it guards.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <string>

#include "dialogs/dialogs.h"
#include "resources/resource_ids.h"
#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;
using platform::NativeWindow;

namespace {

class LockTest : public FolderTest {
protected:
    // Plays `keys` into the check, each at its turn: '=' the right answer to the sum on the board
    // then, 'w' a wrong one, '\n' Return, 'b' Backspace, 'e' Escape, 'k' the tick, 'x' the cross,
    // 's' notes the answer slot's pixels; anything else is that key. Each new sum is noted.
    void play(NativeWindow d, std::string keys) {
        const dialogs::GrownUpSum s = dialogs::GrownUpSumShown();
        if (s.first != 0 && (sums_.empty() || sums_.back() != s.first * 100 + s.second)) sums_.push_back(s.first * 100 + s.second);
        if (keys.empty()) return;
        const std::string right = std::to_string(s.first + s.second), wrong = std::to_string(s.first + s.second + 10);
        const char k = keys[0];
        for (char c : k == '=' ? right : k == 'w' ? wrong : std::string()) desktop().typeKey(c, d);
        if (k == 'k' || k == 'x') desktop().click(k == 'k' ? 280 : 317, 195, d);
        if (k == 's') slots_.push_back(slot(d));
        const int key = k == '\n' ? platform::kVkReturn : k == 'b' ? platform::kVkBack : k == 'e' ? platform::kVkEscape : k;
        if (std::string("=wkxs").find(k) == std::string::npos) desktop().typeKey(key, d);
        desktop().then([this, d, keys] { play(d, keys.substr(1)); });
    }
    std::string slot(NativeWindow d) {
        std::string px;
        for (int x = 116; x < 334; ++x) px += char(shown(Point{x, 132}, d).r);
        return px;
    }
    // Starts the room with the lock from nowhere (0), the settings (1) or the command line (2);
    // every dialog is answered: the check rightly or wrongly three times, the remote with Quit,
    // any other with Escape, its width noted.
    void startLocked(int from, bool right) {
        std::filesystem::create_directories(configHome_ + "/pictoria");
        std::ofstream(configHome_ + "/pictoria/settings.ini") << (from == 1 ? "[Pictoria]\nlock = true\n" : "");
        useDesktop(platform::HeadlessConfig{800, 600, 24});
        shell::CommandLine line = shell::AskingScale(shell::kScaleNotGiven);
        line.lock = from == 2;
        ASSERT_EQ(shell::StartPictoria(line), -1);
        widths_.clear();
        platform::Improviser answers;
        answers.dialog = [this, right](NativeWindow d) {
            widths_.push_back(desktop().windowRect(d).width());
            if (widths_.back() == 360) return play(d, right ? "=\n" : "w\nw\nw\n");
            widths_.back() == 228 ? desktop().click(60, 25, d) : desktop().typeKey(platform::kVkEscape, d);
        };
        desktop().improvise(answers);
    }
    int shownWidth(int width) { return int(std::count(widths_.begin(), widths_.end(), width)); }
    std::vector<int> sums_, widths_;
    std::vector<std::string> slots_;
};

TEST_F(LockTest, OnlyTheRightSumLetsTheGrownUpThroughAndThreeWrongOnesEndIt) {
    struct Case { const char* keys; bool right; int beeps; size_t sums; };
    for (const Case& c : {Case{"=\n", true, 0, 1}, {"=k", true, 0, 1}, {"7b=\n", true, 0, 1}, {"w\n=\n", true, 1, 2},
                          {"w\nw\n=\n", true, 2, 3}, {"w\nw\nw\n=\n", false, 3, 3}, {"\n\n\n", false, 3, 3},
                          {"=e", false, 0, 1}, {"=x", false, 0, 1}, {"99999\n", false, 1, 2}}) {
        desktop().clearRecords(), sums_.clear();
        desktop().answerDialog([&](NativeWindow d) { play(d, c.keys); });
        EXPECT_EQ(dialogs::AskGrownUp(), c.right) << c.keys;
        EXPECT_EQ(desktop().beeps(), c.beeps) << c.keys;
        EXPECT_EQ(sums_.size(), c.sums) << c.keys;  // every wrong answer brings another sum
        for (int s : sums_) EXPECT_TRUE(s / 100 >= 10 && s / 100 <= 99 && s % 100 >= 10) << s;
        EXPECT_EQ(!desktop().sounds().empty() && desktop().sounds().back().soundId == kWavChoose, c.right) << c.keys;
        EXPECT_EQ(desktop().windowCount(), 1);
    }
    // The answer shows as dots: any digit looks the same, and unlike none.
    desktop().answerDialog([&](NativeWindow d) { play(d, "1sb7sbse"); });
    dialogs::AskGrownUp();
    ASSERT_EQ(slots_.size(), 3u);
    EXPECT_TRUE(slots_[0] == slots_[1] && slots_[0] != slots_[2]);
}

TEST_F(LockTest, EveryWayOutAndIntoTheFilesAsksAGrownUpUnderTheLockAndANoChangesNothing) {
    const auto run = [](int command) { return [command] { scene::RunCommand(command); }; };
    const auto menu = [this](int id) { return [this, id] { desktop().postCommand(id), pump(); }; };
    const auto close = [this] { desktop().postMessage({.kind = platform::MsgKind::Close, .window = desktop().firstWindow()}), pump(); };
    const auto print = [this] { clickAt(centreOf(room().hotspots[scene::kPrinter].pointer)); };
    const auto gone = [this] { return pump(), desktop().windowCount() == 0; };
    const auto fileDialog = [this](std::string title) {
        return [this, title] { return !desktop().fileDialogs().empty() && desktop().fileDialogs()[0].title == title; };
    };
    struct Case { const char* what; std::function<void()> act; std::function<bool()> done; };
    for (const Case& c : {Case{"remote quit", run(scene::kCommandRemote), gone}, {"menu quit", menu(shell::kCmdQuit), gone},
                          {"close", close, gone}, {"preferences", run(scene::kCommandPreferences), [this] { return shownWidth(420) == 1; }},
                          {"open", menu(shell::kCmdOpen), fileDialog("Open")}, {"export", run(scene::kCommandExport), fileDialog("Save As")},
                          {"help", run(scene::kCommandHelp), [this] { return desktop().browserPages().size() == 1; }},
                          {"print", print, [this] { return desktop().printOffers().size() == 1; }}}) {
        for (int from : {0, 1, 2}) {
            const bool right = from != 2;
            startLocked(from, right);
            paint(Rect{0, 0, 9, 9}, kRed);
            const std::string prefs = FileBytes(prefsPath());
            c.act();
            EXPECT_EQ(shownWidth(360), from == 0 ? 0 : 1) << c.what << " " << from;
            EXPECT_EQ(c.done(), right) << c.what << " " << from;
            if (right) continue;
            EXPECT_TRUE(desktop().windowCount() == 1 && !room().modified && countCanvas(kRed) == 81) << c.what;
            EXPECT_TRUE(FileBytes(prefsPath()) == prefs && desktop().messageBoxes().empty()) << c.what;
        }
    }
}

// Under the lock the child's work is kept without a dialog: a new picture or a colouring page
// into the Gallery under the day and the first free number, a picture with its own file there.
TEST_F(LockTest, SavingUnderTheLockNeedsNoDialogAndKeepsEveryPicture) {
    char day[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(day, sizeof day, "%Y-%m-%d ", std::localtime(&now));
    const fs::path gallery = home_ / "Gallery", cat = home_ / "cat.bmp", page = home_ / "Pages/flower.bmp";
    const auto save = [] { scene::RunCommand(scene::kCommandSave); };
    const auto quit = [this] { desktop().answerMessageBox(platform::MsgBoxResult::Yes), scene::RunCommand(scene::kCommandQuit); };
    struct Case { int from; std::string name; std::vector<std::string> before; bool quits; fs::path written; };
    for (const Case& c : {Case{1, "Pictoria.bmp", {}, false, gallery / (std::string(day) + "1.bmp")},
                          {2, "Pictoria.bmp", {"1.bmp", "3.bmp", "2.png"}, false, gallery / (std::string(day) + "2.bmp")},
                          {1, cat.string(), {"1.bmp"}, false, cat}, {1, page.string(), {}, false, gallery / (std::string(day) + "1.bmp")},
                          {2, "Pictoria.bmp", {}, true, gallery / (std::string(day) + "1.bmp")}, {0, "Pictoria.bmp", {}, false, ""}}) {
        for (const fs::path& f : {gallery, cat.parent_path() / "Pages"}) fs::remove_all(f), fs::create_directories(f);
        fs::remove(cat), std::ofstream(page) << "page";
        for (const std::string& b : c.before) std::ofstream(gallery / (day + b)) << "before";
        startLocked(c.from, true);
        shell::Shell().pictureFileName = c.name, room().modified = true;
        c.quits ? quit() : save();
        EXPECT_EQ(desktop().fileDialogs().size(), c.written.empty() ? 1u : 0u) << c.name;
        if (c.written.empty()) continue;
        EXPECT_EQ(FileBytes(c.written).substr(0, 2), "BM") << c.written;
        EXPECT_EQ(FileBytes(page), "page");
        for (const std::string& b : c.before) EXPECT_EQ(FileBytes(gallery / (day + b)), "before") << b;
        pump();
        EXPECT_EQ(desktop().windowCount(), c.quits ? 0 : 1) << c.name;
        EXPECT_TRUE(c.quits || (shell::Shell().pictureFileName == c.written.string() && !room().modified)) << c.name;
    }
}

}  // namespace
