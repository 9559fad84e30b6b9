// Pieces of the program that other parts call but that are not built yet. Each is a clear
// no-op so that the room works around them; Quit is carried out already so the
// program can be closed from the menu.
#include "app/room.h"
#include "app/scene.h"
#include "app/shell.h"
#include "toolbox/toolbox.h"

namespace scene {

void ShowTitleScreen() {}

void SetTextDefaults() {}

void RunCommand(int commandId) {
    if (commandId == shell::kCmdQuit) tb_Quit();
}

void CloseHelp() {}

void PrintPicture() {}

bool OpenTextDialog() { return false; }

void PreviewText(int, int) {}

void StampText(int, int) {}

}  // namespace scene
