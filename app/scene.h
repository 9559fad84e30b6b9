// What the shell asks of the room, and the pieces of the program the room calls into.
#pragma once

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
// The Scissors are current and busy; DropScissorsPiece lets the piece go and redraws.
bool ScissorsCarryingPiece();
void DropScissorsPiece();
// The carried piece let go by a release outside the canvas at (x, y), wiped off the window.
void DropCarriedPiece(int x, int y);

// ---- Pieces still to come (seams.cpp): each does nothing yet, and says so -------------------
// The title screen: modal, returns when it is over.
void ShowTitleScreen();
// The text tool's start values.
void SetTextDefaults();
// A popup menu or remote-control command; -1 shows the remote control first.
void RunCommand(int commandId);
// Closes the help page if it is open.
void CloseHelp();
// Prints the picture.
void PrintPicture();
// The text dialog; true when the child confirmed a text to place.
bool OpenTextDialog();
// Shows the typed text at a window point (placing) and stamps it into the canvas (picture point).
void PreviewText(int x, int y);
void StampText(int x, int y);

}  // namespace scene
