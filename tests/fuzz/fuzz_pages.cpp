// Arbitrary folders of colouring pages through the picture browser: the files' names and
// bytes are written into "Pages/", and New lists them, shows them one by one, names one and
// opens it, all on the headless desktop.
//
// Input: one byte of browsing (bits 0-2 how many times the next arrow is clicked, bit 3 the name
// tag, bit 4 the tick rather than the cross, bit 5 the fitPictures preference, bit 6 only the
// listing, which is far quicker than the browser's drawing), then the files,
// separated by "|PAGE|", each its name, a NUL byte and its contents.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/pictures.h"
#include "app/preferences.h"
#include "app/room.h"
#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "tests/fuzz/scratch.h"
#include "toolbox/toolbox.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSeparator = "|PAGE|";
constexpr Point kOpen{180, 390}, kCancel{230, 390}, kNext{335, 390}, kName{383, 239};

void Check(bool ok) {
    if (!ok) std::abort();
}

struct Setup {
    platform::HeadlessPlatform desktop;
    fs::path pages;

    Setup() {
        const std::string home = ScratchFolder("pages");
        fs::current_path(home);
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        setenv("XDG_STATE_HOME", home.c_str(), 1);  // no recovered picture of the user's own
        pages = fs::path(home) / "Pages";
        fs::create_directories(pages);
        platform::InstallPlatform(&desktop);
        shell::ResetShell();
        Check(shell::StartPictoria() == -1);
    }
};

// The names the browser should list, worked out from what was written.
std::vector<std::string> Expected(std::vector<std::string> written) {
    std::vector<std::string> names;
    for (const std::string& n : written) {
        bool picture = false;
        for (const char* ending : {".bmp", ".png", ".jpg", ".jpeg"}) {
            const size_t length = std::strlen(ending);
            picture |= n.size() >= length && strcasecmp(n.c_str() + n.size() - length, ending) == 0;
        }
        if (picture && n[0] != '.' && n != "blank.bmp") names.push_back(n);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int folded = strcasecmp(a.c_str(), b.c_str());
        return folded != 0 ? folded < 0 : a < b;
    });
    if (std::count(written.begin(), written.end(), "blank.bmp") > 0) names.insert(names.begin(), "blank.bmp");
    return names;
}

// Writes the files; the names that became files, each once.
std::vector<std::string> WritePages(const fs::path& pages, std::string_view rest) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(pages)) fs::remove_all(entry, ignored);
    std::vector<std::string> written;
    while (!rest.empty()) {
        const size_t end = std::min(rest.find(kSeparator), rest.size());
        std::string_view file = rest.substr(0, end);
        rest.remove_prefix(std::min(rest.size(), end + kSeparator.size()));
        const size_t nul = std::min(file.find('\0'), file.size());
        std::string name(file.substr(0, nul));
        std::replace(name.begin(), name.end(), '/', '_');
        if (name.empty() || name == "." || name == ".." || name.size() > 255 ||
            std::count(written.begin(), written.end(), name) > 0)
            continue;
        std::ofstream out(pages / name, std::ios::binary);
        file.remove_prefix(std::min(file.size(), nul + 1));
        out.write(file.data(), std::streamsize(file.size()));
        if (out.good()) written.push_back(name);
    }
    return written;
}

bool IsPicture(const std::string& path) {
    std::string name = path;
    Rect rect{};
    const int bitmap = tb_OpenFile(name, 0) == 1 ? tb_ReadBitmapFromFile(&rect) : -1;
    tb_CloseFile();
    if (bitmap >= 0) tb_DisposeBitmap(bitmap);
    return bitmap >= 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    if (size == 0) return 0;
    const uint8_t browsing = data[0];
    const std::vector<std::string> names =
        Expected(WritePages(setup.pages, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1)));
    const std::string folder = setup.pages.string() + "/";
    Check(scene::ListPictures(folder) == names);
    if (browsing & 64) return 0;

    platform::HeadlessPlatform& desktop = setup.desktop;
    shell::Prefs().transitions = false;
    shell::Prefs().fitPictures = (browsing & 32) != 0;
    scene::TheRoom().modified = false;
    shell::Shell().pictureFileName = "before";
    desktop.clearRecords();
    desktop.answerDialog([&](platform::NativeWindow d) {
        for (int i = 0; i < (browsing & 7); ++i) desktop.click(kNext.x, kNext.y, d);
        if (browsing & 8) desktop.click(kName.x, kName.y, d);
        const Point end = (browsing & 16) ? kOpen : kCancel;
        desktop.click(end.x, end.y, d);
    });
    scene::NewPicture();

    // The browser stops at the last picture; the name tag and the tick act on the one shown.
    const size_t shown = std::min<size_t>(browsing & 7, names.empty() ? 0 : names.size() - 1);
    std::vector<std::string> texts;
    for (const auto& box : desktop.messageBoxes()) texts.push_back(box.text);
    std::vector<std::string> expected;
    if ((browsing & 8) && !names.empty())
        expected.push_back("This picture file is named " + tb_DisplayName(names[shown]) + ".");
    const bool opened = (browsing & 16) && !names.empty() && IsPicture(folder + names[shown]);
    if ((browsing & 16) && !opened) expected.push_back("Could not open selected file.");
    Check(texts == expected);
    Check(shell::Shell().pictureFileName == (opened ? scene::SavingName(folder + names[shown]) : "Pictoria.bmp"));
    return 0;
}
