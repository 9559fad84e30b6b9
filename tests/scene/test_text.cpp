// The text dialog and the text tool, headless.
#include <gtest/gtest.h>

#include "dialogs/dialogs.h"
#include "tests/support/room_fixture.h"

using platform::NativeWindow;

namespace {

constexpr Point kBold{280, 218}, kSize10{397, 185}, kSize80{397, 253}, kOk{393, 307}, kCancel{430, 307};

class TextTest : public RoomTest {
protected:
    // The text dialog with `text` typed and the clicks (dialog points), ended by a click at `end`
    // or, when it is outside the dialog, by Escape. Notes the font list, the font chosen, and
    // the sample's middle row as bytes.
    int dialog(const std::string& text, std::vector<Point> clicks, Point end) {
        desktop().answerDialog([=, this](NativeWindow d) {
            list_.clear();
            for (int i = 0; !desktop().listGetText(d, 1001, i).empty(); ++i)
                list_.push_back(desktop().listGetText(d, 1001, i));
            selected_ = desktop().listGetText(d, 1001, desktop().listGetSelection(d, 1001));
            desktop().editSetText(d, 1000, text);
            for (Point p : clicks) desktop().click(p.x, p.y, d);
            desktop().then([=, this] {
                const char* row = reinterpret_cast<const char*>(RowPointer(desktop().backingStore(d), 120));
                sample_ = std::string(row + 231 * 3, 211 * 3);
            });
            end.x < 0 ? desktop().typeKey(platform::kVkEscape, d) : desktop().click(end.x, end.y, d);
        });
        return dialogs::TextSettingsDialog();
    }
    std::vector<std::string> list_;
    std::string selected_, sample_;
};

TEST_F(TextTest, OkTakesTheChoicesCancelAndEscapeKeepTheOldOnes) {
    const std::string typed = "Åsa Зоя 小明";
    for (const auto& [end, result] : {std::pair{kCancel, -1}, std::pair{Point{-1, -1}, 0}, std::pair{kOk, 1}}) {
        dialogs::InitTextTool();
        EXPECT_EQ(dialog(typed, {kBold, kSize80}, end), result);
        EXPECT_EQ(dialogs::Text().text, result == 1 ? typed : "Type your text in here.");
        EXPECT_EQ(dialogs::Text().style + dialogs::Text().sizeIndex, result == 1 ? 1 + 4 : 0 + 2);
        EXPECT_TRUE(std::is_sorted(list_.begin(), list_.end()) && !list_.empty());
        for (const char* alias : {"Sans", "Serif", "Monospace", "sans-serif"})
            EXPECT_EQ(std::count(list_.begin(), list_.end(), alias), 0);
        EXPECT_EQ(selected_, "Arial");
    }
    // The sample shows each choice; a line longer than 255 bytes is cut between characters.
    const std::string before = sample_;
    dialog("", {kSize10}, kOk);
    EXPECT_NE(sample_, before);
    dialog(std::string(254, 'x') + "é", {}, kOk);
    EXPECT_EQ(dialogs::Text().text, std::string(254, 'x'));
    const std::string family(40, 'F');  // a cut name would not be found in the list at the next opening
    desktop().answerDialog([&](NativeWindow d) {
        desktop().listAddString(d, 1001, family), desktop().listSetSelection(d, 1001, desktop().listFindExact(d, 1001, family));
        desktop().postCommand(1001, d), desktop().click(kOk.x, kOk.y, d);  // the choice told, then OK
    });
    EXPECT_TRUE(dialogs::TextSettingsDialog() == 1 && dialogs::Text().face == family);
}

TEST_F(TextTest, ThePreviewStaysInTheWindowTheStampLandsOnThePointAndUndoTakesItAway) {
    dialogs::Text().text = "Hi";
    dialogs::PreviewText(400, 300);
    int rows = 0;
    for (int y = 16; y < 504; ++y) {
        bool red = false;
        for (int x = 300; x < 500 && !red; ++x) red = shown(Point{x, y}).r > 200 && shown(Point{x, y}).g < 80;
        rows += red;
    }
    EXPECT_NEAR(rows, 29, 6) << "preview height";
    EXPECT_EQ(countCanvas(kRed), 0);
    scene::Present();
    scene::SaveUndo();
    dialogs::StampText(300, 200);
    Rect box{10000, 10000, -1, -1};  // around the red pixels
    for (int y = 0; y < 488; ++y)
        for (int x = 0; x < 634; ++x)
            if (canvasAt(x, y) == kRed)
                box = Rect{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), y + 1};
    EXPECT_NEAR((box.left + box.right) / 2, 300, 2);
    EXPECT_NEAR(box.bottom, 200, 12);  // the cell's bottom: the letters stand a descent above it
    EXPECT_GT(box.height(), 20);
    scene::RestoreUndo();
    EXPECT_EQ(countCanvas(kRed), 0);
    // Dropped outside the canvas: nothing drawn, and the preview leaves the window.
    room().placingText = true;
    moveTo(Point{400, 300});
    desktop().click(60, 560);
    pump();
    EXPECT_FALSE(room().placingText);
    EXPECT_EQ(countCanvas(kRed), 0);
    EXPECT_EQ(shown(Point{400, 290}), kWhite);
}

}  // namespace
