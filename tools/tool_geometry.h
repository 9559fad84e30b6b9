// Small pieces of geometry the tools share. Coordinates as the calling tool's.
#pragma once

#include <algorithm>

#include "platform/geometry.h"
#include "tools/tool_record.h"

namespace tools {

constexpr double kPi = 3.14159265359;

// Half the tool's size, at least 1: the reach of a dab, a square or a scatter.
inline int DabRadius(const scene::SceneObject& self) { return self.size / 2 < 1 ? 1 : self.size / 2; }

// The box of two points, from the smaller to the larger coordinates.
inline Rect BoxOf(int x1, int y1, int x2, int y2) {
    return Rect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

}  // namespace tools
