#include <algorithm>

#include "resources/resource_table.h"
#include "resources/resources.h"

namespace {

bool Before(const ResourceEntry& e, ResourceKind kind, int id) {
    return e.kind != kind ? e.kind < kind : e.id < id;
}

// The index-th entry of that kind and id, or null.
const ResourceEntry* Find(ResourceKind kind, int id, int index) {
    if (index < 0) return nullptr;
    const ResourceEntry* end = kResourceTable + kResourceTableSize;
    const ResourceEntry* first = std::lower_bound(
        kResourceTable, end, 0, [&](const ResourceEntry& e, int) { return Before(e, kind, id); });
    if (end - first <= index) return nullptr;
    const ResourceEntry* e = first + index;
    return e->kind == kind && e->id == id ? e : nullptr;
}

ResourceData DataOf(const ResourceEntry* e) {
    if (!e) return {};
    return {pictoria_resource_blob + e->offset, e->size};
}

}  // namespace

ResourceData FindResource(ResourceKind kind, int id) { return DataOf(Find(kind, id, 0)); }

ResourceData FindIcon(int id, int index) { return DataOf(Find(ResourceKind::Icon, id, index)); }
