// The painted dialogs' layouts by dialog id: their size and the real controls they hold.
#pragma once

#include "platform/platform.h"

namespace toolbox {

// Null for an id the program has no dialog for.
const platform::DialogTemplate* FindDialogTemplate(int dialogId);

}  // namespace toolbox
