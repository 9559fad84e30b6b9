// Pointer input on the room. Presses start strokes on the canvas; everything else (choosing
// tools, cans, trays and hotspots) happens on release. Hovering lights hotspots, shows labels
// and changes the cursor.
#include <cstdlib>

#include "app/preferences.h"
#include "app/room.h"
#include "app/scene.h"
#include "app/shell.h"
#include "dialogs/dialogs.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"
#include "tools/tools.h"

namespace scene {
namespace {

bool InRect(int x, int y, const Rect& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

bool InCanvas(int x, int y) { return InRect(x, y, TheRoom().canvasArea); }

bool TakesWindowCoordinates(int tool) { return tool == kRuler || tool == kTemplates || tool == kScissors; }

bool CarriesPiece(const SceneObject& tool, int index) { return index == kScissors && tool.param == 1; }

void ShowToolCursor() { tb_SetCursor(CurrentTool().cursorId); }

// Keeps a tool's outline inside the canvas; moves the pointer when the point moved.
Point Clamp(int x, int y) {
    Room& r = TheRoom();
    SceneObject& tool = CurrentTool();
    int m = (tool.size / 2) * ((r.currentTool == kRuler && r.zoomed) ? 2 : 1);
    const Rect& a = r.canvasArea;
    Point p{x, y};
    if (p.x < a.left + m) p.x = a.left + m;
    if (p.x > a.right - m) p.x = a.right - m;
    if (p.y < a.top + m) p.y = a.top + m;
    if (p.y > a.bottom - m) p.y = a.bottom - m;
    if (p.x != x || p.y != y) tb_SetMousePosition(p.x, p.y);
    return p;
}

Point ToolPoint(int x, int y, bool clamp) {
    Room& r = TheRoom();
    if (TakesWindowCoordinates(r.currentTool)) {
        bool carried = CarriesPiece(CurrentTool(), r.currentTool);
        return (clamp && !carried) ? Clamp(x, y) : Point{x, y};
    }
    return WindowToPicture(x, y);
}

void GiveToolTheColour() {
    Room& r = TheRoom();
    SceneObject& tool = CurrentTool();
    tool.SetColor(tool, r.currentColor.red, r.currentColor.green, r.currentColor.blue);
}

void ClipSceneToCanvas() {
    Room& r = TheRoom();
    if (r.currentTool == kDropper) return;
    Rect area = r.canvasArea;
    tb_SetClipRect(r.sceneBuffer, &area);
}

// The first object of the current tray whose hit area holds the point; -1 for none.
int ObjectAt(int x, int y) {
    Room& r = TheRoom();
    for (int i = 0; i < kObjectCount; ++i) {
        const SceneObject& o = r.objects[i];
        if (o.tray == r.currentTray && o.region != -1 && tb_PtInRegion(x, y, o.region)) return i;
    }
    return -1;
}

bool OnAnyCan(int x, int y) {
    for (const Can& c : TheRoom().cans) {
        if (InRect(x, y, c.top) || InRect(x, y, c.bodies[0]) || InRect(x, y, c.bodies[1])) return true;
    }
    return false;
}

// The can under the point: a top first, then the bodies override in their fixed order.
int CanAt(int x, int y) {
    Room& r = TheRoom();
    int found = -1;
    for (int k = 0; k < kCanCount && found < 0; ++k) {
        if (InRect(x, y, r.cans[k].top)) found = k;
    }
    for (int k : {0, 5, 6, 7, 2}) {
        if (InRect(x, y, r.cans[k].bodies[0]) || InRect(x, y, r.cans[k].bodies[1])) found = k;
    }
    return found;
}

bool HasControls(const SceneObject& tool) { return tool.DrawControls != DefaultDrawControls; }

// Lights the hotspot under the pointer and unlights the others; true when one lights up.
bool LightHotspots(int x, int y) {
    Room& r = TheRoom();
    for (Hotspot& spot : r.hotspots) {
        if (spot.isLit && !InRect(x, y, spot.pointer)) {
            CopySceneToWindow(spot.lit);
            spot.isLit = false;
        }
    }
    for (int i = 0; i < kHotspotCount; ++i) {
        Hotspot& spot = r.hotspots[i];
        if (!InRect(x, y, spot.pointer)) continue;
        if (i == kRock || i == kBooks || i == kMagicHat) return false;
        if (!spot.isLit) {
            Rect out{};
            tb_DrawPictureToBitmap(shell::Shell().mainWindow, spot.litId, spot.lit.left, spot.lit.top, &out);
            spot.isLit = true;
            DrawTrayMarker(true);
            ShowLabel(spot.label);
        }
        return true;
    }
    return false;
}

void Hover(int x, int y) {
    Room& r = TheRoom();
    SceneObject& tool = CurrentTool();
    auto fallback = [&] {
        tb_SetCursor(InCanvas(x, y) ? tool.cursorId : kCurArrow);
        ShowLabel(0);
    };
    if (LightHotspots(x, y)) {
        tb_SetCursor(kCurPointing);
    } else if (InRect(x, y, r.speaker)) {
        tb_SetCursor(kCurSpeaker);
        ShowLabel(kBmpLabelSpeaker);
    } else if (InRect(x, y, r.spyglass)) {
        tb_SetCursor(kCurSpeaker);
        ShowLabel(kBmpLabelSpyglass);
    } else if (InRect(x, y, r.cansArea) || OnAnyCan(x, y)) {
        if (CanAt(x, y) >= 0) {
            tb_SetCursor(kCurDropper);
            ShowLabel(kBmpLabelPaintCans);
        } else {
            fallback();
        }
    } else if (InRect(x, y, r.monitor)) {
        if (HasControls(tool)) {
            tb_SetCursor(kCurPointing);
            ShowLabel(kBmpLabelMonitor);
        } else {
            fallback();
        }
    } else if (InRect(x, y, r.paintBlot)) {
        ShowLabel(kBmpLabelPaintBlot);
    } else if (int object = InCanvas(x, y) ? -1 : ObjectAt(x, y); object >= 0) {
        tb_SetCursor(kCurOverTool);
        ShowLabel(ObjectLabel(object));
    } else {
        fallback();
    }
}

void ChooseTool(int index) {
    Room& r = TheRoom();
    tb_PlaySound(kWavChoose);
    r.currentTool = index;
    if (index == kScissors) r.objects[kScissors].param = 0;
    GiveToolTheColour();
    DrawScene(false, false, false);
    RedrawRect(r.table);
    RedrawRect(r.monitor);
}

void ClickMonitor(int x, int y) {
    Room& r = TheRoom();
    SceneObject& tool = CurrentTool();
    if (tool.ClickControls != DefaultClickControls) tb_PlaySound(kWavControl);
    tool.ClickControls(tool, x, y, r.monitor);
    tool.DrawControls(tool, r.monitor);
    RedrawRect(r.monitor);
}

void ChooseCan(int can) {
    Room& r = TheRoom();
    tb_PlaySound(kWavDropper);
    const Color c = r.canColors[can];
    SetCurrentColor(c.red, c.green, c.blue, true);
    GiveToolTheColour();
    if (r.currentTray == 4) {
        SceneObject& tool = CurrentTool();
        tool.DrawControls(tool, r.monitor);
        RedrawRect(r.monitor);
    }
}

void PutTrayOnTable(int tray, bool present) {
    Room& r = TheRoom();
    tb_PlaySound(kWavChoose);
    r.currentTray = tray;
    DrawScene(present, false, false);
    RedrawRect(r.shelfStrip);
    RedrawRect(r.table);
}

void ClickHotspot(int spot) {
    Room& r = TheRoom();
    switch (spot) {
        case kToolBox:
            PutTrayOnTable(0, true);
            ShowToolCursor();
            break;
        case kPrinter:
            tb_PlaySound(kWavChoose);
            PrintPicture();
            break;
        case kToys:
            PutTrayOnTable(4, false);
            break;
        case kKeyboard:
            tb_PlaySound(kWavChoose);
            if (dialogs::TextSettingsDialog() == 1) {
                r.placingText = true;
                SaveUndo();
                r.modified = true;
            }
            break;
        case kCleaner:
            Undo();
            break;
        case kRemote:
            tb_PlaySound(kWavChoose);
            RunCommand(-1);
            break;
        case kPaintTube: {
            tb_PlaySound(kWavChoose);
            Color chosen{};
            bool picked = tools::OpenColourPalette(chosen) == 1;
            tb_SetCursor(kCurArrow);
            if (picked) {
                r.chosenColor = chosen;
                SetCurrentColor(chosen.red, chosen.green, chosen.blue, true);
            }
            break;
        }
        default:  // the Rock, the Books and the Magic Hat do nothing
            break;
    }
}

void ClickIcons(int x, int y) {
    Room& r = TheRoom();
    if (InRect(x, y, r.speaker)) {
        tb_PlaySound(kWavClick);
        shell::Prefs().soundOn = !shell::Prefs().soundOn;
        tb_SetSoundSwitch(shell::Prefs().soundOn ? 1 : 0);
        DrawSpeaker();
        RedrawRect(r.speaker);
        shell::SavePreferences();
    } else if (InRect(x, y, r.spyglass)) {
        tb_PlaySound(kWavClick);
        if (!r.zoomed) {
            r.pickingZoom = true;
        } else {
            ZoomOut();
            ShowToolCursor();
        }
    }
}

}  // namespace

void Undo() {
    if (!TheRoom().undoAvailable) return;
    tb_PlaySound(kWavUndo);
    RestoreUndo();
    Present();
}

void OnPress(int x, int y) {
    Room& r = TheRoom();
    if (r.placingText) {
        tb_SetCursor(kCurText);
        return;
    }
    if (r.pickingZoom) {
        tb_SetCursor(kCurZoom);
        return;
    }
    if (!InCanvas(x, y)) return;
    SaveUndo();
    r.modified = true;
    ClipSceneToCanvas();
    Point p = ToolPoint(x, y, true);
    SceneObject& tool = CurrentTool();
    GiveToolTheColour();
    tool.Press(tool, p.x, p.y);
    tb_ClearClipRect(r.sceneBuffer);
    RedrawRect(r.canvasArea);
    r.lastPointer = TakesWindowCoordinates(r.currentTool) ? p : Point{x, y};
}

void OnMove(int x, int y, bool buttonDown) {
    Room& r = TheRoom();
    if (r.placingText) {
        tb_SetCursor(kCurText);
        dialogs::PreviewText(x, y);
        return;
    }
    if (r.pickingZoom) {
        tb_SetCursor(kCurZoom);
        return;
    }
    SceneObject& tool = CurrentTool();
    if (!buttonDown && !tool.active) Hover(x, y);

    if (!InCanvas(x, y) && !tool.active) return;
    if (!buttonDown && !(r.currentTool == kScissors && tool.active)) {
        ShowToolCursor();
        return;
    }
    ClipSceneToCanvas();
    bool carried = CarriesPiece(tool, r.currentTool);
    Point p = ToolPoint(x, y, !carried);
    GiveToolTheColour();
    bool outlineOnly = TakesWindowCoordinates(r.currentTool) && !tool.active;
    if (!outlineOnly) tool.Drag(tool, p.x, p.y);

    if (r.currentTool != kRuler && r.currentTool != kTemplates) {
        int grow = r.zoomed ? tool.size + 10 : tool.size / 2 + 5;
        Point last = r.lastPointer;
        r.dirty = Rect{std::min(last.x, x) - grow, std::min(last.y, y) - grow, std::max(last.x, x) + grow,
                       std::max(last.y, y) + grow};
        if (!carried) RedrawRect(r.currentTool == kCog ? r.canvasArea : r.dirty);
    }
    tb_ClearClipRect(r.sceneBuffer);
    r.lastPointer = TakesWindowCoordinates(r.currentTool) && !carried ? p : Point{x, y};
    ShowToolCursor();
}

void OnRelease(int x, int y) {
    Room& r = TheRoom();
    SceneObject& tool = CurrentTool();
    if (r.currentTool == kScissors && tool.param == 1 && !InCanvas(x, y)) {
        DropCarriedPiece(x, y);
        return;
    }
    if (r.placingText) {
        r.placingText = false;
        if (InCanvas(x, y)) {
            Point p = WindowToPicture(x, y);
            dialogs::StampText(p.x, p.y);
            tb_PlaySoundNow(kWavStamp);
            RedrawRect(r.canvasArea);
        } else {
            dialogs::DropText();  // nothing is drawn, and the preview goes from the window
        }
        ShowToolCursor();
        return;
    }
    if (r.pickingZoom) {
        r.pickingZoom = false;
        if (InCanvas(x, y)) {
            tb_PlaySound(kWavClick);
            ZoomIn(x, y);
        }
        ShowToolCursor();
        return;
    }
    if (InCanvas(x, y) || tool.active) {
        Point p = ToolPoint(x, y, false);
        if (TakesWindowCoordinates(r.currentTool) && !tool.active) return;
        tool.Release(tool, p.x, p.y);
        RedrawRect(r.canvasArea);
        return;
    }
    if (int object = ObjectAt(x, y); object >= 0) {
        ChooseTool(object);
        return;
    }
    if (InRect(x, y, r.monitor)) {
        ClickMonitor(x, y);
        return;
    }
    if (InRect(x, y, r.cansArea) || OnAnyCan(x, y)) {
        if (int can = CanAt(x, y); can >= 0) ChooseCan(can);
        return;
    }
    for (int spot = 0; spot < kHotspotCount; ++spot) {
        if (InRect(x, y, r.hotspots[spot].pointer)) {
            ClickHotspot(spot);
            return;
        }
    }
    ClickIcons(x, y);
}

void OnDoubleClick(int x, int y) {
    Room& r = TheRoom();
    if (!(InRect(x, y, r.cansArea) || OnAnyCan(x, y))) return;
    int can = CanAt(x, y);
    if (can < 0) return;
    Color chosen{};
    bool picked = tools::OpenColourPalette(chosen) == 1;
    tb_SetCursor(kCurArrow);
    if (!picked) return;
    r.chosenColor = chosen;
    DrawCan(can, chosen.red, chosen.green, chosen.blue, true);
    SetCurrentColor(chosen.red, chosen.green, chosen.blue, true);
}

bool CurrentToolActive() { return CurrentTool().active != 0; }

void EndStroke() {
    Room& r = TheRoom();
    if (CurrentTool().active && !CarriesPiece(CurrentTool(), r.currentTool)) OnRelease(r.lastPointer.x, r.lastPointer.y);
}

bool ScissorsCarryingPiece() {
    Room& r = TheRoom();
    return r.currentTool == kScissors && r.objects[kScissors].active != 0;
}

// The Scissors back to idle: nothing carried, the pointer no longer kept off the canvas edge.
static void LetPieceGo() {
    SceneObject& scissors = TheRoom().objects[kScissors];
    scissors.active = 0;
    scissors.param = 0;
    scissors.size = 1;
}

// Wipes the carried piece centred on (x, y) off the window, outline and all, also where it
// hangs over the shelf or the frame.
static void WipePiece(int x, int y) {
    const Rect piece = tools::CarriedPieceRect();
    const int w = piece.width() / 2 + 2, h = piece.height() / 2 + 2;
    CopySceneToWindow(Rect{x - w, y - h, x + w, y + h});
}

void DropCarriedPiece(int x, int y) {
    LetPieceGo();
    WipePiece(x, y);
}

void DropScissorsPiece() {
    Room& r = TheRoom();
    const SceneObject& scissors = r.objects[kScissors];
    if (CarriesPiece(scissors, kScissors)) WipePiece(scissors.curX, scissors.curY);
    LetPieceGo();
    RedrawRect(r.canvasArea);
}

}  // namespace scene
