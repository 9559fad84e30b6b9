// The Scissors: drag a box over the picture, and at the release its pixels as shown become the
// carried piece, which floats under the pointer and is pasted into the canvas at every click
// until the child lets it go. Outline and piece are drawn straight into the window and wiped by
// copying the scene buffer back. Window coordinates; the canvas gets picture coordinates.
#include <algorithm>

#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"
#include "tools/tool_geometry.h"
#include "tools/tools.h"

namespace tools {
namespace {

constexpr int kSmallestCut = 8;
constexpr int kSelecting = 0;
constexpr int kCarrying = 1;

// The carried piece: a bitmap of the cut, kept until the next cut or the scene's tear-down.
struct Piece {
    int bitmap = -1;
    Rect rect{};
};
Piece gPiece;

// The piece's place centred on (x, y), at its own size also when a side is odd (so that it is
// never stretched by a pixel).
Rect PieceAt(int x, int y) {
    const int w = gPiece.rect.width(), h = gPiece.rect.height();
    return Rect{x - w / 2, y - h / 2, x - w / 2 + w, y - h / 2 + h};
}

int LargerSide() { return std::max(gPiece.rect.width(), gPiece.rect.height()); }

bool InCanvas(int x, int y) {
    const Rect area = scene::FactsOfRoom().canvasArea;
    return tb_PtInRect(x, y, &area) != 0;
}

void Restore(const SceneObject& self, Rect r) { tb_CopyBitmap(self.sceneBitmap, self.window, &r, &r, 0); }

void Outline(const SceneObject& self, Rect r) {
    tb_SetForeColor(self.window, 0, 0, 0);
    tb_FrameRect(self.window, &r);
}

void Idle(SceneObject& self) {
    self.active = 0;
    self.param = kSelecting;
    self.size = 1;
}

void Paste(SceneObject& self, int x, int y) {
    tb_PlaySoundNow(kWavStamp);
    Rect at = PieceAt(x, y);
    Rect whole = gPiece.rect;
    tb_CopyBitmap(gPiece.bitmap, self.window, &whole, &at, 0);
    // Only a press pastes, so the button was down; a poll of it now could miss a quick click
    // whose release is already in the queue.
    // Magnified, the box in picture pixels is half as large and the copy scales the piece down.
    const Point a = scene::WindowToPicture(at.left, at.top);
    const Point b = scene::WindowToPicture(at.right, at.bottom);
    Rect into{a.x, a.y, b.x, b.y};
    tb_CopyBitmap(gPiece.bitmap, self.canvasBitmap, &whole, &into, 0);
    self.size = LargerSide();
}

// A selecting point limited to the canvas, its far edges included: a box to `right` or `bottom`
// takes the last column or row, as one to `left` or `top` takes the first.
Point Pinned(int x, int y) {
    const Rect area = scene::FactsOfRoom().canvasArea;
    return Point{std::clamp(x, area.left, area.right), std::clamp(y, area.top, area.bottom)};
}

void Select(SceneObject& self, int x, int y) {
    if (self.soundId != 0) tb_PlaySound(self.soundId);
    Rect wiped = BoxOf(self.lastX, self.lastY, self.curX, self.curY);
    const Point pinned = Pinned(x, y);
    self.curX = pinned.x;
    self.curY = pinned.y;
    const Rect box = BoxOf(self.lastX, self.lastY, self.curX, self.curY);
    Rect grown = box;
    tb_InsetRect(&wiped, -self.size, -self.size);
    tb_InsetRect(&grown, -self.size, -self.size);
    tb_UnionRect(&wiped, &grown, &wiped);
    Restore(self, wiped);
    Outline(self, box);
}

// Restores the parts of `old` that `now` does not cover: at most four strips, so that a piece
// moved by a few pixels costs a few rows and columns, whatever its size.
void RestoreUncovered(const SceneObject& self, const Rect& old, const Rect& now) {
    Rect overlap{};
    if (!tb_IntersectRect(&overlap, &old, &now)) {
        Restore(self, old);
        return;
    }
    const Rect strips[4] = {{old.left, old.top, old.right, overlap.top},
                            {old.left, overlap.bottom, old.right, old.bottom},
                            {old.left, overlap.top, overlap.left, overlap.bottom},
                            {overlap.right, overlap.top, old.right, overlap.bottom}};
    for (const Rect& strip : strips) {
        if (!strip.isEmpty()) Restore(self, strip);
    }
}

void Carry(SceneObject& self, int x, int y) {
    if (tb_KeyDown('C')) {
        // Let go: the piece and its outline leave the window, also where they hang over the room.
        if (gPiece.bitmap >= 0) Restore(self, PieceAt(self.curX, self.curY));
        Idle(self);
        return;
    }
    if (gPiece.bitmap >= 0) {
        const Rect at = PieceAt(x, y);
        RestoreUncovered(self, PieceAt(self.curX, self.curY), at);
        Rect whole = gPiece.rect, to = at;
        tb_CopyBitmap(gPiece.bitmap, self.window, &whole, &to, 0);
        Outline(self, at);
        self.size = LargerSide();
        self.curX = x;
        self.curY = y;
    }
}

void Cut(SceneObject& self, const Rect& box) {
    Restore(self, box);
    if (gPiece.bitmap >= 0) tb_DisposeBitmap(gPiece.bitmap);
    gPiece.rect = Rect{0, 0, box.width(), box.height()};
    gPiece.bitmap = tb_CreateBitmap(&gPiece.rect, -1, 24);
    if (gPiece.bitmap < 0) {
        Idle(self);
        return;
    }
    Rect from = box, to = gPiece.rect;
    tb_CopyBitmap(self.sceneBitmap, gPiece.bitmap, &from, &to, 0);
    self.param = kCarrying;
    tb_PlaySoundNow(kWavPopFirst);
}

}  // namespace

void ScissorsPress(SceneObject& self, int x, int y) {
    if (InCanvas(x, y)) {
        self.lastX = x;
        self.lastY = y;
        self.active = 1;
        if (gPiece.bitmap >= 0 && self.param == kCarrying) Paste(self, x, y);
    }
    tb_SetCursor(self.cursorId);
}

void ScissorsDrag(SceneObject& self, int x, int y) {
    if (!self.active) return;
    if (self.param == kSelecting && tb_Button()) {
        Select(self, x, y);
    } else if (self.param == kCarrying) {
        Carry(self, x, y);
    }
    tb_SetCursor(self.cursorId);
}

void ScissorsRelease(SceneObject& self, int x, int y) {
    if (!self.active) return;
    if (self.param == kSelecting) {
        // The drag keeps the point on the canvas, but on its far edges, which count as outside
        // it; a release there or beyond cuts up to the edge rather than nothing.
        const Point pinned = Pinned(x, y);
        self.curX = pinned.x;
        self.curY = pinned.y;
        const Rect box = BoxOf(self.lastX, self.lastY, pinned.x, pinned.y);
        if (box.width() >= kSmallestCut && box.height() >= kSmallestCut) {
            Cut(self, box);
        } else {
            Idle(self);
        }
    } else if (!InCanvas(x, y)) {
        Idle(self);
    }
}

Rect CarriedPieceRect() { return gPiece.rect; }

void DisposeCarriedPiece() {
    if (gPiece.bitmap >= 0) tb_DisposeBitmap(gPiece.bitmap);
    gPiece = Piece{};
}

void ForgetCarriedPiece() { gPiece = Piece{}; }

}  // namespace tools
