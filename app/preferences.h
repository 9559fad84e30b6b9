// The four preferences, kept in "mwsptk10.pfs" in the user's configuration folder as four
// 32-bit little-endian words in this order, each 0 or 1 (any other value reads as 1).
#pragma once

#include <string>

namespace shell {

struct Preferences {
    bool soundOn = true;
    bool fitPictures = true;
    bool transitions = true;
    bool printOption = true;
};

Preferences& Prefs();

// The file's full path: $XDG_CONFIG_HOME/pictoria/mwsptk10.pfs (default ~/.config/pictoria/).
std::string PreferencesPath();

// Sets the defaults, then reads the file. False when the file is missing or short: the
// preferences are then the defaults.
bool LoadPreferences();
// Writes the file, creating its folder; false when it cannot be written (the caller goes on).
bool SavePreferences();

}  // namespace shell
