#include "subscriber_order.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "directory_edits.h"
#include "service.h"
#include "subscriber.h"

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

// The rows with their keys made once, so a sort of many rows compares ready keys instead of
// copying names out of the records at every comparison.
template <class Key, class MakeKey>
void SortByKey(std::vector<CSubscriber*>& rows, MakeKey makeKey, bool (*less)(const Key&, const Key&)) {
  struct Keyed {
    Key key;
    CSubscriber* row;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(rows.size());
  for (CSubscriber* row : rows) keyed.push_back({makeKey(*row), row});
  std::stable_sort(keyed.begin(), keyed.end(), [less](const Keyed& a, const Keyed& b) { return less(a.key, b.key); });
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = keyed[i].row;
}

// A folded text with its first eight bytes packed big-endian, so most comparisons are one
// integer compare on data next to the row instead of a walk to the text.
struct TextKey {
  uint64_t prefix = 0;
  std::string text;
};

TextKey MakeTextKey(std::string folded) {
  TextKey key;
  for (size_t i = 0; i < 8; ++i)
    key.prefix = (key.prefix << 8) | (i < folded.size() ? static_cast<unsigned char>(folded[i]) : 0u);
  key.text = std::move(folded);
  return key;
}

bool TextLess(const TextKey& a, const TextKey& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix;
  return a.text.size() > 8 || b.text.size() > 8 ? a.text < b.text : a.text.size() < b.text.size();
}
bool NumberLess(const int64_t& a, const int64_t& b) { return a < b; }
bool DecimalLess(const std::string& a, const std::string& b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

int CompareDecimalText(std::string_view a, std::string_view b) {
  std::string_view da = Digits(a), db = Digits(b);
  if (da.size() != db.size()) return da.size() < db.size() ? -1 : 1;
  return da.compare(db);
}

void SortSubscribers(std::vector<CSubscriber*>& rows, int column) {
  switch (column) {
    case kSubscriberPin:
      SortByKey<std::string>(rows, [](const CSubscriber& s) { return std::string(Digits(s.GetPIN())); },
                             &DecimalLess);
      break;
    case kSubscriberSplit:
      SortByKey<int64_t>(rows, [](const CSubscriber& s) { return int64_t{s.GetMaxLengthNumber()}; }, &NumberLess);
      break;
    case kSubscriberService:
      SortByKey<TextKey>(
          rows,
          [](const CSubscriber& s) {
            return MakeTextKey(s.GetService() ? FoldAsciiCase(s.GetService()->GetName()) : std::string());
          },
          &TextLess);
      break;
    default:
      SortByKey<TextKey>(rows, [](const CSubscriber& s) { return MakeTextKey(FoldAsciiCase(s.GetName())); }, &TextLess);
      break;
  }
}

bool SubscriberMatches(const CSubscriber& subscriber, std::string_view text) {
  if (text.empty()) return true;
  std::string needle = FoldAsciiCase(std::string(text));
  return ContainsFoldAsciiCase(subscriber.GetName(), needle) || ContainsFoldAsciiCase(subscriber.GetPIN(), needle);
}
