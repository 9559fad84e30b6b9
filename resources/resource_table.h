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

extern "C" const uint8_t pictoria_resource_blob[];
