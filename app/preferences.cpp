#include "app/preferences.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace shell {
namespace {

constexpr const char* kFileName = "mwsptk10.pfs";
constexpr int kWords = 4;

Preferences gPrefs;

bool MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) return true;
    if (errno != ENOENT) return false;
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return false;
    return MakeFolder(path.substr(0, slash)) && (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST);
}

std::string ConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/pictoria";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config/pictoria";
}

uint32_t ReadWord(const unsigned char* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void PutWord(unsigned char* b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

Preferences& Prefs() { return gPrefs; }

std::string PreferencesPath() { return ConfigFolder() + "/" + kFileName; }

bool LoadPreferences() {
    gPrefs = Preferences{};
    FILE* file = std::fopen(PreferencesPath().c_str(), "rb");
    if (file == nullptr) return false;
    unsigned char bytes[kWords * 4];
    size_t got = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    if (got != sizeof bytes) return false;
    bool* fields[kWords] = {&gPrefs.soundOn, &gPrefs.fitPictures, &gPrefs.transitions, &gPrefs.printOption};
    for (int i = 0; i < kWords; ++i) *fields[i] = ReadWord(bytes + 4 * i) != 0;
    return true;
}

bool SavePreferences() {
    std::string folder = ConfigFolder();
    if (!MakeFolder(folder)) return false;
    unsigned char bytes[kWords * 4];
    const bool fields[kWords] = {gPrefs.soundOn, gPrefs.fitPictures, gPrefs.transitions, gPrefs.printOption};
    for (int i = 0; i < kWords; ++i) PutWord(bytes + 4 * i, fields[i] ? 1 : 0);

    // Written beside the old file and renamed over it, so a failed write leaves the old one.
    std::string path = PreferencesPath();
    std::string temp = path + ".new";
    FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = std::fwrite(bytes, 1, sizeof bytes, file) == sizeof bytes;
    ok = (std::fflush(file) == 0) && ok;
    ok = (std::fclose(file) == 0) && ok;
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

}  // namespace shell
