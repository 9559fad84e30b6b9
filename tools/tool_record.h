// The scene objects: one record per tool on the table, with the tool's settings and its nine
// handler slots. The shell calls a slot of the current tool without knowing which tool it is.
//
// Coordinates given to Press, Drag and Release are picture coordinates (pixels of the canvas)
// for every tool except the Ruler, the Templates, the Scissors and the stamp books, which get
// window coordinates. `rect` is in window coordinates.
#pragma once

#include "platform/geometry.h"

namespace scene {

constexpr int kObjectCount = 30;

// Object indices named by the room's rules.
constexpr int kPencil = 0;
constexpr int kBrush = 1;
constexpr int kEraser = 2;
constexpr int kSprayCan = 3;
constexpr int kRuler = 4;
constexpr int kTemplates = 5;
constexpr int kJar = 6;
constexpr int kDropper = 7;
constexpr int kScissors = 8;
constexpr int kFirstBumpPattern = 9;
constexpr int kFirstStampBook = 15;
constexpr int kLastStampBook = 17;
constexpr int kFirstMagicTool = 18;
constexpr int kCrayon = 22;
constexpr int kHammer = 24;
constexpr int kBall = 25;
constexpr int kCog = 26;
constexpr int kWand = 27;
constexpr int kNeedle = 28;
constexpr int kPaintballGun = 29;

struct SceneObject;

using HitTestSlot = bool (*)(SceneObject& self, int x, int y);
using PointSlot = void (*)(SceneObject& self, int x, int y);
using DrawImageSlot = void (*)(SceneObject& self);
using DrawControlsSlot = void (*)(SceneObject& self, const Rect& monitor);
using ClickControlsSlot = void (*)(SceneObject& self, int x, int y, const Rect& monitor);
using SetColorSlot = void (*)(SceneObject& self, int red, int green, int blue);
using DisposeSlot = void (*)(SceneObject& self);

struct SceneObject {
    int tray = 0;
    int cursorId = 0;
    int imageId = -1;
    int imageId2 = -1;
    int maskId = -1;
    int size = 4;
    int red = 0;
    int green = 0;
    int blue = 0;
    Rect rect{};
    int active = 0;
    int sceneBitmap = -1;
    int canvasBitmap = -1;
    int lastX = 0;
    int lastY = 0;
    int curX = 0;
    int curY = 0;
    int param = 0;
    int region = -1;  // hit area on the table, a region handle
    int window = -1;  // window handle the tool draws into directly
    int soundId = 0;

    HitTestSlot HitTest = nullptr;
    PointSlot Press = nullptr;
    PointSlot Drag = nullptr;
    PointSlot Release = nullptr;
    DrawImageSlot DrawImage = nullptr;
    DrawControlsSlot DrawControls = nullptr;
    ClickControlsSlot ClickControls = nullptr;
    SetColorSlot SetColor = nullptr;
    DisposeSlot Dispose = nullptr;
};

}  // namespace scene
