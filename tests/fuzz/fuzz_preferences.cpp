// Arbitrary bytes as the preferences file: reading gives the defaults for a short file and
// "on" for every non-zero word, and writing back always gives four clean words.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/preferences.h"
#include "tests/fuzz/scratch.h"
#include "toolbox/toolbox.h"

namespace {

std::string Setup() {
    // Every run saves with a sync to disk: in memory (/dev/shm) that costs nothing.
    setenv("XDG_CONFIG_HOME", ScratchFolder("prefs").c_str(), 1);
    tb_Init();
    return tb_GetWindowsDirectory() + "/mwsptk10.pfs";
}

uint32_t Word(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = Setup();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const bool read = shell::LoadPreferences();
    const shell::Preferences& p = shell::Prefs();
    const bool values[4] = {p.soundOn, p.fitPictures, p.transitions, p.printOption};
    if (read != (size >= 16)) std::abort();
    for (int i = 0; i < 4; ++i) {
        const bool expected = size >= 16 ? Word(data + 4 * i) != 0 : true;
        if (values[i] != expected) std::abort();
    }
    if (!shell::SavePreferences()) std::abort();
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (back.size() != 16) std::abort();
    for (int i = 0; i < 16; ++i) {
        const char expected = (i % 4 == 0 && values[i / 4]) ? 1 : 0;
        if (back[static_cast<size_t>(i)] != expected) std::abort();
    }
    return 0;
}
