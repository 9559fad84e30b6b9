// The sound effect player: WAVE sounds through SDL's audio subsystem (nothing else of SDL).
//
// One sound plays at a time, mixed in SDL's audio callback on SDL's own thread; the calls below
// come from the program's one thread and hand over under the device's lock. The modes are those
// of SoundMode: NoInterrupt starts only when nothing plays, Interrupt replaces, Loop replaces and
// repeats without a gap until stopped.
//
// The device is opened at the first request. Without a sound device (or when SDL's audio cannot
// start) every call does nothing, quietly. A sound that cannot be played (no such resource, a
// malformed WAVE) is ignored and leaves the playing sound alone.
//
// Only this header's source file includes SDL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/platform.h"

namespace platform {

// The samples of a WAVE file: 16-bit PCM, interleaved frames of `channels` samples.
struct WaveSound {
    int channels = 0;
    int rate = 0;
    std::vector<int16_t> samples;
};

// Reads a RIFF WAVE file of 16-bit PCM, mono or stereo, 8000 to 192000 frames per second.
// Every chunk is checked against the bytes given; a trailing partial frame is dropped. False
// (and `out` untouched) for anything else, including a file without a single frame.
bool ParseWave(const uint8_t* bytes, size_t size, WaveSound& out);

// The one-sound mixer inside the player, in the device's own sample format. It does no locking
// and never frees a clip, so the audio callback may call mix() under the device's lock; the
// clips it lets go are handed back to be freed on the caller's thread.
class SoundMixer {
public:
    using Clip = std::shared_ptr<const std::vector<uint8_t>>;

    // Starts `clip` as `mode` says. Returns the clip no longer needed: the one replaced, or
    // `clip` itself when it was refused (empty, or NoInterrupt while something plays).
    Clip start(Clip clip, SoundMode mode);
    Clip stop();  // returns the clip that was playing
    bool playing() const;
    // Fills `out` with what plays next, then `silence` bytes.
    void mix(uint8_t* out, size_t length, uint8_t silence);

private:
    Clip clip_;
    size_t position_ = 0;
    bool loop_ = false;
};

struct AudioFormat {
    int rate = 0;      // frames per second
    int channels = 0;  // 0 when no device is open
};

class SdlAudio {
public:
    SdlAudio();
    ~SdlAudio();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // The WAVE resource `soundId`.
    void play(int soundId, SoundMode mode);
    // A WAVE file given as bytes; they are converted at once and need not outlive the call.
    void playWave(const uint8_t* bytes, size_t size, SoundMode mode);
    void stop();
    bool isPlaying();

    // Opens the device now rather than at the first sound; true when one plays.
    bool open();
    AudioFormat format();

private:
    struct Device;
    std::unique_ptr<Device> device_;
};

}  // namespace platform
