// What the program accepts as a picture file, and how its rows become 24-bit pixels.
//
// Accepted: the Windows headers of 40, 52, 56, 108 and 124 bytes and the OS/2 ones of 12 and
// 64 bytes; 1, 2, 4 and 8 bits through a colour table (which may be shorter than the depth
// allows but not empty), 16 and 32 bits through colour masks (5-5-5 and 8-8-8 unless the file
// gives its own), 24 bits as they are; 8-bit and 4-bit run-length data (bottom-up only).
// Rows bottom-up (positive height) or top-down (negative height), at most kMaxSide pixels a
// side and kMaxPixels in all, lying inside the file at the offset the file header gives.
// Pixels run-length data skips are white.
//
// Alpha, and the widening of narrow colour masks, follow ImageMagick, so that a file shows
// here as it does there. Pixels with alpha are laid on white. Under the 40-byte header the top
// byte of a 32-bit pixel is alpha unless it is zero in every pixel (many writers leave it so);
// other headers have alpha only through an alpha mask, which counts even where it is zero
// everywhere. At 16 bits a 5-bit colour channel (and a 6-bit green) is repeated into the low
// bits, other widths up to 8 bits repeat the top byte (a 4-bit 15 gives 240); at 32 bits only
// an 8-bit channel reaches full scale, the others stop short of it (a 5-bit 31 gives 247).
//
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
    HeaderSize,     // a header of a kind we do not read, or cut short
    Depth,          // not 1, 2, 4, 8, 16, 24 or 32 bits per pixel
    Compressed,     // a compression we do not read, or one that does not fit the depth
    Masks,          // colour masks that are all zero, overlap, have gaps or exceed the depth
    Size,           // a side of 0, a negative width, more than kMaxSide or kMaxPixels
    FileSizeField,  // the file claims to be longer than it is
    PixelOffset,    // the pixel rows would start inside the headers or past the end
    ShortPixels,    // fewer pixel bytes in the file than the picture needs
    ColorTable,     // a colour-table depth with no colour table before the pixels
};

enum class Coding { Plain, Rle8, Rle4 };

// Whether the alpha mask counts.
enum class Alpha {
    None,
    Mask,    // the alpha mask gives every pixel's coverage
    IfAny,   // as a mask, unless the alpha is zero everywhere: then the file never set it
};

// Where things are in a file we accept.
struct Layout {
    int32_t width = 0;
    int32_t height = 0;      // always positive
    bool topDown = false;    // the first stored row is the top of the picture
    int32_t bitCount = 0;
    Coding coding = Coding::Plain;
    uint32_t infoSize = 0;   // bytes of the header after the 14-byte file header
    uint32_t headersEnd = 0; // file header, info header and the masks that follow it
    uint32_t pixelOffset = 0;
    int32_t colorCount = 0;  // colour-table entries that lie before the pixels
    int32_t entrySize = 4;   // bytes per colour-table entry (3 in the OS/2 12-byte header)
    uint32_t masks[4] = {};  // red, green, blue, alpha at 16 and 32 bits
    Alpha alpha = Alpha::None;
    int32_t stride = 0;      // bytes per stored row in the file (uncompressed)
    uint64_t pixelBytes = 0; // stride x height, or the run-length data's length
};

// True for the header sizes we read (the first 4 bytes after the file header).
bool IsKnownInfoSize(uint32_t infoSize);

// Bytes of colour masks stored right after `info`, a whole info header (a 40-byte header with
// bit fields has them there).
size_t MaskBytesAfter(const uint8_t* info);

// Checks the 14-byte file header, the info header and any masks after it (`bytes` holds them
// all, `size` bytes) against the file's real length.
Refusal ParseLayout(const uint8_t* bytes, size_t size, uint64_t fileSize, Layout& out);

// Bytes of colour table to read right after the headers.
inline size_t ColorTableBytes(const Layout& layout) {
    return static_cast<size_t>(layout.colorCount) * static_cast<size_t>(layout.entrySize);
}

// 256 colours, blue, green, red; the entries a file does not give are black.
struct Palette {
    uint8_t bgr[kMaxColors * 3] = {};
};
Palette MakePalette(const Layout& layout, const uint8_t* table);

// One stored row of an uncompressed file as `width` blue, green, red pixels.
void ConvertRow(const Layout& layout, const Palette& palette, const uint8_t* fileRow, uint8_t* out);
// Whether any pixel of an uncompressed 32-bit row has a non-zero top byte.
bool RowHasAlpha(const Layout& layout, const uint8_t* fileRow);

// Sends the rows of run-length data, read from `source`, to the placer: bottom row first,
// unwritten pixels white. False when the data is spoiled (a run or a jump past the picture's
// edge, or the data ending before the top row).
bool DecodeRle(const Layout& layout, const Palette& palette, pictures::ByteSource& source, pictures::RowPlacer& placer);

// The reader of BMP files for pictures::MakeDecoder.
std::unique_ptr<pictures::Decoder> MakeDecoder(pictures::ByteSource& source);

}  // namespace bmp
