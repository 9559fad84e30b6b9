// The program: the shell on the real desktop.
#include "app/shell.h"
#include "platform/gtk/gtk_platform.h"

int main() {
    auto backend = CreateGtkPlatform();
    platform::InstallPlatform(backend.get());
    int code = shell::PictoriaMain();
    platform::InstallPlatform(nullptr);
    return code;
}
