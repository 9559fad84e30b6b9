// Reading JPEG files.
#pragma once

#include <memory>

#include "pictures/picture_read.h"

namespace jpeg {

// The reader of JPEG files for pictures::MakeDecoder.
std::unique_ptr<pictures::Decoder> MakeDecoder(pictures::ByteSource& source);

}  // namespace jpeg
