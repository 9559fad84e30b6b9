#include "tests/unit/test_drawing_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace drawtest {

Canvas::Canvas(int32_t width, int32_t height, int32_t bitCount, uint8_t fill)
    : w(width), h(height), bits(bitCount), bytes(size_t(StrideFor(width, bitCount)) * height, fill) {
    for (int i = 0; i < (bitCount == 8 ? 1024 : 0); ++i) table.push_back(i % 4 == 3 ? 0 : uint8_t(i / 4));
}

PixelView Canvas::view() const {
    return PixelView{bytes.data(), w, h, StrideFor(w, bits), bits, table.empty() ? nullptr : table.data()};
}

void Canvas::set(int32_t x, int32_t y, uint32_t value) {  // blue, green, red bytes, or the index
    uint8_t* p = RowPointer(view(), y) + x * (bits / 8);
    for (int i = 0; i < bits / 8; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

void Canvas::paint(const raster::SpanList& spans, uint32_t value) {
    raster::PaintSpans(view(), spans, InkOf(*this, value));
}

raster::Ink InkOf(const Canvas& canvas, uint32_t rgb) {
    raster::Ink ink;
    ink.index = static_cast<uint8_t>(rgb);
    return canvas.bits == 8 ? ink : raster::InkFor(canvas.view(), uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
}

PixelSet PixelsOf(const raster::SpanList& spans) {
    PixelSet set;
    for (const raster::Span& s : spans)
        for (int32_t x = s.x0; x < s.x1; ++x)
            if (!set.emplace(x, s.y).second) ADD_FAILURE() << "pixel (" << x << ", " << s.y << ") comes twice";
    return set;
}

PixelSet CropTo(const PixelSet& set, const Rect& rect) {
    PixelSet out;
    for (const auto& [x, y] : set)
        if (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom) out.emplace(x, y);
    return out;
}

Rect Bounds(const PixelSet& set) {
    Rect e{};
    for (const auto& [x, y] : set)
        e = e.isEmpty() ? Rect{x, y, x + 1, y + 1}
                        : Rect{std::min(e.left, x), std::min(e.top, y), std::max(e.right, x + 1), std::max(e.bottom, y + 1)};
    return e;
}

namespace {

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace

std::string CompareWithGolden(const Canvas& canvas, const std::string& name) {
    // A 24-bit BMP file of the canvas, which has the file's row layout already.
    const uint32_t size = uint32_t(canvas.bytes.size());
    const std::pair<uint32_t, int> fields[] = {{54 + size, 4}, {0, 4}, {54, 4},   {40, 4},   {uint32_t(canvas.w), 4},
                                               {uint32_t(canvas.h), 4}, {1, 2}, {24, 2}, {0, 4}, {size, 4},
                                               {2835, 4}, {2835, 4}, {0, 4}, {0, 4}};
    std::vector<uint8_t> actual{'B', 'M'};
    for (const auto& [value, bytes] : fields)
        for (int i = 0; i < bytes; ++i) actual.push_back(static_cast<uint8_t>(value >> (8 * i)));
    actual.insert(actual.end(), canvas.bytes.begin(), canvas.bytes.end());

    const std::filesystem::path golden = std::filesystem::path(PICTORIA_GOLDEN_DIR) / (name + ".bmp");
    const char* update = std::getenv("UPDATE_GOLDEN");
    if (update != nullptr && std::strcmp(update, "1") == 0) {
        WriteFile(golden, actual);
        return {};
    }
    std::ifstream file(golden, std::ios::binary);
    if (!file) return "no golden image " + golden.string() + " (create it with UPDATE_GOLDEN=1 and review it)";
    if (std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {}) == actual) return {};
    const std::filesystem::path written = std::filesystem::path(PICTORIA_TEST_OUTPUT_DIR) / (name + ".actual.bmp");
    WriteFile(written, actual);
    return name + " differs from " + golden.string() + "; actual written to " + written.string();
}

}  // namespace drawtest
