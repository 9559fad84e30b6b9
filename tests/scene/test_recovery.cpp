// The recovery copy: an unsaved picture outlives a logout, a lost display or a killed program.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/recovery.h"
#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;

using RecoveryTest = FolderTest;
// The fixture gives each test a state folder of its own.
static fs::path copyPath() { return fs::path(std::getenv("XDG_STATE_HOME")) / "pictoria/picture.bmp"; }

TEST_F(RecoveryTest, APauseAfterPaintingWritesTheCopyAndQuitRemovesIt) {
    // A click for the loop to run: the copy is due a pause after it, before Quit asks.
    desktop().click(W(10, 10).x, W(10, 10).y);
    desktop().improvise({.messageBox = [&](const std::string&, platform::MsgBoxStyle) {
        EXPECT_TRUE(fs::exists(copyPath())) << "no copy before Quit's question";
        return platform::MsgBoxResult::No;
    }});
    EXPECT_EQ(shell::RunMessageLoop(), 0);
    EXPECT_FALSE(fs::exists(copyPath()));
}

TEST_F(RecoveryTest, TheEndOfTheSessionKeepsThePictureForTheNextStartTillGivenUp) {
    shell::Shell().pictureFileName = "/somewhere/boat.bmp";
    clickAt(W(10, 10));
    desktop().endSession();
    EXPECT_EQ(shell::RunMessageLoop(), 0);
    EXPECT_TRUE(desktop().messageBoxes().empty()) << "nothing is asked";
    start();
    EXPECT_NE(canvasAt(10, 10), kWhite);
    EXPECT_TRUE(room().modified);
    EXPECT_EQ(shell::Shell().pictureFileName, "/somewhere/boat.bmp");
    // Given up at Open, the copy goes at once, not kept by the next end of a session.
    desktop().answerMessageBox(platform::MsgBoxResult::No);
    desktop().postCommand(shell::kCmdOpen);
    desktop().endSession();
    EXPECT_EQ(shell::RunMessageLoop(), 0);
    EXPECT_FALSE(fs::exists(copyPath()));
}

TEST_F(RecoveryTest, ALostDisplayWritesAtOnceAndASpoiledCopyIsSetAsideNotRestored) {
    clickAt(W(10, 10));
    desktop().loseDisplay();
    std::string bytes = FileBytes(copyPath());
    bytes.at(bytes.size() / 2) ^= 1;  // throws, and fails, when the display went without a copy
    std::ofstream(copyPath(), std::ios::binary) << bytes;
    start();
    EXPECT_FALSE(room().modified);
    const fs::path aside = fs::directory_iterator(copyPath().parent_path())->path();
    EXPECT_EQ(aside.filename().string().rfind("spoiled-", 0), 0u) << aside;
    EXPECT_EQ(FileBytes(aside), bytes);
}
