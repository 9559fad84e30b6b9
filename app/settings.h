// What a grown-up sets for the program, beside the preferences the child's room changes: key
// files with one group, for example
//
//   [Pictoria]
//   scale = 2
//
// read at start in this order, each later one winning over what the earlier ones said: the
// system's (/etc/pictoria/settings.ini as packaged: a school sets the whole machine there), the
// user's ($XDG_CONFIG_HOME/pictoria/settings.ini), then the command line. The files are never
// written. A key the program does not know, or a value it does not understand, is told once on
// standard error with the file's path and otherwise ignored: the program always starts.
#pragma once

#include <string>

#include "platform/platform.h"

namespace shell {

// How big every pixel of the room is drawn: kScaleAuto lets the program choose for the screen,
// 1 to kLargestScale draws it as that many screen pixels square.
constexpr int kScaleAuto = 0;
constexpr int kLargestScale = 4;

struct Settings {
    int scale = kScaleAuto;
    bool print = true;      // false: the printer does nothing but say no
    bool save = true;       // false: Save, the save questions' Yes and PNG copies do nothing but say no
    bool sound = true;      // the sound switch for a user who has no preferences yet
    bool lock = false;      // true: leaving the room or reaching the file system asks a grown-up first
    bool kiosk = false;     // true: the lock, and the window held over the whole desktop
    bool gameController = false;  // true: a game controller moves the pointer, presses and undoes
    bool keyboardPointer = false;  // true: the arrows move the pointer, Space and Return press it
    std::string pictures;   // the Gallery folder; empty: "Gallery" in the current directory
    std::string pages;      // the colouring pages' folder; empty: "Pages" in the current directory
    bool switchScan = false;  // true: a highlight steps through the room and one key picks
    int scanStepMs = 1200;    // how long the highlight stays on each place
    int scanKey = platform::kVkSpace;  // the one key that picks
};

// How fast the scanning highlight may be asked to step: quicker than a child can react, or so
// slow that nothing seems to happen, is refused.
constexpr int kLeastScanStepMs = 250;
constexpr int kMostScanStepMs = 10000;
// Milliseconds as the command line and the file give them ("1200"); -1 for anything else,
// also for a step outside the limits.
int ScanStepOfText(const std::string& text);
// The virtual key a name stands for: one letter or digit, Space, Return, Tab or F1 to F12, letters
// in either case; -1 for any other name.
int KeyOfName(const std::string& name);

// "auto", "1" ... "4" as the command line and the file give it; -1 for anything else.
int ScaleOfText(const std::string& text);

// The system's file and then the user's as they stand (defaults where they are missing or say
// nothing).
Settings ReadSettings();
// Where the system's file is read from: the install's configuration folder unless set here (the
// tests use their own).
void SetSystemSettingsPath(const std::string& path);

// The factor for this screen. An asked factor is taken as it is. Automatic: the largest whole
// multiple of the desktop's own factor at which the room still has at least 800 x 540 of its
// pixels, never less than the desktop's factor.
int ChooseScale(int asked, const platform::ScreenPixels& screen);

}  // namespace shell
