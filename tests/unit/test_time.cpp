// The clock, the waits and the timers on the headless desktop, whose clock moves only when the
// program sleeps or waits for messages.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/support/headless_fixture.h"

using platform::Message;
using platform::MsgKind;
using platform::Plat;

namespace {

int gDispatched = 0;
long CountingProc(Message& msg) {
    ++gDispatched;
    return Plat().defWindowProc(msg);
}

class Clock : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        gDispatched = 0;
        tb_RegisterWindowClass(CountingProc, 375);
        tb_Init();
    }
    // Moves the desktop's clock to `target` (forward, wrapping through 2^32 if need be).
    void setClock(uint32_t target) {
        uint32_t distance = target - Plat().tickCount();
        while (distance > 0) {
            uint32_t step = distance > 0x40000000u ? 0x40000000u : distance;
            Plat().sleep(static_cast<int>(step));
            distance -= step;
        }
        ASSERT_EQ(Plat().tickCount(), target);
    }
};

}  // namespace

TEST_F(Clock, WaitReturnsAfterExactlyThatLongEvenAcrossTheWrap) {
    struct Case {
        uint32_t start;
        int ms;
        uint32_t end;
    };
    const Case cases[] = {
        {5000, 500, 5500},
        {5000, 1, 5001},
        {5000, 0, 5000},
        {5000, -20, 5000},
        {0xFFFFFF9Cu, 500, 400},  // 100 ms before the wrap
        {0xFFFFFFFFu, 1, 0},
    };
    for (const Case& c : cases) {
        setClock(c.start);
        EXPECT_EQ(tb_GetTime(), c.start);
        tb_Wait(c.ms);
        EXPECT_EQ(tb_GetTime(), c.end) << "wait " << c.ms << " from " << c.start;
    }
}

TEST_F(Clock, WaitSinceCountsFromTheGivenStart) {
    struct Case {
        uint32_t start;
        uint32_t now;
        int ms;
        uint32_t end;
    };
    const Case cases[] = {
        {1000, 1010, 30, 1030},                // part of the frame has passed already
        {1000, 1030, 30, 1030},                // exactly all of it
        {1000, 1045, 30, 1045},                // more than all: no wait
        {0xFFFFFFF0u, 0xFFFFFFFAu, 30, 14},    // the frame straddles the wrap
        {0xFFFFFFF0u, 20, 30, 20},             // the wrap came and went; 36 ms have passed
    };
    for (const Case& c : cases) {
        setClock(c.now);
        tb_WaitSince(c.start, c.ms);
        EXPECT_EQ(tb_GetTime(), c.end) << "from " << c.start << " at " << c.now;
    }
}

TEST_F(Clock, WaitDeliversNoMessagesAndLeavesThemQueued) {
    Rect r{0, 0, 200, 100};
    int window = tb_OpenWindow(&r, "w");
    ASSERT_EQ(window, kFirstWindowHandle);
    platform::NativeWindow native = tb_GetWindowHandle(window);
    gDispatched = 0;

    desktop().click(20, 30);
    tb_SetTimer(native, 1, 100);  // due in the middle of the wait
    tb_Wait(500);
    EXPECT_EQ(gDispatched, 0);

    // The click is still there, first in line.
    Message msg;
    ASSERT_TRUE(Plat().peekMessage(msg));
    EXPECT_EQ(msg.kind, MsgKind::LButtonDown);
    EXPECT_EQ(msg.x, 20);
    EXPECT_EQ(gDispatched, 0);
}
