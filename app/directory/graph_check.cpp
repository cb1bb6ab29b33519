#include "graph_check.h"

#include <unordered_map>

#include "archive_reader.h"
#include "ob_list.h"

namespace {

struct OwnerCounts {
  uint32_t sole = 0;
  uint32_t shared = 0;
};

}  // namespace

ArchiveError CheckLoadedGraph(const ArchiveReader& reader, std::span<const GraphRoot> roots,
                              std::vector<std::unique_ptr<Serializable>>& strays) {
  const auto& entries = reader.Entries();
  std::unordered_map<const Serializable*, OwnerCounts> counts;
  counts.reserve(entries.size());
  for (const auto& entry : entries) {
    if (entry.object) counts.emplace(entry.object, OwnerCounts{});
  }

  for (const GraphRoot& root : roots) {
    if (!root.object) {
      // A list root the program always writes; null would reach the windows as a null list.
      if (root.elementClass) return ArchiveError::BadClass;
      continue;
    }
    counts[root.object].sole++;
    if (!root.elementClass) continue;
    const auto* list = As<CObList>(root.object);
    if (!list) return ArchiveError::BadClass;
    for (const Serializable* item : *list) {
      if (!item || !item->IsKindOf(*root.elementClass)) return ArchiveError::BadClass;
      counts[item].sole++;
    }
  }

  OwnedRefs refs;
  for (const auto& entry : entries) {
    if (!entry.object) continue;
    if (!entry.object->LinksWellTyped()) return ArchiveError::BadClass;
    refs.sole.clear();
    refs.shared.clear();
    entry.object->ListOwned(refs);
    for (const Serializable* owned : refs.sole) counts[owned].sole++;
    for (const Serializable* owned : refs.shared) counts[owned].shared++;
  }

  std::vector<Serializable*> unowned;
  for (const auto& entry : entries) {
    if (!entry.object) continue;
    const OwnerCounts& c = counts[entry.object];
    if (c.sole > 1 || (c.sole == 1 && c.shared > 0)) return ArchiveError::BadIndex;
    if (c.sole == 0 && c.shared == 0) unowned.push_back(entry.object);
  }
  for (Serializable* object : unowned) strays.emplace_back(object);
  return ArchiveError::None;
}
