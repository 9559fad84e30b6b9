// Reading PNG files.
#pragma once

#include <memory>

#include "pictures/picture_read.h"

namespace png {

// The reader of PNG files for pictures::MakeDecoder.
std::unique_ptr<pictures::Decoder> MakeDecoder(pictures::ByteSource& source);

}  // namespace png
