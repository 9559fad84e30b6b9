// Text through Pango and cairo: measuring one line, rendering it as an 8-bit coverage mask,
// blending a mask into our pixels, and the list of installed font families.
//
// This is the only part of the program that includes Pango. It needs no display.
//
// Coordinates are pixels of the target, y down. A line is laid out in its own frame (x along
// the baseline, y down) and that frame is rotated counter-clockwise about the reference point.
// The "cell" of a line is its advance width by the font's ascent plus descent; alignment puts a
// corner or edge midpoint of the cell on the reference point.
//
// Text is UTF-8; invalid bytes are drawn as U+FFFD. Line breaks are drawn as symbols: a line is
// always one line.
//
// Clipping: RenderLine takes the clip rectangle and produces coverage only inside it; callers
// keep the clip inside the view they blend into. Everything here runs on the one thread of
// the message loop: the font map, its context and the layout cache are shared globals.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/pixels.h"

namespace text {

// Which installed families may stand in when the asked name is not installed.
enum class FontKind : uint8_t {
    Any,     // whatever fontconfig chooses for the name
    Sans,    // Liberation Sans (metric twin of Arial), then DejaVu Sans
    Serif,   // Liberation Serif (twin of Times New Roman), then DejaVu Serif
    Mono,    // Liberation Mono (twin of Courier New), then DejaVu Sans Mono
    Script,  // an installed script family; without one, an italic serif
};

struct FontRequest {
    std::string family;  // as a user would write it: "Arial", "Times New Roman"
    FontKind kind = FontKind::Any;
    // Pixels. Positive: the em height (what a font size in pixels means); negative: the cell
    // height, ascent plus descent; 0: a 16-pixel cell.
    int32_t size = 0;
    int32_t weight = 400;  // 100 (thin) .. 900 (black); 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

struct LineMetrics {
    int32_t width = 0;    // advance width: where a following line would start
    int32_t ascent = 0;   // cell above the baseline
    int32_t descent = 0;  // cell below the baseline
    int32_t height() const { return ascent + descent; }
};

// Measures the line. Measuring and drawing share one layout, so the width is exactly the
// distance the drawn line advances.
LineMetrics MeasureLine(const FontRequest& font, std::string_view utf8);

enum class HAlign : uint8_t { Left, Center, Right };
enum class VAlign : uint8_t { Top, Baseline, Bottom };

struct Placement {
    int32_t x = 0;  // the reference point
    int32_t y = 0;
    HAlign horizontal = HAlign::Left;  // Center puts x at width / 2, rounded down
    VAlign vertical = VAlign::Top;
    double angle = 0.0;  // degrees, counter-clockwise on screen
};

// Coverage of a rectangle of the target: 0 leaves a pixel alone, 255 covers it fully.
// `area` is empty when nothing of the line falls inside the clip.
struct CoverageMask {
    Rect area{};
    int32_t stride = 0;          // bytes per row, a multiple of 4
    std::vector<uint8_t> alpha;  // area.height() rows, top row first; reused from call to call

    uint8_t at(int32_t x, int32_t y) const {  // target coordinates inside area
        return alpha[static_cast<size_t>(y - area.top) * static_cast<size_t>(stride) +
                     static_cast<size_t>(x - area.left)];
    }
};

// Renders the line's coverage inside `clip` (target coordinates) into `out`, reusing its
// buffer. The mask covers the line's bounds (underline and strike-out included) within clip.
void RenderLine(const FontRequest& font, std::string_view utf8, const Placement& place, const Rect& clip,
                CoverageMask& out);

// Puts the colour into the view through the mask, which must lie inside the view.
// 24-bit pixels blend: each channel becomes (old x (255 - a) + colour x a) / 255, rounded, so
// full coverage gives exactly the colour. 8-bit pixels have no in-between colours: a pixel at
// least half covered takes the colour table's nearest entry. Returns the bounds of the pixels
// the mask touched (non-zero coverage); empty when none.
Rect BlendCoverage(const PixelView& view, const CoverageMask& mask, uint8_t red, uint8_t green, uint8_t blue);

// The installed scalable font families by name, sorted and without duplicates, leaving out
// the generic aliases (Sans, Serif, Monospace, System-ui and the like) and the families that
// cannot write the Latin alphabet (symbols, pictures). Read once per process.
const std::vector<std::string>& InstalledFamilies();

// The family of the font a request really gets (for tests and diagnostics).
std::string ResolvedFamily(const FontRequest& font);

// The em height in pixels a request is drawn at, its cell height resolved (for tests).
int32_t EmHeightOf(const FontRequest& font);

// Forgets the cached layouts and families (a test that changes nothing else needs none of it).
void ClearTextCaches();

// Lets go of the layouts and the opened fonts; they are made again when next needed.
void ReleaseFontCaches();

}  // namespace text
