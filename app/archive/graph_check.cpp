#include "archive/graph_check.h"

#include "archive/archive_reader.h"
#include "archive/ob_list.h"

namespace {

// Only 0, 1 and "more" matter for the sole count, so small saturating counters keep the
// table small for millions of objects.
struct OwnerCounts {
    uint8_t sole = 0;
    uint8_t shared = 0;
};

void Increment(uint8_t& count) {
    if (count < 255) ++count;
}

}  // namespace

ArchiveError CheckLoadedGraph(const ArchiveReader& reader, std::span<const GraphRoot> roots,
                              std::vector<std::unique_ptr<Serializable>>& strays) {
    const auto& entries = reader.Entries();
    std::vector<OwnerCounts> counts(entries.size());
    // Every object in the graph was built by this reader, so it carries its index.
    auto countsOf = [&](const Serializable* object) -> OwnerCounts& {
        return counts[reader.IndexOf(*object)];
    };

    for (const GraphRoot& root : roots) {
        if (!root.object) {
            // A list root the program always writes; null would reach the windows as a null list.
            if (root.elementClass) return ArchiveError::BadClass;
            continue;
        }
        Increment(countsOf(root.object).sole);
        if (!root.elementClass) continue;
        const auto* list = As<CObList>(root.object);
        if (!list) return ArchiveError::BadClass;
        for (const Serializable* item : *list) {
            if (!item || !item->IsKindOf(*root.elementClass)) return ArchiveError::BadClass;
            Increment(countsOf(item).sole);
        }
    }

    OwnedRefs refs;
    for (const auto& entry : entries) {
        if (!entry.object) continue;
        if (!entry.object->LinksWellTyped()) return ArchiveError::BadClass;
        refs.sole.clear();
        refs.shared.clear();
        entry.object->ListOwned(refs);
        for (const Serializable* owned : refs.sole)
            Increment(countsOf(owned).sole);
        for (const Serializable* owned : refs.shared)
            Increment(countsOf(owned).shared);
    }

    std::vector<Serializable*> unowned;
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto& entry = entries[i];
        if (!entry.object) continue;
        const OwnerCounts& c = counts[i];
        if (c.sole > 1 || (c.sole == 1 && c.shared > 0)) return ArchiveError::BadIndex;
        if (c.sole == 0 && c.shared == 0) unowned.push_back(entry.object);
    }
    for (Serializable* object : unowned)
        strays.emplace_back(object);
    return ArchiveError::None;
}
