#include "directory/directory_edits.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

#include "archive/ob_list.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/subscriber.h"

namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

template <class Record, class Key>
bool AnotherHas(const CObList* list, const Record* self, std::string_view wanted, Key key) {
    if (!list) return false;
    for (const Serializable* item : *list) {
        const auto* record = As<Record>(item);
        if (record && record != self && EqualsIgnoringCase(key(*record), wanted)) return true;
    }
    return false;
}

template <class Set>
bool Holds(const Set& set, const Serializable* item) {
    return set.count(const_cast<Serializable*>(item)) != 0;
}

template <class Record, class Visit>
void ForEach(const CObList* list, Visit visit) {
    if (!list) return;
    for (Serializable* item : *list)
        if (auto* record = As<Record>(item)) visit(record);
}

// Whether a list entry is one of the doomed records. Most entries of a swept list are not:
// the address range turns them away before the hash look-up.
class GoneSet {
public:
    explicit GoneSet(const std::unordered_set<Serializable*>& gone) : gone_(gone) {
        for (Serializable* item : gone) {
            low_ = std::min(low_, reinterpret_cast<std::uintptr_t>(item));
            high_ = std::max(high_, reinterpret_cast<std::uintptr_t>(item));
        }
    }
    bool operator()(Serializable* item) const {
        const auto at = reinterpret_cast<std::uintptr_t>(item);
        return at >= low_ && at <= high_ && gone_.count(item) != 0;
    }

private:
    const std::unordered_set<Serializable*>& gone_;
    std::uintptr_t low_ = UINTPTR_MAX;
    std::uintptr_t high_ = 0;
};

// Frees the recipient rows that show a doomed subscriber or group.
void DropRows(DirectoryStore& store, const std::unordered_set<Serializable*>& subscribers,
              const std::unordered_set<Serializable*>& groups) {
    CObList* rows = store.GetDisplayList();
    if (!rows) return;
    std::vector<Serializable*> dropped;
    rows->RemoveIf([&](Serializable* item) {
        auto* row = As<CDisplayObject>(item);
        bool drop = row && (Holds(subscribers, row->GetSubscriber()) || Holds(groups, row->GetGroup()));
        if (drop) dropped.push_back(item);
        return drop;
    });
    for (Serializable* row : dropped)
        DiscardRecord(row);
}

void SetMembers(CGroup& group, const std::vector<CSubscriber*>& members) {
    if (CObList* old = group.GetMembers()) {
        for (Serializable* item : *old)
            if (auto* member = As<CSubscriber>(item); member && member->GetGroups())
                member->GetGroups()->Remove(&group);
        old->RemoveAll();
    } else {
        group.SetMembers(new CObList);
    }
    for (CSubscriber* member : members) {
        if (!member || group.GetMembers()->Find(member) >= 0) continue;
        if (!member->GetGroups()) member->SetGroups(new CObList);
        group.GetMembers()->AddTail(member);
        member->GetGroups()->AddTail(&group);
    }
}

// Frees only what the owning list gave up: a record reached through cross-links alone is
// owned elsewhere by the store.
void RemoveAndFree(CObList* list, const std::unordered_set<Serializable*>& doomed) {
    if (!list || doomed.empty()) return;
    std::vector<Serializable*> removed;
    list->RemoveIf([&](Serializable* item) {
        bool drop = Holds(doomed, item);
        if (drop) removed.push_back(item);
        return drop;
    });
    for (Serializable* record : removed)
        DiscardRecord(record);
}

}  // namespace

std::string FoldAsciiCase(std::string text) {
    for (char& c : text)
        c = FoldAscii(c);
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

CSubscriber* SaveSubscriber(DirectoryStore& store, CSubscriber* existing, const SubscriberEntry& entry) {
    if (AnotherHas<CSubscriber>(store.GetSubscriberList(), existing, entry.name,
                                [](const CSubscriber& s) { return s.GetName(); }))
        return nullptr;
    CSubscriber* subscriber = existing;
    if (subscriber) {
        if (CService* old = subscriber->GetService()) old->RemoveSubscriber(subscriber);
        subscriber->SetName(entry.name);
        subscriber->SetPIN(entry.pin);
        subscriber->SetMaxLength(entry.maxLength);
    } else {
        subscriber = new CSubscriber(entry.name, entry.pin, entry.maxLength, nullptr);
        store.GetSubscriberList()->AddTail(subscriber);
    }
    subscriber->SetService(entry.service);
    if (entry.service) entry.service->AddSubscriber(subscriber);
    return subscriber;
}

CGroup* SaveGroup(DirectoryStore& store, CGroup* existing, const std::string& name,
                  const std::vector<CSubscriber*>& members) {
    if (AnotherHas<CGroup>(store.GetGroupList(), existing, name, [](const CGroup& g) { return g.GetName(); }))
        return nullptr;
    CGroup* group = existing;
    if (group) {
        group->SetName(name);
    } else {
        group = new CGroup(name);
        store.GetGroupList()->AddTail(group);
    }
    SetMembers(*group, members);
    return group;
}

CMessage* SaveMessage(DirectoryStore& store, CMessage* existing, const std::string& text) {
    if (AnotherHas<CMessage>(store.GetPresetMessageList(), existing, text,
                             [](const CMessage& m) { return m.GetText(); }))
        return nullptr;
    CMessage* message = existing;
    if (message) {
        message->SetText(text);
    } else {
        message = new CMessage(text);
        store.GetPresetMessageList()->AddTail(message);
    }
    return message;
}

CService* SaveService(DirectoryStore& store, CService* existing, const ServiceFields& fields) {
    if (AnotherHas<CService>(store.GetServiceList(), existing, fields.name,
                             [](const CService& s) { return s.GetName(); }))
        return nullptr;
    if (existing) {
        existing->SetAll(fields);
        return existing;
    }
    auto* service = new CService(fields);
    store.GetServiceList()->AddHead(service);
    return service;
}

std::vector<CService*> DeleteServices(DirectoryStore& store, const std::vector<CService*>& doomed) {
    std::vector<CService*> kept;
    std::unordered_set<Serializable*> gone;
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
        if (!*it) continue;
        if (CanDeleteService(**it))
            gone.insert(*it);
        else
            kept.push_back(*it);
    }
    RemoveAndFree(store.GetServiceList(), gone);
    return kept;
}

size_t DeleteSubscribers(DirectoryStore& store, const std::vector<CSubscriber*>& doomed,
                         const EditProgress& progress) {
    std::unordered_set<Serializable*> gone(doomed.begin(), doomed.end());
    gone.erase(nullptr);
    // Every service and group is swept, not only those the doomed records name: a list that
    // holds a subscriber whose own links forgot it (a file made by hand) must not keep a
    // freed record. Each list is walked once, however many of its subscribers go.
    std::unordered_set<CService*> services;
    std::unordered_set<CGroup*> groups;
    ForEach<CService>(store.GetServiceList(), [&](CService* service) { services.insert(service); });
    ForEach<CGroup>(store.GetGroupList(), [&](CGroup* group) { groups.insert(group); });
    size_t done = 0;
    for (Serializable* item : gone) {
        auto* subscriber = static_cast<CSubscriber*>(item);
        if (subscriber->GetService()) services.insert(subscriber->GetService());
        if (CObList* own = subscriber->GetGroups()) {
            ForEach<CGroup>(own, [&](CGroup* group) { groups.insert(group); });
            own->RemoveAll();
        }
        if (progress) progress(++done);
    }
    const GoneSet isGone(gone);
    for (CService* service : services)
        if (service->GetSubscribers()) service->GetSubscribers()->RemoveIf(isGone);
    std::unordered_set<Serializable*> emptied;
    for (CGroup* group : groups) {
        CObList* members = group->GetMembers();
        if (members && members->RemoveIf(isGone) > 0 && members->IsEmpty()) emptied.insert(group);
    }
    DropRows(store, gone, emptied);
    RemoveAndFree(store.GetGroupList(), emptied);
    RemoveAndFree(store.GetSubscriberList(), gone);
    return emptied.size();
}

void DeleteGroups(DirectoryStore& store, const std::vector<CGroup*>& doomed, const EditProgress& progress) {
    std::unordered_set<Serializable*> gone(doomed.begin(), doomed.end());
    gone.erase(nullptr);
    size_t done = 0;
    for (Serializable* item : gone) {
        SetMembers(*static_cast<CGroup*>(item), {});
        if (progress) progress(++done);
    }
    // A subscriber whose Groups names a group that does not list it was not reached above.
    const GoneSet isGone(gone);
    ForEach<CSubscriber>(store.GetSubscriberList(), [&](CSubscriber* subscriber) {
        if (subscriber->GetGroups()) subscriber->GetGroups()->RemoveIf(isGone);
    });
    DropRows(store, {}, gone);
    RemoveAndFree(store.GetGroupList(), gone);
}

void DeleteMessages(DirectoryStore& store, const std::vector<CMessage*>& doomed,
                    const EditProgress& progress) {
    std::unordered_set<Serializable*> gone(doomed.begin(), doomed.end());
    gone.erase(nullptr);
    RemoveAndFree(store.GetPresetMessageList(), gone);
    if (progress) progress(gone.size());
}

bool HasTimeTokens(std::string_view text) {
    return text.find("<DATE>") != std::string_view::npos || text.find("<TIME>") != std::string_view::npos;
}
