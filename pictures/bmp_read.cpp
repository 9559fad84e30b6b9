// Where a picture file keeps its pixels, and how its rows become 24-bit pixels.
//
// Everything the file says is checked against the file's real length before anything is
// allocated.
#include "pictures/bmp_read.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/pixels.h"

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
    if (width <= 0 || width > kMaxSide || rawHeight == 0 || rawHeight < -kMaxSide || rawHeight > kMaxSide ||
        int64_t{width} * std::abs(int64_t{rawHeight}) > kMaxPixels) {
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
        // Without a single colour every pixel would be black: a damaged file, not a picture.
        if (layout.colorCount == 0) return Refusal::ColorTable;
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

namespace bmp {
namespace {

class BmpDecoder final : public pictures::Decoder {
public:
    explicit BmpDecoder(pictures::ByteSource& source) : source_(source) {}

    // Reads the headers and the colour table and moves to the first pixel row.
    bool readHeader(pictures::Header& header) override {
        const int64_t fileSize = source_.size();
        if (fileSize < 0) return false;
        uint8_t headers[kFileHeaderSize + kLargestInfoSize];
        const size_t sizeFieldEnd = kFileHeaderSize + 4;
        if (!source_.readExactly(headers, sizeFieldEnd)) return false;
        const uint32_t infoSize = U32(headers + kFileHeaderSize);
        if (!IsKnownInfoSize(infoSize)) return false;
        const size_t headersSize = kFileHeaderSize + infoSize;
        if (!source_.readExactly(headers + sizeFieldEnd, headersSize - sizeFieldEnd)) return false;
        if (ParseLayout(headers, headersSize, static_cast<uint64_t>(fileSize), layout_) != Refusal::None) return false;
        const size_t tableBytes = ColorTableBytes(layout_);
        if (!source_.readExactly(table_, tableBytes) || !source_.skip(layout_.pixelOffset - headersSize - tableBytes)) {
            return false;
        }
        header = pictures::Header{layout_.width, layout_.height, 1};
        return true;
    }

    bool decode(pictures::RowPlacer& placer) override {
        const PixelView* direct = placer.direct();
        if (direct != nullptr && layout_.bitCount == 24 && layout_.stride == direct->stride && !layout_.topDown) {
            // Same layout as our storage: the whole block at once, bottom row first.
            return source_.readExactly(RowPointer(*direct, direct->height - 1), layout_.pixelBytes);
        }
        std::vector<uint8_t> fileRow(static_cast<size_t>(layout_.stride));
        std::vector<uint8_t> pixels(static_cast<size_t>(layout_.width) * 3);
        for (int32_t i = 0; i < layout_.height; ++i) {
            const int32_t y = layout_.topDown ? i : layout_.height - 1 - i;
            if (!source_.readExactly(fileRow.data(), fileRow.size())) return false;
            if (!placer.wants(y)) continue;
            ConvertRow(layout_, table_, fileRow.data(), pixels.data());
            placer.put(y, pixels.data());
        }
        return true;
    }

private:
    pictures::ByteSource& source_;
    Layout layout_;
    uint8_t table_[kMaxColors * 4] = {};
};

}  // namespace

std::unique_ptr<pictures::Decoder> MakeDecoder(pictures::ByteSource& source) {
    return std::make_unique<BmpDecoder>(source);
}

}  // namespace bmp
