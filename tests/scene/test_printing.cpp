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
    void SetUp() override { RoomTest::SetUp(), desktop().clearRecords(); }
    static PrintAnswer paper(double w, double h, int dpi) { return {.print = true, .choice = {"", w, h, dpi, dpi}}; }
    // Prints from the shelf and gives the one picture that reached the page.
    const platform::PrintedPicture& printFromShelf(PrintAnswer answer) {
        desktop().clearRecords(), desktop().answerPrintDialog(answer);
        clickAt(centreOf(room().hotspots[scene::kPrinter].pointer));
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

TEST_F(PrintTest, ThePictureIsCentredAsLargeAsNineTenthsOfThePageAllow) {
    // The page is measured in printer pixels: letter paper at 600 dpi.
    desktop().answerPrintDialog(paper(8.5, 11, 600));
    ASSERT_EQ(tb_OpenPrinter(), kPrinterHandle);
    Rect page{};
    tb_GetPrintableRect(&page);
    tb_ClosePrinter();
    EXPECT_EQ(page, (Rect{0, 0, 5100, 6600}));
    struct Case { int canvasW, canvasH, pageW, pageH; Rect printed; };
    for (const Case& c : {Case{634, 488, 4000, 3000, {246, 150, 246 + 3507, 150 + 2699}},
                          Case{400, 800, 6600, 5100, {2152, 255, 2152 + 2295, 255 + 4590}}}) {
        EXPECT_EQ(scene::PrintedRect(c.canvasW, c.canvasH, c.pageW, c.pageH), c.printed) << c.pageW;
    }
}

TEST_F(PrintTest, SavingInkWhitensTheCopyOnly) {
    paint(room().picture, kBlue);
    shell::Prefs().printOption = true;
    const platform::PrintedPicture& p = printFromShelf(paper(8.5, 11, 600));
    EXPECT_EQ(p.pixels.at(0), 0xFFFFFFu);
    EXPECT_EQ(p.pixels.at(1), 0x0000FFu);
    EXPECT_EQ(countCanvas(kBlue), 634 * 488);
    EXPECT_FALSE(room().modified);
}

}  // namespace
