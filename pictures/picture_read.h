// Reading picture files of every kind the program takes (BMP, PNG, JPEG) into 24-bit pixels.
//
// A reader works in two steps so that nothing big is allocated for a file it refuses: first
// the headers, which give the size (checked against kMaxSide and kMaxPixels) and how the
// picture is turned; then, once the caller has made room, the rows, handed one at a time to a
// RowPlacer that puts them where they belong in the caller's pixels: upright, and for a
// preview sampled down to the preview's size.
//
// The kind is found from the file's first bytes, never from its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/pixels.h"

namespace pictures {

constexpr int32_t kMaxSide = 16384;
// An 8K screen's worth (7680 x 4320, 100 MB as 24-bit pixels): far more than a child's
// picture needs, and little enough that opening one cannot exhaust the memory.
constexpr int64_t kMaxPixels = int64_t{7680} * 4320;

// True when a picture of this size may be read.
inline bool SizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

// The bytes of the file being read.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `count` bytes; `got` says how many arrived (0 at the end). False on a read error.
    virtual bool read(uint8_t* buffer, size_t count, size_t& got) = 0;
    // The file's length in bytes; -1 when unknown.
    virtual int64_t size() = 0;

    // Exactly `count` bytes, or false.
    bool readExactly(void* buffer, size_t count);
    // Reads and drops `count` bytes.
    bool skip(uint64_t count);
};

// How the stored rows stand, as the EXIF orientation tag numbers it (1 upright, 2 mirrored,
// 3 upside down, 4 mirrored upside down, 5 to 8 the same four turned a quarter: 6 must be
// turned a quarter clockwise to stand upright, 8 a quarter anticlockwise).
struct Header {
    int32_t width = 0;   // of the rows as they are stored (and sent to the placer)
    int32_t height = 0;
    int orientation = 1;

    bool transposed() const { return orientation >= 5 && orientation <= 8; }
    int32_t uprightWidth() const { return transposed() ? height : width; }
    int32_t uprightHeight() const { return transposed() ? width : height; }
};

// Puts stored rows into a 24-bit target: the upright picture stretched over the whole target
// (the same sampling as a stretched copy), so a target of the upright size gets every pixel
// exactly and a smaller one a preview. Rows may come in any order; a row no target pixel
// needs is dropped.
class RowPlacer {
public:
    RowPlacer(const PixelView& target, const Header& stored);

    // Stored row y (0 = the first row at the top as stored), `width` pixels blue, green, red.
    void put(int32_t y, const uint8_t* bgr);
    // Whether put(y) would change anything: a reader may skip converting rows no one needs.
    bool wants(int32_t y) const;
    // The target itself when stored rows map one to one onto its rows (same size, upright):
    // a reader may then write rows straight into it. Otherwise null.
    const PixelView* direct() const { return identity_ ? &target_ : nullptr; }

private:
    PixelView target_;
    Header stored_;
    bool identity_ = false;
    std::vector<int32_t> columns_;  // target column -> upright column
    std::vector<int32_t> rows_;     // target row -> upright row
};

// One file's reader.
class Decoder {
public:
    virtual ~Decoder() = default;
    // Reads the headers. False refuses the file; nothing big has been taken.
    virtual bool readHeader(Header& header) = 0;
    // Called between readHeader and decode when the rows only feed an upright preview of
    // width x height: a reader that can make smaller rows cheaply does so and updates `header`.
    virtual void reduceFor(int32_t width, int32_t height, Header& header);
    // Sends every stored row of `header`'s size to the placer. False: the file is spoiled.
    virtual bool decode(RowPlacer& placer) = 0;
};

enum class Format { Bmp, Png, Jpeg };

// Bytes a caller should look at to tell the kind.
constexpr size_t kSniffBytes = 8;
// The kind of file that starts with `head` (n may be short for a tiny file); anything not PNG
// or JPEG is read as BMP, whose own checks then decide.
Format Sniff(const uint8_t* head, size_t n);

// A reader for a file of that kind, reading from `source` positioned at the file's start.
std::unique_ptr<Decoder> MakeDecoder(Format format, ByteSource& source);

}  // namespace pictures
