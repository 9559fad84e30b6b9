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
    uint32_t infoSize = 40;
    uint32_t colorsUsed = 0;      // the header field
    int tableEntries = 256;       // entries stored (8 bits); the pixels use only these
    uint32_t gap = 0;             // bytes between the table and the pixels
    int64_t pixelOffset = -1;     // -1: where the pixels really start
    int64_t fileSizeField = -1;   // -1: the real length
    int64_t keepPixelBytes = -1;  // cut the pixel data to this many bytes
    uint8_t padding = 0xEE;       // what the row padding holds
};

// The colour a reader must give for (x, y) of a picture made from `s`.
inline Bgr ExpectedAt(const SampleLayout& s, int x, int y) {
    return s.bitCount == 8 ? TableEntry((x * 3 + y * 5) % s.tableEntries) : PatternAt(x, y);
}

inline std::vector<uint8_t> MakeBmp(const SampleLayout& s) {
    const int entries = s.bitCount == 8 ? s.tableEntries : 0;
    // A header size the file claims beyond what we lay out is not backed by bytes.
    const size_t headers = 14 + (s.infoSize > 124 ? 124 : (s.infoSize < 40 ? 40 : s.infoSize));
    const size_t pixelStart = headers + 4 * size_t(entries) + s.gap;
    const int64_t rows = s.height < 0 ? -int64_t{s.height} : s.height;
    const bool sane = s.width > 0 && s.width <= 64 && rows <= 64;
    const size_t stride = sane ? (size_t(s.width) * s.bitCount + 31) / 32 * 4 : 0;
    std::vector<uint8_t> out(pixelStart + stride * size_t(sane ? rows : 0), 0x5A);
    auto put = [&](size_t at, uint32_t v) { for (size_t i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i)); };
    std::fill(out.begin(), out.begin() + long(headers), 0);
    const uint32_t offset = uint32_t(s.pixelOffset >= 0 ? s.pixelOffset : int64_t(pixelStart));
    const std::pair<size_t, uint32_t> fields[] = {{0, 'B' | 'M' << 8}, {10, offset}, {14, s.infoSize}, {18, uint32_t(s.width)},
                                                  {22, uint32_t(s.height)}, {26, 1u | uint32_t(s.bitCount) << 16},
                                                  {30, s.compression}, {46, s.colorsUsed}};
    for (const auto& [at, value] : fields) put(at, value);
    if (headers >= 14 + 108) put(14 + 56, 0x73524742);  // "sRGB" colour space tag
    for (int i = 0; i < entries; ++i) {
        const Bgr c = TableEntry(i);
        put(headers + 4 * size_t(i), uint32_t(c.blue | c.green << 8 | c.red << 16));
    }
    for (int64_t r = 0; r < (sane ? rows : 0); ++r) {
        const int y = int(s.height < 0 ? r : rows - 1 - r);  // the picture row stored at position r
        uint8_t* row = out.data() + pixelStart + size_t(r) * stride;
        std::fill(row, row + stride, s.bitCount >= 8 ? s.padding : 0);
        for (int x = 0; x < s.width && s.bitCount == 8; ++x) row[x] = uint8_t((x * 3 + y * 5) % entries);
        for (int x = 0; x < s.width && s.bitCount == 24; ++x) {
            const Bgr c = PatternAt(x, y);
            row[3 * x] = c.blue, row[3 * x + 1] = c.green, row[3 * x + 2] = c.red;
        }
    }
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
        {"32 bit", with([](SampleLayout& s) { s.bitCount = 32; })},
        {"RLE8", with([](SampleLayout& s) { s.bitCount = 8; s.compression = 1; })},
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

// Files every reader must accept, with the picture they hold.
struct GoodFile { std::string name; SampleLayout layout; };

inline std::vector<GoodFile> GoodFiles() {
    auto with = [](const char* name, auto change) {
        SampleLayout s;
        change(s);
        return GoodFile{name, s};
    };
    return {
        with("24 bit, 40-byte header", [](SampleLayout&) {}),
        with("124-byte header", [](SampleLayout& s) { s.infoSize = 124; s.width = 3; s.height = 4; }),
        with("top-down", [](SampleLayout& s) { s.height = -4; }),
        with("gap before the pixels", [](SampleLayout& s) { s.gap = 37; }),
        with("8 bit, 256 colours, top-down", [](SampleLayout& s) { s.bitCount = 8; s.height = -3; }),
        with("8 bit, short table, gap", [](SampleLayout& s) { s.bitCount = 8, s.colorsUsed = 5, s.tableEntries = 5, s.gap = 10; }),
        with("8 bit, table cut short by the pixels", [](SampleLayout& s) { s.bitCount = 8; s.tableEntries = 3; }),
        with("file size field smaller than the file", [](SampleLayout& s) { s.fileSizeField = 0; }),
    };
}

}  // namespace samples
