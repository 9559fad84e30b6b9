// What every picture reader's fuzz target does: the bytes become the current file (an
// in-memory file opened by path), read whole as Open reads it, then again as the browser's
// preview at a size taken from the last byte. Both agree on whether it is a picture; an
// accepted one keeps to the size limit, its rect is (0, 0, width, height), and (where the
// reader samples rather than scales) its preview is exactly the whole picture stretched; a
// refused one leaves the rect alone.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/headless/headless_platform.h"
#include "toolbox/toolbox.h"

// Reads the bytes both ways and checks them; `fits` (width, height) adds a reader's own check.
template <class Fits>
void FuzzPictureReading(const uint8_t* data, size_t size, bool previewIsStretched, int largestSide, Fits fits) {
    static platform::HeadlessPlatform desktop;
    static const int fd = (platform::InstallPlatform(&desktop), tb_Init(), memfd_create("picture", 0));
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    const int side = size > 0 ? 1 + data[size - 1] % largestSide : 1;
    const Rect untouched{-7, -7, -7, -7}, small{0, 0, side, largestSide + 1 - side};
    Rect rects[2] = {untouched, untouched};
    int bitmaps[2];
    for (int preview : {0, 1}) {
        std::string path = "/proc/self/fd/" + std::to_string(fd);
        if (tb_OpenFile(path, 0) != 1) std::abort();
        bitmaps[preview] = preview ? tb_ReadBitmapPreview(small.right, small.bottom, &rects[1]) : tb_ReadBitmapFromFile(&rects[0]);
        tb_CloseFile();
    }
    const int picture = bitmaps[0], preview = bitmaps[1];
    if ((preview >= 0) != (picture >= 0)) std::abort();
    if (picture < 0) {
        if (rects[0] != untouched || rects[1] != untouched) std::abort();
        return desktop.clearRecords();
    }
    const int width = tb_GetBitmapWidth(picture), height = tb_GetBitmapHeight(picture);
    if (rects[0] != (Rect{0, 0, width, height}) || rects[1] != small || width > 16384 || height > 16384) std::abort();
    if (int64_t{width} * height > int64_t{7680} * 4320 || !fits(width, height)) std::abort();
    if (previewIsStretched) {
        const int stretched = tb_CreateBitmap(const_cast<Rect*>(&small), 0, 24);
        tb_CopyBitmap(picture, stretched, &rects[0], const_cast<Rect*>(&small), 0);
        const PixelView a = tb_PeekBitmapPixels(preview), b = tb_PeekBitmapPixels(stretched);
        for (int y = 0; y < small.bottom; ++y) {
            if (std::memcmp(RowPointer(a, y), RowPointer(b, y), static_cast<size_t>(side) * 3) != 0) std::abort();
        }
        tb_DisposeBitmap(stretched);
    }
    tb_DisposeBitmap(picture), tb_DisposeBitmap(preview);
    desktop.clearRecords();
}
