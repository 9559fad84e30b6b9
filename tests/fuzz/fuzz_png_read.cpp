// Bytes that start as a PNG file does, through the program's own picture reading: whole as
// Open reads it, then as the browser's preview at a size taken from the bytes. A picture taken
// keeps to the size limit, and its preview is exactly the whole picture stretched.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/headless/headless_platform.h"
#include "toolbox/toolbox.h"

namespace {

struct Setup {
    platform::HeadlessPlatform desktop;
    int fd = -1;
    std::string path;

    Setup() {
        platform::InstallPlatform(&desktop);
        tb_Init();
        fd = memfd_create("picture", 0);
        if (fd < 0) std::abort();
        path = "/proc/self/fd/" + std::to_string(fd);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // Anything else is read as BMP, which fuzz_bmp_read covers.
    if (size < 8 || std::memcmp(data, kSignature, 8) != 0) return 0;
    if (ftruncate(setup.fd, 0) != 0 || pwrite(setup.fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    const int side = 1 + data[size - 1] % 64;
    Rect whole{-7, -7, -7, -7}, small{0, 0, side, 65 - side}, shown{};
    int read[2] = {};
    for (int preview : {0, 1}) {
        std::string path = setup.path;
        if (tb_OpenFile(path, 0) != 1) std::abort();
        read[preview] = preview ? tb_ReadBitmapPreview(side, 65 - side, &shown) : tb_ReadBitmapFromFile(&whole);
        tb_CloseFile();
    }
    const int picture = read[0], preview = read[1];
    if ((preview >= 0) != (picture >= 0)) std::abort();
    if (picture >= 0) {
        const int width = tb_GetBitmapWidth(picture), height = tb_GetBitmapHeight(picture);
        if (whole != (Rect{0, 0, width, height}) || shown != small) std::abort();
        if (width < 1 || height < 1 || width > 16384 || height > 16384) std::abort();
        if (static_cast<int64_t>(width) * height > int64_t{7680} * 4320) std::abort();
        const int stretched = tb_CreateBitmap(&small, 0, 24);
        tb_CopyBitmap(picture, stretched, &whole, &small, 0);
        const PixelView a = tb_PeekBitmapPixels(preview), b = tb_PeekBitmapPixels(stretched);
        for (int y = 0; y < small.bottom; ++y) {
            if (std::memcmp(RowPointer(a, y), RowPointer(b, y), static_cast<size_t>(side) * 3) != 0) std::abort();
        }
        for (int bitmap : {picture, preview, stretched}) tb_DisposeBitmap(bitmap);
    } else if (whole != (Rect{-7, -7, -7, -7})) {
        std::abort();
    }
    setup.desktop.clearRecords();
    return 0;
}
