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
// Idle: when nothing plays the device is paused (at a stop, or as soon as a one-shot's known
// length has passed), and after `closeWhenIdle` of silence it is closed, because a paused SDL
// device still runs its thread feeding silence to the sound server. The next sound opens it
// again. A small thread of our own that sleeps until the next of these moments does both, so
// the program idles without waking up.
//
// A loop at another rate than the device's is converted as one turn of an endless repetition,
// so that the resampler leaves no ramp where its end meets its start.
//
// Only this header's source file includes SDL.
#pragma once

#include <chrono>
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
    bool looping() const { return clip_ != nullptr && loop_; }
    // Bytes of the clip still to come before it ends; 0 when nothing plays.
    size_t left() const { return playing() ? clip_->size() - position_ : 0; }
    // Fills `out` with what plays next, then `silence` bytes.
    void mix(uint8_t* out, size_t length, uint8_t silence);

private:
    Clip clip_;
    size_t position_ = 0;
    bool loop_ = false;
};

struct AudioFormat {
    int rate = 0;      // frames per second
    int channels = 0;  // 0 when no device could be opened
};

class SdlAudio {
public:
    enum class DeviceState { Closed, Paused, Running };

    explicit SdlAudio(std::chrono::milliseconds closeWhenIdle = std::chrono::seconds(5));
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
    // The format of the device, kept while it is closed for being idle.
    AudioFormat format();
    // What SDL says of the device (SDL_GetAudioDeviceStatus); Closed when none is open.
    DeviceState deviceState();

private:
    struct Device;
    std::unique_ptr<Device> device_;
};

}  // namespace platform
