// Turning rendered pictures into the byte formats the program reads (see resources/resources.h).
#pragma once

#include <cstdint>
#include <vector>

#include "render.h"

using Bytes = std::vector<uint8_t>;

// BITMAPINFOHEADER + bottom-up BGR rows padded to 4. Transparent parts are composited over white;
// with `cutout`, pixels less than half covered are pure white and the others keep their own colour.
Bytes EncodeBmp24(const Picture& picture, bool cutout);

// 8-bit picture: the header, 256 colours, bottom-up index rows padded to 4. Up to 256 distinct
// colours are kept exactly; more are reduced by median cut to the nearest of 256. `cutout` as above.
Bytes EncodeBmp8(const Picture& picture, bool cutout);

// 8-bit mask: pure white (255) where the picture shows, pure black (0) elsewhere. The colour table
// is a grey ramp, so index and grey level agree.
Bytes EncodeMask(const Picture& picture);

// Cursor and icon entries: uint16 width, height, hotX, hotY, then straight-alpha RGBA, top row first.
Bytes EncodeCursor(const Picture& picture, int hotX, int hotY);
