// The nested loop of a modal dialog, shared by the backends.
#pragma once

#include "platform/platform.h"

namespace platform {

// True for pointer and key messages: the ones a modal dialog keeps from its owner.
bool IsInputMessage(MsgKind kind);

// Sees each key going to a painted dialog before the dialog and the keyboard pointer do; true
// when it took the key (the scanning switch, which picks in dialogs as in the room).
using DialogKeyHook = bool (*)(const Message& msg);
void SetDialogKeyHook(DialogKeyHook hook);

// Runs messages until `ended` turns true: those for `dialog` and every non-input message are
// dispatched, input for any other window is dropped. Quit is put back for the outer loop and
// ends the dialog with 0.
void RunDialogLoop(Platform& backend, NativeWindow dialog, const bool& ended);

}  // namespace platform
