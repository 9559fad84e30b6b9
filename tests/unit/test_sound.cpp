// The toolbox's sound rules as the desktop sees them: which requests reach the player, in which
// mode, and what the sound switch silences.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/support/headless_fixture.h"

using platform::RecordedSound;
using platform::SoundMode;

namespace {

class SoundRules : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_Init();
    }
};

RecordedSound Play(int id, SoundMode mode) { return RecordedSound{id, mode, false}; }
RecordedSound Stop() { return RecordedSound{0, SoundMode::NoInterrupt, true}; }

bool Same(const std::vector<RecordedSound>& a, const std::vector<RecordedSound>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].stop != b[i].stop) return false;
        if (!a[i].stop && (a[i].soundId != b[i].soundId || a[i].mode != b[i].mode)) return false;
    }
    return true;
}

}  // namespace

TEST_F(SoundRules, EachCallReachesThePlayerInItsModeOrNotAtAll) {
    struct Case {
        const char* what;
        int switchOn;
        std::function<void()> call;
        std::vector<RecordedSound> expected;
        int beeps;
    };
    const Case cases[] = {
        {"play", 1, [] { tb_PlaySound(1015); }, {Play(1015, SoundMode::NoInterrupt)}, 0},
        {"play now", 1, [] { tb_PlaySoundNow(1020); }, {Play(1020, SoundMode::Interrupt)}, 0},
        {"loop", 1, [] { tb_PlaySoundLoop(1001); }, {Play(1001, SoundMode::Loop)}, 0},
        {"stop", 1, [] { tb_StopSound(); }, {Stop()}, 0},
        {"beep", 1, [] { tb_Beep(); }, {}, 1},
        {"play id 0", 1, [] { tb_PlaySound(0); }, {}, 0},
        {"play a negative id", 1, [] { tb_PlaySound(-1015); }, {}, 0},
        {"play now id 0", 1, [] { tb_PlaySoundNow(0); }, {}, 0},
        {"play now a negative id", 1, [] { tb_PlaySoundNow(-1); }, {}, 0},
        // The loop request refuses no id; what an id without a sound does is the player's affair.
        {"loop id 0", 1, [] { tb_PlaySoundLoop(0); }, {Play(0, SoundMode::Loop)}, 0},
        {"play while off", 0, [] { tb_PlaySound(1015); }, {}, 0},
        {"play now while off", 0, [] { tb_PlaySoundNow(1020); }, {}, 0},
        {"loop while off", 0, [] { tb_PlaySoundLoop(1001); }, {}, 0},
        {"beep while off", 0, [] { tb_Beep(); }, {}, 0},
        {"stop while off", 0, [] { tb_StopSound(); }, {Stop()}, 0},
    };
    for (const Case& c : cases) {
        desktop().clearRecords();
        tb_SetSoundSwitch(c.switchOn);
        c.call();
        EXPECT_TRUE(Same(desktop().sounds(), c.expected)) << c.what;
        EXPECT_EQ(desktop().beeps(), c.beeps) << c.what;
    }
}

TEST_F(SoundRules, SwitchingOffMidLoopStillLetsTheLoopBeStopped) {
    tb_PlaySoundLoop(1004);
    tb_SetSoundSwitch(0);
    tb_PlaySoundLoop(1005);
    tb_StopSound();
    tb_SetSoundSwitch(1);
    tb_PlaySound(1034);
    EXPECT_TRUE(Same(desktop().sounds(),
                     {Play(1004, SoundMode::Loop), Stop(), Play(1034, SoundMode::NoInterrupt)}));
}

TEST_F(SoundRules, TheSwitchIsOnAtStartAndAnyNonZeroTurnsItOn) {
    EXPECT_EQ(tb_GetSoundSwitch(), 1);
    struct Case {
        int given;
        int expected;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {2, 1}, {-1, 1}, {0, 0}};
    for (const Case& c : cases) {
        tb_SetSoundSwitch(c.given);
        EXPECT_EQ(tb_GetSoundSwitch(), c.expected) << c.given;
    }
    tb_SetSoundSwitch(0);
    tb_Init();
    EXPECT_EQ(tb_GetSoundSwitch(), 1) << "tb_Init turns sound back on";
}
