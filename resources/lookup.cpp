#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <utility>

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

// The chosen language's pictures, unpacked, by id; empty for English.
std::vector<std::pair<int, std::vector<uint8_t>>>& Chosen() {
    static std::vector<std::pair<int, std::vector<uint8_t>>> chosen;
    return chosen;
}

// The English bytes with the stored difference undone; empty when the entry is damaged.
std::vector<uint8_t> Unpack(const TranslatedEntry& t) {
    const ResourceData english = DataOf(Find(ResourceKind::Bitmap, t.id, 0));
    std::vector<uint8_t> bytes(english.size);
    uLongf size = bytes.size();
    if (!english || uncompress(bytes.data(), &size, pictoria_resource_blob + t.offset, t.size) != Z_OK ||
        size != bytes.size())
        return {};
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] ^= english.bytes[i];
    return bytes;
}

}  // namespace

std::string ChooseResourceLanguage(const std::vector<std::string>& wanted) {
    Chosen().clear();
    const TranslatedEntry* end = kTranslatedTable + kTranslatedTableSize;
    for (const std::string& language : wanted) {
        for (const TranslatedEntry* t = kTranslatedTable; t != end; ++t) {
            if (language != t->language) continue;
            std::vector<uint8_t> bytes = Unpack(*t);
            if (!bytes.empty()) Chosen().emplace_back(t->id, std::move(bytes));
        }
        if (!Chosen().empty()) return language;
    }
    return {};
}

ResourceData FindResource(ResourceKind kind, int id) {
    if (kind == ResourceKind::Bitmap && !Chosen().empty()) {
        const auto& chosen = Chosen();
        const auto at = std::lower_bound(chosen.begin(), chosen.end(), id,
                                         [](const auto& entry, int wanted) { return entry.first < wanted; });
        if (at != chosen.end() && at->first == id) return {at->second.data(), at->second.size()};
    }
    return DataOf(Find(kind, id, 0));
}

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
