// Arbitrary bytes (the corpus: JPEG files) read as Open reads a picture, from an in-memory
// file, then as the browser's preview at a size taken from the last byte: both agree on whether
// it is a picture, and a picture keeps within the size limit. (Unlike a BMP's, a compressed
// file's pixels need not each come from a byte of it.)
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/headless/headless_platform.h"
#include "toolbox/toolbox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static platform::HeadlessPlatform desktop;
    static const int fd = (platform::InstallPlatform(&desktop), tb_Init(), memfd_create("picture", 0));
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    const int side = size > 0 ? 1 + data[size - 1] % 200 : 1;
    int bitmaps[2];
    for (int preview : {0, 1}) {
        std::string path = "/proc/self/fd/" + std::to_string(fd);
        Rect rect{-7, -7, -7, -7};
        if (tb_OpenFile(path, 0) != 1) std::abort();
        bitmaps[preview] = preview ? tb_ReadBitmapPreview(side, 201 - side, &rect) : tb_ReadBitmapFromFile(&rect);
        tb_CloseFile();
        if (bitmaps[preview] < 0) continue;
        const int width = tb_GetBitmapWidth(bitmaps[preview]), height = tb_GetBitmapHeight(bitmaps[preview]);
        if (rect != (Rect{0, 0, width, height}) || int64_t{width} * height > int64_t{7680} * 4320) std::abort();
        tb_DisposeBitmap(bitmaps[preview]);
    }
    if ((bitmaps[0] >= 0) != (bitmaps[1] >= 0)) std::abort();
    desktop.clearRecords();
    return 0;
}
