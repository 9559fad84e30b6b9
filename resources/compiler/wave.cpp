#include "wave.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "synth_recipes.h"

namespace {

void Put16(Bytes& b, unsigned v) {
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}

void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

uint32_t Get32(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

unsigned Get16(const Bytes& b, size_t at) { return b[at] | (b[at + 1] << 8); }

// True when `b` is a RIFF WAVE file whose format chunk says 16-bit PCM and which has data.
bool IsPcm16Wave(const Bytes& b) {
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(&b[8], "WAVE", 4))
        return false;
    bool pcm16 = false, data = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        uint32_t size = Get32(b, at + 4);
        if (size > b.size() - at - 8) return false;
        if (!std::memcmp(&b[at], "fmt ", 4) && size >= 16)
            pcm16 = Get16(b, at + 8) == 1 && Get16(b, at + 22) == 16;
        if (!std::memcmp(&b[at], "data", 4)) data = size > 0;
        at += 8 + size + (size & 1);
    }
    return pcm16 && data;
}

}  // namespace

const std::vector<SynthRecipe>& SynthRecipes() {
    // The recipes themselves are in synth_recipes.cpp.
    using namespace synth;
    static const std::vector<SynthRecipe> recipes = {
        // Loops
        {"pencil", MakePencil},
        {"brush", MakeBrush},
        {"spray_can", MakeSprayCan},
        {"wand", MakeWand},
        {"needle", MakeNeedle},
        {"cog", MakeCog},
        {"hammer", MakeHammer},
        {"rag", MakeRag},
        {"sunglasses", MakeSunglasses},
        {"lightbulb", MakeLightbulb},
        {"pepper", MakePepper},
        {"pocket_knife", MakePocketKnife},
        {"crayon", MakeCrayon},
        // One-shots
        {"ruler", MakeRuler},
        {"eraser", MakeEraser},
        {"jar", MakeJar},
        {"scissors", MakeScissors},
        {"pop1", MakePop1},
        {"pop2", MakePop2},
        {"pop3", MakePop3},
        {"pop4", MakePop4},
        {"pop5", MakePop5},
        {"splat1", MakeSplat1},
        {"splat2", MakeSplat2},
        {"splat3", MakeSplat3},
        {"click", MakeClick},
        {"dropper", MakeDropper},
        {"stamp", MakeStamp},
        {"undo", MakeUndo},
        {"templates", MakeTemplates},
        {"choose", MakeChoose},
        {"control", MakeControl},
        // The New picture's transitions
        {"wipe", MakeWipe},
        {"melt", MakeMelt},
        {"slide", MakeSlide},
        {"shrink", MakeShrink},
    };
    return recipes;
}

Bytes EncodeWave(const std::vector<float>& samples) {
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    Bytes b;
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    Put32(b, 36 + dataSize);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(b, 16);
    Put16(b, 1);  // PCM
    Put16(b, 1);  // mono
    Put32(b, kSynthRate);
    Put32(b, kSynthRate * 2);
    Put16(b, 2);
    Put16(b, 16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    Put32(b, dataSize);
    for (float s : samples) {
        long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        Put16(b, static_cast<unsigned>(v) & 0xFFFF);
    }
    return b;
}

bool MakeWave(const std::string& artDir, const std::string& source, Bytes& out) {
    if (source.rfind("synth:", 0) == 0) {
        const std::string name = source.substr(6);
        for (const SynthRecipe& recipe : SynthRecipes()) {
            if (name == recipe.name) {
                out = EncodeWave(recipe.make());
                return true;
            }
        }
        std::fprintf(stderr, "no synth recipe named '%s'\n", name.c_str());
        return false;
    }
    const std::string path = artDir + "/" + source;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "%s: cannot read\n", path.c_str());
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!IsPcm16Wave(out)) {
        std::fprintf(stderr, "%s: not a 16-bit PCM WAVE file\n", path.c_str());
        return false;
    }
    return true;
}
