// What the shell asks of the room, and the pieces of the program the room calls into.
#pragma once

#include <string>
#include <vector>

#include "platform/geometry.h"

namespace scene {

struct Color;

// ---- The room (room.cpp, compositing.cpp, pointer.cpp) -------------------------------------
// Layout, buffers, objects and the first full drawing, shown in the main window.
void SceneStartUp();
// Composites the canvas and copies the whole scene to the main window.
void Present();
// The desktop changed size: lay the room out again for the main window's new size.
void RebuildScene();
// Frees the buffers and every object's resources.
void TearDownScene();

// Pointer input on the room, window coordinates.
void OnPress(int x, int y);
void OnMove(int x, int y, bool buttonDown);  // buttonDown: the left button is held
void OnRelease(int x, int y);
void OnDoubleClick(int x, int y);

// True while the current tool is in the middle of something (a stroke, a carried piece).
bool CurrentToolActive();
// Takes the last change back, as the cleaner bottle does (nothing when there is none).
void Undo();
// Ends a stroke whose release will not come (the button went up in a menu or dialog) with a
// release at the last point; a piece the Scissors carry stays carried.
void EndStroke();
// The Scissors are current and busy; DropScissorsPiece lets the piece go and redraws.
bool ScissorsCarryingPiece();
void DropScissorsPiece();
// The carried piece let go by a release outside the canvas at (x, y), wiped off the window.
void DropCarriedPiece(int x, int y);

// ---- Commands (commands.cpp) -----------------------------------------------------------------
// Command numbers: the remote control's buttons, left column then right, top to bottom.
constexpr int kCommandRemote = -1;  // show the remote and run the command chosen there
constexpr int kCommandQuit = 0;
constexpr int kCommandSave = 1;
constexpr int kCommandNew = 2;
constexpr int kCommandOpen = 3;
constexpr int kCommandAbout = 4;
constexpr int kCommandHelp = 5;
constexpr int kCommandPreferences = 6;
constexpr int kCommandGallery = 7;
constexpr int kCommandExport = 8;  // the popup menu's only: a PNG copy of the picture
// Runs a command; every other number does nothing.
void RunCommand(int command);
// The remote control: 0 to 7 for a button, -1 for Back or Escape.
int RemoteDialog();
// Under the parent lock, the grown-up check before anything that leaves the room or reaches the
// file system; true when it may go on (always, without the lock).
bool GrownUpAllows();
// The help page's full path: installed beside the program, or in the build tree's run folder;
// empty when there is none.
std::string HelpPagePath();
// In one help folder, the page in the first of the given languages ("de_DE", "de") that the
// folder has (help/de/index.html), else the English help/index.html; empty without the English page.
std::string HelpPageIn(const std::string& folder, const std::vector<std::string>& languages);
// Where the translations may be, in the order they are looked for: installed beside the
// program, then the build tree's run folder.
std::vector<std::string> LocaleFolders();

// ---- Printing (printing.cpp) -----------------------------------------------------------------
// The print dialog, then the picture on one page; nothing when the dialog is cancelled.
void PrintPicture();
// Where a picture of width x height lands on a printable area of pageWidth x pageHeight:
// as large as fits in nine tenths of it, centred.
Rect PrintedRect(int width, int height, int pageWidth, int pageHeight);

}  // namespace scene
