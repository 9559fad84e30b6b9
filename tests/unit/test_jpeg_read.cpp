// JPEG files read as ImageMagick reads them, whatever the encoder chose and however the camera
// was held; damaged and oversized files refused; previews decoded at a reduced scale.
#include <cstring>
#include <fstream>

#include "pictures/exif.h"
#include "pictures/jpeg_read.h"
#include "tests/support/reference_pixels.h"
#include "tests/unit/test_drawing_support.h"

namespace {

using Bytes = std::vector<uint8_t>;
const std::string kRose = "convert rose: ppm:- | cjpeg ";  // a small photo, 70 x 46

Bytes Output(const std::string& command) {
    Bytes bytes;
    FILE* pipe = popen(command.c_str(), "r");
    for (int c; (c = std::fgetc(pipe)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    pclose(pipe);
    return bytes;
}

// An APP1 block written by hand: "Exif", a TIFF header and a directory of one entry.
Bytes Exif(int orientation, bool bigEndian, uint16_t type = 3, uint32_t directory = 8) {
    Bytes b = {'E', 'x', 'i', 'f', 0, 0};
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) b.push_back(uint8_t(value >> 8 * (bigEndian ? bytes - 1 - i : i)));
    };
    put(bigEndian ? 0x4D4D : 0x4949, 2), put(42, 2), put(directory, 4), put(1, 2);
    put(0x0112, 2), put(type, 2), put(1, 4), put(orientation, 2), put(0, 2), put(0, 4);
    return b;
}

struct MemorySource final : pictures::ByteSource {
    explicit MemorySource(Bytes b) : bytes(std::move(b)) {}
    bool read(uint8_t* out, size_t count, size_t& got) override {
        got = std::min(count, bytes.size() - at);
        std::memcpy(out, bytes.data() + at, got);
        at += got;
        return true;
    }
    int64_t size() override { return std::ssize(bytes); }
    Bytes bytes;
    size_t at = 0;
};

class JpegTest : public ToolboxTest {
protected:
    std::string path() const { return configHome_ + "/sample.jpg"; }
    std::string put(const Bytes& bytes) {
        std::ofstream(path(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
        return path();
    }
    int read(const Bytes& bytes, int previewWidth = 0, int previewHeight = 0) {
        std::string name = put(bytes);
        if (tb_OpenFile(name, 0) != 1) return -2;
        Rect rect;
        const int bitmap = previewWidth ? tb_ReadBitmapPreview(previewWidth, previewHeight, &rect) : tb_ReadBitmapFromFile(&rect);
        tb_CloseFile();
        return bitmap;
    }
    // The largest difference of any channel of any pixel from ImageMagick's reading (999 when
    // the sizes differ or a side refused the file).
    int differenceFromReference(const Bytes& bytes) {
        const int bitmap = read(bytes);
        const reference::Picture expected = reference::Read(path());
        if (bitmap < 0 || expected.width != tb_GetBitmapWidth(bitmap) || expected.height != tb_GetBitmapHeight(bitmap)) {
            tb_DisposeBitmap(bitmap);
            return 999;
        }
        const PixelView view = tb_PeekBitmapPixels(bitmap);
        int most = 0;
        for (int y = 0; y < view.height; ++y)
            for (int x = 0; x < view.width * 3; ++x) most = std::max(most, std::abs(RowPointer(view, y)[x] - expected.at(0, y)[x]));
        tb_DisposeBitmap(bitmap);
        return most;
    }
};

TEST_F(JpegTest, EveryKindOfFileIsReadLikeTheReference) {
    for (const std::string& command : std::vector<std::string>{kRose + "-sample 2x2", kRose + "-sample 1x1 -quality 100", kRose + "-grayscale",
                                      kRose + "-rgb", kRose + "-progressive", kRose + "-arithmetic -progressive",
                                      kRose + "-restart 1", kRose + "-restart 5B -sample 2x1",
                                      "convert rose: -resize 1x1! ppm:- | cjpeg", "convert rose: -resize 17x9! ppm:- | cjpeg",
                                      "convert rose: -colorspace CMYK jpg:-", "convert rose: -colorspace CMYK -interlace Plane jpg:-"}) {
        EXPECT_LE(differenceFromReference(Output(command)), 3) << command;
    }
    // Every orientation in both byte orders, the APP1 block put right after the start marker.
    const Bytes plain = Output("convert rose: -resize 13x7! ppm:- | cjpeg -sample 1x1 -quality 100");
    for (int orientation = 1; orientation <= 8; ++orientation) {
        for (bool bigEndian : {false, true}) {
            const Bytes exif = Exif(orientation, bigEndian);
            Bytes file(plain.begin(), plain.begin() + 2);
            file.insert(file.end(), {0xFF, 0xE1, 0, uint8_t(exif.size() + 2)});
            file.insert(file.end(), exif.begin(), exif.end());
            file.insert(file.end(), plain.begin() + 2, plain.end());
            EXPECT_LE(differenceFromReference(file), 3) << orientation << (bigEndian ? " big-endian" : "");
        }
    }
}

TEST_F(JpegTest, OddExifBlocksLeaveThePhotoAsStored) {
    const Bytes good = Exif(6, true);
    struct Case { Bytes block; size_t cut; int expect; };
    for (const Case& c : {Case{good, 0, 6}, Case{Exif(9, false), 0, 1}, Case{Exif(3, false, 4), 0, 1},
                          Case{Exif(3, false, 3, 250), 0, 1}, Case{good, 8, 1}, Case{Bytes(good.begin(), good.begin() + 5), 0, 0}}) {
        EXPECT_EQ(pictures::ExifOrientation(c.block.data(), c.block.size() - c.cut), c.expect) << c.cut;
    }
}

TEST_F(JpegTest, DamagedAndOversizedFilesAreRefused) {
    const Bytes baseline = Output(kRose), progressive = Output(kRose + "-progressive");
    const Bytes sof = {0xFF, 0xC0}, sos = {0xFF, 0xDA};
    const size_t frame = std::search(baseline.begin(), baseline.end(), sof.begin(), sof.end()) - baseline.begin();
    const auto lastScan = std::find_end(progressive.begin(), progressive.end(), sos.begin(), sos.end());
    Bytes twelveBits = baseline, garbage = {0xFF, 0xD8, 0xFF};
    twelveBits[frame + 4] = 12;
    for (uint32_t i = 0; i < 300; ++i) garbage.push_back(static_cast<uint8_t>(i * 2654435761u >> 13));
    // Cut in a scan, and cut cleanly between scans (libjpeg alone would show the blurry picture).
    for (const Bytes& file : {Bytes(baseline.begin(), baseline.begin() + baseline.size() / 2),
                              Bytes(progressive.begin(), lastScan), twelveBits, garbage}) {
        EXPECT_EQ(read(file), -1) << file.size();
    }
    // The frame header alone decides the size, before any pixel memory is taken.
    struct Case { uint16_t width, height; bool allowed; };
    for (const Case& c : {Case{7680, 4320, true}, Case{7681, 4320, false}, Case{4320, 7681, false}}) {
        Bytes file = baseline;
        file[frame + 5] = uint8_t(c.height >> 8), file[frame + 6] = uint8_t(c.height);
        file[frame + 7] = uint8_t(c.width >> 8), file[frame + 8] = uint8_t(c.width);
        MemorySource source(file);
        pictures::Header header;
        EXPECT_EQ(jpeg::MakeDecoder(source)->readHeader(header), c.allowed) << c.width;
        EXPECT_EQ(read(file), -1);  // its data is far too short for that size
    }
}

// A 6000 x 4000 photo's preview is decoded at 1/8 to 1/1 of its size, the least that still
// covers the preview upright, and looks like the whole picture stretched.
TEST_F(JpegTest, PreviewsAreDecodedAtAReducedScale) {
    std::string ppm = "P6 6000 4000 255\n";
    for (int y = 0; y < 4000; ++y)
        for (int x = 0; x < 6000; ++x) ppm += {char(x * 255 / 5999), char(y * 255 / 3999), char((x + y) * 255 / 9998)};
    std::ofstream(configHome_ + "/big.ppm", std::ios::binary) << ppm;
    const Bytes big = Output("cjpeg -sample 2x2 " + configHome_ + "/big.ppm");
    struct Case { int32_t width, height, orientation, expectWidth, expectHeight; };
    for (const Case& c : {Case{280, 217, 1, 750, 500}, Case{1200, 700, 1, 1500, 1000}, Case{1200, 700, 6, 2250, 1500},
                          Case{7000, 10, 1, 6000, 4000}}) {
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
