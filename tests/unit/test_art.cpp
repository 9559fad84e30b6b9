// The compiled-in pictures, read back by a reader written apart from the resource compiler's
// encoder, against the program that draws them: the room at 640 x 480 on the headless desktop
// gives each picture's place, the tools' hit areas and the cans' fill and label points. One test
// per property over the pictures (sizes, pure masks that match their pictures, drawn shapes that
// follow the hit areas), then what the program relies on: closed paint surfaces and can labels it
// floods, lit pictures that show the room as it is drawn, the table's front under the labels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "resources/resource_ids.h"
#include "resources/resource_table.h"
#include "resources/resources.h"
#include "tests/support/room_fixture.h"

namespace {

int U16(const uint8_t* p) { return p[0] | (p[1] << 8); }
int32_t I32(const uint8_t* p) {
    return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24));
}
bool Dark(Rgb c) { return c.r + c.g + c.b < 3 * 80; }
int Distance(Rgb a, Rgb b) { return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}); }
bool Holds(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
const Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0};
// The hotspots whose lit pictures are drawn (the rock, the books and the magic hat never light up).
const int kLitSpots[] = {scene::kToolBox, scene::kPrinter, scene::kToys,      scene::kKeyboard,
                         scene::kCleaner, scene::kRemote,  scene::kPaintTube};
using Points = std::vector<std::pair<int, int>>;

// A bitmap resource, read as a BMP reader would (rows bottom-up, 8-bit through the colour table).
struct Picture {
    ResourceData data;
    int width = 0, height = 0, bits = 0, stride = 0;
    const uint8_t *table = nullptr, *rows = nullptr;

    explicit Picture(int id) : Picture(FindResource(ResourceKind::Bitmap, id)) {}
    explicit Picture(ResourceData bytes) : data(bytes) {
        if (!data || data.size < 40) return;
        width = I32(data.bytes + 4), height = I32(data.bytes + 8), bits = U16(data.bytes + 14);
        table = data.bytes + 40;
        rows = table + (bits == 8 ? 1024 : 0);
        stride = ((width * bits + 31) / 32) * 4;
    }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    int Index(int x, int y) const { return rows[size_t(height - 1 - y) * stride + x]; }
    Rgb At(int x, int y) const {
        const uint8_t* p = bits == 8 ? table + Index(x, y) * 4 : rows + size_t(height - 1 - y) * stride + x * 3;
        return {p[2], p[1], p[0]};
    }
    bool White(int x, int y) const { return At(x, y) == kWhite; }
    template <class F> void Each(F f) const {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) f(x, y);
    }
};

// The pixels connected to (x, y) that have exactly its colour; 4- or 8-connected.
Points Flood(const Picture& p, int x, int y, bool eight) {
    std::set<std::pair<int, int>> seen{{x, y}};
    Points todo{{x, y}}, region;
    while (!todo.empty()) {
        auto [cx, cy] = todo.back();
        todo.pop_back();
        region.push_back({cx, cy});
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = cx + dx, ny = cy + dy;
                if ((!eight && dx && dy) || !p.Inside(nx, ny) || !(p.At(nx, ny) == p.At(x, y))) continue;
                if (seen.insert({nx, ny}).second) todo.push_back({nx, ny});
            }
    }
    return region;
}

// A mask is pure: index 0 or 255 (for readers that skip the colour table), black or white.
void ExpectPureMask(const Picture& m) {
    ASSERT_EQ(m.bits, 8);
    m.Each([&](int x, int y) { ASSERT_EQ(m.At(x, y), m.Index(x, y) == 255 ? kWhite : kBlack) << x << "," << y; });
}

// A can's top in the can-tops picture, which the program draws at the cans' area.
Rect TopInPicture(const scene::Can& can) {
    const Rect a = scene::TheRoom().cansArea;
    return {can.top.left - a.left, can.top.top - a.top, can.top.right - a.left, can.top.bottom - a.top};
}

// A picture, its mask (0: none), and the size it is drawn at. A cut-out is an object drawn through
// its mask, without pure white inside its shape either; a crisp one has at most `colours` colours.
struct Art { int id, mask; Rect place{}; bool cutOut = false; int colours = 0; };

// The room at 640 x 480 as the program lays it out and draws it.
class ArtTest : public RoomTest {
protected:
    void SetUp() override {
        RoomTest::SetUp();
        start(640, 480);
    }
    // Every picture the room draws in a place the program gives it, and the other masked pictures
    // (no place: any size).
    static std::vector<Art> Pictures() {
        const scene::Room& r = scene::TheRoom();
        std::vector<Art> art{
            {kBmpShelf, kBmpShelfMask, r.shelfStrip}, {kBmpTable, kBmpTableMask, r.table},
            {kBmpPaintBlot, kBmpPaintBlotMask, r.paintBlot, true, 3}, {kBmpCanTops, 0, r.cansArea},
            {kBmpMonitorBlank, 0, r.monitor}, {kBmpLabelBlank, 0, r.labelStrip}, {kBmpSpeakerOn, 0, r.speaker},
            {kBmpSpeakerOff, 0, r.speaker}, {kBmpSpyglass, 0, r.spyglass}, {kBmpSpyglassZoomed, 0, r.spyglass},
            {kBmpToolMarker, kBmpToolMarkerMask}, {kBmpTrayMarker, kBmpTrayMarkerMask},
            {kBmpColourPalette, kBmpColourPaletteMask},
        };
        for (int k = 0; k < 3; ++k) art.push_back({kBmpSplatFirst + k, kBmpSplatMaskFirst + k, {}, true, 1});
        for (const scene::SceneObject& o : r.objects)
            if (o.tray == 0 || o.tray == 4) art.push_back({o.imageId, o.maskId, o.rect, true});  // the trays shown
        for (int k : kLitSpots) art.push_back({r.hotspots[k].litId, 0, r.hotspots[k].lit});
        return art;
    }
};

// Unknown ids, wrong kinds and icon sizes past the last are empty; the program icon's first size is
// what a plain lookup gives.
// Each cursor is 32 x 32 with its hot spot on the drawing.
TEST(Resources, LookupAndCursors) {
    const std::pair<ResourceKind, int> missing[] = {
        {ResourceKind::Bitmap, 99999},         {ResourceKind::Bitmap, -1},      {ResourceKind::Cursor, 199},
        {ResourceKind::Cursor, 229},           {ResourceKind::Icon, 376},       {ResourceKind::Icon, kCurArrow},
        {ResourceKind::Cursor, kBmpWallpaper}, {ResourceKind::Wave, kCurArrow},
    };
    for (auto [kind, id] : missing) EXPECT_FALSE(FindResource(kind, id) || FindResource(kind, id).size) << id;
    EXPECT_FALSE(FindIcon(kIconProgram, -1) || FindIcon(kIconProgram, 1000) || FindIcon(kCurArrow, 0));
    EXPECT_EQ(FindResource(ResourceKind::Icon, kIconProgram).bytes, FindIcon(kIconProgram, 0).bytes);
    std::vector<int> cursors{kCurSpare};
    for (int id = kCurDropper; id <= kCurStampBook; ++id) cursors.push_back(id);
    for (int id : cursors) {
        const ResourceData d = FindResource(ResourceKind::Cursor, id);
        ASSERT_EQ(d.size, 8u + 32 * 32 * 4) << id;
        const int hotX = U16(d.bytes + 4), hotY = U16(d.bytes + 6);
        ASSERT_TRUE(U16(d.bytes) == 32 && U16(d.bytes + 2) == 32 && hotX < 32 && hotY < 32) << id;
        EXPECT_GT(d.bytes[8 + (hotY * 32 + hotX) * 4 + 3], 0) << id;
    }
    // Handing the pages back to the system must not change a byte.
    const ResourceData wallpaper = FindResource(ResourceKind::Bitmap, kBmpWallpaper);
    const std::vector<uint8_t> before(wallpaper.bytes, wallpaper.bytes + wallpaper.size);
    ReleaseResourcePages();
    EXPECT_TRUE(std::equal(before.begin(), before.end(), FindResource(ResourceKind::Bitmap, kBmpWallpaper).bytes));
}

// ---- One property over the pictures ---------------------------------------------------------------

TEST_F(ArtTest, EachPictureHasTheSizeOfItsPlaceAndMasksArePureAndMatchTheirPictures) {
    for (const Art& a : Pictures()) {
        SCOPED_TRACE(a.id);
        const Picture p(a.id);
        ASSERT_TRUE(p.data) << "missing";
        const bool sized = a.place.isEmpty() || (p.width == a.place.width() && p.height == a.place.height());
        EXPECT_TRUE(p.bits == 24 && sized) << p.width << " x " << p.height;
        if (!a.mask) continue;
        const Picture m(a.mask);
        ASSERT_TRUE(m.width == p.width && m.height == p.height);
        ExpectPureMask(m);
        // Outside the shape the picture is white (a copy without the mask shows no stray colour);
        // inside a cut-out, no pure white pixel would vanish.
        int shown = 0, wrong = 0;
        p.Each([&](int x, int y) {
            shown += m.White(x, y);
            wrong += m.White(x, y) ? a.cutOut && p.White(x, y) : !p.White(x, y);
        });
        EXPECT_EQ(wrong, 0);
        EXPECT_TRUE(shown > 0 && shown < m.width * m.height) << shown;
    }
    for (int k = 0; k < 8; ++k) {
        const Picture m(scene::TheRoom().cans[k].mask);
        EXPECT_TRUE(m.width == scene::TheRoom().cansArea.width() && m.height == scene::TheRoom().cansArea.height());
        ExpectPureMask(m);
    }
}

// A cut-out is a drawn shape, neither a box nor a dot nor a flat fill: its mask covers a fair share
// of the rectangle and reaches near each of its sides, and it has a dark outline. The label strip
// covers the Cog's bottom three rows: nothing of it may lie there.
TEST_F(ArtTest, EachCutOutIsADrawnShapeThatFillsItsRectangle) {
    for (const Art& a : Pictures()) {
        if (!a.cutOut) continue;
        SCOPED_TRACE(a.id);
        const Picture p(a.id), m(a.mask);
        int shown = 0, dark = 0, left = m.width, right = -1, top = m.height, bottom = -1;
        std::set<int> colours;
        m.Each([&](int x, int y) {
            if (!m.White(x, y)) return;
            const Rgb c = p.At(x, y);
            ++shown, dark += Dark(c), colours.insert(c.r << 16 | c.g << 8 | c.b);
            left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        });
        const double share = double(shown) / (m.width * m.height);
        const bool cog = a.id == kBmpCog;
        EXPECT_TRUE(share > 0.15 && share < 0.97) << share;
        EXPECT_TRUE(left <= 5 && right >= m.width - 6 && top <= 5) << left << " " << right << " " << top;
        EXPECT_TRUE(bottom >= m.height - (cog ? 9 : 6) && (!cog || bottom < m.height - 3)) << bottom;
        EXPECT_GE(dark, shown / 8) << "needs a dark outline";
        EXPECT_TRUE(!a.colours || colours.size() <= size_t(a.colours)) << "crisp: no anti-aliased shades";
    }
}

// Where a tool's hit area is not its rectangle, the drawing follows it: nothing but a little
// anti-aliased outline lies outside it (a pixel or two), and most of the area is covered.
TEST_F(ArtTest, ToolsStayInsideAndFillTheirHitAreas) {
    for (const scene::SceneObject& o : scene::TheRoom().objects) {
        if (o.tray != 0 && o.tray != 4) continue;
        SCOPED_TRACE(o.imageId);
        const Picture m(o.maskId);
        // Whether the hit area holds a point within `reach` of pixel (x, y), or all of them.
        auto near = [&](int x, int y, int reach, bool all) {
            int in = 0, n = 0;
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx)
                    if (dx * dx + dy * dy <= reach * reach)
                        ++n, in += tb_PtInRegion(o.rect.left + x + dx, o.rect.top + y + dy, o.region);
            return all ? in == n : in > 0;
        };
        int shown = 0, outside = 0, far = 0, inner = 0, innerShown = 0, rect = 0;
        m.Each([&](int x, int y) {
            rect += near(x, y, 0, true);
            if (m.White(x, y)) ++shown, outside += !near(x, y, 1, false), far += !near(x, y, 2, false);
            if (near(x, y, 2, true)) ++inner, innerShown += m.White(x, y);
        });
        EXPECT_EQ(far, 0) << "a pixel far outside the hit area";
        EXPECT_LE(outside, std::max(4, shown / 50)) << "pixels outside the hit area";
        const bool shaped = rect < m.width * m.height;
        EXPECT_TRUE(!shaped || innerShown >= inner * 7 / 10) << "the hit area is mostly empty";
    }
}

// ---- Paint surfaces and cans --------------------------------------------------------------------

// The program floods the paint blot's surface and each can's top from their fill points: pure
// black, closed even for a fill that steps diagonally, inside the can's own top, and holding every
// black pixel there is (a stray black pixel would never take a colour).
TEST_F(ArtTest, PaintSurfacesAreClosedAroundTheirFillPointsAndNoBlackIsLeftOver) {
    std::vector<std::tuple<int, Point, Rect>> surfaces{{kBmpPaintBlot, {21, 8}, {1, 1, 43, 16}}};
    for (const scene::Can& c : scene::TheRoom().cans) surfaces.push_back({kBmpCanTops, c.fill, TopInPicture(c)});
    std::map<int, std::set<std::pair<int, int>>> claimed;
    for (auto [id, fill, within] : surfaces) {
        const Picture p(id);
        ASSERT_EQ(p.At(fill.x, fill.y), kBlack) << fill.x;
        const Points surface = Flood(p, fill.x, fill.y, /*eight=*/true);
        EXPECT_GE(surface.size(), 40u) << "big enough to show the colour";
        for (auto [x, y] : surface)
            EXPECT_TRUE(Holds(within, x, y) && claimed[id].insert({x, y}).second) << "leaks out at " << x << "," << y;
    }
    for (auto& [id, mine] : claimed) {
        const Picture p(id);
        p.Each([&](int x, int y) { EXPECT_TRUE(!(p.At(x, y) == kBlack) || mine.count({x, y})) << x << "," << y; });
    }
}

// Each can's mask shows its own top whole (paint surface and most of its rectangle), and nothing
// of another top or of the blank paper around the tops.
TEST_F(ArtTest, EachCanMaskShowsItsOwnTopOnly) {
    const Picture tops(kBmpCanTops);
    std::vector<int> owner(size_t(tops.width * tops.height), -1);
    for (int k = 0; k < 8; ++k) {
        const scene::Can& can = scene::TheRoom().cans[k];
        const Picture mask(can.mask);
        const Rect top = TopInPicture(can);
        int white = 0;
        mask.Each([&](int x, int y) {
            if (!mask.White(x, y)) return;
            ++white;
            int& own = owner[y * tops.width + x];
            EXPECT_TRUE(Holds(top, x, y) && own == -1 && !tops.White(x, y)) << k << ": " << x << "," << y;
            own = k;
        });
        for (auto [x, y] : Flood(tops, can.fill.x, can.fill.y, false)) EXPECT_TRUE(mask.White(x, y)) << k;
        EXPECT_GT(white, top.width() * top.height() * 6 / 10) << k;
    }
}

// The program darkens a front can's label by flooding its colour at the label point, so the label
// must be one exact colour ringed by dark outlines: a soft edge would keep the old colour. (That
// the recolouring stays on its can: the scene tests.)
TEST_F(ArtTest, CanLabelsAreSingleColourSurfacesRingedByDarkOutlines) {
    const Picture table(kBmpTable);
    for (const scene::Can& can : scene::TheRoom().cans) {
        if (can.labelPoint.x < 0) continue;
        const Points label = Flood(table, can.labelPoint.x, can.labelPoint.y - scene::TheRoom().table.top, true);
        EXPECT_GE(label.size(), 60u) << can.labelPoint.x;
        const std::set<std::pair<int, int>> inside(label.begin(), label.end());
        for (auto [x, y] : label)
            for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
                ASSERT_TRUE(table.Inside(nx, ny)) << "the label reaches the table's edge";
                const Rgb c = table.At(nx, ny);
                EXPECT_TRUE(inside.count({nx, ny}) || c.r + c.g + c.b < 330) << "soft edge at " << nx << "," << ny;
            }
    }
}

// ---- The room -----------------------------------------------------------------------------------

// The labels are drawn over the table's front (rows 74 to 95), and a tool chosen brings back the
// empty table there from the tray's background: the front must be one column all along, and the
// blank label the very same strip.
TEST_F(ArtTest, TableFrontUnderTheLabelsIsTheBlankLabelAllAlong) {
    const Picture table(kBmpTable), blank(kBmpLabelBlank);
    for (int x = 0; x < 636; ++x)
        for (int y = 74; y < 96; ++y) {
            ASSERT_EQ(table.At(x, y), table.At(0, y)) << x << "," << y;
            ASSERT_TRUE(x >= blank.width || blank.At(x, y - 74) == table.At(0, y)) << x << "," << y;
        }
}

// Lit pictures are copied as plain rectangles over the room as the program draws it. Away from the
// object (beyond its glow) a lit picture is the room itself, on the object it is lit, and it
// matches the room best where it is drawn, not a pixel or two off. The shelf and the table are
// drawn all over there (a lit rectangle copied over the wall would leave it showing when unlit).
TEST_F(ArtTest, LitPicturesShowTheirPlaceOfTheRoomWithOnlyTheirObjectLit) {
    const Picture shelf(kBmpShelfMask), table(kBmpTableMask);
    auto covered = [&](int x, int y) { return (x < 147 && shelf.White(x, y)) || (y >= 384 && table.White(x, y - 384)); };
    for (int k : kLitSpots) {
        const scene::Hotspot& spot = scene::TheRoom().hotspots[k];
        SCOPED_TRACE(spot.litId);
        const Picture p(spot.litId);
        const Rect glow{spot.pointer.left - 10, spot.pointer.top - 10, spot.pointer.right + 10, spot.pointer.bottom + 10};
        int open = 0, away = 0, same = 0, onObject = 0, changed = 0;
        p.Each([&](int x, int y) {
            const int wx = spot.lit.left + x, wy = spot.lit.top + y, d = Distance(p.At(x, y), shown({wx, wy}));
            open += !covered(wx, wy);
            if (!Holds(glow, wx, wy)) ++away, same += d <= 8;
            if (Holds(spot.pointer, wx, wy)) ++onObject, changed += d > 8;
        });
        EXPECT_EQ(open, 0);
        EXPECT_TRUE(away < 40 || same >= away * 9 / 10) << same << " of " << away;
        EXPECT_GE(changed, onObject / 10) << "the object is not lit";
        auto mismatch = [&](int dx, int dy) {
            long total = 0, n = 0;
            for (int y = 2; y < p.height - 2; ++y)
                for (int x = 2; x < p.width - 2; ++x) {
                    const int wx = spot.lit.left + x + dx, wy = spot.lit.top + y + dy;
                    if (wx >= 0 && wy >= 0 && wx < 640 && wy < 480) total += Distance(p.At(x, y), shown({wx, wy})), ++n;
                }
            return double(total) / std::max(n, 1L);
        };
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                EXPECT_TRUE((!dx && !dy) || mismatch(0, 0) < mismatch(dx, dy)) << "shifted by " << dx << "," << dy;
    }
}

// At 640 x 480 the table (from y 384) stands in front of the bottom-right corner (at (620, 368)):
// the corner's star was moved onto the post so that it clears the table rather than poke out from
// behind its rounded end.
TEST(Room, TableNeverHalfCoversTheCornerStar) {
    const Picture corner(kBmpFrameCornerBottomRight), table(kBmpTableMask);
    int shown = 0, hidden = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 5; x < 20; ++x) {  // right of the post's gold lip: only the star is yellow
            const Rgb c = corner.At(x, y);
            if (c.r >= 200 && c.g >= 150 && c.b <= 120) (y >= 16 && table.White(620 + x, y - 16) ? hidden : shown)++;
        }
    EXPECT_GE(shown, 10);
    EXPECT_EQ(hidden, 0);
}

// Each label used is the blank strip with a picture and a name drawn on it under the tools' tray:
// the strip's top and bottom rows and its right part untouched, the picture first at the same
// place on every label, and no two labels alike.
TEST(Labels, EachIsTheStripWithAPictureAndAName) {
    const Picture blank(kBmpLabelBlank);
    std::set<std::string> seen;
    for (int id = kBmpLabelPencil; id <= kBmpLabelPaintBlot; ++id) {
        if (id == kBmpLabelMagicHat || id == kBmpLabelRock || id == kBmpLabelBooks ||
            (id >= kBmpLabelPocketKnife && id <= kBmpLabelStampBook3))
            continue;  // never drawn
        const Picture p(id);
        ASSERT_TRUE(p.width == blank.width && p.height == 22 && p.bits == 24) << id;
        int changed = 0, edgeRows = 0, firstX = p.width, lastX = -1;
        p.Each([&](int x, int y) {
            if (p.At(x, y) == blank.At(x, y)) return;
            ++changed, edgeRows += y == 0 || y == 21, firstX = std::min(firstX, x), lastX = std::max(lastX, x);
        });
        EXPECT_TRUE(changed >= 250 && edgeRows <= 2 && firstX >= 185 && firstX <= 197 && lastX < 470)
            << id << ": " << changed << " " << edgeRows << " " << firstX << " " << lastX;
        EXPECT_TRUE(seen.insert(std::string(reinterpret_cast<const char*>(p.data.bytes), p.data.size)).second) << id;
    }
}

// A language with labels of its own (the first in the build's table: any whose po file names a
// tool) changes them only right of the tool's picture; a language without, or none, keeps English.
TEST(Labels, ALanguageChangesOnlyTheNames) {
    std::map<int, std::vector<uint8_t>> english;
    for (int id = kBmpLabelBlank; id <= kBmpLabelPaintBlot; ++id)
        if (const ResourceData d = FindResource(ResourceKind::Bitmap, id)) english[id].assign(d.bytes, d.bytes + d.size);
    if (kTranslatedTableSize == 0) GTEST_SKIP() << "no po file names a tool";
    const std::string language = kTranslatedTable[0].language;
    struct English { ~English() { ChooseResourceLanguage({}); } } restore;  // for the tests after
    const struct { std::vector<std::string> wanted; std::string chosen; } rows[] = {
        {{"xx"}, ""}, {{"xx_YY", "xx", language}, language}, {{}, ""}, {{language}, language}};
    for (const auto& row : rows) {
        EXPECT_EQ(ChooseResourceLanguage(row.wanted), row.chosen);
        int named = 0;
        for (const auto& [id, bytes] : english) {
            const Picture now(id), before(ResourceData{bytes.data(), bytes.size()});
            if (std::equal(bytes.begin(), bytes.end(), now.data.bytes, now.data.bytes + now.data.size)) continue;
            ++named;
            ASSERT_TRUE(!row.chosen.empty() && now.width == before.width && now.height == before.height) << id;
            int left = 0;
            now.Each([&](int x, int y) { left += x < 214 && !(now.At(x, y) == before.At(x, y)); });
            EXPECT_EQ(left, 0) << row.chosen << " " << id;
        }
        EXPECT_EQ(named > 0, !row.chosen.empty()) << row.chosen;
    }
}

}  // namespace
