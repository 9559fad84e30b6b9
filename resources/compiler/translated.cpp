#include "translated.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "render.h"

namespace {

// The drawing whose rows are the label strips, and where a name may be written on one: right of
// the tool's picture (which ends at x 211.5) and clear of the strip's ends and top row, which
// the table picture continues.
constexpr const char* kLabelsDrawing = "labels/labels.svg";
constexpr int kNameLeft = 214;
constexpr int kRightMargin = 6;

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A bmp24 resource's pixel, top row first.
const uint8_t* PixelOf(const Bytes& bmp, int width, int height, int x, int y) {
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    return &bmp[40 + static_cast<size_t>(height - 1 - y) * stride + static_cast<size_t>(x) * 3];
}

struct Change {
    int firstX = -1, lastX = -1;
    bool topRow = false;
};

Change Compare(const Bytes& english, const Bytes& translated, int width, int height) {
    Change c;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* a = PixelOf(english, width, height, x, y);
            const uint8_t* b = PixelOf(translated, width, height, x, y);
            if (a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) continue;
            if (c.firstX < 0 || x < c.firstX) c.firstX = x;
            if (x > c.lastX) c.lastX = x;
            c.topRow = c.topRow || y == 0;
        }
    }
    return c;
}

std::string Unescape(std::string s) {
    static const struct { const char* entity; char c; } kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& e : kEntities) {
        for (size_t at = s.find(e.entity); at != std::string::npos; at = s.find(e.entity, at + 1))
            s.replace(at, std::string(e.entity).size(), 1, e.c);
    }
    return s;
}

// The texts written in the group id="label-<id>" of a drawing, in order: in a translated drawing
// the English name, then its translation.
std::vector<std::string> NamesIn(const std::string& svgPath, int id) {
    std::ifstream file(svgPath, std::ios::binary);
    std::ostringstream s;
    s << file.rdbuf();
    const std::string svg = s.str();
    std::vector<std::string> names;
    size_t at = svg.find("id=\"label-" + std::to_string(id) + "\"");
    const size_t end = at == std::string::npos ? at : svg.find("id=\"label-", at + 1);
    while (at != std::string::npos && (at = svg.find("<text", at)) < end) {
        const size_t open = svg.find('>', at), close = svg.find("</text>", at);
        if (open == std::string::npos || close == std::string::npos) break;
        names.push_back(Unescape(svg.substr(open + 1, close - open - 1)));
        at = close;
    }
    return names;
}

// A label's name must lie right of its picture, inside the strip with a margin, below its top row.
bool CheckLabelFits(const std::string& language, const std::string& svgPath, const ManifestEntry& e,
                    const Change& c) {
    const int limit = e.width - kRightMargin;
    if (c.firstX >= kNameLeft && c.lastX < limit && !c.topRow) return true;
    const std::vector<std::string> names = NamesIn(svgPath, e.id);
    std::fprintf(stderr,
                 "%s: language %s: label %d \"%s\" as \"%s\" does not fit its %dx%d strip: the name "
                 "covers x %d to %d%s (it must stay within %d to %d, below the top row)\n",
                 svgPath.c_str(), language.c_str(), e.id, names.empty() ? "?" : names.front().c_str(),
                 names.empty() ? "?" : names.back().c_str(), e.width, e.height, c.firstX, c.lastX,
                 c.topRow ? " and reaches the top row" : "", kNameLeft, limit - 1);
    return false;
}

Bytes Pack(const Bytes& english, const Bytes& translated) {
    Bytes diff(translated.size());
    for (size_t i = 0; i < diff.size(); ++i) diff[i] = english[i] ^ translated[i];
    uLongf size = compressBound(diff.size());
    Bytes packed(size);
    if (compress2(packed.data(), &size, diff.data(), diff.size(), Z_BEST_COMPRESSION) != Z_OK) return {};
    packed.resize(size);
    return packed;
}

}  // namespace

bool RenderTranslation(const std::string& language, const std::string& folder,
                       const std::vector<ManifestEntry>& entries, const std::vector<Bytes>& english,
                       std::vector<TranslatedPicture>& out) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const ManifestEntry& e = entries[i];
        if (e.kind != EntryKind::Bmp24 || !Exists(folder + "/" + e.source)) continue;
        Picture picture;
        if (!RenderSvg(folder, e, picture)) return false;
        const Bytes bytes = EncodeBmp24(picture, e.cutout);
        if (bytes == english[i]) continue;
        if (e.source == kLabelsDrawing &&
            !CheckLabelFits(language, folder + "/" + e.source, e, Compare(english[i], bytes, e.width, e.height)))
            return false;
        TranslatedPicture t{language, e.id, bytes, Pack(english[i], bytes)};
        if (t.packed.empty()) return std::fprintf(stderr, "%s: cannot compress\n", language.c_str()), false;
        out.push_back(std::move(t));
    }
    return true;
}
