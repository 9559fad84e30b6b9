#include "app/settings.h"

#include <glib.h>

#include <algorithm>
#include <cstdio>

#include "toolbox/toolbox.h"

namespace shell {
namespace {

#ifndef PICTORIA_SYSCONFDIR
#define PICTORIA_SYSCONFDIR "/etc"
#endif

constexpr const char* kFileName = "settings.ini";
constexpr const char* kGroup = "Pictoria";
constexpr int kLeastWidth = 800;
constexpr int kLeastHeight = 540;

std::string gSystemPath = std::string(PICTORIA_SYSCONFDIR) + "/pictoria/" + kFileName;

bool TakeBoolean(const std::string& text, bool& out) {
    if (text != "true" && text != "false") return false;
    out = text == "true";
    return true;
}

bool TakeScale(const std::string& text, int& out) {
    const int scale = ScaleOfText(text);
    if (scale < 0) return false;
    out = scale;
    return true;
}

bool TakeFolder(const std::string& text, std::string& out) {
    if (text.empty() || text[0] != '/') return false;
    out = text.back() == '/' ? text : text + "/";
    return true;
}

bool TakeScanStep(const std::string& text, int& out) {
    const int step = ScanStepOfText(text);
    if (step < 0) return false;
    out = step;
    return true;
}

bool TakeKeyName(const std::string& text, int& out) {
    const int key = KeyOfName(text);
    if (key < 0) return false;
    out = key;
    return true;
}

// Every key the files may hold, what it takes, and how its value is taken.
struct Key {
    const char* name;
    const char* expected;
    bool (*take)(Settings&, const std::string&);
};
const Key kKeys[] = {
    {"scale", "auto, 1, 2, 3 or 4", [](Settings& s, const std::string& t) { return TakeScale(t, s.scale); }},
    {"print", "true or false", [](Settings& s, const std::string& t) { return TakeBoolean(t, s.print); }},
    {"save", "true or false", [](Settings& s, const std::string& t) { return TakeBoolean(t, s.save); }},
    {"sound", "true or false", [](Settings& s, const std::string& t) { return TakeBoolean(t, s.sound); }},
    {"lock", "true or false", [](Settings& s, const std::string& t) { return TakeBoolean(t, s.lock); }},
    {"kiosk", "true or false", [](Settings& s, const std::string& t) { return TakeBoolean(t, s.kiosk); }},
    {"game-controller", "true or false", [](Settings& s, const std::string& t) { return TakeBoolean(t, s.gameController); }},
    {"keyboard-pointer", "true or false",
     [](Settings& s, const std::string& t) { return TakeBoolean(t, s.keyboardPointer); }},
    {"pictures", "a folder's full path", [](Settings& s, const std::string& t) { return TakeFolder(t, s.pictures); }},
    {"pages", "a folder's full path", [](Settings& s, const std::string& t) { return TakeFolder(t, s.pages); }},
    {"switch-scan", "true or false", [](Settings& s, const std::string& t) { return TakeBoolean(t, s.switchScan); }},
    {"scan-step-ms", "a number of milliseconds from 250 to 10000", [](Settings& s, const std::string& t) { return TakeScanStep(t, s.scanStepMs); }},
    {"scan-key", "a letter, a digit, Space, Return, Tab or F1 to F12", [](Settings& s, const std::string& t) { return TakeKeyName(t, s.scanKey); }},
};

void Warn(const std::string& path, const std::string& what) {
    std::fprintf(stderr, "pictoria: %s: %s\n", path.c_str(), what.c_str());
}

// Takes what one file says into `settings`, over what was there. A missing file says nothing.
void ReadFile(const std::string& path, Settings& settings) {
    GKeyFile* file = g_key_file_new();
    GError* error = nullptr;
    if (!g_key_file_load_from_file(file, path.c_str(), G_KEY_FILE_NONE, &error)) {
        // No file is the usual case and says nothing; one that cannot be read is told.
        if (!g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT) &&
            !g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOTDIR))
            Warn(path, error->message);
        g_error_free(error);
        g_key_file_free(file);
        return;
    }
    gsize groups = 0;
    gchar** names = g_key_file_get_groups(file, &groups);
    for (gsize i = 0; i < groups; ++i) {
        if (std::string(names[i]) != kGroup) Warn(path, std::string("the group [") + names[i] + "] is not known");
    }
    g_strfreev(names);
    gsize keys = 0;
    gchar** key = g_key_file_get_keys(file, kGroup, &keys, nullptr);
    for (gsize i = 0; i < keys; ++i) {
        gchar* value = g_key_file_get_string(file, kGroup, key[i], nullptr);
        const std::string text = value != nullptr ? value : "";
        g_free(value);
        const auto known = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const Key& k) { return k.name == std::string(key[i]); });
        if (known == std::end(kKeys)) {
            Warn(path, std::string("the setting ") + key[i] + " is not known");
        } else if (!known->take(settings, text)) {
            Warn(path, std::string(key[i]) + " = " + text + " is not " + known->expected);
        }
    }
    g_strfreev(key);
    g_key_file_free(file);
}

}  // namespace

int ScaleOfText(const std::string& text) {
    if (text == "auto") return kScaleAuto;
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '0' + kLargestScale) return text[0] - '0';
    return -1;
}

int ScanStepOfText(const std::string& text) {
    if (text.empty() || text.size() > 5) return -1;
    int ms = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        ms = ms * 10 + (c - '0');
    }
    return ms >= kLeastScanStepMs && ms <= kMostScanStepMs ? ms : -1;
}

int KeyOfName(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(g_ascii_toupper(c));
    if (upper.size() == 1 && g_ascii_isalnum(upper[0])) return upper[0];
    if (upper == "SPACE") return platform::kVkSpace;
    if (upper == "RETURN") return platform::kVkReturn;
    if (upper == "TAB") return platform::kVkTab;
    constexpr int kFunctionKeys = 12;
    for (int n = 1; n <= kFunctionKeys; ++n) {
        if (upper == "F" + std::to_string(n)) return platform::kVkF1 + n - 1;
    }
    return -1;
}

void SetSystemSettingsPath(const std::string& path) { gSystemPath = path; }

Settings ReadSettings() {
    Settings settings;
    ReadFile(gSystemPath, settings);
    ReadFile(tb_GetWindowsDirectory() + "/" + kFileName, settings);
    return settings;
}

int ChooseScale(int asked, const platform::ScreenPixels& screen) {
    if (asked >= 1) return asked;
    const int desktop = std::max(1, screen.desktopFactor);
    const int more = std::min(screen.width / (desktop * kLeastWidth), screen.height / (desktop * kLeastHeight));
    return desktop * std::max(1, more);
}

}  // namespace shell
