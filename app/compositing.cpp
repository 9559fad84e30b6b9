// Building the room in the scene buffer and bringing the window up to date from it.
//
// Everything is drawn into offscreen bitmaps first; the window only ever receives copies of
// scene-buffer rectangles (hover highlights and floating pieces go straight to the window and
// are wiped by copying the scene buffer back).
#include <algorithm>

#include "app/room.h"
#include "app/preferences.h"
#include "app/scene.h"
#include "app/shell.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"
#include "tools/tools.h"

namespace scene {
namespace {

constexpr int kTrayHotspot[5] = {kToolBox, kRock, kBooks, kMagicHat, kToys};

int MainWindow() { return shell::Shell().mainWindow; }

// A resource loaded once for repeated copies.
class Picture {
public:
    Picture(int id, int depth) { handle_ = tb_CreateBitmap(&rect_, id, depth); }
    ~Picture() {
        if (handle_ >= 0) tb_DisposeBitmap(handle_);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    bool ok() const { return handle_ >= 0; }
    int handle() const { return handle_; }
    int width() const { return rect_.width(); }
    int height() const { return rect_.height(); }
    // Copies the whole picture to (x, y) of `target`.
    void copyTo(int target, int x, int y) {
        if (!ok()) return;
        Rect src = rect_;
        Rect dst{x, y, x + width(), y + height()};
        tb_CopyBitmap(handle_, target, &src, &dst, 0);
    }

private:
    Rect rect_{};
    int handle_ = -1;
};

// Draws picture `imageId` through mask `maskId` with its top-left at (x, y) of `target`.
void DrawMasked(int target, int imageId, int maskId, int x, int y) {
    Picture image(imageId, 24);
    Picture mask(maskId, 8);
    if (!image.ok() || !mask.ok()) return;
    Rect src{0, 0, image.width(), image.height()};
    Rect maskSrc{0, 0, mask.width(), mask.height()};
    Rect dst{x, y, x + image.width(), y + image.height()};
    tb_CopyMaskedBitmap(image.handle(), mask.handle(), target, &src, &maskSrc, &dst);
}

// The frame around the canvas area: it reaches the window's top and right edges unless the
// picture is capped, and its pieces are cut at its own outline.
void DrawFrame(Room& r) {
    const int w = r.canvasArea.right + 19;  // the frame's right edge
    const int h = r.height;
    const int top = r.canvasArea.top - kCanvasTop;
    const int scene = r.sceneBuffer;
    Rect outline{0, top, w, h};
    tb_SetClipRect(scene, &outline);
    {
        Picture post(kBmpFrameLeftPost, 24), postRepeat(kBmpFrameLeftPostRepeat, 24);
        post.copyTo(scene, 130, h - 479);
        if (h - 479 > top + 16 && postRepeat.ok()) {
            for (int y = top; y < h - 479; y += postRepeat.height()) postRepeat.copyTo(scene, 130, y);
        }
    }
    {
        Picture rail(kBmpFrameBottomRail, 24), railRepeat(kBmpFrameBottomRailRepeat, 24);
        rail.copyTo(scene, 130, h - 96);
        if (639 < w && railRepeat.ok()) {
            for (int x = w - railRepeat.width(); x > 130; x -= railRepeat.width()) railRepeat.copyTo(scene, x, h - 96);
        }
    }
    {
        Picture rail(kBmpFrameTopRail, 24);
        for (int x = 130; rail.ok() && x < w - 19; x += rail.width()) rail.copyTo(scene, x, top);
    }
    Picture(kBmpFrameCornerTopLeft, 24).copyTo(scene, 130, top + 1);
    {
        Picture right(kBmpFrameRightPost, 24);
        for (int y = h - 485; right.ok() && y > top - 389; y -= right.height()) right.copyTo(scene, w - 19, y);
        right.copyTo(scene, w - 19, top);
    }
    Picture(kBmpFrameCornerTopRight, 24).copyTo(scene, w - 32, top);
    Picture(kBmpFrameCornerBottomRight, 24).copyTo(scene, w - 20, h - 112);
    tb_ClearClipRect(scene);

    Rect area = r.canvasArea;
    tb_SetForeColor(scene, 65025, 65025, 65025);
    tb_PaintRect(scene, &area);
}

void KeepTrayBackground(Room& r) {
    if (r.trayBackground >= 0) tb_DisposeBitmap(r.trayBackground);
    Rect size{0, 0, r.trayArea.width(), r.trayArea.height()};
    r.trayBackground = tb_CreateBitmap(&size, -1, 24);
    if (r.trayBackground < 0) return;
    Rect src = r.trayArea;
    tb_CopyBitmap(r.sceneBuffer, r.trayBackground, &src, &size, 0);
}

void DrawTray(Room& r) {
    if (r.trayBackground >= 0) {
        Rect src{0, 0, r.trayArea.width(), r.trayArea.height()};
        Rect dst = r.trayArea;
        tb_CopyBitmap(r.trayBackground, r.sceneBuffer, &src, &dst, 0);
    }
    for (SceneObject& o : r.objects) {
        if (o.tray == r.currentTray && o.DrawImage != nullptr) o.DrawImage(o);
    }
    SceneObject& tool = CurrentTool();
    tool.DrawControls(tool, r.monitor);
    if (tool.tray == r.currentTray) {
        int cx = (tool.rect.left + tool.rect.right) / 2;
        int cy = (tool.rect.top + tool.rect.bottom) / 2;
        DrawMasked(r.sceneBuffer, kBmpToolMarker, kBmpToolMarkerMask, cx, cy - 20);
    }
}

// Copies part of the table picture (the bare table) into the scene buffer.
void CopyBareTable(const Rect& tablePart, const Rect& dst) {
    Picture table(kBmpTable, 24);
    if (!table.ok()) return;
    Rect src = tablePart;
    Rect to = dst;
    tb_CopyBitmap(table.handle(), TheRoom().sceneBuffer, &src, &to, 0);
}

// A front can's label takes a darker shade of its paint. The label is filled where it is, but on
// a copy of the can's body, and only the body goes back: once a label's shade matches the
// outline around it, the fill could otherwise run through the outline into the room.
void DarkenLabel(const Can& c, int red, int green, int blue) {
    const Room& r = TheRoom();
    Rect around{};
    tb_UnionRect(&c.bodies[0], &c.bodies[1], &around);
    Rect size{0, 0, around.width(), around.height()};
    const int body = tb_CreateBitmap(&size, -1, 24);
    if (body < 0) return;
    tb_CopyBitmap(r.sceneBuffer, body, &around, &size, 0);
    const int x = c.labelPoint.x - around.left, y = c.labelPoint.y - around.top;
    int old[3] = {0, 0, 0};
    tb_GetPixel(body, x, y, &old[0], &old[1], &old[2]);
    tb_SetForeColor(body, tb_Round(red * 0.8), tb_Round(green * 0.8), tb_Round(blue * 0.8));
    tb_FloodFill(body, x, y, old[0], old[1], old[2]);
    for (const Rect& part : c.bodies) {
        if (part.isEmpty()) continue;
        Rect from = part, to = part;
        tb_OffsetRect(&from, -around.left, -around.top);
        tb_CopyBitmap(body, r.sceneBuffer, &from, &to, 0);
    }
    tb_DisposeBitmap(body);
}

void DrawIcon(int id, const Rect& place) {
    Rect out{};
    tb_DrawPictureToBitmap(TheRoom().sceneBuffer, id, place.left, place.top, &out);
}

}  // namespace

void CopySceneToWindow(const Rect& rect) {
    Rect src = rect;
    Rect dst = rect;
    tb_CopyBitmap(TheRoom().sceneBuffer, MainWindow(), &src, &dst, 0);
}

void DrawTrayMarker(bool intoWindow) {
    Room& r = TheRoom();
    const Rect& spot = r.hotspots[kTrayHotspot[r.currentTray]].pointer;
    int target = intoWindow ? MainWindow() : r.sceneBuffer;
    DrawMasked(target, kBmpTrayMarker, kBmpTrayMarkerMask, spot.right - 24, spot.bottom - 20);
}

void DrawScene(bool present, bool full, bool wholeTable) {
    Room& r = TheRoom();
    if (full) {
        Rect all = r.window;
        tb_TileBitmap(r.sceneBuffer, kBmpWallpaper, &all);
        DrawFrame(r);
    }
    DrawMasked(r.sceneBuffer, kBmpShelf, kBmpShelfMask, 0, r.height - 480);
    if (wholeTable) {
        DrawMasked(r.sceneBuffer, kBmpTable, kBmpTableMask, 0, r.height - 96);
    } else {
        // Only the part left of the cans, so that the cans keep their colours.
        Picture table(kBmpTable, 24), mask(kBmpTableMask, 8);
        if (table.ok() && mask.ok()) {
            Rect src{0, 0, 475, 96};
            Rect dst{0, r.height - 96, 475, r.height};
            tb_CopyMaskedBitmap(table.handle(), mask.handle(), r.sceneBuffer, &src, &src, &dst);
        }
        ShowLabel(0);
    }
    if (full) KeepTrayBackground(r);
    if (wholeTable) {
        for (int k = 0; k < kCanCount; ++k) {
            const Color& c = r.canColors[k];
            DrawCan(k, c.red, c.green, c.blue, false);
        }
    }
    DrawTrayMarker(false);
    DrawTray(r);
    SetCurrentColor(r.currentColor.red, r.currentColor.green, r.currentColor.blue, false);
    DrawSpeaker();
    DrawSpyglass();
    if (present) Present();
}

void Composite() {
    Room& r = TheRoom();
    Rect area = r.canvasArea;
    if (!r.zoomed) {
        Rect src = r.picture;
        tb_CopyBitmap(r.canvas, r.sceneBuffer, &src, &area, 0);
        return;
    }
    int w = r.picture.width();
    int h = r.picture.height();
    Rect src{r.zoomOrigin.x, r.zoomOrigin.y, r.zoomOrigin.x + w / 2, r.zoomOrigin.y + h / 2};
    tb_CopyBitmap(r.canvas, r.sceneBuffer, &src, &area, 0);
}

void Present() {
    Room& r = TheRoom();
    if (r.sceneBuffer < 0 || MainWindow() < 0) return;
    Composite();
    CopySceneToWindow(r.window);
}

void RedrawRect(const Rect& rect) {
    Room& r = TheRoom();
    if (r.zoomed) {
        Composite();
    } else {
        Rect part = IntersectRects(rect, r.canvasArea);
        if (!part.isEmpty()) {
            const int top = r.canvasArea.top;
            Rect src{part.left - kCanvasLeft, part.top - top, part.right - kCanvasLeft, part.bottom - top};
            tb_CopyBitmap(r.canvas, r.sceneBuffer, &src, &part, 0);
        }
    }
    CopySceneToWindow(rect);
}

void SaveUndo() {
    Room& r = TheRoom();
    Rect src = r.picture;
    Rect dst = r.picture;
    tb_CopyBitmap(r.canvas, r.undo, &src, &dst, 0);
    r.undoAvailable = true;
}

void RestoreUndo() {
    Room& r = TheRoom();
    Rect src = r.picture;
    Rect dst = r.picture;
    tb_CopyBitmap(r.undo, r.canvas, &src, &dst, 0);
    Composite();
    r.undoAvailable = false;
}

void ShowLabel(int id) {
    Room& r = TheRoom();
    if (id == r.labelShown) return;
    DrawIcon(kBmpLabelBlank, r.labelStrip);
    if (id != 0) DrawIcon(id, r.labelStrip);
    RedrawRect(r.labelStrip);
    r.labelShown = id;
}

void DrawCan(int can, int red, int green, int blue, bool present) {
    Room& r = TheRoom();
    const Can& c = r.cans[can];
    Picture tops(kBmpCanTops, 24);
    Picture mask(c.mask, 8);
    if (tops.ok() && mask.ok()) {
        tb_SetForeColor(tops.handle(), red, green, blue);
        tb_SetBackColor(tops.handle(), red, green, blue);
        tb_FloodFill(tops.handle(), c.fill.x, c.fill.y, 0, 0, 0);
        Rect src{c.top.left - 475, c.top.top - (r.height - 96), c.top.right - 475, c.top.bottom - (r.height - 96)};
        Rect dst = c.top;
        tb_CopyMaskedBitmap(tops.handle(), mask.handle(), r.sceneBuffer, &src, &src, &dst);
    }
    if (c.labelPoint.x >= 0) DarkenLabel(c, red, green, blue);
    if (present) Present();
    r.canColors[can] = Color{red, green, blue};
}

void SetCurrentColor(int red, int green, int blue, bool present) {
    Room& r = TheRoom();
    Picture blot(kBmpPaintBlot, 24);
    Picture mask(kBmpPaintBlotMask, 8);
    if (blot.ok() && mask.ok()) {
        tb_SetForeColor(blot.handle(), red, green, blue);
        tb_SetBackColor(blot.handle(), red, green, blue);
        tb_FloodFill(blot.handle(), 21, 8, 0, 0, 0);
        Rect src{0, 0, blot.width(), blot.height()};
        Rect dst = r.paintBlot;
        tb_CopyMaskedBitmap(blot.handle(), mask.handle(), r.sceneBuffer, &src, &src, &dst);
    }
    if (present) CopySceneToWindow(r.paintBlot);
    r.currentColor = Color{red, green, blue};
}

void DrawSpeaker() {
    Room& r = TheRoom();
    CopyBareTable(Rect{618, 75, 634, 96}, r.speaker);
    DrawIcon(shell::Prefs().soundOn ? kBmpSpeakerOn : kBmpSpeakerOff, r.speaker);
}

void DrawSpyglass() {
    Room& r = TheRoom();
    CopyBareTable(Rect{590, 75, 612, 96}, r.spyglass);
    DrawIcon(r.zoomed ? kBmpSpyglassZoomed : kBmpSpyglass, r.spyglass);
}

Point WindowToPicture(int x, int y) {
    Room& r = TheRoom();
    const int top = r.canvasArea.top;
    if (!r.zoomed) return Point{x - kCanvasLeft, y - top};
    return Point{(x - kCanvasLeft) / 2 + r.zoomOrigin.x, (y - top) / 2 + r.zoomOrigin.y};
}

void ZoomIn(int x, int y) {
    Room& r = TheRoom();
    int w = r.picture.width();
    int h = r.picture.height();
    auto clamp = [](int v, int high) { return v > high ? high : (v < 0 ? 0 : v); };
    r.zoomed = true;
    r.zoomOrigin.x = clamp(x - kCanvasLeft - (w / 2) / 2, w - w / 2);
    r.zoomOrigin.y = clamp(y - r.canvasArea.top - (h / 2) / 2, h - h / 2);
    DrawSpyglass();
    RedrawRect(r.spyglass);
    RedrawRect(r.canvasArea);
}

void ZoomOut() {
    Room& r = TheRoom();
    r.zoomed = false;
    DrawSpyglass();
    RedrawRect(r.spyglass);
    RedrawRect(r.canvasArea);
}

// ---- Start-up, display change and tear-down -------------------------------------------------

void SceneStartUp() {
    ResetRoom();
    tools::ForgetCarriedPiece();
    LayoutScene();
    InitRoomState();
    CreateBuffers();
    Room& r = TheRoom();
    BuildObjects(r.objects, r.height, r.sceneBuffer, r.canvas, MainWindow());
    DrawScene(true, true, true);
}

namespace {

// The magnified view keeps its place but never shows more than the picture.
void KeepZoomInsidePicture(Room& r) {
    const int w = r.picture.width(), h = r.picture.height();
    r.zoomOrigin.x = std::clamp(r.zoomOrigin.x, 0, w - w / 2);
    r.zoomOrigin.y = std::clamp(r.zoomOrigin.y, 0, h - h / 2);
}

}  // namespace

void RebuildScene() {
    Room& r = TheRoom();
    // The rebuilt tools start idle, so no release will come to stop a stroke's loop.
    if (CurrentTool().active) tb_StopSound();
    Rect oldPicture = r.picture;
    int old = tb_CreateBitmap(&oldPicture, -1, 24);
    if (old >= 0) {
        Rect src = r.picture;
        tb_CopyBitmap(r.canvas, old, &src, &oldPicture, 0);
    }
    for (int* handle : {&r.sceneBuffer, &r.undo, &r.canvas}) {
        if (*handle >= 0) tb_DisposeBitmap(*handle);
        *handle = -1;
    }
    DisposeObjects(r.objects);

    LayoutScene();
    KeepZoomInsidePicture(r);
    CreateBuffers();
    BuildObjects(r.objects, r.height, r.sceneBuffer, r.canvas, MainWindow());
    DrawScene(true, true, true);
    if (old >= 0) {
        Rect to = r.picture;
        tb_CopyBitmap(old, r.canvas, &oldPicture, &to, 0);
    }
    SaveUndo();
    Present();
    if (old >= 0) tb_DisposeBitmap(old);
}

void TearDownScene() {
    Room& r = TheRoom();
    for (int* handle : {&r.sceneBuffer, &r.undo, &r.canvas, &r.trayBackground}) {
        if (*handle >= 0) tb_DisposeBitmap(*handle);
        *handle = -1;
    }
    tools::DisposeCarriedPiece();
    DisposeObjects(r.objects);
}

}  // namespace scene
