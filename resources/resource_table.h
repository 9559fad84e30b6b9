// The index of the compiled-in resources. The table and the blob are generated at build time by
// the resource compiler (resources/compiler); only lookup.cpp reads them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "resources/resources.h"

struct ResourceEntry {
    ResourceKind kind;
    int id;
    uint32_t offset;  // into pictoria_resource_blob
    uint32_t size;
};

// Sorted by kind, then id; the sizes of one icon stay in their manifest order.
extern const ResourceEntry kResourceTable[];
extern const size_t kResourceTableSize;

// Pictures drawn again for a language (the labels with translated names), kept only where they
// differ from the English: each is the English picture's bytes XOR the translated ones, deflated.
struct TranslatedEntry {
    const char* language;  // as the translations are named: "de", "pt_BR"
    int id;                // a Bitmap's
    uint32_t offset;       // into pictoria_resource_blob
    uint32_t size;
};

// Sorted by language, then id.
extern const TranslatedEntry kTranslatedTable[];
extern const size_t kTranslatedTableSize;

extern "C" const uint8_t pictoria_resource_blob[];
