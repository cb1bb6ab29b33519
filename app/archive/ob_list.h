#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "archive/serializable.h"

// An ordered list of object pointers; it never owns its elements (its owner decides).
// Stored contiguously with spare room at both ends, so adding at the head or the tail is
// amortised O(1) and an empty list costs a few words: a directory holds millions of them.
class CObList : public Serializable {
public:
    static const ClassInfo kClass;

    CObList() = default;

    const ClassInfo& GetRuntimeClass() const override { return kClass; }
    void Serialize(ArchiveWriter& archive) const override;
    void Serialize(ArchiveReader& archive) override;

    size_t GetCount() const { return items_.size() - first_; }
    bool IsEmpty() const { return GetCount() == 0; }
    Serializable* GetAt(size_t index) const { return items_[first_ + index]; }
    Serializable* GetHead() const { return IsEmpty() ? nullptr : items_[first_]; }
    Serializable* GetTail() const { return IsEmpty() ? nullptr : items_.back(); }

    void AddHead(Serializable* object);
    void AddTail(Serializable* object);
    // Position of the first occurrence, or -1.
    long Find(const Serializable* object) const;
    // Removes the first occurrence; false (and no change) when absent.
    bool Remove(const Serializable* object);
    void RemoveAt(size_t index);
    Serializable* RemoveHead();
    void RemoveAll();
    void Reserve(size_t count);
    // Removes every element the predicate picks, keeping the others' order, in one pass.
    template <class Pred>
    size_t RemoveIf(Pred pick) {
        auto from = items_.begin() + static_cast<std::ptrdiff_t>(first_);
        auto kept = std::remove_if(from, items_.end(), pick);
        size_t removed = static_cast<size_t>(items_.end() - kept);
        items_.erase(kept, items_.end());
        return removed;
    }

    Serializable* const* begin() const { return items_.data() + first_; }
    Serializable* const* end() const { return items_.data() + items_.size(); }

private:
    std::vector<Serializable*> items_;
    size_t first_ = 0;  // items_[0, first_) is spare room for AddHead
};

// Frees every element of an owning list (DiscardRecord), then the list itself.
void DiscardListWithRecords(CObList* list);

struct RecordListDeleter {
    void operator()(CObList* list) const { DiscardListWithRecords(list); }
};
// A list that owns its records, as the directory's top-level lists do.
using OwningList = std::unique_ptr<CObList, RecordListDeleter>;
