// Arbitrary bytes (the corpus: JPEG files) read as a picture exactly as Open reads one
// (tb_ReadBitmapFromFile on an in-memory file opened by path), then again as the browser's
// preview at a size taken from the bytes: both must agree on whether it is a picture, and a
// picture must keep within the size limit. (A compressed file's pixels need not each come from
// a byte of it, so that check of the BMP target does not hold here.)
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/headless/headless_platform.h"
#include "toolbox/toolbox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static platform::HeadlessPlatform desktop;
    static const int fd = [] {
        platform::InstallPlatform(&desktop);
        tb_Init();
        return memfd_create("picture", 0);
    }();
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    int bitmaps[2] = {-1, -1};
    for (int preview : {0, 1}) {
        std::string name = path;
        if (tb_OpenFile(name, 0) != 1) std::abort();
        const int side = size > 0 ? 1 + data[size - 1] % 200 : 1;
        Rect rect{-7, -7, -7, -7};
        bitmaps[preview] = preview ? tb_ReadBitmapPreview(side, 201 - side, &rect) : tb_ReadBitmapFromFile(&rect);
        tb_CloseFile();
        if (bitmaps[preview] < 0) continue;
        const int width = tb_GetBitmapWidth(bitmaps[preview]), height = tb_GetBitmapHeight(bitmaps[preview]);
        if (rect != (Rect{0, 0, width, height}) || width < 1 || height < 1 || width > 16384 || height > 16384 ||
            int64_t{width} * height > int64_t{7680} * 4320) {
            std::abort();
        }
        tb_DisposeBitmap(bitmaps[preview]);
    }
    if ((bitmaps[0] >= 0) != (bitmaps[1] >= 0)) std::abort();
    desktop.clearRecords();
    return 0;
}
