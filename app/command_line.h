// What the command line asks for:  pictoria [--scale 1|2|3|4]  or  pictoria --help
// or  pictoria --error TEXT  (TEXT in a box, then end with 1: how the launcher tells a parent who
// started the program from the menu why it cannot run)
#pragma once

#include <string>

namespace shell {

struct CommandLine {
    bool understood = false;  // false: print the usage and end with 2
    bool help = false;        // print the usage and end with 0
    int scale = 0;            // 1 to 4 from --scale N; 0 when not given
    bool error = false;       // --error TEXT: show errorText and end
    std::string errorText;
};

// argv as main() receives it; only argv[0..argc-1] is looked at.
CommandLine ReadCommandLine(int argc, const char* const* argv);

}  // namespace shell
