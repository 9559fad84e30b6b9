// Sound effects and the sound switch. The desktop's player decides what "already playing"
// means; the toolbox only chooses the mode and honours the switch.
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

using platform::Plat;
using platform::SoundMode;

namespace toolbox {
namespace {

struct SoundState {
    bool on = true;
};

SoundState gSound;

}  // namespace

void ResetSound() { gSound = SoundState{}; }

}  // namespace toolbox

void tb_PlaySound(int soundId) {
    if (soundId <= 0 || !toolbox::gSound.on) return;
    Plat().playSound(soundId, SoundMode::NoInterrupt);
}

void tb_PlaySoundNow(int soundId) {
    if (soundId <= 0 || !toolbox::gSound.on) return;
    Plat().playSound(soundId, SoundMode::Interrupt);
}

// Unlike the other two, the loop request refuses no id; the player ignores one that names no
// sound.
void tb_PlaySoundLoop(int soundId) {
    if (!toolbox::gSound.on) return;
    Plat().playSound(soundId, SoundMode::Loop);
}

// Also while the switch is off: a loop started before the child switched sound off must end.
void tb_StopSound() { Plat().stopSound(); }

void tb_Beep() {
    if (!toolbox::gSound.on) return;
    Plat().beep();
}

void tb_SetSoundSwitch(int on) { toolbox::gSound.on = on != 0; }

int tb_GetSoundSwitch() { return toolbox::gSound.on ? 1 : 0; }
