#include "synth_recipes.h"

#include <algorithm>
#include <cmath>

namespace synth {
namespace {

// Loops sit a little below the one-shots: they go on for as long as a stroke lasts.
constexpr double kLoopPeak = -6.0;
constexpr double kShotPeak = -4.0;
// Sounds with long pure tones sound louder than their peak says, and ticks heard at every press
// of a control should stay light: both sit lower. Sharp, short taps sit higher.
constexpr double kSoftPeak = -6.0;
constexpr double kTapPeak = -3.0;

float F(double v) { return static_cast<float>(v); }

// Where position k lies inside the current one of `count` equal parts of a loop, in seconds.
double InPart(size_t k, size_t frames, int count) {
    const double parts = static_cast<double>(k) * count / static_cast<double>(frames);
    return (parts - std::floor(parts)) * Seconds(frames) / count;
}

// `count` strokes per loop, as the level of a hand moving to and fro: 0 where it turns back.
// `shape` below 1 makes the strokes fuller.
double Strokes(size_t k, size_t frames, int count, double shape) {
    return std::pow(std::fabs(std::sin(kPi * count * static_cast<double>(k) / static_cast<double>(frames))), shape);
}

// A short burst of noise that dies away with time constant `tau`, softened by a low-pass at
// `hz`: the hit that makes something struck ring.
Samples Knock(uint32_t seed, double tau, double hz, double seconds) {
    Noise noise(seed);
    OnePole soft(hz);
    Samples s(Frames(seconds));
    for (size_t i = 0; i < s.size(); ++i) s[i] = soft.lowpass(noise()) * F(Decay(Seconds(i), 0.0003, tau));
    return s;
}

// Slow random wandering around 0 (about ±1), repeating every `frames` samples when built from
// periodic noise: for roughness in a loop.
class Wander {
public:
    Wander(double hz, double gain) : filter_(hz), gain_(static_cast<float>(gain)) {}
    float operator()(float white) { return gain_ * filter_.lowpass(white); }

private:
    OnePole filter_;
    float gain_;
};

// A bubble pop: a sine whose pitch leaps up as the bubble closes, with a tiny tick at the start.
Samples Pop(double hz, uint32_t seed) {
    Samples s(Frames(0.14));
    Osc osc;
    Noise noise(seed);
    Svf tick(hz * 4, 1.0);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        const double f = hz * (1.0 + 1.3 * (1.0 - std::exp(-t / 0.018)));
        tick.run(noise());
        s[i] = F(osc.sine(f) * Decay(t, 0.0015, 0.032) + 0.25 * tick.band() * Decay(t, 0.0002, 0.002));
    }
    return OneShot(std::move(s), kShotPeak, 0.0005, 0.02);
}

// A paintball splat: a wet burst whose brightness drops fast, a low thump under it and a wobble
// that makes it squelch.
Samples Splat(double bright, double thump, double wobble, uint32_t seed) {
    Samples s(Frames(0.36));
    Noise noise(seed);
    Svf wet;
    Osc low;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        wet.set(Glide(t, bright, 240, 0.22), 2.2);
        wet.run(noise());
        const double squelch = 0.65 + 0.35 * std::sin(kTwoPi * wobble * t);
        const double body = wet.low() * Decay(t, 0.003, 0.07) * squelch;
        const double knock = low.sine(Glide(t, thump, thump * 0.4, 0.12)) * Decay(t, 0.002, 0.045);
        s[i] = F(0.9 * body + 0.7 * knock);
    }
    // A couple of small drips land after it.
    Mix(s, Strike({{thump * 4.1, 0.25, 0.02}}, 0.08, 0.002), Frames(0.17));
    Mix(s, Strike({{thump * 5.3, 0.18, 0.018}}, 0.08, 0.002), Frames(0.24));
    return OneShot(std::move(s), kShotPeak, 0.001, 0.03);
}

// A soft paper-like texture of tiny ticks scattered over a loop, `perSecond` of them.
Samples Crackle(size_t frames, double perSecond, double hz, uint32_t seed) {
    Samples out(frames);
    Noise where(seed);
    const int count = static_cast<int>(perSecond * Seconds(frames));
    for (int i = 0; i < count; ++i) {
        const double pitch = hz * where.uniform(0.8, 1.25);
        const auto at = static_cast<size_t>(where.uniform(0, static_cast<double>(frames)));
        MixWrapped(out, Strike({{pitch, 1, 0.0012}}, 0.008, 0.0002), at, F(where.uniform(0.3, 1.0)));
    }
    return out;
}

}  // namespace

// ---- Tool loops ------------------------------------------------------------------------------

Samples MakePencil() {
    const size_t n = Frames(1.0);
    const Samples grit = PeriodicNoise(n, 101);
    const Samples rough = PeriodicNoise(n, 102);
    const Samples paper = Crackle(n, 45, 3800, 103);
    Svf lead, body;
    OnePole low(5500);
    Wander wander(35, 14);
    return Loop(n, kLoopPeak, [&](size_t k) {
        // Four strokes a second; each eases off where the hand turns.
        const double stroke = Strokes(k, n, 4, 0.6);
        const double level = (0.3 + 0.7 * stroke) * std::clamp(1.0 + wander(rough[k]), 0.35, 1.7);
        lead.set(2100 + 900 * stroke, 0.9);
        lead.run(grit[k]);
        body.set(950, 1.3);
        body.run(grit[k]);
        const float v = F(level * (lead.band() + 0.35 * body.band()) + 0.25 * stroke * paper[k]);
        return low.lowpass(v);
    });
}

Samples MakeBrush() {
    const size_t n = Frames(1.2);
    const Samples air = PeriodicNoise(n, 201);
    const Samples bristle = PeriodicNoise(n, 202);
    Svf swish, tips;
    OnePole soft(4200);
    return Loop(n, kLoopPeak, [&](size_t k) {
        // Two swishes, each swelling and brightening as the brush sweeps.
        const double sweep = 0.5 - 0.5 * std::cos(kTwoPi * LoopPhase(k, n, 2));
        swish.set(420 + 1500 * sweep, 1.1);
        swish.run(air[k]);
        tips.set(2900, 2.0);
        tips.run(bristle[k]);
        const double v = (0.12 + 0.88 * std::pow(sweep, 1.5)) * swish.band() + 0.22 * sweep * sweep * tips.band();
        return soft.lowpass(F(v));
    });
}

Samples MakeSprayCan() {
    const size_t n = Frames(1.0);
    const Samples hiss = PeriodicNoise(n, 301);
    const Samples flutter = PeriodicNoise(n, 302);
    Svf cut, top;
    cut.set(2600, 0.7);
    top.set(7800, 0.7);
    Wander wander(18, 10);
    return Loop(n, kLoopPeak, [&](size_t k) {
        cut.run(hiss[k]);
        top.run(cut.high());
        const double level = 0.85 + 0.07 * LoopSine(k, n, 6) + 0.04 * LoopSine(k, n, 15, 0.3) +
                             std::clamp(0.1 * wander(flutter[k]), -0.12, 0.12);
        return F(level * top.low());
    });
}

Samples MakeWand() {
    const size_t n = Frames(1.0);
    // Bell-like sparkles on a bright pentatonic scale, scattered round the loop.
    const double notes[] = {1568, 2093, 2349, 2637, 3136, 3520, 4186};
    Samples sparkles(n);
    Noise pick(1101);
    for (int i = 0; i < 22; ++i) {
        const double f = notes[static_cast<int>(pick.uniform(0, 6.999))];
        const double tau = pick.uniform(0.03, 0.08);
        const auto at = static_cast<size_t>(pick.uniform(0, static_cast<double>(n)));
        MixWrapped(sparkles, Strike({{f, 1, tau}, {2 * f, 0.2, tau / 2}}, 8 * tau, 0.002), at,
                   F(pick.uniform(0.35, 1.0)));
    }
    // Under them, a quiet shimmering chord (C, E, G), each note swelling at its own pace.
    const double c = CyclesNear(1047, n), e = CyclesNear(1319, n), g = CyclesNear(1568, n);
    return Loop(n, kLoopPeak, [&](size_t k) {
        auto swell = [&](double cycles, double start) { return 0.5 + 0.5 * LoopSine(k, n, cycles, start); };
        const double chord = swell(2, 0.0) * LoopSine(k, n, c) + swell(3, 0.3) * LoopSine(k, n, e) +
                             swell(5, 0.6) * LoopSine(k, n, g);
        return F(sparkles[k] + 0.07 * chord);
    });
}

Samples MakeNeedle() {
    const size_t n = Frames(0.8);
    constexpr int kZips = 4;  // zip up, zip down, ...
    const double zipLength = 0.13;
    Samples teeth(n);
    for (int z = 0; z < kZips; ++z) {
        const size_t start = n * z / kZips;
        const bool up = z % 2 == 0;
        for (double t = 0; t < zipLength;) {
            const double x = t / zipLength;
            const double pitch = up ? Glide(x, 1900, 3300, 1) : Glide(x, 3000, 1800, 1);
            const double level = std::pow(std::sin(kPi * x), 0.7);
            MixWrapped(teeth, Strike({{pitch, 1, 0.0014}, {pitch * 1.62, 0.45, 0.001}}, 0.01, 0.0002),
                       start + Frames(t), F(level));
            t += 1.0 / (up ? 140 + 120 * x : 260 - 120 * x);  // the teeth come faster, or slower
        }
    }
    const Samples thread = PeriodicNoise(n, 1241);
    Svf whisper(3600, 1.4);
    return Loop(n, kLoopPeak, [&](size_t k) {
        whisper.run(thread[k]);
        const double pull = Hump(InPart(k, n, kZips), 0, zipLength + 0.02);
        return F(teeth[k] + 0.3 * pull * whisper.band());
    });
}

Samples MakeCog() {
    const size_t n = Frames(1.0);
    Samples ticks(n);
    for (int j = 0; j < 8; ++j) {
        const bool tick = j % 2 == 0;
        Samples s = tick ? Strike({{2650, 1, 0.009}, {4150, 0.6, 0.006}, {1320, 0.35, 0.015}}, 0.09)
                         : Strike({{1850, 1, 0.012}, {2950, 0.5, 0.008}, {930, 0.4, 0.018}}, 0.1);
        Mix(s, Knock(2500 + j, 0.0015, 5000, 0.01), 0, 0.5f);
        MixWrapped(ticks, s, n * j / 8, tick ? 1.0f : 0.8f);
        // Two small teeth of the ratchet between one tick and the next.
        for (int r = 1; r <= 2; ++r)
            MixWrapped(ticks, Strike({{4300.0 + 200.0 * r, 1, 0.002}}, 0.015), n * j / 8 + n * r / 24, 0.12f);
    }
    const Samples purr = PeriodicNoise(n, 2502);
    Svf gears(720, 3);
    return Loop(n, kTapPeak, [&](size_t k) {
        gears.run(purr[k]);
        const double turn = 0.6 + 0.4 * LoopSine(k, n, 8, 0.25);
        return F(ticks[k] + 0.2 * turn * gears.band());
    });
}

Samples MakeHammer() {
    const size_t n = Frames(0.8);
    Samples taps(n);
    Noise vary(2601);
    const float levels[] = {1.0f, 0.55f, 0.85f, 0.5f};
    for (int j = 0; j < 4; ++j) {
        const double p = vary.uniform(0.98, 1.02);
        Samples tap = Strike({{1180 * p, 0.8, 0.018}, {2870 * p, 0.45, 0.010}, {4630 * p, 0.2, 0.006},
                              {360, 0.6, 0.035}},
                             0.16, 0.0008);
        Mix(tap, Knock(2610 + j, 0.003, 2500, 0.02), 0, 0.7f);
        MixWrapped(taps, tap, n * j / 4, levels[j]);
        // After a firm tap, a few chips of stone skitter away.
        if (levels[j] > 0.8f) {
            for (int c = 0; c < 3; ++c) {
                const double f = vary.uniform(5000, 7200);
                MixWrapped(taps, Strike({{f, 1, 0.002}}, 0.012), n * j / 4 + Frames(vary.uniform(0.03, 0.09)),
                           F(vary.uniform(0.06, 0.14)));
            }
        }
    }
    return Loop(n, kShotPeak, [&](size_t k) { return taps[k]; });
}

Samples MakeRag() {
    const size_t n = Frames(0.5);
    const Samples cloth = PeriodicNoise(n, 3001);
    Svf rub(800, 0.7);
    OnePole soft(3000);
    return Loop(n, kLoopPeak, [&](size_t k) {
        rub.run(cloth[k]);
        return soft.lowpass(F(Strokes(k, n, 2, 0.8) * rub.band()));
    });
}

Samples MakeSunglasses() {
    const size_t n = Frames(0.5);
    // Two pairs of close notes beating slowly against each other: a cool shimmer.
    const double a = CyclesNear(1319, n), b = CyclesNear(1760, n);
    return Loop(n, kLoopPeak, [&](size_t k) {
        return F(LoopSine(k, n, a) + LoopSine(k, n, a + 2) + 0.7 * (LoopSine(k, n, b) + LoopSine(k, n, b + 3)));
    });
}

Samples MakeLightbulb() {
    const size_t n = Frames(0.5);
    // A warm, glowing hum that swells once per loop.
    const double f = CyclesNear(220, n);
    return Loop(n, kLoopPeak, [&](size_t k) {
        const double glow = 0.7 + 0.3 * LoopSine(k, n, 1);
        const double hum = LoopSine(k, n, f) + 0.4 * LoopSine(k, n, 2 * f) + 0.15 * LoopSine(k, n, 3 * f);
        return F(glow * hum + 0.08 * LoopSine(k, n, 9 * f) * LoopSine(k, n, 2));
    });
}

Samples MakePepper() {
    const size_t n = Frames(0.5);
    const Samples grains = PeriodicNoise(n, 3601);
    Svf bright(5200, 0.9);
    return Loop(n, kLoopPeak, [&](size_t k) {
        // Four shakes of the pot.
        bright.run(grains[k]);
        return F(Decay(InPart(k, n, 4), 0.004, 0.03) * bright.band());
    });
}

Samples MakePocketKnife() {
    const size_t n = Frames(0.5);
    const Samples wood = PeriodicNoise(n, 3701);
    Svf shave;
    return Loop(n, kLoopPeak, [&](size_t k) {
        // Two whittling strokes, each scraping a little higher as it goes.
        const double t = InPart(k, n, 2);
        shave.set(1500 + 4400 * t, 2.2);
        shave.run(wood[k]);
        return F(Hump(t, 0, Seconds(n) / 2) * shave.band());
    });
}

Samples MakeCrayon() {
    const size_t n = Frames(0.5);
    const Samples wax = PeriodicNoise(n, 3801);
    Svf low(1100, 1.4), high(2400, 2.0);
    return Loop(n, kLoopPeak, [&](size_t k) {
        low.run(wax[k]);
        high.run(wax[k]);
        const double stroke = Strokes(k, n, 5, 0.7);
        return F((0.3 + 0.7 * stroke) * (low.band() + 0.4 * high.band()));
    });
}

// ---- One-shots -------------------------------------------------------------------------------

Samples MakeRuler() {
    const double clickAt = 0.2;
    Samples s(Frames(0.34));
    Noise noise(1002);
    Svf slide;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        slide.set(Glide(t, 1400, 3200, clickAt), 2.5);
        slide.run(noise());
        const double level = t < clickAt ? SmoothStep(t / 0.15) : std::exp(-(t - clickAt) / 0.015);
        s[i] = F(0.8 * level * slide.band());
    }
    Mix(s, Strike({{1500, 1, 0.012}, {3150, 0.6, 0.007}, {620, 0.5, 0.02}}, 0.12), Frames(clickAt));
    Mix(s, Knock(1003, 0.0012, 4000, 0.01), Frames(clickAt), 0.6f);
    return OneShot(std::move(s), kShotPeak);
}

Samples MakeEraser() {
    Samples s(Frames(0.13));
    Noise noise(1031);
    Svf rub(1000, 1.2);
    OnePole soft(3500);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        rub.run(noise());
        const double grip = 0.7 + 0.3 * std::sin(kTwoPi * 45 * t);  // rubber catching on paper
        s[i] = soft.lowpass(F(Hump(t, 0, 0.125) * grip * rub.band()));
    }
    return OneShot(std::move(s), kShotPeak - 1);
}

Samples MakeJar() {
    Samples s(Frames(0.55));
    // Three glugs, each a bubble of air rising through the paint.
    const double at[] = {0.0, 0.14, 0.3};
    const double pitch[] = {170, 205, 185};
    for (int g = 0; g < 3; ++g) {
        Samples glug(Frames(0.22));
        Osc osc;
        for (size_t i = 0; i < glug.size(); ++i) {
            const double t = Seconds(i);
            const double f = Glide(t, pitch[g], pitch[g] * 2.3, 0.07);
            const double v = osc.sine(f);
            glug[i] = F((v + 0.2 * v * v) * Decay(t, 0.004, 0.045));
        }
        Mix(s, glug, Frames(at[g]), g == 1 ? 0.85f : 1.0f);
    }
    // The paint pouring underneath.
    Noise noise(1004);
    OnePole thick(900);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        s[i] += F(0.12 * Hump(t, 0, 0.5) * (0.7 + 0.3 * std::sin(kTwoPi * 23 * t)) * thick.lowpass(noise()) * 3);
    }
    return OneShot(std::move(s), kShotPeak);
}

Samples MakeScissors() {
    Samples s(Frames(0.28));
    Noise noise(1005);
    Svf blade(4500, 2.0), edge(3000, 0.7);
    // Each snip: the blades slide (a short hiss), then close with a small metallic snap.
    const double snaps[] = {0.06, 0.18};
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        blade.run(noise());
        double slide = 0;
        for (double at : snaps) slide += Hump(t, at - 0.055, 0.06);
        s[i] = F(0.4 * slide * blade.band());
    }
    for (double at : snaps) {
        Samples snap = Strike({{3400, 0.7, 0.009}, {5100, 0.5, 0.007}, {2300, 0.4, 0.012}}, 0.09, 0.0003);
        Samples hiss(snap.size());
        for (size_t i = 0; i < hiss.size(); ++i) {
            edge.run(noise());
            hiss[i] = F(edge.high() * Decay(Seconds(i), 0.0003, 0.004));
        }
        Mix(snap, hiss, 0, 0.6f);
        Mix(s, snap, Frames(at), at > 0.1 ? 0.9f : 1.0f);
    }
    return OneShot(std::move(s), kShotPeak);
}

Samples MakePop1() { return Pop(440, 1006); }
Samples MakePop2() { return Pop(554, 1007); }
Samples MakePop3() { return Pop(659, 1008); }
Samples MakePop4() { return Pop(784, 1009); }
Samples MakePop5() { return Pop(988, 1010); }

Samples MakeSplat1() { return Splat(2600, 150, 28, 1012); }
Samples MakeSplat2() { return Splat(3200, 120, 22, 1013); }
Samples MakeSplat3() { return Splat(2200, 180, 34, 1014); }

Samples MakeClick() {
    Samples s = Strike({{1750, 1, 0.006}, {3300, 0.5, 0.003}, {820, 0.4, 0.01}}, 0.07, 0.0003);
    Mix(s, Knock(1015, 0.0008, 4500, 0.008), 0, 0.5f);
    return OneShot(std::move(s), kShotPeak - 1, 0.0003, 0.012);
}

Samples MakeDropper() {
    Samples s(Frames(0.16));
    Osc osc;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        const double v = osc.sine(Glide(t, 260, 760, 0.07));
        s[i] = F((v + 0.15 * v * v) * Decay(t, 0.005, 0.04));
    }
    return OneShot(std::move(s), kShotPeak, 0.001, 0.02);
}

Samples MakeStamp() {
    Samples s(Frames(0.24));
    Osc low;
    Noise noise(1020);
    OnePole thud(800);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        const double boom = low.sine(Glide(t, 140, 60, 0.1)) * Decay(t, 0.002, 0.06);
        s[i] = F(boom + 0.8 * thud.lowpass(noise()) * 4 * Decay(t, 0.0005, 0.01));
    }
    Mix(s, Strike({{420, 0.5, 0.025}, {1030, 0.2, 0.012}}, 0.15, 0.0008), 0);
    return OneShot(std::move(s), kShotPeak, 0.001, 0.03);
}

Samples MakeUndo() {
    const double length = 0.45, peakAt = 0.39;
    Samples s(Frames(length));
    Noise noise(1028);
    Svf air;
    Osc tone;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        // Swells slowly and stops short: a whoosh heard backwards.
        const double x = std::min(t / peakAt, 1.0);
        const double level = t < peakAt ? x * x * x : std::exp(-(t - peakAt) / 0.012);
        air.set(Glide(t, 2600, 600, peakAt), 1.4);
        air.run(noise());
        const double fwip = tone.sine(Glide(t, 280, 900, peakAt));
        s[i] = F(level * (air.band() + 0.25 * fwip));
    }
    return OneShot(std::move(s), kShotPeak, 0.002, 0.02);
}

Samples MakeTemplates() {
    Samples s(Frames(0.55));
    Osc spring;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        // A spring: the pitch wobbles fast at first and settles a little higher.
        const double f = 190 * (1.0 + 0.15 * SmoothStep(t / 0.3)) * (1.0 + 0.28 * std::exp(-t / 0.18) * std::sin(kTwoPi * 9 * t));
        const double v = spring.triangle(f);
        s[i] = F(v * Decay(t, 0.004, 0.17));
    }
    OnePole soft(2500);
    for (float& v : s) v = soft.lowpass(v);
    return OneShot(std::move(s), kSoftPeak, 0.001, 0.04);
}

Samples MakeChoose() {
    Samples s(Frames(0.2));
    // G then C, round-edged squares: a little "bip-bip" of agreement.
    const double at[] = {0.0, 0.07};
    const double pitch[] = {784, 1047};
    const double tau[] = {0.03, 0.045};
    for (int n = 0; n < 2; ++n) {
        Samples note(Frames(0.13));
        Osc osc;
        for (size_t i = 0; i < note.size(); ++i) {
            const double t = Seconds(i);
            note[i] = F(osc.softSquare(pitch[n], 2.0) * Decay(t, 0.003, tau[n]));
        }
        Mix(s, note, Frames(at[n]));
    }
    s.resize(Frames(0.2));
    OnePole soft(4000);
    for (float& v : s) v = soft.lowpass(v);
    return OneShot(std::move(s), kSoftPeak, 0.001, 0.03);
}

Samples MakeControl() {
    Samples s = Strike({{3500, 1, 0.0035}, {5200, 0.4, 0.002}}, 0.045, 0.0003);
    Mix(s, Knock(1035, 0.0005, 6000, 0.005), 0, 0.3f);
    return OneShot(std::move(s), kSoftPeak, 0.0003, 0.01);
}

// ---- New picture transitions ------------------------------------------------------------------

Samples MakeWipe() {
    const double length = 0.95;
    Samples s(Frames(length));
    Noise noise(1016);
    Svf sweep, sweep2;
    Osc whee;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        const double level = t < 0.3 ? SmoothStep(t / 0.3) : std::exp(-(t - 0.3) / 0.22);
        sweep.set(Glide(t, 300, 3800, 0.8), 2.0);
        sweep2.set(Glide(t, 450, 5200, 0.8), 3.0);
        const float white = noise();
        sweep.run(white);
        sweep2.run(white);
        const double tone = whee.sine(Glide(t, 400, 1300, 0.8)) * Hump(t, 0.05, 0.8);
        s[i] = F(level * (sweep.band() + 0.5 * sweep2.band()) + 0.12 * tone);
    }
    return OneShot(std::move(s), kShotPeak, 0.01, 0.08);
}

Samples MakeMelt() {
    const double length = 1.1;
    Samples s(Frames(length));
    Osc voice;
    const Adsr shape{0.04, 0.3, 0.8, 0.28};
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        // Sliding down, wobbling more and more as it goes soft.
        const double wobble = 1.0 + (0.02 + 0.05 * t) * std::sin(kTwoPi * 6.5 * t);
        const double v = voice.sine(Glide(t, 880, 190, 0.95) * wobble);
        s[i] = F(shape(t, 0.8) * (v + 0.25 * v * v * v));
    }
    // Drips falling off as it melts.
    const double drips[] = {0.28, 0.55, 0.78};
    for (int d = 0; d < 3; ++d) {
        Samples drip(Frames(0.12));
        Osc osc;
        for (size_t i = 0; i < drip.size(); ++i) {
            const double t = Seconds(i);
            drip[i] = F(osc.sine(Glide(t, 700 + 120 * d, 1700 + 200 * d, 0.05)) * Decay(t, 0.002, 0.025));
        }
        Mix(s, drip, Frames(drips[d]), 0.6f);
    }
    return OneShot(std::move(s), kSoftPeak, 0.005, 0.08);
}

Samples MakeSlide() {
    const double length = 0.95;
    Samples s(Frames(length));
    Noise noise(1018);
    Svf swoosh;
    Osc whistle;
    const Adsr shape{0.06, 0.25, 0.85, 0.2};
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        // The whistle glides down, with a light vibrato, as the picture slides away.
        const double f = Glide(t, 1250, 420, 0.8) * (1.0 + 0.012 * std::sin(kTwoPi * 5.5 * t));
        const double level = shape(t, 0.72);
        swoosh.set(Glide(t, 900, 2600, 0.5), 1.5);
        swoosh.run(noise());
        s[i] = F(level * whistle.softSquare(f, 1.3) + 0.7 * Hump(t, 0, 0.7) * swoosh.band());
    }
    OnePole soft(3800);
    for (float& v : s) v = soft.lowpass(v);
    return OneShot(std::move(s), kSoftPeak, 0.005, 0.08);
}

Samples MakeShrink() {
    const double length = 0.9;
    Samples s(Frames(length));
    Osc whirr;
    double tremoloPhase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        // Rising and spinning faster and faster as the picture gets smaller.
        tremoloPhase += Glide(t, 6, 32, 0.75) / kRate;
        const double spin = 0.55 + 0.45 * std::sin(kTwoPi * tremoloPhase);
        const double v = whirr.triangle(Glide(t, 180, 1300, 0.75));
        const double level = SmoothStep(t / 0.05) * (t < 0.72 ? 1.0 : std::exp(-(t - 0.72) / 0.025));
        s[i] = F(level * spin * v);
    }
    OnePole soft(3000);
    for (float& v : s) v = soft.lowpass(v);
    // The pip as it vanishes.
    Mix(s, Strike({{1600, 0.8, 0.03}, {3200, 0.2, 0.015}}, 0.14, 0.002), Frames(0.76));
    return OneShot(std::move(s), kSoftPeak, 0.005, 0.04);
}

}  // namespace synth
