#include "pictures/dib.h"

#include <cstring>
#include <new>

#include "platform/raster/blit.h"
#include "resources/resources.h"

namespace {

// Field offsets of a BITMAPINFOHEADER.
constexpr size_t kOffWidth = 4;
constexpr size_t kOffHeight = 8;
constexpr size_t kOffPlanes = 12;
constexpr size_t kOffBitCount = 14;
constexpr size_t kOffCompression = 16;
constexpr size_t kOffClrUsed = 32;
constexpr size_t kOffClrImportant = 36;

// Larger images than this are a caller's mistake, not something to try to allocate.
constexpr int64_t kMaxImageBytes = int64_t{1} << 30;

int32_t ReadI32(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);  // the header may sit at any address inside a resource
    return v;
}
uint16_t ReadU16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
void WriteI32(uint8_t* p, int32_t v) { std::memcpy(p, &v, 4); }
void WriteU16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }

// Bytes before the rows: the header and, at 8 bits, the whole 256-entry table.
size_t PixelOffset(int32_t bitCount) {
    return kDibHeaderSize + (bitCount == 8 ? kDibColorTableSize : 0);
}

// Rows start on a cache line: whole-row copies and filters run measurably faster.
constexpr size_t kRowAlignment = 64;

// Where the header goes in a block so that the pixels after it are aligned.
uint8_t* AlignedHeader(uint8_t* block, size_t offset) {
    const uintptr_t bits = reinterpret_cast<uintptr_t>(block) + offset;
    return block + ((kRowAlignment - bits % kRowAlignment) % kRowAlignment);
}

int64_t ImageBytes(int32_t width, int32_t height, int32_t bitCount) {
    return int64_t{StrideFor(width, bitCount)} * height;
}

bool CreateSection(DibRecord& image, int32_t width, int32_t height, int32_t bitCount) {
    dib_Free(image);
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (width > (1 << 24) || ImageBytes(width, height, bitCount) > kMaxImageBytes) return false;
    const size_t offset = PixelOffset(bitCount);
    const size_t total = kRowAlignment + offset + static_cast<size_t>(ImageBytes(width, height, bitCount));
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[total]());
    if (!block) return false;

    uint8_t* header = AlignedHeader(block.get(), offset);
    WriteI32(header, kDibHeaderSize);
    WriteI32(header + kOffWidth, width);
    WriteI32(header + kOffHeight, height);
    WriteU16(header + kOffPlanes, 1);
    WriteU16(header + kOffBitCount, static_cast<uint16_t>(bitCount));
    if (bitCount == 8) {
        WriteI32(header + kOffClrUsed, 256);
        WriteI32(header + kOffClrImportant, 256);
        uint8_t* table = header + kDibHeaderSize;
        for (int i = 0; i < 256; ++i) {
            table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<uint8_t>(i);
        }
    }
    image.section = std::move(block);
    image.info = header;
    image.bits = header + offset;
    return true;
}

}  // namespace

bool dib_CreateSection8(DibRecord& image, int32_t width, int32_t height) {
    return CreateSection(image, width, height, 8);
}

bool dib_CreateSection24(DibRecord& image, int32_t width, int32_t height) {
    return CreateSection(image, width, height, 24);
}

bool dib_LoadResource(DibRecord& image, int id) {
    dib_Free(image);
    const ResourceData data = FindResource(ResourceKind::Bitmap, id);
    if (!data || data.size < static_cast<size_t>(kDibHeaderSize)) return false;
    const uint8_t* header = data.bytes;
    const int32_t width = ReadI32(header + kOffWidth);
    const int32_t height = ReadI32(header + kOffHeight);
    const int32_t bitCount = ReadU16(header + kOffBitCount);
    if ((bitCount != 8 && bitCount != 24) || ReadI32(header + kOffCompression) != 0) return false;
    if (width <= 0 || height <= 0 || width > (1 << 24)) return false;
    const int64_t need = static_cast<int64_t>(PixelOffset(bitCount)) + ImageBytes(width, height, bitCount);
    if (static_cast<int64_t>(data.size) < need) return false;
    image.resource = data.bytes;
    image.info = header;
    image.bits = header + PixelOffset(bitCount);
    return true;
}

void dib_Free(DibRecord& image) {
    image.section.reset();
    image.resource = nullptr;
    image.info = nullptr;
    image.bits = nullptr;
}

int32_t dib_GetWidth(const DibRecord& image) { return image.info ? ReadI32(image.info + kOffWidth) : 0; }
int32_t dib_GetHeight(const DibRecord& image) { return image.info ? ReadI32(image.info + kOffHeight) : 0; }
int32_t dib_GetBitCount(const DibRecord& image) { return image.info ? ReadU16(image.info + kOffBitCount) : 0; }

int32_t dib_GetStride(const DibRecord& image) {
    return image.info ? StrideFor(dib_GetWidth(image), dib_GetBitCount(image)) : 0;
}

size_t dib_GetImageSize(const DibRecord& image) {
    return static_cast<size_t>(dib_GetStride(image)) * static_cast<size_t>(dib_GetHeight(image));
}

const uint8_t* dib_GetColorTable(const DibRecord& image) {
    return dib_GetBitCount(image) == 8 ? image.info + kDibHeaderSize : nullptr;
}

bool dib_MakeWritable(DibRecord& image) {
    if (!dib_IsInPlace(image)) return image.info != nullptr;
    const size_t offset = PixelOffset(dib_GetBitCount(image));
    const size_t pixels = dib_GetImageSize(image);
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[kRowAlignment + offset + pixels]);
    if (!block) return false;
    uint8_t* header = AlignedHeader(block.get(), offset);
    // The resource's table may claim fewer colours; our copy keeps all 256 entries regardless.
    std::memcpy(header, image.info, offset);
    std::memcpy(header + offset, image.bits, pixels);
    image.section = std::move(block);
    image.resource = nullptr;
    image.info = header;
    image.bits = header + offset;
    return true;
}

PixelView dib_ReadView(const DibRecord& image) {
    PixelView v;
    if (image.info == nullptr) return v;
    v.bits = const_cast<uint8_t*>(image.bits);
    v.width = dib_GetWidth(image);
    v.height = dib_GetHeight(image);
    v.stride = dib_GetStride(image);
    v.bitCount = dib_GetBitCount(image);
    v.colorTable = const_cast<uint8_t*>(dib_GetColorTable(image));
    return v;
}

PixelView dib_WriteView(DibRecord& image) {
    if (!dib_MakeWritable(image)) return PixelView{};
    return dib_ReadView(image);
}

const uint8_t* dib_GetPixelAddress(const DibRecord& image, int32_t x, int32_t y) {
    const int32_t width = dib_GetWidth(image);
    const int32_t height = dib_GetHeight(image);
    if (x < 0 || y < 0 || x >= width || y >= height) return nullptr;
    const PixelView v = dib_ReadView(image);
    return RowPointer(v, y) + static_cast<size_t>(x) * (v.bitCount / 8);
}

void dib_GetPixelRGB(const DibRecord& image, int32_t x, int32_t y, uint8_t& red, uint8_t& green,
                     uint8_t& blue) {
    red = green = blue = 0;
    const uint8_t* p = dib_GetPixelAddress(image, x, y);
    if (p == nullptr) return;
    if (dib_GetBitCount(image) == 8) p = dib_GetColorTable(image) + 4 * *p;
    blue = p[0];
    green = p[1];
    red = p[2];
}

void dib_SetPixelRGB(DibRecord& image, int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue) {
    if (dib_GetPixelAddress(image, x, y) == nullptr || !dib_MakeWritable(image)) return;
    uint8_t* p = const_cast<uint8_t*>(dib_GetPixelAddress(image, x, y));
    if (dib_GetBitCount(image) == 8) {
        *p = raster::NearestColorIndex(dib_GetColorTable(image), red, green, blue);
        return;
    }
    p[0] = blue;
    p[1] = green;
    p[2] = red;
}

void dib_CopyRect(const DibRecord& source, int32_t sx, int32_t sy, int32_t w, int32_t h, DibRecord& target,
                  int32_t tx, int32_t ty, int key) {
    if (w <= 0 || h <= 0 || dib_GetBitCount(source) != dib_GetBitCount(target)) return;
    if (!dib_MakeWritable(target)) return;
    const PixelView src = dib_ReadView(source);
    const PixelView dst = dib_ReadView(target);
    raster::Block block{sx, sy, tx, ty, w, h};
    if (!raster::ClipBlock(block, src, dst, raster::Bounds(dst))) return;
    const int32_t bytesPerPixel = src.bitCount / 8;
    const int32_t rowBytes = block.w * bytesPerPixel;
    const uint8_t skip = static_cast<uint8_t>(key);
    // Up the picture is forward in memory; inside one image moving up, go down instead, so no
    // row is overwritten before it is read.
    const bool downwards = src.bits == dst.bits && block.dy < block.sy;
    for (int32_t i = 0; i < block.h; ++i) {
        const int32_t r = downwards ? i : block.h - 1 - i;
        const uint8_t* s = RowPointer(src, block.sy + r) + block.sx * bytesPerPixel;
        uint8_t* d = RowPointer(dst, block.dy + r) + block.dx * bytesPerPixel;
        if (key == 0) {
            std::memmove(d, s, static_cast<size_t>(rowBytes));
            continue;
        }
        for (int32_t k = 0; k < rowBytes; ++k) {
            if (s[k] != skip) d[k] = s[k];
        }
    }
}
