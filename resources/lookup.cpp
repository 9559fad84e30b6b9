#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

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

void ReleaseResourcePages() {
    static const size_t blobSize = [] {
        size_t end = 0;
        for (size_t i = 0; i < kResourceTableSize; ++i)
            end = std::max<size_t>(end, kResourceTable[i].offset + kResourceTable[i].size);
        return end;
    }();
    // Only whole pages inside the blob: its neighbours in read-only data are not ours to drop.
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<uintptr_t>(pictoria_resource_blob);
    const uintptr_t first = (begin + page - 1) & ~(page - 1);
    const uintptr_t stop = (begin + blobSize) & ~(page - 1);
    if (stop > first) madvise(reinterpret_cast<void*>(first), stop - first, MADV_DONTNEED);
}
