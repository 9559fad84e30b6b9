// The clearing transitions that New plays: the old picture is carried away frame by frame and
// a white canvas is left. Each frame is drawn into the canvas, shown at once, and held until its
// frame time has passed (sleeping, not spinning); a frame that took longer is followed at once.
//
// The old picture comes from the undo copy, taken at the start. The scene buffer is clipped to
// the canvas area meanwhile, so no frame can touch the room around the picture.
#include <algorithm>
#include <cstdint>

#include "app/pictures.h"
#include "app/room.h"
#include "app/shell.h"
#include "resources/resource_ids.h"
#include "toolbox/toolbox.h"

namespace scene {
namespace {

constexpr int kWhite = 65025;
constexpr int kFrameMs = 30;
constexpr int kFastFrameMs = 15;
constexpr int kMeltColumns = 100;

class Frames {
public:
    Frames() : r_(TheRoom()), w_(r_.picture.width()), h_(r_.picture.height()) {}

    int width() const { return w_; }
    int height() const { return h_; }

    void begin() { start_ = tb_GetTime(); }
    // Shows what the frame changed and waits out the rest of the frame's time. Only the changed
    // parts of the canvas area are copied to the screen: the rest shows the canvas already.
    void end(int ms = kFrameMs) {
        for (int i = 0; i < changes_; ++i) {
            Rect shown = changed_[i];
            tb_OffsetRect(&shown, r_.canvasArea.left, r_.canvasArea.top);
            RedrawRect(shown);
        }
        changes_ = 0;
        tb_WaitSince(start_, ms);
    }
    void paint(int left, int top, int right, int bottom) {
        Rect rect{left, top, right, bottom};
        tb_PaintRect(r_.canvas, &rect);
        change(rect);
    }
    // The old picture's rectangle `from` drawn into the canvas's `to`, scaled to fit it.
    void copyOld(const Rect& from, const Rect& to) {
        tb_CopyBitmap(r_.undo, r_.canvas, &from, &to, 0);
        change(to);
    }

private:
    // Two separate parts at most (the wipe's two bands); parts that touch are joined, and so is
    // any third.
    void change(const Rect& rect) {
        Rect part{}, overlap{};
        if (!tb_IntersectRect(&part, &rect, &r_.picture)) return;
        Rect near = part;
        tb_InsetRect(&near, -1, -1);
        for (int i = 0; i < changes_; ++i) {
            if (tb_IntersectRect(&overlap, &near, &changed_[i]) || changes_ == 2) {
                tb_UnionRect(&changed_[i], &part, &changed_[i]);
                return;
            }
        }
        changed_[changes_++] = part;
    }

    Room& r_;
    int w_, h_;
    uint32_t start_ = 0;
    Rect changed_[2]{};
    int changes_ = 0;
};

// White bands grow over the old picture, from both sides or from the top. Each frame paints only
// what its band adds to the last one's.
void Wipe(Frames& f) {
    const int w = f.width(), h = f.height();
    int done = 0;
    if (tb_Random(0, 100) < 50) {
        for (int k = 10; k <= w / 2; k += std::max(1, w / 50)) {
            f.begin();
            f.paint(done, 0, k, h);
            f.paint(w - k, 0, w - done, h);
            done = k;
            f.end();
        }
    } else {
        for (int k = 10; k <= h; k += std::max(1, h / 50)) {
            f.begin();
            f.paint(0, done, w, k);
            done = k;
            f.end(kFastFrameMs);
        }
    }
}

// Each of 100 columns slides down at its own speed while its picture is squeezed from below.
void Melt(Frames& f) {
    const int w = f.width(), h = f.height();
    const int column = w / kMeltColumns + 1;
    int speed[kMeltColumns];
    int depth[kMeltColumns];
    int slowest = 1000;
    for (int i = 0; i < kMeltColumns; ++i) {
        speed[i] = tb_Random(h / 20, h / 20 + 10);
        depth[i] = 0;
        slowest = std::min(slowest, speed[i]);
    }
    slowest = std::max(slowest, 1);  // a very low picture must still end
    int sourceBottom = h;
    for (int progress = 0; progress <= h; progress += slowest) {
        f.begin();
        sourceBottom = std::clamp(sourceBottom - 2 * slowest, 0, h);
        for (int i = 0; i < kMeltColumns; ++i) {
            const int x0 = i * column, x1 = x0 + column;
            depth[i] += speed[i];
            if (x0 >= w) continue;
            f.copyOld(Rect{x0, 0, x1, sourceBottom}, Rect{x0, depth[i], x1, h});
            f.paint(x0, 0, x1, depth[i]);
        }
        f.end();
    }
}

// The whole old picture shrinks towards the centre on a growing white surround.
void Shrink(Frames& f) {
    const int w = f.width(), h = f.height();
    const int sx = w / 30 + 1, sy = h / 30 + 1;
    Rect box{0, 0, w, h};
    while (box.left <= w / 2 || box.top <= h / 2) {
        f.begin();
        f.paint(box.left, box.top, box.right, box.bottom);
        box = Rect{box.left + sx, box.top + sy, box.right - sx, box.bottom - sy};
        box.bottom = std::max(box.bottom, box.top);
        box.right = std::max(box.right, box.left);
        f.copyOld(Rect{0, 0, w, h}, box);
        f.end();
    }
}

// The old picture moves off the canvas unscaled: right, left, down, or (twice as often) up.
void Slide(Frames& f) {
    const int w = f.width(), h = f.height();
    const int sx = w / 30 + 1, sy = h / 30 + 1;
    switch (tb_Random(0, 4)) {
        case 0:
            for (int l = 0; l <= w;) {
                f.begin();
                f.paint(l, 0, w, h);
                l += sx;
                f.copyOld(Rect{0, 0, w - l, h}, Rect{l, 0, w, h});
                f.end();
            }
            break;
        case 1:
            for (int r = w; r >= 0;) {
                f.begin();
                f.paint(0, 0, r, h);
                r -= sx;
                f.copyOld(Rect{w - r, 0, w, h}, Rect{0, 0, r, h});
                f.end();
            }
            break;
        case 2:
            for (int t = 0; t <= h;) {
                f.begin();
                f.paint(0, t, w, h);
                t += sy;
                f.copyOld(Rect{0, 0, w, h - t}, Rect{0, t, w, h});
                f.end();
            }
            break;
        default:
            for (int b = h; b >= 0;) {
                f.begin();
                f.paint(0, 0, w, b);
                b -= sy;
                f.copyOld(Rect{0, h - b, w, h}, Rect{0, 0, w, b});
                f.end();
            }
            break;
    }
}

}  // namespace

void PlayNextTransition() {
    Room& r = TheRoom();
    int& next = shell::Shell().nextTransition;
    static constexpr int kSounds[] = {kWavNewWipe, kWavNewMelt, kWavNewShrink, kWavNewSlide};
    const int which = (next >= 1 && next <= 4) ? next : 4;
    tb_PlaySound(kSounds[which - 1]);

    SaveUndo();
    Rect area = r.canvasArea;
    tb_SetClipRect(r.sceneBuffer, &area);
    tb_SetForeColor(r.canvas, kWhite, kWhite, kWhite);
    Frames frames;
    switch (which) {
        case 1: Wipe(frames); break;
        case 2: Melt(frames); break;
        case 3: Shrink(frames); break;
        default: Slide(frames); break;
    }
    frames.paint(0, 0, frames.width(), frames.height());
    RedrawRect(r.canvasArea);
    tb_ClearClipRect(r.sceneBuffer);
    next = next + 1 > 4 ? 1 : next + 1;
}

}  // namespace scene
