// The picture browser: a painted dialog that shows the pictures of one folder one at a time,
// large, with the file name above. Two arrows step through them, the tick (or a click on the
// picture) chooses the one on show, the cross or Escape closes without choosing, and the small
// name tag says the file's name. Coordinates are the dialog's client pixels.
#include <algorithm>
#include <strings.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/pictures.h"
#include "app/preferences.h"
#include "app/room.h"
#include "app/scene.h"
#include "app/shell.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"
#include "platform/language.h"

namespace scene {
namespace {

using platform::Message;
using platform::MsgKind;
using platform::NativeWindow;

constexpr int kWidth = 408;
constexpr int kHeight = 417;
constexpr Rect kCancelButton{207, 366, 252, 412};
constexpr Rect kOpenButton{161, 366, 206, 412};
constexpr Rect kNextArrow{308, 372, 362, 408};
constexpr Rect kPreviousArrow{47, 372, 101, 408};
constexpr Rect kPreview{64, 44, 344, 261};
constexpr Rect kNameButton{370, 229, 397, 249};
constexpr Rect kTitleStrip{5, 5, 403, 23};
constexpr int kWhite = 65025;
constexpr int kTextSize = 12;
constexpr int kBold = 1;
// A folder is listed whole up to this many pictures (names only: the pictures themselves are
// read one at a time, as they are shown).
constexpr size_t kMostPictures = 10000;

const char* const kNoImages = TrLater("There are no images in the Gallery.");
const char* const kCannotPreview = TrLater("Incompatible format; can't preview image");
const char* const kCannotOpen = TrLater("Could not open selected file.");

std::vector<std::string> gNames;  // the folder's pictures while the browser is up

int& Position() { return shell::Shell().browserPosition; }
bool Valid(int index) { return index >= 0 && index < static_cast<int>(gNames.size()); }
bool In(const Rect& r, int x, int y) { return tb_PtInRect(x, y, &r) != 0; }
bool NextReacts() { return Valid(Position() + 1); }
bool PreviousReacts() { return Position() > 0 && Valid(Position() - 1); }

bool Reacts(int x, int y) {
    return In(kCancelButton, x, y) || In(kOpenButton, x, y) || In(kPreview, x, y) ||
           (NextReacts() && In(kNextArrow, x, y)) || (PreviousReacts() && In(kPreviousArrow, x, y)) ||
           (Valid(Position()) && In(kNameButton, x, y));
}

// A picture file as a new bitmap, whole or (for the preview) already at the preview's size; -1
// when it is missing or not a picture the program reads.
int ReadPicture(const std::string& path, Rect& rect, bool preview = false) {
    std::string name = path;
    if (tb_OpenFile(name, 0) != 1) return -1;
    const int bitmap = preview ? tb_ReadBitmapPreview(kPreview.width(), kPreview.height(), &rect)
                               : tb_ReadBitmapFromFile(&rect);
    tb_CloseFile();
    return bitmap;
}

// `area` of a fresh copy of the background, with one line of text drawn into it, shown in the
// dialog. The text is centred on x with its top at y.
void ShowBackground(NativeWindow dialog, const Rect& area, const std::string& text = {}, int x = 0, int y = 0,
                    int grey = 0, int style = 0) {
    Rect whole{};
    const int background = tb_CreateBitmap(&whole, kBmpGallery, 24);
    if (background < 0) return;
    if (!text.empty()) {
        tb_SetForeColor(background, grey, grey, grey);
        tb_SetFontSize(background, kTextSize);
        tb_SetFont(background, 0);
        tb_SetFontStyle(background, style);
        tb_DrawText(background, x, y, text.c_str(), static_cast<int>(text.size()), 0, 1, kTextCenter,
                    kTextTopCentered);
    }
    Rect part = area;
    tb_CopyBitmapToDialog(dialog, background, &part, &part);
    tb_DisposeBitmap(background);
}

void ShowArrow(NativeWindow dialog, const Rect& place, int pictureId, bool shown) {
    if (!shown) return ShowBackground(dialog, place);
    tb_ShowPictureInDialog(dialog, pictureId, nullptr, place.left, place.top);
}

void ShowPreviewText(NativeWindow dialog, const char* text) {
    ShowBackground(dialog, kPreview, text, (kPreview.left + kPreview.right) / 2,
                   (kPreview.top + kPreview.bottom) / 2, kWhite);
}

void DrawBrowser(NativeWindow dialog) {
    const int at = Position();
    if (!Valid(at)) return ShowPreviewText(dialog, Tr(kNoImages));
    const std::string& name = gNames[at];
    ShowArrow(dialog, kPreviousArrow, kBmpGalleryPrev, at != 0);
    ShowArrow(dialog, kNextArrow, kBmpGalleryNext, at != static_cast<int>(gNames.size()) - 1);
    const std::string title = tb_DisplayName(name.substr(0, name.size() >= 4 ? name.size() - 4 : 0));
    ShowBackground(dialog, kTitleStrip, title, (kTitleStrip.left + kTitleStrip.right) / 2,
                   (kTitleStrip.top + kTitleStrip.bottom) / 2 - 6, 0, kBold);

    Rect rect{};
    const int picture = ReadPicture(shell::Shell().programFolder + name, rect, true);
    if (picture < 0) return ShowPreviewText(dialog, Tr(kCannotPreview));
    Rect to = kPreview;
    tb_CopyBitmapToDialog(dialog, picture, &rect, &to);
    tb_DisposeBitmap(picture);
}

void Release(NativeWindow dialog, int x, int y) {
    if (In(kCancelButton, x, y)) return tb_EndDialog(dialog, -1);
    if (In(kOpenButton, x, y)) return tb_EndDialog(dialog, 1);
    if (NextReacts() && In(kNextArrow, x, y)) {
        ++Position();
        return DrawBrowser(dialog);
    }
    if (PreviousReacts() && In(kPreviousArrow, x, y)) {
        --Position();
        return DrawBrowser(dialog);
    }
    if (Valid(Position()) && In(kNameButton, x, y)) {
        const std::string text = TrFormat(Tr("This picture file is named %s."), tb_DisplayName(gNames[Position()]).c_str());
        return tb_InfoMessage(text.c_str());
    }
    if (In(kPreview, x, y)) tb_EndDialog(dialog, 1);
}

long BrowserProc(Message& msg) {
    if (tb_IsCancelCommand(msg)) return tb_EndDialog(msg.window, 0), 0;
    if (tb_HoverAndPress(msg, Reacts(msg.x, msg.y))) return 0;
    switch (msg.kind) {
        case MsgKind::InitDialog:
            tb_SetDialogButtons({kPreviousArrow, kNextArrow, kOpenButton, kCancelButton});
            tb_CentreDialog(msg.window, kWidth, kHeight, 0);
            return 1;
        case MsgKind::EraseBackground:
            tb_ShowPictureInDialog(msg.window, kBmpGallery, nullptr, 0, 0);
            return 1;
        case MsgKind::Paint:
            DrawBrowser(msg.window);
            return 0;
        case MsgKind::DisplayChange:  // a smaller screen could leave it where nobody sees it
            tb_CentreDialog(msg.window, kWidth, kHeight, 0);
            tb_ShowPictureInDialog(msg.window, kBmpGallery, nullptr, 0, 0);
            DrawBrowser(msg.window);
            return 1;
        case MsgKind::LButtonUp:
            Release(msg.window, msg.x, msg.y);
            return 0;
        default:
            return 0;
    }
}

bool NameBefore(const std::string& a, const std::string& b) {
    const int folded = strcasecmp(a.c_str(), b.c_str());
    return folded != 0 ? folded < 0 : a < b;
}

}  // namespace

std::vector<std::string> ListPictures(const std::string& folder) {
    static const std::string kBlank = "blank.bmp";
    // Beyond the cap the folder is not read at all; which pictures make the cap is the folder's
    // own order, as with any folder too big to show whole.
    std::vector<std::string> names = tb_ListFolder(folder, ".bmp;.png;.jpg;.jpeg", kMostPictures);
    const auto blank = std::find(names.begin(), names.end(), kBlank);
    const bool hasBlank = blank != names.end();
    if (hasBlank) names.erase(blank);
    std::sort(names.begin(), names.end(), NameBefore);
    if (hasBlank) names.insert(names.begin(), kBlank);
    return names;
}

int ChoosePicture(bool colouringPage) {
    shell::ShellState& sh = shell::Shell();
    gNames = ListPictures(sh.programFolder);
    if (!Valid(Position())) Position() = 0;
    const int result = tb_DoDialog(kDialogPictureBrowser, BrowserProc);
    const std::string name = Valid(Position()) ? gNames[Position()] : std::string();
    gNames.clear();
    if (result != 1 || !OfferToSave(Tr(kAskSaveBeforeOpen))) return result;

    Rect rect{};
    const std::string path = sh.programFolder + name;
    const int picture = name.empty() ? -1 : ReadPicture(path, rect);
    if (picture < 0) {
        tb_AttentionMessage(Tr(kCannotOpen));
        return result;
    }
    sh.pictureFileName = SavingName(path);
    // A page bigger than the frame (a scan, a page from the web) is shrunk by averaging, not
    // by sampling: its thin lines turn grey instead of breaking, and cleaning makes them black.
    const Rect& frame = TheRoom().picture;
    const int shrunk = colouringPage && shell::Prefs().fitPictures &&
                               (rect.width() > frame.width() || rect.height() > frame.height())
                           ? tb_ShrinkBitmap(picture, frame.width(), frame.height())
                           : -1;
    if (shrunk >= 0) {
        PlacePicture(shrunk, Rect{0, 0, frame.width(), frame.height()});
        tb_DisposeBitmap(shrunk);
    } else {
        PlacePicture(picture, rect);
    }
    // The canvas, not the file, is cleaned: it is what the Jar fills, after any stretching.
    if (colouringPage) tb_CleanLineArt(TheRoom().canvas);
    tb_DisposeBitmap(picture);
    return result;
}

void GalleryCommand() {
    shell::ShellState& sh = shell::Shell();
    sh.programFolder = GalleryFolder();
    tb_CreateFolder(sh.programFolder);
    if (ChoosePicture() == 1) Present();
}

}  // namespace scene
