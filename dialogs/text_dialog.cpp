// The text dialog: a painted dialog with a real edit box for the line of text and a real sorted
// list of the installed fonts, three styles and five sizes to click, and a live sample. The
// choices are made on working copies that take effect only on OK.
#include <algorithm>

#include "dialogs/dialogs.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"

namespace dialogs {
namespace {

using platform::Message;
using platform::MsgKind;
using platform::NativeWindow;

constexpr int kWidth = 495;
constexpr int kHeight = 370;
constexpr int kEdit = 1000;
constexpr int kList = 1001;
constexpr Rect kCancel{414, 288, 445, 326};
constexpr Rect kOk{375, 288, 411, 326};
constexpr Rect kSample{231, 67, 442, 149};
constexpr int kStyles = 3;
constexpr int kSizes = 5;
constexpr int kStyleTops[kStyles] = {185, 211, 239};
constexpr int kStyleMarkerTops[kStyles] = {188, 215, 242};
constexpr int kSizeTop = 178, kSizeStep = 17, kSizeMarkerTop = 182;
constexpr int kPanel[3] = {3060, 2805, 2550};  // the dark panel the markers and the sample lie on
const char* const kSampleText = "ABCxyz123";

TextSettings gWorking;

Rect StyleChoice(int i) { return Rect{248, kStyleTops[i], 316, kStyleTops[i] + 14}; }
Rect StyleMarker(int i) { return Rect{237, kStyleMarkerTops[i], 243, kStyleMarkerTops[i] + 6}; }
Rect SizeChoice(int j) { return Rect{363, kSizeTop + j * kSizeStep, 431, kSizeTop + j * kSizeStep + 14}; }
Rect SizeMarker(int j) { return Rect{350, kSizeMarkerTop + j * kSizeStep, 356, kSizeMarkerTop + j * kSizeStep + 6}; }
bool In(const Rect& r, int x, int y) { return tb_PtInRect(x, y, &r) != 0; }

bool Reacts(int x, int y) {
    if (In(kOk, x, y) || In(kCancel, x, y)) return true;
    for (int i = 0; i < kStyles; ++i) {
        if (In(StyleChoice(i), x, y)) return true;
    }
    for (int j = 0; j < kSizes; ++j) {
        if (In(SizeChoice(j), x, y)) return true;
    }
    return false;
}

// A new bitmap of the panel colour, or -1.
int PanelBitmap(int width, int height) {
    Rect rect{0, 0, width, height};
    const int bitmap = tb_CreateBitmap(&rect, -1, 24);
    if (bitmap < 0) return -1;
    tb_SetForeColor(bitmap, kPanel[0], kPanel[1], kPanel[2]);
    tb_PaintRect(bitmap, &rect);
    return bitmap;
}

// The marker at `place`: a green disc, or only the panel when it is taken away.
void ShowMarker(NativeWindow dialog, const Rect& place, bool on) {
    const int marker = PanelBitmap(6, 6);
    if (marker < 0) return;
    Rect rect{0, 0, 6, 6};
    if (on) {
        tb_SetForeColor(marker, 0, 65025, 0);
        tb_PaintEllipse(marker, &rect);
    }
    Rect to = place;
    tb_CopyBitmapToDialog(dialog, marker, &rect, &to);
    tb_DisposeBitmap(marker);
}

void ShowSample(NativeWindow dialog) {
    const int sample = PanelBitmap(kSample.width(), kSample.height());
    if (sample < 0) return;
    const int height = kTextSizes[gWorking.sizeIndex];
    DrawTextAt(sample, 105, height / 2 + 41, kSampleText, gWorking.face, height, gWorking.style, 0, 0, 65025, 0,
               nullptr);
    Rect rect{0, 0, kSample.width(), kSample.height()};
    Rect to = kSample;
    tb_CopyBitmapToDialog(dialog, sample, &rect, &to);
    tb_DisposeBitmap(sample);
}

void FillFontList(NativeWindow dialog) {
    tb_ListReset(dialog, kList);
    for (const std::string& family : tb_FontFamilies()) tb_ListAddString(dialog, kList, family);
    const int at = tb_ListFindExact(dialog, kList, gWorking.face);
    tb_ListSetSelection(dialog, kList, at >= 0 ? at : 0);  // the working face stays as it is
}

void Release(NativeWindow dialog, int x, int y) {
    int result = 0;
    if (In(kCancel, x, y)) {
        result = -1;
    } else if (In(kOk, x, y)) {
        result = 1;
    }
    for (int i = 0; i < kStyles; ++i) {
        if (!In(StyleChoice(i), x, y)) continue;
        ShowMarker(dialog, StyleMarker(gWorking.style), false);
        ShowMarker(dialog, StyleMarker(i), true);
        gWorking.style = i;
        ShowSample(dialog);
    }
    for (int j = 0; j < kSizes; ++j) {
        if (!In(SizeChoice(j), x, y)) continue;
        ShowMarker(dialog, SizeMarker(gWorking.sizeIndex), false);
        ShowMarker(dialog, SizeMarker(j), true);
        gWorking.sizeIndex = j;
        ShowSample(dialog);
    }
    gWorking.text = Utf8Prefix(tb_EditGetText(dialog, kEdit), kMostTextBytes);
    if (result != 0) tb_EndDialog(dialog, result);
}

long TextDialogProc(Message& msg) {
    if (tb_IsCancelCommand(msg)) return tb_EndDialog(msg.window, 0), 0;
    if (tb_HoverAndPress(msg, Reacts(msg.x, msg.y))) return 0;
    switch (msg.kind) {
        case MsgKind::InitDialog: {
            // The font list and the text are typed or chosen with keys; a switch picks the rest.
            tb_SetDialogButtons({StyleChoice(0), StyleChoice(1), StyleChoice(2), SizeChoice(0), SizeChoice(1), SizeChoice(2),
                                 SizeChoice(3), SizeChoice(4), kOk, kCancel});
            tb_CentreDialog(msg.window, kWidth, kHeight, 0);
            FillFontList(msg.window);
            tb_EditSetText(msg.window, kEdit, gWorking.text);
            return 1;
        }
        case MsgKind::EraseBackground:
            tb_ShowPictureInDialog(msg.window, kBmpFontDialog, nullptr, 0, 0);
            return 1;
        case MsgKind::DisplayChange:  // a smaller screen could leave it where nobody sees it
            tb_CentreDialog(msg.window, kWidth, kHeight, 0);
            tb_ShowPictureInDialog(msg.window, kBmpFontDialog, nullptr, 0, 0);
            [[fallthrough]];
        case MsgKind::Paint:
            ShowMarker(msg.window, StyleMarker(gWorking.style), true);
            ShowMarker(msg.window, SizeMarker(gWorking.sizeIndex), true);
            ShowSample(msg.window);
            return 0;
        case MsgKind::Command:
            if (msg.command == kList) {
                const int at = tb_ListGetSelection(msg.window, kList);
                if (at >= 0) gWorking.face = tb_ListGetText(msg.window, kList, at);  // whole, or it is not found again
                ShowSample(msg.window);
            }
            return 0;
        case MsgKind::LButtonUp:
            Release(msg.window, msg.x, msg.y);
            return 0;
        default:
            return 0;
    }
}

}  // namespace

int TextSettingsDialog() {
    gWorking = Text();
    gWorking.sizeIndex = std::clamp(gWorking.sizeIndex, 0, kSizes - 1);
    gWorking.style = std::clamp(gWorking.style, 0, kStyles - 1);
    const int result = tb_DoDialog(kDialogText, TextDialogProc);
    if (result == 1) Text() = gWorking;
    return result;
}

}  // namespace dialogs
