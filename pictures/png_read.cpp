// Reading PNG files.
#include "pictures/png_read.h"

namespace png {

std::unique_ptr<pictures::Decoder> MakeDecoder(pictures::ByteSource&) { return nullptr; }

}  // namespace png
