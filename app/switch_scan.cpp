// One-switch scanning. The places are gathered afresh at each step, since a pick can put another
// tray on the table or lay the room out again.
#include "app/switch_scan.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/objects.h"
#include "app/room.h"
#include "app/scene.h"
#include "app/shell.h"
#include "platform/dialog_loop.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"

namespace scene {
namespace {

// A place in the room the highlight stops at.
struct Target {
    Rect rect{};
    Point click{};
    int hotspot = -1;
    int label = 0;
    bool canvas = false;
};

struct ScanState {
    bool on = false;
    int stepMs = 0;
    int key = 0;
    bool held = false;  // the key is down: its repeats are not more picks
    ScanPhase phase = ScanPhase::Room;
    int index = 0;       // the room's place
    int stop = 0;        // the line's or the marker's stop on the canvas
    int lineY = 0;       // the line picked, window y
    bool haveStart = false;
    Point start{};
    std::vector<Rect> drawn;  // what the highlight covers in the window
    int litHotspot = -1;      // lit by the highlight, not by the pointer
    platform::NativeWindow dialog = 0;  // the painted dialog the highlight was last in
    int button = 0;                     // its place the highlight is on
    bool dialogLit = false;             // the glow is drawn on that dialog
    bool dialogGlow = true;             // it is to be drawn there (not while a pick clicks)
    ScanPhase dialogPhase = ScanPhase::Room;  // Room: going round its places; else in its pick area
    int dialogStop = 0;
    int dialogLineY = 0;
};

ScanState gScan;

// The hotspots that do something when clicked, in the order the highlight visits them; the
// rock, the books and the magic hat only ever show their labels.
constexpr int kScannedHotspots[] = {kToolBox, kToys, kPrinter, kKeyboard, kCleaner, kRemote, kPaintTube};

// Inner to outer: the highlight fades from near white through yellow to the room's warm orange,
// as a glow does, and ends in a dark brown line, as the room's outlines do, so that it shows on
// pale paper and on dark paint alike.
constexpr Color kGlow[] = {{65025, 63750, 43350}, {65025, 53550, 15300}, {65025, 45900, 5100}, {58650, 38250, 0}, {22950, 12750, 0}};
constexpr int kGlowWidth = 5;
constexpr int kMarkerRadius = 4;
constexpr int kDragStep = 4;  // pixels between the pointer moves of a painted stroke

int Window() { return shell::Shell().mainWindow; }

Point CentreOf(const Rect& r) { return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

Rect Grown(const Rect& r, int by) { return Rect{r.left - by, r.top - by, r.right + by, r.bottom + by}; }

// The point of a tool's hit area nearest its rectangle's centre: the rectangle's centre may lie
// outside an irregular tool.
Point PointInRegion(const SceneObject& o) {
    const Point c = CentreOf(o.rect);
    Point best = c;
    long bestDistance = -1;
    for (int y = o.rect.top; y < o.rect.bottom; ++y)
        for (int x = o.rect.left; x < o.rect.right; ++x) {
            const long d = long(x - c.x) * (x - c.x) + long(y - c.y) * (y - c.y);
            if ((bestDistance < 0 || d < bestDistance) && tb_PtInRegion(x, y, o.region)) best = Point{x, y}, bestDistance = d;
        }
    return best;
}

std::vector<Target> RoomTargets() {
    Room& r = TheRoom();
    std::vector<Target> list;
    for (int i = 0; i < kObjectCount; ++i) {
        const SceneObject& o = r.objects[i];
        if (o.tray == r.currentTray && o.region != -1) list.push_back(Target{o.rect, PointInRegion(o), -1, ObjectLabel(i)});
    }
    for (const Can& c : r.cans) {
        Rect whole = c.top;
        for (const Rect& body : c.bodies) {
            if (!body.isEmpty()) tb_UnionRect(&whole, &body, &whole);
        }
        // The top is the can's own everywhere; a body may lie over a neighbour's top.
        list.push_back(Target{whole, CentreOf(c.top), -1, kBmpLabelPaintCans});
    }
    for (int spot : kScannedHotspots) {
        const Hotspot& h = r.hotspots[spot];
        list.push_back(Target{h.pointer, CentreOf(h.pointer), spot, h.label});
    }
    list.push_back(Target{r.canvasArea, CentreOf(r.canvasArea), -1, 0, true});
    return list;
}

// The place the highlight is on; a pick may have left fewer places than there were.
Target CurrentTarget() {
    const std::vector<Target> list = RoomTargets();
    return list[std::min(gScan.index, int(list.size()) - 1)];
}

int StopAcross(int from, int length, int stop) { return from + (2 * stop + 1) * length / (2 * kScanStops); }

Rect MarkerAt(Point p) { return Rect{p.x - kMarkerRadius, p.y - kMarkerRadius, p.x + kMarkerRadius + 1, p.y + kMarkerRadius + 1}; }

// Where a sweep over `area` is: the line at its stop going down, or the marker at its stop along
// the line picked.
ScanSpot SweepSpot(const Rect& area, ScanPhase phase, int stop, int lineY) {
    if (phase == ScanPhase::Line) {
        const int y = StopAcross(area.top, area.height(), stop);
        return ScanSpot{Rect{area.left, y, area.right, y + 1}, Point{CentreOf(area).x, y}};
    }
    const Point p{StopAcross(area.left, area.width(), stop), lineY};
    return ScanSpot{MarkerAt(p), p};
}

// One step of a sweep. After its last stop the marker starts along the line again; the line
// leaves the area (false): the child may want something else after all.
bool SweepOn(ScanPhase& phase, int& stop) {
    if (++stop < kScanStops) return true;
    stop = 0;
    phase = phase == ScanPhase::Point ? ScanPhase::Line : ScanPhase::Room;
    return phase != ScanPhase::Room;
}

void Glow(const Rect& rect) {
    for (int i = 0; i < kGlowWidth; ++i) {
        const Rect frame = Grown(rect, i + 1);
        tb_SetForeColor(Window(), kGlow[i].red, kGlow[i].green, kGlow[i].blue);
        tb_FrameRect(Window(), &frame);
    }
    // Only the rim is put back when the glow moves on: round the canvas, the rest is most of
    // the screen.
    const Rect o = Grown(rect, kGlowWidth);
    for (const Rect& band : {Rect{o.left, o.top, o.right, rect.top}, Rect{o.left, rect.bottom, o.right, o.bottom},
                             Rect{o.left, rect.top, rect.left, rect.bottom}, Rect{rect.right, rect.top, o.right, rect.bottom}})
        gScan.drawn.push_back(band);
}

// A line or a marker: its inside is lit as well as its edge.
void GlowFilled(const Rect& rect) {
    tb_SetForeColor(Window(), kGlow[0].red, kGlow[0].green, kGlow[0].blue);
    tb_PaintRect(Window(), &rect);
    gScan.drawn.push_back(rect);
    Glow(rect);
}

void Hide() {
    Room& r = TheRoom();
    for (const Rect& rect : gScan.drawn) RedrawRect(rect);
    gScan.drawn.clear();
    if (gScan.litHotspot >= 0) {
        Hotspot& spot = r.hotspots[gScan.litHotspot];
        CopySceneToWindow(spot.lit);
        DrawTrayMarker(true);
        spot.isLit = false;
        gScan.litHotspot = -1;
    }
}

// The hotspot lights up as it does under the pointer, and the glow goes round it.
void LightHotspot(int index) {
    Hotspot& spot = TheRoom().hotspots[index];
    if (spot.litId != 0 && !spot.isLit) {
        Rect out{};
        tb_DrawPictureToBitmap(Window(), spot.litId, spot.lit.left, spot.lit.top, &out);
        DrawTrayMarker(true);
        spot.isLit = true;
        gScan.litHotspot = index;
    }
}

void Show() {
    Hide();
    const ScanSpot spot = ScanHighlight();
    if (gScan.phase == ScanPhase::Room) {
        const Target t = CurrentTarget();
        if (t.hotspot >= 0) LightHotspot(t.hotspot);
        ShowLabel(t.label);
        Glow(t.rect);
        return;
    }
    if (gScan.haveStart) GlowFilled(MarkerAt(gScan.start));
    const Rect& a = TheRoom().canvasArea;
    const int y = gScan.phase == ScanPhase::Line ? spot.click.y : gScan.lineY;
    GlowFilled(Rect{a.left, y, a.right, y + 1});
    if (gScan.phase == ScanPhase::Point) GlowFilled(spot.rect);
}

// Press, drag and release, as a hand on a mouse would make them.
void PaintStroke(Point from, Point to) {
    OnPress(from.x, from.y);
    const int steps = std::max(1, std::max(std::abs(to.x - from.x), std::abs(to.y - from.y)) / kDragStep);
    for (int i = 1; i <= steps; ++i)
        OnMove(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps, true);
    OnRelease(to.x, to.y);
}

// ---- In a painted dialog: its pick area and the buttons it named as it started ---------------

// The places of the dialog open now, its pick area first; a dialog new to the highlight starts
// at its first place.
std::vector<Rect> DialogPlaces() {
    const platform::NativeWindow d = tb_DialogWindow();
    if (d != gScan.dialog) {
        gScan.dialog = d, gScan.button = 0, gScan.dialogLit = false, gScan.dialogGlow = true;
        gScan.dialogPhase = ScanPhase::Room;
    }
    std::vector<Rect> places = tb_DialogButtons();
    if (!tb_DialogPickArea().isEmpty()) places.insert(places.begin(), tb_DialogPickArea());
    return places;
}

ScanSpot DialogSpot() {
    const std::vector<Rect> places = DialogPlaces();
    if (places.empty()) return ScanSpot{};
    if (gScan.dialogPhase != ScanPhase::Room) return SweepSpot(places[0], gScan.dialogPhase, gScan.dialogStop, gScan.dialogLineY);
    const Rect& place = places[gScan.button % places.size()];
    return ScanSpot{place, CentreOf(place)};
}

// A dialog's pixels are its own, not the scene's: each ring of the glow is one pixel stretched
// along each edge (and over the inside of a line or a marker), and the dialog paints itself
// again to take it away.
void GlowInDialog(const Rect& rect, bool filled) {
    Rect one{0, 0, 1, 1};
    const int dot = tb_CreateBitmap(&one, -1, 24);
    if (dot < 0) return;
    if (filled) {
        tb_SetForeColor(dot, kGlow[0].red, kGlow[0].green, kGlow[0].blue);
        tb_PaintRect(dot, &one);
        tb_CopyBitmapToDialog(gScan.dialog, dot, &one, &rect);
    }
    for (int i = 0; i < kGlowWidth; ++i) {
        const Rect f = Grown(rect, i + 1);
        tb_SetForeColor(dot, kGlow[i].red, kGlow[i].green, kGlow[i].blue);
        tb_PaintRect(dot, &one);
        for (const Rect& edge : {Rect{f.left, f.top, f.right, f.top + 1}, Rect{f.left, f.bottom - 1, f.right, f.bottom},
                                 Rect{f.left, f.top, f.left + 1, f.bottom}, Rect{f.right - 1, f.top, f.right, f.bottom}})
            tb_CopyBitmapToDialog(gScan.dialog, dot, &one, &edge);
    }
    tb_DisposeBitmap(dot);
    gScan.dialogLit = true;
}

// The glow over the dialog as it has just painted itself, clean.
void GlowOnDialog() {
    const ScanSpot spot = DialogSpot();
    gScan.dialogLit = false;
    if (spot.rect.isEmpty() || !gScan.dialogGlow) return;
    if (gScan.dialogPhase == ScanPhase::Point) {
        const Rect area = tb_DialogPickArea();
        GlowInDialog(Rect{area.left, gScan.dialogLineY, area.right, gScan.dialogLineY + 1}, true);
    }
    GlowInDialog(spot.rect, gScan.dialogPhase != ScanPhase::Room);
}

// Each time the dialog paints itself (first as it opens) the glow goes back on.
void DialogPainted(platform::NativeWindow dialog) {
    if (gScan.on && dialog == tb_DialogWindow()) GlowOnDialog();
}

void ShowInDialog() {
    DialogPlaces();  // a dialog new to the highlight has nothing lit yet
    gScan.dialogGlow = true;
    if (gScan.dialogLit) {
        tb_Repaint(gScan.dialog);  // the old glow goes, and DialogPainted draws the new one
    } else {
        GlowOnDialog();
    }
}

// On the pick area a pick starts the line, then the marker; otherwise it is a click at the
// place's middle (or the marker's point), as the dialog's own loop would hand it a mouse's.
void PickInDialog() {
    const ScanSpot spot = DialogSpot();
    if (spot.rect.isEmpty()) return;
    const bool onArea = gScan.button == 0 && !tb_DialogPickArea().isEmpty();
    if (gScan.dialogPhase == ScanPhase::Line || (gScan.dialogPhase == ScanPhase::Room && onArea)) {
        tb_PlaySound(kWavControl);
        gScan.dialogLineY = spot.click.y;
        gScan.dialogPhase = gScan.dialogPhase == ScanPhase::Line ? ScanPhase::Point : ScanPhase::Line;
        gScan.dialogStop = 0;
        ShowInDialog();
        return;
    }
    gScan.dialogPhase = ScanPhase::Room;  // after a point, back on the area as a whole
    gScan.dialogGlow = false;             // until the next step
    if (gScan.dialogLit) tb_Repaint(gScan.dialog);
    gScan.dialogLit = false;
    for (platform::MsgKind kind : {platform::MsgKind::LButtonDown, platform::MsgKind::LButtonUp}) {
        platform::Message click{};
        click.kind = kind, click.window = gScan.dialog, click.x = spot.click.x, click.y = spot.click.y;
        click.leftButtonDown = kind == platform::MsgKind::LButtonDown;
        platform::Plat().dispatchMessage(click);
    }
}

bool DialogKey(const platform::Message& msg) { return ScanKey(msg.key, msg.kind == platform::MsgKind::KeyDown); }

void PickInRoom() {
    const Target t = CurrentTarget();
    if (t.canvas) {
        tb_PlaySound(kWavControl);
        gScan.phase = ScanPhase::Line;
        gScan.stop = 0;
        return;
    }
    Hide();
    OnPress(t.click.x, t.click.y);
    OnRelease(t.click.x, t.click.y);
    // Another tray may hold fewer tools: the highlight stays where it was as far as it can.
    if (gScan.on) gScan.index = std::min(gScan.index, int(RoomTargets().size()) - 1);
}

void PickOnCanvas() {
    const ScanSpot spot = ScanHighlight();
    if (gScan.phase == ScanPhase::Line) {
        tb_PlaySound(kWavControl);
        gScan.lineY = spot.click.y;
        gScan.phase = ScanPhase::Point;
        gScan.stop = 0;
    } else if (!gScan.haveStart) {
        tb_PlaySound(kWavControl);
        gScan.start = spot.click;
        gScan.haveStart = true;
        gScan.phase = ScanPhase::Line;
        gScan.stop = 0;
    } else {
        // Back on the canvas as a whole: one more pick starts the next stroke.
        Hide();
        gScan.haveStart = false;
        gScan.phase = ScanPhase::Room;
        PaintStroke(gScan.start, spot.click);
    }
}

void Pick() {
    // The click may have ended the dialog, whose loop has yet to see it: the glow waits for the
    // next step (or the dialog's next painting) rather than lighting a dialog on its way out.
    if (tb_DialogOpen()) {
        PickInDialog();
        if (gScan.on) tb_SetTimer(shell::Shell().mainNative, kScanTimer, gScan.stepMs);
        return;
    }
    if (gScan.phase == ScanPhase::Room) {
        PickInRoom();
    } else {
        PickOnCanvas();
    }
    // A pick may have ended the program, or the scanning with it.
    if (!gScan.on) return;
    // The next step is a whole step away, however late in this one the key came.
    tb_SetTimer(shell::Shell().mainNative, kScanTimer, gScan.stepMs);
    Show();
}

}  // namespace

void SetUpScanning(bool on, int stepMs, int key) {
    StopScanning();
    gScan = ScanState{};
    if (!on) return;
    gScan.on = true;
    gScan.stepMs = stepMs;
    gScan.key = key;
    tb_SetTimer(shell::Shell().mainNative, kScanTimer, stepMs);
    platform::SetDialogKeyHook(DialogKey);
    tb_SetDialogPaintHook(DialogPainted);
    platform::Plat().setDialogScanning(stepMs, key);
    Show();
}

void StopScanning() {
    if (!gScan.on) return;
    gScan.on = false;
    platform::SetDialogKeyHook(nullptr);
    tb_SetDialogPaintHook(nullptr);
    platform::Plat().setDialogScanning(0, 0);
    if (shell::Shell().mainNative != 0) tb_KillTimer(shell::Shell().mainNative, kScanTimer);
}

void ScanStep() {
    if (!gScan.on) return;
    // A release that went to another window leaves the key held here for ever; the poll mends it.
    if (gScan.held && !tb_KeyDown(gScan.key)) gScan.held = false;
    // A dialog over the room has the child's attention: the highlight goes round its buttons.
    if (tb_DialogOpen()) {
        const bool fresh = tb_DialogWindow() != gScan.dialog;  // its first place is lit first
        const int count = int(DialogPlaces().size());
        if (!fresh && gScan.dialogPhase != ScanPhase::Room) {
            SweepOn(gScan.dialogPhase, gScan.dialogStop);
        } else if (count > 0 && !fresh) {
            gScan.button = (gScan.button + 1) % count;
        }
        ShowInDialog();
        return;
    }
    switch (gScan.phase) {
        case ScanPhase::Room:
            gScan.index = (gScan.index + 1) % int(RoomTargets().size());
            break;
        case ScanPhase::Line:
        case ScanPhase::Point:
            if (!SweepOn(gScan.phase, gScan.stop)) gScan.haveStart = false;
            break;
    }
    Show();
}

bool ScanKey(int key, bool down) {
    if (!gScan.on || key != gScan.key) return false;
    if (!down) {
        gScan.held = false;
    } else if (!gScan.held) {
        gScan.held = true;
        Pick();
    }
    return true;
}

ScanSpot ScanHighlight() {
    if (tb_DialogOpen()) return DialogSpot();
    if (gScan.phase != ScanPhase::Room) return SweepSpot(TheRoom().canvasArea, gScan.phase, gScan.stop, gScan.lineY);
    const Target t = CurrentTarget();
    return ScanSpot{t.rect, t.click};
}

ScanPhase CurrentScanPhase() { return gScan.phase; }

void ShowScanning() {
    if (gScan.on && !tb_DialogOpen()) Show();
}

}  // namespace scene
