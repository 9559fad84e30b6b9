// Writing PNG files through libpng. libpng reports errors by jumping back to the setjmp in
// WriteWith: no frame between it and libpng holds anything with a destructor.
#include "pictures/png_write.h"

#include <png.h>

#include <array>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

namespace png {
namespace {

constexpr int kMostPaletteColours = 256;

// The colours of a picture when there are few: an open-addressed table of packed BGR values.
struct Colours {
    static constexpr uint32_t kSlots = 1024;  // a power of two, well above 256
    static constexpr uint32_t kEmpty = 0xFFFFFFFF;
    std::array<uint32_t, kSlots> keys{};
    std::array<uint8_t, kSlots> index{};
    std::array<png_color, kMostPaletteColours> palette{};
    int count = 0;

    Colours() { keys.fill(kEmpty); }
    static uint32_t Key(const uint8_t* bgr) { return uint32_t{bgr[0]} | uint32_t{bgr[1]} << 8 | uint32_t{bgr[2]} << 16; }
    static uint32_t Slot(uint32_t key) { return (key * 2654435761u) >> 22; }

    // The colour's palette index, added when new; -1 once there would be too many.
    int find(const uint8_t* bgr) {
        const uint32_t key = Key(bgr);
        for (uint32_t slot = Slot(key);; slot = (slot + 1) & (kSlots - 1)) {
            if (keys[slot] == key) return index[slot];
            if (keys[slot] != kEmpty) continue;
            if (count == kMostPaletteColours) return -1;
            keys[slot] = key;
            index[slot] = static_cast<uint8_t>(count);
            palette[count] = png_color{bgr[2], bgr[1], bgr[0]};
            return count++;
        }
    }
};

// True when the whole picture fits a palette; `colours` then holds it.
bool CollectColours(const PixelView& view, Colours& colours) {
    for (int32_t y = 0; y < view.height; ++y) {
        const uint8_t* row = RowPointer(view, y);
        for (int32_t x = 0; x < view.width; ++x) {
            if (colours.find(row + 3 * x) < 0) return false;
        }
    }
    return true;
}

int PaletteDepth(int count) { return count <= 2 ? 1 : count <= 4 ? 2 : count <= 16 ? 4 : 8; }

// One row as palette indices packed at `depth` bits, first pixel in the high bits.
void PackRow(const uint8_t* bgr, int32_t width, int depth, Colours& colours, uint8_t* out) {
    const int perByte = 8 / depth;
    std::memset(out, 0, static_cast<size_t>((width + perByte - 1) / perByte));
    for (int32_t x = 0; x < width; ++x) {
        const int shift = 8 - depth * (x % perByte + 1);
        out[x / perByte] |= static_cast<uint8_t>(colours.find(bgr + 3 * x) << shift);
    }
}

void OnError(png_structp png, png_const_charp) { longjmp(png_jmpbuf(png), 1); }
void OnWarning(png_structp, png_const_charp) {}
void OnWrite(png_structp png, png_bytep data, png_size_t length) {
    if (!static_cast<ByteSink*>(png_get_io_ptr(png))->write(data, length)) png_error(png, "write");
}
void OnFlush(png_structp) {}

bool WriteWith(png_structp png, png_infop info, const PixelView& view, Colours* colours, uint8_t* packed,
               ByteSink& sink) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &sink, OnWrite, OnFlush);
    png_set_compression_level(png, 9);
    const auto width = static_cast<png_uint_32>(view.width);
    const auto height = static_cast<png_uint_32>(view.height);
    if (colours != nullptr) {
        const int depth = PaletteDepth(colours->count);
        png_set_IHDR(png, info, width, height, depth, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_PLTE(png, info, colours->palette.data(), colours->count);
        // Filters rarely help indexed pictures and cost time.
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_write_info(png, info);
        for (int32_t y = 0; y < view.height; ++y) {
            PackRow(RowPointer(view, y), view.width, depth, *colours, packed);
            png_write_row(png, packed);
        }
    } else {
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_set_bgr(png);
        for (int32_t y = 0; y < view.height; ++y) png_write_row(png, RowPointer(view, y));
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

bool Write(const PixelView& view, ByteSink& sink) {
    if (!view.isValid() || view.bitCount != 24) return false;
    auto colours = std::make_unique<Colours>();
    const bool indexed = CollectColours(view, *colours);
    std::vector<uint8_t> packed(static_cast<size_t>(view.width));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool written =
        info != nullptr && WriteWith(png, info, view, indexed ? colours.get() : nullptr, packed.data(), sink);
    png_destroy_write_struct(&png, &info);
    return written;
}

}  // namespace png
