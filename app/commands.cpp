// The commands of the remote control and the popup menu, and the remote control itself: a big
// remote floating over the room whose eight buttons start them.
#include <unistd.h>

#include <climits>
#include <string>

#include "app/pictures.h"
#include "app/preferences.h"
#include "app/room.h"
#include "app/scene.h"
#include "app/shell.h"
#include "dialogs/dialogs.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"
#include "platform/language.h"

namespace scene {
namespace {

using platform::Message;
using platform::MsgKind;
using platform::NativeWindow;

constexpr int kRemoteWidth = 228;
constexpr int kRemoteHeight = 240;
constexpr int kButtons = 8;
constexpr Rect kButtonRects[kButtons] = {
    {31, 7, 102, 46},   {29, 46, 101, 87},   {26, 88, 101, 131},   {23, 132, 101, 179},
    {125, 7, 195, 46},  {125, 46, 198, 87},  {126, 88, 201, 131},  {127, 132, 205, 179},
};
constexpr Rect kBackButton{20, 221, 81, 235};
constexpr Point kLight{104, 2};  // the light's top-left
constexpr int kPressShownMs = 500;
constexpr int kBack = -1;

const char* const kAskSaveBeforeQuit = TrLater("Do you want to save the current picture before quitting?");

struct RemoteState {
    Rect behind{};  // the room under the remote, window coordinates
    bool lit[kButtons]{};
};
RemoteState gRemote;

// Centred on the main window. The room behind is read in the window's own coordinates, which are
// not the screen's where a window manager keeps the window off the screen's corner.
void PlaceRemote(NativeWindow dialog) {
    gRemote.behind = tb_CentreDialog(dialog, kRemoteWidth, kRemoteHeight, 0);
    Rect window{};
    tb_GetWindowRect(shell::Shell().mainWindow, &window);
    tb_OffsetRect(&gRemote.behind, -window.left, -window.top);
}

int ButtonAt(int x, int y) {
    for (int b = 0; b < kButtons; ++b) {
        if (tb_PtInRect(x, y, &kButtonRects[b])) return b;
    }
    return -2;
}

// The room under the dialog with the remote over it through its mask.
void PaintRemote(NativeWindow dialog) {
    Rect whole{0, 0, kRemoteWidth, kRemoteHeight};
    const int work = tb_CreateBitmap(&whole, -1, 24);
    Rect imageRect{}, maskRect{};
    const int image = tb_CreateBitmap(&imageRect, kBmpRemote, 24);
    const int mask = tb_CreateBitmap(&maskRect, kBmpRemoteMask, 8);
    if (work >= 0 && image >= 0 && mask >= 0) {
        Rect behind = gRemote.behind;
        tb_CopyBitmap(TheRoom().sceneBuffer, work, &behind, &whole, 0);
        tb_CopyMaskedBitmap(image, mask, work, &imageRect, &maskRect, &whole);
        tb_CopyBitmapToDialog(dialog, work, &whole, &whole);
    }
    for (int handle : {work, image, mask}) {
        if (handle >= 0) tb_DisposeBitmap(handle);
    }
    for (bool& lit : gRemote.lit) lit = false;
}

void Press(NativeWindow dialog, int x, int y) {
    const int under = ButtonAt(x, y);
    for (int b = 0; b < kButtons; ++b) {
        if (gRemote.lit[b] && b != under) {
            tb_ShowPictureInDialog(dialog, kBmpRemote, &kButtonRects[b], kButtonRects[b].left, kButtonRects[b].top);
            gRemote.lit[b] = false;
        }
    }
    if (under < 0 || gRemote.lit[under]) return;
    tb_ShowPictureInDialog(dialog, kBmpRemotePressedFirst + under, nullptr, kButtonRects[under].left,
                           kButtonRects[under].top);
    gRemote.lit[under] = true;
    tb_ShowPictureInDialog(dialog, kBmpRemoteLight, nullptr, kLight.x, kLight.y);
}

void Release(NativeWindow dialog, int x, int y) {
    tb_PlaySound(kWavClick);
    const int under = ButtonAt(x, y);
    if (under >= 0) {
        tb_Wait(kPressShownMs);  // the pressed button stays in sight a moment
        PaintRemote(dialog);
        return tb_EndDialog(dialog, under);
    }
    PaintRemote(dialog);
    if (tb_PtInRect(x, y, &kBackButton)) tb_EndDialog(dialog, kBack);
}

long RemoteProc(Message& msg) {
    // Escape or a close puts the remote down, as Back does.
    if (tb_IsCancelCommand(msg)) return tb_EndDialog(msg.window, kBack), 0;
    switch (msg.kind) {
        case MsgKind::InitDialog:
            tb_SetDialogButtons({kButtonRects[0], kButtonRects[1], kButtonRects[2], kButtonRects[3], kButtonRects[4],
                                 kButtonRects[5], kButtonRects[6], kButtonRects[7], kBackButton});
            PlaceRemote(msg.window);
            return 1;
        case MsgKind::DisplayChange:  // the room behind has been laid out anew for the new screen
            PlaceRemote(msg.window);
            PaintRemote(msg.window);
            return 1;
        case MsgKind::EraseBackground:
            return 1;
        case MsgKind::Paint:
            PaintRemote(msg.window);
            return 0;
        case MsgKind::MouseMove: {
            const bool over = ButtonAt(msg.x, msg.y) >= 0 || tb_PtInRect(msg.x, msg.y, &kBackButton);
            tb_SetCursor(over ? kCurPointing : kCurArrow);
            return 0;
        }
        case MsgKind::LButtonDown:
            Press(msg.window, msg.x, msg.y);
            return 0;
        case MsgKind::LButtonUp:
            Release(msg.window, msg.x, msg.y);
            return 0;
        default:
            return 0;
    }
}

// The folder the running program lives in, from the kernel's link to it.
std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return std::string();
    const std::string exe(path, static_cast<size_t>(n));
    return exe.substr(0, exe.find_last_of('/'));
}

void Quit() {
    if (!GrownUpAllows()) return;
    // A question closed with Escape or the window's close is no answer: the program stays. After a
    // failed save it stays too, as the picture would be lost (the failure has been shown).
    if (TheRoom().modified) {
        const int answer = tb_AskYesNo(Tr(kAskSaveBeforeQuit));
        if (answer < 0 || (answer == 1 && SaveSequence() == SaveOutcome::Failed)) return;
    }
    shell::Shell().closing = true;
    tb_Quit();
}

void Preferences() {
    if (!GrownUpAllows()) return;
    shell::Preferences& p = shell::Prefs();
    dialogs::PreferenceChoices choices{p.soundOn, p.transitions, p.fitPictures, !p.printOption};
    if (dialogs::PreferencesDialog(choices) != 1) return;
    p.soundOn = choices.sound;
    p.transitions = choices.transitions;
    p.fitPictures = choices.fitPictures;
    p.printOption = !choices.fullInk;
    tb_SetSoundSwitch(shell::Prefs().soundOn ? 1 : 0);
    DrawSpeaker();
    RedrawRect(TheRoom().speaker);
    shell::SavePreferences();
}

}  // namespace

int RemoteDialog() {
    for (bool& lit : gRemote.lit) lit = false;
    return tb_DoDialog(kDialogRemote, RemoteProc);
}

std::string HelpPageIn(const std::string& folder, const std::vector<std::string>& languages) {
    const std::string english = folder + "/index.html";
    if (access(english.c_str(), R_OK) != 0) return std::string();
    for (const std::string& language : languages) {
        const std::string page = folder + "/" + language + "/index.html";
        if (language.find('/') == std::string::npos && access(page.c_str(), R_OK) == 0) return page;
    }
    return english;
}

std::string HelpPagePath() {
    const std::string folders[] = {
        ProgramFolder() + "/../share/pictoria/help",  // installed beside the program
        std::string(PICTORIA_RUN_DIR) + "/help",      // the build tree's run folder
        tb_GetCurrentDirectory() + "/help",
    };
    for (const std::string& folder : folders) {
        // In the language the program's own texts are shown in.
        const std::string path = HelpPageIn(folder, platform::WantedLanguages());
        if (!path.empty()) {
            char real[PATH_MAX];
            return realpath(path.c_str(), real) != nullptr ? std::string(real) : path;
        }
    }
    return std::string();
}

std::vector<std::string> LocaleFolders() {
    return {ProgramFolder() + "/../share/locale", std::string(PICTORIA_RUN_DIR) + "/locale"};
}

bool GrownUpAllows() {
    if (!shell::Shell().settings.lock) return true;
    const bool allowed = dialogs::AskGrownUp();
    tb_SetCursor(kCurArrow);  // the dialog's pointing hand must not stay over the room
    return allowed;
}

void ShowHelp() {
    if (!GrownUpAllows()) return;  // a browser leads anywhere
    const std::string page = HelpPagePath();
    if (page.empty()) {
        tb_AttentionMessage(Tr("The help page was not found: Pictoria seems to be installed incompletely."));
    } else if (tb_OpenHelpPage(page) != 1) {
        const std::string text = TrFormat(Tr("No web browser could be started to show the help page. You can open "
                                             "it in a browser yourself: %s"),
                                          tb_DisplayName(page).c_str());
        tb_AttentionMessage(text.c_str());
    }
}

void RunCommand(int command) {
    EndStroke();  // a command chosen from the popup menu mid-stroke: the release goes to the menu
    if (command == kCommandRemote) {
        command = RemoteDialog();
        tb_SetCursor(kCurArrow);
    }
    switch (command) {
        case kCommandQuit: return Quit();
        case kCommandSave: return SaveCommand();
        case kCommandNew: return NewPicture();
        case kCommandOpen: return OpenPicture();
        case kCommandAbout: return dialogs::ShowAbout();
        case kCommandHelp: return ShowHelp();
        case kCommandPreferences: return Preferences();
        case kCommandGallery: return GalleryCommand();
        case kCommandExport: return ExportCommand();
        default: return;
    }
}

}  // namespace scene
