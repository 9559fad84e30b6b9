// What the shell asks of the room, the tools, the commands and the dialogs.
//
// Until the room is built these are seams: the room is one flat wall colour, the pointer
// handlers paint nothing, the title screen returns at once and the only command carried out
// is Quit. Each later piece replaces its seam in app/seams.cpp with the real thing.
#pragma once

namespace scene {

// Layout, buffers, objects and the first full drawing, shown in the main window.
void SceneStartUp();
// Copies the whole scene to the main window.
void Present();
// The desktop changed size: lay the room out again for the main window's new size.
void RebuildScene();
// Frees the buffers and every object's resources.
void TearDownScene();

// Pointer input on the room, client coordinates.
void OnPress(int x, int y);
void OnMove(int x, int y);
void OnRelease(int x, int y);
void OnDoubleClick(int x, int y);

// True while the current tool is in the middle of something (a stroke, a carried piece).
bool CurrentToolActive();
// The Scissors are current and hold a piece; DropScissorsPiece lets it go and redraws.
bool ScissorsCarryingPiece();
void DropScissorsPiece();

// The title screen: modal, returns when it is over.
void ShowTitleScreen();
// The text tool's start values.
void SetTextDefaults();
// A popup menu or remote-control command.
void RunCommand(int commandId);
// Closes the help page if it is open.
void CloseHelp();

// For tests until the tools exist: the current tool's busy flag, and how many pointer events
// of each kind reached the room.
void SetCurrentToolActiveForTest(bool active);
struct PointerLog {
    int presses = 0;
    int releases = 0;
    int moves = 0;
    int doubleClicks = 0;
};
const PointerLog& PointerEventsForTest();

}  // namespace scene
