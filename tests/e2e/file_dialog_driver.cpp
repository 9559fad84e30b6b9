// Drives the real desktop's Save As and Open dialogs for test_file_dialogs.sh: saves a small
// picture through Save As, reads it back through Open, and prints each step on stdout.
//   file_dialog_driver FOLDER     (the dialogs start in FOLDER)
#include <cstdio>
#include <string>

#include "platform/gtk/gtk_platform.h"
#include "toolbox/toolbox.h"

namespace {

// 7 x 5 pixels: rows of 21 bytes padded to 24. Every pixel differs from its neighbours.
constexpr int kWidth = 7;
constexpr int kPixels = kWidth * 5;

int Level(int pixel, int channel) { return 255 * ((pixel * 37 + channel * 85 + 17) % 256); }

template <typename... Values>
void Say(const char* format, Values... values) {
    std::printf(format, values...);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]), 2;
    auto backend = CreateGtkPlatform();
    platform::InstallPlatform(backend.get());
    tb_Init();
    tb_SetProgramDirectory(argv[1]);
    Rect size{0, 0, kWidth, kPixels / kWidth};
    const int picture = tb_CreateBitmap(&size, 0, 24);
    for (int i = 0; i < kPixels; ++i)
        tb_SetPixel(picture, i % kWidth, i / kWidth, Level(i, 0), Level(i, 1), Level(i, 2));

    std::string name = "Pictoria.bmp";
    const int created = tb_CreateFile(name, 1);
    Say("save-as %d %s\n", created, name.c_str());
    if (created != 1) return 1;
    const int written = tb_WriteBitmapToFile(picture), closed = tb_CloseFile();
    Say("saved %d %d\n", written, closed);

    name.clear();
    const int opened = tb_OpenFile(name, 1);
    Say("open %d %s\n", opened, name.c_str());
    if (opened != 1) return 1;
    Rect read{};
    const int copy = tb_ReadBitmapFromFile(&read);
    tb_CloseFile();
    bool same = copy >= 0;
    for (int i = 0; same && i < kPixels; ++i) {
        int r = 0, g = 0, b = 0;
        tb_GetPixel(copy, i % kWidth, i / kWidth, &r, &g, &b);
        same = r == Level(i, 0) && g == Level(i, 1) && b == Level(i, 2);
    }
    Say("read %d %dx%d %s\n", copy >= 0 ? 1 : 0, read.right, read.bottom, same ? "same" : "different");
    platform::InstallPlatform(nullptr);
    return written == 1 && closed == 1 && same ? 0 : 1;
}
