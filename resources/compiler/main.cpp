// The resource compiler: reads the manifest, renders every resource into the program's formats and
// writes three files into the output folder:
//   resources.bin         all resources back to back, each starting on a 4-byte boundary;
//   resources_blob.S      embeds resources.bin in read-only data as pictoria_resource_blob;
//   resource_table.cpp    the index: kind, id, offset and size of each resource.
//
//   pictoria_rescomp <manifest> <art folder> <output folder> [--preview <folder>]
//                    [--translated <language> <art folder>]...
//   pictoria_rescomp --page <drawing.svg> <page.bmp> <W>x<H>
//   pictoria_rescomp --icon <drawing.svg> <icon.png> <size>
//
// With --preview, every picture is also written as a PNG, and the cursors and icons as enlarged
// contact sheets, for looking at the art as the program will get it.
//
// With --translated, the pictures whose drawing also lies under that language's art folder (the
// labels with translated names) are drawn again from there; those that differ from the English
// are added to the table of that language (see translated.h). Previews of them are written as
// bitmap_<id>_<language>.png.
//
// With --page, one colouring page is rendered without anti-aliasing into a 24-bit BMP file:
// every pixel pure black or pure white, so that the Jar fills each closed shape cleanly.
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "encode.h"
#include "manifest.h"
#include "preview.h"
#include "render.h"
#include "translated.h"
#include "wave.h"

namespace {

const char* KindName(EntryKind kind) {
    switch (kind) {
        case EntryKind::Cursor: return "ResourceKind::Cursor";
        case EntryKind::Icon: return "ResourceKind::Icon";
        case EntryKind::Wave: return "ResourceKind::Wave";
        default: return "ResourceKind::Bitmap";
    }
}

int KindOrder(EntryKind kind) {
    switch (kind) {
        case EntryKind::Cursor: return 1;
        case EntryKind::Icon: return 2;
        case EntryKind::Wave: return 3;
        default: return 0;
    }
}

bool Build(const std::string& artDir, const ManifestEntry& e, Bytes& out) {
    if (e.kind == EntryKind::Wave) return MakeWave(artDir, e.source, out);
    Picture picture;
    if (!RenderSvg(artDir, e, picture)) return false;
    switch (e.kind) {
        case EntryKind::Bmp24: out = EncodeBmp24(picture, e.cutout); break;
        case EntryKind::Bmp8: out = EncodeBmp8(picture, e.cutout); break;
        case EntryKind::Mask: out = EncodeMask(picture); break;
        case EntryKind::Cursor: out = EncodeCursor(picture, e.hotX, e.hotY); break;
        case EntryKind::Icon: out = EncodeCursor(picture, 0, 0); break;
        case EntryKind::Wave: break;
    }
    return true;
}

// Icons may have several lines (one per size) under one id; everything else must be unique.
bool CheckUnique(const std::vector<ManifestEntry>& entries) {
    std::set<std::pair<int, int>> seen;
    for (const ManifestEntry& e : entries) {
        if (e.kind == EntryKind::Icon) continue;
        if (!seen.emplace(KindOrder(e.kind), e.id).second) {
            std::fprintf(stderr, "manifest line %d: id %d is already used for this kind\n", e.line,
                         e.id);
            return false;
        }
    }
    return true;
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

struct Placed {
    const ManifestEntry* entry;
    size_t offset, size;
};

// The translated pictures' table: sorted by language, then id, as lookup.cpp searches it.
std::string TranslatedTableSource(const std::vector<TranslatedPicture>& pictures,
                                  const std::vector<size_t>& offsets) {
    std::vector<size_t> order(pictures.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return pictures[a].language != pictures[b].language ? pictures[a].language < pictures[b].language
                                                            : pictures[a].id < pictures[b].id;
    });
    std::string s = "\n// Sorted by language, then id.\nconst TranslatedEntry kTranslatedTable[] = {\n";
    char line[160];
    for (size_t i : order) {
        std::snprintf(line, sizeof line, "    {\"%s\", %d, %zu, %zu},\n", pictures[i].language.c_str(),
                      pictures[i].id, offsets[i], pictures[i].packed.size());
        s += line;
    }
    s += "    {\"\", 0, 0, 0},  // end marker, not counted\n};\n";
    s += "const size_t kTranslatedTableSize = " + std::to_string(pictures.size()) + ";\n";
    return s;
}

std::string TableSource(std::vector<Placed> placed) {
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        int ka = KindOrder(a.entry->kind), kb = KindOrder(b.entry->kind);
        return ka != kb ? ka < kb : a.entry->id < b.entry->id;
    });
    std::string s =
        "// Generated by the resource compiler from resources/manifest.txt. Do not edit.\n"
        "#include \"resources/resource_table.h\"\n\n"
        "// Sorted by kind, then id; the sizes of one icon in manifest order.\n"
        "const ResourceEntry kResourceTable[] = {\n";
    char line[160];
    for (const Placed& p : placed) {
        std::snprintf(line, sizeof line, "    {%s, %d, %zu, %zu},\n", KindName(p.entry->kind),
                      p.entry->id, p.offset, p.size);
        s += line;
    }
    s += "    {ResourceKind::Wave, 0, 0, 0},  // end marker, not counted\n};\n";
    s += "const size_t kResourceTableSize = " + std::to_string(placed.size()) + ";\n";
    return s;
}

std::string BlobSource(const std::string& blobPath) {
    return "/* Generated by the resource compiler. Do not edit. */\n"
           "    .section .rodata\n"
           "    .balign 16\n"
           "    .globl pictoria_resource_blob\n"
           "    .type pictoria_resource_blob, @object\n"
           "pictoria_resource_blob:\n"
           "    .incbin \"" + blobPath + "\"\n"
           "    .byte 0\n"
           "    .size pictoria_resource_blob, . - pictoria_resource_blob\n"
           "    .section .note.GNU-stack,\"\",@progbits\n";
}

// Dark pixels become the black of the outlines, everything else the white of the paper.
Bytes PageFile(const Picture& p) {
    Picture bw = p;
    for (size_t i = 0; i < bw.rgba.size(); i += 4) {
        uint8_t* px = &bw.rgba[i];
        // Over white paper: the colour is the premultiplied value plus the uncovered part.
        const int luma = (299 * (px[0] + 255 - px[3]) + 587 * (px[1] + 255 - px[3]) +
                          114 * (px[2] + 255 - px[3])) / 1000;
        const uint8_t v = luma < 128 ? 0 : 255;
        px[0] = px[1] = px[2] = v;
        px[3] = 255;
    }
    Bytes info = EncodeBmp24(bw, false);
    const uint32_t total = static_cast<uint32_t>(14 + info.size());
    Bytes file = {'B', 'M'};
    for (uint32_t v : {total, 0u, 54u}) {
        for (int k = 0; k < 4; ++k) file.push_back(static_cast<uint8_t>(v >> (8 * k)));
    }
    file.insert(file.end(), info.begin(), info.end());
    return file;
}

// The entry for one drawing given by its path, and the folder it lies in.
ManifestEntry EntryFor(const std::string& svg, std::string& folder) {
    ManifestEntry e;
    const size_t slash = svg.find_last_of('/');
    folder = slash == std::string::npos ? "." : svg.substr(0, slash);
    e.source = slash == std::string::npos ? svg : svg.substr(slash + 1);
    return e;
}

int RenderPage(const std::string& svg, const std::string& out, const std::string& size) {
    std::string folder;
    ManifestEntry e = EntryFor(svg, folder);
    e.noAntialias = true;
    if (std::sscanf(size.c_str(), "%dx%d", &e.width, &e.height) != 2 || e.width <= 0 || e.height <= 0) {
        std::fprintf(stderr, "%s: the size must be WxH\n", size.c_str());
        return 2;
    }
    Picture picture;
    if (!RenderSvg(folder, e, picture)) return 1;
    const Bytes bytes = PageFile(picture);
    if (!WriteText(out, std::string(bytes.begin(), bytes.end()))) {
        std::fprintf(stderr, "%s: cannot write\n", out.c_str());
        return 1;
    }
    return 0;
}

// The desktop's icon at one size: the drawing anti-aliased over transparency, as a PNG.
int RenderIcon(const std::string& svg, const std::string& out, const std::string& size) {
    std::string folder;
    ManifestEntry e = EntryFor(svg, folder);
    e.width = e.height = std::atoi(size.c_str());
    Picture picture;
    if (e.width <= 0 || !RenderSvg(folder, e, picture)) return 1;
    cairo_surface_t* icon = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, e.width, e.height);
    uint8_t* rows = cairo_image_surface_get_data(icon);
    for (int y = 0; y < e.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(rows + static_cast<size_t>(y) * cairo_image_surface_get_stride(icon));
        for (int x = 0; x < e.width; ++x) {
            const uint8_t* px = picture.At(x, y);  // premultiplied, as cairo keeps it
            row[x] = uint32_t{px[3]} << 24 | uint32_t{px[0]} << 16 | uint32_t{px[1]} << 8 | px[2];
        }
    }
    cairo_surface_mark_dirty(icon);
    const bool written = cairo_surface_write_to_png(icon, out.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(icon);
    if (!written) std::fprintf(stderr, "%s: cannot write\n", out.c_str());
    return written ? 0 : 1;
}

struct Options {
    std::string manifest, artDir, outDir, previewDir;
    std::vector<std::pair<std::string, std::string>> translated;  // language, art folder
};

bool ReadOptions(int argc, char** argv, Options& o) {
    if (argc < 4) return false;
    o.manifest = argv[1], o.artDir = argv[2], o.outDir = argv[3];
    for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--preview" && i + 1 < argc) {
            o.previewDir = argv[++i];
        } else if (option == "--translated" && i + 2 < argc) {
            o.translated.emplace_back(argv[i + 1], argv[i + 2]);
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

void Append(Bytes& blob, const Bytes& bytes) {
    blob.insert(blob.end(), bytes.begin(), bytes.end());
    blob.resize((blob.size() + 3) & ~size_t{3}, 0);
}

int Compile(const Options& o) {
    std::vector<ManifestEntry> entries;
    if (!ReadManifest(o.manifest, entries) || !CheckUnique(entries)) return 1;

    Bytes blob;
    std::vector<Placed> placed;
    std::vector<Bytes> made;
    Previews previews;
    for (const ManifestEntry& e : entries) {
        Bytes bytes;
        if (!Build(o.artDir, e, bytes)) {
            std::fprintf(stderr, "%s:%d: resource %d failed\n", o.manifest.c_str(), e.line, e.id);
            return 1;
        }
        placed.push_back({&e, blob.size(), bytes.size()});
        Append(blob, bytes);
        if (!o.previewDir.empty()) previews.Add(e, bytes);
        made.push_back(std::move(bytes));
    }
    std::vector<TranslatedPicture> translated;
    for (const auto& [language, folder] : o.translated) {
        if (!RenderTranslation(language, folder, entries, made, translated)) return 1;
    }
    std::vector<size_t> offsets;
    for (const TranslatedPicture& t : translated) {
        offsets.push_back(blob.size());
        Append(blob, t.packed);
        if (o.previewDir.empty()) continue;
        for (const ManifestEntry& e : entries)
            if (e.id == t.id && e.kind == EntryKind::Bmp24) previews.Add(e, t.bytes, t.language);
    }

    const std::string blobPath = o.outDir + "/resources.bin";
    if (!WriteText(blobPath, std::string(blob.begin(), blob.end())) ||
        !WriteText(o.outDir + "/resources_blob.S", BlobSource(blobPath)) ||
        !WriteText(o.outDir + "/resource_table.cpp",
                   TableSource(placed) + TranslatedTableSource(translated, offsets))) {
        std::fprintf(stderr, "%s: cannot write the output\n", o.outDir.c_str());
        return 1;
    }
    if (!o.previewDir.empty() && !previews.Write(o.previewDir)) return 1;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--page") return RenderPage(argv[2], argv[3], argv[4]);
    if (argc == 5 && std::string(argv[1]) == "--icon") return RenderIcon(argv[2], argv[3], argv[4]);
    Options options;
    if (!ReadOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s <manifest> <art folder> <output folder> [--preview <folder>] "
                     "[--translated <language> <art folder>]...\n",
                     argv[0]);
        return 2;
    }
    return Compile(options);
}
