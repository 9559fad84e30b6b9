// The room on a headless desktop at a chosen screen size, with helpers to click, stroke and
// read back what the picture and the window show.
#pragma once

#include <ostream>

#include "app/room.h"
#include "app/scene.h"
#include "tests/support/headless_fixture.h"

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << "(" << c.r << "," << c.g << "," << c.b << ")"; }

class RoomTest : public HeadlessTest {
protected:
    void start(int w = 800, int h = 600) {
        useDesktop(platform::HeadlessConfig{w, h, 24});
        ASSERT_EQ(shell::StartPictoria(), -1);
    }
    // Runs what is queued, without ending the program.
    void pump() {
        platform::Message msg;
        while (desktop().peekMessage(msg)) {
            if (msg.kind == platform::MsgKind::Quit) break;
            desktop().dispatchMessage(msg);
        }
    }
    int H() const { return scene::TheRoom().height; }
    // A canvas pixel, in bytes.
    Rgb canvasAt(int x, int y) {
        int r = 0, g = 0, b = 0;
        tb_GetPixel(scene::TheRoom().canvas, x, y, &r, &g, &b);
        return Rgb{r / 255, g / 255, b / 255};
    }
    // A pixel of what the window shows.
    Rgb shown(int x, int y) {
        PixelView v = desktop().backingStore(desktop().firstWindow());
        const uint8_t* p = RowPointer(v, y) + 3 * x;
        return Rgb{p[2], p[1], p[0]};
    }
    int countCanvas(Rgb colour) {
        const Rect& pic = scene::TheRoom().picture;
        int n = 0;
        for (int y = 0; y < pic.bottom; ++y)
            for (int x = 0; x < pic.right; ++x) n += canvasAt(x, y) == colour;
        return n;
    }
    void clickAt(int x, int y) {
        desktop().moveTo(x, y);
        desktop().click(x, y);
        pump();
    }
    void stroke(std::initializer_list<Point> points) {
        auto it = points.begin();
        desktop().moveTo(it->x, it->y);
        desktop().press(it->x, it->y);
        for (++it; it != points.end(); ++it) desktop().moveTo(it->x, it->y);
        Point last = *(points.end() - 1);
        desktop().release(last.x, last.y);
        pump();
    }
    Point centreOf(const Rect& r) { return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    void chooseTool(int index) {
        // A point inside the tool's own hit area: its polygon's first corner nudged inward.
        const scene::SceneObject& o = scene::TheRoom().objects[index];
        for (int y = o.rect.top; y < o.rect.bottom; ++y)
            for (int x = o.rect.left; x < o.rect.right; ++x)
                if (tb_PtInRegion(x, y, o.region)) {
                    clickAt(x, y);
                    ASSERT_EQ(scene::TheRoom().currentTool, index);
                    return;
                }
        FAIL() << "no hit point for object " << index;
    }
    void putToysOnTable() {
        Point p = centreOf(scene::TheRoom().hotspots[scene::kToys].pointer);
        clickAt(p.x, p.y);
        ASSERT_EQ(scene::TheRoom().currentTray, 4);
    }
    static constexpr Rgb kWhite{255, 255, 255};
    static constexpr Rgb kRed{255, 0, 0};
};

