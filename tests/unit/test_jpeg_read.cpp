// JPEG files read as ImageMagick reads them, whatever the encoder chose and however the camera
// was held; damaged and oversized files refused; previews decoded at a reduced scale.
#include <cstring>
#include <fstream>

#include "pictures/jpeg_read.h"
#include "tests/support/reference_pixels.h"
#include "tests/unit/test_drawing_support.h"

namespace {

using Bytes = std::vector<uint8_t>;
const std::string kRose = "convert rose: ";  // a small photo, 70 x 46

Bytes Output(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    Bytes bytes;
    for (int c; (c = std::fgetc(pipe)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    pclose(pipe);
    return bytes;
}

// An APP1 segment written by hand: "Exif", a TIFF header and a directory of one entry, the
// orientation as a SHORT, in either byte order.
Bytes Exif(uint8_t o, bool bigEndian) {
    if (!bigEndian) return {0xFF, 0xE1, 0, 36, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 1, 3, 0, 1, 0, 0, 0, o, 0, 0, 0, 0, 0, 0, 0};
    return {0xFF, 0xE1, 0, 36, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 1, 0x12, 0, 3, 0, 0, 0, 1, 0, o, 0, 0, 0, 0, 0, 0};
}

struct MemorySource final : pictures::ByteSource {
    explicit MemorySource(const Bytes& b) : bytes(b) {}
    bool read(uint8_t* out, size_t count, size_t& got) override {
        got = std::min(count, bytes.size() - at);
        std::memcpy(out, bytes.data() + at, got);
        at += got;
        return true;
    }
    int64_t size() override { return std::ssize(bytes); }
    const Bytes& bytes;
    size_t at = 0;
};

class JpegTest : public ToolboxTest {
protected:
    // The bitmap read from the bytes, whole or as a preview of width x height; -1 if refused.
    int read(const Bytes& bytes, int width = 0, int height = 0) {
        std::string path = this->path();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
        Rect rect;
        const int bitmap = tb_OpenFile(path, 0) != 1 ? -2 : width ? tb_ReadBitmapPreview(width, height, &rect) : tb_ReadBitmapFromFile(&rect);
        tb_CloseFile();
        return bitmap;
    }
    // The largest difference of a channel from ImageMagick's reading; 999 for another size.
    int differenceFromReference(const Bytes& bytes) {
        const int bitmap = read(bytes);
        const reference::Picture expected = reference::Read(path());
        const PixelView view = tb_PeekBitmapPixels(bitmap);
        int most = bitmap < 0 || view.width != expected.width || view.height != expected.height ? 999 : 0;
        for (int y = 0; y < view.height && most < 999; ++y)
            for (int x = 0; x < view.width * 3; ++x) most = std::max(most, std::abs(RowPointer(view, y)[x] - expected.at(0, y)[x]));
        if (bitmap >= 0) tb_DisposeBitmap(bitmap);
        return most;
    }
    std::string path() const { return configHome_ + "/sample.jpg"; }
};

TEST_F(JpegTest, EveryKindOfFileIsReadLikeTheReference) {
    for (const char* command : {"ppm:- | cjpeg -sample 2x2", "ppm:- | cjpeg -sample 1x1 -quality 100", "ppm:- | cjpeg -grayscale",
                                "ppm:- | cjpeg -rgb", "ppm:- | cjpeg -progressive", "ppm:- | cjpeg -arithmetic -progressive",
                                "ppm:- | cjpeg -restart 1", "ppm:- | cjpeg -restart 5B -sample 2x1", "-resize 1x1! ppm:- | cjpeg",
                                "-resize 17x9! ppm:- | cjpeg", "-colorspace CMYK jpg:-", "-colorspace CMYK -interlace Plane jpg:-"}) {
        EXPECT_LE(differenceFromReference(Output(kRose + command)), 3) << command;
    }
    // Every orientation in both byte orders (9 to 16 big-endian), right after the start marker.
    const Bytes plain = Output(kRose + "-resize 13x7! ppm:- | cjpeg -sample 1x1 -quality 100");
    for (int orientation = 1; orientation <= 16; ++orientation) {
        Bytes file = plain, exif = Exif(uint8_t((orientation - 1) % 8 + 1), orientation > 8);
        file.insert(file.begin() + 2, exif.begin(), exif.end());
        EXPECT_LE(differenceFromReference(file), 3) << orientation;
    }
}

TEST_F(JpegTest, DamagedAndOversizedFilesAreRefused) {
    const Bytes baseline = Output(kRose + "ppm:- | cjpeg"), progressive = Output(kRose + "ppm:- | cjpeg -progressive");
    const Bytes frameMarker = {0xFF, 0xC0}, scanMarker = {0xFF, 0xDA};
    const size_t frame = std::search(baseline.begin(), baseline.end(), frameMarker.begin(), frameMarker.end()) - baseline.begin();
    Bytes twelveBits = baseline, tooLarge = baseline, holed = baseline, garbage = {0xFF, 0xD8, 0xFF};
    holed.erase(holed.end() - 400, holed.end() - 200);
    twelveBits[frame + 4] = 12;
    tooLarge[frame + 5] = 4320 >> 8, tooLarge[frame + 6] = 4320 & 255, tooLarge[frame + 7] = 7681 >> 8, tooLarge[frame + 8] = 7681 & 255;
    for (uint32_t i = 0; i < 300; ++i) garbage.push_back(static_cast<uint8_t>(i * 2654435761u >> 13));
    // Cut in a scan, cleanly between scans (libjpeg alone would show the blurry picture), and a
    // piece missing from a scan (libjpeg alone would paint the rest grey).
    const auto lastScan = std::find_end(progressive.begin(), progressive.end(), scanMarker.begin(), scanMarker.end());
    for (const Bytes& file : {Bytes(baseline.begin(), baseline.begin() + baseline.size() / 2), Bytes(progressive.begin(), lastScan),
                              holed, twelveBits, tooLarge, garbage}) {
        EXPECT_EQ(read(file), -1) << file.size();
    }
}

// A 6000 x 4000 photo's preview is decoded at the least n/8 of its size that still covers the
// preview upright, and looks like the whole picture stretched.
TEST_F(JpegTest, PreviewsAreDecodedAtAReducedScale) {
    std::string ppm = "P6 6000 4000 255\n";
    for (int y = 0; y < 4000; ++y)
        for (int x = 0; x < 6000; ++x) ppm += {char(x * 255 / 5999), char(y * 255 / 3999), char((x + y) * 255 / 9998)};
    std::ofstream(configHome_ + "/big.ppm", std::ios::binary) << ppm;
    const Bytes big = Output("cjpeg -sample 2x2 " + configHome_ + "/big.ppm");
    struct Case { int32_t width, height, orientation, expectWidth, expectHeight; };
    for (Case c : {Case{280, 217, 1, 750, 500}, Case{1200, 700, 1, 1500, 1000}, Case{1200, 700, 6, 2250, 1500}, Case{7000, 10, 1, 6000, 4000}}) {
        MemorySource source(big);
        const auto decoder = jpeg::MakeDecoder(source);
        pictures::Header header;
        ASSERT_TRUE(decoder->readHeader(header));
        header.orientation = c.orientation;
        decoder->reduceFor(c.width, c.height, header);
        EXPECT_EQ(std::pair(header.width, header.height), std::pair(c.expectWidth, c.expectHeight)) << c.width;
    }
    Rect whole{0, 0, 6000, 4000}, small{0, 0, 280, 217};
    const int bitmaps[3] = {read(big), read(big, 280, 217), tb_CreateBitmap(&small, 0, 24)};
    tb_CopyBitmap(bitmaps[0], bitmaps[2], &whole, &small, 0);
    const PixelView preview = tb_PeekBitmapPixels(bitmaps[1]), stretched = tb_PeekBitmapPixels(bitmaps[2]);
    for (int y = 0; y < 217; ++y)
        for (int x = 0; x < 280 * 3; ++x) ASSERT_NEAR(RowPointer(preview, y)[x], RowPointer(stretched, y)[x], 4) << x / 3 << ", " << y;
    for (int bitmap : bitmaps) tb_DisposeBitmap(bitmap);
}

}  // namespace
