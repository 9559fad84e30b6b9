// The one thing we take from a photo's EXIF block: how the camera was held.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pictures {

// The orientation (1 to 8, as Header numbers it) that an APP1 segment's payload records.
// 0 when the payload is not EXIF at all (an APP1 segment may hold other things), 1 when it is
// EXIF but says nothing usable: no tag, a tag of the wrong type, a value out of range, or
// offsets that point outside the payload.
int ExifOrientation(const uint8_t* payload, size_t size);

}  // namespace pictures
