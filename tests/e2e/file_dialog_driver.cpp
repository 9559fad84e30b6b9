// Drives the real desktop's Save As and Open dialogs for test_file_dialogs.sh: saves a small
// picture through Save As, reads it back through Open, and prints each step on stdout.
//   file_dialog_driver FOLDER     (the dialogs start in FOLDER)
#include <cstdio>
#include <string>

#include "pictures/dib.h"
#include "platform/gtk/gtk_platform.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace {

constexpr int kWidth = 7;
constexpr int kHeight = 5;

uint8_t Red(int x, int y) { return static_cast<uint8_t>(x * 36 + y); }
uint8_t Green(int x, int y) { return static_cast<uint8_t>(y * 50 + 3); }
uint8_t Blue(int x, int y) { return static_cast<uint8_t>(x * y * 9 + 17); }

DibRecord& Image(int bitmap) { return toolbox::FindBitmapSlot(bitmap)->image; }

bool SamePicture(int bitmap) {
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uint8_t r = 0, g = 0, b = 0;
            dib_GetPixelRGB(Image(bitmap), x, y, r, g, b);
            if (r != Red(x, y) || g != Green(x, y) || b != Blue(x, y)) return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    auto backend = CreateGtkPlatform();
    platform::InstallPlatform(backend.get());
    tb_Init();
    tb_SetProgramDirectory(argv[1]);

    Rect size{0, 0, kWidth, kHeight};
    const int picture = tb_CreateBitmap(&size, 0, 24);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) dib_SetPixelRGB(Image(picture), x, y, Red(x, y), Green(x, y), Blue(x, y));
    }

    std::string saveName = "Pictoria.bmp";
    const int created = tb_CreateFile(saveName, 1);
    std::printf("save-as %d %s\n", created, saveName.c_str());
    std::fflush(stdout);
    if (created != 1) return 1;
    const int written = tb_WriteBitmapToFile(picture);
    const int closed = tb_CloseFile();
    std::printf("saved %d %d\n", written, closed);
    std::fflush(stdout);

    std::string openName;
    const int opened = tb_OpenFile(openName, 1);
    std::printf("open %d %s\n", opened, openName.c_str());
    std::fflush(stdout);
    if (opened != 1) return 1;
    Rect read{};
    const int copy = tb_ReadBitmapFromFile(&read);
    tb_CloseFile();
    const bool same = copy >= 0 && SamePicture(copy);
    std::printf("read %d %dx%d %s\n", copy >= 0 ? 1 : 0, read.right, read.bottom, same ? "same" : "different");
    std::fflush(stdout);
    platform::InstallPlatform(nullptr);
    return written == 1 && closed == 1 && same ? 0 : 1;
}
