// The millisecond clock, waits and timers. Waits sleep on the desktop's clock instead of
// spinning, and never look at the message queue: whatever arrives meanwhile waits its turn.
#include "toolbox/toolbox.h"

using platform::Plat;

uint32_t tb_GetTime() { return Plat().tickCount(); }

void tb_WaitSince(uint32_t start, int ms) {
    if (ms <= 0) return;
    const uint32_t wanted = static_cast<uint32_t>(ms);
    for (;;) {
        // Unsigned difference: correct across the clock's wrap at 2^32.
        uint32_t elapsed = Plat().tickCount() - start;
        if (elapsed >= wanted) return;
        Plat().sleep(static_cast<int>(wanted - elapsed));
    }
}

void tb_Wait(int ms) { tb_WaitSince(Plat().tickCount(), ms); }

void tb_SetTimer(platform::NativeWindow window, int timerId, int periodMs) {
    Plat().setTimer(window, timerId, periodMs);
}

void tb_KillTimer(platform::NativeWindow window, int timerId) { Plat().killTimer(window, timerId); }
