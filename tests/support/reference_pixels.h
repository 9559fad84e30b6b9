// What ImageMagick makes of a picture file: the reference the picture readers are held to.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace reference {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;  // top row first, no padding

    const uint8_t* at(int x, int y) const { return bgr.data() + (static_cast<size_t>(y) * width + x) * 3; }
};

// ImageMagick's reading of `path` as 8-bit sRGB, turned upright by its orientation tag and laid
// on white; `options` go before the output (for example "-colorspace sRGB"). An empty picture
// when ImageMagick refuses the file.
inline Picture Read(const std::string& path, const std::string& options = {}) {
    const std::string command = "convert '" + path + "' -auto-orient +repage -background white -flatten " + options +
                                " -depth 8 ppm:- 2>/dev/null";
    Picture picture;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return picture;
    int maxValue = 0;
    if (std::fscanf(pipe, "P6 %d %d %d", &picture.width, &picture.height, &maxValue) == 3 && maxValue == 255 &&
        std::fgetc(pipe) != EOF) {
        std::vector<uint8_t> rgb(static_cast<size_t>(picture.width) * picture.height * 3);
        if (std::fread(rgb.data(), 1, rgb.size(), pipe) == rgb.size()) {
            picture.bgr.resize(rgb.size());
            for (size_t i = 0; i < rgb.size(); i += 3) {
                picture.bgr[i] = rgb[i + 2];
                picture.bgr[i + 1] = rgb[i + 1];
                picture.bgr[i + 2] = rgb[i];
            }
        }
    }
    pclose(pipe);
    if (picture.bgr.empty()) picture = Picture{};
    return picture;
}

}  // namespace reference
