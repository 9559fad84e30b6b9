// Sound: the toolbox's rules, broken WAVE files refused without reading past their bytes, the
// one-sound mixer byte by byte, the sounds the resource compiler synthesizes (every sound id, read
// as the player reads them), and the SDL player going on silently without a device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/audio_sdl.h"
#include "resources/resource_ids.h"
#include "resources/resources.h"
#include "tests/unit/test_drawing_support.h"

using namespace platform;

namespace {

// ---- The toolbox's rules -------------------------------------------------------------------------

// What reached the player, a request as Play(id, mode) and a stop as kStop.
constexpr int kStop = -1;
int Play(int id, SoundMode mode) { return id * 10 + int(mode); }
constexpr SoundMode kOnce = SoundMode::NoInterrupt, kCut = SoundMode::Interrupt, kRound = SoundMode::Loop;

class SoundRules : public ToolboxTest {
protected:
    std::vector<int> heard() {
        std::vector<int> out;
        for (const RecordedSound& s : desktop().sounds()) out.push_back(s.stop ? kStop : Play(s.soundId, s.mode));
        return out;
    }
};

// Any non-zero turns sound on; tb_Init turns it on again. A loop started
// before the child switched sound off must still end.
TEST_F(SoundRules, EachCallReachesThePlayerInItsModeOrNotAtAll) {
    // What, with the switch at, the call, what reaches the player, and how many beeps.
    const std::tuple<const char*, int, std::function<void()>, std::vector<int>, int> cases[] = {
        {"play now", -1, [] { tb_PlaySoundNow(1020); }, {Play(1020, kCut)}, 0},
        {"play", 2, [] { tb_PlaySound(1015); }, {Play(1015, kOnce)}, 0},
        {"beep", 1, [] { tb_Beep(); }, {}, 1},
        {"play id 0", 1, [] { tb_PlaySound(0); }, {}, 0},
        {"play now a negative id", 1, [] { tb_PlaySoundNow(-1); }, {}, 0},
        // The loop request refuses no id; what an id without a sound does is the player's affair.
        {"loop id 0", 1, [] { tb_PlaySoundLoop(0); }, {Play(0, kRound)}, 0},
        {"play now while off", 0, [] { tb_PlaySoundNow(1020); }, {}, 0},
        {"loop while off", 0, [] { tb_PlaySoundLoop(1001); }, {}, 0},
        {"beep while off", 0, [] { tb_Beep(); }, {}, 0},
        {"stop while off", 0, [] { tb_StopSound(); }, {kStop}, 0},
    };
    for (const auto& [what, on, call, expected, beeps] : cases) {
        desktop().clearRecords();
        tb_SetSoundSwitch(on);
        EXPECT_EQ(tb_GetSoundSwitch(), int(on != 0)) << what;
        call();
        EXPECT_EQ(heard(), expected) << what;
        EXPECT_EQ(desktop().beeps(), beeps) << what;
    }
    tb_Init();
    EXPECT_EQ(tb_GetSoundSwitch(), 1);
}

// ---- WAVE files --------------------------------------------------------------------------------

using Bytes = std::vector<uint8_t>;

void Put(Bytes& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
Bytes Chunk(const char* tag, const Bytes& body) {
    Bytes b(tag, tag + 4);
    Put(b, static_cast<uint32_t>(body.size()), 4);
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) b.push_back(0);
    return b;
}
Bytes Fmt16(int channels, uint32_t rate) {
    Bytes b;
    const uint32_t frame = 2 * uint32_t(channels);
    for (auto [v, n] : {std::pair{1u, 2}, {uint32_t(channels), 2}, {rate, 4}, {rate * frame, 4}, {frame, 2}, {16u, 2}})
        Put(b, v, n);
    return Chunk("fmt ", b);
}
Bytes Data(const std::vector<int16_t>& samples) {
    Bytes b;
    for (int16_t s : samples) Put(b, static_cast<uint16_t>(s), 2);
    return Chunk("data", b);
}
Bytes Riff(const std::vector<Bytes>& chunks) {
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    return Chunk("RIFF", body);
}
Bytes Patched(Bytes b, size_t at, uint32_t value32) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(value32 >> (8 * i));
    return b;
}

const std::vector<int16_t> kMono{0, 1, -1, 32767, -32768, 0x1234};

TEST(WaveFile, RefusesEverythingElseWithoutReadingPastTheBytes) {
    const Bytes good = Riff({Fmt16(1, 22050), Data(kMono)});
    const size_t dataSizeAt = good.size() - kMono.size() * 2 - 4;
    const std::pair<const char*, Bytes> cases[] = {
        {"nothing", {}},
        {"not WAVE", [&] { Bytes b = good; b[8] = 'X'; return b; }()},
        {"RIFF size of 4 GB", Patched(good, 4, 0xFFFFFFFFu)},
        {"fmt too short", Riff({Chunk("fmt ", Bytes(14, 1)), Data(kMono)})},
        {"data size just past the end", Patched(good, dataSizeAt, static_cast<uint32_t>(kMono.size() * 2 + 2))},
        {"a huge chunk before fmt", Patched(Riff({Chunk("LIST", {}), Fmt16(1, 22050), Data(kMono)}), 16, 0xFFFFFFF8u)},
        {"less than a frame", Riff({Fmt16(2, 22050), Data({1})})},
    };
    auto refused = [](const Bytes& file, bool null) {
        // A copy of exactly the bytes, so that the address sanitizer sees any read beyond them.
        auto exact = std::make_unique<uint8_t[]>(file.size() + 1);
        std::copy(file.begin(), file.end(), exact.get());
        WaveSound sound;
        sound.channels = 7;
        return !ParseWave(null ? nullptr : exact.get(), file.size(), sound) && sound.channels == 7;
    };
    for (const auto& [what, file] : cases) EXPECT_TRUE(refused(file, file.empty())) << what << ": read, or the result changed";
    for (size_t n = 0; n < good.size(); ++n) EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + long(n)), false)) << n;
}

// ---- The mixer -----------------------------------------------------------------------------------

SoundMixer::Clip ClipOf(const std::string& bytes) {
    return std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
}
std::string Mix(SoundMixer& mixer, size_t n) {
    std::string out(n, '?');
    mixer.mix(reinterpret_cast<uint8_t*>(out.data()), n, '.');
    return out;
}

TEST(SoundMixer, PlaysOneClipAtATimeInTheThreeModes) {
    const SoundMixer::Clip a = ClipOf("abcde"), b = ClipOf("XYZ"), none = ClipOf("");
    // A step starts a clip in a mode ('p'), stops ('s'), or mixes and expects the bytes ('m').
    struct Step { char op; SoundMixer::Clip clip; SoundMode mode; std::string expected; };
    auto P = [](SoundMixer::Clip c, SoundMode m) { return Step{'p', std::move(c), m, ""}; };
    auto M = [](const char* out) { return Step{'m', nullptr, SoundMode::NoInterrupt, out}; };
    const Step S{'s', nullptr, SoundMode::NoInterrupt, ""};
    const std::pair<const char*, std::vector<Step>> cases[] = {
        {"idle is silence", {M("....")}},
        {"once, then silence", {P(a, kCut), M("abcde..."), M("..")}},
        {"no interrupt while one plays", {P(a, kOnce), M("ab"), P(b, kOnce), M("cde...")}},
        {"no interrupt after the end", {P(a, kOnce), M("abcde."), P(b, kOnce), M("XYZ.")}},
        {"interrupt replaces at once", {P(a, kOnce), M("ab"), P(b, kCut), M("XYZ..")}},
        {"loop wraps without a gap", {P(a, kRound), M("abcdeab"), M("cdeabcd"), M("eabcdeabcdea")}},
        {"a loop counts as playing", {P(a, kRound), M("abc"), P(b, kOnce), M("deab")}},
        {"a loop replaced by a one-shot", {P(a, kRound), M("abc"), P(b, kCut), M("XYZ..")}},
        {"a one-shot replaced by a loop", {P(b, kOnce), M("X"), P(a, kRound), M("abcdea")}},
        {"stop silences a loop", {P(a, kRound), M("ab"), S, M("..."), P(b, kOnce), M("XYZ.")}},
        {"an empty clip changes nothing", {P(a, kOnce), M("a"), P(none, kCut), M("bcde.")}},
    };
    for (const auto& [what, steps] : cases) {
        SoundMixer mixer;
        for (size_t i = 0; i < steps.size(); ++i) {
            const Step& s = steps[i];
            if (s.op == 'p') mixer.start(s.clip, s.mode);
            if (s.op == 's') mixer.stop();
            if (s.op == 'm') { EXPECT_EQ(Mix(mixer, s.expected.size()), s.expected) << what << ", step " << i; }
        }
    }
}

// The mixer runs on the audio thread: it hands every clip it lets go back to the caller, never
// freeing one itself.
TEST(SoundMixer, HandsBackEveryClipItLetsGoAndKnowsWhenItIsDone) {
    const SoundMixer::Clip a = ClipOf("abc"), b = ClipOf("XY");
    SoundMixer mixer;
    EXPECT_FALSE(mixer.playing());
    EXPECT_EQ(mixer.start(a, SoundMode::NoInterrupt), nullptr);
    EXPECT_TRUE(mixer.playing());
    EXPECT_EQ(mixer.start(b, SoundMode::NoInterrupt), b) << "refused: handed straight back";
    EXPECT_EQ(mixer.start(b, SoundMode::Interrupt), a) << "replaced";
    Mix(mixer, 2);
    EXPECT_FALSE(mixer.playing()) << "played to its end";
    EXPECT_EQ(b.use_count(), 2) << "kept until the next start or stop, never freed while mixing";
    EXPECT_EQ(mixer.stop(), b);
    EXPECT_EQ(b.use_count(), 1);
    EXPECT_EQ(mixer.stop(), nullptr);
}

// ---- The sounds made -----------------------------------------------------------------------------

constexpr int kFull = 32767;

// Every sound is there for the player, loud enough to be heard and with headroom.
//
// A one-shot starts and ends in silence, and neither leaps to its level nor drops from it: it rises
// over at least a third of a millisecond (8 samples of 22050) and falls back the same way.
//
// Played round and round, a loop changes no more sharply where its last sample meets its first
// than it does within 3 ms of there (a quarter more, as noise varies), plus at most a step 60 dB
// below full scale, too small to hear: in the largest step from one sample to the next and in the
// largest third difference (s[j+3] - 3 s[j+2] + 3 s[j+1] - s[j]), small wherever the sound is
// smooth and large at any jump or kink. A big step is not a click in itself: a loud high tone
// takes big steps wherever it crosses zero. Nor is a loop offset from 0.
TEST(SoundsMade, LevelledAndOneShotsEndInSilenceAndLoopsJoinWithoutAClick) {
    const std::set<int> loops{kWavPencil, kWavBrush, kWavWand, kWavSprayCan, kWavNeedle, kWavCog, kWavHammer,
                              kWavRag, kWavSunglasses, kWavLightbulb, kWavPepper, kWavPocketKnife, kWavCrayon};
    for (int id = kWavPencil; id <= kWavCrayon; ++id) {  // every sound id but for three gaps
        if (id == 1021 || id == 1022 || id == 1027) continue;
        SCOPED_TRACE(id);
        const bool loop = loops.count(id) > 0;
        // The sound as the player reads it: no samples when it is missing or unreadable.
        WaveSound made;
        if (const ResourceData d = FindResource(ResourceKind::Wave, id)) ParseWave(d.bytes, d.size, made);
        const std::vector<int16_t>& s = made.samples;
        ASSERT_GT(s.size(), loop ? 1000u : 20u) << "missing, unreadable or too short";
        int peak = 0;
        for (int v : s) peak = std::max(peak, std::abs(v));
        const double peakDb = 20 * std::log10(double(peak) / kFull);
        EXPECT_TRUE(peakDb <= -2.0 && peakDb >= -8.0) << peakDb << " dB, not -8 to -2";
        for (size_t i = 0; i < 4 && !loop; ++i) {
            const int bound = i == 0 ? kFull / 100 : kFull / 8 * int(i);
            EXPECT_LE(std::abs(s[i]), bound) << "sample " << i << " from the start";
            EXPECT_LE(std::abs(s[s.size() - 1 - i]), bound) << "sample " << i << " from the end";
        }
        if (!loop) continue;
        const long n = long(s.size());
        double sum = 0;
        for (int v : s) sum += v;
        EXPECT_LE(std::fabs(sum / double(n)), kFull * 0.002) << "offset from 0";
        auto v = [&](long i) { return int(s[size_t((i % n + n) % n)]); };
        int stepAt = 0, stepNear = 0, kinkAt = 0, kinkNear = 0;
        for (long j = -64; j < 64; ++j) {  // windows holding both samples -1 and 0 straddle the seam
            int& step = j == -1 ? stepAt : stepNear;
            step = std::max(step, std::abs(v(j + 1) - v(j)));
            int& kink = j >= -3 && j <= -1 ? kinkAt : kinkNear;
            kink = std::max(kink, std::abs(v(j + 3) - 3 * v(j + 2) + 3 * v(j + 1) - v(j)));
        }
        EXPECT_LE(stepAt, stepNear * 5 / 4 + kFull / 1000) << "largest step nearby " << stepNear;
        EXPECT_LE(kinkAt, kinkNear * 5 / 4 + kFull / 1000) << "largest kink nearby " << kinkNear;
    }
}

// The device cannot be opened, or SDL's audio cannot start: everything goes on silently.
TEST(SdlAudioWithoutDevice, EverythingGoesOnSilently) {
    const Bytes wave = Riff({Fmt16(1, 22050), Data(kMono)});
    for (auto [driver, file] : {std::pair{"disk", "/nonexistent-folder/pictoria/mixed.raw"}, {"no-such-driver", "/dev/null"}}) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        setenv("SDL_DISKAUDIOFILE", file, 1);
        SdlAudio player;
        player.play(1000, SoundMode::Loop);
        player.playWave(wave.data(), wave.size(), SoundMode::Interrupt);
        EXPECT_FALSE(player.isPlaying()) << driver;
        player.stop();
        EXPECT_FALSE(player.open()) << driver;
        EXPECT_EQ(player.format().channels, 0) << driver;
    }
    for (const char* name : {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE"}) unsetenv(name);
}

}  // namespace
