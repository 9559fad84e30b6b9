#include "app/shell.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "app/game_pad.h"
#include "app/preferences.h"
#include "app/recovery.h"
#include "app/room.h"
#include "app/scene.h"
#include "app/settings.h"
#include "app/switch_scan.h"
#include "dialogs/dialogs.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"
#include "platform/keyboard_pointer.h"
#include "platform/language.h"

using platform::Message;
using platform::MsgKind;
using platform::Plat;

namespace shell {

const char* const kDepthRefusal = TrLater(
    "Pictoria requires that your display be set to 16 or 24 bits per pixel color mode. "
    "Please adjust your display settings and then restart Pictoria.");
const char* const kResolutionAdvice =
    TrLater("Pictoria works best when your display is set to a resolution of 800x600 or 640x480.");
const char* const kRemoteHint = TrLater(
    "Press the Remote Control (on the yellow table below,\nnext to the monitor and cleaner bottle) to access the\n"
    "menu options such as Open, Save, Quit, New, Help, etc");

namespace {

ShellState gShell;

constexpr int kDefaultCursor = kCurArrow;
constexpr int kScissorsPollMs = 10;
constexpr uint32_t kReleaseEveryMs = 1000;

std::vector<platform::MenuItem> BuildPopupMenu() {
    return {
        {kCmdNew, Tr("&New...")},   {kCmdOpen, Tr("&Open...")}, {kCmdSave, Tr("&Save...")},
        {kCmdExport, Tr("&Export as PNG...")},
        {0, ""},                    {kCmdGallery, Tr("&Gallery...")},
        {0, ""},                    {kCmdPreferences, Tr("&Preferences...")},
        {0, ""},                    {kCmdHelp, Tr("&Help...")}, {kCmdAbout, Tr("&About...")},
        {0, ""},                    {kCmdQuit, Tr("&Quit...")},
    };
}

std::string CurrentDirectory() {
    std::string path(PATH_MAX, '\0');
    if (getcwd(path.data(), path.size()) == nullptr) return std::string();
    path.resize(std::char_traits<char>::length(path.c_str()));
    return path;
}

// Shows every pixel of the room at the factor asked for, or at the one that suits the screen.
// True when the program chose a factor beyond the desktop's own.
bool ApplyScale() {
    const platform::ScreenPixels screen = Plat().screenPixels();
    Plat().setScale(ChooseScale(gShell.scaleAsked, screen));
    // A desktop that cannot scale windows keeps its own factor.
    return gShell.scaleAsked == kScaleAuto && Plat().screenPixels().factor > screen.desktopFactor;
}

// The advice asks the parent to change the whole desktop for one program, so it is given once
// for a user, and never where the program has brought the room to its designed size itself.
void GiveResolutionAdvice(bool selfScaled) {
    const Rect room = Plat().desktopRect();
    if (selfScaled || (room.width() < 801 && room.height() < 601)) return;
    const std::string folder = recovery::Folder();
    const std::string given = folder + "/resolution-advice-given";
    if (!folder.empty() && access(given.c_str(), F_OK) == 0) return;
    tb_AttentionMessage(Tr(kResolutionAdvice));
    if (!folder.empty()) close(open(given.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
}

bool IsMainWindow(const Message& msg) { return gShell.mainNative != 0 && msg.window == gShell.mainNative; }

// Where the window belongs: over the whole desktop, unless the window manager keeps it elsewhere.
Rect HomeOfWindow() {
    if (!gShell.kept.isEmpty()) return gShell.kept;
    const Rect d = gShell.desktop;
    return Rect{0, 0, d.width(), d.height()};
}

void KeepWindowOverDesktop() { Plat().moveWindow(gShell.mainNative, HomeOfWindow()); }

// A window placed somewhere else is sent home once; the same answer again is the window
// manager's last word, and asking on would be an endless exchange of requests. The room is then
// laid out again for the window it gets.
void AnswerPlacement(Message& msg) {
    if (!IsMainWindow(msg) || msg.rect != gShell.refused || msg.rect.isEmpty()) {
        if (IsMainWindow(msg)) gShell.refused = msg.rect;
        msg.rect = HomeOfWindow();
        return;
    }
    gShell.kept = msg.rect;
    Plat().moveWindow(gShell.mainNative, msg.rect);
    Rect client{};
    tb_GetClientRect(gShell.mainWindow, &client);
    if (gShell.ready && (client.width() != scene::TheRoom().width || client.height() != scene::TheRoom().height))
        scene::RebuildScene();
}

// The session is ending (a logout, a shutdown): nobody is left to answer a question, so the
// picture goes to the recovery copy and the program ends.
void EndForTheSession() {
    recovery::WriteNow();
    gShell.endingSession = true;
    gShell.closing = true;
    // A dialog's command would carry on once the dialog ended; there is nothing left to do.
    if (tb_DialogOpen()) std::_Exit(0);
    if (gShell.mainNative != 0) {
        tb_Quit();
    } else {
        Plat().postQuitMessage(0);
    }
}

// The display is gone: no window can be used any more, and the process ends on return.
void OnDisplayLost() { recovery::WriteNow(); }

}  // namespace

ShellState& Shell() { return gShell; }

int CommandOfMenuItem(int menuId) {
    static constexpr struct { int menuId, command; } kMenu[] = {
        {kCmdQuit, scene::kCommandQuit},   {kCmdSave, scene::kCommandSave},
        {kCmdNew, scene::kCommandNew},     {kCmdOpen, scene::kCommandOpen},
        {kCmdAbout, scene::kCommandAbout}, {kCmdHelp, scene::kCommandHelp},
        {kCmdPreferences, scene::kCommandPreferences}, {kCmdGallery, scene::kCommandGallery},
        {kCmdExport, scene::kCommandExport},
    };
    for (const auto& item : kMenu) {
        if (item.menuId == menuId) return item.command;
    }
    return -2;
}

void ResetShell() { gShell = ShellState{}; }

void OpenPopupMenu() {
    if (gShell.mainNative == 0 || gShell.popupMenu.empty()) return;
    Point at;
    tb_GetMousePosition(&at);
    Plat().popupMenu(gShell.mainNative, gShell.popupMenu, at);
}

long MainWindowProc(Message& msg) {
    if (msg.kind == MsgKind::Timer && msg.timerId == kPadTimer && IsMainWindow(msg)) return TickGamePad(), 0;
    switch (msg.kind) {
        case MsgKind::SetFocus:
            gShell.inactive = false;
            if (IsMainWindow(msg) && gShell.ready) {
                KeepWindowOverDesktop();
                scene::Present();
            }
            return Plat().defWindowProc(msg);
        case MsgKind::KillFocus:
            gShell.inactive = true;
            // The release of a stroke under way is dropped while another window has the focus:
            // the stroke ends here, as that release at its last point would have ended it.
            if (IsMainWindow(msg) && gShell.ready) scene::EndStroke();
            return Plat().defWindowProc(msg);
        case MsgKind::Paint:
            if (IsMainWindow(msg) && gShell.ready) {
                scene::Present();
                scene::ShowScanning();
                return 0;
            }
            return Plat().defWindowProc(msg);
        case MsgKind::DisplayChange:
            if (IsMainWindow(msg) && gShell.ready) {
                ApplyScale();  // a new monitor or resolution may suit another factor
                gShell.desktop = Plat().desktopRect();
                gShell.refused = gShell.kept = Rect{};
                KeepWindowOverDesktop();
                scene::RebuildScene();
            }
            return 1;
        case MsgKind::Sizing:
        case MsgKind::Moving:
            AnswerPlacement(msg);
            return 1;
        case MsgKind::KeyDown:
            if (scene::ScanKey(msg.key, true)) return 0;
            if (msg.key == platform::kVkEscape && !scene::CurrentToolActive()) {
                tb_AttentionMessage(Tr(kRemoteHint));
                return 0;
            }
            // Alt+F4 asks to close, as the window manager's close does, where no window manager takes it.
            if (msg.key == platform::kVkF4 && tb_KeyDown(platform::kVkMenu)) {
                if (gShell.ready && !gShell.closing) scene::RunCommand(scene::kCommandQuit);
                return 0;
            }
            if (msg.key == platform::kVkF1) {
                OpenPopupMenu();
                return 0;
            }
            // The idle tick polls C as well; the key's own message catches a tap between polls.
            if (msg.key == 'C' && scene::ScissorsCarryingPiece()) {
                scene::DropScissorsPiece();
                return 0;
            }
            return Plat().defWindowProc(msg);
        case MsgKind::KeyUp:
            if (scene::ScanKey(msg.key, false)) return 0;
            return Plat().defWindowProc(msg);
        case MsgKind::Timer:
            if (msg.timerId == scene::kScanTimer) scene::ScanStep();
            return 0;
        case MsgKind::LButtonDown:
            if (!gShell.inactive && gShell.mainNative != 0) scene::OnPress(msg.x, msg.y);
            return 0;
        case MsgKind::LButtonUp:
            if (!gShell.inactive && gShell.mainNative != 0) scene::OnRelease(msg.x, msg.y);
            return 0;
        case MsgKind::LButtonDblClk:
            scene::OnDoubleClick(msg.x, msg.y);
            return 0;
        case MsgKind::MouseMove:
            scene::OnMove(msg.x, msg.y, msg.leftButtonDown);
            return 0;
        case MsgKind::RButtonDown:
            OpenPopupMenu();
            return 0;
        case MsgKind::Command:
            scene::RunCommand(CommandOfMenuItem(msg.command));
            return 0;
        case MsgKind::Close:
            // Closed from outside (the window manager, the desktop): asked as Quit would ask. While
            // a dialog runs the window is disabled, as its owner, and a close is not for it.
            if (IsMainWindow(msg) && !gShell.closing && tb_DialogOpen()) return 0;
            if (IsMainWindow(msg) && gShell.ready && !gShell.closing) {
                scene::RunCommand(scene::kCommandQuit);
                return 0;
            }
            return Plat().defWindowProc(msg);
        case MsgKind::Terminate:
            EndForTheSession();
            return 0;
        case MsgKind::Destroy:
            if (IsMainWindow(msg)) StopGamePad();
            scene::StopScanning();
            gShell.popupMenu.clear();
            scene::TearDownScene();
            if (IsMainWindow(msg)) {
                gShell.mainNative = 0;
                gShell.ready = false;
            }
            Plat().postQuitMessage(0);
            return 0;
        default:
            return Plat().defWindowProc(msg);
    }
}

int StartPictoria(const CommandLine& line) {
    // 1. One instance, and the window class every toolbox window uses.
    if (!Plat().claimSingleInstance()) return 0;
    if (tb_RegisterWindowClass(MainWindowProc, kIconProgram) == 0) return 0;

    // 2. Paletted displays are refused.
    if (Plat().screenDepth() == 8) {
        tb_AttentionMessage(Tr(kDepthRefusal));
        return 0;
    }

    // 3. The toolbox, the scale, the advice, and the window over the whole desktop.
    tb_Init();
    gShell.settings = ReadSettings();
    gShell.scaleAsked = line.scale != kScaleNotGiven ? line.scale : gShell.settings.scale;
    gShell.settings.kiosk = gShell.settings.kiosk || line.kiosk;
    gShell.settings.lock = gShell.settings.lock || line.lock || gShell.settings.kiosk;
    gShell.settings.gameController = gShell.settings.gameController || line.gameController;
    gShell.settings.keyboardPointer = gShell.settings.keyboardPointer || line.keyboardPointer;
    platform::SetKeyboardPointer(gShell.settings.keyboardPointer);
    GiveResolutionAdvice(ApplyScale());
    gShell.desktop = Plat().desktopRect();
    gShell.mainWindow = tb_OpenWindow(&gShell.desktop, "Pictoria");
    if (gShell.mainWindow < 0) return 0;
    gShell.mainNative = tb_GetWindowHandle(gShell.mainWindow);
    if (gShell.settings.kiosk) Plat().holdOverDesktop(gShell.mainNative);
    dialogs::ShowTitleScreen();
    tb_SetButtonMode(0);
    // The screen may have changed while the title showed; the room is built for it as it is now.
    ApplyScale();
    if (Plat().desktopRect() != gShell.desktop) {
        gShell.desktop = Plat().desktopRect();
        KeepWindowOverDesktop();
    }

    // 4. Preferences; a missing or short file is replaced by the defaults.
    if (!LoadPreferences()) {
        Prefs() = Preferences{};
        Prefs().soundOn = gShell.settings.sound;  // a school may start new users silent
        SavePreferences();
    }
    tb_SetSoundSwitch(Prefs().soundOn ? 1 : 0);

    // 5. The room, the text tool, the picture's name and the program's folder.
    scene::SceneStartUp();
    dialogs::InitTextTool();
    gShell.pictureFileName = "Pictoria.bmp";
    gShell.programFolder = CurrentDirectory();
    // An unsaved picture that a logout, a crash or a power cut interrupted comes back.
    recovery::Restore();
    Plat().setDisplayLostHandler(OnDisplayLost);

    // 6 and 7.
    tb_SetCursor(kDefaultCursor);
    tb_SetMouseMode(kMouseModeClient);
    gShell.ready = true;
    if (gShell.settings.gameController) StartGamePad();
    const Settings& s = gShell.settings;
    const bool scanning = s.switchScan || line.switchScan;
    scene::SetUpScanning(scanning, line.scanStepMs > 0 ? line.scanStepMs : s.scanStepMs, s.scanKey);
    platform::KeyboardPointerLeaveKey(scanning ? s.scanKey : 0);

    // 8 and 9.
    SavePreferences();
    gShell.popupMenu = BuildPopupMenu();
    return -1;
}

bool IdleTick() {
    if (!scene::ScissorsCarryingPiece()) return false;
    if (tb_KeyDown('C')) scene::DropScissorsPiece();
    return true;
}

int RunMessageLoop() {
    Message msg;
    bool worked = false;  // since spare memory last went back to the system
    uint32_t released = Plat().tickCount() - kReleaseEveryMs;
    for (;;) {
        while (Plat().peekMessage(msg)) {
            if (msg.kind == MsgKind::Quit) {
                // Quit gave the picture up on purpose; the end of a session keeps it.
                if (!gShell.endingSession) recovery::Discard();
                return msg.exitCode;
            }
            if (platform::KeyboardPointerFilter(Plat(), msg, false)) Plat().dispatchMessage(msg);
            recovery::AfterInput(Plat().tickCount());
            worked = true;
        }
        // The recovery copy waits for a pause in the input: one wake-up, not a ticking timer.
        recovery::WriteWhenDue(Plat().tickCount());
        const int untilCopy = recovery::MillisecondsUntilDue(Plat().tickCount());
        // The tick only has work while the Scissors carry a piece; otherwise sleep until input.
        if (IdleTick()) {
            Plat().waitMessage(untilCopy < 0 ? kScissorsPollMs : std::min(kScissorsPollMs, untilCopy));
            continue;
        }
        // What the work since (a dialog, a transition) left free goes back before the program
        // sleeps, at most once a second, so that the resident memory does not creep up.
        if (worked && Plat().tickCount() - released >= kReleaseEveryMs) {
            platform::ReleaseSpareMemory();
            released = Plat().tickCount();
            worked = false;
        }
        Plat().waitMessage(untilCopy);
    }
}

int PictoriaMain(const CommandLine& line) {
    int early = StartPictoria(line);
    if (early >= 0) return early;
    return RunMessageLoop();
}

}  // namespace shell
