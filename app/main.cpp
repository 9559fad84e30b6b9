// The program: the shell on the real desktop.
//
//   pictoria [--scale N]
//
// --scale N (1 to 4) shows every pixel of the program as an N x N block, for big tools on a
// large screen; it does what a desktop scaled by N does (GTK's GDK_SCALE), which is honoured
// without it.
//
//   pictoria --error TEXT
//
// shows TEXT in a box and ends with 1: the launcher's way to tell why it could not start the
// program, since nobody sees standard error when it was started from the desktop's menu.
#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/shell.h"
#include "platform/gtk/gtk_platform.h"

int main(int argc, char** argv) {
    const shell::CommandLine line = shell::ReadCommandLine(argc, argv);
    constexpr const char* kUsage = "usage: pictoria [--scale 1|2|3|4]\n";
    if (line.help) return std::fputs(kUsage, stdout), 0;
    if (!line.understood) return std::fputs(kUsage, stderr), 2;
    if (line.scale > 0) setenv("GDK_SCALE", argv[2], 1);
    auto backend = CreateGtkPlatform();
    if (line.error) {
        const platform::MsgBoxStyle style{platform::MsgBoxButtons::Ok, platform::MsgBoxIcon::Exclamation};
        backend->messageBox(0, "Pictoria", line.errorText, style);
        return 1;
    }
    platform::InstallPlatform(backend.get());
    int code = shell::PictoriaMain();
    platform::InstallPlatform(nullptr);
    return code;
}
