// What a grown-up sets for the program, beside the preferences the child's room changes:
// $XDG_CONFIG_HOME/pictoria/settings.ini, a key file with one group, for example
//
//   [Pictoria]
//   scale = 2
//
// The file is read at start and never written; the command line wins over it. A key the
// program does not know, or a value it does not understand, is told on standard error and
// otherwise ignored: the program always starts.
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
};

// "auto", "1" ... "4" as the command line and the file give it; -1 for anything else.
int ScaleOfText(const std::string& text);

// The settings file as it stands (defaults where it is missing or says nothing).
Settings ReadSettings();

// The factor for this screen. An asked factor is taken as it is. Automatic: the largest whole
// multiple of the desktop's own factor at which the room still has at least 800 x 540 of its
// pixels, never less than the desktop's factor.
int ChooseScale(int asked, const platform::ScreenPixels& screen);

}  // namespace shell
