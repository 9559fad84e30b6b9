// Writing a bitmap as a BMP file, or as a PNG copy, into the current file.
//
// A bitmap's storage already is a BMP's header and rows (see pictures/dib.h), so a picture is
// three block writes: the 14-byte file header, the 40-byte header as the bitmap holds it, and
// the bottom-up rows with their padding.
#include <cstring>

#include "pictures/dib.h"
#include "pictures/png_write.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kOffClrUsed = 32;
constexpr size_t kOffClrImportant = 36;

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

int tb_WriteBitmapToFile(int bitmap) {
    const toolbox::BitmapSlot* slot = bitmap < kFirstWindowHandle ? toolbox::FindBitmapSlot(bitmap) : nullptr;
    if (slot == nullptr || slot->image.info == nullptr) {
        tb_ErrorMessage("Invalid bitmap! (tb_WriteBitmapToFile)");
        toolbox::SpoilCurrentFile();  // the file must not replace a picture with nothing
        return 0;
    }
    const DibRecord& image = slot->image;
    const bool eightBit = dib_GetBitCount(image) == 8;
    const size_t imageSize = dib_GetImageSize(image);
    const uint32_t offset = static_cast<uint32_t>(kFileHeaderSize + kDibHeaderSize + (eightBit ? kDibColorTableSize : 0));

    uint8_t fileHeader[kFileHeaderSize] = {'B', 'M'};
    PutU32(fileHeader + 2, static_cast<uint32_t>(offset + imageSize));
    PutU32(fileHeader + 10, offset);

    uint8_t info[kDibHeaderSize];
    std::memcpy(info, image.info, sizeof info);
    if (eightBit) {
        // The table always holds 256 entries here, whatever a resource's header claimed, and
        // the whole table is written so that the file reads back as the program draws it.
        PutU32(info + kOffClrUsed, 0);
        PutU32(info + kOffClrImportant, 0);
    }

    int failed = tb_WriteFile(fileHeader, sizeof fileHeader);
    failed |= tb_WriteFile(info, sizeof info);
    if (eightBit) failed |= tb_WriteFile(dib_GetColorTable(image), kDibColorTableSize);
    failed |= tb_WriteFile(image.bits, imageSize);
    return failed != 0 ? 0 : 1;
}

namespace {

// The current file as the PNG writer's sink.
class CurrentFileSink final : public png::ByteSink {
public:
    bool write(const uint8_t* bytes, size_t count) override { return tb_WriteFile(bytes, count) == 0; }
};

}  // namespace

int tb_WritePngToFile(int bitmap) {
    toolbox::Target target;
    if (bitmap >= kFirstWindowHandle || !toolbox::ResolveBitmapTarget(bitmap, target) || target.view.bitCount != 24) {
        tb_ErrorMessage("Invalid bitmap! (tb_WritePngToFile)");
        toolbox::SpoilCurrentFile();
        return 0;
    }
    CurrentFileSink sink;
    if (png::Write(target.view, sink)) return 1;
    toolbox::SpoilCurrentFile();  // a half-written copy must not be put in place
    return 0;
}
