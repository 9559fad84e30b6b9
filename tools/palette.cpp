// The colour palette: a modal dialog painted over the room, an artist's palette whose pixels are
// the colours to pick. A click on the palette shows the colour in the swatch beside it; the tick
// (or the swatch) accepts it, the cross or Escape cancels. Dialog client coordinates.
#include <iterator>
#include <vector>

#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"
#include "tools/tools.h"

namespace tools {
namespace {

using platform::Message;
using platform::MsgKind;

constexpr int kWidth = 369;
constexpr int kHeight = 242;
constexpr Rect kTick{130, 94, 153, 113};
constexpr Rect kCross{154, 94, 173, 113};
constexpr Rect kSwatch{15, 148, 63, 196};
constexpr Rect kPaletteArea{6, 8, 363, 234};  // the outline below, with room for the glow round it
constexpr Point kOutline[] = {{5, 80},    {24, 60},   {102, 24},  {189, 3},   {251, 5},   {299, 18},
                              {341, 42},  {366, 74},  {361, 112}, {333, 152}, {285, 190}, {222, 223},
                              {172, 238}, {131, 238}, {109, 232}, {84, 213},  {77, 185},  {107, 136},
                              {94, 124},  {48, 123},  {11, 117},  {1, 102}};

struct PaletteState {
    int outline = -1;      // region of the palette's shape
    Rect behind{};         // the room under the dialog, window coordinates
    bool picked = false;   // a colour was picked in this opening
    scene::Color chosen{};
};
PaletteState gPalette;

bool In(const Rect& r, int x, int y) { return tb_PtInRect(x, y, &r) != 0; }
bool OnPalette(int x, int y) { return tb_PtInRegion(x, y, gPalette.outline) != 0; }

// The room under the dialog, which is centred on the main window.
Rect PlaceOverRoom() {
    const scene::RoomFacts room = scene::FactsOfRoom();
    const int left = (room.width - kWidth) / 2, top = (room.height - kHeight) / 2;
    return Rect{left, top, left + kWidth, top + kHeight};
}

// The picked colour in the swatch: a black ring, a white ring, the colour.
void PaintSwatch(int work) {
    const scene::Color& c = gPalette.chosen;
    Rect swatch = kSwatch;
    tb_SetForeColor(work, 0, 0, 0);
    tb_PaintRect(work, &swatch);
    tb_InsetRect(&swatch, 2, 2);
    tb_SetForeColor(work, 65025, 65025, 65025);
    tb_PaintRect(work, &swatch);
    tb_InsetRect(&swatch, 2, 2);
    tb_SetForeColor(work, c.red, c.green, c.blue);
    tb_PaintRect(work, &swatch);
}

// The room behind the dialog with the palette on top, and the swatch once a colour is picked,
// in a new bitmap; -1 when none is free.
int PaintPalette() {
    Rect whole{0, 0, kWidth, kHeight};
    const int work = tb_CreateBitmap(&whole, -1, 24);
    Rect imageRect{}, maskRect{};
    const int image = tb_CreateBitmap(&imageRect, kBmpColourPalette, 24);
    const int mask = tb_CreateBitmap(&maskRect, kBmpColourPaletteMask, 8);
    if (work >= 0 && image >= 0 && mask >= 0) {
        Rect behind = gPalette.behind;
        tb_CopyBitmap(scene::FactsOfRoom().sceneBuffer, work, &behind, &whole, 0);
        tb_CopyMaskedBitmap(image, mask, work, &imageRect, &maskRect, &whole);
        if (gPalette.picked) PaintSwatch(work);
    }
    if (image >= 0) tb_DisposeBitmap(image);
    if (mask >= 0) tb_DisposeBitmap(mask);
    return work;
}

void Show(platform::NativeWindow dialog, int work) {
    if (work < 0) return;
    Rect whole{0, 0, kWidth, kHeight};
    tb_CopyBitmapToDialog(dialog, work, &whole, &whole);
    tb_DisposeBitmap(work);
}

void Pick(platform::NativeWindow dialog, int x, int y) {
    tb_PlaySound(kWavDropper);
    Rect imageRect{};
    const int image = tb_CreateBitmap(&imageRect, kBmpColourPalette, 24);
    if (image < 0) return;
    scene::Color& c = gPalette.chosen;
    tb_GetPixel(image, x, y, &c.red, &c.green, &c.blue);
    tb_DisposeBitmap(image);
    gPalette.picked = true;
    Show(dialog, PaintPalette());
}

void End(platform::NativeWindow dialog, int result) {
    tb_DisposeRegion(gPalette.outline);
    gPalette.outline = -1;
    tb_EndDialog(dialog, result);
}

long PaletteProc(Message& msg) {
    const int x = msg.x, y = msg.y;
    if (tb_IsCancelCommand(msg)) return End(msg.window, 0), 0;
    switch (msg.kind) {
        case MsgKind::InitDialog:  // a switch picks a point of the palette, then keeps it or leaves
            tb_SetDialogButtons({kCross, kTick}, kPaletteArea);
            return 0;
        case MsgKind::EraseBackground:
            return 1;
        case MsgKind::Paint:
            Show(msg.window, PaintPalette());
            return 0;
        case MsgKind::DisplayChange:  // the room behind has been laid out anew for the new screen
            gPalette.behind = PlaceOverRoom();
            tb_CentreDialog(msg.window, kWidth, kHeight, 0);
            Show(msg.window, PaintPalette());
            return 1;
        case MsgKind::MouseMove: {
            const bool accepts = gPalette.picked && (In(kTick, x, y) || In(kSwatch, x, y));
            tb_SetCursor(In(kCross, x, y) || accepts ? kCurPointing : OnPalette(x, y) ? kCurDropper : kCurArrow);
            return 0;
        }
        case MsgKind::LButtonDown:
            if (!In(kCross, x, y) && !In(kTick, x, y) && OnPalette(x, y)) Pick(msg.window, x, y);
            return 0;
        case MsgKind::LButtonUp:
            if (In(kCross, x, y)) {
                End(msg.window, -1);
            } else if (gPalette.picked && (In(kTick, x, y) || In(kSwatch, x, y))) {
                End(msg.window, 1);
            }
            return 0;

        default:
            return 0;
    }
}

}  // namespace

int OpenColourPalette(scene::Color& chosen) {
    gPalette.picked = false;
    std::vector<Point> points(std::begin(kOutline), std::end(kOutline));
    points.push_back(Point{kEndOfPoints, kEndOfPoints});
    gPalette.outline = tb_CreateRegion(points.data());
    gPalette.behind = PlaceOverRoom();
    const int result = tb_DoDialog(kDialogColourPalette, PaletteProc);
    if (gPalette.outline != -1) tb_DisposeRegion(gPalette.outline);
    gPalette.outline = -1;
    if (result == 1) chosen = gPalette.chosen;
    return result;
}

}  // namespace tools
