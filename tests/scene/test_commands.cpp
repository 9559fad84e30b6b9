// The commands, the remote control, the title screen and the Preferences dialog, headless.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/preferences.h"
#include "platform/language.h"
#include "resources/resource_ids.h"
#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;
using platform::FileDialogResult;
using platform::MsgBoxResult;
using platform::NativeWindow;

namespace {

class CommandTest : public FolderTest {
protected:
    // The next dialog: its size is noted, then the clicks (dialog points) or Escape.
    void answer(std::vector<Point> clicks = {}) {
        desktop().answerDialog([this, clicks](NativeWindow d) {
            sizes_.push_back(desktop().windowRect(d).width() * 1000 + desktop().windowRect(d).height());
            for (Point p : clicks) desktop().click(p.x, p.y, d);
            if (clicks.empty()) desktop().typeKey(platform::kVkEscape, d);
        });
    }
    bool closed() { return pump(), desktop().windowCount() == 0; }
    std::vector<int> sizes_;
};

TEST_F(CommandTest, EachNumberRunsItsCommandAndNoOtherNumberDoesAnything) {
    struct Case { int command, dialog; const char* fileDialog; size_t helpPages; };
    for (const Case& c : {Case{-3, 0, "", 0}, Case{9, 0, "", 0}, Case{8, 0, "Save As", 0}, Case{1, 0, "Save As", 0}, Case{2, 408417, "", 0},
                          Case{3, 0, "Open", 0}, Case{4, 421244, "", 0}, Case{5, 0, "", 1}, Case{6, 420319, "", 0},
                          Case{7, 408417, "", 0}}) {
        SCOPED_TRACE(c.command);
        desktop().clearRecords(), sizes_.clear();
        if (c.dialog) answer();
        scene::RunCommand(c.command);
        EXPECT_EQ(sizes_, c.dialog ? std::vector<int>{c.dialog} : std::vector<int>{});
        EXPECT_EQ(desktop().fileDialogs().empty() ? "" : desktop().fileDialogs()[0].title, c.fileDialog);
        EXPECT_EQ(desktop().browserPages().size(), c.helpPages);
        EXPECT_FALSE(closed());
    }
    EXPECT_TRUE(shell::CommandOfMenuItem(shell::kCmdPreferences) == 6 && shell::CommandOfMenuItem(40024) == -2);
    // Without a browser the parent is told where the page is.
    desktop().setBrowserAvailable(false);
    scene::RunCommand(scene::kCommandHelp);
    ASSERT_EQ(desktop().messageBoxes().size(), 1u);
    EXPECT_NE(desktop().messageBoxes()[0].text.find(scene::HelpPagePath()), std::string::npos);
}

// Help opens the page in the language of the program's texts where the folder has it, else the English one.
TEST_F(CommandTest, HelpOpensThePageInTheUsersLanguageElseTheEnglishOne) {
    const fs::path help = home_ / "help";
    for (const char* folder : {"de", "fr", "es"}) fs::create_directories(help / folder);  // es: a language without its page
    for (const char* page : {"index.html", "de/index.html", "fr/index.html"}) std::ofstream(help / page) << "<p>\n";
    struct Case { const char *locale, *languageList, *folder; };
    for (const Case& c : {Case{"de_DE.UTF-8", "", "de/"}, {"fr_CA", "", "fr/"}, {"pt_BR", "", ""}, {"C", "", ""},
                          {"C.UTF-8", "de", ""}, {"es_ES.UTF-8", "", ""}, {"nl_NL.UTF-8", "es:pt_BR:fr:de", "fr/"}}) {
        const std::string page = scene::HelpPageIn(help.string(), platform::WantedLanguages(c.locale, c.languageList));
        EXPECT_EQ(page, (help / c.folder / "index.html").string()) << c.locale;
    }
    EXPECT_EQ(scene::HelpPageIn((home_ / "Pages").string(), {"de"}), "");  // no English page: no help there
}

// What a school turns off does nothing but say no and loses nothing; a folder it sets is used,
// or told once and the usual one used; a new user may start silent.
TEST_F(CommandTest, SchoolSettingsSayNoToSavingAndPrintingAndMoveTheFolders) {
    fs::create_directories(home_ / "shared");
    const std::string shared = (home_ / "shared/").string(), gallery = (home_ / "Gallery/").string();
    const auto save = [] { scene::RunCommand(scene::kCommandSave); };
    const auto twice = [] { scene::RunCommand(scene::kCommandSave), scene::RunCommand(scene::kCommandSave); };
    const auto copy = [] { scene::RunCommand(scene::kCommandExport); };
    const auto quit = [this] { desktop().answerMessageBox(MsgBoxResult::Yes), scene::RunCommand(scene::kCommandQuit); };
    const auto print = [this] { clickAt(centreOf(room().hotspots[scene::kPrinter].pointer)); };
    struct Case { std::string settings; std::function<void()> act; int beeps; std::string folder; size_t boxes; };
    for (const Case& c : {Case{"save = false", save, 1, "", 0}, {"save = false", copy, 1, "", 0}, {"save = false", quit, 1, "", 1},
                          {"print = false", print, 1, "", 0}, {"pictures = " + shared, save, 0, shared, 0},
                          {"pictures = /nowhere", twice, 0, gallery, 1}, {"pictures = relative/path", save, 0, gallery, 0}}) {
        std::ofstream(configHome_ + "/pictoria/settings.ini") << "[Pictoria]\n" << c.settings << "\n";
        start();
        room().modified = true, desktop().clearRecords();
        c.act();
        EXPECT_EQ(desktop().beeps(), c.beeps) << c.settings;
        EXPECT_EQ(desktop().fileDialogs().empty() ? "" : desktop().fileDialogs()[0].folder, c.folder) << c.settings;
        EXPECT_EQ(desktop().messageBoxes().size(), c.boxes) << c.settings;
        EXPECT_TRUE(room().modified && !closed() && desktop().printOffers().empty()) << c.settings;
    }
    std::ofstream(configHome_ + "/pictoria/settings.ini") << "[Pictoria]\nsound = false\n";
    for (bool known : {false, true}) {  // the first start writes the preferences: the second is a known user
        if (!known) fs::remove(prefsPath());
        if (known) shell::Prefs().soundOn = true, shell::SavePreferences();
        start();
        EXPECT_EQ(shell::Prefs().soundOn, known);
    }
}

TEST_F(CommandTest, QuitAsksOnlyForAChangedPictureAndStaysOnlyAfterAFailedSave) {
    struct Case { bool modified, fromOutside; MsgBoxResult answer; fs::path saveTo; bool saved, stays; };
    const fs::path file = home_ / "quit.bmp";
    for (const Case& c : {Case{false, false, MsgBoxResult::Yes, {}, false, false},
                          Case{true, false, MsgBoxResult::No, {}, false, false},
                          Case{true, true, MsgBoxResult::Yes, {}, false, false},  // Save As cancelled
                          Case{true, false, MsgBoxResult::Yes, file, true, false},
                          Case{true, true, MsgBoxResult::Closed, {}, false, true},  // Escape at the question
                          Case{true, true, MsgBoxResult::Yes, "/dev/full", false, true}}) {
        start();
        fs::remove(file), desktop().clearRecords();
        scene::TheRoom().modified = c.modified;
        desktop().answerMessageBox(c.answer);
        if (!c.saveTo.empty()) desktop().answerFileDialog(FileDialogResult{true, c.saveTo, 0});
        const platform::Message close{.kind = platform::MsgKind::Close, .window = desktop().firstWindow()};
        // A close while a dialog runs is not for the disabled window behind it.
        desktop().answerDialog([&](NativeWindow d) { desktop().postMessage(close), desktop().click(230, 390, d); });
        scene::RunCommand(scene::kCommandGallery);
        EXPECT_FALSE(closed());
        c.fromOutside ? desktop().postMessage(close) : scene::RunCommand(scene::kCommandQuit);
        EXPECT_EQ(closed(), !c.stays);
        EXPECT_EQ(desktop().messageBoxes().size(), c.modified ? 1u + (c.saveTo == "/dev/full") : 0u);
        EXPECT_EQ(fs::exists(file), c.saved);
    }
}

TEST_F(CommandTest, RemoteRunsTheButtonPressedAndBackOrEscapeRunNothing) {
    const Point save{60, 60}, between{112, 100}, back{50, 228};
    struct Case { std::vector<Point> clicks; bool saveRan; };
    for (const Case& c : {Case{{back}, false}, Case{{}, false}, Case{{between, back}, false}, Case{{save}, true}}) {
        desktop().clearRecords(), sizes_.clear();
        answer(c.clicks);
        const uint32_t before = tb_GetTime();
        scene::RunCommand(scene::kCommandRemote);
        EXPECT_EQ(sizes_, std::vector<int>{228240});
        EXPECT_EQ(desktop().fileDialogs().size(), c.saveRan ? 1u : 0u);
        EXPECT_GE(tb_GetTime() - before, c.saveRan ? 500u : 0u);  // the pressed button stays in sight
        EXPECT_EQ(desktop().currentCursor(), kCurArrow);
        EXPECT_FALSE(closed());
    }
}

TEST_F(CommandTest, PreferencesChangeAndAreWrittenOnlyOnOk) {
    const Point printUpper{329, 110}, soundLower{84, 187}, ok{308, 253}, cancel{345, 253}, escape{-1, -1};
    for (Point end : {cancel, escape, ok}) {
        shell::Prefs() = shell::Preferences{}, shell::SavePreferences();
        desktop().answerDialog([&](NativeWindow d) {
            for (Point p : {printUpper, soundLower}) desktop().click(p.x, p.y, d);
            end.x < 0 ? desktop().typeKey(platform::kVkEscape, d) : desktop().click(end.x, end.y, d);
        });
        scene::RunCommand(scene::kCommandPreferences);
        const bool accepted = end.x == ok.x;
        EXPECT_TRUE(shell::Prefs().printOption != accepted && shell::Prefs().soundOn != accepted) << end.x;
        EXPECT_EQ(tb_GetSoundSwitch() != 0, !accepted);
        EXPECT_EQ(FileBytes(prefsPath()), std::string(accepted ? "\0\0\0\0\1\0\0\0\1\0\0\0\0\0\0\0"
                                                               : "\1\0\0\0\1\0\0\0\1\0\0\0\1\0\0\0", 16));
    }
}

}  // namespace
