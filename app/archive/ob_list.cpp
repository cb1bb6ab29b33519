#include "archive/ob_list.h"

#include <algorithm>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"

const ClassInfo CObList::kClass = {"CObList", 0, false,
                                   [] { return std::unique_ptr<Serializable>(new CObList); }, nullptr};

void CObList::Serialize(ArchiveWriter& archive) const {
    archive.WriteCount(static_cast<uint32_t>(GetCount()));
    for (const Serializable* item : *this)
        archive.WriteObject(item);
}

void CObList::Serialize(ArchiveReader& archive) {
    uint32_t count = archive.ReadCount();
    // Every element takes at least two bytes, so a hostile count cannot make us reserve more
    // than the file could hold.
    items_.reserve(items_.size() + std::min<size_t>(count, archive.Remaining() / 2));
    for (uint32_t i = 0; i < count && !archive.Failed(); ++i) {
        Serializable* item = archive.ReadObject(nullptr);
        if (archive.Failed()) break;
        AddTail(item);
    }
}

void CObList::AddHead(Serializable* object) {
    if (first_ == 0) {
        size_t count = GetCount();
        size_t room = std::max<size_t>(4, count);
        std::vector<Serializable*> grown;
        grown.reserve(room + count);
        grown.resize(room, nullptr);
        grown.insert(grown.end(), items_.begin(), items_.end());
        items_.swap(grown);
        first_ = room;
    }
    items_[--first_] = object;
}

void CObList::AddTail(Serializable* object) {
    items_.push_back(object);
}

long CObList::Find(const Serializable* object) const {
    auto it = std::find(begin(), end(), object);
    return it == end() ? -1 : static_cast<long>(it - begin());
}

bool CObList::Remove(const Serializable* object) {
    long index = Find(object);
    if (index < 0) return false;
    RemoveAt(static_cast<size_t>(index));
    return true;
}

void CObList::RemoveAt(size_t index) {
    if (index == 0) {
        items_[first_++] = nullptr;
        if (first_ == items_.size()) RemoveAll();
        return;
    }
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(first_ + index));
}

Serializable* CObList::RemoveHead() {
    if (IsEmpty()) return nullptr;
    Serializable* head = GetHead();
    RemoveAt(0);
    return head;
}

void CObList::RemoveAll() {
    items_.clear();
    first_ = 0;
}

void CObList::Reserve(size_t count) {
    items_.reserve(first_ + count);
}

void DiscardListWithRecords(CObList* list) {
    if (!list) return;
    for (Serializable* item : *list)
        DiscardRecord(item);
    list->RemoveAll();
    delete list;
}
