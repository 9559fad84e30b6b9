// WAVE parsing, the one-sound mixer and the SDL device behind SdlAudio.
#include "platform/audio_sdl.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <numeric>
#include <optional>
#include <thread>
#include <utility>

#include "resources/resources.h"

namespace platform {
namespace {

constexpr int kMinRate = 8000;
constexpr int kMaxRate = 192000;
// Larger sounds than this are refused rather than converted: the program's effects are short.
constexpr size_t kMaxDataBytes = size_t{32} << 20;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
bool IsTag(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

struct Chunk {
    const uint8_t* body = nullptr;
    size_t size = 0;
};

// Finds the first "fmt " and "data" chunks inside the RIFF body; false when a chunk claims
// more bytes than there are.
bool FindChunks(const uint8_t* bytes, size_t end, Chunk& fmt, Chunk& data) {
    size_t pos = 12;
    while (end - pos >= 8) {
        const uint8_t* header = bytes + pos;
        size_t size = Le32(header + 4);
        size_t body = pos + 8;
        if (size > end - body) return false;
        if (IsTag(header, "fmt ") && fmt.body == nullptr) fmt = Chunk{bytes + body, size};
        if (IsTag(header, "data") && data.body == nullptr) data = Chunk{bytes + body, size};
        // Chunks are padded to an even length; a missing pad byte at the very end is harmless.
        pos = body + size + (size & 1);
        if (pos > end) break;
    }
    return fmt.body != nullptr && data.body != nullptr;
}

}  // namespace

bool ParseWave(const uint8_t* bytes, size_t size, WaveSound& out) {
    if (bytes == nullptr || size < 12) return false;
    if (!IsTag(bytes, "RIFF") || !IsTag(bytes + 8, "WAVE")) return false;
    size_t riffSize = Le32(bytes + 4);
    if (riffSize < 4 || riffSize > size - 8) return false;

    Chunk fmt, data;
    if (!FindChunks(bytes, riffSize + 8, fmt, data)) return false;
    if (fmt.size < 16) return false;
    const int formatTag = Le16(fmt.body);
    const int channels = Le16(fmt.body + 2);
    const uint32_t rate = Le32(fmt.body + 4);
    const int blockAlign = Le16(fmt.body + 12);
    const int bits = Le16(fmt.body + 14);
    if (formatTag != 1 || bits != 16 || (channels != 1 && channels != 2)) return false;
    if (blockAlign != channels * 2 || rate < kMinRate || rate > kMaxRate) return false;

    size_t frames = data.size / static_cast<size_t>(blockAlign);
    if (frames == 0 || data.size > kMaxDataBytes) return false;

    WaveSound sound;
    sound.channels = channels;
    sound.rate = static_cast<int>(rate);
    sound.samples.resize(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        sound.samples[i] = static_cast<int16_t>(Le16(data.body + 2 * i));
    }
    out = std::move(sound);
    return true;
}

// ---- Mixer ---------------------------------------------------------------------------------

SoundMixer::Clip SoundMixer::start(Clip clip, SoundMode mode) {
    if (clip == nullptr || clip->empty()) return clip;
    if (mode == SoundMode::NoInterrupt && playing()) return clip;
    Clip previous = std::move(clip_);
    clip_ = std::move(clip);
    position_ = 0;
    loop_ = mode == SoundMode::Loop;
    return previous;
}

SoundMixer::Clip SoundMixer::stop() {
    position_ = 0;
    loop_ = false;
    return std::move(clip_);
}

bool SoundMixer::playing() const { return clip_ != nullptr && position_ < clip_->size(); }

void SoundMixer::mix(uint8_t* out, size_t length, uint8_t silence) {
    size_t done = 0;
    while (done < length && playing()) {
        size_t n = std::min(length - done, clip_->size() - position_);
        std::memcpy(out + done, clip_->data() + position_, n);
        done += n;
        position_ += n;
        if (position_ == clip_->size() && loop_) position_ = 0;
    }
    // A finished clip stays referenced (position at its end) so that it is freed by the
    // program's thread at the next start or stop, never here.
    std::memset(out + done, silence, length - done);
}

// ---- Device ----------------------------------------------------------------------------------

namespace {

// Spreads or folds the channels to what the device wants. Done here rather than by SDL, whose
// channel conversion goes through floating point and does not give the samples back unchanged.
std::vector<int16_t> MapChannels(const WaveSound& sound, int wanted) {
    const size_t frames = sound.samples.size() / static_cast<size_t>(sound.channels);
    std::vector<int16_t> out(frames * static_cast<size_t>(wanted), 0);
    for (size_t f = 0; f < frames; ++f) {
        const int16_t* in = &sound.samples[f * static_cast<size_t>(sound.channels)];
        int16_t* to = &out[f * static_cast<size_t>(wanted)];
        if (sound.channels == 1) {
            std::fill(to, to + std::min(wanted, 2), in[0]);
        } else if (wanted == 1) {
            to[0] = static_cast<int16_t>((in[0] + in[1]) / 2);
        } else {
            to[0] = in[0];
            to[1] = in[1];
        }
    }
    return out;
}

// How many frames of a loop's own end to put before it (and of its start after it) when it is
// resampled from `from` to `to` frames per second: enough for the resampler's filter, and a
// whole number of steps of the two rates' ratio, so that the kept part starts on an output
// frame.
size_t LoopContext(int from, int to) {
    const auto step = static_cast<size_t>(from / std::gcd(from, to));
    constexpr size_t kAtLeast = 64;
    if (step > 4096) return 256;  // rates without a short common step: nearly aligned is enough
    return (kAtLeast + step - 1) / step * step;
}

// The sound in the device's format; null when SDL cannot convert it. SDL_AudioCVT converts
// the whole sound in one go (SDL_AudioStream's flush loses the last resampled block). It treats
// what lies beyond the sound as silence, which is right for a one-shot but leaves a dip where a
// loop's end meets its start; a loop (`looped`) is therefore converted between copies of its
// own end and start, and only its own stretch is kept.
SoundMixer::Clip Convert(const WaveSound& sound, const SDL_AudioSpec& deviceFormat, bool looped) {
    std::vector<int16_t> mapped = MapChannels(sound, deviceFormat.channels);
    const auto channels = static_cast<size_t>(deviceFormat.channels);
    const size_t frames = mapped.size() / channels;
    const size_t lead = looped && sound.rate != deviceFormat.freq ? LoopContext(sound.rate, deviceFormat.freq) : 0;
    if (lead != 0) {
        std::vector<int16_t> wrapped((frames + 2 * lead) * channels);
        for (size_t f = 0; f < frames + 2 * lead; ++f) {
            const size_t from = (f % frames + frames - lead % frames) % frames;
            std::copy_n(&mapped[from * channels], channels, &wrapped[f * channels]);
        }
        mapped.swap(wrapped);
    }
    const size_t inBytes = mapped.size() * sizeof(int16_t);
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, AUDIO_S16SYS, deviceFormat.channels, sound.rate, deviceFormat.format, deviceFormat.channels, deviceFormat.freq) < 0) {
        return nullptr;
    }
    if (inBytes > static_cast<size_t>(INT_MAX / std::max(1, cvt.len_mult))) return nullptr;
    std::vector<uint8_t> out(inBytes * static_cast<size_t>(std::max(1, cvt.len_mult)));
    std::memcpy(out.data(), mapped.data(), inBytes);
    cvt.buf = out.data();
    cvt.len = static_cast<int>(inBytes);
    if (cvt.needed != 0 && SDL_ConvertAudio(&cvt) != 0) return nullptr;
    const size_t frameBytes = static_cast<size_t>(SDL_AUDIO_BITSIZE(deviceFormat.format) / 8 * deviceFormat.channels);
    size_t kept = cvt.needed != 0 ? static_cast<size_t>(std::max(0, cvt.len_cvt)) : inBytes;
    out.resize(kept - kept % frameBytes);
    if (lead != 0) {
        const double ratio = static_cast<double>(deviceFormat.freq) / sound.rate;
        const auto skip = static_cast<size_t>(std::llround(static_cast<double>(lead) * ratio)) * frameBytes;
        const auto length = static_cast<size_t>(std::llround(static_cast<double>(frames) * ratio)) * frameBytes;
        if (length == 0 || skip + length > out.size()) return nullptr;
        out = std::vector<uint8_t>(out.begin() + static_cast<long>(skip), out.begin() + static_cast<long>(skip + length));
    }
    if (out.empty()) return nullptr;
    return std::make_shared<const std::vector<uint8_t>>(std::move(out));
}

using Clock = std::chrono::steady_clock;

}  // namespace

// The device and the watcher thread. Lock order: `control`, then SDL's device lock; the audio
// callback takes only SDL's device lock (around the mixer).
struct SdlAudio::Device {
    explicit Device(std::chrono::milliseconds idle) : closeWhenIdle(idle) {}

    const std::chrono::milliseconds closeWhenIdle;
    // A one-shot's end is looked at this long after it is due: the callback runs a little ahead
    // of the sound, so by then the mixer has let it go.
    static constexpr std::chrono::milliseconds kEndMargin{50};

    std::mutex control;  // everything below but the mixer, which is under SDL's device lock
    bool tried = false;      // SDL's audio was started (or failed to start) once
    bool available = false;  // a device was opened once: it may be opened again after idling
    bool subsystem = false;
    SDL_AudioDeviceID id = 0;
    bool paused = true;
    SDL_AudioSpec deviceFormat{};
    SoundMixer mixer;
    // Converted once per id and use (a loop is converted as a repetition); null when it cannot play.
    std::map<std::pair<int, bool>, SoundMixer::Clip> resources;

    std::thread watcher;
    std::condition_variable wake;
    std::optional<Clock::time_point> due;  // when the watcher looks again
    bool quitting = false;

    static void SDLCALL Fill(void* self, Uint8* stream, int length) {
        auto* device = static_cast<Device*>(self);
        device->mixer.mix(stream, static_cast<size_t>(length), device->deviceFormat.silence);
    }

    // ---- Everything below runs with `control` held.

    bool open() {
        if (id != 0) return true;
        if (tried && !available) return false;
        if (!tried) {
            tried = true;
            // SIGTERM and SIGHUP go to the desktop backend, which keeps the unsaved picture before
            // the program ends; SDL's own handlers would swallow them as a quit event nobody reads.
            SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
            subsystem = true;
        }
        SDL_AudioSpec want{};
        want.freq = 48000;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = Fill;
        want.userdata = this;
        SDL_AudioSpec got{};
        id = SDL_OpenAudioDevice(nullptr, 0, &want, &got,
                                 SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
        if (id == 0) {
            if (!available) {
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                subsystem = false;
            }
            return false;
        }
        if (available && (got.freq != deviceFormat.freq || got.channels != deviceFormat.channels || got.format != deviceFormat.format)) {
            resources.clear();  // converted for the device as it was before
        }
        deviceFormat = got;
        available = true;
        paused = true;  // SDL opens a device paused
        if (!watcher.joinable()) watcher = std::thread([this] { watch(); });
        return true;
    }

    void closeDevice() {
        if (id != 0) SDL_CloseAudioDevice(id);
        id = 0;
        paused = true;
    }

    void setPaused(bool pause) {
        if (id == 0 || paused == pause) return;
        SDL_PauseAudioDevice(id, pause ? 1 : 0);
        paused = pause;
    }

    std::chrono::milliseconds durationOf(size_t bytes) const {
        const size_t perSecond = static_cast<size_t>(deviceFormat.freq) * static_cast<size_t>(deviceFormat.channels) *
                                 (SDL_AUDIO_BITSIZE(deviceFormat.format) / 8);
        return std::chrono::milliseconds(perSecond == 0 ? 0 : (bytes * 1000 + perSecond - 1) / perSecond);
    }

    // Looks at the mixer and decides the watcher's next moment: a loop needs none (stop comes
    // from the program), a one-shot is looked at when it is due to end, and silence pauses the
    // device now and closes it after `closeWhenIdle`.
    void schedule() {
        if (id == 0) return;
        SDL_LockAudioDevice(id);
        const bool playing = mixer.playing();
        const bool loop = mixer.looping();
        const size_t left = mixer.left();
        SDL_UnlockAudioDevice(id);
        if (playing && loop) {
            due.reset();
        } else if (playing) {
            due = Clock::now() + durationOf(left) + kEndMargin;
        } else {
            setPaused(true);
            due = Clock::now() + closeWhenIdle;
        }
        wake.notify_one();
    }

    void start(SoundMixer::Clip clip, SoundMode mode) {
        if (clip != nullptr) {
            SDL_LockAudioDevice(id);
            SoundMixer::Clip released = mixer.start(std::move(clip), mode);
            const bool playing = mixer.playing();
            SDL_UnlockAudioDevice(id);
            if (playing) setPaused(false);
            // `released` is freed here, outside SDL's lock.
        }
        schedule();
    }

    void stop() {
        if (id == 0) return;
        SDL_LockAudioDevice(id);
        SoundMixer::Clip released = mixer.stop();
        SDL_UnlockAudioDevice(id);
        schedule();
    }

    SoundMixer::Clip resource(int soundId, bool looped) {
        auto found = resources.find({soundId, looped});
        if (found != resources.end()) return found->second;
        SoundMixer::Clip clip;
        ResourceData data = FindResource(ResourceKind::Wave, soundId);
        WaveSound sound;
        if (data && ParseWave(data.bytes, data.size, sound)) clip = Convert(sound, deviceFormat, looped);
        resources.emplace(std::make_pair(soundId, looped), clip);
        return clip;
    }

    // The watcher thread: sleeps until `due`, then pauses a device that has gone quiet, or
    // closes one that has stayed paused; a sound still playing is looked at again at its end.
    void watch() {
        std::unique_lock<std::mutex> lock(control);
        while (!quitting) {
            if (!due) {
                wake.wait(lock);
            } else if (Clock::now() < *due) {
                wake.wait_until(lock, *due);
            } else {
                due.reset();
                if (id == 0) continue;
                SDL_LockAudioDevice(id);
                const bool playing = mixer.playing();
                SDL_UnlockAudioDevice(id);
                if (playing || !paused) {
                    schedule();
                } else {
                    closeDevice();
                }
            }
        }
    }

    // ---- Takes `control` itself.

    void shutDown() {
        {
            std::lock_guard<std::mutex> lock(control);
            quitting = true;
        }
        wake.notify_all();
        if (watcher.joinable()) watcher.join();
        closeDevice();
        if (subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystem = false;
    }
};

SdlAudio::SdlAudio(std::chrono::milliseconds closeWhenIdle) : device_(std::make_unique<Device>(closeWhenIdle)) {}

SdlAudio::~SdlAudio() { device_->shutDown(); }

void SdlAudio::play(int soundId, SoundMode mode) {
    std::lock_guard<std::mutex> lock(device_->control);
    if (!device_->open()) return;
    device_->start(device_->resource(soundId, mode == SoundMode::Loop), mode);
}

void SdlAudio::playWave(const uint8_t* bytes, size_t size, SoundMode mode) {
    std::lock_guard<std::mutex> lock(device_->control);
    if (!device_->open()) return;
    WaveSound sound;
    SoundMixer::Clip clip;
    if (ParseWave(bytes, size, sound)) clip = Convert(sound, device_->deviceFormat, mode == SoundMode::Loop);
    device_->start(std::move(clip), mode);
}

void SdlAudio::stop() {
    std::lock_guard<std::mutex> lock(device_->control);
    device_->stop();
}

bool SdlAudio::isPlaying() {
    std::lock_guard<std::mutex> lock(device_->control);
    if (device_->id == 0) return false;
    SDL_LockAudioDevice(device_->id);
    bool playing = device_->mixer.playing();
    SDL_UnlockAudioDevice(device_->id);
    return playing;
}

bool SdlAudio::open() {
    std::lock_guard<std::mutex> lock(device_->control);
    if (!device_->open()) return false;
    device_->schedule();
    return true;
}

AudioFormat SdlAudio::format() {
    std::lock_guard<std::mutex> lock(device_->control);
    if (!device_->available) return {};
    return AudioFormat{device_->deviceFormat.freq, device_->deviceFormat.channels};
}

SdlAudio::DeviceState SdlAudio::deviceState() {
    std::lock_guard<std::mutex> lock(device_->control);
    if (device_->id == 0) return DeviceState::Closed;
    switch (SDL_GetAudioDeviceStatus(device_->id)) {
        case SDL_AUDIO_PLAYING: return DeviceState::Running;
        case SDL_AUDIO_PAUSED: return DeviceState::Paused;
        default: return DeviceState::Closed;
    }
}

}  // namespace platform
