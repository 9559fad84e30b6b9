// The Brush and the Hammer & Chisel: both lay a round dab at every pointer event. The square
// around the pointer goes into a scratch bitmap, a 5 x 5 filter works on it there, and a disc
// of the result comes back into the canvas. Picture coordinates throughout.
#include <cmath>

#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"
#include "tools/tool_geometry.h"
#include "tools/tools.h"

namespace tools {
namespace {

// The Brush spreads its spot evenly over 5 x 5 pixels.
FilterKernel BlurKernel() {
    FilterKernel k;
    tb_InitKernel(&k);
    for (auto& row : k.weights)
        for (int32_t& w : row) w = 1;
    k.divisor = 25;
    return k;
}

// Light from the top left: a flat area comes out mid-grey, edges stand out light or dark.
FilterKernel EmbossKernel() {
    FilterKernel k;
    tb_InitKernel(&k);
    constexpr int32_t kBlock[3][3] = {{-150, -150, 150}, {-150, 0, 150}, {-150, 150, 150}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) k.weights[r + 1][c + 1] = kBlock[r][c];
    k.divisor = 400;
    k.bias = 200;
    return k;
}

// Copies a disc of radius q around (sx, sy) of the scratch to (x, y) of the canvas, as five
// centred rectangles at 80, 10, 62.5, 27.5 and 45 degrees; the square's corners stay out.
// The plain copy, which only the picture's edge clips: the ordinary one leaves out a rectangle
// that reaches only a few pixels into the picture, and the dab would lose its narrow middle.
void CopyDiscBack(int scratch, int canvas, int q, int sx, int sy, int x, int y) {
    for (double degrees : {80.0, 10.0, 62.5, 27.5, 45.0}) {
        const double a = degrees * kPi / 180.0;
        const int hx = tb_Round(q * std::cos(a));
        const int hy = tb_Round(q * std::sin(a));
        Rect src{sx - hx, sy - hy, sx + hx, sy + hy};
        Rect dst{x - hx, y - hy, x + hx, y + hy};
        tb_CopyBitmapBits(scratch, canvas, &src, &dst, 0);
    }
}

// The part of `square` on the canvas, moved into the scratch's coordinates; empty when the
// square lies wholly off the picture.
Rect OnCanvasPart(const SceneObject& self, const Rect& square) {
    Rect bounds{};
    tb_GetBitmapRect(self.canvasBitmap, &bounds);
    Rect part = IntersectRects(square, bounds);
    if (part.isEmpty()) return Rect{};
    tb_OffsetRect(&part, -square.left, -square.top);
    return part;
}

// Fills the scratch around `part` (its on-picture part) with the picture's edge pixels drawn
// outwards, so the filter finds beyond the edge what lies along it, not black: a dab at the edge
// is then the dab a little further in, cut by the edge.
void ExtendEdges(int scratch, const Rect& part, int w, int h) {
    const Rect strips[4][2] = {
        {{part.left, part.top, part.left + 1, part.bottom}, {0, part.top, part.left, part.bottom}},
        {{part.right - 1, part.top, part.right, part.bottom}, {part.right, part.top, w, part.bottom}},
        {{0, part.top, w, part.top + 1}, {0, 0, w, part.top}},
        {{0, part.bottom - 1, w, part.bottom}, {0, part.bottom, w, h}}};
    for (const auto& [from, to] : strips) {
        Rect src = from, dst = to;
        if (!dst.isEmpty()) tb_CopyBitmap(scratch, scratch, &src, &dst, 0);
    }
}

// Makes a scratch bitmap holding `square` of `source`, with `part` on the picture; -1 when the
// table is full.
int ScratchOf(int source, const Rect& square, const Rect& part) {
    Rect size{0, 0, square.width(), square.height()};
    int scratch = tb_CreateBitmap(&size, -1, 24);
    if (scratch < 0) return -1;
    Rect src = square;
    tb_CopyBitmap(source, scratch, &src, &size, 0);
    if (!part.isEmpty()) ExtendEdges(scratch, part, size.right, size.bottom);
    return scratch;
}

void BrushDab(SceneObject& self, int x, int y) {
    static const FilterKernel kBlur = BlurKernel();
    const int r = DabRadius(self);
    const Rect square{x - r - 2, y - r - 2, x + r + 2, y + r + 2};
    const Rect part = OnCanvasPart(self, square);
    const int w = square.width(), h = square.height();
    const int scratch = ScratchOf(self.canvasBitmap, square, part);
    if (scratch < 0) return;
    tb_SetForeColor(scratch, self.red, self.green, self.blue);
    tb_SetBackColor(scratch, self.red, self.green, self.blue);
    Rect spot{8, 8, w - 8, h - 8};
    tb_PaintEllipse(scratch, &spot);
    if (!part.isEmpty()) tb_Convolve(scratch, &part, &kBlur);
    CopyDiscBack(scratch, self.canvasBitmap, r - 1, w / 2, h / 2, x, y);
    tb_DisposeBitmap(scratch);
}

// Always from the picture as it was before the stroke (the undo copy in `window`), so dabs
// that overlap within one stroke never emboss the relief again.
void EmbossDab(SceneObject& self, int x, int y) {
    static const FilterKernel kEmboss = EmbossKernel();
    const int r = DabRadius(self);
    const Rect square{x - r, y - r, x + r, y + r};
    const Rect part = OnCanvasPart(self, square);
    const int scratch = ScratchOf(self.window, square, part);
    if (scratch < 0) return;
    if (!part.isEmpty()) tb_Convolve(scratch, &part, &kEmboss);
    CopyDiscBack(scratch, self.canvasBitmap, r - 1, r, r, x, y);
    tb_DisposeBitmap(scratch);
}

}  // namespace

void BrushPress(SceneObject& self, int x, int y) {
    if (self.soundId != 0) tb_PlaySoundLoop(self.soundId);
    self.active = 1;
    BrushDrag(self, x, y);
    tb_SetCursor(self.cursorId);
}

void BrushDrag(SceneObject& self, int x, int y) {
    if (!self.active) return;
    BrushDab(self, x, y);
    tb_SetCursor(self.cursorId);
}

void BrushRelease(SceneObject& self, int, int) {
    tb_StopSound();
    self.active = 0;
}

void HammerPress(SceneObject& self, int x, int y) {
    self.window = scene::FactsOfRoom().undo;
    if (self.soundId != 0) tb_PlaySoundLoop(self.soundId);
    self.active = 1;
    HammerDrag(self, x, y);
    tb_SetCursor(self.cursorId);
}

void HammerDrag(SceneObject& self, int x, int y) {
    if (!self.active) return;
    EmbossDab(self, x, y);
    self.active = 1;
    tb_SetCursor(self.cursorId);
}

void HammerRelease(SceneObject& self, int, int) {
    self.active = 0;
    tb_StopSound();
}

}  // namespace tools
