// WAVE parsing, the one-sound mixer and the SDL device behind SdlAudio.
#include "platform/audio_sdl.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
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

// The sound in the device's format; null when SDL cannot convert it. SDL_AudioCVT converts
// the whole sound in one go (SDL_AudioStream's flush loses the last resampled block).
SoundMixer::Clip Convert(const WaveSound& sound, const SDL_AudioSpec& spec) {
    std::vector<int16_t> mapped = MapChannels(sound, spec.channels);
    const size_t inBytes = mapped.size() * sizeof(int16_t);
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, AUDIO_S16SYS, spec.channels, sound.rate, spec.format, spec.channels, spec.freq) < 0) {
        return nullptr;
    }
    if (inBytes > static_cast<size_t>(INT_MAX / std::max(1, cvt.len_mult))) return nullptr;
    std::vector<uint8_t> out(inBytes * static_cast<size_t>(std::max(1, cvt.len_mult)));
    std::memcpy(out.data(), mapped.data(), inBytes);
    cvt.buf = out.data();
    cvt.len = static_cast<int>(inBytes);
    if (cvt.needed != 0 && SDL_ConvertAudio(&cvt) != 0) return nullptr;
    const size_t frameBytes = static_cast<size_t>(SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels);
    size_t kept = cvt.needed != 0 ? static_cast<size_t>(std::max(0, cvt.len_cvt)) : inBytes;
    out.resize(kept - kept % frameBytes);
    if (out.empty()) return nullptr;
    return std::make_shared<const std::vector<uint8_t>>(std::move(out));
}

}  // namespace

struct SdlAudio::Device {
    bool tried = false;
    bool subsystem = false;
    SDL_AudioDeviceID id = 0;
    SDL_AudioSpec spec{};
    SoundMixer mixer;
    std::map<int, SoundMixer::Clip> resources;  // converted once; null for ids that cannot play

    static void SDLCALL Fill(void* self, Uint8* stream, int length) {
        auto* device = static_cast<Device*>(self);
        device->mixer.mix(stream, static_cast<size_t>(length), device->spec.silence);
    }

    bool open() {
        if (tried) return id != 0;
        tried = true;
        // The program handles its own signals (and GTK's); SDL must not take them over.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        subsystem = true;
        SDL_AudioSpec want{};
        want.freq = 48000;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = Fill;
        want.userdata = this;
        id = SDL_OpenAudioDevice(nullptr, 0, &want, &spec,
                                 SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
        if (id == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            subsystem = false;
            return false;
        }
        SDL_PauseAudioDevice(id, 0);
        return true;
    }

    void close() {
        if (id != 0) SDL_CloseAudioDevice(id);
        id = 0;
        if (subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystem = false;
    }

    void start(SoundMixer::Clip clip, SoundMode mode) {
        if (clip == nullptr) return;
        SDL_LockAudioDevice(id);
        SoundMixer::Clip released = mixer.start(std::move(clip), mode);
        SDL_UnlockAudioDevice(id);
        // `released` is freed here, outside the lock.
    }

    SoundMixer::Clip resource(int soundId) {
        auto found = resources.find(soundId);
        if (found != resources.end()) return found->second;
        SoundMixer::Clip clip;
        ResourceData data = FindResource(ResourceKind::Wave, soundId);
        WaveSound sound;
        if (data && ParseWave(data.bytes, data.size, sound)) clip = Convert(sound, spec);
        resources.emplace(soundId, clip);
        return clip;
    }
};

SdlAudio::SdlAudio() : device_(std::make_unique<Device>()) {}

SdlAudio::~SdlAudio() { device_->close(); }

void SdlAudio::play(int soundId, SoundMode mode) {
    if (!device_->open()) return;
    device_->start(device_->resource(soundId), mode);
}

void SdlAudio::playWave(const uint8_t* bytes, size_t size, SoundMode mode) {
    if (!device_->open()) return;
    WaveSound sound;
    if (!ParseWave(bytes, size, sound)) return;
    device_->start(Convert(sound, device_->spec), mode);
}

void SdlAudio::stop() {
    if (device_->id == 0) return;
    SDL_LockAudioDevice(device_->id);
    SoundMixer::Clip released = device_->mixer.stop();
    SDL_UnlockAudioDevice(device_->id);
}

bool SdlAudio::isPlaying() {
    if (device_->id == 0) return false;
    SDL_LockAudioDevice(device_->id);
    bool playing = device_->mixer.playing();
    SDL_UnlockAudioDevice(device_->id);
    return playing;
}

bool SdlAudio::open() { return device_->open(); }

AudioFormat SdlAudio::format() {
    if (device_->id == 0) return {};
    return AudioFormat{device_->spec.freq, device_->spec.channels};
}

}  // namespace platform
