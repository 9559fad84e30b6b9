// The current file, safe saving, the file dialogs, and picture files: what tb_WriteBitmapToFile
// writes and what tb_ReadBitmapFromFile accepts.
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/reference_pixels.h"
#include "tests/unit/bmp_samples.h"
#include "tests/unit/test_drawing_support.h"

namespace fs = std::filesystem;
using platform::FileDialogResult;
using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

namespace {

Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void PutFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Names NamesIn(const std::string& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

uint32_t Packed(samples::Bgr c) { return uint32_t(c.red << 16 | c.green << 8 | c.blue); }

class FilesTest : public ToolboxTest {
protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        char pattern[] = "/tmp/pictoria-files-XXXXXX";
        folder_ = mkdtemp(pattern);
    }
    void TearDown() override {
        tb_CloseFile();
        fs::remove_all(folder_);
        ToolboxTest::TearDown();
    }
    // A name in the scratch folder; a full path stays as it is.
    std::string path(const std::string& name) const { return name[0] == '/' ? name : folder_ + "/" + name; }
    // Writes the text, or the bitmap, to `name` through the toolbox: 1 when all went well.
    int save(const std::string& name, const std::string& text, int bitmap = -1) {
        std::string target = path(name);
        if (tb_CreateFile(target, 0) != 1) return -1;
        const bool written = bitmap < 0 ? tb_WriteFile(text.data(), text.size()) == 0 : tb_WriteBitmapToFile(bitmap) == 1;
        return tb_CloseFile() == 1 && written ? 1 : 0;
    }
    // Opens, reads and closes; the bitmap handle or -1.
    int load(const std::string& name, Rect* rect) {
        std::string target = path(name);
        if (tb_OpenFile(target, 0) != 1) return -1;
        const int bitmap = tb_ReadBitmapFromFile(rect);
        tb_CloseFile();
        return bitmap;
    }
    std::string folder_;
};

}  // namespace

TEST_F(FilesTest, ASaveReplacesThePictureOnlyWhenWholeAndKeepsItsPermissions) {
    std::string target = path("a.bmp");
    PutFile(target, {'o', 'l', 'd'});
    chmod(target.c_str(), 0640);
    ASSERT_EQ(tb_CreateFile(target, 0), 1);
    ASSERT_EQ(tb_WriteFile("new!", 4), 0);
    EXPECT_EQ(FileBytes(target), (Bytes{'o', 'l', 'd'}));  // mid-save the old picture is still there
    ASSERT_EQ(tb_CloseFile(), 1);
    EXPECT_EQ(FileBytes(target), (Bytes{'n', 'e', 'w', '!'}));
    EXPECT_EQ(int(fs::status(target).permissions()), 0640);
    for (int bitmap : {-1, 57, 5000}) {  // refused before writing: said, and the old file kept
        EXPECT_EQ(tb_CreateFile(target, 0) + tb_WriteBitmapToFile(bitmap) + tb_CloseFile(), 1);
        EXPECT_EQ(FileBytes(target), (Bytes{'n', 'e', 'w', '!'})) << bitmap;
    }
    EXPECT_EQ(errors(), Names(3, "Invalid bitmap! (tb_WriteBitmapToFile)"));
    // Opening a file abandons an unfinished save: the picture stays, its temporary goes.
    ASSERT_EQ(tb_CreateFile(target, 0), 1);
    ASSERT_EQ(tb_WriteFile("half", 4), 0);
    ASSERT_EQ(tb_OpenFile(target, 0), 1);
    EXPECT_EQ(tb_GetFileSize(), 4);
    EXPECT_EQ(NamesIn(folder_), Names{"a.bmp"});
    // A new file gets ordinary permissions.
    ASSERT_EQ(save("fresh.bmp", "x"), 1);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(int(fs::status(path("fresh.bmp")).permissions()), 0666 & ~mask);
}

TEST_F(FilesTest, ReadsAndWritesNeedTheRightKindOfOpenFileAndPlacesThatCannotBeAreRefused) {
    char buffer[4];
    size_t got = 99;
    EXPECT_EQ(tb_ReadFile(buffer, 4, &got) + tb_WriteFile("x", 1), 2);  // nothing open
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(tb_GetFileSize(), -1);
    ASSERT_EQ(save("f", "abcdef"), 1);
    std::string target = path("f");
    ASSERT_EQ(tb_OpenFile(target, 0), 1);
    EXPECT_EQ(tb_WriteFile("x", 1), 1);
    for (const size_t expected : {4u, 2u, 0u}) {  // fewer bytes than asked still succeed; the end gives none
        EXPECT_EQ(tb_ReadFile(buffer, 4, &got), 0);
        EXPECT_EQ(got, expected);
    }
    fs::create_directory(path("sub"));
    // Places that cannot be written, and places that cannot be read: the current file stays closed.
    for (auto [written, read] : {std::pair{path("nowhere/a.bmp"), path("missing.bmp")},
                                 {path("sub"), path("sub")}, {std::string(), std::string("/dev/zero")}}) {
        EXPECT_EQ(tb_CreateFile(written, 0), -1) << written;
        EXPECT_EQ(tb_WriteFile("x", 1), 1) << written;
        EXPECT_EQ(tb_OpenFile(read, 0), -1) << read;
        EXPECT_EQ(tb_GetFileSize(), -1) << read;
    }
    EXPECT_EQ(NamesIn(folder_), (Names{"f", "sub"}));
}

// Failed writes (a file size limit, /dev/full) and places under a plain file are the scene test
// PicturesTest.SaveWritesTheWholeCanvasOrTellsAndKeepsTheOldFile.
TEST_F(FilesTest, SavesGoThroughLinksStraightIntoDevicesAndUnderLongNames) {
    fs::create_directory(path("real"));
    PutFile(path("real/pic.bmp"), {'o'});
    fs::create_symlink(path("real/pic.bmp"), path("link.bmp"));
    ASSERT_EQ(save("link.bmp", "new"), 1);
    EXPECT_TRUE(fs::is_symlink(path("link.bmp")));
    EXPECT_EQ(FileBytes(path("real/pic.bmp")), (Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(NamesIn(path("real")), Names{"pic.bmp"});
    EXPECT_EQ(save("/dev/null", "picture"), 1);  // it cannot be synced, which is no failure
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    // A name with no room left for a longer temporary name beside it.
    const std::string name = std::string(230, 'p') + ".bmp";
    ASSERT_EQ(save(name, "ok"), 1);
    EXPECT_EQ(FileBytes(path(name)).size(), 2u);
}

TEST_F(FilesTest, TheFileDialogsOfferTheNameAndGiveTheChosenPathBack) {
    std::string name = "Gallery/Pictoria.bmp";
    EXPECT_EQ(tb_CreateFile(name, 1), 0);  // cancelled: nothing created
    EXPECT_EQ(name, "Gallery/Pictoria.bmp");
    ASSERT_EQ(desktop().fileDialogs().size(), 1u);
    EXPECT_EQ(desktop().fileDialogs()[0].initialName, "Pictoria.bmp");
    desktop().answerFileDialog(FileDialogResult{false, "", 6});
    EXPECT_EQ(tb_CreateFile(name, 1), 10);  // the dialog's failures are numbered for the caller
    desktop().answerFileDialog(FileDialogResult{true, path("chosen.bmp"), 0});
    ASSERT_EQ(tb_CreateFile(name, 1), 1);
    EXPECT_EQ(name, path("chosen.bmp"));
    ASSERT_EQ(tb_CloseFile(), 1);
    EXPECT_EQ(tb_OpenFile(name, 1), -1);  // cancelled
    desktop().answerFileDialog(FileDialogResult{true, path("gone.bmp"), 0});
    EXPECT_EQ(tb_OpenFile(name, 1), -1);
    EXPECT_EQ(NamesIn(folder_), Names{"chosen.bmp"});
}

TEST_F(FilesTest, PicturesAreWrittenByteForByteLikeTheSamplesAndReadBack) {
    // Widths 1 to 5 cover every amount of row padding (3, 2, 1, 0 and 1 bytes). The samples are
    // made by hand: the headers, the bottom row first, zeros in the padding.
    for (int width = 1; width <= 5; ++width) {
        samples::SampleLayout layout;
        layout.width = width;
        layout.height = 6 - width;
        layout.padding = 0;
        const int bitmap = create(width, layout.height);
        for (int i = 0; i < width * layout.height; ++i)
            set(bitmap, i % width, i / width, Packed(samples::PatternAt(i % width, i / width)));
        ASSERT_EQ(save("w.bmp", "", bitmap), 1);
        EXPECT_EQ(FileBytes(path("w.bmp")), samples::MakeBmp(layout)) << width;
        Rect read;
        const int copy = load("w.bmp", &read);
        for (int i = 0; i < width * layout.height; ++i)
            EXPECT_EQ(colour(copy, i % width, i / width), Packed(samples::PatternAt(i % width, i / width))) << width;
    }
}

TEST_F(FilesTest, GoodPictureFilesOfOtherWritersReadAsImageMagickReadsThem) {
    for (const samples::GoodFile& good : samples::GoodFiles()) {
        PutFile(path("good.bmp"), samples::MakeBmp(good.layout));
        PutFile(path("reference.bmp"), samples::MakeBmp(good.reference));
        const reference::Picture expected = reference::Read(path("reference.bmp"));
        Rect read;
        const int bitmap = load("good.bmp", &read);
        const int width = good.layout.width, height = std::abs(good.layout.height);
        ASSERT_EQ(read, (Rect{0, 0, width, height})) << good.name;
        ASSERT_EQ(expected.width * expected.height, width * height) << good.name;
        const PixelView v = view(bitmap);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                samples::Bgr want{expected.at(x, y)[0], expected.at(x, y)[1], expected.at(x, y)[2]};
                // What run-length data leaves out ImageMagick paints in the first colour, we in white.
                if (!good.layout.data.empty() && want == samples::TableEntry(0)) want = {255, 255, 255};
                EXPECT_EQ(colour(bitmap, x, y), Packed(want)) << good.name << " at " << x << ", " << y;
            }
            // The file's padding bytes (0xEE) are not carried into the picture.
            for (int k = width * 3; k < v.stride; ++k) EXPECT_EQ(RowPointer(v, y)[k], 0) << good.name;
        }
    }
}

TEST_F(FilesTest, BadPictureFilesAreRefusedAndLeaveNothingBehind) {
    for (const samples::NamedFile& bad : samples::BadFiles()) {
        PutFile(path("bad.bmp"), bad.bytes);
        Rect read{1, 2, 3, 4};
        EXPECT_EQ(load("bad.bmp", &read), -1) << bad.name;
        EXPECT_EQ(read, (Rect{1, 2, 3, 4})) << bad.name;
        EXPECT_EQ(create(1, 1), 0) << bad.name;  // no bitmap was left behind
        tb_DisposeBitmap(0);
    }
    Rect read{1, 2, 3, 4};
    EXPECT_EQ(tb_ReadBitmapFromFile(&read), -1);  // with nothing open
    EXPECT_TRUE(errors().empty());
    // A full bitmap table is a refusal too.
    PutFile(path("ok.bmp"), samples::MakeBmp(samples::SampleLayout{}));
    for (int i = 0; i < kBitmapSlots; ++i) create(1, 1);
    EXPECT_EQ(load("ok.bmp", &read), -1);
}
