// Finding the orientation tag in an EXIF block. The block comes straight from the file, so
// every offset in it is checked against the block's size before it is followed.
#include "pictures/exif.h"

#include <cstring>

namespace pictures {
namespace {

constexpr uint8_t kSignature[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr size_t kEntryBytes = 12;

// The TIFF structure after the signature, in the byte order its first two bytes name.
class Tiff {
public:
    Tiff(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    // False unless the block starts with a TIFF header of either byte order.
    bool start() {
        if (size_ < 8) return false;
        if (bytes_[0] == 'I' && bytes_[1] == 'I') {
            bigEndian_ = false;
        } else if (bytes_[0] == 'M' && bytes_[1] == 'M') {
            bigEndian_ = true;
        } else {
            return false;
        }
        return u16(2) == 42;
    }
    bool fits(uint64_t offset, uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
    uint16_t u16(size_t at) const {
        const uint8_t* p = bytes_ + at;
        return static_cast<uint16_t>(bigEndian_ ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
    }
    uint32_t u32(size_t at) const {
        return bigEndian_ ? uint32_t{u16(at)} << 16 | u16(at + 2) : uint32_t{u16(at + 2)} << 16 | u16(at);
    }

private:
    const uint8_t* bytes_;
    size_t size_;
    bool bigEndian_ = false;
};

}  // namespace

int ExifOrientation(const uint8_t* payload, size_t size) {
    if (size < sizeof kSignature || std::memcmp(payload, kSignature, sizeof kSignature) != 0) return 0;
    Tiff tiff(payload + sizeof kSignature, size - sizeof kSignature);
    if (!tiff.start()) return 1;
    const uint32_t directory = tiff.u32(4);
    if (!tiff.fits(directory, 2)) return 1;
    const uint16_t count = tiff.u16(directory);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t entry = uint64_t{directory} + 2 + uint64_t{i} * kEntryBytes;
        if (!tiff.fits(entry, kEntryBytes)) return 1;  // a directory cut short
        if (tiff.u16(entry) != kOrientationTag) continue;
        // A SHORT keeps its value in the first two bytes of the entry's value field.
        if (tiff.u16(entry + 2) != kTypeShort || tiff.u32(entry + 4) < 1) return 1;
        const uint16_t value = tiff.u16(entry + 8);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

}  // namespace pictures
