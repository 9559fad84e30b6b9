// The Ruler (straight lines) and the Templates (ellipses and rectangles, outlined or filled).
// While the button is held the figure is a rubber band drawn straight into the window over the
// displayed scene and wiped at the next move by copying the scene buffer back; only the release
// draws it into the canvas. Both get window coordinates; the canvas gets picture coordinates.
#include "toolbox/toolbox.h"
#include "tools/tool_geometry.h"
#include "tools/tools.h"

namespace tools {
namespace {

constexpr int kFilledEllipse = 1, kOutlinedRect = 2, kFilledRect = 3;

int Zoom() { return scene::FactsOfRoom().zoomed ? 2 : 1; }

void UseColour(int target, const SceneObject& self) {
    tb_SetForeColor(target, self.red, self.green, self.blue);
    tb_SetBackColor(target, self.red, self.green, self.blue);
}

void DrawFigure(int target, int figure, Rect box) {
    switch (figure) {
        case kFilledEllipse: tb_PaintEllipse(target, &box); break;
        case kOutlinedRect: tb_FrameRect(target, &box); break;
        case kFilledRect: tb_PaintRect(target, &box); break;
        default: tb_FrameEllipse(target, &box); break;
    }
}

// Wipes the previous band by copying the scene back over both boxes, each grown by the pen, and
// draws the new one. (Growing before the union keeps a flat box, a level line's, in it.)
void RubberBand(SceneObject& self, int x, int y, bool ruler) {
    const int grow = self.size * Zoom();
    Rect old = BoxOf(self.lastX, self.lastY, self.curX, self.curY);
    self.curX = x;
    self.curY = y;
    const Rect now = BoxOf(self.lastX, self.lastY, x, y);
    Rect wiped = now;
    tb_InsetRect(&old, -grow, -grow);
    tb_InsetRect(&wiped, -grow, -grow);
    tb_UnionRect(&old, &wiped, &wiped);
    tb_CopyBitmap(self.sceneBitmap, self.window, &wiped, &wiped, 0);
    UseColour(self.window, self);
    // The pointer may rest on the canvas's far edge, just outside it; the release refreshes only
    // the canvas, so a band that strayed onto the frame would stay there.
    const Rect canvasArea = scene::FactsOfRoom().canvasArea;
    tb_SetClipRect(self.window, &canvasArea);
    if (ruler) {
        tb_Line(self.window, self.lastX, self.lastY, x, y, self.size * Zoom());
    } else {
        DrawFigure(self.window, self.param, now);
    }
    tb_ClearClipRect(self.window);
}

void Anchor(SceneObject& self, int x, int y) {
    self.lastX = x;
    self.lastY = y;
    self.active = 1;
    tb_SetCursor(self.cursorId);
}

}  // namespace

void RulerPress(SceneObject& self, int x, int y) { Anchor(self, x, y); }

void RulerDrag(SceneObject& self, int x, int y) {
    if (!self.active) return;
    RubberBand(self, x, y, true);
    tb_SetCursor(self.cursorId);
}

void RulerRelease(SceneObject& self, int x, int y) {
    if (!self.active) return;
    if (self.soundId != 0) tb_PlaySound(self.soundId);
    UseColour(self.canvasBitmap, self);
    self.curX = x;
    self.curY = y;
    const Point a = scene::WindowToPicture(self.lastX, self.lastY);
    const Point b = scene::WindowToPicture(x, y);
    tb_Line(self.canvasBitmap, a.x, a.y, b.x, b.y, self.size);
    self.active = 0;
}

void TemplatesPress(SceneObject& self, int x, int y) {
    if (self.soundId != 0) tb_PlaySound(self.soundId);
    Anchor(self, x, y);
}

void TemplatesDrag(SceneObject& self, int x, int y) {
    if (!self.active) return;
    RubberBand(self, x, y, false);
    tb_SetCursor(self.cursorId);
}

void TemplatesRelease(SceneObject& self, int x, int y) {
    if (!self.active) return;
    tb_StopSound();
    UseColour(self.canvasBitmap, self);
    self.curX = x;
    self.curY = y;
    const Rect box = BoxOf(self.lastX, self.lastY, x, y);
    const Point topLeft = scene::WindowToPicture(box.left, box.top);
    const Point bottomRight = scene::WindowToPicture(box.right, box.bottom);
    DrawFigure(self.canvasBitmap, self.param, Rect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
    self.active = 0;
}

}  // namespace tools
