#include "app/preferences.h"

#include <cstdint>
#include <string>

#include "toolbox/toolbox.h"

namespace shell {
namespace {

constexpr const char* kFileName = "mwsptk10.pfs";
constexpr int kWords = 4;

Preferences gPrefs;

uint32_t ReadWord(const unsigned char* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void PutWord(unsigned char* b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

Preferences& Prefs() { return gPrefs; }

std::string PreferencesPath() { return tb_GetWindowsDirectory() + "/" + kFileName; }

bool LoadPreferences() {
    gPrefs = Preferences{};
    if (tb_OpenPrefsFile() != 1) return false;
    unsigned char bytes[kWords * 4];
    size_t got = 0;
    const bool read = tb_ReadFile(bytes, sizeof bytes, &got) == 0 && got == sizeof bytes;
    tb_CloseFile();
    if (!read) return false;
    bool* fields[kWords] = {&gPrefs.soundOn, &gPrefs.fitPictures, &gPrefs.transitions, &gPrefs.printOption};
    for (int i = 0; i < kWords; ++i) *fields[i] = ReadWord(bytes + 4 * i) != 0;
    return true;
}

bool SavePreferences() {
    unsigned char bytes[kWords * 4];
    const bool fields[kWords] = {gPrefs.soundOn, gPrefs.fitPictures, gPrefs.transitions, gPrefs.printOption};
    for (int i = 0; i < kWords; ++i) PutWord(bytes + 4 * i, fields[i] ? 1 : 0);
    // The toolbox creates the folder, and replaces the old file only once this one is whole.
    if (tb_CreatePrefsFile() != 1) return false;
    const bool written = tb_WriteFile(bytes, sizeof bytes) == 0;
    return tb_CloseFile() == 1 && written;
}

}  // namespace shell
