// The recovery copy: an unsaved picture outlives a logout, a lost display or a killed program.
#include <gtest/gtest.h>

#include "app/recovery.h"
#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;
using platform::MsgBoxResult;

namespace {

class RecoveryTest : public FolderTest {
protected:
    std::string copyPath() const { return configHome_ + "/state/pictoria/picture.bmp"; }
    static std::string canvasBytes() {
        const PixelView v = tb_PeekBitmapPixels(room().canvas);
        return std::string(reinterpret_cast<const char*>(v.bits), size_t(v.stride) * size_t(v.height));
    }
    // The pixels end the copy's file.
    std::string copiedPixels() const {
        const std::string bytes = FileBytes(copyPath()), canvas = canvasBytes();
        return bytes.size() < canvas.size() ? std::string() : bytes.substr(bytes.size() - canvas.size());
    }
    // A stroke for the loop to run, as the desktop would deliver it.
    void strokeLater() {
        const Point a = W(10, 10), b = W(200, 150);
        desktop().moveTo(a.x, a.y), desktop().press(a.x, a.y), desktop().moveTo(b.x, b.y), desktop().release(b.x, b.y);
    }
    int run() { return shell::RunMessageLoop(); }
};

}  // namespace

TEST_F(RecoveryTest, APauseAfterPaintingWritesTheCopyAndQuitOrSaveRemovesIt) {
    // The copy is checked at Quit's question, which comes only once the input has run out and
    // the loop has waited past the pause.
    struct Case { const char* how; MsgBoxResult answer; bool save; };
    for (const Case& c : {Case{"No", MsgBoxResult::No, false}, Case{"Yes, saved", MsgBoxResult::Yes, true},
                          Case{"Yes, Save As cancelled", MsgBoxResult::Yes, false}}) {
        start();
        strokeLater();
        if (c.save) desktop().answerFileDialog({true, (home_ / "Gallery" / "a.bmp").string(), 0});
        const uint32_t before = desktop().tickCount();
        desktop().improvise({.messageBox = [&](const std::string&, platform::MsgBoxStyle) {
            EXPECT_GE(desktop().tickCount() - before, uint32_t(recovery::kPauseMs)) << c.how;
            EXPECT_EQ(copiedPixels(), canvasBytes()) << c.how;
            return c.answer;
        }});
        EXPECT_EQ(run(), 0);
        EXPECT_FALSE(fs::exists(copyPath())) << c.how;
    }
}

TEST_F(RecoveryTest, TheEndOfTheSessionKeepsThePictureForTheNextStartTillSavedOrGivenUp) {
    // After the restart the copy goes with a save or a No, not with the next end of a session.
    struct Case { int command; MsgBoxResult answer; std::string saveTo; };
    for (const Case& c : {Case{shell::kCmdOpen, MsgBoxResult::No, ""},
                          Case{shell::kCmdSave, MsgBoxResult::Ok, "b.bmp"}}) {
        fs::remove_all(configHome_ + "/state");
        start();
        std::string painted;
        desktop().then([] { shell::Shell().pictureFileName = "/somewhere/boat.bmp"; });
        strokeLater();
        desktop().then([&] { painted = canvasBytes(); });
        desktop().endSession();
        EXPECT_EQ(run(), 0);
        EXPECT_TRUE(desktop().messageBoxes().empty()) << "nothing is asked";
        ASSERT_TRUE(fs::exists(copyPath()));
        start();
        EXPECT_EQ(canvasBytes(), painted);
        EXPECT_TRUE(room().modified);
        EXPECT_EQ(shell::Shell().pictureFileName, "/somewhere/boat.bmp");
        desktop().answerMessageBox(c.answer);
        if (!c.saveTo.empty()) desktop().answerFileDialog({true, (home_ / c.saveTo).string(), 0});
        desktop().postCommand(c.command);
        desktop().endSession();
        EXPECT_EQ(run(), 0);
        EXPECT_FALSE(fs::exists(copyPath())) << c.command;
    }
}

TEST_F(RecoveryTest, ALostDisplayWritesAtOnceAndASpoiledCopyIsSetAsideNotRestored) {
    strokeLater();
    desktop().then([&] {
        desktop().loseDisplay();
        EXPECT_EQ(copiedPixels(), canvasBytes());
    });
    desktop().endSession();
    run();
    std::string bytes = FileBytes(copyPath());
    bytes[bytes.size() / 2] ^= 1;
    std::ofstream(copyPath(), std::ios::binary) << bytes;
    start();
    EXPECT_FALSE(room().modified);
    EXPECT_EQ(canvasAt(100, 80), kWhite);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(fs::path(copyPath()).parent_path()))
        left.push_back(entry.path().filename().string());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].rfind("spoiled-", 0), 0u) << left[0];
    EXPECT_EQ(FileBytes(fs::path(copyPath()).parent_path() / left[0]), bytes);
}
