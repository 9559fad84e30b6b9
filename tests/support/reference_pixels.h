// What ImageMagick makes of a picture file: the reference the picture readers are held to.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace reference {

// Everything a shell command writes on its standard output.
inline std::string Output(const std::string& command) {
    std::string bytes;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) bytes += static_cast<char>(c);
        pclose(pipe);
    }
    return bytes;
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;  // top row first, no padding

    const uint8_t* at(int x, int y) const { return bgr.data() + (static_cast<size_t>(y) * width + x) * 3; }
};

// ImageMagick's reading of `path` as 8-bit sRGB, turned upright by its orientation tag and laid
// on white; `options` go before the output. An empty picture when ImageMagick refuses the file.
inline Picture Read(const std::string& path, const std::string& options = {}) {
    // Always "P6\n<width> <height>\n255\n" before the pixels.
    const std::string ppm = Output("convert '" + path + "' -auto-orient +repage -background white -flatten " + options +
                                   " -depth 8 ppm:- 2>/dev/null");
    Picture picture;
    size_t start = 0;
    if (std::sscanf(ppm.c_str(), "P6 %d %d 255%zn", &picture.width, &picture.height, &start) != 2 ||
        ppm.size() != start + 1 + size_t(picture.width) * picture.height * 3)
        return Picture{};
    for (size_t i = start + 1; i < ppm.size(); i += 3) picture.bgr.insert(picture.bgr.end(), {uint8_t(ppm[i + 2]), uint8_t(ppm[i + 1]), uint8_t(ppm[i])});
    return picture;
}

}  // namespace reference
