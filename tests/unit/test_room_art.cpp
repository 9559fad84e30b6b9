// The room's pictures: shelf, table, frame pieces, lit pictures, can tops and masks, markers and
// icons. Each test checks a property the program relies on when it builds the room: sizes and
// depths, pure masks, closed paint surfaces and can labels, opaque shelf and table under every lit
// picture, lit pictures that line up with the room, frame pieces that tile without a seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "resources/resource_ids.h"
#include "resources/resources.h"

namespace {

int32_t I32(const uint8_t* p) {
    return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24));
}

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
    int Sum() const { return r + g + b; }
};

int Distance(Rgb a, Rgb b) { return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}); }

const Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0};

// A bitmap resource, read as a BMP reader would (rows bottom-up, 8-bit through the colour table).
struct Picture {
    int width = 0, height = 0, bits = 0;
    const uint8_t* table = nullptr;
    const uint8_t* rows = nullptr;
    int stride = 0;

    explicit Picture(int id) {
        ResourceData d = FindResource(ResourceKind::Bitmap, id);
        if (!d) return;
        width = I32(d.bytes + 4);
        height = I32(d.bytes + 8);
        bits = d.bytes[14] | (d.bytes[15] << 8);
        table = d.bytes + 40;
        rows = table + (bits == 8 ? 1024 : 0);
        stride = ((width * bits + 31) / 32) * 4;
    }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    const uint8_t* Pixel(int x, int y) const {
        return rows + static_cast<size_t>(height - 1 - y) * stride + x * (bits / 8);
    }
    int Index(int x, int y) const { return *Pixel(x, y); }
    Rgb At(int x, int y) const {
        const uint8_t* p = bits == 8 ? table + Index(x, y) * 4 : Pixel(x, y);
        return {p[2], p[1], p[0]};
    }
    bool White(int x, int y) const { return At(x, y) == kWhite; }
};

struct Rect {
    int left, top, right, bottom;  // right and bottom exclusive
    bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Rect Grown(int n) const { return {left - n, top - n, right + n, bottom + n}; }
};

// The pixels connected to (x, y) that have exactly its colour; 4- or 8-connected.
std::vector<std::pair<int, int>> Flood(const Picture& p, int x, int y, bool eight) {
    const Rgb colour = p.At(x, y);
    std::vector<char> seen(static_cast<size_t>(p.width) * p.height, 0);
    std::vector<std::pair<int, int>> todo{{x, y}}, region;
    seen[y * p.width + x] = 1;
    while (!todo.empty()) {
        auto [cx, cy] = todo.back();
        todo.pop_back();
        region.push_back({cx, cy});
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if ((dx == 0 && dy == 0) || (!eight && dx != 0 && dy != 0)) continue;
                int nx = cx + dx, ny = cy + dy;
                if (!p.Inside(nx, ny) || seen[ny * p.width + nx] || !(p.At(nx, ny) == colour)) continue;
                seen[ny * p.width + nx] = 1;
                todo.push_back({nx, ny});
            }
        }
    }
    return region;
}

bool TouchesBorder(const Picture& p, const std::vector<std::pair<int, int>>& region) {
    return std::any_of(region.begin(), region.end(), [&](auto q) {
        return q.first == 0 || q.second == 0 || q.first == p.width - 1 || q.second == p.height - 1;
    });
}

// The room as DrawScene leaves it in a 640 x 480 window where the frame and wallpaper would be:
// the shelf through its mask at (0, 0), then the table through its mask at (0, 384).
struct Room {
    static constexpr int W = 640, H = 480;
    std::vector<Rgb> rgb = std::vector<Rgb>(W * H);
    std::vector<char> covered = std::vector<char>(W * H, 0);

    Room() {
        Put(Picture(kBmpShelf), Picture(kBmpShelfMask), 0, 0);
        Put(Picture(kBmpTable), Picture(kBmpTableMask), 0, H - 96);
    }
    void Put(const Picture& p, const Picture& m, int left, int top) {
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                if (!m.White(x, y)) continue;
                rgb[(top + y) * W + left + x] = p.At(x, y);
                covered[(top + y) * W + left + x] = 1;
            }
        }
    }
    Rgb At(int x, int y) const { return rgb[y * W + x]; }
    bool Covered(int x, int y) const { return covered[y * W + x]; }
};

const Room& TheRoom() {
    static const Room room;
    return room;
}

// Every lit picture: its id, where it is drawn and the hotspot's pointer rectangle, both in the
// 640 x 480 window (shelf y = window y, table y + 384).
struct Lit {
    int id;
    Rect drawn, pointer;
};
const Lit kLit[] = {
    {kBmpLitToolBox, {0, 132, 111, 257}, {0, 172, 51, 245}},
    {kBmpLitPrinter, {0, 246, 111, 337}, {0, 285, 48, 325}},
    {kBmpLitToys, {0, 246, 111, 337}, {50, 261, 104, 326}},
    {kBmpLitKeyboard, {5, 420, 138, 467}, {21, 426, 123, 456}},
    {kBmpLitCleaner, {124, 341, 147, 433}, {127, 344, 146, 418}},
    {kBmpLitRemote, {131, 420, 181, 463}, {137, 425, 176, 456}},
    {kBmpLitPaintTube, {483, 439, 538, 460}, {483, 439, 538, 460}},
};

// The eight cans: fill point and top rectangle in the can-tops picture, label point on the table.
struct Can {
    int fillX, fillY;
    Rect top;
    int labelX, labelY;  // -1: no label
};
const Can kCans[8] = {
    {16, 6, {1, 2, 36, 12}, 486, 13},    {50, 3, {37, 0, 72, 9}, -1, -1},
    {92, 8, {77, 3, 113, 12}, -1, -1},   {54, 12, {37, 9, 75, 17}, -1, -1},
    {97, 15, {79, 12, 117, 20}, -1, -1}, {35, 20, {16, 16, 54, 25}, 511, 27},
    {75, 23, {58, 20, 97, 30}, 551, 32}, {118, 24, {100, 20, 141, 30}, 597, 33},
};

}  // namespace

// ------------------------------------------------------------------------------------------------

TEST(RoomPictures, EveryPictureHasItsSizeAndDepth) {
    struct Want {
        int id, width, height, bits;
    };
    const Want wants[] = {
        {kBmpShelf, 147, 480, 24},  {kBmpShelfMask, 147, 480, 8},  {kBmpTable, 640, 96, 24},
        {kBmpTableMask, 640, 96, 8},
        {kBmpFrameLeftPost, 17, 399, 24}, {kBmpFrameLeftPostRepeat, 17, 385, 24},
        {kBmpFrameBottomRail, 509, 15, 24}, {kBmpFrameBottomRailRepeat, 492, 15, 24},
        {kBmpFrameTopRail, 500, 16, 24}, {kBmpFrameRightPost, 19, 389, 24},
        {kBmpFrameCornerTopLeft, 32, 15, 24}, {kBmpFrameCornerTopRight, 32, 16, 24},
        {kBmpFrameCornerBottomRight, 20, 32, 24},
        {kBmpLitToolBox, 111, 125, 24}, {kBmpLitPrinter, 111, 91, 24}, {kBmpLitToys, 111, 91, 24},
        {kBmpLitKeyboard, 133, 47, 24}, {kBmpLitCleaner, 23, 92, 24}, {kBmpLitRemote, 50, 43, 24},
        {kBmpLitPaintTube, 55, 21, 24},
        {kBmpCanTops, 142, 39, 24},
        {kBmpMonitorBlank, 94, 82, 24},
        {kBmpToolMarker, 20, 20, 24}, {kBmpToolMarkerMask, 20, 20, 8},
        {kBmpTrayMarker, 24, 20, 24}, {kBmpTrayMarkerMask, 24, 20, 8},
        {kBmpSpeakerOn, 16, 21, 24}, {kBmpSpeakerOff, 16, 21, 24},
        {kBmpSpyglass, 22, 21, 24}, {kBmpSpyglassZoomed, 22, 21, 24},
    };
    for (const Want& w : wants) {
        SCOPED_TRACE(w.id);
        Picture p(w.id);
        ASSERT_NE(p.rows, nullptr) << "missing";
        EXPECT_EQ(p.width, w.width);
        EXPECT_EQ(p.height, w.height);
        EXPECT_EQ(p.bits, w.bits);
    }
    for (int k = 0; k < 8; ++k) {
        Picture m(kBmpCanMaskFirst + k);
        ASSERT_NE(m.rows, nullptr) << kBmpCanMaskFirst + k;
        EXPECT_EQ(m.width, 142);
        EXPECT_EQ(m.height, 39);
        EXPECT_EQ(m.bits, 8);
    }
}

TEST(RoomPictures, MasksArePureBlackAndWhiteAndCoverTheirPictures) {
    std::vector<int> masks{kBmpShelfMask, kBmpTableMask, kBmpToolMarkerMask, kBmpTrayMarkerMask};
    for (int k = 0; k < 8; ++k) masks.push_back(kBmpCanMaskFirst + k);
    for (int id : masks) {
        SCOPED_TRACE(id);
        Picture m(id);
        int white = 0;
        for (int y = 0; y < m.height; ++y) {
            for (int x = 0; x < m.width; ++x) {
                Rgb c = m.At(x, y);
                ASSERT_TRUE(c == kWhite || c == kBlack) << x << "," << y;
                ASSERT_EQ(m.Index(x, y), c == kWhite ? 255 : 0) << x << "," << y;
                white += c == kWhite;
            }
        }
        EXPECT_GT(white, 0);
        EXPECT_LT(white, m.width * m.height);
    }
    // Drawn through its mask: where the mask is black the picture is plain white (no fringe of
    // half-covered colours), and nothing coloured is left outside the mask.
    const std::pair<int, int> pairs[] = {{kBmpShelf, kBmpShelfMask}, {kBmpTable, kBmpTableMask},
                                         {kBmpToolMarker, kBmpToolMarkerMask},
                                         {kBmpTrayMarker, kBmpTrayMarkerMask}};
    for (auto [pic, mask] : pairs) {
        SCOPED_TRACE(pic);
        Picture p(pic), m(mask);
        ASSERT_EQ(p.width, m.width);
        ASSERT_EQ(p.height, m.height);
        int stray = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) stray += !m.White(x, y) && !p.White(x, y);
        EXPECT_EQ(stray, 0);
    }
}

// The shelf is anchored bottom-left: open above the things on its top and beside its upper part,
// where the wallpaper and the frame's left post show; the table is open along its top rows right of
// the shelf, where the frame's bottom rail shows, and right of its finished end.
TEST(RoomPictures, ShelfAndTableLeaveTheWallAndFrameShowingWhereTheyShould) {
    Picture shelf(kBmpShelfMask), table(kBmpTableMask);
    EXPECT_FALSE(shelf.White(140, 5));
    EXPECT_FALSE(shelf.White(100, 10));
    EXPECT_FALSE(shelf.White(138, 200));  // beside the upper shelves: the frame's post
    EXPECT_TRUE(shelf.White(140, 379));   // the corner by the cleaner reaches the frame
    EXPECT_TRUE(shelf.White(2, 479));
    for (int x = 150; x < 470; x += 10) EXPECT_FALSE(table.White(x, 2)) << x;
    for (int y = 6; y < 96; ++y) EXPECT_TRUE(table.White(300, y)) << y;
    for (int y = 20; y < 96; ++y) EXPECT_FALSE(table.White(639, y)) << "the table's end, " << y;
    for (int y = 20; y < 96; ++y) EXPECT_TRUE(table.White(634, y)) << y;
}

// The labels are drawn over the table's front (rows 74 to 95), and a tool chosen brings back the
// empty table there from the tray's background: the front must be one column all along, the very
// colours the blank label uses.
TEST(RoomPictures, TableFrontUnderTheLabelsIsOneColumnAllAlong) {
    Picture table(kBmpTable), blank(kBmpLabelBlank);
    for (int x = 1; x < 636; ++x)
        for (int y = 74; y < 96; ++y) ASSERT_EQ(table.At(x, y), table.At(0, y)) << x << "," << y;
    EXPECT_EQ(table.At(0, 74), (Rgb{0xff, 0xd4, 0x66}));
    EXPECT_EQ(table.At(0, 80), (Rgb{0xf6, 0xb7, 0x3c}));
    EXPECT_EQ(table.At(0, 95), (Rgb{0xe2, 0xa0, 0x2e}));
    if (blank.rows) {
        for (int y = 0; y < 22; ++y) EXPECT_EQ(blank.At(0, y), table.At(0, 74 + y)) << y;
    }
}

// ------------------------------------------------------------------------------------------------

TEST(PaintCans, EachTopHasAClosedPureBlackSurfaceAroundItsFillPoint) {
    Picture tops(kBmpCanTops);
    ASSERT_EQ(tops.bits, 24);
    std::vector<char> claimed(142 * 39, 0);
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        const Can& can = kCans[k];
        ASSERT_EQ(tops.At(can.fillX, can.fillY), kBlack);
        // Closed even for a fill that steps diagonally.
        auto surface = Flood(tops, can.fillX, can.fillY, /*eight=*/true);
        EXPECT_FALSE(TouchesBorder(tops, surface));
        EXPECT_GE(surface.size(), 40u) << "a paint surface big enough to show the colour";
        for (auto [x, y] : surface) {
            EXPECT_TRUE(can.top.Holds(x, y)) << "outside its top at " << x << "," << y;
            for (int j = 0; j < 8; ++j) {
                if (j != k) {
                    EXPECT_FALSE(x == kCans[j].fillX && y == kCans[j].fillY) << "reaches can " << j;
                }
            }
            claimed[y * 142 + x] = 1;
        }
    }
    // No black anywhere else: a stray black pixel would never take a colour.
    for (int y = 0; y < 39; ++y) {
        for (int x = 0; x < 142; ++x) {
            if (tops.At(x, y) == kBlack) {
                EXPECT_TRUE(claimed[y * 142 + x]) << x << "," << y;
            }
        }
    }
}

TEST(PaintCans, EachMaskSelectsItsOwnTopOnly) {
    Picture tops(kBmpCanTops);
    std::vector<int> owner(142 * 39, -1);
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        Picture mask(kBmpCanMaskFirst + k);
        const Can& can = kCans[k];
        int white = 0;
        for (int y = 0; y < 39; ++y) {
            for (int x = 0; x < 142; ++x) {
                if (!mask.White(x, y)) continue;
                ++white;
                EXPECT_TRUE(can.top.Holds(x, y)) << "white outside the top at " << x << "," << y;
                EXPECT_EQ(owner[y * 142 + x], -1) << "shared with can " << owner[y * 142 + x];
                owner[y * 142 + x] = k;
                EXPECT_FALSE(tops.White(x, y)) << "the mask shows blank paper at " << x << "," << y;
            }
        }
        // The whole paint surface and a rim around it.
        auto surface = Flood(tops, can.fillX, can.fillY, false);
        for (auto [x, y] : surface) EXPECT_TRUE(mask.White(x, y)) << x << "," << y;
        EXPECT_GT(white, static_cast<int>(surface.size()) + 20);
        // Most of the top rectangle: the top fills it like an ellipse fills its box.
        const int area = (can.top.right - can.top.left) * (can.top.bottom - can.top.top);
        EXPECT_GT(white, area * 6 / 10);
    }
}

// The program darkens each front can's label by flooding the label's colour at its label point on
// the room, so the label must be one exact colour, closed by dark outlines (no soft edge that would
// stay the old colour), and must not run into another label or under a can top.
TEST(PaintCans, LabelsAreClosedSingleColourSurfacesRingedByDarkOutlines) {
    Picture table(kBmpTable);
    std::vector<std::vector<std::pair<int, int>>> labels;
    for (int k = 0; k < 8; ++k) {
        const Can& can = kCans[k];
        if (can.labelX < 0) continue;
        SCOPED_TRACE(k);
        auto label = Flood(table, can.labelX, can.labelY, /*eight=*/true);
        EXPECT_FALSE(TouchesBorder(table, label));
        EXPECT_GE(label.size(), 60u);
        EXPECT_LE(label.size(), 1200u);
        std::set<std::pair<int, int>> inside(label.begin(), label.end());
        for (int j = 0; j < 8; ++j) {
            if (j != k && kCans[j].labelX >= 0) {
                EXPECT_FALSE(inside.count({kCans[j].labelX, kCans[j].labelY})) << "runs into can " << j;
            }
        }
        for (auto [x, y] : label) {
            // Not under any can top, which the program draws over the table.
            for (int j = 0; j < 8; ++j) {
                Picture mask(kBmpCanMaskFirst + j);
                int mx = x - 475, my = y;
                if (mask.Inside(mx, my)) {
                    EXPECT_FALSE(mask.White(mx, my)) << "under top " << j;
                }
            }
            // Every neighbour outside the label is a dark outline.
            const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (auto [nx, ny] : next) {
                if (inside.count({nx, ny})) continue;
                EXPECT_LT(table.At(nx, ny).Sum(), 3 * 110) << "soft edge at " << nx << "," << ny;
            }
        }
        labels.push_back(label);
    }
    EXPECT_EQ(labels.size(), 4u);
}

// ------------------------------------------------------------------------------------------------

// Lit pictures are copied as plain rectangles, so the room under each must be drawn all over.
TEST(LitPictures, ShelfAndTableAreOpaqueUnderEveryLitRectangle) {
    const Room& room = TheRoom();
    for (const Lit& lit : kLit) {
        SCOPED_TRACE(lit.id);
        int open = 0;
        for (int y = lit.drawn.top; y < lit.drawn.bottom; ++y)
            for (int x = lit.drawn.left; x < lit.drawn.right; ++x) open += !room.Covered(x, y);
        EXPECT_EQ(open, 0);
    }
}

TEST(LitPictures, EachShowsTheSamePlaceOfTheRoomWithOnlyItsObjectLit) {
    const Room& room = TheRoom();
    for (const Lit& lit : kLit) {
        SCOPED_TRACE(lit.id);
        Picture p(lit.id);
        ASSERT_EQ(p.width, lit.drawn.right - lit.drawn.left);
        ASSERT_EQ(p.height, lit.drawn.bottom - lit.drawn.top);

        // Away from the object (beyond its glow), the lit picture is the room itself.
        const Rect near = lit.pointer.Grown(10);
        int away = 0, same = 0, changedOnObject = 0, onObject = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const int wx = lit.drawn.left + x, wy = lit.drawn.top + y;
                const int d = Distance(p.At(x, y), room.At(wx, wy));
                if (!near.Holds(wx, wy)) {
                    ++away;
                    same += d <= 8;
                }
                if (lit.pointer.Holds(wx, wy)) {
                    ++onObject;
                    changedOnObject += d > 8;
                }
            }
        }
        if (away >= 40) {
            EXPECT_GE(same, away * 9 / 10) << same << " of " << away;
        }
        EXPECT_GE(changedOnObject, onObject / 10) << "the object is not lit";

        // Lined up: the picture matches the room best where it is drawn, not a pixel or two off.
        auto mismatch = [&](int dx, int dy) {
            long total = 0, n = 0;
            for (int y = 2; y < p.height - 2; ++y) {
                for (int x = 2; x < p.width - 2; ++x) {
                    const int wx = lit.drawn.left + x + dx, wy = lit.drawn.top + y + dy;
                    if (wx < 0 || wy < 0 || wx >= Room::W || wy >= Room::H) continue;
                    total += Distance(p.At(x, y), room.At(wx, wy));
                    ++n;
                }
            }
            return static_cast<double>(total) / std::max(n, 1L);
        };
        const double here = mismatch(0, 0);
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                if (dx || dy) {
                    EXPECT_LT(here, mismatch(dx, dy)) << "shifted by " << dx << "," << dy;
                }
            }
        }
    }
}

// The printer and the toys share one rectangle: each lit picture leaves the other object unlit.
TEST(LitPictures, PrinterAndToysLightOnlyTheirOwnObject) {
    const Room& room = TheRoom();
    const Rect printer{0, 285, 48, 325}, toys{50, 261, 104, 326};
    auto sameInside = [&](int id, Rect r) {
        Picture p(id);
        int n = 0, same = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                ++n;
                same += Distance(p.At(x, y - 246), room.At(x, y)) <= 8;
            }
        }
        return static_cast<double>(same) / n;
    };
    // Allow a few pixels of the neighbour's glow along the facing edge.
    EXPECT_GT(sameInside(kBmpLitPrinter, {toys.left + 6, toys.top, toys.right, toys.bottom}), 0.97);
    EXPECT_GT(sameInside(kBmpLitToys, {printer.left, printer.top, printer.right - 6, printer.bottom}), 0.97);
    EXPECT_LT(sameInside(kBmpLitPrinter, printer), 0.8);
    EXPECT_LT(sameInside(kBmpLitToys, toys), 0.8);
}

// ------------------------------------------------------------------------------------------------

// The room lays the straight pieces at any offset along their length: each must be one profile
// all along, so that it meets itself and its neighbours without a seam.
TEST(FramePieces, StraightPiecesAreOneProfileAllAlong) {
    for (int id : {kBmpFrameTopRail, kBmpFrameBottomRail, kBmpFrameBottomRailRepeat}) {
        SCOPED_TRACE(id);
        Picture p(id);
        for (int x = 1; x < p.width; ++x)
            for (int y = 0; y < p.height; ++y) ASSERT_EQ(p.At(x, y), p.At(0, y)) << x << "," << y;
    }
    for (int id : {kBmpFrameLeftPost, kBmpFrameLeftPostRepeat, kBmpFrameRightPost}) {
        SCOPED_TRACE(id);
        Picture p(id);
        for (int y = 1; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) ASSERT_EQ(p.At(x, y), p.At(x, 0)) << x << "," << y;
    }
    // The two left posts and the two bottom rails are the same profile.
    Picture post(kBmpFrameLeftPost), postRepeat(kBmpFrameLeftPostRepeat);
    Picture rail(kBmpFrameBottomRail), railRepeat(kBmpFrameBottomRailRepeat);
    for (int x = 0; x < 17; ++x) EXPECT_EQ(post.At(x, 0), postRepeat.At(x, 0)) << x;
    for (int y = 0; y < 15; ++y) EXPECT_EQ(rail.At(0, y), railRepeat.At(0, y)) << y;
}

// Where a corner meets a rail or a post, the rows (columns) on both sides of the joint continue the
// same profile; the outer edge is dark and the edge by the canvas is a thin dark line.
TEST(FramePieces, CornersContinueTheRailsAndPosts) {
    Picture top(kBmpFrameTopRail), right(kBmpFrameRightPost), bottom(kBmpFrameBottomRailRepeat);
    Picture left(kBmpFrameLeftPost);
    Picture topLeft(kBmpFrameCornerTopLeft), topRight(kBmpFrameCornerTopRight);
    Picture bottomRight(kBmpFrameCornerBottomRight);
    auto near = [](Rgb a, Rgb b) { return Distance(a, b) <= 24; };
    // 107 at (130, 1): its last column continues the top rail's rows 1 to 15; its bottom row
    // continues the left post over the post's width.
    for (int y = 0; y < 15; ++y) EXPECT_TRUE(near(topLeft.At(31, y), top.At(0, y + 1))) << y;
    for (int x = 0; x < 14; ++x) EXPECT_TRUE(near(topLeft.At(x, 14), left.At(x, 0))) << x;
    // 108 at (W - 32, 0): its first column continues the top rail, its bottom row the right post.
    for (int y = 0; y < 16; ++y) EXPECT_TRUE(near(topRight.At(0, y), top.At(0, y))) << y;
    for (int x = 16; x < 32; ++x) EXPECT_TRUE(near(topRight.At(x, 15), right.At(x - 13, 0))) << x;
    // 109 at (W - 20, H - 112): its top row continues the right post, its first column (x W - 20)
    // the bottom rail below the canvas, whose dark lower edge runs on to the corner's tip in row
    // 30; row 31 lies under the rail, on the wall (here as it is at 1920 x 1080).
    for (int x = 1; x < 18; ++x) EXPECT_TRUE(near(bottomRight.At(x, 0), right.At(x - 1, 0))) << x;
    for (int y = 16; y < 31; ++y) EXPECT_TRUE(near(bottomRight.At(0, y), bottom.At(0, y - 16))) << y;
    Picture wall(kBmpWallpaper);
    for (int x = 0; x < 20; ++x) EXPECT_TRUE(near(bottomRight.At(x, 30), bottom.At(0, 14))) << x;
    for (int x = 0; x < 20; ++x) EXPECT_TRUE(near(bottomRight.At(x, 31), wall.At(1900 % 256 + x, 999 % 256))) << x;

    auto dark = [](Rgb c) { return c.Sum() < 3 * 80; };
    EXPECT_TRUE(dark(top.At(0, 0)) && dark(top.At(0, 15)));
    EXPECT_TRUE(dark(left.At(0, 0)) && dark(left.At(16, 0)));
    EXPECT_TRUE(dark(right.At(0, 0)) && dark(right.At(18, 0)));
    EXPECT_TRUE(dark(bottom.At(0, 0)) && dark(bottom.At(0, 14)));
    EXPECT_FALSE(dark(top.At(0, 7)));
}

// At 640 x 480 the table (from y 384) stands in front of the bottom-right corner (at (620, 368)):
// the corner's star must clear the table rather than poke out from behind its rounded end.
TEST(FramePieces, TableNeverHalfCoversTheCornerStar) {
    Picture corner(kBmpFrameCornerBottomRight), table(kBmpTableMask);
    int shown = 0, hidden = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 5; x < 20; ++x) {  // right of the post's gold lip: only the star is yellow
            const Rgb c = corner.At(x, y);
            if (c.r < 200 || c.g < 150 || c.b > 120) continue;
            (y >= 16 && table.White(620 + x, y - 16) ? hidden : shown)++;
        }
    }
    EXPECT_GE(shown, 10);
    EXPECT_EQ(hidden, 0);
}

// ------------------------------------------------------------------------------------------------

// The speaker and the spyglass are copied as plain pictures over the bare table: around the
// drawing they show the table's own pixels, and each pair of states looks different.
TEST(RoomIcons, IconsSitOnTheTableAndTheirStatesDiffer) {
    Picture table(kBmpTable);
    struct Icon {
        int id, left;
    };
    for (Icon icon : {Icon{kBmpSpeakerOn, 618}, Icon{kBmpSpeakerOff, 618}, Icon{kBmpSpyglass, 590},
                      Icon{kBmpSpyglassZoomed, 590}}) {
        SCOPED_TRACE(icon.id);
        Picture p(icon.id);
        int edge = 0, same = 0, dark = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const bool onEdge = x == 0 || y == 0 || y == p.height - 1;
                if (onEdge) {
                    ++edge;
                    same += p.At(x, y) == table.At(icon.left + x, 75 + y);
                }
                dark += p.At(x, y).Sum() < 3 * 80;
            }
        }
        EXPECT_GE(same, edge * 8 / 10) << same << " of " << edge;
        EXPECT_GE(dark, 15) << "needs a dark outline";
    }
    auto differing = [](int a, int b) {
        Picture p(a), q(b);
        int n = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) n += !(p.At(x, y) == q.At(x, y));
        return n;
    };
    EXPECT_GE(differing(kBmpSpeakerOn, kBmpSpeakerOff), 12);
    EXPECT_GE(differing(kBmpSpyglass, kBmpSpyglassZoomed), 12);
}

TEST(RoomIcons, MonitorScreenIsTheShelfsOwnScreen) {
    Picture screen(kBmpMonitorBlank), shelf(kBmpShelf);
    std::set<int> colours;
    int same = 0;
    for (int y = 0; y < 82; ++y) {
        for (int x = 0; x < 94; ++x) {
            Rgb c = screen.At(x, y);
            colours.insert(c.r << 16 | c.g << 8 | c.b);
            same += Distance(c, shelf.At(7 + x, 337 + y)) <= 2;
        }
    }
    EXPECT_GE(same, 94 * 82 * 95 / 100);
    EXPECT_GE(colours.size(), 5u) << "a screen, not a flat box";
}

TEST(RoomIcons, MarkersPointWhereTheyAreDrawn) {
    Picture tool(kBmpToolMarkerMask), tray(kBmpTrayMarkerMask);
    // The current-tool marker is drawn with its bottom-left corner on the tool: its tip is there.
    bool tip = false;
    for (int y = 16; y < 20; ++y)
        for (int x = 0; x < 4; ++x) tip |= tool.White(x, y);
    EXPECT_TRUE(tip);
    for (const Picture* m : {&tool, &tray}) {
        int white = 0;
        for (int y = 0; y < m->height; ++y)
            for (int x = 0; x < m->width; ++x) white += m->White(x, y);
        EXPECT_GT(white, m->width * m->height / 6);
        EXPECT_LT(white, m->width * m->height * 3 / 4);
    }
}
