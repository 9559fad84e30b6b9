// The picture dialogs: the title screen at start-up, the About box and the Preferences dialog.
// Each is one painted picture without controls that answers the pointer itself.
#pragma once

namespace dialogs {

// Modal until its 7 s timer, a left press or Escape; 1, or 0 for Escape.
int ShowTitleScreen();
// Modal until a left press anywhere in it or Escape.
void ShowAbout();
// The four preferences as pictures. 1 OK (the preferences are then set), -1 the cancel button,
// 0 Escape (nothing changes).
int PreferencesDialog();

}  // namespace dialogs
