// The nested loop of a modal dialog, shared by the backends.
#pragma once

#include "platform/platform.h"

namespace platform {

// True for pointer and key messages: the ones a modal dialog keeps from its owner.
bool IsInputMessage(MsgKind kind);

// Runs messages until `ended` turns true: those for `dialog` and every non-input message are
// dispatched, input for any other window is dropped. Quit is put back for the outer loop and
// ends the dialog with 0.
void RunDialogLoop(Platform& backend, NativeWindow dialog, const bool& ended);

}  // namespace platform
