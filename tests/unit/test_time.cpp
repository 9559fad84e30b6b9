// The clock and the waits on the headless desktop, whose clock moves only when the program sleeps
// or waits for messages.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "tests/support/headless_fixture.h"

using platform::Plat;

namespace {

int gDispatched = 0;
long CountingProc(platform::Message& msg) {
    ++gDispatched;
    return Plat().defWindowProc(msg);
}

class Clock : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_RegisterWindowClass(CountingProc, 375);
        tb_Init();
    }
    // Moves the desktop's clock forward to `target`, wrapping through 2^32 if need be.
    static void setClock(uint32_t target) {
        for (uint32_t left = target - Plat().tickCount(); left > 0;) {
            const uint32_t step = left > 0x40000000u ? 0x40000000u : left;
            Plat().sleep(static_cast<int>(step));
            left -= step;
        }
        ASSERT_EQ(tb_GetTime(), target);
    }
};

// From `start`, with the clock at `now`, a wait of `ms` ends at `end`.
TEST_F(Clock, WaitsLastExactlyTheirTimeFromTheGivenStartEvenAcrossTheWrap) {
    const std::tuple<uint32_t, uint32_t, int, uint32_t> cases[] = {
        {5000, 5000, 0, 5000},
        {5000, 5000, -20, 5000},
        {0xFFFFFF9Cu, 0xFFFFFF9Cu, 500, 400},  // 100 ms before the wrap
        {1000, 1010, 30, 1030},                // part of the frame has passed already
        {1000, 1030, 30, 1030},                // exactly all of it
        {0xFFFFFFF0u, 0xFFFFFFFAu, 30, 14},    // the frame straddles the wrap
        {0xFFFFFFF0u, 20, 30, 20},             // the wrap came and went; 36 ms have passed
    };
    for (auto [start, now, ms, end] : cases) {
        setClock(now);
        start == now ? tb_Wait(ms) : tb_WaitSince(start, ms);
        EXPECT_EQ(tb_GetTime(), end) << "wait " << ms << " from " << start << " at " << now;
    }
}

TEST_F(Clock, WaitDeliversNoMessagesAndLeavesThemQueued) {
    Rect r{0, 0, 200, 100};
    ASSERT_EQ(tb_OpenWindow(&r, "w"), kFirstWindowHandle);
    gDispatched = 0;
    desktop().click(20, 30);
    tb_SetTimer(tb_GetWindowHandle(kFirstWindowHandle), 1, 100);  // due in the middle of the wait
    tb_Wait(500);
    EXPECT_EQ(gDispatched, 0);
    platform::Message msg;  // the click is still there, first in line
    ASSERT_TRUE(Plat().peekMessage(msg));
    EXPECT_EQ(msg.kind, platform::MsgKind::LButtonDown);
    EXPECT_EQ(msg.x, 20);
    EXPECT_EQ(gDispatched, 0);
}

}  // namespace
