// The room's layout, buffers and start values.
#include "app/room.h"

#include <algorithm>
#include <cmath>

#include "app/shell.h"
#include "pictures/bmp_read.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"

namespace scene {
namespace {

Room gRoom;

constexpr Color kWhite{65025, 65025, 65025};

struct HotspotRow {
    // Rectangles with their y measured from the shelf's top (Y0 = H - 480).
    Rect pointer;
    Rect lit;
    int litId;
    int label;
};

// clang-format off
constexpr HotspotRow kShelfHotspots[] = {
    {{0, 69, 58, 124},    {0, 10, 111, 135},   kBmpLitRock,      kBmpLabelRock},
    {{59, 34, 101, 124},  {0, 10, 111, 135},   kBmpLitBooks,     kBmpLabelBooks},
    {{0, 172, 51, 245},   {0, 132, 111, 257},  kBmpLitToolBox,   kBmpLabelToolBox},
    {{55, 187, 101, 245}, {0, 132, 111, 257},  kBmpLitMagicHat,  kBmpLabelMagicHat},
    {{0, 285, 48, 325},   {0, 246, 111, 337},  kBmpLitPrinter,   kBmpLabelPrinter},
    {{50, 261, 104, 326}, {0, 246, 111, 337},  kBmpLitToys,      kBmpLabelToys},
    {{21, 426, 123, 456}, {5, 420, 138, 467},  kBmpLitKeyboard,  kBmpLabelKeyboard},
    {{127, 344, 146, 418},{124, 341, 147, 433},kBmpLitCleaner,   kBmpLabelCleaner},
};

struct CanRow {
    Rect top;  // y measured upward from the bottom edge: (left, H - top, right, H - bottom)
    Point fill;
    Rect bodies[2];
    Point labelPoint;  // y upward from the bottom edge; x -1 = none
    Color start;
};

constexpr CanRow kCans[kCanCount] = {
    {{476, 94, 511, 84}, {16, 6},  {{476, 96, 511, 82}, {476, 82, 492, 47}}, {486, 83}, {65025, 65025, 65025}},
    {{512, 96, 547, 87}, {50, 3},  {},                                       {-1, 0},   {0, 0, 0}},
    {{552, 93, 588, 84}, {92, 8},  {{552, 96, 588, 84}},                     {-1, 0},   {65025, 0, 0}},
    {{512, 87, 550, 79}, {54, 12}, {},                                       {-1, 0},   {0, 65025, 0}},
    {{554, 84, 592, 76}, {97, 15}, {},                                       {-1, 0},   {0, 0, 65025}},
    {{491, 80, 529, 71}, {35, 20}, {{493, 81, 528, 42}},                     {511, 69}, {65025, 65025, 0}},
    {{533, 76, 572, 66}, {75, 23}, {{534, 76, 571, 28}},                     {551, 64}, {65025, 0, 65025}},
    {{575, 76, 616, 66}, {118, 24},{{576, 76, 615, 27}},                     {597, 63}, {65025, 32640, 0}},
};
// clang-format on

Rect FromShelf(const Rect& r, int y0) { return Rect{r.left, y0 + r.top, r.right, y0 + r.bottom}; }
Rect FromBottom(const Rect& r, int h) { return Rect{r.left, h - r.top, r.right, h - r.bottom}; }

int NewWhiteBitmap(Rect rect) {
    int handle = tb_CreateBitmap(&rect, -1, 24);
    if (handle < 0) return handle;
    tb_SetForeColor(handle, kWhite.red, kWhite.green, kWhite.blue);
    tb_SetBackColor(handle, kWhite.red, kWhite.green, kWhite.blue);
    tb_PaintRect(handle, &rect);
    return handle;
}

// A picture the program saves must open again, here and on any other machine: on a screen
// larger than the reader takes, the picture keeps the screen's proportions at the largest size
// it reads.
void FitReadable(int& width, int& height) {
    width = std::min(width, bmp::kMaxSide);
    height = std::min(height, bmp::kMaxSide);
    const int64_t area = int64_t{width} * height;
    if (width <= 0 || height <= 0 || area <= bmp::kMaxPixels) return;
    const double shrink = std::sqrt(static_cast<double>(bmp::kMaxPixels) / static_cast<double>(area));
    width = static_cast<int>(width * shrink);
    height = static_cast<int>(height * shrink);
    while (int64_t{width} * height > bmp::kMaxPixels) --width;
}

}  // namespace

Room& TheRoom() { return gRoom; }

void ResetRoom() { gRoom = Room{}; }

SceneObject& CurrentTool() { return gRoom.objects[gRoom.currentTool]; }

int IndexOf(const SceneObject& object) { return static_cast<int>(&object - &gRoom.objects[0]); }

RoomFacts FactsOfRoom() {
    const Room& r = gRoom;
    return RoomFacts{r.width,       r.height, r.canvasArea,         r.picture,           r.canvas,
                     r.sceneBuffer, r.undo,   shell::Shell().mainWindow, r.zoomed, r.currentColor};
}

void LayoutScene() {
    Room& r = gRoom;
    Rect client{};
    tb_GetClientRect(shell::Shell().mainWindow, &client);
    int w = client.width();
    int h = client.height();
    int y0 = h - 480;
    r.width = w;
    r.height = h;
    // The frame stands on the table beside the shelf; a capped picture leaves wall above it
    // and to its right.
    int pictureWidth = w - 166, pictureHeight = h - 112;
    FitReadable(pictureWidth, pictureHeight);
    r.picture = Rect{0, 0, pictureWidth, pictureHeight};
    r.canvasArea = Rect{kCanvasLeft, h - 96 - pictureHeight, kCanvasLeft + pictureWidth, h - 96};
    r.window = Rect{0, 0, w, h};
    r.monitor = Rect{7, y0 + 337, 101, y0 + 419};
    r.table = Rect{0, h - 96, w, h};
    r.shelfStrip = Rect{0, 0, 147, h};
    r.trayArea = Rect{185, h - 96, 468, h};
    r.labelStrip = Rect{0, h - 22, 572, h};
    r.paintBlot = Rect{439, h - 40, 483, h - 23};
    r.spyglass = Rect{590, h - 21, 612, h};
    r.speaker = Rect{618, h - 21, 634, h};
    r.cansArea = Rect{475, h - 96, 617, h - 57};

    for (int i = 0; i < 8; ++i) {
        r.hotspots[i].pointer = FromShelf(kShelfHotspots[i].pointer, y0);
        r.hotspots[i].lit = FromShelf(kShelfHotspots[i].lit, y0);
    }
    r.hotspots[kRemote].pointer = Rect{137, h - 55, 176, h - 24};
    r.hotspots[kRemote].lit = Rect{131, h - 60, 181, h - 17};
    r.hotspots[kPaintTube].pointer = Rect{483, h - 41, 538, h - 20};
    r.hotspots[kPaintTube].lit = Rect{483, h - 41, 538, h - 20};

    for (int k = 0; k < kCanCount; ++k) {
        const CanRow& row = kCans[k];
        Can& can = r.cans[k];
        can.top = FromBottom(row.top, h);
        for (int b = 0; b < 2; ++b) {
            bool none = row.bodies[b].left == 0 && row.bodies[b].right == 0;  // rows measured upward
            can.bodies[b] = none ? Rect{} : FromBottom(row.bodies[b], h);
        }
        can.labelPoint = row.labelPoint.x < 0 ? Point{-1, -1} : Point{row.labelPoint.x, h - row.labelPoint.y};
    }
}

void InitRoomState() {
    Room& r = gRoom;
    for (int i = 0; i < 8; ++i) {
        r.hotspots[i].litId = kShelfHotspots[i].litId;
        r.hotspots[i].label = kShelfHotspots[i].label;
    }
    r.hotspots[kRemote].litId = kBmpLitRemote;
    r.hotspots[kRemote].label = kBmpLabelRemote;
    r.hotspots[kPaintTube].litId = kBmpLitPaintTube;
    r.hotspots[kPaintTube].label = kBmpLabelPaintTube;
    for (Hotspot& spot : r.hotspots) spot.isLit = false;
    for (int k = 0; k < kCanCount; ++k) {
        r.cans[k].fill = kCans[k].fill;
        r.cans[k].mask = kBmpCanMaskFirst + k;
        r.canColors[k] = kCans[k].start;
    }
    r.currentColor = Color{65025, 0, 0};
    r.currentTray = 0;
    r.currentTool = kPencil;
}

void CreateBuffers() {
    Room& r = gRoom;
    r.sceneBuffer = tb_CreateBitmap(&r.window, -1, 24);
    if (r.sceneBuffer >= 0) {
        tb_SetForeColor(r.sceneBuffer, kWhite.red, kWhite.green, kWhite.blue);
        tb_SetBackColor(r.sceneBuffer, kWhite.red, kWhite.green, kWhite.blue);
        tb_PaintRect(r.sceneBuffer, &r.canvasArea);
    }
    r.undo = NewWhiteBitmap(r.picture);
    r.canvas = NewWhiteBitmap(r.picture);
    if (r.canvas >= 0) tb_SetClipRect(r.canvas, &r.picture);
}

}  // namespace scene
