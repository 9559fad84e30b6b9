// Reading a picture file from the current file into a new 24-bit bitmap, whole or as a preview
// of a given size.
//
// Everything the file says is checked (pictures/bmp_read) before anything is allocated; only
// then is the bitmap made and filled row by row.
#include <algorithm>
#include <cstring>
#include <vector>

#include "pictures/bmp_read.h"
#include "platform/pixels.h"
#include "platform/raster/blit.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace {

bool ReadExactly(void* buffer, size_t count) {
    size_t got = 0;
    return tb_ReadFile(buffer, count, &got) == 0 && got == count;
}

// Reads and drops `count` bytes: the gap some writers leave between the headers and the rows.
bool Skip(uint64_t count) {
    uint8_t scratch[4096];
    while (count > 0) {
        const size_t step = static_cast<size_t>(std::min<uint64_t>(count, sizeof scratch));
        if (!ReadExactly(scratch, step)) return false;
        count -= step;
    }
    return true;
}

// Fills the fresh bitmap's rows from the file, whose position is at the first pixel row.
bool ReadRows(const bmp::Layout& layout, const uint8_t* table, const PixelView& view) {
    const size_t rowBytes = static_cast<size_t>(view.width) * 3;
    const bool direct = layout.bitCount == 24 && layout.stride == view.stride;
    if (direct && !layout.topDown) {
        // Same layout as our storage: the whole block at once, bottom row first.
        if (!ReadExactly(RowPointer(view, view.height - 1), layout.pixelBytes)) return false;
    } else {
        std::vector<uint8_t> fileRow(static_cast<size_t>(layout.stride));
        for (int32_t i = 0; i < layout.height; ++i) {
            const int32_t y = layout.topDown ? i : layout.height - 1 - i;
            if (!ReadExactly(fileRow.data(), fileRow.size())) return false;
            bmp::ConvertRow(layout, table, fileRow.data(), RowPointer(view, y));
        }
    }
    // The file's row padding may hold anything; ours is zero so that a save writes zeros.
    if (static_cast<size_t>(view.stride) > rowBytes) {
        for (int32_t y = 0; y < view.height; ++y) {
            std::memset(RowPointer(view, y) + rowBytes, 0, static_cast<size_t>(view.stride) - rowBytes);
        }
    }
    return true;
}

// Reads the headers and the colour table of the current file and moves to its first pixel row.
bool ReadHeaders(bmp::Layout& layout, uint8_t (&table)[bmp::kMaxColors * 4]) {
    const int64_t fileSize = tb_GetFileSize();
    if (fileSize < 0) return false;
    uint8_t headers[bmp::kFileHeaderSize + bmp::kLargestInfoSize];
    const size_t sizeFieldEnd = bmp::kFileHeaderSize + 4;
    if (!ReadExactly(headers, sizeFieldEnd)) return false;
    const uint32_t infoSize = headers[14] | headers[15] << 8 | uint32_t{headers[16]} << 16 | uint32_t{headers[17]} << 24;
    if (!bmp::IsKnownInfoSize(infoSize)) return false;
    const size_t headersSize = bmp::kFileHeaderSize + infoSize;
    if (!ReadExactly(headers + sizeFieldEnd, headersSize - sizeFieldEnd)) return false;
    if (bmp::ParseLayout(headers, headersSize, static_cast<uint64_t>(fileSize), layout) != bmp::Refusal::None) {
        return false;
    }
    const size_t tableBytes = bmp::ColorTableBytes(layout);
    return ReadExactly(table, tableBytes) && Skip(layout.pixelOffset - headersSize - tableBytes);
}

// A fresh 24-bit bitmap filled by `fill` from the file; -1, with nothing left behind, when
// it cannot be made or filled.
template <class Fill>
int NewBitmap(int32_t width, int32_t height, Fill fill) {
    Rect size{0, 0, width, height};
    const int bitmap = tb_CreateBitmap(&size, 0, 24);
    if (bitmap < 0) return -1;
    toolbox::Target target;
    if (!toolbox::ResolveBitmapTarget(bitmap, target) || !fill(target.view)) {
        tb_DisposeBitmap(bitmap);
        return -1;
    }
    return bitmap;
}

// Fills a width x height view with the picture stretched onto it, as a copy into a rectangle
// of that size stretches it, reading the file's rows in order and keeping one at a time.
bool ReadSampledRows(const bmp::Layout& layout, const uint8_t* table, const PixelView& view) {
    auto samples = [](int32_t count, int32_t from) {
        std::vector<int32_t> out(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) out[i] = static_cast<int32_t>(raster::SampleOf(i, from, count));
        return out;
    };
    const std::vector<int32_t> columns = samples(view.width, layout.width);
    const std::vector<int32_t> rows = samples(view.height, layout.height);  // ascending
    std::vector<uint8_t> fileRow(static_cast<size_t>(layout.stride));
    std::vector<uint8_t> pixels(static_cast<size_t>(layout.width) * 3);
    for (int32_t i = 0; i < layout.height; ++i) {
        if (!ReadExactly(fileRow.data(), fileRow.size())) return false;
        const int32_t y = layout.topDown ? i : layout.height - 1 - i;
        const auto [first, last] = std::equal_range(rows.begin(), rows.end(), y);
        if (first == last) continue;
        bmp::ConvertRow(layout, table, fileRow.data(), pixels.data());
        for (auto row = first; row != last; ++row) {
            uint8_t* out = RowPointer(view, static_cast<int32_t>(row - rows.begin()));
            for (int32_t x = 0; x < view.width; ++x) std::memcpy(out + 3 * x, pixels.data() + 3 * columns[x], 3);
        }
    }
    return true;
}

}  // namespace

int tb_ReadBitmapFromFile(Rect* rect) {
    bmp::Layout layout;
    uint8_t table[bmp::kMaxColors * 4] = {};
    if (!ReadHeaders(layout, table)) return -1;
    const int bitmap =
        NewBitmap(layout.width, layout.height, [&](const PixelView& view) { return ReadRows(layout, table, view); });
    if (bitmap >= 0 && rect != nullptr) *rect = Rect{0, 0, layout.width, layout.height};
    return bitmap;
}

int tb_ReadBitmapPreview(int width, int height, Rect* rect) {
    if (width <= 0 || height <= 0) return -1;
    bmp::Layout layout;
    uint8_t table[bmp::kMaxColors * 4] = {};
    if (!ReadHeaders(layout, table)) return -1;
    const int bitmap = NewBitmap(width, height, [&](const PixelView& view) { return ReadSampledRows(layout, table, view); });
    if (bitmap >= 0 && rect != nullptr) *rect = Rect{0, 0, width, height};
    return bitmap;
}
