#include "render.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

// librsvg chooses anti-aliasing per shape from 'shape-rendering', overriding the cairo context,
// so an un-anti-aliased drawing is asked for through a style sheet that beats every attribute.
std::string ForceCrispEdges(const std::string& svg) {
    size_t open = svg.find("<svg");
    size_t close = open == std::string::npos ? open : svg.find('>', open);
    if (close == std::string::npos) return svg;
    const char* style =
        "<style>*{shape-rendering:crispEdges !important;text-rendering:optimizeSpeed "
        "!important}</style>";
    return svg.substr(0, close + 1) + style + svg.substr(close + 1);
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream s;
    s << file.rdbuf();
    text = s.str();
    return true;
}

RsvgHandle* OpenSvg(const std::string& path, bool crisp) {
    std::string text;
    if (!ReadFile(path, text)) {
        std::fprintf(stderr, "%s: cannot read\n", path.c_str());
        return nullptr;
    }
    if (crisp) text = ForceCrispEdges(text);
    GError* error = nullptr;
    GFile* base = g_file_new_for_path(path.c_str());
    GInputStream* stream = g_memory_input_stream_new_from_data(text.data(), text.size(), nullptr);
    RsvgHandle* handle =
        rsvg_handle_new_from_stream_sync(stream, base, RSVG_HANDLE_FLAGS_NONE, nullptr, &error);
    g_object_unref(stream);
    g_object_unref(base);
    if (!handle) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error ? error->message : "bad SVG");
        if (error) g_error_free(error);
    }
    return handle;
}

}  // namespace

bool RenderSvg(const std::string& artDir, const ManifestEntry& entry, Picture& out) {
    const std::string path = artDir + "/" + entry.source;
    RsvgHandle* handle = OpenSvg(path, entry.noAntialias);
    if (!handle) return false;

    double docW = 0, docH = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &docW, &docH)) {
        std::fprintf(stderr, "%s: the drawing needs a width and height\n", path.c_str());
        g_object_unref(handle);
        return false;
    }
    ViewBox view = entry.view.value_or(ViewBox{0, 0, docW, docH});

    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, entry.width, entry.height);
    cairo_t* cr = cairo_create(surface);
    if (entry.noAntialias) cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_scale(cr, entry.width / view.w, entry.height / view.h);
    cairo_translate(cr, -view.x, -view.y);

    RsvgRectangle viewport{0, 0, docW, docH};
    GError* error = nullptr;
    std::string layerId = "#" + entry.layer;
    gboolean ok = entry.layer.empty()
                      ? rsvg_handle_render_document(handle, cr, &viewport, &error)
                      : rsvg_handle_render_layer(handle, cr, layerId.c_str(), &viewport, &error);
    if (!ok) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error ? error->message : "cannot render");
        if (error) g_error_free(error);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    out.width = entry.width;
    out.height = entry.height;
    out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 0);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < out.height; ++y) {
        // cairo keeps each pixel as one native-endian 32-bit word: alpha in the top byte.
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < out.width; ++x) {
            uint32_t p = row[x];
            uint8_t* o = &out.rgba[(static_cast<size_t>(y) * out.width + x) * 4];
            o[0] = (p >> 16) & 255;
            o[1] = (p >> 8) & 255;
            o[2] = p & 255;
            o[3] = p >> 24;
            if (entry.noAntialias && o[3] != 0 && o[3] != 255) {
                // Whatever partial coverage is left (images, filters) is decided one way or the other.
                if (IsShown(o)) {
                    for (int c = 0; c < 3; ++c) o[c] = static_cast<uint8_t>(o[c] * 255 / o[3]);
                    o[3] = 255;
                } else {
                    o[0] = o[1] = o[2] = o[3] = 0;
                }
            }
        }
    }
    cairo_surface_destroy(surface);
    g_object_unref(handle);
    return ok;
}
