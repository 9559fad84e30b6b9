// Reading WAVE files, and the one-sound mixer's three modes, byte by byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_sdl.h"

using platform::ParseWave;
using platform::SoundMixer;
using platform::SoundMode;
using platform::WaveSound;

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>(v >> 8 & 0xFF));
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutTag(Bytes& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

Bytes Chunk(const char* tag, const Bytes& body) {
    Bytes b;
    PutTag(b, tag);
    Put32(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) b.push_back(0);
    return b;
}

Bytes Fmt(int formatTag, int channels, uint32_t rate, int blockAlign, int bits) {
    Bytes b;
    Put16(b, static_cast<uint32_t>(formatTag));
    Put16(b, static_cast<uint32_t>(channels));
    Put32(b, rate);
    Put32(b, rate * static_cast<uint32_t>(blockAlign));
    Put16(b, static_cast<uint32_t>(blockAlign));
    Put16(b, static_cast<uint32_t>(bits));
    return Chunk("fmt ", b);
}
Bytes Fmt16(int channels, uint32_t rate) { return Fmt(1, channels, rate, channels * 2, 16); }

Bytes Data(const std::vector<int16_t>& samples) {
    Bytes b;
    for (int16_t s : samples) Put16(b, static_cast<uint16_t>(s));
    return Chunk("data", b);
}

Bytes Riff(const std::vector<Bytes>& chunks) {
    Bytes body;
    PutTag(body, "WAVE");
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes b;
    PutTag(b, "RIFF");
    Put32(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes Patched(Bytes b, size_t at, uint32_t value32) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(value32 >> (8 * i));
    return b;
}

const std::vector<int16_t> kMono{0, 1, -1, 32767, -32768, 0x1234};

}  // namespace

TEST(WaveFile, ReadsSamplesRatesAndChannelsAsWritten) {
    struct Case {
        const char* what;
        Bytes file;
        int channels;
        int rate;
        std::vector<int16_t> samples;
    };
    const Case cases[] = {
        {"mono", Riff({Fmt16(1, 22050), Data(kMono)}), 1, 22050, kMono},
        {"stereo, interleaved", Riff({Fmt16(2, 44100), Data({10, -10, 20, -20})}), 2, 44100, {10, -10, 20, -20}},
        {"other chunks around, one of odd length",
         Riff({Chunk("LIST", {1, 2, 3}), Fmt16(1, 8000), Chunk("fact", {4, 0, 0, 0}), Data({7, 8})}), 1, 8000, {7, 8}},
        {"data before fmt", Riff({Data({5, 6}), Fmt16(1, 48000)}), 1, 48000, {5, 6}},
        {"a longer fmt chunk", Riff({Chunk("fmt ", [] {
                                         Bytes f = Fmt16(2, 96000);
                                         Bytes body(f.begin() + 8, f.end());
                                         body.insert(body.end(), {0, 0});  // cbSize
                                         return body;
                                     }()),
                                     Data({1, 2})}),
         2, 96000, {1, 2}},
        {"a trailing half frame is dropped", Riff({Fmt16(2, 44100), Data({1, 2, 3, 4, 5})}), 2, 44100, {1, 2, 3, 4}},
        {"bytes after the RIFF are ignored", [] {
             Bytes b = Riff({Fmt16(1, 11025), Data({9})});
             b.insert(b.end(), {'j', 'u', 'n', 'k'});
             return b;
         }(),
         1, 11025, {9}},
    };
    for (const Case& c : cases) {
        WaveSound sound;
        ASSERT_TRUE(ParseWave(c.file.data(), c.file.size(), sound)) << c.what;
        EXPECT_EQ(sound.channels, c.channels) << c.what;
        EXPECT_EQ(sound.rate, c.rate) << c.what;
        EXPECT_EQ(sound.samples, c.samples) << c.what;
    }
}

TEST(WaveFile, RefusesEverythingElseWithoutReadingPastTheBytes) {
    const Bytes good = Riff({Fmt16(1, 22050), Data(kMono)});
    const size_t dataSizeAt = good.size() - kMono.size() * 2 - 4;
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"nothing", {}},
        {"only the tag", {'R', 'I', 'F', 'F'}},
        {"not RIFF", [&] { Bytes b = good; b[0] = 'X'; return b; }()},
        {"not WAVE", [&] { Bytes b = good; b[8] = 'X'; return b; }()},
        {"RIFF size past the end", Patched(good, 4, static_cast<uint32_t>(good.size()))},
        {"RIFF size below the WAVE tag", Patched(good, 4, 2)},
        {"RIFF size of 4 GB", Patched(good, 4, 0xFFFFFFFFu)},
        {"no fmt", Riff({Data(kMono)})},
        {"no data", Riff({Fmt16(1, 22050)})},
        {"fmt too short", Riff({Chunk("fmt ", Bytes(14, 1)), Data(kMono)})},
        {"float samples", Riff({Fmt(3, 1, 22050, 4, 32), Data(kMono)})},
        {"8-bit samples", Riff({Fmt(1, 1, 22050, 1, 8), Data(kMono)})},
        {"compressed", Riff({Fmt(2, 1, 22050, 2, 16), Data(kMono)})},
        {"three channels", Riff({Fmt(1, 3, 22050, 6, 16), Data(kMono)})},
        {"no channels", Riff({Fmt(1, 0, 22050, 0, 16), Data(kMono)})},
        {"block align of mono for stereo", Riff({Fmt(1, 2, 22050, 2, 16), Data(kMono)})},
        {"rate 0", Riff({Fmt16(1, 0), Data(kMono)})},
        {"rate too low", Riff({Fmt16(1, 4000), Data(kMono)})},
        {"rate too high", Riff({Fmt16(1, 384000), Data(kMono)})},
        {"data size past the end", Patched(good, dataSizeAt, static_cast<uint32_t>(kMono.size() * 2 + 2))},
        {"data size of 4 GB", Patched(good, dataSizeAt, 0xFFFFFFF0u)},
        {"a huge chunk before fmt", [] {
             Bytes b = Riff({Chunk("LIST", {}), Fmt16(1, 22050), Data(kMono)});
             return Patched(b, 16, 0xFFFFFFF8u);
         }()},
        {"empty data", Riff({Fmt16(1, 22050), Data({})})},
        {"less than a frame", Riff({Fmt16(2, 22050), Data({1})})},
    };
    for (const Case& c : cases) {
        WaveSound sound;
        sound.channels = 7;
        // A copy of exactly the bytes, so that the address sanitizer sees any read beyond them.
        auto exact = std::make_unique<uint8_t[]>(c.file.size() + 1);
        std::copy(c.file.begin(), c.file.end(), exact.get());
        EXPECT_FALSE(ParseWave(c.file.empty() ? nullptr : exact.get(), c.file.size(), sound)) << c.what;
        EXPECT_EQ(sound.channels, 7) << c.what << ": the result is left alone";
    }

    // Every cut of a good file is refused.
    for (size_t n = 0; n < good.size(); ++n) {
        auto exact = std::make_unique<uint8_t[]>(n + 1);
        std::copy(good.begin(), good.begin() + static_cast<long>(n), exact.get());
        WaveSound sound;
        EXPECT_FALSE(ParseWave(exact.get(), n, sound)) << n << " bytes";
    }
}

// ---- Mixer -----------------------------------------------------------------------------------

namespace {

SoundMixer::Clip ClipOf(const std::string& bytes) {
    return std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
}

std::string Mix(SoundMixer& mixer, size_t n) {
    std::string out(n, '?');
    mixer.mix(reinterpret_cast<uint8_t*>(out.data()), n, '.');
    return out;
}

}  // namespace

TEST(SoundMixer, PlaysOneClipAtATimeInTheThreeModes) {
    const SoundMixer::Clip a = ClipOf("abcde");
    const SoundMixer::Clip b = ClipOf("XYZ");
    const SoundMixer::Clip none = ClipOf("");
    // A step starts a clip (mode given), stops ('s'), or mixes n bytes and expects them.
    struct Step {
        char op;  // 'p' play, 's' stop, 'm' mix
        SoundMixer::Clip clip;
        SoundMode mode;
        std::string expected;
    };
    const SoundMode kNo = SoundMode::NoInterrupt, kNow = SoundMode::Interrupt, kLoop = SoundMode::Loop;
    auto P = [](SoundMixer::Clip c, SoundMode m) { return Step{'p', std::move(c), m, ""}; };
    auto M = [](const char* out) { return Step{'m', nullptr, SoundMode::NoInterrupt, out}; };
    const Step S{'s', nullptr, SoundMode::NoInterrupt, ""};
    struct Case {
        const char* what;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"idle is silence", {M("....")}},
        {"once, then silence", {P(a, kNow), M("abcde..."), M("..")}},
        {"no interrupt while one plays", {P(a, kNo), M("ab"), P(b, kNo), M("cde...")}},
        {"no interrupt after the end", {P(a, kNo), M("abcde."), P(b, kNo), M("XYZ.")}},
        {"interrupt replaces at once", {P(a, kNo), M("ab"), P(b, kNow), M("XYZ..")}},
        {"interrupt restarts the same clip", {P(a, kNo), M("abc"), P(a, kNow), M("abcde.")}},
        {"loop wraps without a gap", {P(a, kLoop), M("abcdeab"), M("cdeabcd"), M("eabcdeabcdea")}},
        {"loop in one long mix", {P(b, kLoop), M("XYZXYZXYZX")}},
        {"a loop counts as playing", {P(a, kLoop), M("abc"), P(b, kNo), M("deab")}},
        {"a loop replaced by a one-shot", {P(a, kLoop), M("abc"), P(b, kNow), M("XYZ..")}},
        {"a one-shot replaced by a loop", {P(b, kNo), M("X"), P(a, kLoop), M("abcdea")}},
        {"stop silences a loop", {P(a, kLoop), M("ab"), S, M("..."), P(b, kNo), M("XYZ.")}},
        {"stop when idle", {S, M("..")}},
        {"an empty clip changes nothing", {P(a, kNo), M("a"), P(none, kNow), M("bcde.")}},
        {"no clip changes nothing", {P(a, kLoop), M("a"), P(nullptr, kLoop), M("bcdea")}},
    };
    for (const Case& c : cases) {
        SoundMixer mixer;
        int index = 0;
        for (const Step& s : c.steps) {
            if (s.op == 'p') mixer.start(s.clip, s.mode);
            if (s.op == 's') mixer.stop();
            if (s.op == 'm') EXPECT_EQ(Mix(mixer, s.expected.size()), s.expected) << c.what << ", step " << index;
            ++index;
        }
    }
}

TEST(SoundMixer, HandsBackEveryClipItLetsGoAndKnowsWhenItIsDone) {
    const SoundMixer::Clip a = ClipOf("abc");
    const SoundMixer::Clip b = ClipOf("XY");
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
