// The room: its layout from the window size, its buffers, and the state of what it shows.
//
// All rectangles are window coordinates (y down, right/bottom exclusive). The canvas is the
// picture itself; its pixel (0, 0) appears at the canvas area's top-left unless zoomed: (147, 16),
// except on a screen so large that the picture is capped to what the program can read back,
// where the frame is smaller and its top lower.
#pragma once

#include "app/objects.h"
#include "platform/geometry.h"
#include "tools/room_facts.h"

namespace scene {

constexpr int kHotspotCount = 10;
constexpr int kCanCount = 8;

// Hotspot indices.
constexpr int kRock = 0;
constexpr int kBooks = 1;
constexpr int kToolBox = 2;
constexpr int kMagicHat = 3;
constexpr int kPrinter = 4;
constexpr int kToys = 5;
constexpr int kKeyboard = 6;
constexpr int kCleaner = 7;
constexpr int kRemote = 8;
constexpr int kPaintTube = 9;

constexpr int kCanvasLeft = 147;
constexpr int kCanvasTop = 16;  // unless the picture is capped: see canvasArea

struct Hotspot {
    Rect pointer{};  // reacts to the pointer
    Rect lit{};      // where the lit picture goes
    int litId = 0;
    int label = 0;
    bool isLit = false;
};

struct Can {
    Rect top{};
    Point fill{};     // inside the can-tops picture
    int mask = 0;
    Rect bodies[2]{};  // empty when the can has no body to click
    Point labelPoint{-1, -1};
};

struct Room {
    int width = 0;
    int height = 0;
    Rect canvasArea{};
    Rect picture{};
    Rect window{};
    Rect monitor{};
    Rect table{};
    Rect shelfStrip{};
    Rect trayArea{};
    Rect labelStrip{};
    Rect paintBlot{};
    Rect spyglass{};
    Rect speaker{};
    Rect cansArea{};
    Hotspot hotspots[kHotspotCount]{};
    Can cans[kCanCount]{};

    int sceneBuffer = -1;
    int canvas = -1;
    int undo = -1;
    int trayBackground = -1;

    bool zoomed = false;
    Point zoomOrigin{};
    bool undoAvailable = false;
    int labelShown = 0;
    Color currentColor{65025, 0, 0};
    Color canColors[kCanCount]{};

    SceneObject objects[kObjectCount]{};
    int currentTool = kPencil;
    int currentTray = 0;

    // Pointer state.
    Point lastPointer{};
    bool modified = false;
    bool pickingZoom = false;
    bool placingText = false;
    Rect dirty{};
    Color chosenColor{};
};

Room& TheRoom();
void ResetRoom();
SceneObject& CurrentTool();

// ---- Layout and buffers -------------------------------------------------------------------
void LayoutScene();
void CreateBuffers();
// Puts the start values of hotspots, cans and colours in place (scene start-up).
void InitRoomState();

// ---- Drawing the room -------------------------------------------------------------------
void DrawScene(bool present, bool full, bool wholeTable);
void Composite();
void SaveUndo();
void RestoreUndo();
void ShowLabel(int id);
void DrawCan(int can, int red, int green, int blue, bool present);
void DrawSpeaker();
void DrawSpyglass();
void ZoomIn(int x, int y);
void ZoomOut();
// Copies a rectangle of the scene buffer to the window, as it is.
void CopySceneToWindow(const Rect& rect);
// Draws the tray marker into the window (after a lit picture may have covered it).
void DrawTrayMarker(bool intoWindow);

}  // namespace scene
