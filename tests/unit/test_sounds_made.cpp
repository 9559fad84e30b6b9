// The sounds the resource compiler synthesizes, read back from the program's resources with a
// WAVE reader of our own: each is 16-bit PCM of a fitting length, one-shots start and end in
// silence, loops join without a click or an offset, nothing clips, the variants differ. Then
// through the SDL player (SDL's "disk" driver): the device pauses when a one-shot has ended and
// closes when idle, and a loop resampled to the device's rate stays seamless.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_sdl.h"
#include "resources/resource_ids.h"
#include "resources/resources.h"

using platform::SdlAudio;
using platform::SoundMode;

namespace {

constexpr int kFull = 32767;

enum class Use { Loop, OneShot, Transition };

struct Sound {
    int id;
    const char* what;
    Use use;
};

// Every sound id of the resource inventory, with what it is used for.
const Sound kSounds[] = {
    {kWavPencil, "pencil", Use::Loop},
    {kWavBrush, "brush", Use::Loop},
    {kWavRuler, "ruler", Use::OneShot},
    {kWavEraser, "eraser", Use::OneShot},
    {kWavJar, "jar", Use::OneShot},
    {kWavScissors, "scissors", Use::OneShot},
    {kWavPopFirst + 0, "pop 1", Use::OneShot},
    {kWavPopFirst + 1, "pop 2", Use::OneShot},
    {kWavPopFirst + 2, "pop 3", Use::OneShot},
    {kWavPopFirst + 3, "pop 4", Use::OneShot},
    {kWavPopFirst + 4, "pop 5", Use::OneShot},
    {kWavWand, "wand", Use::Loop},
    {kWavSplatFirst + 0, "splat 1", Use::OneShot},
    {kWavSplatFirst + 1, "splat 2", Use::OneShot},
    {kWavSplatFirst + 2, "splat 3", Use::OneShot},
    {kWavClick, "click", Use::OneShot},
    {kWavNewWipe, "wipe", Use::Transition},
    {kWavNewMelt, "melt", Use::Transition},
    {kWavNewSlide, "slide", Use::Transition},
    {kWavDropper, "dropper", Use::OneShot},
    {kWavStamp, "stamp", Use::OneShot},
    {kWavSprayCan, "spray can", Use::Loop},
    {kWavNeedle, "needle and thread", Use::Loop},
    {kWavCog, "cog", Use::Loop},
    {kWavHammer, "hammer and chisel", Use::Loop},
    {kWavUndo, "undo", Use::OneShot},
    {kWavTemplates, "templates", Use::OneShot},
    {kWavNewShrink, "shrink", Use::Transition},
    {kWavChoose, "choose", Use::OneShot},
    {kWavControl, "control", Use::OneShot},
    // Tools a child never holds: made as loops all the same.
    {kWavRag, "rag", Use::Loop},
    {kWavSunglasses, "sunglasses", Use::Loop},
    {kWavLightbulb, "lightbulb", Use::Loop},
    {kWavPepper, "pepper", Use::Loop},
    {kWavPocketKnife, "pocket knife", Use::Loop},
    {kWavCrayon, "crayon", Use::Loop},
};

uint32_t Le(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

struct Pcm {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int> samples;
    double seconds() const { return rate > 0 ? static_cast<double>(samples.size()) / rate : 0; }
};

// Reads a RIFF WAVE resource chunk by chunk; an empty result (no samples) for anything broken.
Pcm Read(int id) {
    Pcm pcm;
    const ResourceData d = FindResource(ResourceKind::Wave, id);
    if (!d || d.size < 12 || std::memcmp(d.bytes, "RIFF", 4) != 0 || std::memcmp(d.bytes + 8, "WAVE", 4) != 0)
        return pcm;
    if (Le(d.bytes + 4, 4) != d.size - 8) return pcm;
    for (size_t at = 12; at + 8 <= d.size;) {
        const uint8_t* chunk = d.bytes + at;
        const size_t size = Le(chunk + 4, 4);
        if (size > d.size - at - 8) return Pcm{};
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            pcm.format = static_cast<int>(Le(chunk + 8, 2));
            pcm.channels = static_cast<int>(Le(chunk + 10, 2));
            pcm.rate = static_cast<int>(Le(chunk + 12, 4));
            pcm.bits = static_cast<int>(Le(chunk + 22, 2));
        }
        if (std::memcmp(chunk, "data", 4) == 0 && pcm.bits == 16) {
            for (size_t i = 0; i + 1 < size; i += 2) pcm.samples.push_back(static_cast<int16_t>(Le(chunk + 8 + i, 2)));
        }
        at += 8 + size + (size & 1);
    }
    return pcm;
}

// How sharply a loop changes at its seam, played round and round, against how sharply it changes
// anywhere else within `count` samples of it: the largest step from one sample to the next, and
// the largest third difference (s[j+3] - 3 s[j+2] + 3 s[j+1] - s[j]), which is small wherever
// the sound is smooth and large at any jump or kink.
struct Sharpness {
    int step = 0, kink = 0;
};
struct Seam {
    Sharpness at, near;
};
Seam SeamOf(const std::vector<int>& s, long count) {
    const long n = static_cast<long>(s.size());
    auto v = [&](long i) { return s[static_cast<size_t>((i % n + n) % n)]; };
    Seam seam;
    for (long j = -count; j < count; ++j) {
        // Windows starting at j hold samples j, j+1 (j+2, j+3); those holding both -1 and 0
        // straddle the seam.
        Sharpness& step = j == -1 ? seam.at : seam.near;
        step.step = std::max(step.step, std::abs(v(j + 1) - v(j)));
        Sharpness& kink = j >= -3 && j <= -1 ? seam.at : seam.near;
        kink.kink = std::max(kink.kink, std::abs(v(j + 3) - 3 * v(j + 2) + 3 * v(j + 1) - v(j)));
    }
    return seam;
}

}  // namespace

TEST(SoundsMade, EveryIdIsMono16BitPcmOfAFittingLength) {
    for (const Sound& sound : kSounds) {
        const Pcm pcm = Read(sound.id);
        SCOPED_TRACE(sound.what);
        ASSERT_FALSE(pcm.samples.empty()) << "missing or unreadable";
        EXPECT_EQ(pcm.format, 1) << "PCM";
        EXPECT_EQ(pcm.bits, 16);
        EXPECT_EQ(pcm.channels, 1);
        EXPECT_TRUE(pcm.rate == 22050 || pcm.rate == 44100) << pcm.rate;
        const double seconds = pcm.seconds();
        switch (sound.use) {
            case Use::OneShot:
                EXPECT_GE(seconds, 0.03);
                EXPECT_LE(seconds, 0.6);
                break;
            case Use::Transition:  // about as long as the New picture's animation
                EXPECT_GE(seconds, 0.5);
                EXPECT_LE(seconds, 1.5);
                break;
            case Use::Loop:
                EXPECT_GE(seconds, 0.4);
                EXPECT_LE(seconds, 2.0);
                break;
        }
    }
}

TEST(SoundsMade, OneShotsStartAndEndInSilence) {
    for (const Sound& sound : kSounds) {
        if (sound.use == Use::Loop) continue;
        const Pcm pcm = Read(sound.id);
        SCOPED_TRACE(sound.what);
        ASSERT_GT(pcm.samples.size(), 20u);
        const std::vector<int>& s = pcm.samples;
        EXPECT_LE(std::abs(s.front()), kFull / 100) << "first sample";
        EXPECT_LE(std::abs(s.back()), kFull / 100) << "last sample";
        // Nor does it leap to its level or drop from it: it rises from silence over at least
        // a third of a millisecond (8 samples of 22050) and falls back to it the same way.
        const int slope = kFull / 8;
        for (size_t i = 1; i < 4; ++i) {
            EXPECT_LE(std::abs(s[i]), slope * static_cast<int>(i)) << "sample " << i << " from the start";
            EXPECT_LE(std::abs(s[s.size() - 1 - i]), slope * static_cast<int>(i)) << "sample " << i << " from the end";
        }
    }
}

TEST(SoundsMade, LoopsJoinWithoutAClickOrAnOffset) {
    for (const Sound& sound : kSounds) {
        if (sound.use != Use::Loop) continue;
        const Pcm pcm = Read(sound.id);
        SCOPED_TRACE(sound.what);
        ASSERT_GT(pcm.samples.size(), 1000u);
        const std::vector<int>& s = pcm.samples;
        const size_t n = s.size();

        double sum = 0;
        for (int v : s) sum += v;
        EXPECT_LE(std::fabs(sum / static_cast<double>(n)), kFull * 0.002) << "no offset from 0";

        // Played round and round, the sound changes no more sharply where the last sample meets
        // the first than it does within 3 ms of there (a quarter more, as noise varies), plus at
        // most a step 60 dB below full scale, too small to hear. A big step is not a click in
        // itself: a loud high tone takes big steps wherever it crosses zero.
        const Seam seam = SeamOf(s, 64);
        const int unheard = kFull / 1000;
        EXPECT_LE(seam.at.step, seam.near.step * 5 / 4 + unheard) << "largest step nearby " << seam.near.step;
        EXPECT_LE(seam.at.kink, seam.near.kink * 5 / 4 + unheard) << "largest kink nearby " << seam.near.kink;
    }
}

TEST(SoundsMade, NothingClipsAndEverythingIsHeard) {
    for (const Sound& sound : kSounds) {
        const Pcm pcm = Read(sound.id);
        SCOPED_TRACE(sound.what);
        ASSERT_FALSE(pcm.samples.empty());
        int peak = 0;
        size_t atFull = 0;
        for (int v : pcm.samples) {
            peak = std::max(peak, std::abs(v));
            if (std::abs(v) >= kFull) ++atFull;
        }
        EXPECT_EQ(atFull, 0u) << "samples at full scale";
        const double peakDb = 20 * std::log10(static_cast<double>(peak) / kFull);
        EXPECT_LE(peakDb, -2.0) << "headroom";
        EXPECT_GE(peakDb, -8.0) << "loud enough to be heard";
    }
}

TEST(SoundsMade, VariantsDiffer) {
    // The five bubble pops rise in pitch, each clearly above the one before (crossings of zero
    // per second over the part where the pop is loud).
    double previous = 0;
    for (int i = 0; i < kWavPopCount; ++i) {
        const Pcm pcm = Read(kWavPopFirst + i);
        ASSERT_FALSE(pcm.samples.empty());
        int peak = 0;
        for (int v : pcm.samples) peak = std::max(peak, std::abs(v));
        size_t first = 0, last = 0, crossings = 0;
        for (size_t k = 0; k < pcm.samples.size(); ++k) {
            if (std::abs(pcm.samples[k]) < peak / 10) continue;
            if (first == 0) first = k;
            last = k;
        }
        for (size_t k = first + 1; k <= last; ++k) crossings += (pcm.samples[k - 1] < 0) != (pcm.samples[k] < 0);
        const double rate = crossings / (static_cast<double>(last - first) / pcm.rate);
        EXPECT_GT(rate, previous * 1.08) << "pop " << i + 1;
        previous = rate;
    }
    // The three splats are three different sounds, not one sound three times.
    for (int a = 0; a < kWavSplatCount; ++a) {
        for (int b = a + 1; b < kWavSplatCount; ++b) {
            const Pcm x = Read(kWavSplatFirst + a), y = Read(kWavSplatFirst + b);
            double differ = 0, level = 0;
            for (size_t k = 0; k < std::min(x.samples.size(), y.samples.size()); ++k) {
                differ += std::pow(x.samples[k] - y.samples[k], 2);
                level += std::pow(x.samples[k], 2);
            }
            EXPECT_GT(differ, 0.1 * level) << "splats " << a + 1 << " and " << b + 1;
        }
    }
}

// ---- Through the player ----------------------------------------------------------------------

namespace {

class EnvVar {
public:
    EnvVar(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~EnvVar() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A player on SDL's disk driver, writing what it mixes into a file of a fresh folder.
class DiskOutput : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/pictoria-sounds-XXXXXX";
        dir_ = mkdtemp(pattern);
        driver_.emplace("SDL_AUDIODRIVER", "disk");
        file_.emplace("SDL_DISKAUDIOFILE", dir_ + "/mixed.raw");
    }
    void TearDown() override {
        file_.reset();
        driver_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    // The first channel of what the device was given, read after the player is gone.
    std::vector<int> left(int channels) const {
        std::ifstream in(dir_ + "/mixed.raw", std::ios::binary);
        std::vector<int> out;
        std::vector<int16_t> frame(static_cast<size_t>(channels));
        while (in.read(reinterpret_cast<char*>(frame.data()), static_cast<std::streamsize>(2 * frame.size())))
            out.push_back(frame[0]);
        return out;
    }
    template <class Done>
    static bool WaitFor(Done done, int ms) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    std::string dir_;
    std::optional<EnvVar> driver_, file_;
};

std::vector<uint8_t> MonoWave(int rate, const std::vector<int16_t>& samples) {
    std::vector<uint8_t> b;
    auto put = [&b](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const auto data = static_cast<uint32_t>(samples.size() * 2);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put(36 + data, 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(static_cast<uint32_t>(rate), 4);
    put(static_cast<uint32_t>(rate * 2), 4);
    put(2, 2);
    put(16, 2);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put(data, 4);
    for (int16_t v : samples) put(static_cast<uint16_t>(v), 2);
    return b;
}

}  // namespace

TEST_F(DiskOutput, TheDevicePausesWhenAOneShotEndsAndClosesWhenIdle) {
    using State = SdlAudio::DeviceState;
    SdlAudio player(std::chrono::milliseconds(600));
    if (!player.open()) GTEST_SKIP() << "this SDL has no disk audio driver";

    player.play(kWavChoose, SoundMode::NoInterrupt);
    EXPECT_TRUE(player.isPlaying());
    EXPECT_EQ(player.deviceState(), State::Running);
    ASSERT_TRUE(WaitFor([&] { return !player.isPlaying(); }, 5000)) << "the one-shot ends";
    EXPECT_TRUE(WaitFor([&] { return player.deviceState() == State::Paused; }, 400))
        << "paused soon after the end, with nothing playing";
    EXPECT_TRUE(WaitFor([&] { return player.deviceState() == State::Closed; }, 3000)) << "closed when idle";

    // The next sound opens it again; a loop keeps it running past its own length until stopped.
    player.play(kWavNeedle, SoundMode::Loop);
    EXPECT_EQ(player.deviceState(), State::Running);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    EXPECT_TRUE(player.isPlaying());
    EXPECT_EQ(player.deviceState(), State::Running);
    player.stop();
    EXPECT_EQ(player.deviceState(), State::Paused) << "at once on stop";

    // A sound that cannot play leaves an idle device to close as well.
    player.play(999999, SoundMode::Interrupt);
    EXPECT_TRUE(WaitFor([&] { return player.deviceState() == State::Closed; }, 3000));
}

TEST_F(DiskOutput, ALoopAtAnotherRateStaysSeamlessAtTheDevicesRate) {
    int rate = 0, channels = 0;
    std::vector<int> out;
    {
        SdlAudio player;
        if (!player.open()) GTEST_SKIP() << "this SDL has no disk audio driver";
        rate = player.format().rate;
        channels = player.format().channels;
        ASSERT_EQ(rate % 10, 0);
        // A sine at the made sounds' rate with a whole number of cycles in its 0.1 s, at its
        // crest where it begins and ends: played round and round it is one unbroken sine.
        const int loopRate = rate != 22050 ? 22050 : 44100;
        const int frames = loopRate / 10, cycles = 50;
        std::vector<int16_t> sine(static_cast<size_t>(frames));
        for (int i = 0; i < frames; ++i)
            sine[static_cast<size_t>(i)] = static_cast<int16_t>(std::lround(12000 * std::cos(2 * M_PI * cycles * i / frames)));
        const std::vector<uint8_t> wave = MonoWave(loopRate, sine);
        player.playWave(wave.data(), wave.size(), SoundMode::Loop);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        player.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    out = left(channels);
    size_t first = 0, last = out.size();
    while (first < out.size() && out[first] == 0) ++first;
    while (last > first && out[last - 1] == 0) --last;
    // Leave out the start and the stop (where it is cut off).
    const size_t margin = static_cast<size_t>(rate / 100), period = static_cast<size_t>(rate / 10);
    ASSERT_GT(last - first, 2 * margin + 3 * period) << "at least three rounds were played";
    // A 500 Hz sine of 12000 changes its slope by at most 12000 (2 pi 500 / rate)^2 a frame
    // (52 at 48000); SDL's resampler adds a little noise. A dip where the rounds meet is far more.
    const double bound = 12000 * std::pow(2 * M_PI * 500 / rate, 2) * 1.5 + 60;
    for (size_t i = first + margin; i + 1 < last - margin; ++i) {
        ASSERT_LE(std::abs(out[i + 1] - 2 * out[i] + out[i - 1]), bound) << "frame " << i - first;
    }
    for (size_t i = first + margin; i + period < last - margin; ++i) {
        ASSERT_NEAR(out[i + period], out[i], 2) << "one round later, frame " << i - first;
    }
}
