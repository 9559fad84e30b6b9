// The program: the shell on the real desktop.
//
//   pictoria [--scale N]
//
// --scale N (1, 2 or 3) shows every pixel of the program as an N x N block, for big tools on a
// large screen; it does what a desktop scaled by N does (GTK's GDK_SCALE), which is honoured
// without it.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/shell.h"
#include "platform/gtk/gtk_platform.h"

namespace {

constexpr const char* kUsage = "usage: pictoria [--scale 1|2|3]\n";

// The scale the command line asks for: 0 for none, -1 for a command line not understood.
int ScaleAsked(int argc, char** argv) {
    if (argc == 1) return 0;
    if (argc != 3 || std::strcmp(argv[1], "--scale") != 0) return -1;
    const char* n = argv[2];
    return n[0] >= '1' && n[0] <= '3' && n[1] == '\0' ? n[0] - '0' : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return std::fputs(kUsage, stdout), 0;
    const int scale = ScaleAsked(argc, argv);
    if (scale < 0) return std::fputs(kUsage, stderr), 2;
    if (scale > 0) setenv("GDK_SCALE", argv[2], 1);
    auto backend = CreateGtkPlatform();
    platform::InstallPlatform(backend.get());
    int code = shell::PictoriaMain();
    platform::InstallPlatform(nullptr);
    return code;
}
