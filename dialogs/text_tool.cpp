// The text tool: a confirmed line of text follows the pointer over the canvas area and is stamped
// onto the picture, in the current colour, where the child clicks.
#include <algorithm>

#include "dialogs/dialogs.h"
#include "toolbox/toolbox.h"
#include "tools/room_facts.h"

namespace dialogs {
namespace {

TextSettings gText;
Rect gPreview{};  // where the last preview lies in the window; empty when none is shown

int SizeOf(const TextSettings& t) { return kTextSizes[std::clamp(t.sizeIndex, 0, 4)]; }

// Takes the last preview off the window: the scene behind it shows again.
void ErasePreview() {
    if (gPreview.isEmpty()) return;
    scene::RedrawRect(gPreview);
    gPreview = Rect{};
}

}  // namespace

TextSettings& Text() { return gText; }

void InitTextTool() {
    gText = TextSettings{};
    gPreview = Rect{};
}

std::string Utf8Prefix(const std::string& text, size_t bytes) {
    if (text.size() <= bytes) return text;
    size_t end = bytes;
    // Back over continuation bytes (10xxxxxx) to the start of the character that would be cut.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

Rect DrawTextAt(int target, int x, int y, const std::string& text, const std::string& face, int size, int style,
                int red, int green, int blue, double angle, const Rect* clip) {
    auto byte = [](int v) { return std::min(std::max(v, 0), 65025) / 255; };
    return tb_DrawTextInFont(target, x, y, text.c_str(), static_cast<int>(text.size()), face.c_str(), tb_Round(size),
                             style, byte(red), byte(green), byte(blue), angle, clip);
}

void PreviewText(int x, int y) {
    const scene::RoomFacts r = scene::FactsOfRoom();
    ErasePreview();
    const scene::Color& c = r.currentColor;
    const int size = SizeOf(gText) * (r.zoomed ? 2 : 1);
    const Rect clip = r.canvasArea;
    gPreview = DrawTextAt(r.mainWindow, x, y, gText.text, gText.face, size, gText.style, c.red, c.green,
                          c.blue, 0, &clip);
}

void StampText(int pictureX, int pictureY) {
    const scene::RoomFacts r = scene::FactsOfRoom();
    gPreview = Rect{};  // the redraw of the canvas area that follows covers it
    const scene::Color& c = r.currentColor;
    const Rect clip = r.picture;
    DrawTextAt(r.canvas, pictureX, pictureY, gText.text, gText.face, SizeOf(gText), gText.style, c.red, c.green,
               c.blue, 0, &clip);
}

void DropText() { ErasePreview(); }

}  // namespace dialogs
