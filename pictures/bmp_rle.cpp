// Run-length data (8-bit and 4-bit): the rows it paints, bottom row first, sent to the placer
// as each one is done. What the data leaves out (the end of a row, rows jumped over, everything
// after the end mark) stays white.
//
// A run, a copied stretch or a jump past the picture's edge means the data is damaged, and so
// does data that stops before the top row; data that stops on the top row only lacks its end
// mark, which many writers leave out.
#include <algorithm>
#include <cstring>
#include <vector>

#include "pictures/bmp_read.h"

namespace bmp {
namespace {

// The data, read a block at a time, up to its length.
class DataBytes {
public:
    DataBytes(pictures::ByteSource& source, uint64_t length) : source_(source), left_(length) {}

    // The next byte; false at the end of the data.
    bool next(uint8_t& byte) {
        if (at_ == got_ && !refill()) return false;
        byte = buffer_[at_++];
        return true;
    }

private:
    bool refill() {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(left_, sizeof buffer_));
        size_t got = 0;
        if (want == 0 || !source_.read(buffer_, want, got) || got == 0) return false;
        left_ -= got;
        at_ = 0;
        got_ = got;
        return true;
    }

    pictures::ByteSource& source_;
    uint64_t left_;
    uint8_t buffer_[4096];
    size_t at_ = 0;
    size_t got_ = 0;
};

class RlePainter {
public:
    RlePainter(const Layout& layout, const Palette& palette, pictures::ByteSource& source, pictures::RowPlacer& placer)
        : layout_(layout), palette_(palette), bytes_(source, layout.pixelBytes), placer_(placer),
          row_(static_cast<size_t>(layout.width) * 3, 0xFF) {}

    bool paint() {
        uint8_t count = 0, code = 0;
        while (done_ < layout_.height) {
            if (!bytes_.next(count) || !bytes_.next(code)) return endOfData();
            if (count > 0) {
                if (!repeat(count, code)) return false;
                continue;
            }
            switch (code) {
                case 0: nextRow(); break;  // end of the row
                case 1: return finish();   // end of the picture
                case 2:
                    if (!jump()) return false;
                    break;
                default:
                    if (!copy(code)) return false;
            }
        }
        return true;
    }

private:
    bool fourBits() const { return layout_.coding == Coding::Rle4; }

    void paintPixel(int index) { std::memcpy(row_.data() + 3 * x_++, palette_.bgr + 3 * index, 3); }

    // `count` pixels of one index, or at 4 bits of the two in `code` in turn.
    bool repeat(int count, uint8_t code) {
        if (count > layout_.width - x_) return false;
        for (int i = 0; i < count; ++i) paintPixel(fourBits() ? (i % 2 == 0 ? code >> 4 : code & 15) : code);
        return true;
    }

    // `count` pixels given one by one, padded to an even number of bytes.
    bool copy(int count) {
        const int size = fourBits() ? (count + 1) / 2 : count;
        uint8_t data[256];
        for (int i = 0; i < size; ++i) {
            if (!bytes_.next(data[i])) return endOfData();
        }
        uint8_t pad = 0;
        if (size % 2 == 1) bytes_.next(pad);  // a missing pad at the very end shows at the next read
        if (count > layout_.width - x_) return false;
        for (int i = 0; i < count; ++i) paintPixel(fourBits() ? (i % 2 == 0 ? data[i / 2] >> 4 : data[i / 2] & 15) : data[i]);
        return true;
    }

    // Moves right and up, leaving what it passes white.
    bool jump() {
        uint8_t right = 0, up = 0;
        if (!bytes_.next(right) || !bytes_.next(up)) return endOfData();
        if (right > layout_.width - x_ || up >= layout_.height - done_) return false;
        const int32_t x = x_ + right;
        for (int i = 0; i < up; ++i) nextRow();
        x_ = x;
        return true;
    }

    // Hands the row over and starts the next one, white.
    void nextRow() {
        const int32_t y = layout_.height - 1 - done_;
        if (placer_.wants(y)) placer_.put(y, row_.data());
        if (x_ > 0) std::fill(row_.begin(), row_.end(), 0xFF);
        x_ = 0;
        ++done_;
    }

    bool finish() {
        while (done_ < layout_.height) nextRow();
        return true;
    }

    bool endOfData() { return done_ >= layout_.height - 1 && finish(); }

    const Layout& layout_;
    const Palette& palette_;
    DataBytes bytes_;
    pictures::RowPlacer& placer_;
    std::vector<uint8_t> row_;  // the row being painted
    int32_t x_ = 0;
    int32_t done_ = 0;  // rows handed over, from the bottom
};

}  // namespace

bool DecodeRle(const Layout& layout, const Palette& palette, pictures::ByteSource& source, pictures::RowPlacer& placer) {
    return RlePainter(layout, palette, source, placer).paint();
}

}  // namespace bmp
