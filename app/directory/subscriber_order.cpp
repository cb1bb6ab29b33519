#include "subscriber_order.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>

#include "directory_edits.h"
#include "service.h"
#include "stable_radix_sort.h"
#include "subscriber.h"
#include "text_order.h"

namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }


std::string_view Digits(std::string_view text) {
  size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  text.remove_prefix(start);
  size_t end = 0;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  text = text.substr(0, end);
  size_t nonZero = text.find_first_not_of('0');
  return nonZero == std::string_view::npos ? std::string_view() : text.substr(nonZero);
}

bool ContainsFoldAsciiCase(std::string_view haystack, std::string_view foldedNeedle) {
  if (foldedNeedle.size() > haystack.size()) return false;
  for (size_t i = 0; i + foldedNeedle.size() <= haystack.size(); ++i) {
    size_t k = 0;
    while (k < foldedNeedle.size() && Fold(haystack[i + k]) == foldedNeedle[k]) ++k;
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

namespace {

unsigned BitsFor(uint32_t ranks) { return static_cast<unsigned>(std::bit_width(ranks > 0 ? ranks - 1 : 0u)); }

// Appends the text to the bytes and says where it went.
template <class Span>
Span Append(std::string& bytes, std::string_view text) {
  const Span span{static_cast<uint32_t>(bytes.size()), static_cast<uint32_t>(text.size())};
  bytes.append(text);
  return span;
}

}  // namespace

void SubscriberColumns::Clear() { *this = SubscriberColumns(); }

void SubscriberColumns::Reserve(size_t count) {
  names_.reserve(count);
  pins_.reserve(count);
  splits_.reserve(count);
  services_.reserve(count);
}

void SubscriberColumns::Add(const CSubscriber& subscriber) {
  const size_t at = nameBytes_.size();
  names_.push_back(Append<Span>(nameBytes_, subscriber.GetName()));
  for (size_t i = at; i < nameBytes_.size(); ++i) nameBytes_[i] = Fold(nameBytes_[i]);
  pins_.push_back(Append<Span>(pinBytes_, Digits(subscriber.GetPIN())));
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

SubscriberColumnKeys SubscriberColumns::Keys(int column) const {
  switch (column) {
    case kSubscriberPin: return PinKeys();
    case kSubscriberSplit: return SplitKeys();
    case kSubscriberService: return ServiceKeys();
    default: return NameKeys();
  }
}

SubscriberColumnKeys SubscriberColumns::NameKeys() const {
  std::vector<vorla::TextRef> texts;
  texts.reserve(names_.size());
  for (size_t at = 0; at < names_.size(); ++at)
    texts.push_back(vorla::TextRef::Of(std::string_view(nameBytes_).substr(names_[at].offset, names_[at].length),
                                       static_cast<uint32_t>(at)));
  SubscriberColumnKeys keys;
  keys.bits = BitsFor(vorla::RankTexts(texts, vorla::kExactBytes, names_.size(), keys.byPosition));
  return keys;
}

// Digit strings without leading zeros compare by value when the shorter one comes first and
// equal lengths compare by bytes: a byte-wise sort, then a stable one by length.
SubscriberColumnKeys SubscriberColumns::PinKeys() const {
  std::vector<vorla::TextRef> texts;
  texts.reserve(pins_.size());
  size_t longest = 0;
  for (size_t at = 0; at < pins_.size(); ++at) {
    texts.push_back(vorla::TextRef::Of(std::string_view(pinBytes_).substr(pins_[at].offset, pins_[at].length),
                                       static_cast<uint32_t>(at)));
    longest = std::max<size_t>(longest, pins_[at].length);
  }
  vorla::SortTexts(texts, vorla::kExactBytes);
  std::vector<size_t> next(longest + 2, 0);
  for (const vorla::TextRef& text : texts) ++next[text.length + 1];
  for (size_t length = 1; length < next.size(); ++length) next[length] += next[length - 1];
  std::vector<vorla::TextRef> byLength(texts.size());
  for (const vorla::TextRef& text : texts) byLength[next[text.length]++] = text;
  SubscriberColumnKeys keys;
  keys.bits = BitsFor(vorla::RankSortedTexts(byLength, vorla::kExactBytes, pins_.size(), keys.byPosition));
  return keys;
}

SubscriberColumnKeys SubscriberColumns::SplitKeys() const {
  SubscriberColumnKeys keys;
  if (splits_.empty()) return keys;
  const auto [low, high] = std::minmax_element(splits_.begin(), splits_.end());
  const int64_t lowest = *low;
  keys.bits = static_cast<unsigned>(std::bit_width(static_cast<uint64_t>(int64_t{*high} - lowest)));
  keys.byPosition.reserve(splits_.size());
  for (int value : splits_) keys.byPosition.push_back(static_cast<uint32_t>(int64_t{value} - lowest));
  return keys;
}

// A directory has a handful of services: their names are ranked once, each row takes its
// service's rank.
SubscriberColumnKeys SubscriberColumns::ServiceKeys() const {
  std::vector<vorla::TextRef> names;
  names.reserve(serviceNames_.size());
  for (size_t index = 0; index < serviceNames_.size(); ++index)
    names.push_back(vorla::TextRef::Of(serviceNames_[index], static_cast<uint32_t>(index)));
  std::vector<uint32_t> serviceRanks;
  SubscriberColumnKeys keys;
  keys.bits = BitsFor(vorla::RankTexts(names, vorla::kAsciiFold, serviceNames_.size(), serviceRanks));
  keys.byPosition.reserve(services_.size());
  for (uint32_t service : services_) keys.byPosition.push_back(serviceRanks[service]);
  return keys;
}

void SortSubscribers(std::vector<CSubscriber*>& rows, int column) {
  SubscriberColumns columns;
  columns.Reserve(rows.size());
  for (const CSubscriber* row : rows) columns.Add(*row);
  const SubscriberColumnKeys keys = columns.Keys(column);
  std::vector<uint32_t> order(rows.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
  vorla::StableRadixSort radix;
  radix.Load(keys.bits, rows.size(), order, [&keys](uint32_t at) { return keys.byPosition[at]; });
  radix.Sort(false, order);
  std::vector<CSubscriber*> sorted;
  sorted.reserve(rows.size());
  for (uint32_t at : order) sorted.push_back(rows[at]);
  rows.swap(sorted);
}

bool SubscriberMatches(const CSubscriber& subscriber, std::string_view text) {
  if (text.empty()) return true;
  std::string needle = FoldAsciiCase(std::string(text));
  return ContainsFoldAsciiCase(subscriber.GetName(), needle) || ContainsFoldAsciiCase(subscriber.GetPIN(), needle);
}
