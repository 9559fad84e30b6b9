#include "toolbox/dialog_templates.h"

#include <vector>

#include "resources/resource_ids.h"

namespace toolbox {
namespace {

struct DialogEntry {
    int id;
    platform::DialogTemplate layout;
};

Rect FromDialogUnits(int x, int y, int width, int height) {
    const int left = x * 6 / 4, top = y * 13 / 8;
    return Rect{left, top, left + width * 6 / 4, top + height * 13 / 8};
}

// Dialogs join this table as the program grows them.
const std::vector<DialogEntry>& DialogTable() {
    static const std::vector<DialogEntry> table = {
        {kDialogColourPalette, {369, 242, {}}},  // everything in it is painted
        {kDialogAbout, {421, 244, {}}},
        // The text dialog's controls, placed from dialog units: x by 6 / 4, y by 13 / 8 pixels,
        // the base units of the dialog font the layout was made for.
        {kDialogText,
         {495, 370,
          {{1000, platform::ControlKind::Edit, FromDialogUnits(33, 186, 213, 14)},
           {1001, platform::ControlKind::SortedList, FromDialogUnits(34, 39, 112, 128)}}}},
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
