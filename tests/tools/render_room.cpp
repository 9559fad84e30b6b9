// Renders the room as the program shows it, at any screen size, without a display:
//   render_room WIDTH HEIGHT OUT.bmp [lang L] [toys] [hover X Y]
// "lang L" shows the labels of language L ("de"); "toys" puts the Toys on the table first;
// "hover X Y" moves the pointer there (lit hotspots, labels). The picture is what the main window holds, written as a 24-bit BMP.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/room.h"
#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "resources/resources.h"

namespace {

bool WriteBmp(const PixelView& v, const char* path) {
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    const uint32_t imageSize = static_cast<uint32_t>(v.stride) * v.height;
    unsigned char header[54] = {'B', 'M'};
    auto put32 = [&](int at, uint32_t value) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    put32(2, 54 + imageSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(v.width));
    put32(22, static_cast<uint32_t>(v.height));
    header[26] = 1;
    header[28] = 24;
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
    ok = ok && std::fwrite(v.bits, 1, imageSize, f) == imageSize;
    return (std::fclose(f) == 0) && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT OUT.bmp [lang L] [toys] [hover X Y]\n", argv[0]);
        return 2;
    }
    platform::HeadlessConfig config;
    config.width = std::atoi(argv[1]);
    config.height = std::atoi(argv[2]);
    if (config.width < 640 || config.height < 480) {
        std::fprintf(stderr, "the room needs at least 640x480\n");
        return 2;
    }
    // The room as it starts, never with a picture the user's own recovery copy would bring back:
    // no state folder can be made under /dev/null.
    setenv("XDG_STATE_HOME", "/dev/null/state", 1);
    if (argc > 5 && std::strcmp(argv[4], "lang") == 0) ChooseResourceLanguage({argv[5]});
    platform::HeadlessPlatform desktop(config);
    platform::InstallPlatform(&desktop);
    if (shell::StartPictoria(shell::AskingScale(1)) != -1) return 1;  // the room at the size asked, unscaled

    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "lang") == 0) {
            ++i;
        } else if (std::strcmp(argv[i], "toys") == 0) {
            const Rect& toys = scene::TheRoom().hotspots[scene::kToys].pointer;
            desktop.click(toys.left + 5, toys.top + 5);
        } else if (std::strcmp(argv[i], "hover") == 0 && i + 2 < argc) {
            desktop.moveTo(std::atoi(argv[i + 1]), std::atoi(argv[i + 2]));
            i += 2;
        }
    }
    platform::Message msg;
    while (desktop.peekMessage(msg)) desktop.dispatchMessage(msg);

    bool ok = WriteBmp(desktop.backingStore(desktop.firstWindow()), argv[3]);
    platform::InstallPlatform(nullptr);
    if (!ok) std::fprintf(stderr, "could not write %s\n", argv[3]);
    return ok ? 0 : 1;
}
