// Saving the picture, starting a new one and opening one from a file.
//
// A save is only reported as done when the whole picture reached the disk: the toolbox writes
// a temporary file beside the target and renames it into place at the end, so a full disk or a
// folder that refuses the file leaves the old picture of that name as it was. When that
// happens the child's parent is told, the picture stays on the canvas with its changes marked,
// and a command that asked to save first does not go on to replace the canvas.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "app/pictures.h"
#include "app/preferences.h"
#include "app/room.h"
#include "app/scene.h"
#include "app/shell.h"
#include "dialogs/dialogs.h"
#include "toolbox/toolbox.h"
#include "platform/language.h"

namespace scene {

const char* const kAskSaveBeforeNew = TrLater("Do you want to save the current picture before starting a new one?");
const char* const kAskSaveBeforeOpen = TrLater("Do you want to save the current picture before opening a new one?");

namespace {

constexpr int kWhite = 65025;
constexpr const char* kDefaultName = "Pictoria.bmp";
const char* const kIncompatibleFile = TrLater("Incompatible File:  The file must be in Windows BMP 24bpp format");
const char* const kCannotOpen = TrLater("Could not open selected file.");

void TellSaveFailed(const std::string& file, bool created) {
    TellNotWritten(created ? Tr("The picture could not be saved as \"%s\": the disk may be full, or it went away "
                                "while saving. The file that had this name before is unchanged. The picture is still "
                                "here: please save it somewhere else.")
                           : Tr("The picture could not be saved as \"%s\": that folder does not accept new files, or "
                                "a folder or a read-only file already has this name. The picture is still here: please "
                                "save it somewhere else."),
                   file);
}

// Text waiting to be placed belongs to the picture it was typed for: it must not land on the
// next one, after that one's undo copy has been taken.
void EndPlacingText() {
    Room& r = TheRoom();
    if (!r.placingText) return;
    r.placingText = false;
    dialogs::DropText();
}

}  // namespace

void TellNotWritten(const char* message, const std::string& file) {
    tb_AttentionMessage(TrFormat(message, tb_DisplayName(file).c_str()).c_str());
}

std::string FolderHere(const char* name) {
    const std::string current = tb_GetCurrentDirectory();
    return (current.empty() ? std::string(".") : current) + "/" + name + "/";
}

namespace {

// The folder a setting names when it can be used (read, or also written); else `name` in the
// current directory. A set folder that cannot be used is told once a run, with `message`
// naming both folders.
std::string SetFolder(const std::string& set, const char* name, bool written, const char* message) {
    if (set.empty()) return FolderHere(name);
    struct stat st;
    if (stat(set.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(set.c_str(), written ? W_OK | X_OK : R_OK | X_OK) == 0)
        return set;
    std::vector<std::string>& told = shell::Shell().toldFolders;
    if (std::find(told.begin(), told.end(), set) == told.end()) {
        told.push_back(set);
        const std::string text =
            TrFormat(Tr(message), tb_DisplayName(set).c_str(), tb_DisplayName(FolderHere(name)).c_str());
        tb_AttentionMessage(text.c_str());
    }
    return FolderHere(name);
}

// Under the parent lock there is no Save As dialog, so the child's work is kept without one: a
// picture goes back to the file it came from, and a new one into the Gallery under the day's
// date and the first number free that day. A colouring page's file is the page, not the child's
// picture: it counts as new.
std::string LockedSavingPath(const std::string& name) {
    if (name.find('/') != std::string::npos && tb_GetPathDirectory(name) != tb_GetPathDirectory(PagesFolder())) return name;
    const std::string gallery = GalleryFolder();
    tb_CreateFolder(gallery);
    char day[32] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    std::strftime(day, sizeof day, "%Y-%m-%d", localtime_r(&now, &local));
    for (int n = 1;; ++n) {
        const std::string path = gallery + day + " " + std::to_string(n) + ".bmp";
        struct stat st;
        if (lstat(path.c_str(), &st) != 0) return path;
    }
}

}  // namespace

std::string GalleryFolder() {
    return SetFolder(shell::Shell().settings.pictures, "Gallery", true,
                     TrLater("The folder set for the pictures, \"%s\", is missing or cannot be written to. Pictoria "
                             "uses \"%s\" instead."));
}

std::string PagesFolder() {
    return SetFolder(shell::Shell().settings.pages, "Pages", false,
                     TrLater("The folder set for the colouring pages, \"%s\", is missing or cannot be read. Pictoria "
                             "uses \"%s\" instead."));
}

SaveOutcome SaveSequence() {
    // Saving turned off: nothing is written, and nothing that asked to save first goes on.
    if (!shell::Shell().settings.save) return tb_Beep(), SaveOutcome::Failed;
    std::string& name = shell::Shell().pictureFileName;
    const bool locked = shell::Shell().settings.lock;
    std::string path = locked ? LockedSavingPath(name) : name;
    const int created = tb_CreateFile(path, locked ? 0 : 1);
    if (created == 0) return SaveOutcome::Cancelled;
    if (created != 1) {
        if (created == -1) {
            name = path;  // the name chosen is offered again
            TellSaveFailed(path, false);
        } else {
            tb_AttentionMessage(Tr("The Save As window could not be opened, so the picture was not saved."));
        }
        return SaveOutcome::Failed;
    }
    name = path;
    const bool written = tb_WriteBitmapToFile(TheRoom().canvas) == 1;
    const bool inPlace = tb_CloseFile() == 1;  // also removes a partial file
    if (written && inPlace) return SaveOutcome::Saved;
    TellSaveFailed(path, true);
    return SaveOutcome::Failed;
}

void SaveCommand() {
    shell::ShellState& sh = shell::Shell();
    if (!sh.settings.save) return tb_Beep();
    sh.programFolder = GalleryFolder();
    tb_CreateFolder(sh.programFolder);  // a failure shows as the dialog's own folder
    tb_SetProgramDirectory(sh.programFolder);
    if (SaveSequence() == SaveOutcome::Saved) TheRoom().modified = false;
}

bool OfferToSave(const char* question) {
    Room& r = TheRoom();
    if (!r.modified) return true;
    // A cancelled Save As is the parent's choice and the command goes on; a failed one is not.
    // Only an explicit No throws the changes away: a question closed unanswered keeps them.
    const int answer = tb_AskYesNo(question);
    if (answer < 0 || (answer == 1 && SaveSequence() == SaveOutcome::Failed)) return false;
    r.modified = false;
    return true;
}

void PlacePicture(int bitmap, const Rect& rect) {
    Room& r = TheRoom();
    EndPlacingText();
    Rect src = rect;
    if (shell::Prefs().fitPictures) {
        Rect dst = r.picture;
        tb_CopyBitmap(bitmap, r.canvas, &src, &dst, 0);
        return;
    }
    Rect whole = r.picture;
    tb_SetForeColor(r.canvas, kWhite, kWhite, kWhite);
    tb_PaintRect(r.canvas, &whole);
    const int w = rect.width(), h = rect.height();
    const int left = r.picture.width() / 2 - w / 2;
    const int top = r.picture.height() / 2 - h / 2;
    Rect dst{left, top, left + w, top + h};
    tb_CopyBitmap(bitmap, r.canvas, &src, &dst, 0);
}

void ClearCanvas() {
    Room& r = TheRoom();
    EndPlacingText();
    if (shell::Prefs().transitions) {
        PlayNextTransition();
    } else {
        tb_Beep();
        Rect whole = r.picture;
        tb_SetForeColor(r.canvas, kWhite, kWhite, kWhite);
        tb_PaintRect(r.canvas, &whole);
        RedrawRect(r.canvasArea);
    }
    shell::Shell().pictureFileName = kDefaultName;
}

void NewPicture() {
    Room& r = TheRoom();
    if (r.zoomed) ZoomOut();
    if (!OfferToSave(Tr(kAskSaveBeforeNew))) return;
    ClearCanvas();
    SaveUndo();
    r.undoAvailable = false;  // a new picture cannot be undone

    // The colouring pages, from the first, with the browser's own place kept for the Gallery.
    shell::ShellState& sh = shell::Shell();
    const std::string keptFolder = sh.programFolder;
    const int keptPosition = sh.browserPosition;
    sh.programFolder = PagesFolder();
    sh.browserPosition = 0;
    if (ChoosePicture(true) == 1) Present();
    sh.programFolder = keptFolder;
    sh.browserPosition = keptPosition;
}

void OpenPicture() {
    if (!GrownUpAllows()) return;  // asked before the save question: a no leaves everything as it was
    if (!OfferToSave(Tr(kAskSaveBeforeOpen))) return;
    shell::ShellState& sh = shell::Shell();
    sh.programFolder = GalleryFolder();
    tb_CreateFolder(sh.programFolder);
    tb_SetProgramDirectory(sh.programFolder);

    // The name changes only once the picture is on the canvas: a refused file must not become
    // the name the next Save offers, or saving would replace it with the old picture.
    std::string path;
    if (tb_OpenFile(path, 1) != 1) {
        if (!path.empty()) tb_AttentionMessage(Tr(kCannotOpen));  // chosen, but not readable
        return;
    }
    Rect rect{};
    const int picture = tb_ReadBitmapFromFile(&rect);
    tb_CloseFile();
    if (picture < 0) {
        tb_AttentionMessage(Tr(kIncompatibleFile));
        return;
    }
    sh.pictureFileName = SavingName(path);
    PlacePicture(picture, rect);
    Present();
    tb_DisposeBitmap(picture);
    SaveUndo();
}

}  // namespace scene
