// Preview images of the compiled resources, decoded from the very bytes the program receives.
#pragma once

#include <string>
#include <vector>

#include "encode.h"
#include "manifest.h"

typedef struct _cairo_surface cairo_surface_t;

class Previews {
public:
    Previews() = default;
    Previews(const Previews&) = delete;
    Previews& operator=(const Previews&) = delete;
    ~Previews();

    // `language` names a translated picture: it is written as bitmap_<id>_<language>.png.
    void Add(const ManifestEntry& entry, const Bytes& bytes, const std::string& language = "");
    // Writes bitmap_<id>.png per picture, cursors.png and icons.png (enlarged, over light and dark
    // backgrounds, hot spots marked in red).
    bool Write(const std::string& folder) const;

private:
    struct Item {
        EntryKind kind;
        int id, hotX, hotY;
        cairo_surface_t* surface;
        std::string language;
    };
    std::vector<Item> items_;
};
