// The title screen, the About box and the Preferences dialog.
#include "dialogs/dialogs.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"

namespace dialogs {
namespace {

using platform::Message;
using platform::MsgKind;
using platform::NativeWindow;

constexpr int kTitleTimer = 1000;
constexpr int kTitleMs = 7000;
constexpr int kColumns = 4;
constexpr int kBoxLefts[kColumns] = {52, 134, 216, 297};
constexpr int kBoxSide = 64;
constexpr int kUpperTop = 78;
constexpr int kLowerTop = 155;
constexpr int kPreferencesWidth = 420;
constexpr int kPreferencesHeight = 319;
constexpr Rect kOk{290, 235, 327, 272};
constexpr Rect kCancel{327, 235, 363, 272};

// ---- Title screen ----------------------------------------------------------------------

void EndTitle(NativeWindow dialog, int result) {
    tb_KillTimer(dialog, kTitleTimer);
    tb_EndDialog(dialog, result);
}

long TitleProc(Message& msg) {
    if (tb_IsCancelCommand(msg)) return EndTitle(msg.window, 0), 0;
    switch (msg.kind) {
        case MsgKind::InitDialog:
            tb_SetTimer(msg.window, kTitleTimer, kTitleMs);
            tb_CentreDialog(msg.window, 448, 324, 1);
            return 1;
        case MsgKind::EraseBackground:
            return 1;
        case MsgKind::DisplayChange:
            tb_CentreDialog(msg.window, 448, 324, 1);
            [[fallthrough]];
        case MsgKind::Paint:
            tb_ShowPictureInDialog(msg.window, kBmpTitleScreen, nullptr, 0, 0);
            return 0;
        case MsgKind::Timer:
            if (msg.timerId == kTitleTimer) EndTitle(msg.window, 1);
            return 0;
        case MsgKind::LButtonDown:
            EndTitle(msg.window, 1);
            return 0;
        default:
            return 0;
    }
}

// ---- About -----------------------------------------------------------------------------

long AboutProc(Message& msg) {
    if (tb_IsCancelCommand(msg)) return tb_EndDialog(msg.window, 0), 0;
    switch (msg.kind) {
        case MsgKind::InitDialog:
            tb_CentreDialog(msg.window, 421, 244, 1);
            return 1;
        case MsgKind::EraseBackground:
            return 1;
        case MsgKind::DisplayChange:
            tb_CentreDialog(msg.window, 421, 244, 1);
            [[fallthrough]];
        case MsgKind::Paint:
            tb_ShowPictureInDialog(msg.window, kBmpAbout, nullptr, 0, 0);
            return 0;
        case MsgKind::MouseMove:
            tb_SetCursor(kCurArrow);
            return 0;
        case MsgKind::LButtonDown:
            tb_EndDialog(msg.window, 0);
            return 0;
        default:
            return 0;
    }
}

// ---- Preferences -----------------------------------------------------------------------

// The working values, column by column: sound, transitions, fit pictures, colour printing.
bool gChoice[kColumns];

// Box `row` (0 upper, 1 lower) of `column`, widened by 4 pixels on every side.
Rect Box(int column, int row) {
    const int top = row == 0 ? kUpperTop : kLowerTop;
    Rect r{kBoxLefts[column], top, kBoxLefts[column] + kBoxSide, top + kBoxSide};
    tb_InsetRect(&r, -4, -4);
    return r;
}

bool In(const Rect& r, int x, int y) { return tb_PtInRect(x, y, &r) != 0; }

bool Reacts(int x, int y) {
    if (In(kOk, x, y) || In(kCancel, x, y)) return true;
    for (int c = 0; c < kColumns; ++c) {
        if (In(Box(c, 0), x, y) || In(Box(c, 1), x, y)) return true;
    }
    return false;
}

void DrawChoices(NativeWindow dialog) {
    Rect rect{};
    const int picture = tb_CreateBitmap(&rect, kBmpPreferences, 24);
    if (picture < 0) return;
    tb_SetForeColor(picture, 0, 65025, 0);
    for (int c = 0; c < kColumns; ++c) {
        Rect chosen = Box(c, gChoice[c] ? 0 : 1);
        tb_FrameRect(picture, &chosen);
    }
    Rect to = rect;
    tb_CopyBitmapToDialog(dialog, picture, &rect, &to);
    tb_DisposeBitmap(picture);
}

void ReleaseChoice(NativeWindow dialog, int x, int y) {
    if (In(kCancel, x, y)) return tb_EndDialog(dialog, -1);
    if (In(kOk, x, y)) return tb_EndDialog(dialog, 1);
    for (int c = 0; c < kColumns; ++c) {
        if (In(Box(c, 0), x, y)) gChoice[c] = true;
        if (In(Box(c, 1), x, y)) gChoice[c] = false;
    }
    DrawChoices(dialog);
}

long PreferencesProc(Message& msg) {
    if (tb_IsCancelCommand(msg)) return tb_EndDialog(msg.window, 0), 0;
    if (tb_HoverAndPress(msg, Reacts(msg.x, msg.y))) return 0;
    switch (msg.kind) {
        case MsgKind::InitDialog:
            tb_SetDialogButtons({Box(0, 0), Box(0, 1), Box(1, 0), Box(1, 1), Box(2, 0), Box(2, 1), Box(3, 0), Box(3, 1), kOk, kCancel});
            tb_CentreDialog(msg.window, kPreferencesWidth, kPreferencesHeight, 0);
            return 1;
        case MsgKind::EraseBackground:
            tb_ShowPictureInDialog(msg.window, kBmpPreferences, nullptr, 0, 0);
            return 1;
        case MsgKind::Paint:
            DrawChoices(msg.window);
            return 0;
        case MsgKind::DisplayChange:  // a smaller screen could leave it where nobody sees it
            tb_CentreDialog(msg.window, kPreferencesWidth, kPreferencesHeight, 0);
            DrawChoices(msg.window);
            return 1;
        case MsgKind::LButtonUp:
            ReleaseChoice(msg.window, msg.x, msg.y);
            return 0;
        default:
            return 0;
    }
}

}  // namespace

int ShowTitleScreen() { return tb_DoDialog(kDialogTitleScreen, TitleProc); }

void ShowAbout() { tb_DoDialog(kDialogAbout, AboutProc); }

int PreferencesDialog(PreferenceChoices& choices) {
    gChoice[0] = choices.sound;
    gChoice[1] = choices.transitions;
    gChoice[2] = choices.fitPictures;
    gChoice[3] = choices.fullInk;
    const int result = tb_DoDialog(kDialogPreferences, PreferencesProc);
    if (result == 1) choices = PreferenceChoices{gChoice[0], gChoice[1], gChoice[2], gChoice[3]};
    return result;
}

}  // namespace dialogs
