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

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr uint32_t kCoreSize = 12;  // OS/2 1.x: 16-bit sizes, 3-byte colour entries
constexpr uint32_t kOs2Size = 64;   // OS/2 2.x: compression 3 and 4 mean other codings there
constexpr uint32_t kPlainSize = 40;

uint32_t U32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool IsDepth(int32_t bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

uint32_t Compression(const uint8_t* info) { return U32(info) == kCoreSize ? kRgb : U32(info + 16); }

// The coding the compression field names, if it fits the depth and the row order.
Refusal ReadCoding(uint32_t infoSize, uint32_t compression, int32_t bits, bool topDown, Coding& coding) {
    coding = Coding::Plain;
    switch (compression) {
        case kRgb: return Refusal::None;
        case kRle8: coding = Coding::Rle8; break;
        case kRle4: coding = Coding::Rle4; break;
        case kBitFields:
        case kAlphaBitFields:
            return infoSize != kOs2Size && (bits == 16 || bits == 32) ? Refusal::None : Refusal::Compressed;
        default: return Refusal::Compressed;
    }
    // Run-length rows can only be told apart by reading them, from the bottom up.
    const bool fits = coding == Coding::Rle8 ? bits == 8 : bits == 4;
    return fits && !topDown ? Refusal::None : Refusal::Compressed;
}

bool Contiguous(uint32_t mask) {
    const uint32_t lowest = mask & (~mask + 1);
    return ((mask + lowest) & mask) == 0;
}

// The colour masks at 16 and 32 bits: the file's own after bit fields, else the defaults.
Refusal ReadMasks(const uint8_t* info, uint32_t compression, int32_t bits, Layout& layout) {
    uint32_t* m = layout.masks;
    if (compression == kRgb) {
        const uint32_t wide[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
        const uint32_t narrow[4] = {0x7C00, 0x3E0, 0x1F, 0};
        std::memcpy(m, bits == 32 ? wide : narrow, sizeof wide);
        // The plain header's top byte is alpha only if some pixel sets it; the later headers
        // leave it unused unless they ask for bit fields.
        layout.alpha = bits == 32 && layout.infoSize == kPlainSize ? Alpha::IfAny : Alpha::None;
        return Refusal::None;
    }
    const bool withAlpha = compression == kAlphaBitFields || layout.infoSize >= 56;
    for (int i = 0; i < (withAlpha ? 4 : 3); ++i) m[i] = U32(info + 40 + 4 * i);
    // Many writers give an alpha mask and leave every alpha zero: such a picture is opaque.
    layout.alpha = m[3] != 0 ? Alpha::IfAny : Alpha::None;
    const uint32_t depthBits = bits == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    if ((m[0] | m[1] | m[2]) == 0) return Refusal::Masks;
    for (int i = 0; i < 4; ++i) {
        if ((m[i] & ~depthBits) != 0 || !Contiguous(m[i])) return Refusal::Masks;
        for (int j = i + 1; j < 4; ++j) {
            if ((m[i] & m[j]) != 0) return Refusal::Masks;
        }
    }
    return Refusal::None;
}

// Colour-table entries that lie between the headers and the pixels (depths up to 8).
Refusal ReadTableSize(const uint8_t* info, Layout& layout) {
    if (layout.bitCount > 8) return Refusal::None;
    const uint32_t used = layout.infoSize == kCoreSize ? 0 : U32(info + 32);
    const uint32_t most = 1u << layout.bitCount;
    const uint64_t declared = (used == 0 || used > most) ? most : used;
    const uint64_t room = (layout.pixelOffset - layout.headersEnd) / static_cast<uint32_t>(layout.entrySize);
    layout.colorCount = static_cast<int32_t>(std::min(declared, room));
    // Without a single colour every pixel would be black: a damaged file, not a picture.
    return layout.colorCount == 0 ? Refusal::ColorTable : Refusal::None;
}

// How many pixel bytes there are, checked against what is left of the file.
Refusal ReadPixelBytes(const uint8_t* info, uint64_t fileSize, Layout& layout) {
    const uint64_t left = fileSize - layout.pixelOffset;
    if (layout.coding != Coding::Plain) {
        // The data's length field may be 0 (unknown); the data then runs to the end of the file.
        const uint32_t stated = U32(info + 20);
        layout.pixelBytes = stated == 0 ? left : std::min<uint64_t>(stated, left);
        return Refusal::None;
    }
    layout.stride = StrideFor(layout.width, layout.bitCount);
    layout.pixelBytes = uint64_t(layout.stride) * uint64_t(layout.height);
    return layout.pixelBytes > left ? Refusal::ShortPixels : Refusal::None;
}

}  // namespace

bool IsKnownInfoSize(uint32_t infoSize) {
    // The plain header, its two extensions with colour masks, the two with colour spaces, and
    // the two of OS/2.
    return infoSize == kCoreSize || infoSize == kPlainSize || infoSize == 52 || infoSize == 56 ||
           infoSize == kOs2Size || infoSize == 108 || infoSize == 124;
}

size_t MaskBytesAfter(const uint8_t* info) {
    const uint32_t infoSize = U32(info);
    if (infoSize != kPlainSize && infoSize != 52) return 0;
    const uint32_t compression = U32(info + 16);
    const size_t masks = compression == kAlphaBitFields ? 16 : compression == kBitFields ? 12 : 0;
    return masks > infoSize - kPlainSize ? masks - (infoSize - kPlainSize) : 0;
}

Refusal ParseLayout(const uint8_t* bytes, size_t size, uint64_t fileSize, Layout& out) {
    if (size < kFileHeaderSize + 4) return Refusal::HeaderSize;
    const uint8_t* info = bytes + kFileHeaderSize;
    const uint32_t infoSize = U32(info);
    if (!IsKnownInfoSize(infoSize) || size < kFileHeaderSize + infoSize ||
        size < kFileHeaderSize + infoSize + MaskBytesAfter(info)) {
        return Refusal::HeaderSize;
    }
    const bool core = infoSize == kCoreSize;
    const int32_t width = core ? U16(info + 4) : I32(info + 4);
    const int32_t rawHeight = core ? U16(info + 6) : I32(info + 8);
    const int32_t bitCount = U16(info + (core ? 10 : 14));
    Layout layout;
    layout.infoSize = infoSize;
    if (!IsDepth(bitCount)) return Refusal::Depth;
    Refusal refusal = ReadCoding(infoSize, Compression(info), bitCount, rawHeight < 0, layout.coding);
    if (refusal != Refusal::None) return refusal;
    if (width <= 0 || width > kMaxSide || rawHeight == 0 || rawHeight < -kMaxSide || rawHeight > kMaxSide ||
        int64_t{width} * std::abs(int64_t{rawHeight}) > kMaxPixels) {
        return Refusal::Size;
    }
    if (U32(bytes + 2) > fileSize) return Refusal::FileSizeField;

    layout.width = width;
    layout.height = rawHeight < 0 ? -rawHeight : rawHeight;
    layout.topDown = rawHeight < 0;
    layout.bitCount = bitCount;
    layout.entrySize = core ? 3 : 4;
    layout.headersEnd = static_cast<uint32_t>(kFileHeaderSize + infoSize + MaskBytesAfter(info));
    layout.pixelOffset = U32(bytes + 10);
    if (layout.pixelOffset < layout.headersEnd || layout.pixelOffset > fileSize) return Refusal::PixelOffset;
    if (bitCount == 16 || bitCount == 32) refusal = ReadMasks(info, Compression(info), bitCount, layout);
    if (refusal == Refusal::None) refusal = ReadTableSize(info, layout);
    if (refusal == Refusal::None) refusal = ReadPixelBytes(info, fileSize, layout);
    if (refusal == Refusal::None) out = layout;
    return refusal;
}

}  // namespace bmp

namespace bmp {
namespace {

// One colour mask, placed so that its top bit lands on bit 31.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;
    // At 16 bits the widest channel whose top bits are repeated below them: 6 for green, 5 for
    // red and blue, 0 for alpha (whose bits never are).
    int repeatsAt = 0;
};

Channel ChannelOf(uint32_t mask, int repeatsAt) {
    Channel c{mask, 0, 0, repeatsAt};
    if (mask == 0) return c;
    while (((mask << c.shift) & 0x80000000u) == 0) ++c.shift;
    for (uint32_t m = mask; m != 0; m &= m - 1) ++c.width;
    return c;
}

// The channel's value on a 16-bit scale, widened the way the header comment describes.
uint32_t Widen(uint32_t pixel, const Channel& c, bool sixteenBitPixels) {
    uint32_t v = ((pixel & c.mask) << c.shift) >> 16;
    if (sixteenBitPixels) {
        if (c.width == 5 && c.repeatsAt >= 5) v |= (v & 0xE000) >> 5;
        if (c.width == 6 && c.repeatsAt == 6) v |= (v & 0xC000) >> 6;
        if (c.width <= 8) v |= (v & 0xFF00) >> 8;
    } else if (c.width == 8) {
        v |= v >> 8;
    }
    return v;
}

void ConvertMasked(const Layout& layout, const uint8_t* fileRow, uint8_t* out) {
    const bool sixteen = layout.bitCount == 16;
    const uint32_t* m = layout.masks;
    if (!sixteen && layout.alpha == Alpha::None && m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF) {
        for (int32_t x = 0; x < layout.width; ++x) std::memcpy(out + 3 * x, fileRow + 4 * x, 3);
        return;
    }
    const Channel channels[3] = {ChannelOf(m[2], 5), ChannelOf(m[1], 6), ChannelOf(m[0], 5)};
    const Channel alpha = ChannelOf(layout.alpha == Alpha::None ? 0 : m[3], 0);
    const int bytes = layout.bitCount / 8;
    for (int32_t x = 0; x < layout.width; ++x) {
        const uint8_t* p = fileRow + bytes * x;
        const uint32_t pixel = sixteen ? U16(p) : U32(p);
        const uint64_t a = alpha.mask == 0 ? 0xFFFF : Widen(pixel, alpha, sixteen);
        for (int k = 0; k < 3; ++k) {
            // Laid on white on the 16-bit scale, rounded there, then cut to 8 bits.
            const uint64_t c = Widen(pixel, channels[k], sixteen);
            const uint64_t laid = (0xFFFF - a) + (c * a * 2 + 0xFFFF) / (2 * 0xFFFF);
            out[3 * x + k] = static_cast<uint8_t>(laid / 257);
        }
    }
}

}  // namespace

Palette MakePalette(const Layout& layout, const uint8_t* table) {
    Palette palette;
    for (int32_t i = 0; i < layout.colorCount; ++i) std::memcpy(palette.bgr + 3 * i, table + layout.entrySize * i, 3);
    return palette;
}

void ConvertRow(const Layout& layout, const Palette& palette, const uint8_t* fileRow, uint8_t* out) {
    if (layout.bitCount == 24) {
        std::memcpy(out, fileRow, static_cast<size_t>(layout.width) * 3);
        return;
    }
    if (layout.bitCount > 8) {
        ConvertMasked(layout, fileRow, out);
        return;
    }
    // Pixels packed from the top bit of each byte down.
    const int bits = layout.bitCount;
    const int perByte = 8 / bits;
    const int ones = (1 << bits) - 1;
    for (int32_t x = 0; x < layout.width; ++x) {
        const int index = fileRow[x / perByte] >> (8 - bits * (x % perByte + 1)) & ones;
        std::memcpy(out + 3 * x, palette.bgr + 3 * index, 3);
    }
}

bool RowHasAlpha(const Layout& layout, const uint8_t* fileRow) {
    const bool sixteen = layout.bitCount == 16;
    for (int32_t x = 0; x < layout.width; ++x) {
        const uint32_t pixel = sixteen ? U16(fileRow + 2 * x) : U32(fileRow + 4 * x);
        if ((pixel & layout.masks[3]) != 0) return true;
    }
    return false;
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
        size_t headersSize = kFileHeaderSize + infoSize;
        if (!source_.readExactly(headers + sizeFieldEnd, headersSize - sizeFieldEnd)) return false;
        // A plain header's masks follow it: there is room for them where a longer header would be.
        const size_t masks = MaskBytesAfter(headers + kFileHeaderSize);
        if (!source_.readExactly(headers + headersSize, masks)) return false;
        headersSize += masks;
        if (ParseLayout(headers, headersSize, static_cast<uint64_t>(fileSize), layout_) != Refusal::None) return false;
        const size_t tableBytes = ColorTableBytes(layout_);
        uint8_t table[kMaxColors * 4];
        if (!source_.readExactly(table, tableBytes) || !source_.skip(layout_.pixelOffset - headersSize - tableBytes)) {
            return false;
        }
        palette_ = MakePalette(layout_, table);
        header = pictures::Header{layout_.width, layout_.height, 1};
        return true;
    }

    bool decode(pictures::RowPlacer& placer) override {
        if (layout_.coding != Coding::Plain) return DecodeRle(layout_, palette_, source_, placer);
        const PixelView* direct = placer.direct();
        if (direct != nullptr && layout_.bitCount == 24 && layout_.stride == direct->stride && !layout_.topDown) {
            // Same layout as our storage: the whole block at once, bottom row first.
            return source_.readExactly(RowPointer(*direct, direct->height - 1), layout_.pixelBytes);
        }
        std::vector<uint8_t> fileRow(static_cast<size_t>(layout_.stride));
        std::vector<uint8_t> pixels(static_cast<size_t>(layout_.width) * 3);
        Layout rows = layout_;
        if (rows.alpha == Alpha::IfAny) rows.alpha = Alpha::None;
        for (int32_t i = 0; i < layout_.height; ++i) {
            if (!source_.readExactly(fileRow.data(), fileRow.size())) return false;
            if (layout_.alpha == Alpha::IfAny && rows.alpha == Alpha::None && RowHasAlpha(layout_, fileRow.data())) {
                // The alpha counts after all, and every row before had none: all transparent.
                rows.alpha = Alpha::Mask;
                std::fill(pixels.begin(), pixels.end(), 0xFF);
                for (int32_t before = 0; before < i; ++before) placer.put(rowAt(before), pixels.data());
            }
            const int32_t y = rowAt(i);
            if (!placer.wants(y)) continue;
            ConvertRow(rows, palette_, fileRow.data(), pixels.data());
            placer.put(y, pixels.data());
        }
        return true;
    }

private:
    // The picture row (0 at the top) stored in place i.
    int32_t rowAt(int32_t i) const { return layout_.topDown ? i : layout_.height - 1 - i; }

    pictures::ByteSource& source_;
    Layout layout_;
    Palette palette_;
};

}  // namespace

std::unique_ptr<pictures::Decoder> MakeDecoder(pictures::ByteSource& source) {
    return std::make_unique<BmpDecoder>(source);
}

}  // namespace bmp
