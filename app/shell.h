// The program's spine: start-up, the main window's procedure, the message loop and idle tick.
// Window messages arrive in client coordinates of the main window, which covers the desktop
// from (0, 0), so client and screen coordinates agree.
#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/settings.h"
#include "platform/platform.h"

namespace shell {

// Popup menu commands, also started from the remote control.
constexpr int kCmdNew = 40019;
constexpr int kCmdOpen = 40020;
constexpr int kCmdSave = 40021;
constexpr int kCmdGallery = 40022;
constexpr int kCmdPreferences = 40023;
constexpr int kCmdAbout = 40025;
constexpr int kCmdHelp = 40026;
constexpr int kCmdQuit = 40027;
constexpr int kCmdExport = 40028;

constexpr int kPathChars = 256;  // the picture name and program folder buffers' size

// The command number of a popup menu id; -2 (no command) for any other id.
int CommandOfMenuItem(int menuId);

struct ShellState {
    int mainWindow = -1;                 // toolbox handle of the main window
    platform::NativeWindow mainNative = 0;
    Rect desktop{};
    // A window manager that will not let the window cover the desktop (a tiling one, a panel
    // that keeps its strip) answers each placement with its own rectangle: `refused` is its
    // last answer, and `kept` the one the program gave in to (empty while the window covers
    // the desktop). Both are forgotten when the display changes.
    Rect refused{};
    Rect kept{};
    bool inactive = false;  // between losing and regaining the keyboard focus
    bool ready = false;     // the scene exists
    std::vector<platform::MenuItem> popupMenu;
    std::string pictureFileName;  // the current picture's file name
    std::string programFolder;    // the folder the picture browser lists, ending in "/"
    int nextTransition = 1;       // 1..4: the clearing transition New plays next
    int browserPosition = 0;      // the entry the picture browser shows, kept between showings
    bool closing = false;         // Quit has run: the next Close really closes the window
    bool endingSession = false;   // a logout or shutdown ends the program: the recovery copy stays
    int scaleAsked = kScaleAuto;  // from the command line or the settings: kept for display changes
    Settings settings;            // as the system's and the user's files gave them at start
    std::vector<std::string> toldFolders;  // set folders found unusable, told once each
};

ShellState& Shell();
void ResetShell();  // a clean program, for tests

// Steps 1 to 9 of start-up, with what the command line asked for (the settings file fills in
// what it left open). Returns -1 when the loop should run, otherwise the exit code.
int StartPictoria(const CommandLine& line = {});
// The message loop; returns the quit message's exit code.
int RunMessageLoop();
// Start-up and loop: the whole program on the installed platform.
int PictoriaMain(const CommandLine& line = {});

// Does the idle work; true when it wants to be called again soon (polling) rather than wait.
bool IdleTick();

long MainWindowProc(platform::Message& msg);

// Opens the popup menu centred on the pointer.
void OpenPopupMenu();

// The texts the shell shows.
extern const char* const kDepthRefusal;
extern const char* const kResolutionAdvice;
extern const char* const kRemoteHint;

}  // namespace shell
