// Reading JPEG files.
//
// Accepted: 8-bit baseline, extended and progressive files, Huffman or arithmetic coded, grey,
// YCbCr, RGB, CMYK and YCCK, turned upright by an EXIF orientation tag. Refused: other sample
// precisions and colour models, sizes beyond pictures::SizeAllowed (from the frame header,
// before any pixel memory is taken), and files that end early or whose coded data is damaged,
// so that a half-decoded picture never reaches the canvas.
#pragma once

#include <memory>

#include "pictures/picture_read.h"

namespace jpeg {

// The reader of JPEG files for pictures::MakeDecoder.
std::unique_ptr<pictures::Decoder> MakeDecoder(pictures::ByteSource& source);

}  // namespace jpeg
