// The building blocks of the sound recipes: oscillators, noise, envelopes, filters and the two
// ways a sound is finished (a one-shot that starts and ends at silence, a loop whose end flows
// into its start). Samples are mono floats in -1..1 at kSynthRate; everything is deterministic,
// so a build always makes the same sounds.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "wave.h"

namespace synth {

using Samples = std::vector<float>;

constexpr double kRate = kSynthRate;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

// The number of samples in `seconds`, rounded.
size_t Frames(double seconds);
inline double Seconds(size_t frame) { return static_cast<double>(frame) / kRate; }

// ---- Sources ---------------------------------------------------------------------------------

// White noise, evenly spread over -1..1; the same seed gives the same sequence.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}
    float operator()();
    // A number in lo..hi, for scattering events.
    double uniform(double lo, double hi);

private:
    uint32_t state_;
};

// Noise that repeats every `frames` samples with no mean, for loops.
Samples PeriodicNoise(size_t frames, uint32_t seed);

// A phase accumulator. The frequency may change at every sample (sweeps, vibrato); the phase
// runs on smoothly whatever it does.
class Osc {
public:
    explicit Osc(double startCycles = 0) : phase_(startCycles) {}
    float sine(double hz);
    float triangle(double hz);
    // A square wave with rounded edges: hardness 1 is nearly a sine, 6 nearly square.
    float softSquare(double hz, double hardness);

private:
    double step(double hz);  // the phase before this sample, in cycles
    double phase_;
};

// Frequency at `t` of an exponential glide from f0 to f1 taking `seconds`, holding f1 after.
double Glide(double t, double f0, double f1, double seconds);

// ---- Envelopes (all 0 before they start) -----------------------------------------------------

struct Adsr {
    double attack, decay, sustain, release;
    // The level at `t` of a note held for `held` seconds, then released.
    double operator()(double t, double held) const;
};

// A quick rise over `attack` seconds, then exponential decay with time constant `tau`.
double Decay(double t, double attack, double tau);
// A raised-cosine hump from `start` lasting `length` seconds, 1 at its middle.
double Hump(double t, double start, double length);
// 0 at 0 and 1 at 1, smooth at both ends.
double SmoothStep(double x);

// ---- Filters ---------------------------------------------------------------------------------

// One-pole low-pass; `highpass` gives its complement.
class OnePole {
public:
    explicit OnePole(double hz = 1000) { set(hz); }
    void set(double hz);
    float lowpass(float x);
    float highpass(float x) { return x - lowpass(x); }

private:
    float a_ = 0, z_ = 0;
};

// Two-pole state-variable filter (trapezoidal, stays stable while its frequency is swept).
class Svf {
public:
    Svf(double hz = 1000, double q = 0.7071) { set(hz, q); }
    void set(double hz, double q);
    // Runs one sample; the three responses are then read below.
    void run(float x);
    float low() const { return low_; }
    float band() const { return band_; }  // 1 at the centre frequency
    float high() const { return high_; }

private:
    double k_ = 1, a1_ = 0, a2_ = 0, a3_ = 0;
    double s1_ = 0, s2_ = 0;
    float low_ = 0, band_ = 0, high_ = 0;
};

// ---- Struck sounds ---------------------------------------------------------------------------

// One partial of something struck: a sine at `hz` with level `level` dying away with time
// constant `tau` seconds.
struct Mode {
    double hz, level, tau;
};

// The sum of `modes` from phase 0 (so it starts at 0) over `seconds`, each with a short onset
// of `attack` seconds.
Samples Strike(std::initializer_list<Mode> modes, double seconds, double attack = 0.0005);

// ---- Putting sounds together -------------------------------------------------------------------

// Adds `gain` times `part` into `into` from sample `at` on; `into` grows as needed.
void Mix(Samples& into, const Samples& part, size_t at, float gain = 1);
// Adds into a loop: what runs past the loop's end comes in again at its start.
void MixWrapped(Samples& loop, const Samples& part, size_t at, float gain = 1);

// The level that is `db` decibels below full scale, e.g. -4 -> 0.63.
double FromDb(double db);

// Finishes a one-shot: removes any slow drift, fades in over `fadeIn` and out over `fadeOut`
// seconds (raised cosine, so the first and last samples are exactly 0) and scales it so that
// its peak lies `peakDb` below full scale.
Samples OneShot(Samples s, double peakDb, double fadeIn = 0.002, double fadeOut = 0.012);

// Renders a loop of `frames` samples. `next(k)` is asked for positions k = 0..frames-1 several
// times in a row (its own filters keep their state across the rounds) and must use inputs that
// repeat every `frames` samples: periodic noise, events placed with MixWrapped, oscillators with
// a whole number of cycles (LoopPhase). Only the last round is kept, when filters and ringing
// tails have settled into the repeating state, so the end flows into the start. The mean is
// removed and the peak set `peakDb` below full scale (FinishLoop).
Samples FinishLoop(Samples s, double peakDb);
template <class Next>
Samples Loop(size_t frames, double peakDb, Next next, int rounds = 3) {
    Samples out(frames);
    for (int r = 0; r < rounds; ++r) {
        for (size_t k = 0; k < frames; ++k) out[k] = next(k);
    }
    return FinishLoop(std::move(out), peakDb);
}

// The phase in cycles at position k of a loop of `frames` samples for something that turns
// `cycles` whole times per loop.
inline double LoopPhase(size_t k, size_t frames, double cycles) {
    return cycles * static_cast<double>(k) / static_cast<double>(frames);
}
// A sine that turns `cycles` whole times per loop.
inline float LoopSine(size_t k, size_t frames, double cycles, double startCycles = 0) {
    return static_cast<float>(std::sin(kTwoPi * (LoopPhase(k, frames, cycles) + startCycles)));
}
// The whole number of cycles per loop nearest to `hz`.
double CyclesNear(double hz, size_t frames);

}  // namespace synth
