// Saving, new pictures with their transitions, opening, and the picture browser, headless.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>

#include "app/pictures.h"
#include "resources/resource_ids.h"
#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;
using platform::FileDialogResult;
using platform::MsgBoxResult;
using platform::NativeWindow;
using Texts = std::vector<std::string>;

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
        fs::current_path(home_ = mkdtemp(pattern));
        for (const char* folder : {"Gallery", "Pages"}) fs::create_directories(home_ / folder);
        start(800, 600);
    }
    void TearDown() override { fs::current_path("/"), fs::remove_all(home_), RoomTest::TearDown(); }
    void paint(Rgb c, bool modified = true) {
        Rect whole = scene::TheRoom().picture;
        tb_SetForeColor(scene::TheRoom().canvas, c.r * 255, c.g * 255, c.b * 255);
        tb_PaintRect(scene::TheRoom().canvas, &whole);
        scene::TheRoom().modified = modified;
        desktop().clearRecords();
    }
    // A red w x h picture file at `path`.
    void writePicture(std::string path, int w = 8, int h = 8) {
        Rect rect{0, 0, w, h};
        const int b = tb_CreateBitmap(&rect, -1, 24);
        tb_SetForeColor(b, 65025, 0, 0);
        tb_PaintRect(b, &rect);
        tb_CreateFile(path, 0);
        tb_WriteBitmapToFile(b);
        ASSERT_EQ(tb_CloseFile(), 1);
        tb_DisposeBitmap(b);
    }
    void answerFile(const fs::path& path) { desktop().answerFileDialog(FileDialogResult{true, path, 0}); }
    void browse(Point p) { desktop().answerDialog([=, this](NativeWindow d) { desktop().click(p.x, p.y, d); }); }
    Texts boxTexts() {
        Texts t;
        for (const auto& b : desktop().messageBoxes()) t.push_back(b.caption + " " + b.text);
        return t;
    }
    fs::path home_;
    static constexpr Point kOpen{180, 390}, kCancel{230, 390}, kNext{335, 390}, kPrevious{74, 390}, kName{383, 239};
    static constexpr Rgb kBlue{0, 0, 255};
};

TEST_F(PicturesTest, SaveWritesTheWholeCanvasOrTellsAndKeepsTheOldFile) {
    writePicture(home_ / "Gallery" / "old.bmp");
    const std::string old = Bytes(home_ / "Gallery" / "old.bmp");
    std::ofstream(home_ / "a file");
    struct Case { fs::path target; bool smallDisk, saved; };
    for (const Case& c : {Case{"/dev/full", false, false}, Case{home_ / "a file" / "x.bmp", false, false},
                          Case{home_ / "Gallery" / "old.bmp", true, false},
                          Case{home_ / "Gallery" / "new.bmp", false, true}}) {
        SCOPED_TRACE(c.target);
        paint(kBlue);
        tb_SetPixel(scene::TheRoom().canvas, 0, 0, 0, 65025, 0);
        rlimit saved{}, small{4096, 4096};  // writes past 4 KiB fail, as on a full disk
        getrlimit(RLIMIT_FSIZE, &saved);
        if (c.smallDisk) signal(SIGXFSZ, SIG_IGN), small.rlim_max = saved.rlim_max, setrlimit(RLIMIT_FSIZE, &small);
        answerFile(c.target);
        scene::SaveCommand();
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(desktop().fileDialogs().at(0).folder, (home_ / "Gallery/").string());
        EXPECT_EQ(scene::TheRoom().modified, !c.saved);
        EXPECT_EQ(Bytes(home_ / "Gallery" / "old.bmp"), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(home_ / "Gallery"), {}), c.saved ? 2 : 1);  // no leftovers
        const std::string failed = "Attention! The picture could not be saved as \"" + c.target.string();
        ASSERT_EQ(boxTexts().size(), c.saved ? 0u : 1u);
        if (!c.saved && boxTexts()[0].find(failed) == 0) continue;
        ASSERT_TRUE(c.saved) << boxTexts()[0];
        // 634 pixels make rows of 1904 bytes, bottom-up: the top row's green first pixel comes last.
        const std::string file = Bytes(c.target);
        ASSERT_EQ(file.size(), 54u + 1904u * 488u);
        EXPECT_EQ(file.substr(54, 3), std::string("\xff\0\0", 3));
        EXPECT_EQ(file.substr(54 + 1904 * 487, 6), std::string("\0\xff\0\xff\0\0", 6));
        EXPECT_EQ(shell::Shell().pictureFileName, c.target.string());
    }
}

TEST_F(PicturesTest, SaveBeforeQuestionOnlyWhenModifiedAndYesSavesTheOldPictureFirst) {
    for (const char* folder : {"Gallery", "Pages"}) writePicture(home_ / folder / "other.bmp");
    const fs::path ok = home_ / "saved.bmp", full = "/dev/full";  // a failed save keeps the picture
    struct Case { void (*command)(); const char* question; bool modified; MsgBoxResult answer; fs::path saveTo; };
    for (const Case& c : {Case{scene::NewPicture, scene::kAskSaveBeforeNew, false, MsgBoxResult::Yes, {}},
                          Case{scene::NewPicture, scene::kAskSaveBeforeNew, true, MsgBoxResult::No, {}},
                          Case{scene::NewPicture, scene::kAskSaveBeforeNew, true, MsgBoxResult::Yes, ok},
                          Case{scene::NewPicture, scene::kAskSaveBeforeNew, true, MsgBoxResult::Yes, full},
                          Case{scene::GalleryCommand, scene::kAskSaveBeforeOpen, true, MsgBoxResult::Yes, ok},
                          Case{scene::OpenPicture, scene::kAskSaveBeforeOpen, true, MsgBoxResult::Yes, ok}}) {
        fs::remove(ok);
        paint(kBlue, c.modified);
        if (c.modified) desktop().answerMessageBox(c.answer);
        if (!c.saveTo.empty()) answerFile(c.saveTo);
        c.command == scene::OpenPicture ? answerFile(home_ / "Gallery" / "other.bmp") : browse(kOpen);
        c.command();
        EXPECT_EQ(boxTexts().empty() ? "" : boxTexts()[0], c.modified ? std::string("Attention... ") + c.question : "");
        ASSERT_EQ(fs::exists(ok), c.saveTo == ok);
        if (c.saveTo == ok) EXPECT_EQ(Bytes(ok)[54], '\xff');  // blue: saved before the change
        EXPECT_EQ(canvasAt(300, 200), c.saveTo == full ? kBlue : kRed);
        EXPECT_EQ(scene::TheRoom().modified, c.saveTo == full);
    }
}

TEST_F(PicturesTest, TransitionsRotateEndWhiteAndStayInsideTheCanvasArea) {
    const scene::Room& r = scene::TheRoom();
    const int sounds[] = {kWavNewWipe, kWavNewMelt, kWavNewShrink, kWavNewSlide};
    auto room = [&] {  // every third pixel outside the canvas area
        std::vector<Rgb> outside;
        for (int i = 0, x = 0, y = 0; i < r.height * r.width; i += 3, x = i % r.width, y = i / r.width)
            if (!tb_PtInRect(x, y, &r.canvasArea)) outside.push_back(shown(x, y));
        return outside;
    };
    for (int round = 0; round < 12; ++round) {  // several rounds: wipe and slide pick a direction
        paint(kBlue);
        const std::vector<Rgb> before = room();
        scene::ClearCanvas();
        EXPECT_EQ(desktop().sounds().at(0).soundId, sounds[round % 4]);
        EXPECT_EQ(countCanvas(kWhite), 634 * 488);
        EXPECT_TRUE(room() == before) << "round " << round;
        int red = 1, green = 1, blue = 0;
        tb_GetPixel(r.undo, 300, 200, &red, &green, &blue);
        EXPECT_EQ(red + green + blue, 65025) << "the old blue picture in the undo copy";
    }
}

TEST_F(PicturesTest, OpenPlacesAPictureByThePreferenceAndRefusesOthers) {
    struct Case { int w, h; bool fit; Rect expected; };  // a 0 x 0 picture: a file of text
    for (const Case& c : {Case{0, 0, true, {}}, Case{100, 50, true, {0, 0, 634, 488}},
                          Case{100, 50, false, {267, 219, 367, 269}}, Case{1000, 800, false, {0, 0, 634, 488}}}) {
        const fs::path file = home_ / "Gallery" / "red.bmp";
        c.w == 0 ? void(std::ofstream(file) << "not a picture") : writePicture(file, c.w, c.h);
        paint(kBlue, false);
        shell::Prefs().fitPictures = c.fit;
        answerFile(file);
        scene::OpenPicture();
        EXPECT_EQ(countCanvas(kRed), c.expected.width() * c.expected.height());
        EXPECT_EQ(countCanvas(kBlue), c.w == 0 ? 634 * 488 : 0);
        EXPECT_EQ(shell::Shell().pictureFileName, c.w == 0 ? "Pictoria.bmp" : file.string());
        const char* refused = "Attention! Incompatible File:  The file must be in Windows BMP 24bpp format";
        EXPECT_EQ(boxTexts(), c.w != 0 ? Texts{} : Texts{refused});
    }
}

TEST_F(PicturesTest, BrowserListsByNameStepsWithinTheListAndKeepsItsPlace) {
    for (const char* name : {"b.bmp", "A.bmp", "blank.bmp", "c.BMP", ".hidden.bmp", "zz.bmp", "notes.txt"})
        std::ofstream(home_ / "Pages" / name);  // none of them a picture
    const Texts byName{"blank.bmp", "A.bmp", "b.bmp", "c.BMP", "zz.bmp"};
    EXPECT_EQ(scene::ListPictures((home_ / "Pages/").string()), byName);
    // The empty Gallery and a refused page show their texts; choosing either changes nothing.
    for (void (*command)() : {scene::GalleryCommand, scene::NewPicture}) {
        int white = 0;  // the text's white, not the picture's red
        paint(kBlue, false);
        desktop().answerDialog([&](NativeWindow d) {
            PixelView v = desktop().backingStore(d);
            for (int i = 0; i < 280 * 217; ++i) white += RowPointer(v, 44 + i / 280)[3 * (64 + i % 280)] > 200;
            desktop().click(kOpen.x, kOpen.y, d);
        });
        command();
        EXPECT_TRUE(white > 50 && white < 5000) << white;
        EXPECT_EQ(canvasAt(300, 200), command == scene::NewPicture ? kWhite : kBlue);
        EXPECT_EQ(boxTexts(), Texts{"Attention! Could not open selected file."});
        EXPECT_EQ(shell::Shell().pictureFileName, "Pictoria.bmp");
    }

    // The arrows react only towards a picture: at either end a click does nothing.
    for (const char* name : {"one.bmp", "two.bmp", "three.bmp"}) writePicture(home_ / "Gallery" / name);
    int position = -1;
    desktop().answerDialog([&](NativeWindow d) {
        for (Point p : {kPrevious, kNext, kNext, kNext, kPrevious, kName}) desktop().click(p.x, p.y, d);
        desktop().then([&] { position = shell::Shell().browserPosition; });
        desktop().click(kCancel.x, kCancel.y, d);
    });
    desktop().clearRecords();
    scene::GalleryCommand();
    EXPECT_EQ(position, 1);  // one, three, two: at "three" after the steps
    EXPECT_EQ(boxTexts(), Texts{"Information... This picture file is named three.bmp."});

    // New shows the pages from the first; the Gallery's place is kept for it.
    desktop().answerDialog([&](NativeWindow d) {
        desktop().then([&] { position = shell::Shell().browserPosition; });
        desktop().click(kCancel.x, kCancel.y, d);
    });
    scene::NewPicture();
    EXPECT_EQ(position, 0);
    EXPECT_EQ(shell::Shell().browserPosition, 1);
    EXPECT_FALSE(scene::TheRoom().undoAvailable);
}

}  // namespace
