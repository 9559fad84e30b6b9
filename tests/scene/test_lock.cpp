// The parent lock, headless: the grown-up check and what it guards.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/dialogs.h"
#include "resources/resource_ids.h"
#include "tests/support/room_fixture.h"

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
    std::vector<int> sums_;
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

}  // namespace
