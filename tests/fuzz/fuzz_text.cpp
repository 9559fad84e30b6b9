// Arbitrary text where the program takes text from outside. The first byte chooses what the
// rest is:
//   0  the command line, arguments separated by NUL bytes
//   1  a file name as a file dialog returns it, turned into its folder by tb_GetPathDirectory
//   2  XDG_CONFIG_HOME and HOME (separated by a NUL), which place the configuration folder
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "tests/fuzz/scratch.h"
#include "toolbox/toolbox.h"

namespace {

std::vector<std::string> Split(const uint8_t* data, size_t size) {
    std::vector<std::string> parts;
    if (size > 0) parts.emplace_back();
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) parts.emplace_back();
        else parts.back().push_back(char(data[i]));
    }
    return parts;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

void CommandLine(std::vector<std::string> args) {
    std::vector<const char*> argv{"pictoria"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    const shell::CommandLine line = shell::ReadCommandLine(int(argv.size()), argv.data());
    const bool help = args.size() == 1 && args[0] == "--help";
    const bool error = args.size() == 2 && args[0] == "--error";
    Check(line.error == error && line.errorText == (error ? args[1] : ""));
    // The switches each at most once; the rest --scale VALUE and --scan-step-ms VALUE, each at most once.
    const auto count = [&](const char* s) { return std::count(args.begin(), args.end(), s); };
    const std::vector<std::string> switches{"--lock", "--kiosk", "--keyboard-pointer", "--game-controller", "--switch-scan"};
    std::vector<std::string> rest;
    std::copy_if(args.begin(), args.end(), std::back_inserter(rest),
                 [&](const std::string& a) { return std::find(switches.begin(), switches.end(), a) == switches.end(); });
    std::map<std::string, std::string> given;
    bool pairs = rest.size() % 2 == 0;
    for (size_t i = 0, at; pairs && i < rest.size(); given[rest[i]] = rest[i + 1], i += 2)
        pairs = (rest[i] == "--scale" || rest[i] == "--scan-step-ms") && given.count(rest[i]) == 0 &&
                (at = size_t(std::find(args.begin(), args.end(), rest[i]) - args.begin()) + 1) < args.size() && args[at] == rest[i + 1];
    const bool hasScale = given.count("--scale") == 1, hasStep = given.count("--scan-step-ms") == 1;
    const std::string scale = given["--scale"], step = given["--scan-step-ms"];
    const bool stepOk = !hasStep || (!step.empty() && step.size() <= 5 && step.find_first_not_of("0123456789") == std::string::npos &&
                                     std::stoi(step) >= 250 && std::stoi(step) <= 10000);
    const bool once = std::all_of(switches.begin(), switches.end(), [&](const std::string& w) { return count(w.c_str()) <= 1; });
    const bool plain = !help && !error && once && pairs && stepOk &&
                       (!hasScale || scale == "auto" || (scale.size() == 1 && scale[0] >= '1' && scale[0] <= '4'));
    const auto on = [&](const char* w) { return plain && count(w) == 1; };
    Check(line.help == help && line.lock == on("--lock") && line.kiosk == on("--kiosk") &&
          line.keyboardPointer == on("--keyboard-pointer") && line.gameController == on("--game-controller"));
    Check(line.switchScan == on("--switch-scan") && line.scanStepMs == (!plain || !hasStep ? 0 : std::stoi(step)));
    Check(line.scale == (!plain || !hasScale ? shell::kScaleNotGiven : scale == "auto" ? shell::kScaleAuto : scale[0] - '0'));
    Check(line.understood == (help || error || plain));
}

// The folder is absolute, ends in '/', has no empty, "." or ".." part, and is its own folder.
void PathDirectory(const std::string& name) {
    if (name.find('\0') != std::string::npos) return;
    const std::string folder = tb_GetPathDirectory(name);
    if (name.empty()) return Check(folder.empty());
    Check(!folder.empty() && folder.front() == '/' && folder.back() == '/');
    Check(folder.find("//") == std::string::npos && folder.find("/./") == std::string::npos &&
          folder.find("/../") == std::string::npos);
    Check(tb_GetPathDirectory(folder) == folder);
}

// Dots become underscores so that no ".." leads out of the scratch folder.
std::string Inside(const std::string& root, std::string text) {
    for (char& c : text) c = c == '.' ? '_' : c;
    return root + "/" + text;
}

void ConfigFolder(const std::vector<std::string>& parts) {
    static const std::string root = ScratchFolder("text");
    const std::string given = parts.empty() ? std::string() : parts[0];
    const std::string xdg = given.empty() || given[0] != '/' ? given : Inside(root, given);
    const std::string home = Inside(root, parts.size() > 1 ? parts[1] : std::string());
    setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    const std::string folder = tb_GetWindowsDirectory();
    Check(folder == (xdg.empty() || xdg[0] != '/' ? home + "/.config" : xdg) + "/pictoria");
    // Made whenever the file system can hold the name.
    bool fits = folder.size() < 4000;
    for (size_t at = 0, next; at < folder.size(); at = next + 1) {
        next = folder.find('/', at);
        if (next == std::string::npos) next = folder.size();
        fits = fits && next - at <= 255;
    }
    struct stat st;
    Check(!fits || (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)));
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(root, ignored)) std::filesystem::remove_all(entry, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::vector<std::string> parts = Split(data + 1, size - 1);
    switch (data[0] % 3) {
        case 0: CommandLine(parts); break;
        case 1: PathDirectory(std::string(reinterpret_cast<const char*>(data + 1), size - 1)); break;
        default: ConfigFolder(parts); break;
    }
    return 0;
}
