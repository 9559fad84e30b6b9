// What the command line asks for:
//   pictoria [--scale auto|1|2|3|4] [--lock] [--kiosk] [--keyboard-pointer] [--game-controller]
//            [--switch-scan] [--scan-step-ms N]   or   pictoria --help
// or  pictoria --error TEXT  (TEXT in a box, then end with 1: how the launcher tells a parent who
// started the program from the menu why it cannot run)
#pragma once

#include <string>

#include "app/settings.h"

namespace shell {

constexpr int kScaleNotGiven = -1;

struct CommandLine {
    bool understood = false;  // false: print the usage and end with 2
    bool help = false;        // print the usage and end with 0
    int scale = kScaleNotGiven;  // from --scale: kScaleAuto, or 1 to kLargestScale
    bool lock = false;        // --lock: the parent lock on, whatever the settings say
    bool kiosk = false;       // --kiosk: kiosk mode (and so the lock) on, whatever the settings say
    bool keyboardPointer = false;  // --keyboard-pointer: the keys move and press the pointer
    bool gameController = false;  // --game-controller: the game controller on, whatever the settings say
    bool switchScan = false;  // --switch-scan: scanning on, whatever the settings say
    int scanStepMs = 0;       // from --scan-step-ms N; 0 when not given
    bool error = false;       // --error TEXT: show errorText and end
    std::string errorText;
};

// argv as main() receives it; only argv[0..argc-1] is looked at.
CommandLine ReadCommandLine(int argc, const char* const* argv);

// A command line that asks for a scale and nothing else.
inline CommandLine AskingScale(int scale) {
    CommandLine line;
    line.understood = true;
    line.scale = scale;
    return line;
}

}  // namespace shell
