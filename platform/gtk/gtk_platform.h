// The desktop backend of the real program: GTK 3 on X11.
//
// The backend starts GTK only when it first needs the display, so claimSingleInstance() can run
// (and a second start can end) before any connection to the X server is made. When the display
// cannot be opened the process prints why on stderr and ends with exit code 1.
#pragma once

#include <memory>

#include "platform/platform.h"

std::unique_ptr<platform::Platform> CreateGtkPlatform();
