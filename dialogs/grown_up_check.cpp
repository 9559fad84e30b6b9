// The grown-up check: a sum of two two-digit numbers on a chalkboard, answered by typing. A
// reader manages it at once; a small child can neither read it nor hit the answer by chance in
// three goes. What is typed shows only as dots, so a child watching learns nothing to repeat.
#include <cstdlib>
#include <fstream>
#include <string>

#include "dialogs/dialogs.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"

namespace dialogs {
namespace {

using platform::Message;
using platform::MsgKind;
using platform::NativeWindow;

constexpr int kWidth = 360;
constexpr int kHeight = 232;
constexpr Rect kBoard{118, 28, 332, 92};
constexpr Rect kSlot{116, 116, 334, 148};
constexpr Rect kOk{262, 176, 299, 213};
constexpr Rect kCancel{299, 176, 336, 213};
constexpr int kTryCentreX[kGrownUpTries] = {34, 60, 86};
constexpr int kTryCentreY = 160;
constexpr int kTryRadius = 7;
constexpr int kDot = 16;        // a dot's diameter
constexpr int kDotStep = 26;    // from one dot to the next
constexpr size_t kMostDigits = 3;  // 99 + 99 has three
constexpr int kChalk[3] = {65025, 65025, 65025};
constexpr int kInk[3] = {43 * 255, 33 * 255, 64 * 255};
constexpr int kTryLeft[3] = {255 * 255, 210 * 255, 63 * 255};
constexpr int kTryUsed[3] = {138 * 255, 90 * 255, 34 * 255};
constexpr const char* kChalkFace = "DejaVu Sans";

struct Check {
    int first = 0, second = 0;
    std::string typed;  // digits only
    int wrong = 0;
};
Check gCheck;

// New numbers, never the pair just shown: a guess learnt from one sum is no use on the next.
void NewSum() {
    const int first = gCheck.first, second = gCheck.second;
    do {
        gCheck.first = tb_Random(10, 99);
        gCheck.second = tb_Random(10, 99);
    } while (gCheck.first == first && gCheck.second == second);
    gCheck.typed.clear();
    // The end-to-end tests answer the check on a real screen that they cannot read: there each
    // sum is written into the file PICTORIA_TEST_SUMS names. Nobody can set it at the keyboard of
    // a program already running, so it opens no way past the check.
    if (const char* path = std::getenv("PICTORIA_TEST_SUMS"))
        std::ofstream(path, std::ios::app) << gCheck.first << " " << gCheck.second << "\n";
}

void Paint(NativeWindow dialog) {
    Rect whole{0, 0, kWidth, kHeight};
    const int work = tb_CreateBitmap(&whole, -1, 24);
    Rect artRect{};
    const int art = tb_CreateBitmap(&artRect, kBmpGrownUp, 24);
    if (work >= 0 && art >= 0) {
        tb_CopyBitmap(art, work, &artRect, &whole, 0);
        const std::string sum = std::to_string(gCheck.first) + " + " + std::to_string(gCheck.second) + " = ?";
        const Rect board = kBoard;
        DrawTextAt(work, (kBoard.left + kBoard.right) / 2, kBoard.bottom - 15, sum, kChalkFace, 28, 1, kChalk[0],
                   kChalk[1], kChalk[2], 0, &board);
        tb_SetForeColor(work, kInk[0], kInk[1], kInk[2]);
        const int top = (kSlot.top + kSlot.bottom - kDot) / 2;
        for (size_t i = 0; i < gCheck.typed.size(); ++i) {
            const int left = kSlot.left + 14 + static_cast<int>(i) * kDotStep;
            Rect dot{left, top, left + kDot, top + kDot};
            tb_PaintEllipse(work, &dot);
        }
        for (int t = 0; t < kGrownUpTries; ++t) {
            const int* colour = t < kGrownUpTries - gCheck.wrong ? kTryLeft : kTryUsed;
            tb_SetForeColor(work, colour[0], colour[1], colour[2]);
            Rect light{kTryCentreX[t] - kTryRadius, kTryCentreY - kTryRadius, kTryCentreX[t] + kTryRadius,
                       kTryCentreY + kTryRadius};
            tb_PaintEllipse(work, &light);
        }
        tb_CopyBitmapToDialog(dialog, work, &whole, &whole);
    }
    for (int handle : {work, art}) {
        if (handle >= 0) tb_DisposeBitmap(handle);
    }
}

// Right: the dialog ends with 1. Wrong: a try is used up and a new sum shown, and the third
// wrong answer ends it with -1.
void Answer(NativeWindow dialog) {
    if (!gCheck.typed.empty() && std::stoi(gCheck.typed) == gCheck.first + gCheck.second) {
        tb_PlaySoundNow(kWavChoose);
        return tb_EndDialog(dialog, 1);
    }
    tb_Beep();
    if (++gCheck.wrong >= kGrownUpTries) return tb_EndDialog(dialog, -1);
    NewSum();
    Paint(dialog);
}

void Key(NativeWindow dialog, int key) {
    if (key >= platform::kVkNumpad0 && key <= platform::kVkNumpad0 + 9) key = '0' + key - platform::kVkNumpad0;  // a sum is typed there
    if (key >= '0' && key <= '9' && gCheck.typed.size() < kMostDigits) {
        gCheck.typed.push_back(static_cast<char>(key));
    } else if (key == platform::kVkBack && !gCheck.typed.empty()) {
        gCheck.typed.pop_back();
    } else if (key == platform::kVkReturn) {
        return Answer(dialog);
    } else {
        return;
    }
    tb_PlaySound(kWavControl);
    Paint(dialog);
}

bool Reacts(int x, int y) { return tb_PtInRect(x, y, &kOk) != 0 || tb_PtInRect(x, y, &kCancel) != 0; }

long GrownUpProc(Message& msg) {
    if (tb_IsCancelCommand(msg)) return tb_EndDialog(msg.window, 0), 0;
    if (tb_HoverAndPress(msg, Reacts(msg.x, msg.y))) return 0;
    switch (msg.kind) {
        case MsgKind::InitDialog:
            tb_SetDialogButtons({kOk, kCancel});  // the sum is typed: a switch alone can only leave
            tb_CentreDialog(msg.window, kWidth, kHeight, 0);
            return 1;
        case MsgKind::EraseBackground:
            return 1;
        case MsgKind::DisplayChange:
            tb_CentreDialog(msg.window, kWidth, kHeight, 0);
            [[fallthrough]];
        case MsgKind::Paint:
            Paint(msg.window);
            return 0;
        case MsgKind::KeyDown:
            Key(msg.window, msg.key);
            return 0;
        case MsgKind::LButtonUp:
            if (tb_PtInRect(msg.x, msg.y, &kOk)) Answer(msg.window);
            if (tb_PtInRect(msg.x, msg.y, &kCancel)) tb_EndDialog(msg.window, -1);
            return 0;
        default:
            return 0;
    }
}

}  // namespace

bool AskGrownUp() {
    gCheck = Check{};
    NewSum();
    const bool right = tb_DoDialog(kDialogGrownUp, GrownUpProc) == 1;
    gCheck = Check{};  // nothing of the answer stays behind
    return right;
}

GrownUpSum GrownUpSumShown() { return GrownUpSum{gCheck.first, gCheck.second}; }

}  // namespace dialogs
