// Picture files made byte by byte, for the BMP tests and the fuzzing corpus. Every field is
// written out here by hand, independently of the program's own reader and writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace samples {

struct Bgr {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    friend bool operator==(const Bgr&, const Bgr&) = default;
};

// A picture that differs from pixel to pixel and row to row, so that a swapped row, a shifted
// column or a lost byte shows. (x, y) from the top-left corner.
inline Bgr PatternAt(int x, int y) {
    return Bgr{static_cast<uint8_t>(x * 37 + y * 11 + 5), static_cast<uint8_t>(200 - x * 3 - y * 29),
               static_cast<uint8_t>((x * 7) ^ (y * 53))};
}

// Colour-table entry i of the 8-bit samples, and the index stored at (x, y).
inline Bgr TableEntry(int i) {
    return Bgr{static_cast<uint8_t>(i * 9 + 1), static_cast<uint8_t>(255 - i * 4), static_cast<uint8_t>(i * 13 + 7)};
}
inline int IndexAt(int x, int y, int entries) { return (x * 3 + y * 5) % entries; }

struct BmpSpec {
    int32_t width = 5;
    int32_t height = 3;        // negative: top-down rows
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t infoSize = 40;
    uint32_t colorsUsed = 0;   // the header field
    int tableEntries = 256;    // entries stored (8 bits); the pixels use only these
    uint32_t gap = 0;          // bytes between the table and the pixels
    int64_t pixelOffset = -1;  // -1: where the pixels really start
    int64_t fileSizeField = -1;// -1: the real length
    int64_t keepPixelBytes = -1;  // cut the pixel data to this many bytes
    uint8_t padding = 0xEE;    // what the row padding holds
};

inline void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

inline int BytesPerRow(int32_t width, int bitCount) {
    const int raw = bitCount >= 8 ? width * (bitCount / 8) : (width * bitCount + 7) / 8;
    return (raw + 3) / 4 * 4;
}

inline std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
    const int entries = s.bitCount == 8 ? s.tableEntries : 0;
    // A header size the file claims beyond what we lay out is not backed by bytes.
    const uint32_t laidOut = s.infoSize > 124 ? 124 : (s.infoSize < 40 ? 40 : s.infoSize);
    const size_t headers = 14 + laidOut;
    const size_t pixelStart = headers + 4 * static_cast<size_t>(entries) + s.gap;
    const int64_t rows = s.height < 0 ? -int64_t{s.height} : s.height;
    const bool sane = s.width > 0 && s.width <= 64 && rows <= 64;
    const int stride = sane ? BytesPerRow(s.width, s.bitCount) : 0;
    std::vector<uint8_t> out(pixelStart + (sane ? static_cast<size_t>(stride) * rows : 0), 0);

    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 10, static_cast<uint32_t>(s.pixelOffset >= 0 ? s.pixelOffset : int64_t(pixelStart)));
    Put32(out, 14, s.infoSize);
    Put32(out, 18, static_cast<uint32_t>(s.width));
    Put32(out, 22, static_cast<uint32_t>(s.height));
    Put16(out, 26, 1);
    Put16(out, 28, s.bitCount);
    Put32(out, 30, s.compression);
    Put32(out, 46, s.colorsUsed);
    if (laidOut >= 108) Put32(out, 14 + 56, 0x73524742);  // "sRGB" colour space tag
    for (int i = 0; i < entries; ++i) {
        const Bgr c = TableEntry(i);
        const size_t at = headers + 4 * static_cast<size_t>(i);
        out[at] = c.blue;
        out[at + 1] = c.green;
        out[at + 2] = c.red;
    }
    for (size_t i = headers + 4 * static_cast<size_t>(entries); i < pixelStart; ++i) out[i] = 0x5A;

    for (int32_t r = 0; sane && r < rows; ++r) {
        const int32_t y = s.height < 0 ? r : static_cast<int32_t>(rows) - 1 - r;  // picture row stored at position r
        uint8_t* row = out.data() + pixelStart + static_cast<size_t>(r) * stride;
        int used = 0;
        for (int x = 0; x < s.width; ++x) {
            if (s.bitCount == 8) {
                row[used++] = static_cast<uint8_t>(IndexAt(x, y, entries > 0 ? entries : 1));
            } else if (s.bitCount == 24) {
                const Bgr c = PatternAt(x, y);
                row[used++] = c.blue;
                row[used++] = c.green;
                row[used++] = c.red;
            }
        }
        for (int k = used; s.bitCount >= 8 && k < stride; ++k) row[k] = s.padding;
    }
    if (s.keepPixelBytes >= 0 && pixelStart + static_cast<size_t>(s.keepPixelBytes) < out.size()) {
        out.resize(pixelStart + static_cast<size_t>(s.keepPixelBytes));
    }
    Put32(out, 2, static_cast<uint32_t>(s.fileSizeField >= 0 ? s.fileSizeField : int64_t(out.size())));
    return out;
}

// The colour a reader must give for (x, y) of a picture made from `s`.
inline Bgr ExpectedAt(const BmpSpec& s, int x, int y) {
    if (s.bitCount == 8) return TableEntry(IndexAt(x, y, s.tableEntries));
    return PatternAt(x, y);
}

struct NamedFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Files every reader must refuse (besides a folder given as the file).
inline std::vector<NamedFile> BadFiles() {
    auto with = [](auto change) {
        BmpSpec s;
        change(s);
        return MakeBmp(s);
    };
    std::vector<uint8_t> headerOnly = MakeBmp(BmpSpec{});
    headerOnly.resize(54);
    std::vector<uint8_t> shortHeader = MakeBmp(BmpSpec{});
    shortHeader.resize(40);
    return {
        {"empty", {}},
        {"ten bytes", {'B', 'M', 0x4E, 0, 0, 0, 0, 0, 0, 0}},
        {"header cut short", shortHeader},
        {"header only", headerOnly},
        {"1 bit", with([](BmpSpec& s) { s.bitCount = 1; })},
        {"4 bit", with([](BmpSpec& s) { s.bitCount = 4; })},
        {"16 bit", with([](BmpSpec& s) { s.bitCount = 16; })},
        {"32 bit", with([](BmpSpec& s) { s.bitCount = 32; })},
        {"RLE8", with([](BmpSpec& s) { s.bitCount = 8; s.compression = 1; })},
        {"RLE4", with([](BmpSpec& s) { s.bitCount = 8; s.compression = 2; })},
        {"bit fields", with([](BmpSpec& s) { s.compression = 3; })},
        {"PNG inside", with([](BmpSpec& s) { s.compression = 5; })},
        {"width 0", with([](BmpSpec& s) { s.width = 0; })},
        {"height 0", with([](BmpSpec& s) { s.height = 0; })},
        {"width -5", with([](BmpSpec& s) { s.width = -5; })},
        {"100000 x 100000", with([](BmpSpec& s) { s.width = 100000; s.height = 100000; })},
        {"16385 wide", with([](BmpSpec& s) { s.width = 16385; s.height = 1; })},
        {"16385 high, top-down", with([](BmpSpec& s) { s.width = 1; s.height = -16385; })},
        {"most negative height", with([](BmpSpec& s) { s.height = INT32_MIN; })},
        {"16384 x 16384 without the pixels", with([](BmpSpec& s) { s.width = 16384; s.height = 16384; })},
        {"file size field too large", with([](BmpSpec& s) { s.fileSizeField = 1 << 20; })},
        {"pixel offset past the end", with([](BmpSpec& s) { s.pixelOffset = 4000; })},
        {"pixel offset inside the header", with([](BmpSpec& s) { s.pixelOffset = 20; })},
        {"pixels one byte short", with([](BmpSpec& s) { s.keepPixelBytes = 16 * 3 - 1; })},
        {"pixels missing", with([](BmpSpec& s) { s.keepPixelBytes = 0; })},
        {"12-byte header", with([](BmpSpec& s) { s.infoSize = 12; })},
        {"64-byte header", with([](BmpSpec& s) { s.infoSize = 64; })},
        {"huge header size", with([](BmpSpec& s) { s.infoSize = 0x7FFFFFF0; })},
        {"8 bit, pixels short", with([](BmpSpec& s) { s.bitCount = 8; s.keepPixelBytes = 9; })},
    };
}

// Files every reader must accept, with the picture they hold.
struct GoodFile {
    std::string name;
    BmpSpec layout;
};

inline std::vector<GoodFile> GoodFiles() {
    auto with = [](const char* name, auto change) {
        BmpSpec s;
        change(s);
        return GoodFile{name, s};
    };
    return {
        with("24 bit, 40-byte header", [](BmpSpec&) {}),
        with("108-byte header", [](BmpSpec& s) { s.infoSize = 108; }),
        with("124-byte header", [](BmpSpec& s) { s.infoSize = 124; s.width = 3; s.height = 4; }),
        with("top-down", [](BmpSpec& s) { s.height = -4; }),
        with("gap before the pixels", [](BmpSpec& s) { s.gap = 37; }),
        with("1 x 1", [](BmpSpec& s) { s.width = 1; s.height = 1; }),
        with("8 bit, 256 colours", [](BmpSpec& s) { s.bitCount = 8; }),
        with("8 bit, 16 colours", [](BmpSpec& s) { s.bitCount = 8; s.colorsUsed = 16; s.tableEntries = 16; }),
        with("8 bit, 2 colours, top-down, 124-byte header", [](BmpSpec& s) {
            s.bitCount = 8; s.colorsUsed = 2; s.tableEntries = 2; s.height = -3; s.infoSize = 124; s.width = 7;
        }),
        with("8 bit, gap after a short table", [](BmpSpec& s) {
            s.bitCount = 8; s.colorsUsed = 5; s.tableEntries = 5; s.gap = 10;
        }),
        with("file size field smaller than the file", [](BmpSpec& s) { s.fileSizeField = 0; }),
    };
}

}  // namespace samples
