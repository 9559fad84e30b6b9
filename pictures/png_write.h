// Writing a picture as a PNG file: the copy of a child's picture that goes out to phones and
// messages, so it is lossless and small.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/pixels.h"

namespace png {

// Where the file's bytes go.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(const uint8_t* bytes, size_t count) = 0;  // false: the bytes were lost
};

// Writes a 24-bit view. A picture of at most 256 colours (most children's pictures) is written
// with a palette of as few bits as its colours need, any other as 8-bit RGB; both at zlib's
// best compression. False when the sink lost bytes or the view cannot be written.
bool Write(const PixelView& view, ByteSink& sink);

}  // namespace png
