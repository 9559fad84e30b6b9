// Pieces of the program that other parts call but that are not built yet. Each is a clear
// no-op so that the room works around them; the picture commands and Quit are carried out
// already so that they work from the menu.
#include "app/pictures.h"
#include "app/room.h"
#include "app/scene.h"
#include "app/shell.h"
#include "toolbox/toolbox.h"

namespace scene {

void ShowTitleScreen() {}

void SetTextDefaults() {}

void RunCommand(int commandId) {
    switch (commandId) {
        case shell::kCmdNew: return NewPicture();
        case shell::kCmdOpen: return OpenPicture();
        case shell::kCmdSave: return SaveCommand();
        case shell::kCmdGallery: return GalleryCommand();
        case shell::kCmdQuit: return tb_Quit();
        default: return;
    }
}

void CloseHelp() {}

void PrintPicture() {}

bool OpenTextDialog() { return false; }

void PreviewText(int, int) {}

void StampText(int, int) {}

}  // namespace scene
