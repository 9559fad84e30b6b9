// The tools' settings on the monitor: size bars, shape buttons, colour and mirror modes.
// Panels are 94 x 82; all geometry here is relative to the monitor's top-left corner.
#include "toolbox/toolbox.h"
#include "tools/tools.h"

namespace tools {
namespace {

constexpr int kPanelWidth = 94;
constexpr int kPanelHeight = 82;

struct Rgb {
    int red, green, blue;
};
constexpr Rgb kWhite{65025, 65025, 65025};
constexpr Rgb kChosen{0, 65025, 0};
constexpr Rgb kNotChosen{0, 0, 0};
constexpr Rgb kModeFrame{0, 58000, 0};
constexpr Rgb kSeparator{32640, 32640, 32640};

struct BarSet {
    Rect bars[6];
    Rect hits[6];
    int count;
};

constexpr BarSet kSixBars{{{6, 9, 8, 73}, {12, 9, 16, 73}, {20, 9, 27, 73}, {31, 9, 41, 73}, {45, 9, 60, 73}, {64, 9, 86, 73}},
                          {{4, 9, 10, 73}, {10, 9, 18, 73}, {20, 9, 27, 73}, {31, 9, 41, 73}, {45, 9, 60, 73}, {64, 9, 86, 73}},
                          6};
constexpr BarSet kTallBars{{{6, 9, 21, 73}, {27, 9, 50, 73}, {57, 9, 89, 73}},
                           {{6, 9, 21, 73}, {27, 9, 50, 73}, {57, 9, 89, 73}},
                           3};
constexpr BarSet kShortBars{{{6, 9, 21, 50}, {27, 9, 50, 50}, {57, 9, 89, 50}},
                            {{6, 9, 21, 50}, {27, 9, 50, 50}, {57, 9, 89, 50}},
                            3};

constexpr int kSizesA[6] = {1, 4, 8, 16, 24, 32};
constexpr int kSizesB[6] = {16, 20, 24, 28, 32, 36};
constexpr int kSizesHammer[3] = {16, 28, 40};
constexpr int kSizesToys[3] = {32, 48, 64};
constexpr int kSizesGun[3] = {60, 90, 120};
constexpr int kSizesCog[3] = {8, 16, 24};

constexpr Rect kLeftMode{11, 55, 39, 79};
constexpr Rect kRightMode{53, 55, 81, 79};

void Use(int target, Rgb c) { tb_SetForeColor(target, c.red, c.green, c.blue); }

void Fill(int target, Rect r, Rgb c) {
    Use(target, c);
    tb_PaintRect(target, &r);
}

void Frame(int target, Rect r, Rgb c) {
    Use(target, c);
    tb_FrameRect(target, &r);
}

void Dot(int target, Rect r, Rgb c) {
    Use(target, c);
    tb_PaintEllipse(target, &r);
}

Rgb ToolColour(const SceneObject& self) { return Rgb{self.red, self.green, self.blue}; }

// A fresh white panel; draw into it, then Show() it on the monitor.
class Panel {
public:
    Panel() {
        Rect size{0, 0, kPanelWidth, kPanelHeight};
        handle_ = tb_CreateBitmap(&size, -1, 24);
        if (handle_ >= 0) Fill(handle_, size, kWhite);
    }
    ~Panel() {
        if (handle_ >= 0) tb_DisposeBitmap(handle_);
    }
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;
    int handle() const { return handle_; }
    void show(const SceneObject& self, const Rect& monitor) {
        if (handle_ < 0) return;
        Rect src{0, 0, kPanelWidth, kPanelHeight};
        Rect dst = monitor;
        tb_CopyBitmap(handle_, self.sceneBitmap, &src, &dst, 0);
    }

private:
    int handle_ = -1;
};

void DrawBars(int panel, const BarSet& set, const int* sizes, int current) {
    for (int i = 0; i < set.count; ++i) Fill(panel, set.bars[i], sizes[i] == current ? kChosen : kNotChosen);
}

// The size of the last bar hit, or `current` when none is.
int HitBars(const BarSet& set, const int* sizes, int px, int py, int current) {
    int chosen = current;
    for (int i = 0; i < set.count; ++i) {
        Rect hit = set.hits[i];
        if (tb_PtInRect(px, py, &hit)) chosen = sizes[i];
    }
    return chosen;
}

bool Hit(Rect r, int px, int py) { return tb_PtInRect(px, py, &r) != 0; }

void DrawSeparator(int panel) {
    Use(panel, kSeparator);
    tb_Line(panel, 6, 52, 89, 52, 1);
}

// A colour for the random-colours icon: each component a share (0 to 200 %) of a base level.
Rgb RandomDotColour() {
    int c[3];
    for (int& v : c) {
        int base = tb_Random(12000, 65000);
        int share = tb_Random(0, 200);
        v = tb_Round(share / 100.0 * base);
    }
    return Rgb{c[0], c[1], c[2]};
}

// The Needle & Thread's dots keep to threads' colours: warm, green and blue ranges.
Rgb NeedleDotColour(int dot) {
    struct Range {
        int low, high;
    };
    static constexpr Range kRanges[3][3] = {
        {{42266, 58523}, {32515, 42266}, {32515, 42266}},
        {{16257, 26009}, {26009, 42266}, {16257, 26009}},
        {{6503, 16257}, {6503, 16257}, {16257, 26009}},
    };
    const Range* r = kRanges[dot];
    return Rgb{tb_Random(r[0].low, r[0].high), tb_Random(r[1].low, r[1].high), tb_Random(r[2].low, r[2].high)};
}

void DrawColourMode(int panel, const SceneObject& self) {
    DrawSeparator(panel);
    const Rect leftDots[3] = {{20, 57, 30, 67}, {13, 67, 23, 77}, {27, 67, 37, 77}};
    for (Rect r : leftDots) Dot(panel, r, ToolColour(self));
    if (self.param == 0) Frame(panel, kLeftMode, kModeFrame);

    const Rect rightDots[3] = {{62, 57, 72, 67}, {55, 67, 65, 77}, {69, 67, 79, 77}};
    bool needle = scene::IndexOf(self) == scene::kNeedle;
    for (int i = 0; i < 3; ++i) Dot(panel, rightDots[i], needle ? NeedleDotColour(i) : RandomDotColour());
    if (self.param == 1) Frame(panel, kRightMode, kModeFrame);
}

void ClickColourMode(SceneObject& self, int px, int py) {
    if (Hit(kLeftMode, px, py)) self.param = 0;
    if (Hit(kRightMode, px, py)) self.param = 1;
}

void DrawBarPanel(SceneObject& self, const Rect& monitor, const BarSet& set, const int* sizes) {
    Panel panel;
    if (panel.handle() < 0) return;
    DrawBars(panel.handle(), set, sizes, self.size);
    panel.show(self, monitor);
}

void ClickBarPanel(SceneObject& self, int x, int y, const Rect& monitor, const BarSet& set, const int* sizes) {
    self.size = HitBars(set, sizes, x - monitor.left, y - monitor.top, self.size);
}

}  // namespace

void DrawSixBarSizes(SceneObject& self, const Rect& monitor) { DrawBarPanel(self, monitor, kSixBars, kSizesA); }
void ClickSixBarSizes(SceneObject& self, int x, int y, const Rect& monitor) {
    ClickBarPanel(self, x, y, monitor, kSixBars, kSizesA);
}

void DrawSixBarBrushSizes(SceneObject& self, const Rect& monitor) { DrawBarPanel(self, monitor, kSixBars, kSizesB); }
void ClickSixBarBrushSizes(SceneObject& self, int x, int y, const Rect& monitor) {
    ClickBarPanel(self, x, y, monitor, kSixBars, kSizesB);
}

void DrawHammerSizes(SceneObject& self, const Rect& monitor) { DrawBarPanel(self, monitor, kTallBars, kSizesHammer); }
void ClickHammerSizes(SceneObject& self, int x, int y, const Rect& monitor) {
    ClickBarPanel(self, x, y, monitor, kTallBars, kSizesHammer);
}

void DrawTemplateShapes(SceneObject& self, const Rect& monitor) {
    Panel panel;
    int p = panel.handle();
    if (p < 0) return;
    auto colour = [&](int shape) { return self.param == shape ? kChosen : kNotChosen; };
    Use(p, colour(0));
    Rect r0{8, 3, 43, 39};
    tb_FrameEllipse(p, &r0);
    Dot(p, Rect{49, 3, 84, 39}, colour(1));
    Frame(p, Rect{8, 42, 43, 78}, colour(2));
    Fill(p, Rect{49, 42, 84, 78}, colour(3));
    panel.show(self, monitor);
}

void ClickTemplateShapes(SceneObject& self, int x, int y, const Rect& monitor) {
    const int px = x - monitor.left, py = y - monitor.top;
    const Rect hits[4] = {{6, 3, 45, 39}, {47, 3, 86, 39}, {8, 42, 43, 78}, {49, 42, 84, 78}};
    for (int shape = 0; shape < 4; ++shape) {
        if (Hit(hits[shape], px, py)) self.param = shape;
    }
}

void DrawToyControls(SceneObject& self, const Rect& monitor) {
    Panel panel;
    if (panel.handle() < 0) return;
    DrawBars(panel.handle(), kShortBars, kSizesToys, self.size);
    DrawColourMode(panel.handle(), self);
    panel.show(self, monitor);
}

void ClickToyControls(SceneObject& self, int x, int y, const Rect& monitor) {
    ClickBarPanel(self, x, y, monitor, kShortBars, kSizesToys);
    ClickColourMode(self, x - monitor.left, y - monitor.top);
}

void DrawGunControls(SceneObject& self, const Rect& monitor) {
    Panel panel;
    if (panel.handle() < 0) return;
    DrawBars(panel.handle(), kShortBars, kSizesGun, self.size);
    DrawColourMode(panel.handle(), self);
    panel.show(self, monitor);
}

void ClickGunControls(SceneObject& self, int x, int y, const Rect& monitor) {
    ClickBarPanel(self, x, y, monitor, kShortBars, kSizesGun);
    ClickColourMode(self, x - monitor.left, y - monitor.top);
}

void DrawCogControls(SceneObject& self, const Rect& monitor) {
    Panel panel;
    int p = panel.handle();
    if (p < 0) return;
    DrawBars(p, kShortBars, kSizesCog, self.size);
    DrawSeparator(p);
    for (Rect r : {Rect{13, 57, 20, 77}, Rect{30, 57, 37, 77}}) Fill(p, r, ToolColour(self));
    if (self.param == 1) Frame(p, kLeftMode, kModeFrame);
    for (Rect r : {Rect{55, 57, 62, 65}, Rect{55, 69, 62, 77}, Rect{72, 57, 79, 65}, Rect{72, 69, 79, 77}}) {
        Fill(p, r, ToolColour(self));
    }
    if (self.param == 2) Frame(p, kRightMode, kModeFrame);
    panel.show(self, monitor);
}

void ClickCogControls(SceneObject& self, int x, int y, const Rect& monitor) {
    ClickBarPanel(self, x, y, monitor, kShortBars, kSizesCog);
    const int px = x - monitor.left, py = y - monitor.top;
    if (Hit(kLeftMode, px, py)) self.param = 1;
    if (Hit(kRightMode, px, py)) self.param = 2;
}

}  // namespace tools
