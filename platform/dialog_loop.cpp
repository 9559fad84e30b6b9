#include "platform/dialog_loop.h"

#include "platform/keyboard_pointer.h"

namespace platform {
namespace {
DialogKeyHook gKeyHook = nullptr;
}

void SetDialogKeyHook(DialogKeyHook hook) { gKeyHook = hook; }

bool IsInputMessage(MsgKind kind) {
    switch (kind) {
        case MsgKind::KeyDown:
        case MsgKind::KeyUp:
        case MsgKind::Char:
        case MsgKind::LButtonDown:
        case MsgKind::LButtonUp:
        case MsgKind::LButtonDblClk:
        case MsgKind::MouseMove:
        case MsgKind::RButtonDown:
            return true;
        default:
            return false;
    }
}

void RunDialogLoop(Platform& backend, NativeWindow dialog, const bool& ended) {
    Message msg;
    while (!ended) {
        if (!backend.peekMessage(msg)) {
            backend.waitMessage(-1);
            continue;
        }
        if (msg.kind == MsgKind::Quit) {
            backend.postQuitMessage(msg.exitCode);
            backend.endDialog(dialog, 0);
            break;
        }
        if (msg.window != dialog && IsInputMessage(msg.kind)) continue;
        const bool key = msg.kind == MsgKind::KeyDown || msg.kind == MsgKind::KeyUp;
        if (key && gKeyHook != nullptr && gKeyHook(msg)) continue;
        if (!KeyboardPointerFilter(backend, msg, true)) continue;
        backend.dispatchMessage(msg);
    }
}

}  // namespace platform
