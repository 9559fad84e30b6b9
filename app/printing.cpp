// Printing the picture: one page, the picture as large as fits in nine tenths of the printable
// area and centred on it, lightened for saving ink when the preference asks for it. The canvas
// itself is never touched: the page gets a copy.
#include "app/preferences.h"
#include "app/room.h"
#include "app/shell.h"
#include "app/scene.h"
#include "toolbox/toolbox.h"

namespace scene {
namespace {

constexpr int kWhite = 65025;

// Whitens every pixel whose x and y are both even or both odd: half the ink, and the picture
// still reads.
void SaveInk(int bitmap, int width, int height) {
    for (int y = 0; y < height; ++y)
        for (int x = y % 2; x < width; x += 2) tb_SetPixel(bitmap, x, y, kWhite, kWhite, kWhite);
}

}  // namespace

// Where a picture of width x height lands on a page of pageWidth x pageHeight printer pixels.
// The scale is kept in single precision, as page sizes have always been computed: a picture
// whose scaled height comes out a hair below a whole pixel loses that row.
Rect PrintedRect(int width, int height, int pageWidth, int pageHeight) {
    const float sx = static_cast<float>(pageWidth * 0.9 / width);
    const float sy = static_cast<float>(pageHeight * 0.9 / height);
    float s = sx <= sy ? sx : sy;
    if (s <= 0.0F) s = 1.0F;
    const int w = tb_Trunc(width * static_cast<double>(s));
    const int h = tb_Trunc(height * static_cast<double>(s));
    const int left = (pageWidth - w) / 2, top = (pageHeight - h) / 2;
    return Rect{left, top, left + w, top + h};
}

void PrintPicture() {
    if (!shell::Shell().settings.print) return tb_Beep();  // printing is turned off here
    if (!GrownUpAllows()) return;  // the print dialog reaches printers and files
    if (tb_OpenPrinter() < 0) return;
    const Room& r = TheRoom();
    Rect whole{0, 0, r.picture.width(), r.picture.height()};
    const int copy = tb_CreateBitmap(&whole, -1, 24);
    if (copy < 0) {  // the table is full and has said so: no page rather than an empty one
        tb_ClosePrinter();
        return;
    }
    Rect printable{};
    tb_GetPrintableRect(&printable);
    Rect onPage = PrintedRect(whole.width(), whole.height(), tb_Round(printable.width()), tb_Round(printable.height()));
    tb_StartPage();
    tb_CopyBitmap(r.canvas, copy, &whole, &whole, 0);
    if (shell::Prefs().printOption) SaveInk(copy, whole.width(), whole.height());
    tb_CopyBitmap(copy, kPrinterHandle, &whole, &onPage, 0);
    tb_EndPage();
    tb_ClosePrinter();
    tb_DisposeBitmap(copy);
}

}  // namespace scene
