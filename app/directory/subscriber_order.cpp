#include "directory/subscriber_order.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>

#include "directory/directory_edits.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "sorting/stable_radix_sort.h"
#include "sorting/text_order.h"

namespace {

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Digits(std::string_view text) {
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    text.remove_prefix(start);
    size_t end = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    text = text.substr(0, end);
    size_t nonZero = text.find_first_not_of('0');
    return nonZero == std::string_view::npos ? std::string_view() : text.substr(nonZero);
}

bool ContainsFoldAsciiCase(std::string_view haystack, std::string_view foldedNeedle) {
    if (foldedNeedle.size() > haystack.size()) return false;
    for (size_t i = 0; i + foldedNeedle.size() <= haystack.size(); ++i) {
        size_t k = 0;
        while (k < foldedNeedle.size() && Fold(haystack[i + k]) == foldedNeedle[k])
            ++k;
        if (k == foldedNeedle.size()) return true;
    }
    return false;
}

}  // namespace

int CompareDecimalText(std::string_view a, std::string_view b) {
    std::string_view da = Digits(a), db = Digits(b);
    if (da.size() != db.size()) return da.size() < db.size() ? -1 : 1;
    return da.compare(db);
}

unsigned SubscriberColumnKeys::Bits() const {
    return static_cast<unsigned>(std::bit_width(limit > 0 ? limit - 1 : uint64_t{0}));
}

namespace {

// Keys that are ranks: below their count, and all different when there are as many as the
// positions they were given to.
void TakeRankCount(SubscriberColumnKeys& keys, uint32_t count, size_t positions) {
    keys.limit = count;
    keys.distinct = count == positions;
}

// Appends the text to the bytes and says where it went.
template <class Span>
Span Append(std::string& bytes, std::string_view text) {
    const Span span{static_cast<uint32_t>(bytes.size()), static_cast<uint32_t>(text.size())};
    bytes.append(text);
    return span;
}

}  // namespace

void SubscriberColumns::Clear() {
    *this = SubscriberColumns();
}

void SubscriberColumns::Reserve(size_t count) {
    names_.reserve(count);
    pins_.reserve(count);
    splits_.reserve(count);
    services_.reserve(count);
}

void SubscriberColumns::Add(const CSubscriber& subscriber) {
    const size_t at = nameBytes_.size();
    names_.push_back(Append<Span>(nameBytes_, subscriber.GetName()));
    for (size_t i = at; i < nameBytes_.size(); ++i)
        nameBytes_[i] = Fold(nameBytes_[i]);
    // Digit strings without leading zeros compare by value when the shorter comes first and
    // equal lengths compare by bytes: behind their length, written first and highest byte
    // first, they compare by value byte by byte. Digits are kept as 1 to 10, so they differ
    // from each other and from a missing byte (0) in four bits, not six: fewer sorting passes.
    const std::string_view digits = Digits(subscriber.GetPIN());
    const uint32_t length = static_cast<uint32_t>(digits.size());
    const char lengthBytes[4] = {static_cast<char>(length >> 24), static_cast<char>(length >> 16),
                                 static_cast<char>(length >> 8), static_cast<char>(length)};
    pins_.push_back({static_cast<uint32_t>(pinBytes_.size()), 4 + length});
    pinBytes_.append(lengthBytes, 4);
    for (char digit : digits)
        pinBytes_.push_back(static_cast<char>(digit - '0' + 1));
    splits_.push_back(subscriber.GetMaxLengthNumber());
    const CService* service = subscriber.GetService();
    auto [found, added] = serviceIndex_.emplace(service, static_cast<uint32_t>(serviceNames_.size()));
    if (added) serviceNames_.push_back(service ? service->GetName() : std::string());
    services_.push_back(found->second);
}

void SubscriberColumns::KeepOnly(const std::vector<char>& keep) {
    KeepMarked(names_, keep);
    KeepMarked(pins_, keep);
    KeepMarked(splits_, keep);
    KeepMarked(services_, keep);
}

void SubscriberColumns::MakeKeys(int column, vorla::TextSorter& sorter, SubscriberColumnKeys& keys) const {
    switch (column) {
        case kSubscriberPin:
            return MakePinKeys(sorter, keys);
        case kSubscriberSplit:
            return MakeSplitKeys(keys);
        case kSubscriberService:
            return MakeServiceKeys(sorter, keys);
        default:
            return MakeNameKeys(sorter, keys);
    }
}

std::vector<vorla::TextRef>& SubscriberColumns::ListTexts(const std::string& bytes,
                                                          const std::vector<Span>& spans,
                                                          vorla::TextSorter& sorter) {
    std::vector<vorla::TextRef>& texts = sorter.EmptyList();
    texts.reserve(spans.size());
    for (size_t at = 0; at < spans.size(); ++at)
        texts.push_back(vorla::TextRef::Of(std::string_view(bytes).substr(spans[at].offset, spans[at].length),
                                           static_cast<uint32_t>(at)));
    return texts;
}

void SubscriberColumns::MakeNameKeys(vorla::TextSorter& sorter, SubscriberColumnKeys& keys) const {
    std::vector<vorla::TextRef>& texts = ListTexts(nameBytes_, names_, sorter);
    TakeRankCount(keys, sorter.Rank(texts, vorla::kExactBytes, names_.size(), keys.byPosition),
                  names_.size());
}

void SubscriberColumns::MakePinKeys(vorla::TextSorter& sorter, SubscriberColumnKeys& keys) const {
    std::vector<vorla::TextRef>& texts = ListTexts(pinBytes_, pins_, sorter);
    TakeRankCount(keys, sorter.Rank(texts, vorla::kExactBytes, pins_.size(), keys.byPosition), pins_.size());
}

// Plain indexed loops, which the compiler turns into vector instructions.
void SubscriberColumns::MakeSplitKeys(SubscriberColumnKeys& keys) const {
    keys.byPosition.resize(splits_.size());
    keys.limit = 0;
    keys.distinct = false;
    if (splits_.empty()) return;
    int lowest = splits_[0], highest = splits_[0];
    for (int value : splits_) {
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    const int* splits = splits_.data();
    uint32_t* out = keys.byPosition.data();
    for (size_t at = 0; at < splits_.size(); ++at)
        out[at] = static_cast<uint32_t>(int64_t{splits[at]} - lowest);
    keys.limit = static_cast<uint64_t>(int64_t{highest} - lowest) + 1;
}

// A directory has a handful of services: their names are ranked once, each row takes its
// service's rank.
void SubscriberColumns::MakeServiceKeys(vorla::TextSorter& sorter, SubscriberColumnKeys& keys) const {
    std::vector<vorla::TextRef>& names = sorter.EmptyList();
    for (size_t index = 0; index < serviceNames_.size(); ++index)
        names.push_back(vorla::TextRef::Of(serviceNames_[index], static_cast<uint32_t>(index)));
    std::vector<uint32_t> serviceRanks;
    keys.limit = sorter.Rank(names, vorla::kAsciiFold, serviceNames_.size(), serviceRanks);
    // Services of rows since removed keep their names here, so a count equal to the rows does
    // not mean every row has its own.
    keys.distinct = false;
    keys.byPosition.clear();
    keys.byPosition.reserve(services_.size());
    for (uint32_t service : services_)
        keys.byPosition.push_back(serviceRanks[service]);
}

void SortSubscribers(std::vector<CSubscriber*>& rows, int column) {
    SubscriberColumns columns;
    columns.Reserve(rows.size());
    for (const CSubscriber* row : rows)
        columns.Add(*row);
    vorla::TextSorter sorter;
    SubscriberColumnKeys keys;
    columns.MakeKeys(column, sorter, keys);
    std::vector<uint32_t> order(rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<uint32_t>(i);
    vorla::StableRadixSort radix;
    radix.Load(keys.Bits(), rows.size(), order, [&keys](uint32_t at) { return keys.byPosition[at]; });
    radix.Sort(false, order);
    std::vector<CSubscriber*> sorted;
    sorted.reserve(rows.size());
    for (uint32_t at : order)
        sorted.push_back(rows[at]);
    rows.swap(sorted);
}

bool SubscriberMatches(const CSubscriber& subscriber, std::string_view text) {
    if (text.empty()) return true;
    std::string needle = FoldAsciiCase(std::string(text));
    return ContainsFoldAsciiCase(subscriber.GetName(), needle) ||
           ContainsFoldAsciiCase(subscriber.GetPIN(), needle);
}
