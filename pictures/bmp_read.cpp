// Reading a picture file from the current file into a new 24-bit bitmap.
//
// Everything the file says is checked against the file's real length before anything is
// allocated; only then is the bitmap made and filled row by row.
#include "pictures/bmp_read.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/pixels.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace bmp {
namespace {

constexpr uint32_t kCompressionNone = 0;

uint32_t U32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

bool IsKnownInfoSize(uint32_t infoSize) {
    // The plain header, its two extensions with colour masks, and the two with colour spaces.
    return infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124;
}

Refusal ParseLayout(const uint8_t* bytes, size_t size, uint64_t fileSize, Layout& out) {
    if (size < kFileHeaderSize + 4) return Refusal::HeaderSize;
    const uint8_t* info = bytes + kFileHeaderSize;
    const uint32_t infoSize = U32(info);
    if (!IsKnownInfoSize(infoSize) || size < kFileHeaderSize + infoSize) return Refusal::HeaderSize;

    const int32_t width = I32(info + 4);
    const int32_t rawHeight = I32(info + 8);
    const int32_t bitCount = U16(info + 14);
    if (bitCount != 8 && bitCount != 24) return Refusal::Depth;
    if (U32(info + 16) != kCompressionNone) return Refusal::Compressed;
    if (width <= 0 || width > kMaxSide || rawHeight == 0 || rawHeight < -kMaxSide || rawHeight > kMaxSide) {
        return Refusal::Size;
    }
    if (U32(bytes + 2) > fileSize) return Refusal::FileSizeField;

    const uint64_t headersEnd = kFileHeaderSize + infoSize;
    const uint32_t pixelOffset = U32(bytes + 10);
    if (pixelOffset < headersEnd || pixelOffset > fileSize) return Refusal::PixelOffset;

    Layout layout;
    layout.width = width;
    layout.height = rawHeight < 0 ? -rawHeight : rawHeight;
    layout.topDown = rawHeight < 0;
    layout.bitCount = bitCount;
    layout.infoSize = infoSize;
    layout.pixelOffset = pixelOffset;
    if (bitCount == 8) {
        // 0 colours used means all 256; a table cut short by the pixel offset is what it is.
        const uint32_t used = U32(info + 32);
        const uint64_t declared = (used == 0 || used > kMaxColors) ? kMaxColors : used;
        layout.colorCount = static_cast<int32_t>(std::min<uint64_t>(declared, (pixelOffset - headersEnd) / 4));
    }
    layout.stride = StrideFor(width, bitCount);
    layout.pixelBytes = uint64_t(layout.stride) * uint64_t(layout.height);
    if (layout.pixelBytes > fileSize - pixelOffset) return Refusal::ShortPixels;
    out = layout;
    return Refusal::None;
}

void ConvertRow(const Layout& layout, const uint8_t* table, const uint8_t* fileRow, uint8_t* out) {
    if (layout.bitCount == 24) {
        std::memcpy(out, fileRow, static_cast<size_t>(layout.width) * 3);
        return;
    }
    for (int32_t x = 0; x < layout.width; ++x) {
        const int32_t index = fileRow[x];
        if (index < layout.colorCount) {
            std::memcpy(out + 3 * x, table + 4 * index, 3);
        } else {
            std::memset(out + 3 * x, 0, 3);
        }
    }
}

}  // namespace bmp

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

}  // namespace

int tb_ReadBitmapFromFile(Rect* rect) {
    const int64_t fileSize = tb_GetFileSize();
    if (fileSize < 0) return -1;

    uint8_t headers[bmp::kFileHeaderSize + bmp::kLargestInfoSize];
    const size_t sizeFieldEnd = bmp::kFileHeaderSize + 4;
    if (!ReadExactly(headers, sizeFieldEnd)) return -1;
    const uint32_t infoSize = headers[14] | headers[15] << 8 | uint32_t{headers[16]} << 16 | uint32_t{headers[17]} << 24;
    if (!bmp::IsKnownInfoSize(infoSize)) return -1;
    const size_t headersSize = bmp::kFileHeaderSize + infoSize;
    if (!ReadExactly(headers + sizeFieldEnd, headersSize - sizeFieldEnd)) return -1;

    bmp::Layout layout;
    if (bmp::ParseLayout(headers, headersSize, static_cast<uint64_t>(fileSize), layout) != bmp::Refusal::None) {
        return -1;
    }
    uint8_t table[bmp::kMaxColors * 4] = {};
    const size_t tableBytes = bmp::ColorTableBytes(layout);
    if (!ReadExactly(table, tableBytes)) return -1;
    if (!Skip(layout.pixelOffset - headersSize - tableBytes)) return -1;

    Rect size{0, 0, layout.width, layout.height};
    const int bitmap = tb_CreateBitmap(&size, 0, 24);
    if (bitmap < 0) return -1;
    toolbox::Target target;
    if (!toolbox::ResolveBitmapTarget(bitmap, target) || !ReadRows(layout, table, target.view)) {
        tb_DisposeBitmap(bitmap);
        return -1;
    }
    if (rect != nullptr) *rect = Rect{0, 0, layout.width, layout.height};
    return bitmap;
}
