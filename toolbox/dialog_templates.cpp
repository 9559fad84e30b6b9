#include "toolbox/dialog_templates.h"

#include <vector>

namespace toolbox {
namespace {

struct DialogEntry {
    int id;
    platform::DialogTemplate layout;
};

// Dialogs join this table as the program grows them.
const std::vector<DialogEntry>& DialogTable() {
    static const std::vector<DialogEntry> table = {};
    return table;
}

}  // namespace

const platform::DialogTemplate* FindDialogTemplate(int dialogId) {
    for (const DialogEntry& entry : DialogTable()) {
        if (entry.id == dialogId) return &entry.layout;
    }
    return nullptr;
}

}  // namespace toolbox
