// Arbitrary bytes through the program's own picture reading: the bytes become the current
// file (an in-memory file opened by path), and tb_ReadBitmapFromFile reads it into the bitmap
// table exactly as opening a picture does; then tb_ReadBitmapPreview reads it again as the
// browser's preview, at a size taken from the bytes, and must agree on whether it is a picture.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "pictures/picture_read.h"
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
    if (ftruncate(setup.fd, 0) != 0 || pwrite(setup.fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    std::string path = setup.path;
    if (tb_OpenFile(path, 0) != 1) std::abort();

    const Rect untouched{-7, -7, -7, -7};
    Rect rect = untouched;
    const int bitmap = tb_ReadBitmapFromFile(&rect);
    if (bitmap >= 0) {
        // Whatever was accepted is a sane picture that fits in the file.
        const int width = tb_GetBitmapWidth(bitmap);
        const int height = tb_GetBitmapHeight(bitmap);
        if (rect != (Rect{0, 0, width, height})) std::abort();
        if (width < 1 || height < 1 || width > 16384 || height > 16384) std::abort();
        // Every pixel of a BMP came from at least its bits of the file, unless run-length data
        // made it.
        auto field = [&](size_t at) { return at + 2 <= size ? data[at] | data[at + 1] << 8 : 0; };
        const bool core = field(14) == 12;
        const int bits = field(core ? 24 : 28), compression = core ? 0 : field(30);
        const bool bmp = pictures::Sniff(data, size) == pictures::Format::Bmp;
        if (bmp && compression != 1 && compression != 2 && uint64_t(width) * uint64_t(height) * uint64_t(bits) > 8 * uint64_t(size))
            std::abort();
        if (static_cast<int64_t>(width) * height > int64_t{7680} * 4320) std::abort();
        tb_DisposeBitmap(bitmap);
    } else if (rect != untouched) {
        std::abort();
    }
    tb_CloseFile();
    if (tb_OpenFile(path, 0) != 1) std::abort();
    const int side = size > 0 ? 1 + data[size - 1] % 64 : 1;
    const int preview = tb_ReadBitmapPreview(side, 65 - side, &rect);
    if ((preview >= 0) != (bitmap >= 0)) std::abort();
    if (preview >= 0) tb_DisposeBitmap(preview);
    tb_CloseFile();
    setup.desktop.clearRecords();
    return 0;
}
