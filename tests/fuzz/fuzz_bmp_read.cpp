// Arbitrary bytes through the program's own picture reading (see picture_fuzz.h), as the BMP
// files most bytes are taken for; the preview samples the rows, so it is exactly the whole
// picture stretched.
#include "pictures/picture_read.h"
#include "tests/fuzz/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Every pixel of a BMP came from at least its bits of the file, unless run-length data
    // made it.
    auto fits = [&](int width, int height) {
        auto field = [&](size_t at) { return at + 2 <= size ? data[at] | data[at + 1] << 8 : 0; };
        const bool core = field(14) == 12;
        const int bits = field(core ? 24 : 28), compression = core ? 0 : field(30);
        const bool bmp = pictures::Sniff(data, size) == pictures::Format::Bmp;
        return !bmp || compression == 1 || compression == 2 ||
               uint64_t(width) * uint64_t(height) * uint64_t(bits) <= 8 * uint64_t(size);
    };
    FuzzPictureReading(data, size, true, 64, fits);
    return 0;
}
