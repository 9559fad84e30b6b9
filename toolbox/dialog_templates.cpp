#include "toolbox/dialog_templates.h"

#include <vector>

#include "resources/resource_ids.h"

namespace toolbox {
namespace {

struct DialogEntry {
    int id;
    platform::DialogTemplate layout;
};

// Dialogs join this table as the program grows them.
const std::vector<DialogEntry>& DialogTable() {
    static const std::vector<DialogEntry> table = {
        {kDialogColourPalette, {369, 242, {}}},  // everything in it is painted
        {kDialogAbout, {421, 244, {}}},
    };
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
