// The picture work behind the commands: saving, new pictures with their clearing transitions,
// colouring pages, opening, and the picture browser. Pictures are saved as 24-bit BMP files and
// read as BMP, PNG or JPEG, in two folders under the current directory: "Gallery/" (the child's
// pictures) and "Pages/" (colouring pages, "blank.bmp" the empty one).
#pragma once

#include <string>
#include <vector>

#include "platform/geometry.h"

namespace scene {

// The current directory's subfolder `name` ("Gallery", "Pages"), ending in "/".
std::string FolderHere(const char* name);
// The child's pictures and the colouring pages: the folders the settings name ("pictures",
// "pages") when they can be used, else "Gallery/" and "Pages/" here; ending in "/". A set folder
// that is missing or cannot be used (written, for the pictures) is told once a run.
std::string GalleryFolder();
std::string PagesFolder();

// ---- Saving (picture_files.cpp) -------------------------------------------------------------
// Tells the parent that a file was not written: `message`, translated, with a %s for the file's
// name and why (the writing failed midway, or the file could not be made).
void TellNotWritten(const char* message, const std::string& file);
enum class SaveOutcome {
    Saved,      // the whole picture is in the file
    Cancelled,  // the child's parent closed the Save As dialog: nothing written
    Failed,     // nothing usable written, the old file intact; the parent has been told why
};
// The Save As dialog in the program directory of the moment, then the write. Under the parent
// lock there is no dialog: a picture with a file of its own is written there, a new one (or a
// colouring page) into the Gallery as "<YYYY-MM-DD> <n>.bmp", n the first number free.
SaveOutcome SaveSequence();
// The Save command: the dialog opens in "Gallery/" (created when missing); only a picture that
// reached the disk whole counts as saved.
void SaveCommand();
// Asks `question` when the picture has unsaved changes and saves on Yes. False when the picture
// must stay: the question was closed without an answer, or a save was tried and failed, so the
// caller must leave the canvas alone.
bool OfferToSave(const char* question);

extern const char* const kAskSaveBeforeNew;
extern const char* const kAskSaveBeforeOpen;

// ---- A PNG copy for sharing (picture_export.cpp) --------------------------------------------
// The name `path` gives a picture saved in the program's own format: a PNG or JPEG file opened
// must never be overwritten with a BMP under its own name, so "cat.jpg" becomes "cat.bmp".
std::string SavingName(const std::string& path);
// "Export as PNG...": the Save As dialog for PNG files in the pictures folder (the current
// directory, beside "Gallery/"), offering the picture's name with ".png", then a safe write.
// The picture itself, its name and its modified mark stay as they are.
void ExportCommand();

// ---- New and open (picture_files.cpp) -------------------------------------------------------
// Puts a loaded picture, (0, 0, width, height), onto the canvas by the fitPictures preference:
// stretched over the whole picture, or unscaled and centred on white.
void PlacePicture(int bitmap, const Rect& rect);
// A white canvas, through the next transition when transitions are on; the name "Pictoria.bmp".
void ClearCanvas();
void NewPicture();
void OpenPicture();

// ---- Clearing transitions (transitions.cpp) -------------------------------------------------
// Plays transition 1 (wipe), 2 (melt), 3 (shrink) or 4 (slide) in turn, each with its sound,
// taking its own undo copy first and leaving a white canvas.
void PlayNextTransition();

// ---- The picture browser (picture_browser.cpp) ----------------------------------------------
// The picture files (.bmp, .png, .jpg, .jpeg, any case) of the program folder: "blank.bmp"
// first when present, the others by name, letters compared without case.
std::vector<std::string> ListPictures(const std::string& folder);
// Lists the program folder and shows the browser. 1: a picture was chosen and, when it could be
// read, placed on the canvas; -1 the cancel button; 0 Escape. A colouring page is made clean
// once placed (tb_CleanLineArt): grey anti-aliased lines would leave a rim wherever the Jar pours.
int ChoosePicture(bool colouringPage = false);
// The Gallery command: the browser on "Gallery/", created when missing.
void GalleryCommand();

}  // namespace scene
