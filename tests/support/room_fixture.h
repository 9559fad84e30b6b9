// The room on a headless desktop, started at 800 x 600 (start() again for another size), with
// helpers to click, stroke and read back what the picture and the window show. Points are window
// points; W(x, y) is the window point of picture pixel (x, y) while the view is not magnified.
#pragma once

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "app/room.h"
#include "app/scene.h"
#include "platform/keyboard_pointer.h"
#include "tests/support/headless_fixture.h"

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << "(" << c.r << "," << c.g << "," << c.b << ")"; }

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RoomTest : public HeadlessTest {
protected:
    void SetUp() override { start(); }
    void start(int w = 800, int h = 600, int scale = shell::kScaleNotGiven) {
        useDesktop(platform::HeadlessConfig{w, h, 24});
        ASSERT_EQ(shell::StartPictoria(shell::AskingScale(scale)), -1);
    }
    // At 800x600, with `settings` in the [Pictoria] group of the settings file.
    void startWith(const std::string& settings, const shell::CommandLine& line = {}) {
        useDesktop(platform::HeadlessConfig{800, 600, 24});
        std::filesystem::create_directories(configHome_ + "/pictoria");
        std::ofstream(configHome_ + "/pictoria/settings.ini") << "[Pictoria]\n" << settings << "\n";
        ASSERT_EQ(shell::StartPictoria(line), -1);
    }
    static scene::Room& room() { return scene::TheRoom(); }
    static Point W(int x, int y) { return Point{x + scene::kCanvasLeft, y + scene::kCanvasTop}; }
    // Runs what is queued, without ending the program; through the keyboard pointer, as the loop does.
    void pump() {
        platform::Message msg;
        while (desktop().peekMessage(msg) && msg.kind != platform::MsgKind::Quit)
            if (platform::KeyboardPointerFilter(desktop(), msg, false)) desktop().dispatchMessage(msg);
    }
    // A pixel of a bitmap (the canvas unless told), in bytes.
    static Rgb canvasAt(int x, int y, int bitmap = room().canvas) {
        int r = 0, g = 0, b = 0;
        tb_GetPixel(bitmap, x, y, &r, &g, &b);
        return Rgb{r / 255, g / 255, b / 255};
    }
    // A pixel of what the window shows.
    Rgb shown(Point p, platform::NativeWindow w = 0) {
        const uint8_t* px = RowPointer(desktop().backingStore(w != 0 ? w : desktop().firstWindow()), p.y) + 3 * p.x;
        return Rgb{px[2], px[1], px[0]};
    }
    int countCanvas(Rgb colour) {
        const int w = room().picture.right, n = w * room().picture.bottom;
        int found = 0;
        for (int i = 0; i < n; ++i) found += canvasAt(i % w, i / w) == colour;
        return found;
    }
    // How many pixels of the picture are not `ground`; each of them must be `mark` inside `area`.
    int marks(Rgb ground, Rgb mark, Rect area) {
        int n = 0;
        for (int y = 0; y < room().picture.bottom; ++y)
            for (int x = 0; x < room().picture.right; ++x) {
                if (canvasAt(x, y) == ground) continue;
                ++n;
                EXPECT_TRUE(canvasAt(x, y) == mark && tb_PtInRect(x, y, &area)) << x << "," << y;
            }
        return n;
    }
    void paint(Rect area, Rgb c) {
        tb_SetForeColor(room().canvas, c.r * 255, c.g * 255, c.b * 255);
        tb_PaintRect(room().canvas, &area);
    }
    void moveTo(Point p) { desktop().moveTo(p.x, p.y), pump(); }
    void press(Point p) { desktop().moveTo(p.x, p.y), desktop().press(p.x, p.y), pump(); }
    void release(Point p) { desktop().moveTo(p.x, p.y), desktop().release(p.x, p.y), pump(); }
    void clickAt(Point p) { desktop().moveTo(p.x, p.y), desktop().click(p.x, p.y), pump(); }
    void stroke(std::initializer_list<Point> points) {
        desktop().moveTo(points.begin()->x, points.begin()->y);
        desktop().press(points.begin()->x, points.begin()->y);
        for (auto it = points.begin() + 1; it != points.end(); ++it) desktop().moveTo(it->x, it->y);
        desktop().release((points.end() - 1)->x, (points.end() - 1)->y);
        pump();
    }
    // The main window as shown, every byte.
    std::string shownBytes() {
        const PixelView v = desktop().backingStore(desktop().firstWindow());
        return std::string(reinterpret_cast<const char*>(v.bits), static_cast<size_t>(v.stride) * v.height);
    }
    static Point centreOf(const Rect& r) { return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    void chooseTool(int index) {
        // A point inside the tool's own hit area, not only its rectangle.
        const scene::SceneObject& o = room().objects[index];
        for (int y = o.rect.top; y < o.rect.bottom; ++y)
            for (int x = o.rect.left; x < o.rect.right; ++x)
                if (tb_PtInRegion(x, y, o.region)) {
                    clickAt(Point{x, y});
                    ASSERT_EQ(room().currentTool, index);
                    return;
                }
        FAIL() << "no hit point for object " << index;
    }
    void putToysOnTable() { clickAt(centreOf(room().hotspots[scene::kToys].pointer)); }
    void clickSpyglass() { clickAt(Point{room().spyglass.left + 5, room().spyglass.top + 5}); }
    void zoomAt(Point p) { clickSpyglass(), clickAt(p); }
    void clickMonitor(int dx, int dy) { clickAt(Point{room().monitor.left + dx, room().monitor.top + dy}); }
    // Every message box shown so far, as "caption text".
    std::vector<std::string> boxTexts() {
        std::vector<std::string> t;
        for (const auto& b : desktop().messageBoxes()) t.push_back(b.caption + " " + b.text);
        return t;
    }
    static constexpr Rgb kWhite{255, 255, 255};
    static constexpr Rgb kRed{255, 0, 0};
    static constexpr Rgb kBlue{0, 0, 255};
};

// The room started in a scratch folder of its own with empty Gallery and Pages folders.
class FolderTest : public RoomTest {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/pictoria-folder-XXXXXX";
        std::filesystem::current_path(home_ = mkdtemp(pattern));
        for (const char* folder : {"Gallery", "Pages"}) std::filesystem::create_directories(home_ / folder);
        RoomTest::SetUp();
        desktop().clearRecords();
    }
    void TearDown() override {
        std::filesystem::current_path("/");
        std::filesystem::remove_all(home_);
        RoomTest::TearDown();
    }
    std::filesystem::path home_;
};
