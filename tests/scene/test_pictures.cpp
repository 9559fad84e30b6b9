// Saving, new pictures with their transitions, opening, and the picture browser, headless.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/pictures.h"
#include "resources/resource_ids.h"
#include "tests/support/reference_pixels.h"
#include "tests/support/room_fixture.h"

namespace fs = std::filesystem;
using platform::MsgBoxResult;
using platform::NativeWindow;
using Texts = std::vector<std::string>;

namespace {

class PicturesTest : public FolderTest {
protected:
    void paintAll(Rgb c, bool modified = true) {
        paint(room().picture, c);
        room().modified = modified;
        desktop().clearRecords();
    }
    // A red w x h picture file at `path`, by ImageMagick: 24-bit BMP unless told another format.
    void writePicture(const fs::path& path, int w = 8, int h = 8, const std::string& format = "BMP3") {
        const std::string red = std::to_string(w) + 'x' + std::to_string(h) + " xc:red -type TrueColor ";
        ASSERT_EQ(std::system(("convert -size " + red + format + ":'" + path.string() + "'").c_str()), 0);
    }
    void answerFile(const fs::path& path) { desktop().answerFileDialog(platform::FileDialogResult{true, path, 0}); }
    // Answers the picture browser with clicks at these points, noting its position before the last.
    void browse(std::vector<Point> clicks, int* position = nullptr) {
        desktop().answerDialog([=, this](NativeWindow d) {
            for (size_t i = 0; i + 1 < clicks.size(); ++i) desktop().click(clicks[i].x, clicks[i].y, d);
            if (position) desktop().then([=] { *position = shell::Shell().browserPosition; });
            desktop().click(clicks.back().x, clicks.back().y, d);
        });
    }
    static constexpr Point kOpen{180, 390}, kCancel{230, 390}, kNext{335, 390}, kPrevious{74, 390}, kName{383, 239};
};

TEST_F(PicturesTest, SaveWritesTheCanvasOrTellsWhyAndKeepsTheChanges) {
    std::ofstream(home_ / "a file");
    // A file that cannot be created, one whose writing fails, and one saved.
    for (const fs::path& target : {home_ / "a file" / "x.bmp", fs::path("/dev/full"), home_ / "Gallery" / "new.bmp"}) {
        SCOPED_TRACE(target);
        paintAll(kBlue);
        answerFile(target);
        scene::SaveCommand();
        const bool saved = target.filename() == "new.bmp";
        EXPECT_EQ(desktop().fileDialogs().at(0).folder, (home_ / "Gallery/").string());
        EXPECT_EQ(room().modified, !saved);
        EXPECT_EQ(std::distance(fs::directory_iterator(home_ / "Gallery"), {}), saved ? 1 : 0);  // no leftovers
        const std::string failed = "Attention! The picture could not be saved as \"" + target.string();
        ASSERT_EQ(boxTexts().size(), saved ? 0u : 1u);
        for (const std::string& box : boxTexts()) EXPECT_EQ(box.substr(0, failed.size()), failed);
        EXPECT_EQ(shell::Shell().pictureFileName, target.string()) << "the name is offered again";
    }
}

// An opened PNG keeps its file: the picture's name for saving becomes "cat.bmp"; its copy is
// offered as "cat.png" beside the Gallery and written lossless and small, never over a picture.
TEST_F(PicturesTest, ExportWritesAPngCopyBesideTheGalleryAndNeverOverAPicture) {
    std::ofstream(home_ / "a file");
    writePicture(home_ / "keep.bmp");
    writePicture(home_ / "Gallery/cat.PNG", 20, 10, "PNG24");
    answerFile(home_ / "Gallery/cat.PNG");
    scene::OpenPicture();
    EXPECT_EQ(shell::Shell().pictureFileName, (home_ / "Gallery/cat.bmp").string());
    const auto kept = fs::file_size(home_ / "keep.bmp");
    struct Case { fs::path answer, written; bool many; const char* told; };
    for (const Case& c : {Case{home_ / "copy", home_ / "copy.png", false, nullptr},
                          Case{home_ / "keep.bmp", home_ / "keep.bmp.png", true, nullptr},
                          Case{home_ / "a file" / "x.png", {}, false, "does not accept"},
                          Case{"/dev/full", {}, false, "disk may be full"}, Case{{}, {}, false, nullptr}}) {
        SCOPED_TRACE(c.answer);
        for (int i = 0; i < (c.many ? 300 : 3); ++i)  // flat colours, or more than a palette holds
            paint(Rect{i % 30 * 20, i / 30 * 40, i % 30 * 20 + 19, i / 30 * 40 + 39},
                  Rgb{255 - i * 200 / 255, i * 97 % 256, 0});
        room().modified = true, desktop().clearRecords();
        c.answer.empty() ? desktop().answerFileDialog(platform::FileDialogResult{}) : answerFile(c.answer);
        scene::RunCommand(scene::kCommandExport);
        const platform::FileDialogRequest& asked = desktop().fileDialogs().at(0);
        EXPECT_EQ(asked.folder + asked.initialName + asked.filterPattern, home_.string() + "/cat.png*.png");
        EXPECT_TRUE(room().modified && fs::file_size(home_ / "keep.bmp") == kept);
        ASSERT_EQ(boxTexts().size(), c.told ? 1u : 0u);
        if (c.told) { EXPECT_NE(boxTexts()[0].find(c.told), std::string::npos) << boxTexts()[0]; }
        if (c.written.empty()) continue;
        const reference::Picture back = reference::Read(c.written.string());
        const PixelView canvas = tb_PeekBitmapPixels(room().canvas);
        ASSERT_EQ(back.width * back.height, 634 * 488);
        for (int y = 0; y < back.height; ++y) ASSERT_EQ(std::memcmp(back.at(0, y), RowPointer(canvas, y), 634 * 3), 0) << y;
        EXPECT_LT(fs::file_size(c.written), c.many ? 100000u : 10000u);
        fs::remove(c.written);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(home_), {}), 4) << "no temporary left beside the copies";
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
                          Case{scene::GalleryCommand, scene::kAskSaveBeforeOpen, true, MsgBoxResult::Closed, {}},
                          Case{scene::OpenPicture, scene::kAskSaveBeforeOpen, true, MsgBoxResult::Yes, ok}}) {
        fs::remove(ok);
        paintAll(kBlue, c.modified);
        const bool kept = c.saveTo == full || c.answer == MsgBoxResult::Closed;  // Escape keeps it all
        room().placingText = true;  // text waiting to be placed goes with the old picture
        if (c.modified) desktop().answerMessageBox(c.answer);
        if (!c.saveTo.empty()) answerFile(c.saveTo);
        c.command == scene::OpenPicture ? answerFile(home_ / "Gallery" / "other.bmp") : browse({kOpen});
        c.command();
        EXPECT_EQ(boxTexts().empty() ? "" : boxTexts()[0], c.modified ? std::string("Attention... ") + c.question : "");
        ASSERT_EQ(fs::exists(ok), c.saveTo == ok);
        EXPECT_TRUE(c.saveTo != ok || FileBytes(ok)[54] == '\xff') << "blue: saved before the change";
        EXPECT_EQ(canvasAt(300, 200), kept ? kBlue : kRed);
        EXPECT_TRUE(room().modified == kept && room().placingText == kept);
    }
}

TEST_F(PicturesTest, OnAScreenLargerThanTheReaderTakesThePictureIsCappedAndOpensAgainOnceSaved) {
    start(7900, 4450, 1);  // room for 7734 x 4338 pixels, more than the reader's 7680 x 4320
    EXPECT_TRUE(room().picture == (Rect{0, 0, 7690, 4313}) && room().canvasArea == (Rect{147, 41, 7837, 4354}));
    answerFile(home_ / "big.bmp"), scene::SaveCommand();  // white, as it started
    paintAll(kBlue, false), answerFile(home_ / "big.bmp"), scene::OpenPicture();
    EXPECT_EQ(canvasAt(10, 10), kWhite);
}

TEST_F(PicturesTest, TransitionsRotateEndWhiteAndStayInsideTheCanvasArea) {
    const scene::Room& r = room();
    const int sounds[] = {kWavNewWipe, kWavNewMelt, kWavNewShrink, kWavNewSlide};
    auto outside = [&] {  // every third pixel outside the canvas area
        std::vector<Rgb> seen;
        for (int i = 0, x = 0, y = 0; i < r.height * r.width; i += 3, x = i % r.width, y = i / r.width)
            if (!tb_PtInRect(x, y, &r.canvasArea)) seen.push_back(shown(Point{x, y}));
        return seen;
    };
    for (int round = 0; round < 12; ++round) {  // several rounds: wipe and slide pick a direction
        paintAll(kBlue);
        const std::vector<Rgb> before = outside();
        scene::ClearCanvas();
        EXPECT_EQ(desktop().sounds().at(0).soundId, sounds[round % 4]);
        EXPECT_EQ(countCanvas(kWhite), 634 * 488);
        EXPECT_TRUE(outside() == before) << "round " << round;
        EXPECT_EQ(canvasAt(300, 200, r.undo), kBlue) << "the old picture in the undo copy";
    }
}

TEST_F(PicturesTest, OpenPlacesAPictureByThePreferenceAndRefusesOthers) {
    struct Case { int w, h; bool fit; Rect expected; bool png = false; };  // a 0 x 0 picture: a file of text
    for (const Case& c : {Case{0, 0, true, {}}, Case{0, 0, true, {}, true}, Case{100, 50, true, {0, 0, 634, 488}},
                          Case{100, 50, false, {267, 219, 367, 269}}, Case{100, 50, false, {267, 219, 367, 269}, true},
                          Case{1000, 800, false, {0, 0, 634, 488}}}) {
        const fs::path file = home_ / "Gallery" / "red.bmp";  // the kind is told by the bytes
        if (c.w == 0) std::ofstream(file) << (c.png ? "\x89PNG\r\n\x1a\n" : "") << "not a picture";
        else c.png ? writePicture(file, c.w, c.h, "png") : writePicture(file, c.w, c.h);
        paintAll(kBlue, false);
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
    for (const char* name : {"b.bmp", "A.bmp", "blank.bmp", "c.BMP", ".hidden.bmp", "zz.bmp", "notes.txt", "d.PNG",
                             "a.jpeg", "e.Jpg", "f.gif", "png"})
        std::ofstream(home_ / "Pages" / name);  // none of them a picture
    const Texts byName{"blank.bmp", "A.bmp", "a.jpeg", "b.bmp", "c.BMP", "d.PNG", "e.Jpg", "zz.bmp"};
    EXPECT_EQ(scene::ListPictures((home_ / "Pages/").string()), byName);
    // Choosing in the empty Gallery or a refused page changes nothing.
    for (void (*command)() : {scene::GalleryCommand, scene::NewPicture}) {
        paintAll(kBlue, false);
        browse({kOpen});
        command();
        EXPECT_EQ(canvasAt(300, 200), command == scene::NewPicture ? kWhite : kBlue);
        EXPECT_EQ(boxTexts(), Texts{"Attention! Could not open selected file."});
        EXPECT_EQ(shell::Shell().pictureFileName, "Pictoria.bmp");
    }
    // The arrows react only towards a picture: at either end a click does nothing.
    for (const char* name : {"one.bmp", "two.bmp", "thr\xe9.bmp"}) writePicture(home_ / "Gallery" / name);
    EXPECT_EQ(tb_ListFolder((home_ / "Gallery").string(), ".bmp", 2).size(), 2u);
    int position = -1;
    browse({kPrevious, kNext, kNext, kNext, kPrevious, kName, kCancel}, &position);
    desktop().clearRecords();
    scene::GalleryCommand();
    EXPECT_EQ(position, 1);  // one, three, two: at "three" after the steps
    EXPECT_EQ(boxTexts(), Texts{"Information... This picture file is named thr\xef\xbf\xbd.bmp."});
    // New shows the pages from the first; the Gallery's place is kept for it.
    browse({kCancel}, &position);
    scene::NewPicture();
    EXPECT_EQ(position, 0);
    EXPECT_EQ(shell::Shell().browserPosition, 1);
    EXPECT_FALSE(room().undoAvailable);
    // Saved under its name as the dialog offered it, a picture goes back into its own file.
    browse({kOpen}), scene::GalleryCommand(), paintAll(kBlue), answerFile(home_ / "Gallery" / "thr\xef\xbf\xbd.bmp");
    scene::SaveCommand();
    EXPECT_EQ(FileBytes(home_ / "Gallery" / "thr\xe9.bmp")[54], '\xff');  // blue
}

}  // namespace
