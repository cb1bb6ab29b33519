#include "ui/message_entry/selection_rows.h"

#include <algorithm>
#include <unordered_set>

#include "archive/ob_list.h"
#include "archive/serializable.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/subscriber.h"
#include "settings/ascii_case.h"

RowKind KindOf(const CDisplayObject& row) {
    if (row.GetGroup() && row.GetSubscriber()) return RowKind::Member;
    if (row.GetGroup()) return RowKind::Group;
    if (row.GetSubscriber()) return RowKind::Subscriber;
    return RowKind::Empty;
}

std::string RowName(const CDisplayObject& row) {
    switch (KindOf(row)) {
        case RowKind::Group:
            return row.GetGroup()->GetName();
        case RowKind::Subscriber:
        case RowKind::Member:
            return row.GetSubscriber()->GetName();
        case RowKind::Empty:
            break;
    }
    return {};
}

namespace {
std::string PrimaryKey(const CDisplayObject& row) {
    if (row.GetGroup()) return row.GetGroup()->GetName();
    return row.GetSubscriber() ? row.GetSubscriber()->GetName() : std::string();
}
std::string SecondaryKey(const CDisplayObject& row) {
    return row.GetSubscriber() ? row.GetSubscriber()->GetName() : std::string();
}
}  // namespace

bool RowBefore(const CDisplayObject& a, const CDisplayObject& b) {
    const std::string pa = PrimaryKey(a), pb = PrimaryKey(b);
    if (pa != pb) return pa < pb;  // std::string compares bytes as unsigned char
    // A group row has no secondary key and so comes before its members.
    const bool aGroup = KindOf(a) == RowKind::Group, bGroup = KindOf(b) == RowKind::Group;
    if (aGroup != bGroup) return aGroup;
    return SecondaryKey(a) < SecondaryKey(b);
}

SelectionRows::SelectionRows(CObList* displayList) {
    SetDisplayList(displayList);
}

void SelectionRows::SetDisplayList(CObList* displayList) {
    list_ = displayList;
    rows_.clear();
}

void SelectionRows::Load() {
    rows_.clear();
    if (!list_) return;
    for (Serializable* item : *list_) {
        if (auto* row = dynamic_cast<CDisplayObject*>(item); row && KindOf(*row) != RowKind::Empty)
            rows_.push_back(row);
    }
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const CDisplayObject* a, const CDisplayObject* b) { return RowBefore(*a, *b); });
    // A saved list may hold member rows under a group saved as collapsed; showing them would make
    // the next click add a second set, so a group shows members only when it is marked expanded.
    std::vector<CDisplayObject*> kept;
    const CGroup* expandedGroup = nullptr;
    for (CDisplayObject* row : rows_) {
        const RowKind kind = KindOf(*row);
        if (kind == RowKind::Group) expandedGroup = row->GetExpanded() ? row->GetGroup() : nullptr;
        if (kind == RowKind::Member && row->GetGroup() != expandedGroup) {
            list_->Remove(row);
            DiscardRecord(row);
            continue;
        }
        kept.push_back(row);
    }
    rows_ = std::move(kept);
}

void SelectionRows::Fill(const CObList* subscribers, const CObList* groups) {
    rows_.clear();
    if (!list_) return;
    while (!list_->IsEmpty())
        DiscardRecord(list_->RemoveHead());
    if (subscribers) {
        for (Serializable* item : *subscribers)
            if (auto* s = dynamic_cast<CSubscriber*>(item)) list_->AddTail(new CDisplayObject(s, nullptr, 0));
    }
    if (groups) {
        for (Serializable* item : *groups)
            if (auto* g = dynamic_cast<CGroup*>(item)) list_->AddTail(new CDisplayObject(nullptr, g, 0));
    }
    Load();
}

bool SelectionRows::ListsEveryRecordOnce(const CObList* subscribers, const CObList* groups) const {
    std::unordered_set<const void*> expected;
    if (subscribers)
        for (Serializable* item : *subscribers)
            if (auto* s = dynamic_cast<CSubscriber*>(item)) expected.insert(s);
    if (groups)
        for (Serializable* item : *groups)
            if (auto* g = dynamic_cast<CGroup*>(item)) expected.insert(g);
    size_t listed = 0;
    for (const CDisplayObject* row : rows_) {
        const RowKind kind = KindOf(*row);
        if (kind == RowKind::Member) continue;
        const void* record = kind == RowKind::Group ? static_cast<const void*>(row->GetGroup())
                                                    : static_cast<const void*>(row->GetSubscriber());
        if (!expected.count(record)) return false;
        ++listed;
    }
    return listed == expected.size();
}

int SelectionRows::IndexOf(const CDisplayObject* row) const {
    auto it = std::find(rows_.begin(), rows_.end(), row);
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

int SelectionRows::ToggleGroup(int index) {
    if (index < 0 || index >= Count()) return 0;
    CDisplayObject* row = rows_[index];
    if (KindOf(*row) != RowKind::Group) return 0;
    CGroup* group = row->GetGroup();
    const CObList* members = group->GetMembers();
    const int memberCount = members ? static_cast<int>(members->GetCount()) : 0;
    if (!row->GetExpanded()) {
        std::vector<CDisplayObject*> added;
        if (members) {
            for (Serializable* item : *members) {
                if (auto* s = dynamic_cast<CSubscriber*>(item)) {
                    auto* member = new CDisplayObject(s, group, 0);
                    list_->AddTail(member);
                    added.push_back(member);
                }
            }
        }
        std::stable_sort(added.begin(), added.end(),
                         [](const CDisplayObject* a, const CDisplayObject* b) { return RowBefore(*a, *b); });
        rows_.insert(rows_.begin() + index + 1, added.begin(), added.end());
        row->SetExpanded(1);
        return static_cast<int>(added.size());
    }
    // Only this group's member rows go, however many rows follow.
    int removed = 0;
    while (removed < memberCount && index + 1 < Count()) {
        CDisplayObject* next = rows_[index + 1];
        if (KindOf(*next) != RowKind::Member || next->GetGroup() != group) break;
        rows_.erase(rows_.begin() + index + 1);
        list_->Remove(next);
        DiscardRecord(next);
        ++removed;
    }
    row->SetExpanded(0);
    return -removed;
}

int SelectionRows::FindPrefix(const std::string& prefix, int from) const {
    const int count = Count();
    if (count == 0 || prefix.empty()) return -1;
    const std::string wanted = vorla::AsciiLowerCopy(prefix);
    for (int step = 0; step < count; ++step) {
        const int i = ((from % count) + count + step) % count;
        const std::string name = vorla::AsciiLowerCopy(RowName(*rows_[i]));
        if (name.compare(0, wanted.size(), wanted) == 0) return i;
    }
    return -1;
}

std::vector<CSubscriber*> RecipientsOf(const std::vector<const CDisplayObject*>& selectedRows) {
    std::vector<CSubscriber*> out;
    for (const CDisplayObject* row : selectedRows) {
        switch (KindOf(*row)) {
            case RowKind::Subscriber:
                out.push_back(row->GetSubscriber());
                break;
            case RowKind::Group:
                if (const CObList* members = row->GetGroup()->GetMembers()) {
                    for (Serializable* item : *members)
                        if (auto* s = dynamic_cast<CSubscriber*>(item)) out.push_back(s);
                }
                break;
            case RowKind::Member:
            case RowKind::Empty:
                break;
        }
    }
    return out;
}
