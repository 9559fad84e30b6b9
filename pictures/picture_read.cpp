// The parts every picture reader shares: the byte source's helpers, putting rows into place,
// and telling a file's kind.
#include "pictures/picture_read.h"

#include <algorithm>
#include <cstring>

#include "pictures/bmp_read.h"
#include "pictures/jpeg_read.h"
#include "pictures/png_read.h"
#include "platform/raster/blit.h"

namespace pictures {

bool ByteSource::readExactly(void* buffer, size_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        size_t got = 0;
        if (!read(out, count, got) || got == 0) return false;
        out += got;
        count -= got;
    }
    return true;
}

bool ByteSource::skip(uint64_t count) {
    uint8_t scratch[4096];
    while (count > 0) {
        const size_t step = static_cast<size_t>(std::min<uint64_t>(count, sizeof scratch));
        if (!readExactly(scratch, step)) return false;
        count -= step;
    }
    return true;
}

void Decoder::reduceFor(int32_t, int32_t, Header&) {}

RowPlacer::RowPlacer(const PixelView& target, const Header& stored) : target_(target), stored_(stored) {
    const int32_t width = stored.uprightWidth();
    const int32_t height = stored.uprightHeight();
    identity_ = stored.orientation == 1 && target.width == width && target.height == height;
    columns_.resize(static_cast<size_t>(target.width));
    rows_.resize(static_cast<size_t>(target.height));
    for (int32_t x = 0; x < target.width; ++x) columns_[x] = static_cast<int32_t>(raster::SampleOf(x, width, target.width));
    for (int32_t y = 0; y < target.height; ++y) rows_[y] = static_cast<int32_t>(raster::SampleOf(y, height, target.height));
}

bool RowPlacer::wants(int32_t y) const {
    if (y < 0 || y >= stored_.height) return false;
    if (identity_) return true;
    const int o = stored_.orientation;
    // The upright row (or, turned, the upright column) this stored row becomes.
    int32_t upright = y;
    if (o == 3 || o == 4 || o == 6 || o == 7) upright = stored_.height - 1 - y;
    const std::vector<int32_t>& samples = stored_.transposed() ? columns_ : rows_;
    return std::binary_search(samples.begin(), samples.end(), upright);
}

void RowPlacer::put(int32_t y, const uint8_t* bgr) {
    if (y < 0 || y >= stored_.height) return;
    if (identity_) {
        std::memcpy(RowPointer(target_, y), bgr, static_cast<size_t>(stored_.width) * 3);
        return;
    }
    const int o = stored_.orientation;
    const int32_t lastX = stored_.width - 1;
    const bool flipRows = o == 3 || o == 4 || o == 6 || o == 7;
    const int32_t upright = flipRows ? stored_.height - 1 - y : y;
    if (!stored_.transposed()) {
        // The stored row is an upright row, read forwards or (mirrored) backwards.
        const bool mirrored = o == 2 || o == 3;
        const auto [first, last] = std::equal_range(rows_.begin(), rows_.end(), upright);
        for (auto row = first; row != last; ++row) {
            uint8_t* out = RowPointer(target_, static_cast<int32_t>(row - rows_.begin()));
            for (int32_t x = 0; x < target_.width; ++x) {
                const int32_t from = mirrored ? lastX - columns_[x] : columns_[x];
                std::memcpy(out + 3 * x, bgr + 3 * from, 3);
            }
        }
        return;
    }
    // Turned: the stored row is an upright column, read downwards (5, 6) or upwards (7, 8).
    const bool upwards = o == 7 || o == 8;
    const auto [first, last] = std::equal_range(columns_.begin(), columns_.end(), upright);
    for (auto column = first; column != last; ++column) {
        const int32_t x = static_cast<int32_t>(column - columns_.begin());
        for (int32_t ty = 0; ty < target_.height; ++ty) {
            const int32_t from = upwards ? lastX - rows_[ty] : rows_[ty];
            std::memcpy(RowPointer(target_, ty) + 3 * x, bgr + 3 * from, 3);
        }
    }
}

Format Sniff(const uint8_t* head, size_t n) {
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (n >= sizeof kPng && std::memcmp(head, kPng, sizeof kPng) == 0) return Format::Png;
    if (n >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return Format::Jpeg;
    return Format::Bmp;
}

std::unique_ptr<Decoder> MakeDecoder(Format format, ByteSource& source) {
    switch (format) {
        case Format::Png: return png::MakeDecoder(source);
        case Format::Jpeg: return jpeg::MakeDecoder(source);
        case Format::Bmp: break;
    }
    return bmp::MakeDecoder(source);
}

}  // namespace pictures
