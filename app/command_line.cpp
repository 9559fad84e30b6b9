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
        const char* n = argv[2];
        line.understood = n[0] >= '1' && n[0] <= '4' && n[1] == '\0';
        line.scale = line.understood ? n[0] - '0' : 0;
    } else if (argc == 3 && std::strcmp(argv[1], "--error") == 0) {
        line.understood = line.error = true;
        line.errorText = argv[2];
    }
    return line;
}

}  // namespace shell
