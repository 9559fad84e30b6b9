// Text and fonts: each target's face, size and style, and single lines drawn or measured with
// them through the Pango layer.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/print_page.h"
#include "platform/text_pango.h"
#include "toolbox/internal.h"
#include "toolbox/toolbox.h"

namespace toolbox {
namespace {

struct FontSettings {
    int16_t face = 0;
    int16_t size = 0;
    int16_t style = 0;
};

// Kept beside the other tables rather than in them: the printer page has its settings even
// while no document is open.
struct TextTable {
    std::array<FontSettings, kBitmapSlots> bitmaps{};
    std::array<FontSettings, kWindowSlots> windows{};
    FontSettings printer{};
};

TextTable gText;

// Reused from one line to the next: the text tool draws one line per pointer move.
text::CoverageMask gMask;

struct Face {
    const char* name;
    text::FontKind kind;
};

// The face numbers. "MS San Serif" (sic) names no font that exists, so its kind decides.
constexpr std::array<Face, 6> kFaces = {{
    {"Arial", text::FontKind::Sans},
    {"Courier New", text::FontKind::Mono},
    {"MS San Serif", text::FontKind::Sans},
    {"MS Serif", text::FontKind::Serif},
    {"Brush Script MT", text::FontKind::Script},
    {"Times New Roman", text::FontKind::Serif},
}};

const Face& FaceFor(int face) { return face >= 0 && face < static_cast<int>(kFaces.size()) ? kFaces[face] : kFaces[0]; }

void ApplyStyle(int style, text::FontRequest& font) {
    font.weight = style == 1 ? 700 : 400;
    font.italic = style == 2;
    font.underline = style == 3;
    font.strikeOut = style == 4;
}

// The settings of a slot that is in use (the printer page always is); null otherwise, and
// then the setter's message has been shown.
FontSettings* SettingsToSet(int target, const char* operation) {
    if (target == kPrinterHandle) return &gText.printer;
    char message[96];
    if (target < kFirstWindowHandle) {
        if (FindBitmapSlot(target) != nullptr) return &gText.bitmaps[static_cast<size_t>(target)];
        std::snprintf(message, sizeof message, "Invalid bitmap! (%s)", operation);
    } else {
        if (FindWindowSlot(target) != nullptr) {
            return &gText.windows[static_cast<size_t>(target - kFirstWindowHandle)];
        }
        std::snprintf(message, sizeof message, "Invalid window! (%s)", operation);
    }
    tb_ErrorMessage(message);
    return nullptr;
}

FontSettings SettingsOf(int target) {
    if (target == kPrinterHandle) return gText.printer;
    if (target >= 0 && target < kBitmapSlots) return gText.bitmaps[static_cast<size_t>(target)];
    if (target >= kFirstWindowHandle && target < kFirstWindowHandle + kWindowSlots) {
        return gText.windows[static_cast<size_t>(target - kFirstWindowHandle)];
    }
    return FontSettings{};
}

// The alignment is one flag word: the horizontal and vertical values are ORed, so vertical 2
// (which carries the centre bits) centres the line whatever the horizontal value was, and
// leaves it top-aligned.
constexpr int kAlignRight = 2;
constexpr int kAlignCenter = 6;
constexpr int kAlignBottom = 8;
constexpr int kAlignBaseline = 24;

int AlignmentFlags(int horizontal, int vertical) {
    const int16_t h = static_cast<int16_t>(horizontal);
    const int16_t v = static_cast<int16_t>(vertical);
    const int hFlag = h == 1 ? kAlignRight : h == 2 ? kAlignCenter : 0;
    const int vFlag = v == 1 ? kAlignBottom : v == 2 ? kAlignCenter : 0;
    return hFlag | vFlag;
}

void DecodeAlignment(int flags, text::Placement& place) {
    place.horizontal = (flags & kAlignCenter) == kAlignCenter ? text::HAlign::Center
                       : (flags & kAlignRight) != 0           ? text::HAlign::Right
                                                              : text::HAlign::Left;
    place.vertical = (flags & kAlignBaseline) == kAlignBaseline ? text::VAlign::Baseline
                     : (flags & kAlignBottom) != 0              ? text::VAlign::Bottom
                                                                : text::VAlign::Top;
}

// Callers pass a length, not a terminated string; a 0 byte still ends the text so that a
// length longer than the caller's buffer never reads past its end.
std::string_view TextSpan(const char* text, int length) {
    if (text == nullptr || length <= 0) return {};
    const void* end = std::memchr(text, 0, static_cast<size_t>(length));
    return std::string_view(text, end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - text)
                                                 : static_cast<size_t>(length));
}

// The angle in whole tenths of a degree, rounded by the program's rule.
double EscapementDegrees(double angle) { return tb_Round(angle * 10.0) / 10.0; }

// Renders and blends the line within `clip`, then shows a window's change.
Rect DrawLine(const Target& target, const text::FontRequest& font, std::string_view line,
              const text::Placement& place, const Rect& clip, Rgb8 colour) {
    text::RenderLine(font, line, place, IntersectRects(clip, Rect{0, 0, target.view.width, target.view.height}),
                     gMask);
    if (target.isPrinter) {
        target.page->fillCoverage(gMask, colour.red, colour.green, colour.blue);
        return gMask.area;
    }
    const Rect changed = text::BlendCoverage(target.view, gMask, colour.red, colour.green, colour.blue);
    PresentTarget(target, changed);
    return changed;
}

}  // namespace

void ResetTextTable() { gText = TextTable{}; }

}  // namespace toolbox

void tb_SetFont(int target, int face) {
    if (auto* settings = toolbox::SettingsToSet(target, "tb_SetFont")) settings->face = static_cast<int16_t>(face);
}

void tb_SetFontSize(int target, int size) {
    if (auto* settings = toolbox::SettingsToSet(target, "tb_SetFont")) settings->size = static_cast<int16_t>(size);
}

void tb_SetFontStyle(int target, int style) {
    if (auto* settings = toolbox::SettingsToSet(target, "tb_SetFont")) settings->style = static_cast<int16_t>(style);
}

int tb_DrawText(int target, int x, int y, const char* text, int length, double angle, int draw, int horizontal,
                int vertical) {
    toolbox::Target resolved;
    if (!toolbox::ResolveTarget(target, resolved)) return 0;
    const toolbox::FontSettings settings = toolbox::SettingsOf(target);
    const toolbox::Face& face = toolbox::FaceFor(settings.face);
    text::FontRequest font;
    font.family = face.name;
    font.kind = face.kind;
    font.size = settings.size;
    toolbox::ApplyStyle(settings.style, font);

    const std::string_view line = toolbox::TextSpan(text, length);
    if (draw != 0) {
        text::Placement place;
        place.x = x;
        place.y = y;
        place.angle = toolbox::EscapementDegrees(angle);
        toolbox::DecodeAlignment(toolbox::AlignmentFlags(horizontal, vertical), place);
        toolbox::DrawLine(resolved, font, line, place, toolbox::ClipInForce(resolved),
                          resolved.draw != nullptr ? resolved.draw->fore : toolbox::Rgb8{});
    }
    return text::MeasureLine(font, line).width;
}

Rect tb_DrawTextInFont(int target, int x, int y, const char* text, int length, const char* family, int size,
                       int style, int red, int green, int blue, double angle, const Rect* clip) {
    toolbox::Target resolved;
    if (!toolbox::ResolveTarget(target, resolved)) return Rect{};
    text::FontRequest font;
    font.family = family != nullptr ? family : "";
    font.size = size;
    toolbox::ApplyStyle(style, font);

    text::Placement place;
    place.x = x;
    place.y = y;
    place.horizontal = text::HAlign::Center;
    place.vertical = text::VAlign::Bottom;
    place.angle = toolbox::EscapementDegrees(angle);
    auto byte = [](int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    const toolbox::Rgb8 colour{byte(red), byte(green), byte(blue)};

    const bool ownClip = clip != nullptr && toolbox::IsClipSet(*clip);
    const std::string_view line = toolbox::TextSpan(text, length);
    const Rect changed =
        toolbox::DrawLine(resolved, font, line, place, ownClip ? *clip : toolbox::ClipInForce(resolved), colour);
    // The clip of this drawing replaced whatever clip was in force, and leaving removes it.
    if (ownClip && resolved.draw != nullptr) resolved.draw->clipInForce = false;
    return changed;
}

std::vector<std::string> tb_FontFamilies() {
    std::vector<std::string> families = text::InstalledFamilies();
    // The names pictures and documents use most are offered too, when the desktop has a family
    // that takes their place letter for letter.
    static const struct { const char* name; const char* compatible; } kStandIns[] = {
        {"Arial", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"},
    };
    for (const auto& standIn : kStandIns) {
        text::FontRequest font;
        font.family = standIn.name;
        if (text::ResolvedFamily(font) == standIn.compatible) families.emplace_back(standIn.name);
    }
    std::sort(families.begin(), families.end());
    return families;
}
