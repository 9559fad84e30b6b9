// Rendering an SVG drawing into pixels for the resource compiler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "manifest.h"

// Premultiplied red, green, blue, alpha per pixel, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;

    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Renders entry.source (a path under artDir) at entry.width x entry.height, honouring the
// noaa, view and layer options. On failure prints a message and returns false.
bool RenderSvg(const std::string& artDir, const ManifestEntry& entry, Picture& out);

// A pixel counts as part of the shape when it is at least half covered.
inline bool IsShown(const uint8_t* px) { return px[3] >= 128; }
