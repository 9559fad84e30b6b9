// The picture dialogs: the title screen at start-up, the About box, the Preferences dialog and
// the grown-up check. Each is one painted picture without controls that answers the pointer itself.
#pragma once

#include <string>

#include "platform/geometry.h"
#include "platform/language.h"

namespace dialogs {

// Modal until its 7 s timer, a left press or Escape; 1, or 0 for Escape.
int ShowTitleScreen();
// Modal until a left press anywhere in it or Escape.
void ShowAbout();
// The four preferences as pictures, each on or off.
struct PreferenceChoices {
    bool sound = true;
    bool transitions = true;
    bool fitPictures = true;
    bool fullInk = false;  // the fourth: printing without ink saving
};
// 1 OK (`choices` then holds what was chosen), -1 the cancel button, 0 Escape (nothing changes).
int PreferencesDialog(PreferenceChoices& choices);

// ---- The grown-up check (grown_up_check.cpp) -----------------------------------------------
// A sum of two new two-digit numbers to type the answer to, shown as dots. True for the right
// answer; false after kGrownUpTries wrong ones (each brings a new sum), the cross or Escape.
constexpr int kGrownUpTries = 3;
bool AskGrownUp();
// The numbers on the chalkboard while the check is open; zeros otherwise.
struct GrownUpSum {
    int first = 0, second = 0;
};
GrownUpSum GrownUpSumShown();

// ---- The text tool (text_tool.cpp) and its dialog (text_dialog.cpp) -------------------------
constexpr int kTextSizes[5] = {10, 20, 40, 60, 80};  // character heights in pixels
constexpr size_t kMostTextBytes = 255;               // a line of text, in UTF-8

struct TextSettings {
    std::string face = "Arial";
    std::string text = Tr("Type your text in here.");
    int sizeIndex = 2;  // into kTextSizes
    int style = 0;      // 0 normal, 1 bold, 2 italic
};
// The settings of this run; InitTextTool puts the defaults back.
TextSettings& Text();
void InitTextTool();
// The text dialog: 1 OK (the settings then take the dialog's choices), -1 the cancel button,
// 0 Escape.
int TextSettingsDialog();
// While a confirmed text waits to be placed: its preview at a window point, straight into the
// window and clipped to the canvas area (the canvas is not touched); the stamp into the canvas
// at a picture point; or the preview taken away when the text is dropped.
void PreviewText(int x, int y);
void StampText(int pictureX, int pictureY);
void DropText();
// One line centred on x with its bottom on y, in a face named by family, on a bitmap, a window or
// the printer page; colours on the 0..65025 scale; `clip` null or all -1 for none. Returns the
// rectangle of the target's pixels it touched.
Rect DrawTextAt(int target, int x, int y, const std::string& text, const std::string& face, int size, int style,
                int red, int green, int blue, double angle, const Rect* clip);
// The longest start of `text` of at most `bytes` bytes that does not cut a character in half.
std::string Utf8Prefix(const std::string& text, size_t bytes);

}  // namespace dialogs
