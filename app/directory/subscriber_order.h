#pragma once
// How Subscriber Maintenance orders and finds its rows. Ascending always: names and service
// names without regard to ASCII case, PINs and lengths as decimal numbers (a PIN of any
// length compares by value, never by a converted integer that could overflow).

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CService;
class CSubscriber;
namespace vorla {
class TextSorter;
struct TextRef;
}  // namespace vorla

enum SubscriberColumn {
    kSubscriberName,
    kSubscriberPin,
    kSubscriberSplit,
    kSubscriberService,
    kSubscriberColumns
};

// A column's order as one key per list position: rows sorted stably by key are in the
// column's order.
struct SubscriberColumnKeys {
    std::vector<uint32_t> byPosition;
    uint64_t limit = 0;     // every key is below it
    bool distinct = false;  // no two positions share a key
    unsigned Bits() const;  // the width of the largest key
};

// What the list is ordered by, copied out of the records in one pass, one entry per list
// position: a sort reads these dense arrays rather than records scattered over the heap,
// which at a hundred thousand subscribers costs more than the sorting. Keys are made in
// linear time (texts ranked byte-wise), so rows can be ordered by a radix sort instead of
// n log n comparisons.
// Keeps the items whose `keep` is set, in their order, in one pass.
template <class T>
void KeepMarked(std::vector<T>& items, const std::vector<char>& keep) {
    size_t kept = 0;
    for (size_t at = 0; at < items.size(); ++at)
        if (keep[at]) items[kept++] = items[at];
    items.resize(kept);
}

class SubscriberColumns {
public:
    void Clear();
    void Reserve(size_t count);
    void Add(const CSubscriber& subscriber);
    size_t Count() const { return splits_.size(); }
    // Keeps the entries whose `keep` is set, in their order.
    void KeepOnly(const std::vector<char>& keep);
    // Makes the column's keys in `keys`, reusing its memory; an unknown column is the name.
    // The sorter lends its work arrays to the texts' ordering.
    void MakeKeys(int column, vorla::TextSorter& sorter, SubscriberColumnKeys& keys) const;

private:
    struct Span {
        uint32_t offset, length;
    };
    // The texts of one column, in list order, in the sorter's reusable list.
    static std::vector<vorla::TextRef>& ListTexts(const std::string& bytes, const std::vector<Span>& spans,
                                                  vorla::TextSorter& sorter);
    void MakeNameKeys(vorla::TextSorter& sorter, SubscriberColumnKeys& keys) const;
    void MakePinKeys(vorla::TextSorter& sorter, SubscriberColumnKeys& keys) const;
    void MakeSplitKeys(SubscriberColumnKeys& keys) const;
    void MakeServiceKeys(vorla::TextSorter& sorter, SubscriberColumnKeys& keys) const;

    std::string nameBytes_;  // the names, case folded, one after another
    std::string pinBytes_;   // each PIN's digits (as 1 to 10) without leading zeros, behind their count
    std::vector<Span> names_, pins_;
    std::vector<int> splits_;
    std::vector<uint32_t> services_;  // an index into serviceNames_
    std::vector<std::string> serviceNames_;
    std::unordered_map<const CService*, uint32_t> serviceIndex_;
};

// Sorts the rows by the column, stably; an unknown column sorts by name.
void SortSubscribers(std::vector<CSubscriber*>& rows, int column);
// <0, 0, >0 as the digit strings compare by value (leading zeros and non-digits after the
// digits do not count).
int CompareDecimalText(std::string_view a, std::string_view b);
// Whether the name or the PIN holds the text, without regard to ASCII case; an empty text
// matches every subscriber.
bool SubscriberMatches(const CSubscriber& subscriber, std::string_view text);
