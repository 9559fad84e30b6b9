// The Spray Can and the four scatter toys (Ball, Wand, Needle & Thread, Paintball Gun): at every
// pointer event of a stroke they drop marks at random around the pointer. Every random choice
// goes through tb_Random, in a fixed order, so a seeded run paints the same picture again.
// Picture coordinates throughout; marks off the picture are clipped by the toolbox.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"
#include "tools/tool_geometry.h"
#include "tools/tools.h"

namespace tools {
namespace {

constexpr int kFull = 65025;
constexpr int kSplatSide = 120;

struct Rgb {
    int red, green, blue;
};

int Sign() { return tb_Random(1, 2) == 1 ? 1 : -1; }

// One axis of a scatter offset: reach d, a sign and an angle, drawn in that order.
int ScatterAxis(int low, int reach, bool sine) {
    const int d = tb_Random(low, reach);
    const int sign = Sign();
    const double a = tb_Random(0, 90) * kPi / 180.0;
    return tb_Round((sine ? std::sin(a) : std::cos(a)) * d * sign);
}

// Marks fall in the square of the given reach, thinning towards its edge.
Point ScatterOffset(int low, int reach) {
    const int dx = ScatterAxis(low, reach, false);
    const int dy = ScatterAxis(low, reach, true);
    return Point{dx, dy};
}

// The toys' colour for one event: the tool's own, or in random mode a fresh one.
Rgb DabColour(const SceneObject& self) {
    if (self.param != 1) return Rgb{self.red, self.green, self.blue};
    int c[3];
    for (int& component : c) {
        const int b = tb_Random(12000, 65000);
        const int a = tb_Random(0, 200);
        component = std::min(tb_Round(a / 100.0 * b), kFull);
    }
    return Rgb{c[0], c[1], c[2]};
}

void UseColour(int target, Rgb c) {
    tb_SetForeColor(target, c.red, c.green, c.blue);
    tb_SetBackColor(target, c.red, c.green, c.blue);
}

void Spray(SceneObject& self, int x, int y) {
    UseColour(self.canvasBitmap, Rgb{self.red, self.green, self.blue});
    const int r = DabRadius(self);
    for (int i = 0; i < 2 * r; ++i) {
        const Point d = ScatterOffset(1, r);
        tb_SetPixel(self.canvasBitmap, x + d.x, y + d.y, self.red, self.green, self.blue);
    }
}

// A ball shaded from the dab colour at its rim to a lighter core a little up and left.
void Bubble(SceneObject& self, int x, int y) {
    const Rgb c = DabColour(self);
    const int r = DabRadius(self);
    const Point d = ScatterOffset(0, r / 2);
    const int cx = x + d.x, cy = y + d.y;
    const int diameter = tb_Random(r / 2, r);
    const Rect outer{cx - diameter / 2, cy - diameter / 2, cx + diameter / 2, cy + diameter / 2};

    // Bright colours wrap the sum of squares, as the shading always has.
    const uint32_t squares = static_cast<uint32_t>(c.red) * static_cast<uint32_t>(c.red) +
                             static_cast<uint32_t>(c.green) * static_cast<uint32_t>(c.green) +
                             static_cast<uint32_t>(c.blue) * static_cast<uint32_t>(c.blue);
    int m = tb_Round(std::sqrt(static_cast<double>(squares)));
    if (m * 0.6 < 2000) m = kFull;
    const float lift = static_cast<float>(m) * 0.06f;

    int step = 1, shiftX = 0, shiftY = 0;
    if (diameter >= 10) {
        step = std::max(1, (diameter / 10) / 2);
        shiftX = 1;
        shiftY = (diameter / 10) / 4;
    }
    const int canvas = self.canvasBitmap;
    UseColour(canvas, c);
    Rect e = outer;
    tb_PaintEllipse(canvas, &e);
    for (int i = 1; i < diameter; ++i) {
        Rect ring = outer;
        const int inset = tb_Round(i * step);
        tb_InsetRect(&ring, inset, inset);
        if (ring.left > ring.right || ring.bottom < ring.top) break;
        tb_OffsetRect(&ring, -shiftX, -shiftY);
        auto lighter = [&](int component) {
            return std::min(tb_Round(component + i * static_cast<double>(lift)), kFull);
        };
        UseColour(canvas, Rgb{lighter(c.red), lighter(c.green), lighter(c.blue)});
        tb_PaintEllipse(canvas, &ring);
    }
    self.active = 1;
    tb_PlaySound(kWavPopFirst - 1 + tb_Random(1, kWavPopCount));
}

// The star's outline on a 32 x 32 grid.
constexpr Point kStar[10] = {{15, 0}, {20, 11}, {30, 11}, {22, 17}, {28, 30},
                             {15, 21}, {2, 30},  {8, 17},  {0, 11},  {10, 11}};

// Draws the star's outline, fills it and adds the two inner lines, in the target's fore colour;
// the fill takes the area of `inside` colour around the centre.
void DrawStar(int target, int side, Rgb inside) {
    const double k = side / 32.0;
    auto line = [&](int a, int b) {
        tb_Line(target, tb_Round(kStar[a].x * k), tb_Round(kStar[a].y * k), tb_Round(kStar[b].x * k),
                tb_Round(kStar[b].y * k), 1);
    };
    for (int i = 0; i < 10; ++i) line(i, (i + 1) % 10);
    tb_FloodFill(target, side / 2, side / 2, inside.red, inside.green, inside.blue);
    line(1, 6);
    line(4, 9);
}

void Star(SceneObject& self, int x, int y) {
    const Rgb c = DabColour(self);
    const int r = DabRadius(self);
    const Point d = ScatterOffset(0, r / 2);
    const int cx = x + d.x, cy = y + d.y;
    const int side = tb_Random(r / 2, r);
    Rect area{0, 0, side, side};
    const int image = tb_CreateBitmap(&area, -1, 24);
    const int mask = tb_CreateBitmap(&area, -1, 8);
    if (image >= 0 && mask >= 0) {
        const Rgb white{kFull, kFull, kFull}, black{0, 0, 0};
        UseColour(image, white);
        tb_PaintRect(image, &area);
        UseColour(image, c);
        DrawStar(image, side, white);
        UseColour(mask, black);
        tb_PaintRect(mask, &area);
        UseColour(mask, white);
        DrawStar(mask, side, black);
        Rect to{cx - side / 2, cy - side / 2, cx + side / 2, cy + side / 2};
        tb_CopyMaskedBitmap(image, mask, self.canvasBitmap, &area, &area, &to);
    }
    if (image >= 0) tb_DisposeBitmap(image);
    if (mask >= 0) tb_DisposeBitmap(mask);
    self.active = 1;
}

void Stitches(SceneObject& self, int x, int y) {
    const Rgb c = DabColour(self);
    for (int i = 0; i < 4; ++i) {
        tb_SetForeColor(self.canvasBitmap, c.red, c.green, c.blue);
        const Point d = ScatterOffset(0, self.size / 2);
        tb_Line(self.canvasBitmap, x, y, x + d.x, y + d.y, 2);
    }
    self.active = 1;
}

// The splat pictures are black shapes on white: the shape takes the colour.
void Recolour(int image, Rgb c) {
    for (int px = 0; px < kSplatSide; ++px) {
        for (int py = 0; py < kSplatSide; ++py) {
            int red = 0, green = 0, blue = 0;
            tb_GetPixel(image, px, py, &red, &green, &blue);
            if (red == 0) tb_SetPixel(image, px, py, c.red, c.green, c.blue);
        }
    }
}

void Splat(SceneObject& self, int x, int y) {
    const Rgb c = DabColour(self);
    const int half = self.size / 2;
    const int k = tb_Random(1, 3);
    Rect imageRect{}, maskRect{};
    const int image = tb_CreateBitmap(&imageRect, kBmpSplatFirst - 1 + k, 24);
    const int mask = tb_CreateBitmap(&maskRect, kBmpSplatMaskFirst - 1 + k, 8);
    Rect scaled{0, 0, self.size, self.size};
    const int scaledImage = tb_CreateBitmap(&scaled, -1, 24);
    const int scaledMask = tb_CreateBitmap(&scaled, -1, 8);
    if (image >= 0 && mask >= 0 && scaledImage >= 0 && scaledMask >= 0) {
        Recolour(image, c);
        Rect whole{0, 0, kSplatSide, kSplatSide};
        tb_CopyBitmap(image, scaledImage, &whole, &scaled, 0);
        tb_CopyBitmap(mask, scaledMask, &whole, &scaled, 0);
        Rect to{x - half, y - half, x + half, y + half};
        tb_CopyMaskedBitmap(scaledImage, scaledMask, self.canvasBitmap, &scaled, &scaled, &to);
    }
    for (int handle : {image, mask, scaledImage, scaledMask}) {
        if (handle >= 0) tb_DisposeBitmap(handle);
    }
    self.active = 1;
    tb_PlaySound(kWavSplatFirst - 1 + tb_Random(1, kWavSplatCount));
}

// The toys share one shape of handler: Press starts the stroke and lays the first marks, Drag
// lays one event's marks while the stroke lasts.
template <void (*Marks)(SceneObject&, int, int)>
void ToyDrag(SceneObject& self, int x, int y) {
    if (!self.active) return;
    Marks(self, x, y);
    tb_SetCursor(self.cursorId);
}

template <void (*Marks)(SceneObject&, int, int)>
void ToyPress(SceneObject& self, int x, int y) {
    self.active = 1;
    ToyDrag<Marks>(self, x, y);
    tb_SetCursor(self.cursorId);
}

}  // namespace

void SprayPress(SceneObject& self, int x, int y) {
    tb_PlaySoundLoop(kWavSprayCan);
    Spray(self, x, y);
    self.active = 1;
    tb_SetCursor(self.cursorId);
}

void SprayDrag(SceneObject& self, int x, int y) {
    if (self.active) Spray(self, x, y);
}

void SprayRelease(SceneObject& self, int, int) {
    self.active = 0;
    tb_StopSound();
}

void BallPress(SceneObject& self, int x, int y) { ToyPress<Bubble>(self, x, y); }
void BallDrag(SceneObject& self, int x, int y) { ToyDrag<Bubble>(self, x, y); }

void WandPress(SceneObject& self, int x, int y) {
    tb_PlaySoundLoop(kWavWand);
    ToyPress<Star>(self, x, y);
}
void WandDrag(SceneObject& self, int x, int y) { ToyDrag<Star>(self, x, y); }
void WandRelease(SceneObject& self, int, int) {
    self.active = 0;
    tb_StopSound();
}

void NeedlePress(SceneObject& self, int x, int y) {
    self.active = 1;
    if (self.soundId != 0) tb_PlaySoundLoop(self.soundId);
    ToyDrag<Stitches>(self, x, y);
    tb_SetCursor(self.cursorId);
}
void NeedleDrag(SceneObject& self, int x, int y) { ToyDrag<Stitches>(self, x, y); }
void NeedleRelease(SceneObject& self, int, int) {
    if (self.active) tb_StopSound();
    self.active = 0;
}

void GunPress(SceneObject& self, int x, int y) { ToyPress<Splat>(self, x, y); }
void GunDrag(SceneObject& self, int x, int y) { ToyDrag<Splat>(self, x, y); }

// The Ball and the Gun play one-shots, so ending their stroke stops nothing.
void ToyRelease(SceneObject& self, int, int) { self.active = 0; }

}  // namespace tools
