// What the program accepts as a picture file, and how its rows become 24-bit pixels.
//
// Accepted: uncompressed ("BI_RGB") 8- and 24-bit files with a 40-, 52-, 56-, 108- or 124-byte
// header, bottom-up (positive height) or top-down (negative height), at most kMaxSide pixels a
// side and kMaxPixels in all, whose pixel rows all lie inside the file at the offset the file
// header gives. 8-bit files convert through their colour table, which may be shorter than 256
// entries but not empty.
// Everything else is refused before any pixel storage is allocated, so a damaged or hostile
// file costs at most a few kilobytes of reading. The "BM" signature is not examined: the
// sizes and offsets decide.
//
// MakeDecoder reads a file with these for the toolbox's picture reading (pictures/picture_read).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "pictures/picture_read.h"

namespace bmp {

using pictures::kMaxPixels;
using pictures::kMaxSide;
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kLargestInfoSize = 124;
constexpr int32_t kMaxColors = 256;

enum class Refusal {
    None,
    HeaderSize,     // a header of a kind we do not read
    Depth,          // not 8 or 24 bits per pixel
    Compressed,     // RLE, bit fields, JPEG or PNG inside
    Size,           // a side of 0, a negative width, more than kMaxSide or kMaxPixels
    FileSizeField,  // the file claims to be longer than it is
    PixelOffset,    // the pixel rows would start inside the headers or past the end
    ShortPixels,    // fewer pixel bytes in the file than the picture needs
    ColorTable,     // 8 bits with no colour table before the pixels
};

// Where things are in a file we accept.
struct Layout {
    int32_t width = 0;
    int32_t height = 0;      // always positive
    bool topDown = false;    // the first stored row is the top of the picture
    int32_t bitCount = 0;    // 8 or 24
    uint32_t infoSize = 0;   // bytes of the header after the 14-byte file header
    uint32_t pixelOffset = 0;
    int32_t colorCount = 0;  // 8 bits: colour-table entries that lie before the pixels
    int32_t stride = 0;      // bytes per stored row in the file
    uint64_t pixelBytes = 0; // stride x height
};

// True for the header sizes we read (the first 4 bytes after the file header).
bool IsKnownInfoSize(uint32_t infoSize);

// Checks the 14-byte file header and the info header that follows it (`bytes` holds both,
// `size` = 14 + the info size) against the file's real length.
Refusal ParseLayout(const uint8_t* bytes, size_t size, uint64_t fileSize, Layout& out);

// Bytes of colour table to read right after the headers (0 at 24 bits).
inline size_t ColorTableBytes(const Layout& layout) { return static_cast<size_t>(layout.colorCount) * 4; }

// One stored row of the file as `width` blue, green, red pixels. `table` holds the layout's
// colour entries (blue, green, red, reserved); an index past them gives black.
void ConvertRow(const Layout& layout, const uint8_t* table, const uint8_t* fileRow, uint8_t* out);

// The reader of BMP files for pictures::MakeDecoder.
std::unique_ptr<pictures::Decoder> MakeDecoder(pictures::ByteSource& source);

}  // namespace bmp
