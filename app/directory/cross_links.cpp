#include "directory/cross_links.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "archive/ob_list.h"
#include "directory/directory_file.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"

namespace {

// The loader has checked every list's element class (a root list holds its own records, a
// service's list subscribers, a group's members subscribers, a subscriber's list groups), so
// the walks below cast without asking each record, which would cost a look at every record.
struct Records {
    std::vector<CService*> services;
    std::vector<CSubscriber*> subscribers;
    std::vector<CGroup*> groups;

    template <class Record>
    static void Take(const OwningList& list, std::vector<Record*>& out) {
        if (!list) return;
        out.reserve(out.size() + list->GetCount());
        for (Serializable* item : *list)
            out.push_back(static_cast<Record*>(item));
    }
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

// One walk over the services' lists, one over the groups' members and one over the
// subscribers. A subscriber is numbered when first met (its archive mark, under a serial of
// this repair, holds the number + 1) and the state lives in arrays by number: no hashing and
// no allocation per record, and each record is visited as few times as possible, as a
// directory of a million subscribers must still load quickly.
// Records lie scattered over the heap and each walk reads two of a record's cache lines (its
// mark and a link); asking for records a few places ahead hides most of that wait.
constexpr size_t kReadAhead = 8;

void ReadAhead(const Serializable* record) {
    const auto* bytes = reinterpret_cast<const char*>(record);
    __builtin_prefetch(bytes);
    __builtin_prefetch(bytes + 64);
    __builtin_prefetch(bytes + 127);
}

// Reads ahead of a walk over a list: call once per element, in order.
class ListReadAhead {
public:
    explicit ListReadAhead(const CObList& list)
        : next_(list.begin() + std::min(kReadAhead, list.GetCount())), end_(list.end()) {
        for (auto* at = list.begin(); at != next_; ++at)
            ReadAhead(*at);
    }
    void Step() {
        if (next_ != end_) ReadAhead(*next_++);
    }

private:
    Serializable* const* next_;
    Serializable* const* end_;
};

class Repair {
public:
    size_t Run(const Records& records) {
        for (CService* service : records.services)
            MendServiceList(*service);
        for (size_t g = 0; g < records.groups.size(); ++g)
            DedupeMembers(*records.groups[g], g);
        LayOutGroups();
        const std::vector<CSubscriber*>& subscribers = records.subscribers;
        for (size_t i = 0; i < subscribers.size(); ++i) {
            if (i + kReadAhead < subscribers.size()) ReadAhead(subscribers[i + kReadAhead]);
            MendSubscriber(*subscribers[i]);
        }
        return changes_;
    }

private:
    size_t NumberOf(Serializable& subscriber) {
        if (const uint32_t mark = ArchiveMarks::Get(subscriber, numbering_)) return mark - 1;
        ArchiveMarks::Set(subscriber, numbering_, static_cast<uint32_t>(listed_.size() + 1));
        listed_.push_back(0);
        lastGroup_.push_back(0);
        return listed_.size() - 1;
    }

    // A service lists exactly the subscribers that name it, once each.
    void MendServiceList(CService& service) {
        CObList* list = service.GetSubscribers();
        if (!list) return;
        ListReadAhead ahead(*list);
        changes_ += list->RemoveIf([&](Serializable* item) {
            ahead.Step();
            auto* subscriber = static_cast<CSubscriber*>(item);
            if (!subscriber || subscriber->GetService() != &service) return true;
            char& listed = listed_[NumberOf(*subscriber)];
            if (listed) return true;
            listed = 1;
            return false;
        });
    }

    // Members listed twice are kept once; each membership is noted as (member's number, group).
    void DedupeMembers(CGroup& group, size_t g) {
        CObList* members = group.GetMembers();
        if (!members) return;
        ListReadAhead ahead(*members);
        changes_ += members->RemoveIf([&](Serializable* item) {
            ahead.Step();
            if (!item) return true;
            const size_t number = NumberOf(*item);
            if (lastGroup_[number] == g + 1) return true;
            lastGroup_[number] = static_cast<uint32_t>(g + 1);
            memberships_.emplace_back(number, &group);
            return false;
        });
    }

    // Every numbered subscriber's groups, in group order: groupsOf_[first_[n]] up to first_[n + 1].
    void LayOutGroups() {
        const size_t numbered = listed_.size();
        first_.assign(numbered + 1, 0);
        for (const auto& [number, group] : memberships_)
            ++first_[number + 1];
        for (size_t n = 0; n < numbered; ++n)
            first_[n + 1] += first_[n];
        groupsOf_.resize(memberships_.size());
        std::vector<size_t> next(first_.begin(), first_.end() - 1);
        for (const auto& [number, group] : memberships_)
            groupsOf_[next[number]++] = group;
        memberships_ = {};
    }

    void MendSubscriber(CSubscriber& subscriber) {
        const size_t number = NumberOf(subscriber);
        if (subscriber.GetService() && !listed_[number]) {
            subscriber.GetService()->AddSubscriber(&subscriber);
            ++changes_;
        }
        const size_t begin = number + 1 < first_.size() ? first_[number] : 0;
        const size_t end = number + 1 < first_.size() ? first_[number + 1] : 0;
        CObList* own = subscriber.GetGroups();
        if (begin == end && (!own || own->IsEmpty())) return;
        // A group's mark while this subscriber is mended: 2n + 1 it belongs in the list, 2n + 2
        // it is there.
        const auto wanted = static_cast<uint32_t>(2 * number + 1);
        for (size_t k = begin; k < end; ++k)
            ArchiveMarks::Set(*groupsOf_[k], groupMarks_, wanted);
        if (own) {
            changes_ += own->RemoveIf([&](Serializable* item) {
                if (!item || ArchiveMarks::Get(*item, groupMarks_) != wanted)
                    return true;  // not theirs, or twice
                ArchiveMarks::Set(*item, groupMarks_, wanted + 1);
                return false;
            });
        }
        for (size_t k = begin; k < end; ++k) {
            CGroup* group = groupsOf_[k];
            if (ArchiveMarks::Get(*group, groupMarks_) != wanted) continue;
            ArchiveMarks::Set(*group, groupMarks_, wanted + 1);
            if (!own) {
                own = new CObList;
                subscriber.SetGroups(own);
            }
            own->AddTail(group);
            ++changes_;
        }
    }

    const uint32_t numbering_ = ArchiveMarks::NewSerial();
    const uint32_t groupMarks_ = ArchiveMarks::NewSerial();
    std::vector<char> listed_;         // by number: in its own service's list
    std::vector<uint32_t> lastGroup_;  // by number: the last group (position + 1) that listed it
    std::vector<std::pair<size_t, CGroup*>> memberships_;
    std::vector<size_t> first_;
    std::vector<CGroup*> groupsOf_;
    size_t changes_ = 0;
};

}  // namespace

size_t RepairCrossLinks(DirectoryContents& contents) {
    Records records;
    Records::Take(contents.services, records.services);
    Records::Take(contents.subscribers, records.subscribers);
    Records::Take(contents.groups, records.groups);
    for (const auto& stray : contents.strays)
        records.Collect(stray.get());
    return Repair().Run(records);
}
