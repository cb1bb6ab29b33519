#include "cross_links.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "directory_file.h"
#include "group.h"
#include "ob_list.h"
#include "service.h"
#include "subscriber.h"

namespace {

struct Records {
  std::vector<CService*> services;
  std::vector<CSubscriber*> subscribers;
  std::vector<CGroup*> groups;

  void Collect(Serializable* object) {
    if (auto* service = As<CService>(object)) {
      services.push_back(service);
    } else if (auto* subscriber = As<CSubscriber>(object)) {
      subscribers.push_back(subscriber);
    } else if (auto* group = As<CGroup>(object)) {
      groups.push_back(group);
    }
  }
};

size_t RepairServices(const Records& records) {
  size_t changes = 0;
  std::unordered_set<const Serializable*> listed;
  for (CService* service : records.services) {
    if (CObList* list = service->GetSubscribers()) {
      changes += list->RemoveIf([&](Serializable* item) {
        const auto* subscriber = As<CSubscriber>(item);
        return !subscriber || subscriber->GetService() != service || !listed.insert(item).second;
      });
    }
  }
  for (CSubscriber* subscriber : records.subscribers) {
    CService* service = subscriber->GetService();
    if (!service || listed.count(subscriber)) continue;
    service->AddSubscriber(subscriber);
    ++changes;
  }
  return changes;
}

size_t RepairGroups(const Records& records) {
  size_t changes = 0;
  std::unordered_map<const Serializable*, std::vector<CGroup*>> groupsOf;
  std::unordered_set<const Serializable*> seen;
  for (CGroup* group : records.groups) {
    CObList* members = group->GetMembers();
    if (!members) continue;
    seen.clear();
    changes += members->RemoveIf([&](Serializable* item) { return !item || !seen.insert(item).second; });
    for (const Serializable* member : *members) groupsOf[member].push_back(group);
  }
  for (CSubscriber* subscriber : records.subscribers) {
    auto found = groupsOf.find(subscriber);
    std::vector<CGroup*> expected = found == groupsOf.end() ? std::vector<CGroup*>() : std::move(found->second);
    // Sorted by address for the look-ups; `placed` marks each expected group once listed.
    std::vector<CGroup*> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    std::vector<char> placed(sorted.size(), 0);
    auto slot = [&](const Serializable* group) -> char* {
      auto it = std::lower_bound(sorted.begin(), sorted.end(), group,
                                 [](const CGroup* a, const Serializable* b) { return a < b; });
      return it != sorted.end() && *it == group ? &placed[static_cast<size_t>(it - sorted.begin())] : nullptr;
    };
    CObList* own = subscriber->GetGroups();
    if (own) {
      changes += own->RemoveIf([&](Serializable* item) {
        char* mark = slot(item);
        if (!mark || *mark) return true;
        *mark = 1;
        return false;
      });
    }
    for (CGroup* group : expected) {
      char* mark = slot(group);
      if (*mark) continue;
      *mark = 1;
      if (!own) {
        own = new CObList;
        subscriber->SetGroups(own);
      }
      own->AddTail(group);
      ++changes;
    }
  }
  return changes;
}

}  // namespace

size_t RepairCrossLinks(DirectoryContents& contents) {
  Records records;
  for (const OwningList* list : {&contents.services, &contents.subscribers, &contents.groups}) {
    if (*list)
      for (Serializable* item : **list) records.Collect(item);
  }
  for (const auto& stray : contents.strays) records.Collect(stray.get());
  return RepairServices(records) + RepairGroups(records);
}
