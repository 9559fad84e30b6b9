// Reading a picture file (BMP, PNG or JPEG) from the current file into a new 24-bit bitmap,
// whole or as a preview of a given size.
//
// The file's headers are read and checked (pictures/) before anything is allocated; only then
// is the bitmap made and the rows put into it.
#include <algorithm>
#include <cstring>

#include "pictures/picture_read.h"
#include "platform/pixels.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace {

// The current file, with its first bytes read ahead to tell its kind and handed out again.
class CurrentFile final : public pictures::ByteSource {
public:
    pictures::Format sniff() {
        size_t got = 0;
        if (tb_ReadFile(head_, sizeof head_, &got) != 0) got = 0;
        headSize_ = got;
        return pictures::Sniff(head_, headSize_);
    }
    bool read(uint8_t* buffer, size_t count, size_t& got) override {
        if (headUsed_ < headSize_) {
            got = std::min(count, headSize_ - headUsed_);
            std::memcpy(buffer, head_ + headUsed_, got);
            headUsed_ += got;
            return true;
        }
        return tb_ReadFile(buffer, count, &got) == 0;
    }
    int64_t size() override { return tb_GetFileSize(); }

private:
    uint8_t head_[pictures::kSniffBytes] = {};
    size_t headSize_ = 0;
    size_t headUsed_ = 0;
};

// A fresh width x height bitmap filled from the file by `decoder`; -1, with nothing left
// behind, when it cannot be made or the file turns out spoiled.
int DecodeInto(pictures::Decoder& decoder, const pictures::Header& header, int32_t width, int32_t height) {
    Rect size{0, 0, width, height};
    const int bitmap = tb_CreateBitmap(&size, 0, 24);
    if (bitmap < 0) return -1;
    toolbox::Target target;
    if (!toolbox::ResolveBitmapTarget(bitmap, target)) {
        tb_DisposeBitmap(bitmap);
        return -1;
    }
    const PixelView& view = target.view;
    pictures::RowPlacer placer(view, header);
    if (!decoder.decode(placer)) {
        tb_DisposeBitmap(bitmap);
        return -1;
    }
    // The file's row padding may hold anything; ours is zero so that a save writes zeros.
    const size_t rowBytes = static_cast<size_t>(view.width) * 3;
    if (static_cast<size_t>(view.stride) > rowBytes) {
        for (int32_t y = 0; y < view.height; ++y) {
            std::memset(RowPointer(view, y) + rowBytes, 0, static_cast<size_t>(view.stride) - rowBytes);
        }
    }
    return bitmap;
}

// Reads the current file into a bitmap of the upright picture's size, or of width x height
// when `preview` is set.
int ReadPicture(bool preview, int32_t width, int32_t height, Rect* rect) {
    CurrentFile file;
    const std::unique_ptr<pictures::Decoder> decoder = pictures::MakeDecoder(file.sniff(), file);
    pictures::Header header;
    if (decoder == nullptr || !decoder->readHeader(header)) return -1;
    if (!pictures::SizeAllowed(header.width, header.height)) return -1;
    if (preview) {
        decoder->reduceFor(width, height, header);
    } else {
        width = header.uprightWidth();
        height = header.uprightHeight();
    }
    const int bitmap = DecodeInto(*decoder, header, width, height);
    if (bitmap >= 0 && rect != nullptr) *rect = Rect{0, 0, width, height};
    return bitmap;
}

}  // namespace

int tb_ReadBitmapFromFile(Rect* rect) { return ReadPicture(false, 0, 0, rect); }

int tb_ReadBitmapPreview(int width, int height, Rect* rect) {
    if (width <= 0 || height <= 0) return -1;
    return ReadPicture(true, width, height, rect);
}
