// Reading PNG files through libpng: every kind of PNG becomes 8-bit blue, green, red rows, with
// the values as stored (no gamma applied) and transparency laid on white.
//
// libpng reports an error by a longjmp back to the last setjmp. Every function here that calls
// into libpng sets its own jump point and keeps nothing with a destructor in its frame (the
// buffers belong to the decoder and are made before), so a jump skips no clean-up; the png
// structs themselves are freed by the decoder's destructor, whichever way reading ended.
#include "pictures/png_read.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

namespace png {
namespace {

// Ancillary chunks are skipped unread; these bound what a hostile file could make libpng hold
// all the same (a decompression bomb in a text or profile chunk).
constexpr png_alloc_size_t kChunkMallocMax = png_alloc_size_t{4} << 20;
constexpr png_uint_32 kChunkCacheMax = 64;
// libpng asks for a few bytes at a time (chunk headers, checksums): read the file in blocks.
constexpr size_t kInputBlock = 64 * 1024;

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
// A damaged ancillary chunk is not worth refusing a picture for, nor worth a line on stderr.
void OnWarning(png_structp, png_const_charp) {}

class Input {
public:
    explicit Input(pictures::ByteSource& source) : source_(source), block_(kInputBlock) {}

    bool read(uint8_t* out, size_t count) {
        while (count > 0) {
            if (at_ == end_) {
                if (count >= block_.size()) return source_.readExactly(out, count);
                size_t got = 0;
                if (!source_.read(block_.data(), block_.size(), got) || got == 0) return false;
                at_ = 0;
                end_ = got;
            }
            const size_t step = std::min(count, end_ - at_);
            std::memcpy(out, block_.data() + at_, step);
            at_ += step;
            out += step;
            count -= step;
        }
        return true;
    }

private:
    pictures::ByteSource& source_;
    std::vector<uint8_t> block_;
    size_t at_ = 0;
    size_t end_ = 0;
};

void ReadBytes(png_structp png, png_bytep data, size_t length) {
    if (!static_cast<Input*>(png_get_io_ptr(png))->read(data, length)) png_error(png, "the file ends early");
}

// The rows as libpng hands them over once converted.
struct Shape {
    int32_t width = 0;
    int32_t height = 0;
    int channels = 0;  // 3 (blue, green, red) or 4 (and alpha)
    int passes = 0;    // 7 for an interlaced file

    size_t rowBytes() const { return static_cast<size_t>(width) * static_cast<size_t>(channels); }
};

// Reads the chunks before the pixels and sets every conversion to 8-bit BGR(A). False: refused.
bool ReadInfo(png_structp png, png_infop info, Shape& shape) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!pictures::SizeAllowed(width, height)) return false;
    png_set_expand(png);  // palette to colours, grey under 8 bits to 8, a tRNS chunk to alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    shape.passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    shape.width = static_cast<int32_t>(width);
    shape.height = static_cast<int32_t>(height);
    shape.channels = png_get_channels(png, info);
    return (shape.channels == 3 || shape.channels == 4) && png_get_rowbytes(png, info) == shape.rowBytes();
}

// A row as the placer takes it: alpha laid on white, rounded to the nearest value.
void ToBgr(const Shape& shape, const uint8_t* row, uint8_t* bgr) {
    if (shape.channels == 3) {
        std::memcpy(bgr, row, shape.rowBytes());
        return;
    }
    for (int32_t x = 0; x < shape.width; ++x, row += 4, bgr += 3) {
        const unsigned alpha = row[3];
        const unsigned white = 255 * (255 - alpha) + 127;
        for (int i = 0; i < 3; ++i) bgr[i] = static_cast<uint8_t>((row[i] * alpha + white) / 255);
    }
}

// Where ReadRows works: `row` and `bgr` hold one row each, `whole` every row of an interlaced
// file (whose seven passes each touch every part of the picture).
struct Buffers {
    uint8_t* row;
    uint8_t* bgr;
    uint8_t* whole;
};

// Sends every row to the placer. False: the file is spoiled.
bool ReadRows(png_structp png, const Shape& shape, const Buffers& buffers, pictures::RowPlacer& placer) {
    if (setjmp(png_jmpbuf(png))) return false;
    if (shape.passes > 1) {
        for (int pass = 0; pass < shape.passes; ++pass) {
            for (int32_t y = 0; y < shape.height; ++y) png_read_row(png, buffers.whole + y * shape.rowBytes(), nullptr);
        }
        for (int32_t y = 0; y < shape.height; ++y) {
            if (!placer.wants(y)) continue;
            ToBgr(shape, buffers.whole + y * shape.rowBytes(), buffers.bgr);
            placer.put(y, buffers.bgr);
        }
        return true;
    }
    const PixelView* direct = shape.channels == 3 ? placer.direct() : nullptr;
    for (int32_t y = 0; y < shape.height; ++y) {
        if (direct != nullptr) {
            png_read_row(png, RowPointer(*direct, y), nullptr);
            continue;
        }
        // A row no one needs must still be read, for the rows after it.
        png_read_row(png, buffers.row, nullptr);
        if (!placer.wants(y)) continue;
        ToBgr(shape, buffers.row, buffers.bgr);
        placer.put(y, buffers.bgr);
    }
    return true;
}

class PngDecoder final : public pictures::Decoder {
public:
    explicit PngDecoder(pictures::ByteSource& source) : input_(source) {}
    ~PngDecoder() override { png_destroy_read_struct(&png_, &info_, nullptr); }
    PngDecoder(const PngDecoder&) = delete;
    PngDecoder& operator=(const PngDecoder&) = delete;

    bool readHeader(pictures::Header& header) override {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
        if (png_ == nullptr) return false;
        info_ = png_create_info_struct(png_);
        if (info_ == nullptr) return false;
        png_set_read_fn(png_, &input_, ReadBytes);
        // The side limit is checked by libpng in the header chunk itself, before anything else.
        png_set_user_limits(png_, pictures::kMaxSide, pictures::kMaxSide);
        png_set_chunk_malloc_max(png_, kChunkMallocMax);
        png_set_chunk_cache_max(png_, kChunkCacheMax);
        // Only the palette and its transparency matter here: colour profiles, text and the like
        // are passed over without being kept.
        png_set_keep_unknown_chunks(png_, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
        if (!ReadInfo(png_, info_, shape_)) {
            shape_ = Shape{};
            return false;
        }
        header = pictures::Header{shape_.width, shape_.height, 1};
        return true;
    }

    bool decode(pictures::RowPlacer& placer) override {
        if (shape_.passes == 0) return false;
        row_.resize(shape_.rowBytes());
        bgr_.resize(static_cast<size_t>(shape_.width) * 3);
        if (shape_.passes > 1) whole_.resize(shape_.rowBytes() * static_cast<size_t>(shape_.height));
        return ReadRows(png_, shape_, Buffers{row_.data(), bgr_.data(), whole_.data()}, placer);
    }

private:
    Input input_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    Shape shape_;
    std::vector<uint8_t> row_;
    std::vector<uint8_t> bgr_;
    std::vector<uint8_t> whole_;
};

}  // namespace

std::unique_ptr<pictures::Decoder> MakeDecoder(pictures::ByteSource& source) {
    return std::make_unique<PngDecoder>(source);
}

}  // namespace png
