// Printing, headless: the print dialog's outcomes, the page's measurements, where the picture
// lands on the page and what reaches it.
#include <gtest/gtest.h>

#include "app/preferences.h"
#include "tests/support/room_fixture.h"

using platform::PrintAnswer;
using platform::PrintFailure;

namespace {

class PrintTest : public RoomTest {
protected:
    void SetUp() override { RoomTest::SetUp(), start(800, 600), desktop().clearRecords(); }
    static PrintAnswer paper(double w, double h, int dpi) { return {.print = true, .choice = {"", w, h, dpi, dpi}}; }
    // Prints from the shelf and gives the one picture that reached the page.
    const platform::PrintedPicture& printFromShelf(PrintAnswer answer) {
        desktop().clearRecords(), desktop().answerPrintDialog(answer);
        const Point p = centreOf(scene::TheRoom().hotspots[scene::kPrinter].pointer);
        clickAt(p.x, p.y);
        return desktop().printed().at(0).pictures.at(0);
    }
};

TEST_F(PrintTest, ADialogThatPrintsNothingLeavesNoPrinterAndSaysOnlyWhatFailed) {
    struct Case { PrintAnswer answer; const char* message; };
    PrintAnswer refused{.print = true, .outputPath = "/no/such/folder/page.pdf"};
    for (const Case& c : {Case{PrintAnswer{}, nullptr},
                          Case{PrintAnswer{.failure = PrintFailure::PrinterNotFound}, "Attention! Printer not Found"},
                          Case{PrintAnswer{.failure = PrintFailure::NoSettings}, "Attention! Failed to get device mode"},
                          Case{PrintAnswer{.failure = PrintFailure::Document, .reason = "spool full"},
                               "Attention! The picture was not printed. spool full"},
                          Case{refused,
                               "Attention! The picture was not printed. error while writing to output stream"},
                          Case{PrintAnswer{.print = true, .jobFailure = "Kitchen is not accepting jobs"},
                               "Attention! The picture was not printed. Kitchen is not accepting jobs"}}) {
        desktop().clearRecords();
        desktop().answerPrintDialog(c.answer);
        const int result = tb_OpenPrinter();
        if (result == kPrinterHandle) tb_ClosePrinter();  // the refusal comes when the document is sent
        else EXPECT_EQ(result, -1);
        std::vector<std::string> shown;
        for (const auto& box : desktop().messageBoxes()) shown.push_back(box.caption + " " + box.text);
        EXPECT_EQ(shown, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_EQ(tb_GetPrinterDC(), nullptr);
        EXPECT_EQ(tb_GetPageWidthInches(), 0.0F);
        EXPECT_TRUE(desktop().printed().empty());
    }
}

TEST_F(PrintTest, ThePageIsMeasuredInPrinterPixelsAndItsChoiceIsOfferedAgain) {
    desktop().answerPrintDialog(paper(8.5, 11, 600));
    ASSERT_EQ(tb_OpenPrinter(), kPrinterHandle);
    Rect page{};
    tb_GetPrintableRect(&page);
    EXPECT_EQ(page, (Rect{0, 0, 5100, 6600}));
    // Figures and text reach the page; a fill there has nothing to read and does nothing.
    Rect box{100, 100, 600, 400};
    tb_PaintRect(kPrinterHandle, &box);
    tb_Line(kPrinterHandle, 0, 0, 5000, 6000, 8);
    tb_DrawText(kPrinterHandle, 300, 300, "Hello", 5, 0.0, 1, 0, 0);
    tb_FloodFill(kPrinterHandle, 10, 10, 65025, 65025, 65025);
    tb_EndPage();
    tb_ClosePrinter();
    ASSERT_EQ(desktop().printed().size(), 1u);
    EXPECT_TRUE(desktop().printed()[0].fills == 3 && desktop().printed()[0].pages == 1);

    // The next dialog is offered what this one chose, and taking it prints on the same paper.
    desktop().answerPrintDialog(PrintAnswer{.print = true});
    if (tb_OpenPrinter() == kPrinterHandle) tb_ClosePrinter();
    ASSERT_EQ(desktop().printOffers().size(), 2u);
    EXPECT_TRUE(desktop().printOffers()[0].settings.empty());
    EXPECT_EQ(desktop().printOffers()[1].settings, desktop().printed()[0].choice.settings);
    EXPECT_EQ(desktop().printed()[1].choice.pageHeightInches, 11.0);
    EXPECT_EQ(tb_GetPrinterDpiY(), 600);
}

TEST_F(PrintTest, ThePictureIsCentredAsLargeAsNineTenthsOfThePageAllow) {
    struct Case { int canvasW, canvasH, pageW, pageH; Rect printed; };
    for (const Case& c : {Case{634, 488, 4000, 3000, {246, 150, 246 + 3507, 150 + 2699}},
                          Case{400, 800, 6600, 5100, {2152, 255, 2152 + 2295, 255 + 4590}}}) {
        EXPECT_EQ(scene::PrintedRect(c.canvasW, c.canvasH, c.pageW, c.pageH), c.printed) << c.pageW;
    }
    // The whole way from the shelf, on letter paper and on a landscape page: the canvas, whole.
    for (const Case& c : {Case{634, 488, 850, 1100, {255, 1534, 255 + 4589, 1534 + 3532}},
                          Case{634, 488, 1100, 850, {330, 264, 330 + 5940, 264 + 4572}}}) {
        const platform::PrintedPicture& p = printFromShelf(paper(c.pageW / 100.0, c.pageH / 100.0, 600));
        EXPECT_EQ(p.to, c.printed);
        EXPECT_EQ(p.width * 1000 + p.height, c.canvasW * 1000 + c.canvasH);
    }
}

TEST_F(PrintTest, SavingInkWhitensEveryOtherPixelOfTheCopyOnly) {
    scene::Room& r = scene::TheRoom();
    tb_SetForeColor(r.canvas, 0, 0, 65025);
    tb_PaintRect(r.canvas, &r.picture);
    const int blue = countCanvas(Rgb{0, 0, 255});
    for (bool saveInk : {true, false}) {
        shell::Prefs().printOption = saveInk;
        const platform::PrintedPicture& p = printFromShelf(paper(8.5, 11, 600));
        int wrong = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const bool white = saveInk && (x % 2 == y % 2);
                wrong += p.pixels[static_cast<size_t>(y * p.width + x)] != (white ? 0xFFFFFFu : 0x0000FFu);
            }
        EXPECT_EQ(wrong, 0) << saveInk;
        EXPECT_EQ(countCanvas(Rgb{0, 0, 255}), blue);
        EXPECT_FALSE(r.modified);
    }
}

}  // namespace
