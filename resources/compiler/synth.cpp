#include "synth.h"

#include <algorithm>

namespace synth {

size_t Frames(double seconds) { return static_cast<size_t>(std::lround(std::max(0.0, seconds) * kRate)); }

// ---- Sources ---------------------------------------------------------------------------------

float Noise::operator()() {
    // xorshift32: plenty for sound, and the same on every machine.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(static_cast<double>(state_) / 2147483647.5 - 1.0);
}

double Noise::uniform(double lo, double hi) { return lo + (hi - lo) * 0.5 * (1.0 + (*this)()); }

Samples PeriodicNoise(size_t frames, uint32_t seed) {
    Noise noise(seed);
    Samples s(frames);
    double sum = 0;
    for (float& v : s) sum += (v = noise());
    const auto mean = static_cast<float>(sum / static_cast<double>(std::max<size_t>(frames, 1)));
    for (float& v : s) v -= mean;
    return s;
}

double Osc::step(double hz) {
    const double now = phase_;
    phase_ += hz / kRate;
    phase_ -= std::floor(phase_);
    return now;
}

float Osc::sine(double hz) { return static_cast<float>(std::sin(kTwoPi * step(hz))); }

float Osc::triangle(double hz) {
    const double p = step(hz);
    // 0 at phase 0, rising to 1 at a quarter, like the sine.
    const double tri = p < 0.25 ? 4 * p : p < 0.75 ? 2 - 4 * p : 4 * p - 4;
    return static_cast<float>(tri);
}

float Osc::softSquare(double hz, double hardness) {
    const double s = std::sin(kTwoPi * step(hz));
    return static_cast<float>(std::tanh(hardness * s) / std::tanh(hardness));
}

double Glide(double t, double f0, double f1, double seconds) {
    const double x = std::clamp(t / seconds, 0.0, 1.0);
    return f0 * std::pow(f1 / f0, x);
}

// ---- Envelopes -------------------------------------------------------------------------------

double Adsr::operator()(double t, double held) const {
    auto holding = [this](double u) {
        if (u < 0) return 0.0;
        if (u < attack) return u / attack;
        if (u < attack + decay) return 1.0 - (1.0 - sustain) * (u - attack) / decay;
        return sustain;
    };
    if (t < held) return holding(t);
    const double from = holding(held);
    return t < held + release ? from * (1.0 - (t - held) / release) : 0.0;
}

double Decay(double t, double attack, double tau) {
    if (t < 0) return 0;
    const double rise = t < attack ? SmoothStep(t / attack) : 1.0;
    return rise * std::exp(-t / tau);
}

double Hump(double t, double start, double length) {
    const double x = (t - start) / length;
    if (x <= 0 || x >= 1) return 0;
    return 0.5 - 0.5 * std::cos(kTwoPi * x);
}

double SmoothStep(double x) {
    x = std::clamp(x, 0.0, 1.0);
    return 0.5 - 0.5 * std::cos(kPi * x);
}

// ---- Filters ---------------------------------------------------------------------------------

void OnePole::set(double hz) {
    a_ = static_cast<float>(1.0 - std::exp(-kTwoPi * std::clamp(hz, 1.0, kRate * 0.45) / kRate));
}

float OnePole::lowpass(float x) {
    z_ += a_ * (x - z_);
    return z_;
}

void Svf::set(double hz, double q) {
    const double g = std::tan(kPi * std::clamp(hz, 10.0, kRate * 0.45) / kRate);
    k_ = 1.0 / std::max(q, 0.05);
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

void Svf::run(float x) {
    const double v3 = x - s2_;
    const double v1 = a1_ * s1_ + a2_ * v3;
    const double v2 = s2_ + a2_ * s1_ + a3_ * v3;
    s1_ = 2 * v1 - s1_;
    s2_ = 2 * v2 - s2_;
    low_ = static_cast<float>(v2);
    band_ = static_cast<float>(k_ * v1);
    high_ = static_cast<float>(x - k_ * v1 - v2);
}

// ---- Struck sounds ---------------------------------------------------------------------------

Samples Strike(std::initializer_list<Mode> modes, double seconds, double attack) {
    Samples s(Frames(seconds));
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = Seconds(i);
        double v = 0;
        for (const Mode& m : modes) v += m.level * Decay(t, attack, m.tau) * std::sin(kTwoPi * m.hz * t);
        s[i] = static_cast<float>(v);
    }
    return s;
}

// ---- Putting sounds together -------------------------------------------------------------------

void Mix(Samples& into, const Samples& part, size_t at, float gain) {
    if (into.size() < at + part.size()) into.resize(at + part.size(), 0.0f);
    for (size_t i = 0; i < part.size(); ++i) into[at + i] += gain * part[i];
}

void MixWrapped(Samples& loop, const Samples& part, size_t at, float gain) {
    if (loop.empty()) return;
    for (size_t i = 0; i < part.size(); ++i) loop[(at + i) % loop.size()] += gain * part[i];
}

double FromDb(double db) { return std::pow(10.0, db / 20.0); }

namespace {

void ScalePeak(Samples& s, double peakDb) {
    float peak = 0;
    for (float v : s) peak = std::max(peak, std::fabs(v));
    if (peak <= 0) return;
    const auto gain = static_cast<float>(FromDb(peakDb) / peak);
    for (float& v : s) v *= gain;
}

}  // namespace

Samples OneShot(Samples s, double peakDb, double fadeIn, double fadeOut) {
    if (s.size() < 3) return Samples(s.size(), 0.0f);
    // A gentle high-pass (about 15 Hz) takes out drift that a thump or a sweep can leave.
    OnePole drift(15);
    for (float& v : s) v = drift.highpass(v);
    const size_t last = s.size() - 1;
    const size_t in = std::clamp<size_t>(Frames(fadeIn), 1, last / 2);
    const size_t out = std::clamp<size_t>(Frames(fadeOut), 1, last / 2);
    for (size_t i = 0; i <= in; ++i) s[i] *= static_cast<float>(SmoothStep(static_cast<double>(i) / static_cast<double>(in)));
    for (size_t i = 0; i <= out; ++i) s[last - i] *= static_cast<float>(SmoothStep(static_cast<double>(i) / static_cast<double>(out)));
    ScalePeak(s, peakDb);
    s.front() = s.back() = 0.0f;
    return s;
}

Samples FinishLoop(Samples s, double peakDb) {
    if (s.empty()) return s;
    double sum = 0;
    for (float v : s) sum += v;
    const auto mean = static_cast<float>(sum / static_cast<double>(s.size()));
    for (float& v : s) v -= mean;
    ScalePeak(s, peakDb);
    return s;
}

double CyclesNear(double hz, size_t frames) {
    return std::max(1.0, std::round(hz * static_cast<double>(frames) / kRate));
}

}  // namespace synth
