// The program: the shell on the real desktop.
//
//   pictoria [--scale auto|N] [--lock] [--kiosk] [--keyboard-pointer] [--game-controller]
//            [--switch-scan] [--scan-step-ms N]
//
// The room was drawn for a screen of about 800 x 600. On a larger screen every pixel of it is
// shown as a block of the screen's pixels, as large as still leaves the room 800 x 540 of its
// own ("auto", the default; a desktop's own scale counts towards it). --scale N (1 to 4) asks
// for N x N blocks whatever the screen; so does `scale = N` in the settings file. --lock (or
// `lock = true`) makes every way out of the room and into the file system ask a grown-up first.
// --kiosk (or `kiosk = true`) adds to the lock a window held full screen over the desktop's
// panels on every workspace, with no close for the window manager to offer.
// --keyboard-pointer (or `keyboard-pointer = true`) lets the arrow keys and the keypad move the
// pointer and Space or Return press its button, for a child who cannot use a mouse.
// --game-controller
// (or `game-controller = true`) lets a game controller move the pointer, paint and undo.
// --switch-scan (or `switch-scan = true`) lets a child with one switch use the room: a highlight
// steps through it every N milliseconds (--scan-step-ms N or `scan-step-ms = N`, 1200 unless
// set), and one key (`scan-key`, Space unless set) picks what it is on.
//
//   pictoria --error TEXT
//
// shows TEXT in a box and ends with 1: the launcher's way to tell why it could not start the
// program, since nobody sees standard error when it was started from the desktop's menu.
#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/scene.h"
#include "app/shell.h"
#include "platform/gtk/gtk_platform.h"
#include "platform/language.h"

int main(int argc, char** argv) {
    platform::ChooseLanguage(scene::LocaleFolders());
    const shell::CommandLine line = shell::ReadCommandLine(argc, argv);
    constexpr const char* kUsage =
        "usage: pictoria [--scale auto|1|2|3|4] [--lock] [--kiosk] [--keyboard-pointer] [--game-controller]\n"
        "                [--switch-scan] [--scan-step-ms N]\n";
    if (line.help) return std::fputs(kUsage, stdout), 0;
    if (!line.understood) return std::fputs(kUsage, stderr), 2;
    auto backend = CreateGtkPlatform();
    if (line.error) {
        const platform::MsgBoxStyle style{platform::MsgBoxButtons::Ok, platform::MsgBoxIcon::Exclamation};
        backend->messageBox(0, "Pictoria", line.errorText, style);
        return 1;
    }
    platform::InstallPlatform(backend.get());
    int code = shell::PictoriaMain(line);
    platform::InstallPlatform(nullptr);
    return code;
}
