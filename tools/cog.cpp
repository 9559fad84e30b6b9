// The Cog: the Pencil's stroke, repeated mirrored about the stroke's starting point, left and
// right (mode 1) or into all four quadrants (mode 2).
#include "toolbox/toolbox.h"
#include "tools/tools.h"

namespace tools {
namespace {

// The mirror centre, picture coordinates; set at each press and release.
Point gCentre{};

void UseColour(SceneObject& self) {
    tb_SetForeColor(self.canvasBitmap, self.red, self.green, self.blue);
    tb_SetBackColor(self.canvasBitmap, self.red, self.green, self.blue);
}

}  // namespace

void CogPress(SceneObject& self, int x, int y) {
    if (self.soundId != 0) tb_PlaySoundLoop(self.soundId);
    gCentre = Point{x, y};
    self.lastX = x;
    self.lastY = y;
    UseColour(self);
    // Every mirror image of the centre is the centre: one dot in either mode.
    if (self.size >= 1) tb_Line(self.canvasBitmap, x, y, x, y, self.size);
    self.active = 1;
    tb_SetCursor(self.cursorId);
}

void CogDrag(SceneObject& self, int x, int y) {
    if (!self.active) return;
    self.curX = x;
    self.curY = y;
    const int cx = gCentre.x;
    const int cy = gCentre.y;
    const int ax = self.lastX - cx, ay = self.lastY - cy;
    const int bx = x - cx, by = y - cy;
    UseColour(self);
    const int c = self.canvasBitmap;
    tb_Line(c, cx + ax, cy + ay, cx + bx, cy + by, self.size);
    tb_Line(c, cx - ax, cy + ay, cx - bx, cy + by, self.size);
    if (self.param == 2) {
        tb_Line(c, cx + ax, cy - ay, cx + bx, cy - by, self.size);
        tb_Line(c, cx - ax, cy - ay, cx - bx, cy - by, self.size);
    }
    self.lastX = self.curX;
    self.lastY = self.curY;
    tb_SetCursor(self.cursorId);
}

void CogRelease(SceneObject& self, int x, int y) {
    self.lastX = self.curX = x;
    self.lastY = self.curY = y;
    gCentre = Point{x, y};
    self.active = 0;
    tb_StopSound();
    tb_SetCursor(self.cursorId);
}

}  // namespace tools
