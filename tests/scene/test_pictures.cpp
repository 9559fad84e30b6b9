// Saving, new pictures with their transitions, opening, and the picture browser, headless.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/pictures.h"
#include "resources/resource_ids.h"
#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;
using platform::FileDialogResult;
using platform::MsgBoxResult;
using platform::NativeWindow;

namespace {

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class PicturesTest : public RoomTest {
protected:
    void SetUp() override {
        RoomTest::SetUp();
        char pattern[] = "/tmp/pictoria-pictures-XXXXXX";
        home_ = mkdtemp(pattern);
        old_ = fs::current_path();
        fs::current_path(home_);
        start(800, 600);
        desktop().clearRecords();
    }
    void TearDown() override {
        fs::current_path(old_);
        fs::remove_all(home_);
        RoomTest::TearDown();
    }
    void paint(Rgb c) {
        scene::Room& r = scene::TheRoom();
        Rect whole = r.picture;
        tb_SetForeColor(r.canvas, c.r * 255, c.g * 255, c.b * 255);
        tb_PaintRect(r.canvas, &whole);
        r.modified = true;
    }
    // A w x h picture file of one colour (and a black first pixel) at `path`.
    void writePicture(const fs::path& path, int w, int h, Rgb c) {
        Rect rect{0, 0, w, h};
        const int b = tb_CreateBitmap(&rect, -1, 24);
        tb_SetForeColor(b, c.r * 255, c.g * 255, c.b * 255);
        tb_PaintRect(b, &rect);
        tb_SetPixel(b, 0, 0, 0, 0, 0);
        std::string name = path;
        ASSERT_EQ(tb_CreateFile(name, 0), 1);
        tb_WriteBitmapToFile(b);
        ASSERT_EQ(tb_CloseFile(), 1);
        tb_DisposeBitmap(b);
    }
    void saveAs(const fs::path& path) { desktop().answerFileDialog(FileDialogResult{true, path, 0}); }
    // The browser's answer: clicks at dialog points, in order.
    void browse(std::vector<Point> clicks) {
        desktop().answerDialog([this, clicks](NativeWindow d) {
            for (Point p : clicks) desktop().click(p.x, p.y, d);
        });
    }
    std::vector<std::string> boxTexts() {
        std::vector<std::string> t;
        for (const auto& b : desktop().messageBoxes()) t.push_back(b.text);
        return t;
    }
    fs::path home_, old_;
    static constexpr Point kOpen{180, 390}, kCancel{230, 390}, kNext{335, 390}, kPrevious{74, 390};
    static constexpr Point kName{383, 239};
    static constexpr Rgb kBlue{0, 0, 255};
};

TEST_F(PicturesTest, SaveWritesTheWholeCanvasAndClearsModified) {
    paint(kBlue);
    tb_SetPixel(scene::TheRoom().canvas, 0, 0, 0, 65025, 0);
    saveAs(home_ / "Gallery" / "mine.bmp");
    scene::SaveCommand();
    EXPECT_FALSE(scene::TheRoom().modified);
    EXPECT_EQ(desktop().fileDialogs().at(0).folder, (home_ / "Gallery/").string());
    EXPECT_EQ(desktop().fileDialogs().at(0).initialName, "Pictoria.bmp");
    EXPECT_EQ(shell::Shell().pictureFileName, (home_ / "Gallery" / "mine.bmp").string());
    const std::string file = Bytes(home_ / "Gallery" / "mine.bmp");
    ASSERT_EQ(file.size(), 54u + 1904u * 488u);  // 24-bit rows of 634 pixels padded to 4
    EXPECT_EQ(file[28], 24);
    // Bottom-up rows of blue, green first pixel of the top row, in the file's last row.
    EXPECT_EQ(file.substr(54, 3), std::string("\xff\0\0", 3));
    EXPECT_EQ(file.substr(54 + 1904 * 487, 6), std::string("\0\xff\0\xff\0\0", 6));
}

TEST_F(PicturesTest, AFailedSaveTellsKeepsModifiedAndLeavesTheOldFile) {
    fs::create_directories(home_ / "Gallery");
    writePicture(home_ / "Gallery" / "old.bmp", 40, 30, kRed);
    const std::string old = Bytes(home_ / "Gallery" / "old.bmp");
    std::ofstream(home_ / "a file");
    struct Case { fs::path target; bool smallDisk; };
    for (const Case& c : {Case{"/dev/full", false}, Case{home_ / "a file" / "x.bmp", false},
                          Case{home_ / "Gallery" / "old.bmp", true}}) {
        SCOPED_TRACE(c.target);
        desktop().clearRecords();
        paint(kBlue);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (c.smallDisk) {  // writes past 4 KiB fail as on a full disk
            signal(SIGXFSZ, SIG_IGN);
            rlimit small{4096, saved.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
        }
        saveAs(c.target);
        scene::SaveCommand();
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_TRUE(scene::TheRoom().modified);
        ASSERT_EQ(desktop().messageBoxes().size(), 1u);
        EXPECT_EQ(desktop().messageBoxes()[0].caption, "Attention!");
        EXPECT_NE(desktop().messageBoxes()[0].text.find(c.target.string()), std::string::npos);
        EXPECT_EQ(Bytes(home_ / "Gallery" / "old.bmp"), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(home_ / "Gallery"), {}), 1);  // no leftovers
    }
}

TEST_F(PicturesTest, SaveBeforeQuestionOnlyWhenModifiedAndYesSavesTheOldPicture) {
    for (const char* folder : {"Gallery", "Pages"}) {
        fs::create_directories(home_ / folder);
        writePicture(home_ / folder / "other.bmp", 10, 10, kRed);
    }
    struct Case { void (*command)(); const char* question; bool modified; MsgBoxResult answer; };
    const Case cases[] = {
        {scene::NewPicture, scene::kAskSaveBeforeNew, false, MsgBoxResult::Yes},
        {scene::NewPicture, scene::kAskSaveBeforeNew, true, MsgBoxResult::No},
        {scene::NewPicture, scene::kAskSaveBeforeNew, true, MsgBoxResult::Yes},
        {scene::GalleryCommand, scene::kAskSaveBeforeOpen, true, MsgBoxResult::Yes},
        {scene::OpenPicture, scene::kAskSaveBeforeOpen, true, MsgBoxResult::Yes},
    };
    for (const Case& c : cases) {
        desktop().clearRecords();
        fs::remove(home_ / "saved.bmp");
        paint(kBlue);
        scene::TheRoom().modified = c.modified;
        const bool saved = c.modified && c.answer == MsgBoxResult::Yes;
        if (c.modified) desktop().answerMessageBox(c.answer);
        if (saved) saveAs(home_ / "saved.bmp");
        if (c.command == scene::OpenPicture) {
            desktop().answerFileDialog(FileDialogResult{true, home_ / "Gallery" / "other.bmp", 0});
        } else {
            browse({kOpen});
        }
        c.command();
        EXPECT_EQ(boxTexts(), c.modified ? std::vector<std::string>{c.question} : std::vector<std::string>{});
        ASSERT_EQ(fs::exists(home_ / "saved.bmp"), saved);
        if (saved) EXPECT_EQ(Bytes(home_ / "saved.bmp")[54], '\xff');  // blue, saved before the change
        EXPECT_EQ(canvasAt(300, 200), kRed);
        EXPECT_FALSE(scene::TheRoom().modified);
    }
    // A save that fails keeps the picture: nothing replaces it.
    desktop().clearRecords();
    paint(kBlue);
    desktop().answerMessageBox(MsgBoxResult::Yes);
    saveAs("/dev/full");
    scene::NewPicture();
    EXPECT_EQ(canvasAt(300, 200), kBlue);
    EXPECT_TRUE(scene::TheRoom().modified);
}

TEST_F(PicturesTest, TransitionsRotateEndWhiteAndStayInsideTheCanvasArea) {
    const scene::Room& r = scene::TheRoom();
    const int sounds[] = {kWavNewWipe, kWavNewMelt, kWavNewShrink, kWavNewSlide};
    for (int round = 0; round < 12; ++round) {  // several rounds: wipe and slide pick a direction
        SCOPED_TRACE(round);
        paint(kBlue);
        scene::Present();
        std::vector<Rgb> room;
        for (int y = 0; y < r.height; y += 3)
            for (int x = 0; x < r.width; x += 3)
                if (!tb_PtInRect(x, y, &r.canvasArea)) room.push_back(shown(x, y));
        desktop().clearRecords();
        scene::ClearCanvas();
        EXPECT_EQ(desktop().sounds().at(0).soundId, sounds[round % 4]);
        EXPECT_EQ(countCanvas(kWhite), 634 * 488);
        EXPECT_EQ(shown(147, 16), kWhite);
        EXPECT_GT(desktop().presented().size(), 12u);
        size_t i = 0;
        for (int y = 0; y < r.height; y += 3)
            for (int x = 0; x < r.width; x += 3)
                if (!tb_PtInRect(x, y, &r.canvasArea)) ASSERT_EQ(shown(x, y), room[i++]) << x << "," << y;
        Rgb old{};
        tb_GetPixel(r.undo, 300, 200, &old.r, &old.g, &old.b);
        EXPECT_EQ(old, (Rgb{0, 0, 65025}));
        EXPECT_EQ(shell::Shell().pictureFileName, "Pictoria.bmp");
    }
}

TEST_F(PicturesTest, PlacePictureStretchesOrCentresOnWhite) {
    struct Case { int w, h; bool fit; Rect expected; };
    for (const Case& c : {Case{100, 50, true, {0, 0, 634, 488}}, Case{100, 50, false, {267, 219, 367, 269}},
                          Case{1000, 800, false, {0, 0, 634, 488}}}) {
        paint(kBlue);
        shell::Prefs().fitPictures = c.fit;
        Rect rect{0, 0, c.w, c.h};
        const int b = tb_CreateBitmap(&rect, -1, 24);
        tb_SetForeColor(b, 65025, 0, 0);
        tb_PaintRect(b, &rect);
        scene::PlacePicture(b, rect);
        tb_DisposeBitmap(b);
        EXPECT_EQ(countCanvas(kRed), c.expected.width() * c.expected.height());
        EXPECT_EQ(canvasAt(c.expected.left, c.expected.top), kRed);
        EXPECT_EQ(countCanvas(kBlue), 0);
    }
}

TEST_F(PicturesTest, OpenReadsAPictureAndRefusesOthersWithoutChangingTheCanvas) {
    fs::create_directories(home_ / "Gallery");
    writePicture(home_ / "Gallery" / "red.bmp", 20, 10, kRed);
    std::ofstream(home_ / "Gallery" / "text.bmp") << "not a picture";
    paint(kBlue);
    scene::TheRoom().modified = false;
    desktop().answerFileDialog(FileDialogResult{true, home_ / "Gallery" / "text.bmp", 0});
    scene::OpenPicture();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Incompatible File:  The file must be in Windows BMP 24bpp format"});
    EXPECT_EQ(canvasAt(300, 200), kBlue);
    EXPECT_EQ(shell::Shell().pictureFileName, "Pictoria.bmp");

    desktop().answerFileDialog(FileDialogResult{true, home_ / "Gallery" / "red.bmp", 0});
    scene::OpenPicture();
    EXPECT_EQ(canvasAt(300, 200), kRed);
    EXPECT_EQ(shell::Shell().pictureFileName, (home_ / "Gallery" / "red.bmp").string());
    EXPECT_TRUE(scene::TheRoom().undoAvailable);
}

TEST_F(PicturesTest, BrowserListsByNameStepsWithinTheListAndKeepsItsPlace) {
    const fs::path pages = home_ / "Pages";
    fs::create_directories(pages);
    for (const char* name : {"b.bmp", "A.bmp", "blank.bmp", "c.BMP", ".hidden.bmp"}) writePicture(pages / name, 8, 8, kRed);
    std::ofstream(pages / "notes.txt");
    std::ofstream(pages / "zz.bmp") << "refused";
    EXPECT_EQ(scene::ListPictures(pages.string() + "/"),
              (std::vector<std::string>{"blank.bmp", "A.bmp", "b.bmp", "c.BMP", "zz.bmp"}));
    EXPECT_TRUE(scene::ListPictures((home_ / "nowhere/").string()).empty());

    // Hovering over the arrows: only those with a picture beyond them react.
    fs::create_directories(home_ / "Gallery");
    for (const char* name : {"one.bmp", "two.bmp", "three.bmp"}) writePicture(home_ / "Gallery" / name, 8, 8, kRed);
    int position = -1;
    std::vector<int> cursors;
    desktop().answerDialog([&](NativeWindow d) {
        for (Point p : {kPrevious, kNext, kNext, kNext, kNext, kPrevious, kName}) {
            desktop().moveTo(p.x, p.y, d);
            desktop().then([&] { cursors.push_back(desktop().currentCursor()); });
            desktop().click(p.x, p.y, d);
        }
        desktop().then([&] { position = shell::Shell().browserPosition; });
        desktop().click(kCancel.x, kCancel.y, d);
    });
    scene::GalleryCommand();
    EXPECT_EQ(cursors, (std::vector<int>{kCurArrow, kCurPointing, kCurPointing, kCurArrow, kCurArrow, kCurPointing,
                                         kCurPointing}));
    EXPECT_EQ(position, 1);  // one, three, two: at "three" after the steps
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"This picture file is named three.bmp."});

    // New shows the pages from the first; the Gallery then opens where it was left.
    int pagePosition = -1;
    desktop().answerDialog([&](NativeWindow d) {
        desktop().then([&] { pagePosition = shell::Shell().browserPosition; });
        desktop().click(kCancel.x, kCancel.y, d);
    });
    scene::NewPicture();
    EXPECT_EQ(pagePosition, 0);
    EXPECT_EQ(shell::Shell().browserPosition, 1);
    EXPECT_FALSE(scene::TheRoom().undoAvailable);
}

TEST_F(PicturesTest, BrowserShowsItsTextsAndChoosingARefusedFileChangesNothing) {
    auto whiteInPreview = [&](NativeWindow d) {
        PixelView v = desktop().backingStore(d);
        int n = 0;
        for (int y = 44; y < 261; ++y)
            for (int x = 64; x < 344; ++x) n += RowPointer(v, y)[3 * x] > 200;  // the text's white, not the picture's red
        return n;
    };
    struct Case { const char* file; bool shownAsText; };
    for (const Case& c : {Case{nullptr, true}, Case{"zz.bmp", true}, Case{"red.bmp", false}}) {
        fs::remove_all(home_ / "Gallery");
        fs::create_directories(home_ / "Gallery");
        if (c.file != nullptr && std::string(c.file) == "zz.bmp") std::ofstream(home_ / "Gallery" / c.file) << "x";
        if (c.file != nullptr && std::string(c.file) == "red.bmp") writePicture(home_ / "Gallery" / c.file, 8, 8, kRed);
        paint(kBlue);
        scene::TheRoom().modified = false;
        desktop().clearRecords();
        int white = -1;
        desktop().answerDialog([&](NativeWindow d) {
            white = whiteInPreview(d);
            desktop().click(kOpen.x, kOpen.y, d);
        });
        scene::GalleryCommand();
        EXPECT_EQ(white > 50 && white < 5000, c.shownAsText) << white;
        EXPECT_EQ(canvasAt(300, 200), c.shownAsText ? kBlue : kRed);
        EXPECT_EQ(boxTexts(), c.shownAsText ? std::vector<std::string>{"Could not open selected file."}
                                             : std::vector<std::string>{});
        EXPECT_EQ(shell::Shell().pictureFileName, c.shownAsText ? "Pictoria.bmp" : (home_ / "Gallery/red.bmp").string());
    }
}

}  // namespace
