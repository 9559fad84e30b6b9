#include "app/objects.h"

#include <vector>

#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"
#include "tools/tools.h"

namespace scene {
namespace {

// One row of the object table. Rectangles are given with their top and bottom as distances
// above the window's bottom edge, since the table is anchored there.
struct ObjectRow {
    int tray;
    int imageId, maskId;
    int cursorId;
    int size;
    int soundId;
    int param;
    int left, topUp, right, bottomUp;  // rect = (left, H - topUp, right, H - bottomUp)
};

// clang-format off
constexpr ObjectRow kRows[kObjectCount] = {
    {0, 154, 163, 204, 4, 1000, 0,   363, 36, 428, 22},  // Pencil
    {0, 155, 164, 205, 24, 1001, 0,  326, 51, 414, 29},  // Brush
    {0, 156, 165, 206, 24, 1003, 0,  308, 55, 344, 40},  // Eraser
    {0, 157, 166, 208, 24, 0, 0,     188, 80, 207, 26},  // Spray Can
    {0, 158, 167, 209, 4, 1002, 0,   370, 64, 463, 49},  // Ruler
    {0, 159, 168, 211, 4, 1029, 0,   222, 42, 259, 25},  // Templates
    {0, 160, 169, 207, 4, 1004, 0,   277, 50, 299, 23},  // Jar
    {0, 161, 170, 200, 4, 1019, 0,   272, 69, 324, 52},  // Dropper
    {0, 162, 171, 210, 1, 1005, 0,   214, 61, 260, 42},  // Scissors
    {1, 200, 206, 213, 32, 0, 212,   360, 54, 435, 24},  // Bump Patterns
    {1, 201, 207, 213, 32, 0, 213,   282, 79, 343, 55},
    {1, 202, 208, 213, 32, 0, 214,   208, 79, 270, 55},
    {1, 203, 209, 213, 32, 0, 215,   356, 79, 419, 55},
    {1, 204, 210, 213, 32, 0, 216,   189, 54, 263, 25},
    {1, 205, 211, 213, 32, 0, 217,   276, 54, 347, 25},
    {2, 500, 503, 228, 1, 0, 0,      181, 75, 283, 25},  // Volume 3
    {2, 501, 504, 228, 1, 0, 0,      279, 73, 364, 25},  // Volume 2
    {2, 502, 505, 228, 1, 0, 0,      363, 74, 447, 25},  // Volume 1
    {3, 300, 306, 214, 28, 1037, 1,  372, 41, 428, 26},  // Pocket Knife
    {3, 301, 307, 215, 28, 1032, 2,  271, 57, 356, 22},  // Sunglasses
    {3, 302, 308, 216, 28, 1033, 3,  199, 54, 246, 22},  // Lightbulb
    {3, 303, 309, 217, 28, 1030, 4,  366, 76, 426, 42},  // Rag
    {3, 304, 310, 218, 28, 1038, 5,  261, 68, 314, 52},  // Crayon
    {3, 305, 311, 219, 28, 1036, 6,  193, 79, 210, 45},  // Pepper
    {4, 400, 406, 220, 28, 1026, 7,  371, 58, 422, 23},  // Hammer & Chisel
    {4, 401, 407, 221, 48, 0, 0,     294, 49, 318, 25},  // Ball
    {4, 402, 408, 222, 16, 1025, 1,  197, 49, 258, 19},  // Cog
    {4, 403, 409, 223, 48, 1011, 0,  343, 72, 457, 51},  // Wand
    {4, 404, 410, 224, 48, 1024, 0,  283, 89, 334, 52},  // Needle & Thread
    {4, 405, 411, 225, 90, 0, 0,     184, 89, 259, 51},  // Paintball Gun
};
// clang-format on

// Hit polygons that follow the drawn tool rather than its rectangle: (x, distance above the
// bottom edge) pairs.
struct PolygonRow {
    int index;
    std::vector<Point> corners;
};

const std::vector<PolygonRow>& Polygons() {
    static const std::vector<PolygonRow> rows = {
        {0, {{364, 30}, {425, 37}, {425, 28}, {364, 23}}},
        {1, {{326, 38}, {404, 52}, {417, 48}, {328, 28}}},
        {2, {{308, 53}, {343, 56}, {342, 44}, {309, 40}}},
        {3, {{189, 79}, {205, 79}, {205, 28}, {189, 28}}},
        {4, {{371, 65}, {462, 61}, {462, 51}, {370, 55}}},
        {5, {{221, 35}, {226, 40}, {235, 42}, {245, 41}, {247, 38}, {258, 38}, {257, 27}, {234, 27}, {234, 28}, {225, 30}}},
        {6, {{277, 50}, {298, 50}, {298, 24}, {277, 24}}},
        {7, {{272, 68}, {295, 69}, {323, 61}, {323, 57}, {283, 54}, {272, 55}}},
        {8, {{215, 60}, {256, 63}, {259, 51}, {232, 47}, {220, 42}, {215, 51}}},
        {19, {{314, 57}, {356, 57}, {356, 22}, {271, 22}, {271, 39}}},
        {20, {{223, 54}, {246, 54}, {246, 22}, {199, 22}, {199, 38}}},
    };
    return rows;
}

// The order in which the objects get their values; it decides which region handles they hold.
constexpr int kBuildOrder[kObjectCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                           18, 19, 20, 21, 22, 23, 25, 26, 27, 24, 28, 29, 15, 16, 17};

constexpr int kLabels[kObjectCount] = {701, 702, 704, 709, 703, 707, 706, 705, 708, 734, 734, 734, 734, 734, 734,
                                       737, 736, 735, 728, 729, 730, 731, 732, 733, 722, 723, 724, 725, 726, 727};

int MakeRegion(int index, const Rect& rect, int height) {
    std::vector<Point> points;
    for (const PolygonRow& row : Polygons()) {
        if (row.index != index) continue;
        for (Point p : row.corners) points.push_back(Point{p.x, height - p.y});
    }
    if (points.empty()) {
        points = {{rect.left, rect.top}, {rect.right, rect.top}, {rect.right, rect.bottom}, {rect.left, rect.bottom}};
    }
    points.push_back(Point{kEndOfPoints, kEndOfPoints});
    return tb_CreateRegion(points.data());
}

void SetStroke(SceneObject& o, PointSlot press, PointSlot drag, PointSlot release) {
    o.Press = press;
    o.Drag = drag;
    o.Release = release;
}

void SetControls(SceneObject& o, DrawControlsSlot draw, ClickControlsSlot click) {
    o.DrawControls = draw;
    o.ClickControls = click;
}

void InstallToolHandlers(SceneObject& o, int index) {
    using namespace tools;
    switch (index) {
        case kPencil:
            SetControls(o, DrawSixBarSizes, ClickSixBarSizes);
            break;
        case kBrush:
            SetStroke(o, BrushPress, BrushDrag, BrushRelease);
            SetControls(o, DrawSixBarBrushSizes, ClickSixBarBrushSizes);
            break;
        case kEraser:
            SetStroke(o, EraserPress, EraserDrag, EndStroke);
            SetControls(o, DrawSixBarSizes, ClickSixBarSizes);
            break;
        case kSprayCan:
            SetStroke(o, SprayPress, SprayDrag, SprayRelease);
            SetControls(o, DrawSixBarBrushSizes, ClickSixBarBrushSizes);
            break;
        case kRuler:
            SetStroke(o, RulerPress, RulerDrag, RulerRelease);
            SetControls(o, DrawSixBarSizes, ClickSixBarSizes);
            break;
        case kTemplates:
            SetStroke(o, TemplatesPress, TemplatesDrag, TemplatesRelease);
            SetControls(o, DrawTemplateShapes, ClickTemplateShapes);
            break;
        case kJar:
            SetStroke(o, JarPress, JarDrag, EndStroke);
            break;
        case kDropper:
            SetStroke(o, DropperPick, DropperPick, DropperRelease);
            break;
        case kScissors:
            SetStroke(o, ScissorsPress, ScissorsDrag, ScissorsRelease);
            break;
        case kHammer:
            SetStroke(o, HammerPress, HammerDrag, HammerRelease);
            SetControls(o, DrawHammerSizes, ClickHammerSizes);
            break;
        case kBall:
            SetStroke(o, BallPress, BallDrag, ToyRelease);
            SetControls(o, DrawToyControls, ClickToyControls);
            break;
        case kWand:
            SetStroke(o, WandPress, WandDrag, WandRelease);
            SetControls(o, DrawToyControls, ClickToyControls);
            break;
        case kNeedle:
            SetStroke(o, NeedlePress, NeedleDrag, NeedleRelease);
            SetControls(o, DrawToyControls, ClickToyControls);
            break;
        case kPaintballGun:
            SetStroke(o, GunPress, GunDrag, ToyRelease);
            SetControls(o, DrawGunControls, ClickGunControls);
            break;
        case kCog:
            SetStroke(o, CogPress, CogDrag, CogRelease);
            SetControls(o, DrawCogControls, ClickCogControls);
            break;
        default:
            break;
    }
}

}  // namespace

void ConstructObject(SceneObject& self, int sceneBitmap, int canvasBitmap) {
    self = SceneObject{};
    self.sceneBitmap = sceneBitmap;
    self.canvasBitmap = canvasBitmap;
    self.HitTest = DefaultHitTest;
    self.Press = DefaultPress;
    self.Drag = DefaultDrag;
    self.Release = DefaultRelease;
    self.DrawImage = DefaultDrawImage;
    self.DrawControls = DefaultDrawControls;
    self.ClickControls = DefaultClickControls;
    self.SetColor = DefaultSetColor;
    self.Dispose = DefaultDispose;
}

void BuildObjects(SceneObject (&objects)[kObjectCount], int height, int sceneBitmap, int canvasBitmap,
                  int mainWindow) {
    for (SceneObject& o : objects) ConstructObject(o, sceneBitmap, canvasBitmap);
    for (int index : kBuildOrder) {
        const ObjectRow& row = kRows[index];
        SceneObject& o = objects[index];
        o.tray = row.tray;
        o.cursorId = row.cursorId;
        o.imageId = row.imageId;
        o.imageId2 = row.imageId;
        o.maskId = row.maskId;
        o.size = row.size;
        o.soundId = row.soundId;
        o.param = row.param;
        o.rect = Rect{row.left, height - row.topUp, row.right, height - row.bottomUp};
        if (index == kCrayon) {
            o.red = 1;
            o.green = 0;
            o.blue = 0;
        }
        bool drawsInWindow = index == kRuler || index == kTemplates || index == kScissors ||
                             (index >= kFirstStampBook && index <= kLastStampBook);
        if (drawsInWindow) o.window = mainWindow;
        o.region = MakeRegion(index, o.rect, height);
        InstallToolHandlers(o, index);
    }
}

void DisposeObjects(SceneObject (&objects)[kObjectCount]) {
    for (SceneObject& o : objects) {
        if (o.Dispose != nullptr) o.Dispose(o);
    }
}

int ObjectLabel(int index) { return (index >= 0 && index < kObjectCount) ? kLabels[index] : 0; }

// ---- The default handlers: a freehand pen ---------------------------------------------------

bool DefaultHitTest(SceneObject& self, int x, int y) {
    return tb_PtInRect(x, y, &self.rect) != 0;
}

void DefaultPress(SceneObject& self, int x, int y) {
    if (self.soundId != 0) tb_PlaySoundLoop(self.soundId);
    self.lastX = x;
    self.lastY = y;
    tb_SetForeColor(self.canvasBitmap, self.red, self.green, self.blue);
    tb_SetBackColor(self.canvasBitmap, self.red, self.green, self.blue);
    if (self.size != 1) {
        tb_Line(self.canvasBitmap, x, y, x, y, self.size);
    } else {
        tb_SetPixel(self.canvasBitmap, x, y, self.red, self.green, self.blue);
    }
    self.active = 1;
    tb_SetCursor(self.cursorId);
}

void DefaultDrag(SceneObject& self, int x, int y) {
    if (!self.active) return;
    self.curX = x;
    self.curY = y;
    tb_SetForeColor(self.canvasBitmap, self.red, self.green, self.blue);
    tb_SetBackColor(self.canvasBitmap, self.red, self.green, self.blue);
    tb_Line(self.canvasBitmap, self.lastX, self.lastY, self.curX, self.curY, self.size);
    self.lastX = x;
    self.lastY = y;
    tb_SetCursor(self.cursorId);
}

void DefaultRelease(SceneObject& self, int x, int y) {
    if (!self.active) return;
    self.lastX = self.curX = x;
    self.lastY = self.curY = y;
    self.active = 0;
    tb_StopSound();
}

void DefaultDrawImage(SceneObject& self) {
    if (self.imageId == -1 || self.maskId == -1) return;
    Rect imageRect{}, maskRect{};
    int image = tb_CreateBitmap(&imageRect, self.imageId, 24);
    int mask = tb_CreateBitmap(&maskRect, self.maskId, 8);
    if (image >= 0 && mask >= 0) {
        Rect dest = self.rect;
        tb_CopyMaskedBitmap(image, mask, self.sceneBitmap, &imageRect, &maskRect, &dest);
    }
    if (image >= 0) tb_DisposeBitmap(image);
    if (mask >= 0) tb_DisposeBitmap(mask);
}

void DefaultDrawControls(SceneObject& self, const Rect& monitor) {
    Rect blankRect{};
    int blank = tb_CreateBitmap(&blankRect, kBmpMonitorBlank, 24);
    if (blank < 0) return;
    Rect dest = monitor;
    tb_CopyBitmap(blank, self.sceneBitmap, &blankRect, &dest, 0);
    tb_DisposeBitmap(blank);
}

void DefaultClickControls(SceneObject&, int, int, const Rect&) {}

void DefaultSetColor(SceneObject& self, int red, int green, int blue) {
    self.red = red;
    self.green = green;
    self.blue = blue;
}

void DefaultDispose(SceneObject& self) {
    if (self.region != -1) tb_DisposeRegion(self.region);
    self.region = -1;
}

}  // namespace scene
