// Picture files: what tb_WriteBitmapToFile writes and what tb_ReadBitmapFromFile accepts.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pictures/bmp_read.h"
#include "pictures/dib.h"
#include "tests/support/headless_fixture.h"
#include "tests/unit/bmp_samples.h"
#include "toolbox/internal.h"

namespace {

using samples::Bgr;

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void PutFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class BmpTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        tb_Init();
        char pattern[] = "/tmp/pictoria-bmp-XXXXXX";
        folder_ = mkdtemp(pattern);
    }
    void TearDown() override {
        tb_CloseFile();
        std::filesystem::remove_all(folder_);
        HeadlessTest::TearDown();
    }

    std::string path(const std::string& name) const { return folder_ + "/" + name; }

    // A 24-bit bitmap holding the sample pattern.
    int patternBitmap(int width, int height) {
        Rect r{0, 0, width, height};
        const int bitmap = tb_CreateBitmap(&r, 0, 24);
        EXPECT_GE(bitmap, 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Bgr c = samples::PatternAt(x, y);
                dib_SetPixelRGB(image(bitmap), x, y, c.red, c.green, c.blue);
            }
        }
        return bitmap;
    }

    DibRecord& image(int bitmap) { return toolbox::FindBitmapSlot(bitmap)->image; }

    Bgr pixel(int bitmap, int x, int y) {
        Bgr c;
        dib_GetPixelRGB(image(bitmap), x, y, c.red, c.green, c.blue);
        return c;
    }

    int save(int bitmap, const std::string& name) {
        std::string target = path(name);
        if (tb_CreateFile(target, 0) != 1) return -1;
        const int written = tb_WriteBitmapToFile(bitmap);
        return tb_CloseFile() == 1 ? written : 0;
    }

    // Opens, reads and closes; the bitmap handle or -1.
    int load(const std::string& file, Rect* rect) {
        std::string target = file;
        if (tb_OpenFile(target, 0) != 1) return -1;
        const int bitmap = tb_ReadBitmapFromFile(rect);
        tb_CloseFile();
        return bitmap;
    }

    int bitmapsInUse() {
        int used = 0;
        for (int i = 0; i < kBitmapSlots; ++i) used += toolbox::FindBitmapSlot(i) != nullptr;
        return used;
    }

    std::string folder_;
};

}  // namespace

TEST_F(BmpTest, ThreeByTwoPictureIsSeventyEightBytesWithPaddedRows) {
    Rect r{0, 0, 3, 2};
    const int bitmap = tb_CreateBitmap(&r, 0, 24);
    ASSERT_GE(bitmap, 0);
    // Top row red, green, blue; bottom row white, black, grey.
    const uint8_t colours[2][3][3] = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
                                      {{255, 255, 255}, {0, 0, 0}, {128, 128, 128}}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) dib_SetPixelRGB(image(bitmap), x, y, colours[y][x][0], colours[y][x][1], colours[y][x][2]);
    }
    ASSERT_EQ(save(bitmap, "small.bmp"), 1);

    const std::vector<uint8_t> expected = {
        'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,          // file header
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,         // size, width, height, planes, depth
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0,           // bottom row first, blue green red
        0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,                 // then the top row
    };
    EXPECT_EQ(FileBytes(path("small.bmp")), expected);
}

TEST_F(BmpTest, WrittenPicturesReadBackPixelForPixel) {
    // Widths 1 to 5 cover every amount of row padding (3, 2, 1, 0 and 1 bytes).
    for (int width = 1; width <= 5; ++width) {
        const int height = 6 - width;
        const int bitmap = patternBitmap(width, height);
        const std::string name = "w" + std::to_string(width) + ".bmp";
        ASSERT_EQ(save(bitmap, name), 1) << width;
        const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
        EXPECT_EQ(FileBytes(path(name)).size(), 54 + stride * height) << width;

        Rect read{9, 9, 9, 9};
        const int copy = load(path(name), &read);
        ASSERT_GE(copy, 0) << width;
        EXPECT_EQ(read, (Rect{0, 0, width, height}));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) EXPECT_EQ(pixel(copy, x, y), samples::PatternAt(x, y)) << width << " " << x << "," << y;
        }
        // Saved again, the copy gives the very same bytes.
        ASSERT_EQ(save(copy, "again.bmp"), 1);
        EXPECT_EQ(FileBytes(path("again.bmp")), FileBytes(path(name))) << width;
        tb_DisposeBitmap(bitmap);
        tb_DisposeBitmap(copy);
    }
}

TEST_F(BmpTest, EightBitBitmapsAreWrittenWithTheirTableAndReadBackInColour) {
    Rect r{0, 0, 3, 2};
    const int bitmap = tb_CreateBitmap(&r, 0, 8);
    ASSERT_GE(bitmap, 0);
    // The fresh table is a grey ramp: index i is grey i.
    const uint8_t indices[2][3] = {{0, 255, 7}, {128, 1, 200}};
    PixelView view = dib_WriteView(image(bitmap));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) RowPointer(view, y)[x] = indices[y][x];
    }
    ASSERT_EQ(save(bitmap, "grey.bmp"), 1);
    EXPECT_EQ(FileBytes(path("grey.bmp")).size(), 14u + 40 + 1024 + 4 * 2);

    Rect read;
    const int copy = load(path("grey.bmp"), &read);
    ASSERT_GE(copy, 0);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const uint8_t g = indices[y][x];
            EXPECT_EQ(pixel(copy, x, y), (Bgr{g, g, g})) << x << "," << y;
        }
    }
}

TEST_F(BmpTest, AnInvalidHandleIsReportedAndWritesNothing) {
    Rect r{0, 0, 2, 2};
    const int bitmap = tb_CreateBitmap(&r, 0, 24);
    tb_DisposeBitmap(bitmap);
    for (int handle : {-1, bitmap, 100, 5000, 9000}) {
        std::string target = path("none.bmp");
        ASSERT_EQ(tb_CreateFile(target, 0), 1);
        desktop().clearRecords();
        EXPECT_EQ(tb_WriteBitmapToFile(handle), 0) << handle;
        ASSERT_EQ(desktop().messageBoxes().size(), 1u) << handle;
        EXPECT_EQ(desktop().messageBoxes()[0].caption, "Error...");
        EXPECT_EQ(desktop().messageBoxes()[0].text, "Invalid bitmap! (tb_WriteBitmapToFile)");
        EXPECT_EQ(tb_CloseFile(), 1);
        EXPECT_TRUE(FileBytes(target).empty()) << handle;
    }
}

TEST_F(BmpTest, GoodFilesOfOtherWritersAreRead) {
    for (const samples::GoodFile& good : samples::GoodFiles()) {
        const std::string file = path("good.bmp");
        PutFile(file, samples::MakeBmp(good.layout));
        Rect read;
        const int bitmap = load(file, &read);
        ASSERT_GE(bitmap, 0) << good.name;
        const int height = good.layout.height < 0 ? -good.layout.height : good.layout.height;
        EXPECT_EQ(read, (Rect{0, 0, good.layout.width, height})) << good.name;
        EXPECT_EQ(dib_GetBitCount(image(bitmap)), 24) << good.name;
        EXPECT_EQ(dib_GetHeight(image(bitmap)), height) << good.name;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < good.layout.width; ++x) {
                EXPECT_EQ(pixel(bitmap, x, y), samples::ExpectedAt(good.layout, x, y)) << good.name << " " << x << "," << y;
            }
            // The file's padding bytes (0xEE) are not carried into the picture.
            const PixelView view = dib_ReadView(image(bitmap));
            for (int k = good.layout.width * 3; k < view.stride; ++k) EXPECT_EQ(RowPointer(view, y)[k], 0) << good.name;
        }
        tb_DisposeBitmap(bitmap);
    }
}

TEST_F(BmpTest, BadFilesAreRefusedAndLeaveNothingBehind) {
    for (const samples::NamedFile& bad : samples::BadFiles()) {
        const std::string file = path("bad.bmp");
        PutFile(file, bad.bytes);
        Rect read{1, 2, 3, 4};
        EXPECT_EQ(load(file, &read), -1) << bad.name;
        EXPECT_EQ(read, (Rect{1, 2, 3, 4})) << bad.name;
        EXPECT_EQ(bitmapsInUse(), 0) << bad.name;
    }
    // A folder is not a file: it is not opened, and reading with nothing open fails.
    Rect read{1, 2, 3, 4};
    EXPECT_EQ(load(folder_, &read), -1);
    EXPECT_EQ(tb_ReadBitmapFromFile(&read), -1);
    EXPECT_EQ(read, (Rect{1, 2, 3, 4}));
    EXPECT_TRUE(desktop().messageBoxes().empty());
}

TEST_F(BmpTest, ReadingStartsWhereTheFileIsAndLeavesTheRestUnread) {
    // Two pictures back to back in one file: each read takes exactly its own bytes.
    samples::BmpSpec first;
    samples::BmpSpec second;
    second.width = 2;
    second.height = -2;
    std::vector<uint8_t> both = samples::MakeBmp(first);
    const std::vector<uint8_t> tail = samples::MakeBmp(second);
    both.insert(both.end(), tail.begin(), tail.end());
    PutFile(path("two.bmp"), both);
    std::string target = path("two.bmp");
    ASSERT_EQ(tb_OpenFile(target, 0), 1);
    Rect read;
    const int bitmap = tb_ReadBitmapFromFile(&read);
    ASSERT_GE(bitmap, 0);
    EXPECT_EQ(read, (Rect{0, 0, 5, 3}));
    unsigned char next[2] = {};
    size_t got = 0;
    EXPECT_EQ(tb_ReadFile(next, 2, &got), 0);
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(next[0], 'B');
    EXPECT_EQ(next[1], 'M');
}

TEST_F(BmpTest, TheBitmapTableBeingFullIsARefusal) {
    PutFile(path("ok.bmp"), samples::MakeBmp(samples::BmpSpec{}));
    Rect r{0, 0, 1, 1};
    for (int i = 0; i < kBitmapSlots; ++i) ASSERT_EQ(tb_CreateBitmap(&r, 0, 24), i);
    Rect read{};
    EXPECT_EQ(load(path("ok.bmp"), &read), -1);
    EXPECT_EQ(read, Rect{});
}

TEST(BmpLayout, AShortTableIsCutWhereThePixelsBegin) {
    // The header claims all 256 colours, but the pixels start after 3 entries.
    samples::BmpSpec s;
    s.bitCount = 8;
    s.tableEntries = 3;
    const std::vector<uint8_t> bytes = samples::MakeBmp(s);
    bmp::Layout layout;
    ASSERT_EQ(bmp::ParseLayout(bytes.data(), 54, bytes.size(), layout), bmp::Refusal::None);
    EXPECT_EQ(layout.colorCount, 3);
    EXPECT_EQ(layout.pixelOffset, 54u + 12);
    // An index past the table is black.
    const uint8_t table[12] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
    const uint8_t row[5] = {2, 0, 3, 255, 1};
    uint8_t out[15];
    layout.width = 5;
    bmp::ConvertRow(layout, table, row, out);
    const uint8_t expected[15] = {7, 8, 9, 1, 2, 3, 0, 0, 0, 0, 0, 0, 4, 5, 6};
    EXPECT_EQ(std::vector<uint8_t>(out, out + 15), std::vector<uint8_t>(expected, expected + 15));
}
