// The SDL player end to end: SDL's "disk" driver runs the audio callback at the pace of a real
// device and writes what was mixed to a file, which the tests read back after closing.
//
// Timing only decides where in the file things land (how much silence comes first, where an
// interrupt cuts); the checks look at the order and the exact samples, never at durations.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_sdl.h"

using platform::SdlAudio;
using platform::SoundMode;

namespace {

using Bytes = std::vector<uint8_t>;

struct Frame {
    int16_t left = 0;
    int16_t right = 0;
    bool silent() const { return left == 0 && right == 0; }
    friend bool operator==(const Frame&, const Frame&) = default;
};

// A 16-bit PCM WAVE file; `frames` are written as mono when every frame has left == right and
// `stereo` is false.
Bytes WaveOf(int rate, const std::vector<Frame>& frames, bool stereo) {
    const int channels = stereo ? 2 : 1;
    Bytes b;
    auto put = [&b](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const uint32_t dataSize = static_cast<uint32_t>(frames.size() * 2 * channels);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put(4 + 24 + 8 + dataSize, 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);
    put(static_cast<uint32_t>(channels), 2);
    put(static_cast<uint32_t>(rate), 4);
    put(static_cast<uint32_t>(rate * 2 * channels), 4);
    put(static_cast<uint32_t>(2 * channels), 2);
    put(16, 2);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put(dataSize, 4);
    for (const Frame& f : frames) {
        put(static_cast<uint16_t>(f.left), 2);
        if (stereo) put(static_cast<uint16_t>(f.right), 2);
    }
    return b;
}

// n frames counting 1, 2, 3, ... (times `sign`), the same on both channels. Values repeat after
// 30000 so that long sounds stay in range; every one is non-zero.
std::vector<Frame> Ramp(size_t n, int sign) {
    std::vector<Frame> frames(n);
    for (size_t i = 0; i < n; ++i) {
        auto v = static_cast<int16_t>(sign * static_cast<int>(1 + i % 30000));
        frames[i] = Frame{v, v};
    }
    return frames;
}

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

// Reads the output in order: skips silence, then expects `frames` exactly; returns where they
// end (or the output's size after a failure).
size_t Expect(const std::vector<Frame>& out, size_t at, const std::vector<Frame>& frames, const char* what) {
    while (at < out.size() && out[at].silent()) ++at;
    for (size_t i = 0; i < frames.size(); ++i) {
        if (at + i >= out.size()) {
            ADD_FAILURE() << what << ": the output ends after " << i << " of " << frames.size() << " frames";
            return out.size();
        }
        if (!(out[at + i] == frames[i])) {
            ADD_FAILURE() << what << ": frame " << i << " is " << out[at + i].left << "/" << out[at + i].right
                          << ", expected " << frames[i].left << "/" << frames[i].right;
            return out.size();
        }
    }
    return at + frames.size();
}

void ExpectSilenceFrom(const std::vector<Frame>& out, size_t at, const char* what) {
    for (size_t i = at; i < out.size(); ++i) {
        if (!out[i].silent()) {
            ADD_FAILURE() << what << ": sound at frame " << i << " where silence was expected";
            return;
        }
    }
}

class DiskPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/pictoria-audio-XXXXXX";
        dir_ = mkdtemp(pattern);
        driver_ = std::make_unique<EnvVar>("SDL_AUDIODRIVER", "disk");
        file_ = std::make_unique<EnvVar>("SDL_DISKAUDIOFILE", dir_ + "/mixed.raw");
        player_ = std::make_unique<SdlAudio>();
        if (!player_->open()) GTEST_SKIP() << "this SDL has no disk audio driver";
        rate_ = player_->format().rate;
        channels_ = player_->format().channels;
        ASSERT_TRUE(channels_ == 1 || channels_ == 2);
    }
    void TearDown() override {
        player_.reset();
        file_.reset();
        driver_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    void play(const std::vector<Frame>& frames, SoundMode mode, bool stereo = false, int rate = 0) {
        Bytes wave = WaveOf(rate != 0 ? rate : rate_, frames, stereo);
        player_->playWave(wave.data(), wave.size(), mode);
    }
    void waitUntilQuiet() {
        for (int i = 0; i < 1000 && player_->isPlaying(); ++i) pause(10);
        ASSERT_FALSE(player_->isPlaying()) << "still playing after 10 s";
    }
    static void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    // Closes the device and reads everything it was given. The pause lets the driver write
    // the buffers the callback has already filled; closing drops the one it is waiting on.
    std::vector<Frame> output() {
        pause(150);
        player_.reset();
        std::ifstream in(dir_ + "/mixed.raw", std::ios::binary);
        std::vector<Frame> frames;
        int16_t s[2];
        while (in.read(reinterpret_cast<char*>(s), static_cast<std::streamsize>(sizeof(int16_t) * channels_))) {
            frames.push_back(Frame{s[0], channels_ == 2 ? s[1] : s[0]});
        }
        return frames;
    }

    std::string dir_;
    std::unique_ptr<EnvVar> driver_;
    std::unique_ptr<EnvVar> file_;
    std::unique_ptr<SdlAudio> player_;
    int rate_ = 0;
    int channels_ = 0;
};

}  // namespace

TEST_F(DiskPlayer, MadeSamplesComeOutUnchangedWithTheirChannels) {
    if (channels_ != 2) GTEST_SKIP() << "the disk device is not stereo";
    std::vector<Frame> stereo = Ramp(rate_ / 20, 1);
    for (size_t i = 0; i < stereo.size(); ++i) stereo[i].right = static_cast<int16_t>(-stereo[i].left * 2);
    const std::vector<Frame> mono = Ramp(rate_ / 20, -1);

    play(stereo, SoundMode::NoInterrupt, true);
    waitUntilQuiet();
    play(mono, SoundMode::NoInterrupt);
    waitUntilQuiet();

    std::vector<Frame> out = output();
    size_t at = Expect(out, 0, stereo, "stereo");
    at = Expect(out, at, mono, "mono");
    ExpectSilenceFrom(out, at, "after both");
}

TEST_F(DiskPlayer, InterruptCutsTheFirstSoundAndPlaysTheSecondWhole) {
    const std::vector<Frame> first = Ramp(rate_, 1);  // a second long
    const std::vector<Frame> second = Ramp(rate_ / 20, -1);
    play(first, SoundMode::NoInterrupt);
    pause(100);
    play(second, SoundMode::Interrupt);
    waitUntilQuiet();

    std::vector<Frame> out = output();
    size_t at = 0;
    while (at < out.size() && out[at].silent()) ++at;
    size_t cut = 0;
    while (at + cut < out.size() && cut < first.size() && out[at + cut] == first[cut]) ++cut;
    EXPECT_GT(cut, 0u) << "the first sound started";
    EXPECT_LT(cut, first.size()) << "the first sound was cut short";
    at = Expect(out, at + cut, second, "the interrupting sound, right after the cut");
    ExpectSilenceFrom(out, at, "after the interrupting sound");
}

TEST_F(DiskPlayer, NoInterruptIsRefusedWhileASoundPlays) {
    const std::vector<Frame> first = Ramp(rate_ / 5, 1);
    const std::vector<Frame> second = Ramp(rate_ / 20, -1);
    play(first, SoundMode::NoInterrupt);
    play(second, SoundMode::NoInterrupt);  // refused: the first has only just begun
    waitUntilQuiet();
    play(second, SoundMode::NoInterrupt);  // now nothing plays
    waitUntilQuiet();

    std::vector<Frame> out = output();
    size_t at = Expect(out, 0, first, "the first sound, whole");
    at = Expect(out, at, second, "the second sound, once, after silence");
    ExpectSilenceFrom(out, at, "after the second sound");
}

TEST_F(DiskPlayer, LoopRepeatsSeamlesslyUntilStopped) {
    const std::vector<Frame> loop = Ramp(rate_ / 100, 1);
    play(loop, SoundMode::Loop);
    pause(300);
    player_->stop();
    EXPECT_FALSE(player_->isPlaying());
    pause(200);

    std::vector<Frame> out = output();
    size_t at = 0;
    while (at < out.size() && out[at].silent()) ++at;
    size_t n = 0;
    while (at + n < out.size() && out[at + n] == loop[n % loop.size()]) ++n;
    EXPECT_GE(n, 3 * loop.size()) << "at least three rounds without a gap";
    EXPECT_LT(at + n, out.size()) << "the loop ended";
    ExpectSilenceFrom(out, at + n, "after the stop");
}

TEST_F(DiskPlayer, MalformedOrMissingSoundsPlayNothingAndInterruptNothing) {
    const Bytes good = WaveOf(rate_, Ramp(rate_ / 100, 1), false);
    Bytes hugeData = good;
    hugeData[40] = hugeData[41] = hugeData[42] = 0xFF;  // the data chunk's size
    const Bytes bad[] = {
        Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2)),
        hugeData,
        Bytes(64, 0xA5),
        Bytes{'R', 'I', 'F', 'F'},
    };
    for (const Bytes& b : bad) {
        player_->playWave(b.data(), b.size(), SoundMode::Interrupt);
        EXPECT_FALSE(player_->isPlaying());
    }
    player_->playWave(nullptr, 0, SoundMode::Loop);
    player_->play(-5, SoundMode::Loop);
    player_->play(999999, SoundMode::Interrupt);  // no such resource
    EXPECT_FALSE(player_->isPlaying());

    const std::vector<Frame> loop = Ramp(rate_ / 100, 1);
    play(loop, SoundMode::Loop);
    pause(50);
    for (const Bytes& b : bad) player_->playWave(b.data(), b.size(), SoundMode::Interrupt);
    player_->play(999999, SoundMode::Interrupt);
    EXPECT_TRUE(player_->isPlaying()) << "the loop goes on";
    pause(50);
    player_->stop();
    pause(100);

    std::vector<Frame> out = output();
    size_t at = 0;
    while (at < out.size() && out[at].silent()) ++at;
    size_t n = 0;
    while (at + n < out.size() && out[at + n] == loop[n % loop.size()]) ++n;
    EXPECT_GE(n, 2 * loop.size());
    ExpectSilenceFrom(out, at + n, "nothing but the loop");
}

TEST_F(DiskPlayer, OtherRatesAreConvertedToTheDevicesRate) {
    if (channels_ != 2) GTEST_SKIP() << "the disk device is not stereo";
    const int rate = rate_ / 2;
    const std::vector<Frame> steady(static_cast<size_t>(rate / 10), Frame{1000, -2000});
    play(steady, SoundMode::NoInterrupt, true, rate);
    waitUntilQuiet();

    std::vector<Frame> out = output();
    size_t first = 0;
    while (first < out.size() && out[first].silent()) ++first;
    size_t last = out.size();
    while (last > first && out[last - 1].silent()) --last;
    const double expected = rate_ / 10.0;  // a tenth of a second at the device's rate
    EXPECT_NEAR(static_cast<double>(last - first), expected, expected * 0.02);
    // Away from the edges, where the resampler ramps, the level and the channels are kept
    // (within half a percent: SDL's resampling filter is not exactly unity at rest).
    size_t edge = (last - first) / 10;
    for (size_t i = first + edge; i < last - edge; ++i) {
        ASSERT_NEAR(out[i].left, 1000, 5) << i;
        ASSERT_NEAR(out[i].right, -2000, 10) << i;
    }
}

TEST(SdlAudioWithoutDevice, EverythingGoesOnSilently) {
    struct Case {
        const char* what;
        const char* driver;
        const char* file;
    };
    const Case cases[] = {
        {"the device cannot be opened", "disk", "/nonexistent-folder/pictoria/mixed.raw"},
        {"SDL's audio cannot start", "no-such-driver", "/dev/null"},
    };
    Bytes wave = WaveOf(22050, Ramp(100, 1), false);
    for (const Case& c : cases) {
        EnvVar driver("SDL_AUDIODRIVER", c.driver);
        EnvVar file("SDL_DISKAUDIOFILE", c.file);
        SdlAudio player;
        player.play(1000, SoundMode::Loop);
        player.playWave(wave.data(), wave.size(), SoundMode::Interrupt);
        EXPECT_FALSE(player.isPlaying()) << c.what;
        player.stop();
        EXPECT_FALSE(player.open()) << c.what;
        EXPECT_EQ(player.format().channels, 0) << c.what;
    }
}
