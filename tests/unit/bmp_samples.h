// Picture files made byte by byte, for the BMP tests and the fuzzing corpus. Every field is
// written out here by hand, independently of the program's own reader and writer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace samples {

struct Bgr {
    uint8_t blue = 0, green = 0, red = 0;
    friend bool operator==(const Bgr&, const Bgr&) = default;
};

// A picture that differs from pixel to pixel and row to row, so that a swapped row, a shifted
// column or a lost byte shows. (x, y) from the top-left corner.
inline Bgr PatternAt(int x, int y) {
    return Bgr{uint8_t(x * 37 + y * 11 + 5), uint8_t(200 - x * 3 - y * 29), uint8_t((x * 7) ^ (y * 53))};
}
// Colour-table entry i of the 8-bit samples.
inline Bgr TableEntry(int i) { return Bgr{uint8_t(i * 9 + 1), uint8_t(255 - i * 4), uint8_t(i * 13 + 7)}; }

struct SampleLayout {
    int32_t width = 5;
    int32_t height = 3;           // negative: top-down rows
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t infoSize = 40;       // 12: the OS/2 header of 16-bit sizes and 3-byte colours
    uint32_t colorsUsed = 0;      // the header field
    int tableEntries = 256;       // entries stored (up to 8 bits); the pixels use only these
    uint32_t gap = 0;             // bytes between the table and the pixels
    int64_t pixelOffset = -1;     // -1: where the pixels really start
    int64_t fileSizeField = -1;   // -1: the real length
    int64_t keepPixelBytes = -1;  // cut the pixel data to this many bytes
    uint8_t padding = 0xEE;       // what the row padding holds
    std::vector<uint32_t> masks;  // written from the 40-byte header's end on
    uint32_t keepBits = ~0u;      // 16 and 32 bits: the pixel bits the pattern may set
    std::vector<uint8_t> data;    // the pixel bytes as they are (run-length data), else the pattern
};

// Stored row r (y the picture row it holds) of `stride` bytes: table indices, blue-green-red,
// or 16 and 32 bits taken from a byte pattern.
inline void PutRow(const SampleLayout& s, int entries, int y, uint8_t* row, size_t stride) {
    const int bits = s.bitCount;
    std::fill(row, row + stride, bits >= 8 ? s.padding : 0);
    std::fill(row, row + (s.width * bits + 7) / 8, 0);
    for (int x = 0; x < s.width; ++x) {
        if (bits <= 8 && entries > 0) row[x * bits / 8] |= uint8_t((x * 3 + y * 5) % entries << (8 - bits - x * bits % 8));
        const Bgr c = PatternAt(x, y);
        if (bits == 24) row[3 * x] = c.blue, row[3 * x + 1] = c.green, row[3 * x + 2] = c.red;
        const uint32_t v = (c.blue | c.green << 8 | c.red << 16 | uint32_t(c.blue ^ c.red) << 24) & s.keepBits;
        for (int k = 0; k < bits / 8 && bits > 8; ++k) row[x * bits / 8 + k] = uint8_t(v >> (8 * k));
    }
}

inline std::vector<uint8_t> MakeBmp(const SampleLayout& s) {
    const bool core = s.infoSize == 12;
    const int entries = s.bitCount <= 8 ? std::min(s.tableEntries, 1 << s.bitCount) : 0;
    // A header size the file claims beyond what we lay out is not backed by bytes.
    const size_t info = std::clamp<size_t>(s.infoSize, 40, 124);
    const size_t headers = core ? 26 : 14 + std::max(info, 40 + 4 * s.masks.size());
    const size_t pixelStart = headers + (core ? 3 : 4) * size_t(entries) + s.gap;
    const int64_t rows = s.height < 0 ? -int64_t{s.height} : s.height;
    const bool sane = s.width > 0 && s.width <= 64 && rows <= 64 && s.data.empty();
    const size_t stride = sane ? (size_t(s.width) * s.bitCount + 31) / 32 * 4 : 0;
    std::vector<uint8_t> out(pixelStart + stride * size_t(sane ? rows : 0), 0x5A);
    auto put = [&](size_t at, uint32_t v) { for (size_t i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i)); };
    std::fill(out.begin(), out.begin() + long(headers), 0);
    const uint32_t offset = uint32_t(s.pixelOffset >= 0 ? s.pixelOffset : int64_t(pixelStart));
    const std::pair<size_t, uint32_t> fields[] = {{0, 'B' | 'M' << 8}, {10, offset}, {14, s.infoSize}, {18, uint32_t(s.width)},
                                                  {22, uint32_t(s.height)}, {26, 1u | uint32_t(s.bitCount) << 16},
                                                  {30, s.compression}, {46, s.colorsUsed}};
    for (const auto& [at, value] : fields) put(at, value);
    if (core) put(18, uint32_t(s.width) | uint32_t(s.height) << 16), put(22, 1u | uint32_t(s.bitCount) << 16);
    if (headers >= 14 + 108) put(14 + 56, 0x73524742);  // "sRGB" colour space tag
    for (size_t i = 0; i < s.masks.size(); ++i) put(54 + 4 * i, s.masks[i]);
    for (int i = 0; i < entries; ++i) {
        const Bgr c = TableEntry(i);
        put(headers + (core ? 3 : 4) * size_t(i), uint32_t(c.blue | c.green << 8 | c.red << 16));
    }
    for (int64_t r = 0; r < (sane ? rows : 0); ++r)
        PutRow(s, entries, int(s.height < 0 ? r : rows - 1 - r), out.data() + pixelStart + size_t(r) * stride, stride);
    out.insert(out.end(), s.data.begin(), s.data.end());
    const size_t kept = s.keepPixelBytes >= 0 ? pixelStart + size_t(s.keepPixelBytes) : out.size();
    out.resize(std::min(kept, out.size()));
    put(2, uint32_t(s.fileSizeField >= 0 ? s.fileSizeField : int64_t(out.size())));
    return out;
}

struct NamedFile { std::string name; std::vector<uint8_t> bytes; };

// Files every reader must refuse (besides a folder given as the file): one for each check.
inline std::vector<NamedFile> BadFiles() {
    auto with = [](auto change) {
        SampleLayout s;
        change(s);
        return MakeBmp(s);
    };
    std::vector<uint8_t> shortHeader = MakeBmp(SampleLayout{});
    shortHeader.resize(40);
    return {
        {"empty", {}},
        {"header cut short", shortHeader},
        {"huge header size", with([](SampleLayout& s) { s.infoSize = 0x7FFFFFF0; })},
        {"bit fields at 24 bits", with([](SampleLayout& s) { s.compression = 3, s.masks = {0xFF0000, 0xFF00, 0xFF}; })},
        {"overlapping masks", with([](SampleLayout& s) { s.bitCount = 16, s.compression = 3, s.masks = {0xF800, 0xFE0, 0x1F}; })},
        {"no colour masks", with([](SampleLayout& s) { s.bitCount = 32, s.compression = 3, s.masks = {0, 0, 0}; })},
        {"mask past 16 bits", with([](SampleLayout& s) { s.bitCount = 16, s.compression = 3, s.masks = {0x1F0000, 0x7E0, 0x1F}; })},
        {"mask with a gap", with([](SampleLayout& s) { s.bitCount = 32, s.compression = 3, s.masks = {0xF0F00000, 0xFF00, 0xFF}; })},
        {"4 bit without a table", with([](SampleLayout& s) { s.bitCount = 4, s.tableEntries = 0; })},
        {"RLE8 top-down", with([](SampleLayout& s) { s.bitCount = 8, s.compression = 1, s.height = -3, s.data = {0, 1}; })},
        {"RLE4 at 8 bits", with([](SampleLayout& s) { s.bitCount = 8, s.compression = 2, s.data = {0, 1}; })},
        {"RLE8 run past the row", with([](SampleLayout& s) { s.bitCount = 8, s.compression = 1, s.data = {6, 1, 0, 1}; })},
        {"RLE8 copy past the row", with([](SampleLayout& s) { s.bitCount = 8, s.compression = 1, s.width = 2, s.data = {0, 3, 1, 2, 3, 0}; })},
        {"RLE4 jump past the top", with([](SampleLayout& s) { s.bitCount = 4, s.compression = 2, s.data = {0, 2, 0, 3, 0, 1}; })},
        {"RLE8 ending below the top row", with([](SampleLayout& s) { s.bitCount = 8, s.compression = 1, s.data = {5, 1, 0, 0}; })},
        {"width 0", with([](SampleLayout& s) { s.width = 0; })},
        {"height 0", with([](SampleLayout& s) { s.height = 0; })},
        {"16385 wide", with([](SampleLayout& s) { s.width = 16385; s.height = 1; })},
        {"16385 high", with([](SampleLayout& s) { s.width = 1; s.height = 16385; })},
        {"16385 high, top-down", with([](SampleLayout& s) { s.width = 1; s.height = -16385; })},
        {"most negative height", with([](SampleLayout& s) { s.height = INT32_MIN; })},
        {"16384 x 16384 without the pixels", with([](SampleLayout& s) { s.width = 16384; s.height = 16384; })},
        {"file size field too large", with([](SampleLayout& s) { s.fileSizeField = 1 << 20; })},
        {"pixel offset past the end", with([](SampleLayout& s) { s.pixelOffset = 4000; })},
        {"pixel offset inside the header", with([](SampleLayout& s) { s.pixelOffset = 20; })},
        {"pixels one byte short", with([](SampleLayout& s) { s.keepPixelBytes = 16 * 3 - 1; })},
    };
}

// Files every reader must accept, with the picture they hold and, where ImageMagick cannot read
// that, the same picture in a form it reads.
struct GoodFile { std::string name; SampleLayout layout; SampleLayout reference; };

inline std::vector<GoodFile> GoodFiles() {
    auto with = [](const char* name, auto change, auto... asReference) {
        SampleLayout s;
        change(s);
        SampleLayout r = s;
        (asReference(r), ...);
        return GoodFile{name, s, r};
    };
    const std::vector<uint8_t> rle8 = {3, 1, 0, 3, 2, 3, 4, 0, 1, 5, 0, 0, 0, 2, 2, 1, 2, 6, 0, 0, 0, 4, 7, 8, 9, 10, 0, 0, 7, 11};
    const std::vector<uint8_t> rle4 = {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 0, 2, 1, 1, 2, 0x9A, 0, 1};
    const std::vector<uint32_t> argb = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    return {
        with("24 bit, 40-byte header", [](SampleLayout&) {}),
        with("124-byte header", [](SampleLayout& s) { s.infoSize = 124; s.width = 3; s.height = 4; }),
        with("top-down", [](SampleLayout& s) { s.height = -4; }),
        with("gap before the pixels", [](SampleLayout& s) { s.gap = 37; }),
        with("8 bit, 256 colours, top-down", [](SampleLayout& s) { s.bitCount = 8; s.height = -3; }),
        with("8 bit, short table, gap", [](SampleLayout& s) { s.bitCount = 8, s.colorsUsed = 5, s.tableEntries = 5, s.gap = 10; }),
        with("8 bit, table cut short by the pixels", [](SampleLayout& s) { s.bitCount = 8; s.tableEntries = 3; },
             [](SampleLayout& s) { s.colorsUsed = 3; }),
        with("file size field smaller than the file", [](SampleLayout& s) { s.fileSizeField = 0; }),
        with("1 bit", [](SampleLayout& s) { s.bitCount = 1, s.width = 13; }),
        with("2 bit", [](SampleLayout& s) { s.bitCount = 2, s.width = 7; }, [](SampleLayout& s) { s.bitCount = 8, s.tableEntries = s.colorsUsed = 4; }),
        with("4 bit, 12-byte header", [](SampleLayout& s) { s.bitCount = 4, s.width = 9, s.infoSize = 12; }),
        with("8 bit, 64-byte header", [](SampleLayout& s) { s.bitCount = 8, s.infoSize = 64; }, [](SampleLayout& s) { s.infoSize = 40; }),
        with("16 bit, 5-5-5", [](SampleLayout& s) { s.bitCount = 16; }),
        with("16 bit, 5-6-5", [](SampleLayout& s) { s.bitCount = 16, s.compression = 3, s.masks = {0xF800, 0x7E0, 0x1F}; }),
        with("16 bit, 4-4-4-4 with alpha", [](SampleLayout& s) { s.bitCount = 16, s.compression = 3, s.infoSize = 124, s.masks = {0xF00, 0xF0, 0xF, 0xF000}; }),
        with("32 bit, top byte unused", [](SampleLayout& s) { s.bitCount = 32, s.keepBits = 0xFFFFFF; }),
        with("32 bit, top byte as alpha", [](SampleLayout& s) { s.bitCount = 32; }),
        with("32 bit, top byte first set on the second row", [](SampleLayout& s) { s.bitCount = 32, s.height = -3, s.keepBits = 0x10FFFFFF; }),
        with("32 bit, 10-10-10-2", [](SampleLayout& s) { s.bitCount = 32, s.compression = 3, s.infoSize = 124, s.masks = {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000}; }),
        with("32 bit, 4-bit alpha bit fields", [](SampleLayout& s) { s.bitCount = 32, s.compression = 6, s.masks = {0xFF0000, 0xFF00, 0xFF, 0xF0000000}; },
             [](SampleLayout& s) { s.compression = 3, s.infoSize = 124; }),
        // An alpha mask with every alpha zero: the writer never set it, and the picture is opaque.
        with("32 bit, zero alpha", [&](SampleLayout& s) { s.bitCount = 32, s.compression = 3, s.infoSize = 124, s.masks = argb, s.keepBits = 0xFFFFFF; },
             [](SampleLayout& s) { s.masks[3] = 0; }),
        with("RLE8, no end mark", [&](SampleLayout& s) { s.bitCount = 8, s.compression = 1, s.width = 7, s.height = 5, s.data = rle8; }),
        with("RLE4", [&](SampleLayout& s) { s.bitCount = 4, s.compression = 2, s.width = 8, s.data = rle4; }),
    };
}

}  // namespace samples
