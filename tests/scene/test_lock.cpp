// The parent lock, headless: the grown-up check, what it guards, and saving without a dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

#include "dialogs/dialogs.h"
#include "resources/resource_ids.h"
#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;

namespace {

class LockTest : public FolderTest {
protected:
    // Plays `keys` into the check, each at its turn: '=' the right answer to the sum shown then ('n' on the
    // keypad), 'w' a wrong one, 'k' the tick, 'x' the cross, 's' notes the answer slot, 'b' Backspace, 'e' Escape.
    void play(platform::NativeWindow d, std::string keys) {
        const dialogs::GrownUpSum s = dialogs::GrownUpSumShown();
        if (s.first != 0 && (sums_.empty() || sums_.back() != s.first * 100 + s.second)) sums_.push_back(s.first * 100 + s.second);
        const char k = keys.empty() ? 0 : keys[0];
        for (char c : std::string("=wn").find(k) != std::string::npos ? std::to_string(s.first + s.second + (k == 'w') * 10) : "")
            desktop().typeKey(k == 'n' ? platform::kVkNumpad0 + c - '0' : c, d);
        if (k == 'k' || k == 'x') desktop().click(k == 'k' ? 280 : 317, 195, d);
        if (k == 's') slots_.emplace_back(reinterpret_cast<const char*>(RowPointer(desktop().backingStore(d), 132)) + 3 * 116, 3 * 218);
        if (k != 0 && std::string("=wnkxs").find(k) == std::string::npos)
            desktop().typeKey(k == '\n' ? platform::kVkReturn : k == 'b' ? platform::kVkBack : k == 'e' ? platform::kVkEscape : k, d);
        if (k != 0) desktop().then([this, d, keys] { play(d, keys.substr(1)); });
    }
    // The lock from nowhere (0), the settings (1) or the command line (2); the check gets `keys`, the
    // remote is answered with Quit, any other dialog with Escape. Kiosk mode's settings (3) or --kiosk (4).
    void startLocked(int from, std::string keys) {
        std::ofstream(configHome_ + "/pictoria/settings.ini") << (from == 1 ? "[Pictoria]\nlock = true\n" : from == 3 ? "[Pictoria]\nkiosk = true\n" : "");
        useDesktop(platform::HeadlessConfig{800, 600, 24});
        ASSERT_EQ(shell::StartPictoria({.understood = true, .lock = from == 2, .kiosk = from == 4, .errorText = {}}), -1);
        platform::Improviser answers;
        answers.dialog = [this, keys](platform::NativeWindow d) {
            widths_.push_back(desktop().windowRect(d).width());
            if (widths_.back() == 360) return play(d, keys);
            widths_.back() == 228 ? desktop().click(60, 25, d) : desktop().typeKey(platform::kVkEscape, d);
        };
        desktop().improvise(answers), widths_.clear(), sums_.clear();
    }
    std::vector<int> sums_, widths_;
    std::vector<std::string> slots_;
};

// Each way out: without the lock; with each kind of answer under it (from the settings); three wrong (--lock, kiosk).
TEST_F(LockTest, EveryWayOutAsksAGrownUpUnderTheLockAndOnlyTheRightSumLetsThrough) {
    const auto run = [](int command) { return [command] { scene::RunCommand(command); }; };
    const auto menu = [this](int id) { return [this, id] { desktop().postCommand(id), pump(); }; };
    const auto close = [this] { desktop().postMessage({.kind = platform::MsgKind::Close, .window = desktop().firstWindow()}), pump(); };
    const auto altF4 = [this] { desktop().setKeyState(platform::kVkMenu, true), desktop().typeKey(platform::kVkF4), pump(); };
    const auto print = [this] { clickAt(centreOf(room().hotspots[scene::kPrinter].pointer)); };
    const auto gone = [this] { return pump(), desktop().windowCount() == 0; };
    const auto dialog = [this](std::string title) {
        return [this, title] { return desktop().fileDialogs().size() == 1 && desktop().fileDialogs()[0].title == title; };
    };
    struct Case { std::function<void()> act; std::function<bool()> done; const char* keys; bool right; int beeps; size_t sums; };
    const Case cases[] = {{run(scene::kCommandRemote), gone, "=\n", true, 0, 1}, {menu(shell::kCmdQuit), gone, "7bnk", true, 0, 1},
                          {close, gone, "w\nw\n=\n", true, 2, 3}, {altF4, gone, "w\n=k", true, 1, 2},
                          {run(scene::kCommandPreferences), [this] { return widths_.back() == 420; }, "=e", false, 0, 1},
                          {menu(shell::kCmdOpen), dialog("Open"), "=x", false, 0, 1}, {run(scene::kCommandExport), dialog("Save As"), "\n\n\n", false, 3, 3},
                          {run(scene::kCommandHelp), [this] { return desktop().browserPages().size() == 1; }, "99999\n=\n", true, 1, 2},
                          {print, [this] { return desktop().printOffers().size() == 1; }, "1sb7sbsw\nw\nw\n=\n", false, 3, 3}};
    for (const Case& c : cases) {
        for (int from : {0, 1, 2, 3, 4}) {
            startLocked(from, from == 1 ? c.keys : "w\nw\nw\n");
            const bool held = desktop().heldOverDesktop(desktop().firstWindow());
            paint(Rect{0, 0, 9, 9}, kRed);
            c.act();
            const bool right = from == 0 || (from == 1 && c.right), asked = std::count(widths_.begin(), widths_.end(), 360) == (from != 0);
            const bool chimed = !desktop().sounds().empty() && desktop().sounds().back().soundId == kWavChoose;
            EXPECT_TRUE(asked && held == (from > 2) && c.done() == right && (from == 0 || desktop().beeps() == (from == 1 ? c.beeps : 3))) << &c - cases << from;
            EXPECT_TRUE(from != 1 || (sums_.size() == c.sums && chimed == c.right)) << &c - cases;  // each wrong answer: a new sum
            EXPECT_TRUE(right || (desktop().windowCount() == 1 && !room().modified && countCanvas(kRed) == 81 && desktop().messageBoxes().empty()))
                << &c - cases << ", " << from;
        }
    }
    EXPECT_TRUE(slots_.size() == 3 && slots_[0] == slots_[1] && slots_[0] != slots_[2]);  // dots, never digits
}

// New pictures and colouring pages go into the Gallery as the day and a free number, others to their own file.
TEST_F(LockTest, SavingUnderTheLockNeedsNoDialogAndKeepsEveryPicture) {
    char text[32];
    const std::time_t now = std::time(nullptr);
    const std::string day(text, std::strftime(text, sizeof text, "%Y-%m-%d ", std::localtime(&now)));
    const fs::path gallery = home_ / "Gallery", cat = home_ / "cat.bmp", page = home_ / "Pages/flower.bmp", first = gallery / (day + "1.bmp");
    struct Case { int from; std::string name; std::vector<std::string> before; bool quits; fs::path written; };
    for (const Case& c : {Case{1, "Pictoria.bmp", {}, false, first}, {2, "Pictoria.bmp", {"1.bmp", "3.bmp", "2.png"}, false, gallery / (day + "2.bmp")},
                          {1, cat.string(), {"1.bmp"}, false, cat}, {1, page.string(), {}, false, first}, {2, "Pictoria.bmp", {}, true, first}}) {
        fs::remove_all(gallery), fs::create_directories(gallery), fs::remove(cat), std::ofstream(page) << "page";
        for (const std::string& b : c.before) std::ofstream(gallery / (day + b)) << "before";
        startLocked(c.from, "=\n");
        shell::Shell().pictureFileName = c.name, room().modified = true;
        desktop().answerMessageBox(platform::MsgBoxResult::Yes);
        scene::RunCommand(c.quits ? scene::kCommandQuit : scene::kCommandSave);
        EXPECT_TRUE(desktop().fileDialogs().empty() && FileBytes(c.written).substr(0, 2) == "BM" && FileBytes(page) == "page") << c.name;
        pump();
        EXPECT_TRUE(c.quits ? desktop().windowCount() == 0 : shell::Shell().pictureFileName == c.written.string() && !room().modified) << c.name;
    }
}

}  // namespace
