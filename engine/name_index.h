// An exact-name index over records that live elsewhere and do not move (a list or
// a deque owns them). Open addressing with linear probing in a power-of-two table:
// a lookup is a hash of a short name and usually one probe, with no allocation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace rkl {

// FNV-1a: names are short, so a simple inline hash is the fastest choice.
inline uint64_t HashName(std::string_view name) {
    uint64_t h = 14695981039346656037ull;
    for (const char c : name)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

// Names are short: a plain loop beats a call into the library's memcmp.
inline bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// Record must have a `name` member convertible to std::string_view.
template <class Record>
class NameIndex {
public:
    Record* Find(std::string_view name) const { return Find(name, HashName(name)); }

    Record* Find(std::string_view name, uint64_t hash) const {
        if (count_ == 0) return nullptr;
        for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (!slot.record) return nullptr;
            if (slot.hash == hash && SameName(slot.record->name, name)) return slot.record;
        }
    }

    // The caller makes sure the name is not in the index yet.
    void Insert(Record* record) {
        if ((count_ + 1) * 2 > slots_.size()) Grow();
        Place(record, HashName(record->name));
        ++count_;
    }

    void Erase(std::string_view name) {
        if (count_ == 0) return;
        const uint64_t hash = HashName(name);
        size_t i = hash & mask_;
        for (;; i = (i + 1) & mask_) {
            if (!slots_[i].record) return;
            if (slots_[i].hash == hash && SameName(slots_[i].record->name, name)) break;
        }
        // Backward-shift deletion keeps every remaining record reachable from its home.
        for (size_t j = (i + 1) & mask_; slots_[j].record; j = (j + 1) & mask_) {
            const size_t home = slots_[j].hash & mask_;
            const bool movable = (j > i) ? (home <= i || home > j) : (home <= i && home > j);
            if (movable) {
                slots_[i] = slots_[j];
                i = j;
            }
        }
        slots_[i] = Slot{};
        --count_;
    }

    void Clear() {
        slots_.clear();
        mask_ = 0;
        count_ = 0;
    }

private:
    struct Slot {
        uint64_t hash = 0;
        Record* record = nullptr;
    };

    void Place(Record* record, uint64_t hash) {
        size_t i = hash & mask_;
        while (slots_[i].record)
            i = (i + 1) & mask_;
        slots_[i] = Slot{hash, record};
    }

    void Grow() {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
        mask_ = slots_.size() - 1;
        for (const Slot& s : old)
            if (s.record) Place(s.record, s.hash);
    }

    std::vector<Slot> slots_;
    size_t mask_ = 0;
    size_t count_ = 0;
};

}  // namespace rkl
