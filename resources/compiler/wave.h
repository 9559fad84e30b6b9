// Sounds for the resource compiler: recorded WAVE files we made ourselves, or recipes for the
// built-in synthesizer.
//
// A manifest line `wave <id> sounds/pop.wav -` embeds the file after checking that it is 16-bit
// PCM; `wave <id> synth:<name> -` runs the recipe of that name from SynthRecipes() below.
// To add a recipe: write a function that returns a sample vector (mono, kSynthRate samples per
// second, -1..1) in synth_recipes.cpp, built from the oscillators, noise, envelopes and filters of
// synth.h, and add it with its name to the table in wave.cpp. Finish a one-shot with
// synth::OneShot (it starts and ends at exactly 0) and render a loop with synth::Loop (its end
// flows into its start).
#pragma once

#include <string>
#include <vector>

#include "encode.h"

constexpr int kSynthRate = 22050;

struct SynthRecipe {
    const char* name;
    std::vector<float> (*make)();
};

const std::vector<SynthRecipe>& SynthRecipes();

// A complete RIFF WAVE file: 16-bit PCM mono at kSynthRate, samples clamped to -1..1.
Bytes EncodeWave(const std::vector<float>& samples);

// The bytes of a `wave` manifest entry; prints a message and returns false on failure.
bool MakeWave(const std::string& artDir, const std::string& source, Bytes& out);
