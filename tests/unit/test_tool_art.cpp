// The pictures of the tools on the table and the labels in the label strip: sizes and formats the
// program depends on, masks that match their pictures, drawn shapes that follow the tools' hit
// areas, and labels drawn on the strip itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "resources/resources.h"

namespace {

int32_t Le32(const uint8_t* p) {
    return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24));
}
int Le16(const uint8_t* p) { return p[0] | (p[1] << 8); }

struct Colour {
    int r = 0, g = 0, b = 0;
    bool operator==(const Colour&) const = default;
    bool IsWhite() const { return r == 255 && g == 255 && b == 255; }
    bool IsDark() const { return r + g + b < 3 * 90; }
};

// A bitmap resource decoded as a BMP reader would (no file header, bottom-up rows).
struct Picture {
    int width = 0, height = 0, bits = 0;
    const uint8_t* table = nullptr;
    const uint8_t* rows = nullptr;
    int stride = 0;

    explicit Picture(ResourceData d) {
        if (!d || d.size < 40) return;
        width = Le32(d.bytes + 4);
        height = Le32(d.bytes + 8);
        bits = Le16(d.bytes + 14);
        table = d.bytes + 40;
        rows = table + (bits == 8 ? 1024 : 0);
        stride = ((width * bits + 31) / 32) * 4;
    }
    const uint8_t* Pixel(int x, int y) const {
        return rows + static_cast<size_t>(height - 1 - y) * stride + x * (bits / 8);
    }
    int Index(int x, int y) const { return *Pixel(x, y); }
    Colour At(int x, int y) const {
        const uint8_t* p = bits == 8 ? table + Index(x, y) * 4 : Pixel(x, y);
        return {p[2], p[1], p[0]};
    }
};

Picture Load(int id) { return Picture(FindResource(ResourceKind::Bitmap, id)); }

struct Point {
    double x, y;
};

// A tool as the object table places it: its rectangle (top given from the window's bottom edge,
// H - top) and, for the tools whose hit area is not their rectangle, the hit polygon in window
// coordinates with y again counted up from the bottom edge.
struct Tool {
    const char* name;
    int image, mask, width, height;
    int left, topFromBottom;
    std::vector<Point> polygon;  // empty: the rectangle itself
    double minShare, maxShare;   // how much of the rectangle the mask may cover
};

const std::vector<Tool>& Tools() {
    static const std::vector<Tool> tools = {
        {"Pencil", kBmpPencil, kBmpPencilMask, 65, 14, 363, 36,
         {{364, 30}, {425, 37}, {425, 28}, {364, 23}}, 0.35, 0.75},
        {"Brush", kBmpBrush, kBmpBrushMask, 88, 22, 326, 51,
         {{326, 38}, {404, 52}, {417, 48}, {328, 28}}, 0.25, 0.6},
        {"Eraser", kBmpEraser, kBmpEraserMask, 36, 15, 308, 55,
         {{308, 53}, {343, 56}, {342, 44}, {309, 40}}, 0.6, 0.95},
        {"Spray Can", kBmpSprayCan, kBmpSprayCanMask, 19, 54, 188, 80,
         {{189, 79}, {205, 79}, {205, 28}, {189, 28}}, 0.6, 0.95},
        {"Ruler", kBmpRuler, kBmpRulerMask, 93, 15, 370, 64,
         {{371, 65}, {462, 61}, {462, 51}, {370, 55}}, 0.5, 0.85},
        {"Templates", kBmpTemplates, kBmpTemplatesMask, 37, 17, 222, 42,
         {{221, 35}, {226, 40}, {235, 42}, {245, 41}, {247, 38}, {258, 38}, {257, 27}, {234, 27},
          {234, 28}, {225, 30}},
         0.4, 0.85},
        {"Jar", kBmpJar, kBmpJarMask, 22, 27, 277, 50,
         {{277, 50}, {298, 50}, {298, 24}, {277, 24}}, 0.7, 0.97},
        {"Dropper", kBmpDropper, kBmpDropperMask, 52, 17, 272, 69,
         {{272, 68}, {295, 69}, {323, 61}, {323, 57}, {283, 54}, {272, 55}}, 0.35, 0.8},
        {"Scissors", kBmpScissors, kBmpScissorsMask, 46, 19, 214, 61,
         {{215, 60}, {256, 63}, {259, 51}, {232, 47}, {220, 42}, {215, 51}}, 0.3, 0.75},
        {"Hammer & Chisel", kBmpHammer, kBmpHammerMask, 51, 35, 371, 58, {}, 0.25, 0.8},
        {"Ball", kBmpBall, kBmpBallMask, 24, 24, 294, 49, {}, 0.6, 0.9},
        {"Cog", kBmpCog, kBmpCogMask, 61, 30, 197, 49, {}, 0.35, 0.85},
        {"Wand", kBmpWand, kBmpWandMask, 114, 21, 343, 72, {}, 0.2, 0.7},
        {"Needle & Thread", kBmpNeedle, kBmpNeedleMask, 51, 37, 283, 89, {}, 0.25, 0.8},
        {"Paintball Gun", kBmpPaintballGun, kBmpPaintballGunMask, 75, 38, 184, 89, {}, 0.3, 0.8},
    };
    return tools;
}

// The hit polygon in the picture's own pixel coordinates.
std::vector<Point> LocalPolygon(const Tool& t) {
    std::vector<Point> local;
    for (Point p : t.polygon) local.push_back({p.x - t.left, t.topFromBottom - p.y});
    return local;
}

bool Inside(const std::vector<Point>& poly, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point a = poly[i], b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

double DistanceToEdges(const std::vector<Point>& poly, double x, double y) {
    double best = 1e9;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point a = poly[j], b = poly[i];
        const double dx = b.x - a.x, dy = b.y - a.y;
        double t = ((x - a.x) * dx + (y - a.y) * dy) / (dx * dx + dy * dy);
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, std::hypot(x - (a.x + t * dx), y - (a.y + t * dy)));
    }
    return best;
}

// How far the centre of pixel (x, y) lies outside the polygon; negative inside.
double Outside(const std::vector<Point>& poly, int x, int y) {
    const double d = DistanceToEdges(poly, x + 0.5, y + 0.5);
    return Inside(poly, x + 0.5, y + 0.5) ? -d : d;
}

bool Shown(const Picture& mask, int x, int y) { return mask.Index(x, y) == 255; }

int ShownCount(const Picture& mask) {
    int n = 0;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) n += Shown(mask, x, y);
    return n;
}

struct Label {
    int id;
    const char* what;
};

const std::vector<Label>& Labels() {
    static const std::vector<Label> labels = {
        {kBmpLabelPencil, "Pencil"},         {kBmpLabelBrush, "Brush"},
        {kBmpLabelRuler, "Ruler"},           {kBmpLabelEraser, "Eraser"},
        {kBmpLabelDropper, "Dropper"},       {kBmpLabelJar, "Jar"},
        {kBmpLabelTemplates, "Templates"},   {kBmpLabelScissors, "Scissors"},
        {kBmpLabelSprayCan, "Spray Can"},    {kBmpLabelCleaner, "Cleaner"},
        {kBmpLabelPaintTube, "Paint tube"},  {kBmpLabelPaintCans, "Paint cans"},
        {kBmpLabelKeyboard, "Keyboard"},     {kBmpLabelRemote, "Remote"},
        {kBmpLabelMonitor, "Monitor"},       {kBmpLabelPrinter, "Printer"},
        {kBmpLabelToolBox, "Tool Box"},      {kBmpLabelToys, "Toys"},
        {kBmpLabelHammer, "Hammer"},         {kBmpLabelBall, "Ball"},
        {kBmpLabelCog, "Cog"},               {kBmpLabelWand, "Wand"},
        {kBmpLabelNeedle, "Needle"},         {kBmpLabelPaintballGun, "Paintball Gun"},
        {kBmpLabelSpyglass, "Spyglass"},     {kBmpLabelSpeaker, "Speaker"},
        {kBmpLabelPaintBlot, "Paint blot"},
    };
    return labels;
}

constexpr int kLabelWidth = 572, kLabelHeight = 22;
// Icon and name lie under the tools' tray; the right part of the strip stays bare.
constexpr int kLabelContentLeft = 185, kLabelContentRight = 470;

}  // namespace

// ---- Tools ---------------------------------------------------------------------------------------

TEST(ToolArt, EachToolHasA24BitPictureAndAn8BitMaskOfItsRectanglesSize) {
    for (const Tool& t : Tools()) {
        SCOPED_TRACE(t.name);
        ResourceData image = FindResource(ResourceKind::Bitmap, t.image);
        ResourceData mask = FindResource(ResourceKind::Bitmap, t.mask);
        ASSERT_TRUE(image);
        ASSERT_TRUE(mask);
        Picture p(image), m(mask);
        EXPECT_EQ(p.width, t.width);
        EXPECT_EQ(p.height, t.height);
        EXPECT_EQ(p.bits, 24);
        EXPECT_EQ(m.width, t.width);
        EXPECT_EQ(m.height, t.height);
        EXPECT_EQ(m.bits, 8);
        EXPECT_EQ(image.size, 40u + size_t(p.stride) * p.height);
        EXPECT_EQ(mask.size, 40u + 1024u + size_t(m.stride) * m.height);
    }
}

TEST(ToolArt, MasksArePureBlackAndWhiteAndMatchTheirPictures) {
    for (const Tool& t : Tools()) {
        SCOPED_TRACE(t.name);
        Picture p = Load(t.image), m = Load(t.mask);
        ASSERT_EQ(p.width, m.width);
        ASSERT_EQ(p.height, m.height);
        int whiteInside = 0;
        for (int y = 0; y < m.height; ++y) {
            for (int x = 0; x < m.width; ++x) {
                const int index = m.Index(x, y);
                ASSERT_TRUE(index == 0 || index == 255) << "grey mask pixel at " << x << "," << y;
                const Colour c = m.At(x, y);
                ASSERT_EQ(c, (index ? Colour{255, 255, 255} : Colour{0, 0, 0}));
                // Outside the shape the picture is white, so a copy without the mask shows no
                // stray colour; inside it no pure white pixel would vanish from a cut-out.
                if (index == 0) {
                    EXPECT_TRUE(p.At(x, y).IsWhite()) << "colour outside the mask at " << x << "," << y;
                } else {
                    whiteInside += p.At(x, y).IsWhite();
                }
            }
        }
        EXPECT_EQ(whiteInside, 0);
    }
}

TEST(ToolArt, EachToolIsADrawnShapeNeitherABoxNorADot) {
    for (const Tool& t : Tools()) {
        SCOPED_TRACE(t.name);
        Picture p = Load(t.image), m = Load(t.mask);
        const double share = double(ShownCount(m)) / (m.width * m.height);
        EXPECT_GE(share, t.minShare);
        EXPECT_LE(share, t.maxShare);

        // The shape spreads over its rectangle: shown pixels near every side.
        int left = m.width, right = -1, top = m.height, bottom = -1;
        std::set<int> colours;
        int dark = 0;
        for (int y = 0; y < m.height; ++y) {
            for (int x = 0; x < m.width; ++x) {
                if (!Shown(m, x, y)) continue;
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
                const Colour c = p.At(x, y);
                colours.insert(c.r << 16 | c.g << 8 | c.b);
                dark += c.IsDark();
            }
        }
        EXPECT_LE(left, 5);
        EXPECT_GE(right, m.width - 6);
        EXPECT_LE(top, 5);
        // The Cog's bottom rows lie under the label strip.
        EXPECT_GE(bottom, m.height - (t.image == kBmpCog ? 9 : 6));

        // Drawn, not filled: a dark outline and several colours.
        EXPECT_GE(colours.size(), 8u);
        EXPECT_GE(dark, ShownCount(m) / 8) << "needs its dark outline";
    }
}

// Where a tool's hit area is not its rectangle, the drawing follows the hit area: nothing but a
// little anti-aliased outline lies outside it, and most of it is covered.
TEST(ToolArt, ShapedToolsStayInsideAndFillTheirHitPolygons) {
    for (const Tool& t : Tools()) {
        if (t.polygon.empty()) continue;
        SCOPED_TRACE(t.name);
        const std::vector<Point> poly = LocalPolygon(t);
        Picture m = Load(t.mask);
        int shown = 0, farOutside = 0, insidePixels = 0, insideShown = 0;
        double worst = 0;
        for (int y = 0; y < m.height; ++y) {
            for (int x = 0; x < m.width; ++x) {
                const double out = Outside(poly, x, y);
                if (Shown(m, x, y)) {
                    ++shown;
                    worst = std::max(worst, out);
                    farOutside += out > 0.8;
                }
                if (out < -1.5) {
                    ++insidePixels;
                    insideShown += Shown(m, x, y);
                }
            }
        }
        ASSERT_GT(shown, 0);
        EXPECT_LE(farOutside, std::max(4, shown / 50)) << "pixels outside the hit area";
        EXPECT_LE(worst, 2.0) << "a pixel far outside the hit area";
        EXPECT_GE(double(insideShown) / insidePixels, 0.7) << "the hit area is mostly empty";
    }
}

TEST(ToolArt, PencilLiesAlongItsSlantedPolygon) {
    const Tool& pencil = Tools().front();
    ASSERT_EQ(pencil.image, kBmpPencil);
    const std::vector<Point> poly = LocalPolygon(pencil);
    Picture m = Load(kBmpPencilMask);
    // The point the shell tests: inside the rectangle but above the slanted polygon, (364, H-35).
    EXPECT_FALSE(Shown(m, 364 - pencil.left, pencil.topFromBottom - 35));
    int outside = 0;
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) outside += Shown(m, x, y) && Outside(poly, x, y) > 0.5;
    EXPECT_LE(outside, 6);
    // It rises to the right: the left end lies lower than the right end.
    auto middleRow = [&](int x) {
        int sum = 0, n = 0;
        for (int y = 0; y < m.height; ++y)
            if (Shown(m, x, y)) sum += y, ++n;
        return n ? double(sum) / n : -1.0;
    };
    EXPECT_GT(middleRow(4), middleRow(m.width - 6) + 3);
}

// The label strip covers the Cog's bottom three rows: nothing that matters may lie there.
TEST(ToolArt, CogKeepsClearOfTheLabelStrip) {
    Picture m = Load(kBmpCogMask);
    int hidden = 0, total = ShownCount(m);
    for (int y = m.height - 3; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) hidden += Shown(m, x, y);
    EXPECT_LE(hidden, total / 100);
}

// ---- Labels --------------------------------------------------------------------------------------

TEST(LabelArt, BlankStripIsOnePlainColumnAllAlong) {
    ResourceData d = FindResource(ResourceKind::Bitmap, kBmpLabelBlank);
    ASSERT_TRUE(d);
    Picture blank(d);
    ASSERT_EQ(blank.width, kLabelWidth);
    ASSERT_EQ(blank.height, kLabelHeight);
    ASSERT_EQ(blank.bits, 24);
    std::set<int> colours;
    for (int y = 0; y < kLabelHeight; ++y) {
        const Colour first = blank.At(0, y);
        colours.insert(first.r << 16 | first.g << 8 | first.b);
        for (int x = 1; x < kLabelWidth; ++x) {
            ASSERT_EQ(blank.At(x, y), first) << x << "," << y;
        }
    }
    // A strip with an edge, not a flat fill, and no white or black of a placeholder.
    EXPECT_GE(colours.size(), 2u);
    const Colour face = blank.At(0, kLabelHeight / 2);
    EXPECT_FALSE(face.IsWhite());
    EXPECT_FALSE(face.IsDark());
    EXPECT_GT(face.r, face.b) << "a warm strip";
}

TEST(LabelArt, EachLabelIsTheStripWithAPictureAndAName) {
    Picture blank = Load(kBmpLabelBlank);
    ASSERT_EQ(blank.width, kLabelWidth);
    std::set<std::string> seen;
    for (const Label& l : Labels()) {
        SCOPED_TRACE(l.what);
        ResourceData d = FindResource(ResourceKind::Bitmap, l.id);
        ASSERT_TRUE(d);
        Picture p(d);
        ASSERT_EQ(p.width, kLabelWidth);
        ASSERT_EQ(p.height, kLabelHeight);
        ASSERT_EQ(p.bits, 24);
        EXPECT_EQ(d.size, 40u + size_t(p.stride) * p.height);

        int changed = 0, dark = 0, light = 0, edgeRowsChanged = 0;
        int firstX = kLabelWidth, lastX = -1;
        for (int y = 0; y < kLabelHeight; ++y) {
            for (int x = 0; x < kLabelWidth; ++x) {
                const Colour c = p.At(x, y);
                if (c == blank.At(x, y)) continue;
                ++changed;
                firstX = std::min(firstX, x), lastX = std::max(lastX, x);
                if (y == 0 || y == kLabelHeight - 1) ++edgeRowsChanged;
                dark += c.IsDark();
                light += c.r + c.g + c.b > 3 * 235;
            }
        }
        // Drawn on the very strip: its top and bottom rows and its right part untouched.
        EXPECT_LE(edgeRowsChanged, 2);
        EXPECT_GE(firstX, kLabelContentLeft);
        EXPECT_LT(lastX, kLabelContentRight);
        // Something real in the middle: a picture and a name with dark outlines and light letters.
        EXPECT_GE(changed, 250);
        EXPECT_GE(dark, 60);
        EXPECT_GE(light, 30);
        // The picture comes first, at the same place on every label.
        EXPECT_LE(firstX, kLabelContentLeft + 12);

        std::string bytes(reinterpret_cast<const char*>(d.bytes), d.size);
        EXPECT_TRUE(seen.insert(bytes).second) << "the same as another label";
    }
}
