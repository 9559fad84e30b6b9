#include "platform/text_pango.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <strings.h>

#include "platform/raster/blit.h"

namespace text {
namespace {

// Where a name that is not installed goes, by kind. The Liberation families come first because
// they keep the advance widths of the faces our pictures and layouts were made with.
constexpr const char* kSansFallback = "Liberation Sans,Arimo,DejaVu Sans,sans-serif";
constexpr const char* kSerifFallback = "Liberation Serif,Tinos,DejaVu Serif,serif";
constexpr const char* kMonoFallback = "Liberation Mono,Cousine,DejaVu Sans Mono,monospace";
constexpr std::array<const char*, 5> kScriptFamilies = {"Brush Script MT", "Brush Script Std", "Z003",
                                                         "URW Chancery L", "TeX Gyre Chorus"};

// Family names that fontconfig invents for its generic aliases: not fonts a child can pick.
constexpr std::array<const char*, 12> kGenericFamilies = {
    "Sans",    "Serif",   "Monospace", "System-ui",     "sans-serif", "cursive",
    "fantasy", "emoji",   "math",      "ui-sans-serif", "ui-serif",   "ui-monospace"};

constexpr int32_t kDefaultCellHeight = 16;
constexpr int32_t kMaxPixels = 32767;  // sizes are 16-bit where they come from
constexpr size_t kCachedFonts = 8;
constexpr size_t kCachedLayouts = 8;  // the preview of the text tool redraws one line per move

struct FontEntry {
    FontRequest request;
    PangoFontDescription* description = nullptr;
    uint64_t lastUse = 0;
};

struct LayoutEntry {
    FontRequest request;
    std::string utf8;
    PangoLayout* layout = nullptr;
    LineMetrics metrics;
    PangoRectangle bounds{};  // ink and logical extents together, pixels of the layout frame
    uint64_t lastUse = 0;
};

struct PangoState {
    PangoFontMap* fontMap = nullptr;
    PangoContext* context = nullptr;
    std::vector<FontEntry> fonts;
    std::vector<LayoutEntry> layouts;
    uint64_t clock = 0;
    bool familiesRead = false;
    std::vector<std::string> families;
};

PangoState gPango;

PangoContext* Context() {
    if (gPango.context != nullptr) return gPango.context;
    // A font map of our own: the default one is shared with GTK and follows its settings.
    gPango.fontMap = pango_cairo_font_map_new();
    gPango.context = pango_font_map_create_context(gPango.fontMap);
    cairo_font_options_t* options = cairo_font_options_create();
    // Whole-pixel metrics keep the measured width equal to what the glyphs advance.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(gPango.context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(gPango.context, TRUE);
    return gPango.context;
}

bool IsInstalled(const char* family) {
    for (const std::string& name : InstalledFamilies()) {
        if (strcasecmp(name.c_str(), family) == 0) return true;
    }
    return false;
}

// The family list handed to fontconfig, first choice first. Forces italic for a script face
// when no script family is installed: a slanted serif is the nearest shape we have.
std::string FamilyList(const FontRequest& font, bool& forceItalic) {
    forceItalic = false;
    std::string list = font.family;
    auto append = [&list](const char* more) {
        if (!list.empty()) list += ',';
        list += more;
    };
    switch (font.kind) {
    case FontKind::Any:
        break;
    case FontKind::Sans:
        append(kSansFallback);
        break;
    case FontKind::Serif:
        append(kSerifFallback);
        break;
    case FontKind::Mono:
        append(kMonoFallback);
        break;
    case FontKind::Script: {
        bool haveScript = !font.family.empty() && IsInstalled(font.family.c_str());
        for (const char* family : kScriptFamilies) {
            if (IsInstalled(family)) {
                append(family);
                haveScript = true;
            }
        }
        if (!haveScript) forceItalic = true;
        append(kSerifFallback);
        break;
    }
    }
    return list;
}

int32_t CellHeightAt(PangoFontDescription* description, int32_t em) {
    pango_font_description_set_absolute_size(description, static_cast<double>(em) * PANGO_SCALE);
    PangoFontMetrics* metrics = pango_context_get_metrics(Context(), description, nullptr);
    const int32_t cell = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics)) +
                         PANGO_PIXELS(pango_font_metrics_get_descent(metrics));
    pango_font_metrics_unref(metrics);
    return cell;
}

// The largest em height whose cell is no taller than `cell`.
int32_t EmForCell(PangoFontDescription* description, int32_t cell) {
    constexpr int32_t kProbe = 1000;
    const int32_t probeCell = CellHeightAt(description, kProbe);
    // Without a single font (a bare container) every cell is 0 high and the search below would
    // walk to the largest size; the cell itself is as good an em height as any then.
    if (probeCell <= 0) return cell;
    int32_t em = std::max(1, static_cast<int32_t>(static_cast<int64_t>(cell) * kProbe / probeCell));
    while (em > 1 && CellHeightAt(description, em) > cell) --em;
    while (em < kMaxPixels && CellHeightAt(description, em + 1) <= cell) ++em;
    return em;
}

PangoFontDescription* MakeDescription(const FontRequest& font) {
    bool forceItalic = false;
    PangoFontDescription* description = pango_font_description_new();
    // set_family, never from_string: "Times New Roman" would lose "Roman" as a style word.
    pango_font_description_set_family(description, FamilyList(font, forceItalic).c_str());
    pango_font_description_set_weight(description, static_cast<PangoWeight>(std::clamp(font.weight, 100, 1000)));
    pango_font_description_set_style(description,
                                     font.italic || forceItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    int32_t em = std::min(font.size, kMaxPixels);
    if (font.size <= 0) {
        const int32_t cell = font.size == 0 ? kDefaultCellHeight : font.size < -kMaxPixels ? kMaxPixels : -font.size;
        em = EmForCell(description, cell);
    }
    pango_font_description_set_absolute_size(description, static_cast<double>(em) * PANGO_SCALE);
    return description;
}

PangoFontDescription* DescriptionFor(const FontRequest& font) {
    ++gPango.clock;
    for (FontEntry& entry : gPango.fonts) {
        if (entry.request == font) {
            entry.lastUse = gPango.clock;
            return entry.description;
        }
    }
    if (gPango.fonts.size() == kCachedFonts) {
        auto oldest = std::min_element(gPango.fonts.begin(), gPango.fonts.end(),
                                       [](const FontEntry& a, const FontEntry& b) { return a.lastUse < b.lastUse; });
        pango_font_description_free(oldest->description);
        gPango.fonts.erase(oldest);
    }
    gPango.fonts.push_back(FontEntry{font, MakeDescription(font), gPango.clock});
    return gPango.fonts.back().description;
}

void FillLayout(LayoutEntry& entry) {
    PangoLayout* layout = pango_layout_new(Context());
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    pango_layout_set_font_description(layout, DescriptionFor(entry.request));
    if (entry.request.underline || entry.request.strikeOut) {
        PangoAttrList* attributes = pango_attr_list_new();
        if (entry.request.underline) pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (entry.request.strikeOut) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
        pango_layout_set_attributes(layout, attributes);
        pango_attr_list_unref(attributes);
    }
    // Pango wants valid UTF-8; a cut or foreign byte becomes U+FFFD instead of a warning.
    gchar* valid = g_utf8_make_valid(entry.utf8.data(), static_cast<gssize>(entry.utf8.size()));
    pango_layout_set_text(layout, valid, -1);
    g_free(valid);

    PangoRectangle ink{}, logical{};
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    const int32_t ascent = PANGO_PIXELS(pango_layout_get_baseline(layout)) - logical.y;
    entry.metrics = LineMetrics{logical.width, ascent, logical.height - ascent};
    // The box the mask must cover, relative to the cell's top-left corner.
    PangoRectangle bounds = logical;
    if (ink.width > 0 && ink.height > 0) {
        const int32_t left = std::min(ink.x, logical.x), top = std::min(ink.y, logical.y);
        const int32_t right = std::max(ink.x + ink.width, logical.x + logical.width);
        const int32_t bottom = std::max(ink.y + ink.height, logical.y + logical.height);
        bounds = PangoRectangle{left, top, right - left, bottom - top};
    }
    bounds.x -= logical.x;
    bounds.y -= logical.y;
    entry.bounds = bounds;
    entry.layout = layout;
}

LayoutEntry& LayoutFor(const FontRequest& font, std::string_view utf8) {
    ++gPango.clock;
    for (LayoutEntry& entry : gPango.layouts) {
        if (entry.request == font && entry.utf8 == utf8) {
            entry.lastUse = gPango.clock;
            return entry;
        }
    }
    if (gPango.layouts.size() == kCachedLayouts) {
        auto oldest = std::min_element(gPango.layouts.begin(), gPango.layouts.end(),
                                       [](const LayoutEntry& a, const LayoutEntry& b) { return a.lastUse < b.lastUse; });
        g_object_unref(oldest->layout);
        gPango.layouts.erase(oldest);
    }
    gPango.layouts.push_back(LayoutEntry{font, std::string(utf8), nullptr, {}, {}, gPango.clock});
    FillLayout(gPango.layouts.back());
    return gPango.layouts.back();
}

// Top-left corner of the cell relative to the reference point, in the line's own frame.
void CellOrigin(const LineMetrics& metrics, const Placement& place, double& cx, double& cy) {
    cx = place.horizontal == HAlign::Left ? 0 : place.horizontal == HAlign::Right ? -metrics.width : -(metrics.width / 2);
    cy = place.vertical == VAlign::Top ? 0 : place.vertical == VAlign::Baseline ? -metrics.ascent : -metrics.height();
}

// The target pixels the rotated box may touch, one pixel of anti-aliasing to spare.
Rect RotatedBounds(const PangoRectangle& box, double cx, double cy, const Placement& place) {
    const double radians = place.angle * std::numbers::pi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    const double xs[2] = {cx + box.x - 1.0, cx + box.x + box.width + 1.0};
    const double ys[2] = {cy + box.y - 1.0, cy + box.y + box.height + 1.0};
    double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
    for (double u : xs) {
        for (double v : ys) {
            const double x = place.x + u * c + v * s;
            const double y = place.y - u * s + v * c;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    // Far outside any target: keep the numbers in range before they become integers.
    auto limit = [](double v) { return std::clamp(v, -1.0e9, 1.0e9); };
    return Rect{static_cast<int32_t>(std::floor(limit(left))), static_cast<int32_t>(std::floor(limit(top))),
                static_cast<int32_t>(std::ceil(limit(right))), static_cast<int32_t>(std::ceil(limit(bottom)))};
}

bool IsGeneric(const char* name) {
    for (const char* generic : kGenericFamilies) {
        if (strcasecmp(name, generic) == 0) return true;
    }
    return false;
}

// A family a child can write with: its first face has the letters of the Latin alphabet. Symbol
// and picture fonts (and fonts of one other script only) have not.
bool WritesLatin(PangoFontFamily* family) {
    PangoFontFace** faces = nullptr;
    int faceCount = 0;
    pango_font_family_list_faces(family, &faces, &faceCount);
    bool latin = false;
    if (faceCount > 0) {
        PangoFontDescription* description = pango_font_face_describe(faces[0]);
        if (PangoFont* font = pango_font_map_load_font(gPango.fontMap, Context(), description)) {
            PangoCoverage* coverage = pango_font_get_coverage(font, pango_language_from_string("en"));
            latin = coverage != nullptr && pango_coverage_get(coverage, 'A') != PANGO_COVERAGE_NONE &&
                    pango_coverage_get(coverage, 'z') != PANGO_COVERAGE_NONE;
            if (coverage != nullptr) pango_coverage_unref(coverage);
            g_object_unref(font);
        }
        pango_font_description_free(description);
    }
    g_free(faces);
    return latin;
}

bool IsScalable(PangoFontFamily* family) {
    PangoFontFace** faces = nullptr;
    int faceCount = 0;
    pango_font_family_list_faces(family, &faces, &faceCount);
    bool scalable = false;
    for (int i = 0; i < faceCount && !scalable; ++i) {
        int* sizes = nullptr;
        int sizeCount = 0;
        pango_font_face_list_sizes(faces[i], &sizes, &sizeCount);
        scalable = sizes == nullptr;  // a face with fixed sizes is a bitmap font
        g_free(sizes);
    }
    g_free(faces);
    return scalable;
}

}  // namespace

LineMetrics MeasureLine(const FontRequest& font, std::string_view utf8) { return LayoutFor(font, utf8).metrics; }

void RenderLine(const FontRequest& font, std::string_view utf8, const Placement& place, const Rect& clip,
                CoverageMask& out) {
    out.area = Rect{};
    out.stride = 0;
    LayoutEntry& entry = LayoutFor(font, utf8);
    double cx = 0, cy = 0;
    CellOrigin(entry.metrics, place, cx, cy);
    const Rect area = IntersectRects(RotatedBounds(entry.bounds, cx, cy, place), clip);
    if (area.isEmpty()) return;

    const int32_t stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, area.width());
    out.alpha.assign(static_cast<size_t>(stride) * static_cast<size_t>(area.height()), 0);
    out.area = area;
    out.stride = stride;
    cairo_surface_t* surface = cairo_image_surface_create_for_data(out.alpha.data(), CAIRO_FORMAT_A8, area.width(),
                                                                   area.height(), stride);
    cairo_t* cr = cairo_create(surface);
    cairo_translate(cr, place.x - area.left, place.y - area.top);
    if (place.angle != 0.0) cairo_rotate(cr, -place.angle * std::numbers::pi / 180.0);
    PangoRectangle logical{};
    pango_layout_get_pixel_extents(entry.layout, nullptr, &logical);
    cairo_move_to(cr, cx - logical.x, cy - logical.y);
    pango_cairo_show_layout(cr, entry.layout);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
}

namespace {

// Returns the first and last+1 columns written in the row, or first >= last when none.
struct Ink {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t index = 0;  // 8-bit views
};

Ink InkFor(const PixelView& view, uint8_t red, uint8_t green, uint8_t blue) {
    Ink ink{blue, green, red, 0};
    if (view.bitCount != 8) return ink;
    // Without a colour table the indices are grey levels.
    ink.index = view.colorTable != nullptr ? raster::NearestColorIndex(view.colorTable, red, green, blue)
                                           : static_cast<uint8_t>((red + green + blue) / 3);
    return ink;
}

void BlendRow24(uint8_t* pixels, const uint8_t* alpha, int32_t count, const Ink& ink, int32_t& first,
                int32_t& last) {
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t a = alpha[i];
        if (a == 0) continue;
        uint8_t* p = pixels + 3 * static_cast<intptr_t>(i);
        const uint32_t keep = 255 - a;
        p[0] = static_cast<uint8_t>((p[0] * keep + ink.blue * a + 127) / 255);
        p[1] = static_cast<uint8_t>((p[1] * keep + ink.green * a + 127) / 255);
        p[2] = static_cast<uint8_t>((p[2] * keep + ink.red * a + 127) / 255);
        if (first >= last) first = i;
        last = i + 1;
    }
}

void BlendRow8(uint8_t* pixels, const uint8_t* alpha, int32_t count, const Ink& ink, int32_t& first,
               int32_t& last) {
    for (int32_t i = 0; i < count; ++i) {
        if (alpha[i] < 128) continue;
        pixels[i] = ink.index;
        if (first >= last) first = i;
        last = i + 1;
    }
}

}  // namespace

Rect BlendCoverage(const PixelView& view, const CoverageMask& mask, uint8_t red, uint8_t green, uint8_t blue) {
    if (mask.area.isEmpty()) return Rect{};
    const Ink ink = InkFor(view, red, green, blue);
    const bool deep = view.bitCount != 8;
    const int32_t bytesPerPixel = deep ? 3 : 1;
    Rect changed{};
    bool any = false;
    const int32_t width = mask.area.width();
    for (int32_t y = mask.area.top; y < mask.area.bottom; ++y) {
        uint8_t* pixels = RowPointer(view, y) + static_cast<intptr_t>(mask.area.left) * bytesPerPixel;
        const uint8_t* alpha = mask.alpha.data() + static_cast<size_t>(y - mask.area.top) * static_cast<size_t>(mask.stride);
        int32_t first = 0, last = 0;
        if (deep) {
            BlendRow24(pixels, alpha, width, ink, first, last);
        } else {
            BlendRow8(pixels, alpha, width, ink, first, last);
        }
        if (first >= last) continue;
        const Rect row{mask.area.left + first, y, mask.area.left + last, y + 1};
        if (!any) {
            changed = row;
            any = true;
        } else {
            changed = Rect{std::min(changed.left, row.left), changed.top, std::max(changed.right, row.right), row.bottom};
        }
    }
    return changed;
}

const std::vector<std::string>& InstalledFamilies() {
    if (gPango.familiesRead) return gPango.families;
    Context();
    PangoFontFamily** families = nullptr;
    int count = 0;
    pango_font_map_list_families(gPango.fontMap, &families, &count);
    for (int i = 0; i < count; ++i) {
        const char* name = pango_font_family_get_name(families[i]);
        if (name == nullptr || IsGeneric(name) || !IsScalable(families[i]) || !WritesLatin(families[i])) continue;
        gPango.families.emplace_back(name);
    }
    g_free(families);
    std::sort(gPango.families.begin(), gPango.families.end());
    gPango.families.erase(std::unique(gPango.families.begin(), gPango.families.end()), gPango.families.end());
    gPango.familiesRead = true;
    return gPango.families;
}

int32_t EmHeightOf(const FontRequest& font) {
    return pango_font_description_get_size(DescriptionFor(font)) / PANGO_SCALE;
}

std::string ResolvedFamily(const FontRequest& font) {
    PangoFont* loaded = pango_context_load_font(Context(), DescriptionFor(font));
    if (loaded == nullptr) return "";
    PangoFontDescription* description = pango_font_describe(loaded);
    const char* family = pango_font_description_get_family(description);
    std::string name = family != nullptr ? family : "";
    pango_font_description_free(description);
    g_object_unref(loaded);
    return name;
}

namespace {

void DropLayoutsAndFonts() {
    for (LayoutEntry& entry : gPango.layouts) g_object_unref(entry.layout);
    for (FontEntry& entry : gPango.fonts) pango_font_description_free(entry.description);
    gPango.layouts.clear();
    gPango.fonts.clear();
}

}  // namespace

void ReleaseFontCaches() {
    if (gPango.context == nullptr || (gPango.layouts.empty() && gPango.fonts.empty())) return;
    DropLayoutsAndFonts();
    // The font map keeps every font it has opened, with its file mapped and its glyphs drawn;
    // Context() makes a fresh one when text is next needed.
    g_object_unref(gPango.context);
    g_object_unref(gPango.fontMap);
    gPango.context = nullptr;
    gPango.fontMap = nullptr;
}

void ClearTextCaches() {
    DropLayoutsAndFonts();
    gPango.families.clear();
    gPango.familiesRead = false;
}

}  // namespace text

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig keeps its caches for the life of the process and links their parts by offsets that
// the leak checker cannot follow, so at exit they look lost. Every binary that draws text links
// this file; this is the one definition of the checker's default suppressions in the program.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
