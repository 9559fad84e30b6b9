// Toolbox state shared between its source files. Not for use outside toolbox/.
#pragma once

#include <cstdint>

#include "pictures/dib.h"
#include "platform/geometry.h"
#include "platform/pixels.h"
#include "platform/platform.h"
#include "toolbox/toolbox.h"

namespace raster {
class Region;
}
namespace platform {
class PrintPage;
}

namespace toolbox {

constexpr Rect kNoClip{-1, -1, -1, -1};

inline bool IsClipSet(const Rect& clip) {
    return !(clip.left == -1 || clip.top == -1 || clip.right == -1 || clip.bottom == -1);
}

// A colour as the pixel code stores it.
struct Rgb8 {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// The drawing state every target keeps: colours, the stored clip rectangle, and the clip that a
// copy or a line has put in force on the target until the clip is cleared.
struct DrawState {
    Rgb8 fore{};
    Rgb8 back{};
    Rect clip = kNoClip;
    bool clipInForce = false;
    Rect clipInForceRect{};
};

struct WindowSlot {
    bool free = true;
    platform::NativeWindow window = 0;
    DrawState draw{};
};

// A resolved drawing target: its pixels and its state. For a window, changes become visible
// after Present().
struct Target {
    PixelView view{};
    DrawState* draw = nullptr;
    platform::NativeWindow window = 0;  // non-zero for a window target
    // The printer page has no pixels here: `view` gives only its size, and drawing goes to `page`.
    bool isPrinter = false;
    platform::PrintPage* page = nullptr;
};

// Window table (windows.cpp).
void ResetWindowTable();
WindowSlot* FindWindowSlot(int handle);  // null for a handle outside 5000..5009 or a free slot
bool ResolveWindowTarget(int handle, Target& out);
// Shows `changed` (client coordinates) of a window target; nothing for other targets.
void PresentTarget(const Target& target, const Rect& changed);

// Bitmap table (bitmaps.cpp, copy.cpp, pixels.cpp).
struct BitmapSlot {
    bool free = true;
    DibRecord image;   // may still be a resource read in place: write only via ResolveTarget
    Rect rect{};       // as created, origin included
    DrawState draw{};  // colours and stored clip belong to the slot, not to the bitmap in it
};
BitmapSlot* FindBitmapSlot(int handle);  // null for a handle outside 0..99 or a free slot
// A target to draw into: a bitmap in use (a resource's pixels are copied first), a window in
// use, or the printer page while it is open. False for anything else; nothing is reported.
bool ResolveTarget(int handle, Target& out);
bool ResolveBitmapTarget(int handle, Target& out);  // bitmaps only
// The same for reading: a resource bitmap stays in place, so never write through `out`.
bool ResolveSource(int handle, Target& out);
// The printer page (9000); false while no document is open (printing.cpp).
bool ResolvePrinterPage(Target& out);
// The part of a target that drawing may change now: its bounds, limited by a clip that a copy
// (or a line) has put in force (copy.cpp).
Rect ClipInForce(const Target& target);

// Colours, regions and random numbers (drawing.cpp, regions.cpp, numbers.cpp).
// The colour rule: a component c up to 65025 (an 8-bit value times 255) becomes
// tb_Round(c / 65025 x 255); above 65025 it is taken on the 0..65535 scale instead,
// tb_Round(c / 65535 x 255). Results outside 0..255 are limited to it.
Rgb8 ColorFrom65025(int red, int green, int blue);
// The printer page's colours; they belong to handle 9000 whether or not a document is open.
DrawState& PrinterDrawState();
// The region in slot `handle`; null for a handle outside 0..99 or a free slot.
const raster::Region* FindRegion(int handle);
void SeedRandom();                // from the time of day, as tb_Init does
void SeedRandomWith(uint64_t seed);  // a repeatable sequence (tests)

// Per-area resets called by tb_Init. Each area adds its own here.
void ResetBitmapTable();
void ResetRegionTable();
void ResetFiles();  // files.cpp: closes the current file, program directory = current directory
// files.cpp: a file being written is not to be put in place (its writer gave up part way).
void SpoilCurrentFile();
void ResetSound();  // the sound switch back on (sound.cpp)
void ResetTextTable();  // every target's face, size and style back to 0 (text.cpp)
void ResetPrinting();   // an open document is sent, the kept print settings forgotten

}  // namespace toolbox
