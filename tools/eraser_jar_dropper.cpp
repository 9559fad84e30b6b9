// Three plain tools of the tool box: the Eraser paints white squares, the Jar pours the colour
// into the connected area of one colour under the click, and the Dropper makes the colour under
// the pointer the current colour. Picture coordinates throughout.
#include "toolbox/toolbox.h"
#include "tools/tool_geometry.h"
#include "tools/tools.h"

namespace tools {
namespace {

constexpr int kFull = 65025;

// One square per event, centred on the pointer; no line joins fast strokes' squares.
void WhiteSquare(SceneObject& self, int x, int y) {
    const int r = DabRadius(self);
    tb_SetForeColor(self.canvasBitmap, kFull, kFull, kFull);
    tb_SetBackColor(self.canvasBitmap, kFull, kFull, kFull);
    Rect square{x - r, y - r, x + r, y + r};
    tb_PaintRect(self.canvasBitmap, &square);
}

}  // namespace

void EraserPress(SceneObject& self, int x, int y) {
    WhiteSquare(self, x, y);
    self.active = 1;
    tb_SetCursor(self.cursorId);
}

void EraserDrag(SceneObject& self, int x, int y) {
    if (!self.active) return;
    if (self.soundId != 0) tb_PlaySound(self.soundId);
    WhiteSquare(self, x, y);
    tb_SetCursor(self.cursorId);
}

// The fill replaces exactly the colour under the click, so its cost is paid once, at the press.
void JarPress(SceneObject& self, int x, int y) {
    if (self.soundId != 0) tb_PlaySound(self.soundId);
    int red = 0, green = 0, blue = 0;
    tb_GetPixel(self.canvasBitmap, x, y, &red, &green, &blue);
    tb_SetForeColor(self.canvasBitmap, self.red, self.green, self.blue);
    tb_SetBackColor(self.canvasBitmap, self.red, self.green, self.blue);
    tb_FloodFill(self.canvasBitmap, x, y, red, green, blue);
    self.active = 1;
    tb_SetCursor(self.cursorId);
}

void JarDrag(SceneObject&, int, int) {}

// Press and Drag alike: the paint blot follows the pointer over the picture.
void DropperPick(SceneObject& self, int x, int y) {
    if (self.soundId != 0) tb_PlaySound(self.soundId);
    int red = 0, green = 0, blue = 0;
    tb_GetPixel(self.canvasBitmap, x, y, &red, &green, &blue);
    scene::SetCurrentColor(red, green, blue, true);
}

void DropperRelease(SceneObject&, int, int) {}

// Ends the stroke; nothing was looping.
void EndStroke(SceneObject& self, int, int) { self.active = 0; }

}  // namespace tools
