// A scratch folder for one fuzz run, in memory where /dev/shm is (every run writes files), and
// removed when the run ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string ScratchFolder(const std::string& name) {
    static std::string made;
    for (const char* place : {"/dev/shm", "/tmp"}) {
        std::string pattern = std::string(place) + "/pictoria-fuzz-" + name + "-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) continue;
        made = pattern;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(made, ignored);
        });
        return made;
    }
    std::abort();
}
