#include "app/command_line.h"

#include <cstring>

namespace shell {

CommandLine ReadCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    if (argc <= 1) {
        line.understood = true;
    } else if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        line.understood = line.help = true;
    } else if (argc == 3 && std::strcmp(argv[1], "--scale") == 0) {
        const int scale = ScaleOfText(argv[2]);
        line.understood = scale >= 0;
        line.scale = line.understood ? scale : kScaleNotGiven;
    } else if (argc == 3 && std::strcmp(argv[1], "--error") == 0) {
        line.understood = line.error = true;
        line.errorText = argv[2];
    }
    return line;
}

}  // namespace shell
