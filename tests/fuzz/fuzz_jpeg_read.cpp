// Arbitrary bytes (the corpus: JPEG files, some with EXIF, some cut short) through the program's
// own picture reading (see picture_fuzz.h). A JPEG preview is decoded at a reduced scale, so it
// need not equal the whole picture stretched; libjpeg itself is not instrumented: the run guards
// our source, error and colour handling around it.
#include "tests/fuzz/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzPictureReading(data, size, false, 200, [](int, int) { return true; });
    return 0;
}
