// JPEG files read as ImageMagick reads them, whatever the encoder chose and however the camera
// was held; damaged and oversized files refused; previews decoded at a reduced scale.
#include <fstream>

#include "pictures/jpeg_read.h"
#include "tests/support/reference_pixels.h"
#include "tests/unit/test_drawing_support.h"

namespace {

const std::string kRose = "convert rose: ";  // a small photo, 70 x 46

using reference::Output;

// An APP1 segment written by hand: "Exif", a TIFF header and a directory of one entry, the
// orientation as a SHORT, in either byte order.
std::string Exif(char o, bool bigEndian) {
    if (bigEndian) return std::string("\xFF\xE1\0\x22" "Exif\0\0" "MM\0*\0\0\0\x08" "\0\x01" "\x01\x12\0\x03\0\0\0\x01\0", 29) + o + std::string(6, 0);
    return std::string("\xFF\xE1\0\x22" "Exif\0\0" "II*\0\x08\0\0\0" "\x01\0" "\x12\x01\x03\0\x01\0\0\0", 28) + o + std::string(7, 0);
}

// The toolbox's current file, for a decoder of our own.
struct CurrentFile final : pictures::ByteSource {
    bool read(uint8_t* out, size_t count, size_t& got) override { return tb_ReadFile(out, count, &got) == 0; }
    int64_t size() override { return tb_GetFileSize(); }
};

class JpegTest : public ToolboxTest {
protected:
    // The bitmap read from the bytes, whole or as a preview of width x height; -1 if refused.
    int read(const std::string& bytes, int width = 0, int height = 0) {
        std::string path = this->path();
        std::ofstream(path, std::ios::binary) << bytes;
        Rect rect;
        const int bitmap = tb_OpenFile(path, 0) != 1 ? -2 : width ? tb_ReadBitmapPreview(width, height, &rect) : tb_ReadBitmapFromFile(&rect);
        tb_CloseFile();
        return bitmap;
    }
    // The largest difference of a channel from ImageMagick's reading; 999 for another size.
    int differenceFromReference(const std::string& bytes) {
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
    const std::string plain = Output(kRose + "-resize 13x7! ppm:- | cjpeg -sample 1x1 -quality 100");
    for (int o = 1; o <= 16; ++o)
        EXPECT_LE(differenceFromReference(plain.substr(0, 2) + Exif(char((o - 1) % 8 + 1), o > 8) + plain.substr(2)), 3) << o;
}

TEST_F(JpegTest, DamagedAndOversizedFilesAreRefused) {
    const std::string b = Output(kRose + "ppm:- | cjpeg"), progressive = Output(kRose + "ppm:- | cjpeg -progressive");
    const size_t frame = b.find("\xFF\xC0");
    std::string garbage = "\xFF\xD8\xFF";
    for (uint32_t i = 0; i < 300; ++i) garbage += static_cast<char>(i * 2654435761u >> 13);
    // Cut in a scan, cleanly between scans (libjpeg alone would show the blurry picture), a piece
    // missing from a scan (libjpeg alone would paint the rest grey), 12 bits, 7681 x 4320.
    for (const std::string& file : {b.substr(0, b.size() / 2), progressive.substr(0, progressive.rfind("\xFF\xDA")),
                                    b.substr(0, b.size() - 400) + b.substr(b.size() - 200), b.substr(0, frame + 4) + '\x0C' + b.substr(frame + 5),
                                    b.substr(0, frame + 5) + "\x10\xE0\x1E\x01" + b.substr(frame + 9), garbage}) {
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
    const std::string big = Output("cjpeg -sample 2x2 " + configHome_ + "/big.ppm");
    Rect whole{0, 0, 6000, 4000}, small{0, 0, 280, 217};
    const int bitmaps[3] = {read(big), read(big, 280, 217), tb_CreateBitmap(&small, 0, 24)};
    tb_CopyBitmap(bitmaps[0], bitmaps[2], &whole, &small, 0);
    const PixelView preview = tb_PeekBitmapPixels(bitmaps[1]), stretched = tb_PeekBitmapPixels(bitmaps[2]);
    for (int y = 0; y < 217; ++y)
        for (int x = 0; x < 280 * 3; ++x) ASSERT_NEAR(RowPointer(preview, y)[x], RowPointer(stretched, y)[x], 4) << x / 3 << ", " << y;
    struct Case { int32_t width, height, orientation, expectWidth, expectHeight; };
    for (Case c : {Case{280, 217, 1, 750, 500}, Case{1200, 700, 1, 1500, 1000}, Case{1200, 700, 6, 2250, 1500}, Case{7000, 10, 1, 6000, 4000}}) {
        std::string path = this->path();
        ASSERT_EQ(tb_OpenFile(path, 0), 1);
        CurrentFile source;
        pictures::Header header;
        const auto decoder = jpeg::MakeDecoder(source);
        ASSERT_TRUE(decoder->readHeader(header));
        header.orientation = c.orientation;
        decoder->reduceFor(c.width, c.height, header);
        EXPECT_EQ(std::pair(header.width, header.height), std::pair(c.expectWidth, c.expectHeight)) << c.width;
        tb_CloseFile();
    }
    for (int bitmap : bitmaps) tb_DisposeBitmap(bitmap);
}

}  // namespace
