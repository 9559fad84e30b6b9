// PNG files of every kind, written here by libpng, read as ImageMagick reads them; damaged or
// oversized ones refused, the oversized before any pixel memory is taken.
#include <png.h>

#include <csetjmp>
#include <fstream>

#include "tests/support/reference_pixels.h"
#include "tests/unit/test_drawing_support.h"

namespace {

using Bytes = std::vector<uint8_t>;
struct Kind { const char* what; int type, depth, width, height; bool interlaced = false, trns = false; };

// Pixels from a hash; with `trns`, a palette of varied alphas, or for a colour key only bytes
// 0 and 0xFF, so that the key (black: white if ignored) recurs. With `idat`, the headers and
// then that as the pixels.
Bytes Write(const Kind& k, const Bytes* idat = nullptr) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) std::abort();
    png_set_write_fn(png, &out, [](png_structp p, png_bytep d, size_t n) {
        auto* to = static_cast<Bytes*>(png_get_io_ptr(p));
        to->insert(to->end(), d, d + n);
    }, [](png_structp) {});
    png_set_IHDR(png, info, k.width, k.height, k.depth, k.type, k.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
    Bytes hash(4096);
    for (size_t i = 0; i < hash.size(); ++i) hash[i] = uint8_t((i + k.depth) * 2654435761u >> 11);
    png_color_16 black{};
    if (k.type == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, reinterpret_cast<png_colorp>(hash.data()), 1 << k.depth);
    const bool keyed = k.trns && k.type != PNG_COLOR_TYPE_PALETTE;
    if (k.trns) png_set_tRNS(png, info, hash.data() + 999, keyed ? 1 : 1 << k.depth, &black);
    png_write_info(png, info);
    if (idat != nullptr) png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), idat->data(), idat->size());
    const size_t rowBytes = png_get_rowbytes(png, info);
    Bytes pixels(idat ? 0 : rowBytes * k.height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = !keyed ? hash[i * 7 % 4093] : hash[i * 7 % 4093] & 0x80 ? 0xFF : 0;
    const int rows = idat ? 0 : png_set_interlace_handling(png) * k.height;  // every row once a pass
    for (int y = 0; y < rows; ++y) png_write_row(png, pixels.data() + y % k.height * rowBytes);
    if (idat == nullptr) png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

class PngReadTest : public ToolboxTest {
protected:
    int read(const Bytes& bytes, Rect* rect) {
        std::string name = path_ = configHome_ + "/picture.png";
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
        tb_OpenFile(name, 0);
        const int bitmap = tb_ReadBitmapFromFile(rect);
        tb_CloseFile();
        return bitmap;
    }
    std::string path_;
};

TEST_F(PngReadTest, EveryKindReadsAsImageMagickDoes) {
    enum : int { G = PNG_COLOR_TYPE_GRAY, GA = PNG_COLOR_TYPE_GRAY_ALPHA, P = PNG_COLOR_TYPE_PALETTE, C = PNG_COLOR_TYPE_RGB, CA = PNG_COLOR_TYPE_RGBA };
    const Kind kinds[] = {
        {"grey 1", G, 1, 37, 23}, {"grey 2", G, 2, 7, 3}, {"grey 4", G, 4, 40, 9}, {"grey 8", G, 8, 1, 1}, {"grey 16", G, 16, 37, 23},
        {"grey 2 keyed", G, 2, 37, 23, false, true}, {"grey 16 keyed", G, 16, 37, 23, false, true},
        {"grey and alpha 8", GA, 8, 37, 23}, {"grey and alpha 16", GA, 16, 37, 23},
        {"palette 1", P, 1, 37, 23}, {"palette 4 with alphas", P, 4, 37, 23, false, true}, {"palette 8", P, 8, 37, 23},
        {"palette 8 with alphas", P, 8, 7, 3, false, true}, {"palette 2 interlaced", P, 2, 37, 23, true},
        {"RGB 8", C, 8, 37, 23}, {"RGB 16", C, 16, 37, 23}, {"RGB 8 keyed", C, 8, 37, 23, false, true},
        {"RGB 16 keyed", C, 16, 7, 3, false, true}, {"RGB 8 interlaced", C, 8, 37, 23, true},
        {"RGBA 8", CA, 8, 37, 23}, {"RGBA 16", CA, 16, 1, 1}, {"RGBA 16 interlaced", CA, 16, 37, 23, true},
    };
    for (const Kind& k : kinds) {
        Rect whole;
        const int picture = read(Write(k), &whole);
        const reference::Picture want = reference::Read(path_, "-evaluate add 128");  // its -depth 8 truncates: round
        ASSERT_TRUE(want.width == k.width && whole == (Rect{0, 0, k.width, k.height})) << k.what;
        const int slack = k.type == P ? k.trns : k.type & PNG_COLOR_MASK_ALPHA ? 1 : 0;  // laying alpha on white rounds
        for (int y = 0, wrong = 0; y < k.height; ++y) {
            for (int x = 0; x < k.width * 3; ++x) wrong += std::abs(RowPointer(view(picture), y)[x] - want.bgr[y * k.width * 3 + x]) > slack;
            ASSERT_EQ(wrong, 0) << k.what << ", row " << y;
        }
        tb_DisposeBitmap(picture);  // (the fuzz target holds every preview to the whole picture stretched)
    }
}

// The sizes refused need only a few bytes: no pixel memory is taken before the header is checked.
TEST_F(PngReadTest, DamagedOrTooLargeFilesAreRefusedQuietly) {
    const Kind rgb{"", PNG_COLOR_TYPE_RGB, 8, 37, 23};
    const Bytes good = Write(rgb), junk(20, 0xEE);
    Bytes cut(good.begin(), good.end() - 40), badCrc = good, text = good, signatureOnly(good.begin(), good.begin() + 8);
    badCrc[20] ^= 1, signatureOnly.resize(28, 0xEE);
    text.insert(text.begin() + 33, {0, 0, 0, 1, 't', 'E', 'X', 't', 'a', 1, 2, 3, 4});  // its CRC wrong
    auto sized = [&](int width, int height) { return Write(Kind{"", PNG_COLOR_TYPE_RGB, 8, width, height}, &junk); };
    struct Case { const char* what; Bytes bytes; bool picture = false; };
    for (const Case& c : {Case{"a pixel more", sized(7681, 4320)}, Case{"a row more", sized(7680, 4321)}, Case{"too wide", sized(16385, 1)},
                          Case{"cut inside the pixels", cut}, Case{"header's CRC wrong", badCrc}, Case{"not a zlib stream", Write(rgb, &junk)},
                          Case{"junk after the signature", signatureOnly}, Case{"a text chunk's CRC wrong", text, true}}) {
        testing::internal::CaptureStderr();
        Rect rect{};
        const int bitmap = read(c.bytes, &rect);
        EXPECT_EQ(bitmap >= 0, c.picture) << c.what;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
        if (bitmap >= 0) tb_DisposeBitmap(bitmap);
    }
    EXPECT_TRUE(errors().empty());
}

}  // namespace
