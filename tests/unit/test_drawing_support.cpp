#include "tests/unit/test_drawing_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace drawtest {

Canvas::Canvas(int32_t width, int32_t height, int32_t bitCount, uint8_t fill) {
    view_.width = width;
    view_.height = height;
    view_.bitCount = bitCount;
    view_.stride = StrideFor(width, bitCount);
    bytes_.assign(static_cast<size_t>(view_.stride) * height, fill);
    view_.bits = bytes_.data();
    if (bitCount == 8) {
        table_.resize(1024);
        for (int i = 0; i < 256; ++i) {
            table_[4 * i] = table_[4 * i + 1] = table_[4 * i + 2] = static_cast<uint8_t>(i);
            table_[4 * i + 3] = 0;
        }
        view_.colorTable = table_.data();
    }
}

Canvas::Canvas(const Canvas& other) : bytes_(other.bytes_), table_(other.table_), view_(other.view_) {
    view_.bits = bytes_.data();
    view_.colorTable = table_.empty() ? nullptr : table_.data();
}

uint32_t Canvas::at(int32_t x, int32_t y) const { return raster::PixelAt(view_, x, y); }

void Canvas::set(int32_t x, int32_t y, uint32_t value) {
    uint8_t* row = RowPointer(view_, y);
    if (view_.bitCount == 8) {
        row[x] = static_cast<uint8_t>(value);
        return;
    }
    row[3 * x] = static_cast<uint8_t>(value);
    row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
    row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
}

void Canvas::paint(const raster::SpanList& spans, uint32_t value) {
    raster::PaintSpans(view_, spans, InkOf(*this, value));
}

bool Canvas::operator==(const Canvas& other) const { return bytes_ == other.bytes_; }

raster::Ink InkOf(const Canvas& canvas, uint32_t rgb) {
    if (canvas.view().bitCount == 8) {
        raster::Ink ink;
        ink.index = static_cast<uint8_t>(rgb);
        return ink;
    }
    return raster::InkFor(canvas.view(), uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
}

PixelSet PixelsOf(const raster::SpanList& spans) {
    PixelSet set;
    for (const raster::Span& s : spans) {
        for (int32_t x = s.x0; x < s.x1; ++x) {
            const bool added = set.emplace(x, s.y).second;
            if (!added) {
                ADD_FAILURE() << "pixel (" << x << ", " << s.y << ") comes twice";
                return set;
            }
        }
    }
    return set;
}

PixelSet CropTo(const PixelSet& set, const Rect& rect) {
    PixelSet out;
    for (const auto& [x, y] : set)
        if (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom) out.emplace(x, y);
    return out;
}

bool IsEightConnected(const PixelSet& set) {
    if (set.empty()) return true;
    PixelSet seen{*set.begin()};
    std::vector<std::pair<int32_t, int32_t>> todo{*set.begin()};
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const std::pair<int32_t, int32_t> n{x + dx, y + dy};
                if (set.count(n) && seen.insert(n).second) todo.push_back(n);
            }
    }
    return seen.size() == set.size();
}

std::string Diff(const PixelSet& actual, const PixelSet& expected, const Rect& rect) {
    std::ostringstream out;
    out << "\n('#' both, '+' drawn only, '-' expected only), columns from " << rect.left << ", rows from "
        << rect.top << "\n";
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        for (int32_t x = rect.left; x < rect.right; ++x) {
            const bool a = actual.count({x, y}) != 0, e = expected.count({x, y}) != 0;
            out << (a && e ? '#' : a ? '+' : e ? '-' : '.');
        }
        out << '\n';
    }
    return out.str();
}

namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t GetLe(const std::vector<uint8_t>& in, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(in[at + i]) << (8 * i);
    return value;
}

// A 24-bit BMP file of the view (which has the file's row layout already).
std::vector<uint8_t> EncodeBmp(const PixelView& view) {
    const uint32_t imageSize = static_cast<uint32_t>(view.stride) * view.height;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, 54 + imageSize, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, view.width, 4);
    PutLe(out, view.height, 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);
    PutLe(out, imageSize, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    out.insert(out.end(), view.bits, view.bits + imageSize);
    return out;
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

std::string CompareWithGolden(const Canvas& canvas, const std::string& name) {
    const std::filesystem::path golden = std::filesystem::path(PICTORIA_GOLDEN_DIR) / (name + ".bmp");
    const std::vector<uint8_t> actual = EncodeBmp(canvas.view());
    const char* update = std::getenv("UPDATE_GOLDEN");
    if (update != nullptr && std::strcmp(update, "1") == 0) {
        WriteFile(golden, actual);
        return {};
    }
    std::ifstream file(golden, std::ios::binary);
    if (!file) return "no golden image " + golden.string() + " (create it with UPDATE_GOLDEN=1 and review it)";
    const std::vector<uint8_t> expected((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (expected == actual) return {};

    const std::filesystem::path outDir(PICTORIA_TEST_OUTPUT_DIR);
    WriteFile(outDir / (name + ".actual.bmp"), actual);
    std::ostringstream message;
    message << name << " differs from " << golden.string() << "; actual written to "
            << (outDir / (name + ".actual.bmp")).string();
    if (expected.size() != actual.size() || GetLe(expected, 18, 4) != uint32_t(canvas.width()) ||
        GetLe(expected, 22, 4) != uint32_t(canvas.height())) {
        message << " (sizes differ)";
        return message.str();
    }
    // Differences in red on a dimmed copy of the expected picture.
    std::vector<uint8_t> diff(expected);
    size_t differing = 0;
    for (int32_t row = 0; row < canvas.height(); ++row) {
        for (int32_t x = 0; x < canvas.width(); ++x) {
            const size_t at = 54 + static_cast<size_t>(row) * canvas.view().stride + 3 * x;
            const bool same = std::memcmp(&expected[at], &actual[at], 3) == 0;
            differing += same ? 0 : 1;
            for (int k = 0; k < 3; ++k) diff[at + k] = same ? static_cast<uint8_t>(expected[at + k] / 4) : (k == 2 ? 255 : 0);
        }
    }
    WriteFile(outDir / (name + ".diff.bmp"), diff);
    message << ", diff in " << (outDir / (name + ".diff.bmp")).string() << " (" << differing << " pixels)";
    return message.str();
}

}  // namespace drawtest
