// The window table, message boxes, dialogs, cursors, and the pointer and key queries.
#include <array>
#include <utility>
#include <vector>

#include "toolbox/dialog_templates.h"
#include "toolbox/internal.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"
#include "platform/keyboard_pointer.h"
#include "platform/language.h"

using platform::MsgBoxButtons;
using platform::MsgBoxIcon;
using platform::MsgBoxResult;
using platform::MsgBoxStyle;
using platform::NativeWindow;
using platform::Plat;

namespace toolbox {
namespace {

struct WindowState {
    std::array<WindowSlot, kWindowSlots> slots{};
    NativeWindow mainWindow = 0;
    int mouseMode = kMouseModeScreen;
    int buttonMode = 0;
    int dialogsOpen = 0;  // painted dialogs running, one inside another
    // Their procedures, innermost last, each with its window once its first message told it.
    std::vector<std::pair<platform::WindowProc, NativeWindow>> running;
    std::vector<std::pair<std::vector<Rect>, Rect>> buttons;  // each running dialog's, and its pick area
};

// Kept apart from the table: the hook outlives each room (ResetWindowTable).
void (*gDialogPainted)(NativeWindow) = nullptr;

WindowState gWin;

// The window class outlives tb_Init: it is registered before the toolbox starts.
struct WindowClass {
    platform::WindowProc proc = nullptr;
    int icon = 0;
};
WindowClass gClass;

long ProcOfDialog(platform::Message& msg) {
    for (auto it = gWin.running.rbegin(); it != gWin.running.rend(); ++it)
        if (it->second == msg.window) return it->first(msg);
    if (gWin.running.empty()) return Plat().defWindowProc(msg);
    gWin.running.back().second = msg.window;
    return gWin.running.back().first(msg);
}

long RunningDialogProc(platform::Message& msg) {
    const long result = ProcOfDialog(msg);
    if (msg.kind == platform::MsgKind::Paint && gDialogPainted != nullptr && !gWin.running.empty() &&
        msg.window == gWin.running.back().second)
        gDialogPainted(msg.window);
    return result;
}

int SlotIndex(int handle) {
    if (handle < kFirstWindowHandle || handle >= kFirstWindowHandle + kWindowSlots) return -1;
    return handle - kFirstWindowHandle;
}

}  // namespace

void ResetWindowTable() { gWin = WindowState{}; }

WindowSlot* FindWindowSlot(int handle) {
    int index = SlotIndex(handle);
    if (index < 0 || gWin.slots[index].free) return nullptr;
    return &gWin.slots[index];
}

bool ResolveWindowTarget(int handle, Target& out) {
    WindowSlot* slot = FindWindowSlot(handle);
    if (slot == nullptr || !Plat().isWindow(slot->window)) return false;
    out = Target{};
    out.view = Plat().backingStore(slot->window);
    out.draw = &slot->draw;
    out.window = slot->window;
    return out.view.isValid();
}

void PresentTarget(const Target& target, const Rect& changed) {
    if (target.window == 0) return;
    Rect bounds{0, 0, target.view.width, target.view.height};
    Rect visible = IntersectRects(changed, bounds);
    if (!visible.isEmpty()) Plat().present(target.window, visible);
}

}  // namespace toolbox

using toolbox::gClass;
using toolbox::gWin;

int tb_RegisterWindowClass(platform::WindowProc proc, int iconId) {
    if (proc == nullptr) return 0;
    gClass.proc = proc;
    gClass.icon = iconId;
    return 1;
}

int tb_OpenWindow(const Rect* rect, const char* title) {
    int index = -1;
    for (int i = 0; i < kWindowSlots; ++i) {
        if (gWin.slots[i].free) {
            index = i;
            break;
        }
    }
    if (index < 0) {
        tb_ErrorMessage("No more available Windows! (tb_OpenWindow)");
        return -1;
    }
    NativeWindow window = rect != nullptr ? Plat().createWindow(*rect, title != nullptr ? title : "", gClass.proc) : 0;
    if (window == 0) {
        tb_ErrorMessage("Failed to create Window! (tb_OpenWindow)");
        return -1;
    }
    if (gClass.icon != 0) Plat().setWindowIcon(window, gClass.icon);
    if (gWin.mainWindow == 0) gWin.mainWindow = window;
    toolbox::WindowSlot& slot = gWin.slots[index];
    slot.window = window;
    slot.free = false;
    Plat().showWindow(window);
    return kFirstWindowHandle + index;
}

void tb_DisposeOfWindow(int window) {
    int index = toolbox::SlotIndex(window);
    if (index < 0 || gWin.slots[index].window == 0) {
        tb_ErrorMessage("Invalid window hanlde, can't destroy! (tb_DisposeOfWindow)");
        return;
    }
    // The platform handle stays in the slot; only the free flag changes.
    toolbox::WindowSlot& slot = gWin.slots[index];
    slot.free = true;
    if (Plat().isWindow(slot.window)) Plat().destroyWindow(slot.window);
}

void tb_GetClientRect(int window, Rect* rect) {
    toolbox::WindowSlot* slot = toolbox::FindWindowSlot(window);
    if (slot == nullptr) {
        tb_ErrorMessage("Invalid window! (tb_GetClientRect)");
        return;
    }
    if (rect != nullptr) *rect = Plat().clientRect(slot->window);
}

void tb_GetWindowRect(int window, Rect* rect) {
    toolbox::WindowSlot* slot = toolbox::FindWindowSlot(window);
    if (slot == nullptr) {
        tb_ErrorMessage("Invalid window! (tb_GetWindowRect)");
        return;
    }
    if (rect != nullptr) *rect = Plat().windowRect(slot->window);
}

void tb_SetWindowTitle(int window, const char* title) {
    toolbox::WindowSlot* slot = toolbox::FindWindowSlot(window);
    if (slot == nullptr) {
        tb_ErrorMessage("Invalid window! (tb_SetWindowTitle)");
        return;
    }
    Plat().setWindowTitle(slot->window, title != nullptr ? title : "");
}

NativeWindow tb_GetWindowHandle(int window) {
    toolbox::WindowSlot* slot = toolbox::FindWindowSlot(window);
    return slot != nullptr ? slot->window : 0;
}

NativeWindow tb_GetMainWindow() { return gWin.mainWindow; }

int tb_DoDialog(int dialogId, DialogProc proc) {
    const platform::DialogTemplate* tmpl = toolbox::FindDialogTemplate(dialogId);
    if (tmpl == nullptr || proc == nullptr) return -1;
    ++gWin.dialogsOpen;
    gWin.running.emplace_back(proc, 0);
    gWin.buttons.emplace_back();
    const int result = Plat().runDialog(gWin.mainWindow, *tmpl, toolbox::RunningDialogProc);
    gWin.running.pop_back();
    gWin.buttons.pop_back();
    --gWin.dialogsOpen;
    return result;
}

int tb_DialogOpen() { return gWin.dialogsOpen > 0 ? 1 : 0; }

NativeWindow tb_DialogWindow() { return gWin.running.empty() ? 0 : gWin.running.back().second; }

void tb_SetDialogButtons(std::vector<Rect> buttons, Rect pickArea) {
    if (!gWin.buttons.empty()) gWin.buttons.back() = {std::move(buttons), pickArea};
}

std::vector<Rect> tb_DialogButtons() { return gWin.buttons.empty() ? std::vector<Rect>{} : gWin.buttons.back().first; }

void tb_SetDialogPaintHook(void (*hook)(platform::NativeWindow dialog)) { toolbox::gDialogPainted = hook; }

Rect tb_DialogPickArea() { return gWin.buttons.empty() ? Rect{} : gWin.buttons.back().second; }

void tb_Repaint(NativeWindow window) {
    platform::Message paint{};
    paint.kind = platform::MsgKind::Paint;
    paint.window = window;
    if (window != 0 && Plat().isWindow(window)) Plat().dispatchMessage(paint);
}

void tb_EndDialog(NativeWindow dialog, int result) { Plat().endDialog(dialog, result); }

void tb_ListReset(NativeWindow dialog, int control) { Plat().listReset(dialog, control); }
void tb_ListAddString(NativeWindow dialog, int control, const std::string& text) {
    Plat().listAddString(dialog, control, text);
}
int tb_ListFindExact(NativeWindow dialog, int control, const std::string& text) {
    return Plat().listFindExact(dialog, control, text);
}
void tb_ListSetSelection(NativeWindow dialog, int control, int index) {
    Plat().listSetSelection(dialog, control, index);
}
int tb_ListGetSelection(NativeWindow dialog, int control) { return Plat().listGetSelection(dialog, control); }
std::string tb_ListGetText(NativeWindow dialog, int control, int index) {
    return Plat().listGetText(dialog, control, index);
}
std::string tb_EditGetText(NativeWindow dialog, int control) { return Plat().editGetText(dialog, control); }
void tb_EditSetText(NativeWindow dialog, int control, const std::string& text) {
    Plat().editSetText(dialog, control, text);
}

int tb_HoverAndPress(const platform::Message& msg, bool reacts) {
    if (msg.kind == platform::MsgKind::MouseMove) {
        tb_SetCursor(reacts ? kCurPointing : kCurArrow);
    } else if (msg.kind == platform::MsgKind::LButtonDown) {
        if (reacts) tb_PlaySound(kWavControl);
    } else {
        return 0;
    }
    return 1;
}

Rect tb_CentreDialog(NativeWindow dialog, int width, int height, int onDesktop) {
    const Rect on = onDesktop != 0 ? Plat().desktopRect() : Plat().windowRect(gWin.mainWindow);
    const int left = on.left + (on.width() - width) / 2;
    const int top = on.top + (on.height() - height) / 2;
    const Rect placed{left, top, left + width, top + height};
    tb_MoveDialog(dialog, &placed);
    return placed;
}

void tb_ShowPictureInDialog(NativeWindow dialog, int pictureId, const Rect* part, int x, int y) {
    Rect whole{};
    const int picture = tb_CreateBitmap(&whole, pictureId, 24);
    if (picture < 0) return;
    Rect from = part != nullptr ? *part : whole;
    Rect to{x, y, x + from.width(), y + from.height()};
    tb_CopyBitmapToDialog(dialog, picture, &from, &to);
    tb_DisposeBitmap(picture);
}

int tb_IsCancelCommand(const platform::Message& msg) {
    return msg.kind == platform::MsgKind::Close ||
           (msg.kind == platform::MsgKind::KeyDown && msg.key == platform::kVkEscape);
}

void tb_MoveDialog(NativeWindow dialog, const Rect* rect) {
    if (rect != nullptr && !rect->isEmpty()) Plat().moveWindow(dialog, *rect);
}

void tb_ErrorMessage(const char* text) {
    MsgBoxStyle style{MsgBoxButtons::Ok, MsgBoxIcon::Exclamation, true};
    Plat().messageBox(0, Tr("Error..."), text, style);
}

void tb_AttentionMessage(const char* text) {
    MsgBoxStyle style{MsgBoxButtons::Ok, MsgBoxIcon::Information, false};
    Plat().messageBox(gWin.mainWindow, Tr("Attention!"), text, style);
}

void tb_InfoMessage(const char* text) {
    MsgBoxStyle style{MsgBoxButtons::Ok, MsgBoxIcon::Information, false};
    Plat().messageBox(gWin.mainWindow, Tr("Information..."), text, style);
}

int tb_AskYesNo(const char* text) {
    MsgBoxStyle style{MsgBoxButtons::YesNo, MsgBoxIcon::Question, true};
    switch (Plat().messageBox(0, Tr("Attention..."), text, style)) {
        case MsgBoxResult::Yes: return 1;
        case MsgBoxResult::No: return 0;
        default: return -1;
    }
}

void tb_SetCursor(int cursorId) { Plat().setCursor(cursorId); }

int tb_OpenHelpPage(const std::string& path) { return Plat().openInBrowser(path) ? 1 : 0; }

void tb_SetMouseMode(int mode) { gWin.mouseMode = mode; }
int tb_GetMouseMode() { return gWin.mouseMode; }

void tb_GetMousePosition(Point* point) {
    if (point == nullptr) return;
    if (gWin.mouseMode == kMouseModeScreen) {
        *point = Plat().cursorPos();
    } else if (gWin.mouseMode == kMouseModeClient) {
        Point screen = Plat().cursorPos();
        Rect origin = gWin.mainWindow != 0 ? Plat().windowRect(gWin.mainWindow) : Rect{};
        *point = Point{screen.x - origin.left, screen.y - origin.top};
    }
}

void tb_SetMousePosition(int x, int y) {
    if (gWin.mouseMode == kMouseModeScreen) {
        Plat().setCursorPos(Point{x, y});
    } else if (gWin.mouseMode == kMouseModeClient) {
        Rect origin = gWin.mainWindow != 0 ? Plat().windowRect(gWin.mainWindow) : Rect{};
        Plat().setCursorPos(Point{x + origin.left, y + origin.top});
    }
}

void tb_SetButtonMode(int mode) { gWin.buttonMode = mode; }

int tb_Button() {
    using platform::MouseButton;
    // The Scissors poll the button mid-drag; a key may be holding it.
    if (platform::KeyboardPointerHoldsButton()) return 1;
    if (gWin.buttonMode != 0) {
        return (Plat().isButtonDown(MouseButton::Left) || Plat().isButtonDown(MouseButton::Right)) ? 1 : 0;
    }
    MouseButton primary = Plat().buttonsSwapped() ? MouseButton::Right : MouseButton::Left;
    return Plat().isButtonDown(primary) ? 1 : 0;
}

int tb_KeyDown(int virtualKey) { return Plat().isKeyDown(virtualKey) ? 1 : 0; }
