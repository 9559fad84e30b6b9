// Writes the starting corpora for the fuzz targets: every good and bad picture file of the unit
// tests, the program's own kind of file at widths 1 to 5, and a few preferences files.
//   make_corpus <bmp folder> <preferences folder>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/unit/bmp_samples.h"

namespace {

void Put(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string FileName(const std::string& name) {
    std::string out;
    for (char c : name) out += (std::isalnum(static_cast<unsigned char>(c)) ? c : '_');
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <bmp corpus folder> <preferences corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path bmpFolder = argv[1];
    const std::filesystem::path prefsFolder = argv[2];
    std::filesystem::create_directories(bmpFolder);
    std::filesystem::create_directories(prefsFolder);

    int count = 0;
    for (const samples::GoodFile& good : samples::GoodFiles()) {
        Put(bmpFolder / ("good_" + FileName(good.name)), samples::MakeBmp(good.layout));
        ++count;
    }
    for (const samples::NamedFile& bad : samples::BadFiles()) {
        Put(bmpFolder / ("bad_" + FileName(bad.name)), bad.bytes);
        ++count;
    }
    for (int width = 1; width <= 5; ++width) {
        samples::BmpSpec s;
        s.width = width;
        s.height = 6 - width;
        s.padding = 0;
        Put(bmpFolder / ("ours_" + std::to_string(width)), samples::MakeBmp(s));
        ++count;
    }

    const std::vector<std::vector<uint8_t>> prefs = {
        {},
        {1, 0, 0, 0},
        std::vector<uint8_t>(16, 0),
        {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0},
        {7, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 1, 0, 9, 9},
    };
    for (size_t i = 0; i < prefs.size(); ++i) Put(prefsFolder / ("prefs_" + std::to_string(i)), prefs[i]);
    std::printf("%d picture files, %zu preferences files\n", count, prefs.size());
    return 0;
}
