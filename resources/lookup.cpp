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

// The chosen language's pictures by id, each unpacked the first time it is asked for (most
// labels are never shown); empty for English.
struct Unpacked {
    const TranslatedEntry* entry;
    std::vector<uint8_t> bytes;
};
std::vector<Unpacked>& Chosen() {
    static std::vector<Unpacked> chosen;
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
    for (const std::string& language : wanted) {
        for (size_t i = 0; i < kTranslatedTableSize; ++i)
            if (language == kTranslatedTable[i].language) Chosen().push_back({&kTranslatedTable[i], {}});
        if (!Chosen().empty()) return language;
    }
    return {};
}

// Only the program's own thread asks for bitmaps (the sound's asks for waves), so unpacking here
// needs no lock.
ResourceData FindResource(ResourceKind kind, int id) {
    if (kind == ResourceKind::Bitmap && !Chosen().empty()) {
        auto& chosen = Chosen();
        const auto at = std::lower_bound(chosen.begin(), chosen.end(), id,
                                         [](const Unpacked& u, int wanted) { return u.entry->id < wanted; });
        if (at != chosen.end() && at->entry->id == id) {
            if (at->bytes.empty()) at->bytes = Unpack(*at->entry);
            if (!at->bytes.empty()) return {at->bytes.data(), at->bytes.size()};
        }
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
