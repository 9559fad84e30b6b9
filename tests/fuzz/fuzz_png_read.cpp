// Bytes that start as a PNG file does, through the program's own picture reading (see
// picture_fuzz.h); the preview samples the rows, so it is exactly the whole picture stretched.
#include "pictures/picture_read.h"
#include "tests/fuzz/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Anything else is read as BMP, which fuzz_bmp_read covers.
    if (pictures::Sniff(data, size) != pictures::Format::Png) return 0;
    FuzzPictureReading(data, size, true, 64, [](int, int) { return true; });
    return 0;
}
