#include "app/command_line.h"

#include <cstring>

namespace shell {
namespace {

// --scale, --lock, --kiosk, --keyboard-pointer, --game-controller, --switch-scan and --scan-step-ms, each
// at most once, in any order; anything else is not understood.
CommandLine ReadSwitches(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--lock") == 0 && !line.lock) {
            line.lock = true;
        } else if (std::strcmp(argv[i], "--kiosk") == 0 && !line.kiosk) {
            line.kiosk = true;
        } else if (std::strcmp(argv[i], "--keyboard-pointer") == 0 && !line.keyboardPointer) {
            line.keyboardPointer = true;
        } else if (std::strcmp(argv[i], "--game-controller") == 0 && !line.gameController) {
            line.gameController = true;
        } else if (std::strcmp(argv[i], "--switch-scan") == 0 && !line.switchScan) {
            line.switchScan = true;
        } else if (std::strcmp(argv[i], "--scan-step-ms") == 0 && line.scanStepMs == 0 && i + 1 < argc &&
                   ScanStepOfText(argv[i + 1]) > 0) {
            line.scanStepMs = ScanStepOfText(argv[++i]);
        } else if (std::strcmp(argv[i], "--scale") == 0 && line.scale == kScaleNotGiven && i + 1 < argc &&
                   ScaleOfText(argv[i + 1]) >= 0) {
            line.scale = ScaleOfText(argv[++i]);
        } else {
            return CommandLine{};
        }
    }
    line.understood = true;
    return line;
}

}  // namespace

CommandLine ReadCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    if (argc <= 1) {
        line.understood = true;
    } else if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        line.understood = line.help = true;
    } else if (argc == 3 && std::strcmp(argv[1], "--error") == 0) {
        line.understood = line.error = true;
        line.errorText = argv[2];
    } else {
        return ReadSwitches(argc, argv);
    }
    return line;
}

}  // namespace shell
