#include "directory_report.h"

#include <algorithm>
#include <numeric>

#include "group.h"
#include "message.h"
#include "ob_list.h"
#include "service.h"
#include "subscriber.h"

namespace {

constexpr int kSubscriberStops[] = {1300, 1750, 2150};
constexpr int kGroupStops[] = {40, 90};
constexpr int kServiceStops[] = {1300, 2150, 2425, 2825, 4000};

// Upper and lower case letters of Windows-1252 fold to the lower case one.
unsigned char FoldCase(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

bool FoldedLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return FoldCase(static_cast<unsigned char>(x)) < FoldCase(static_cast<unsigned char>(y));
  });
}

// A field's text with the characters that would break the line's columns or rows blanked.
std::string Field(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return text;
}

template <class Record>
std::vector<const Record*> RecordsOf(const CObList* list) {
  std::vector<const Record*> records;
  if (!list) return records;
  records.reserve(list->GetCount());
  for (const Serializable* item : *list)
    if (const auto* record = dynamic_cast<const Record*>(item)) records.push_back(record);
  return records;
}

// Lines of records, in the order of the key each record's line is sorted by.
template <class Record, class KeyOf, class LineOf>
void AddSortedLines(std::vector<ReportLine>& out, const std::vector<const Record*>& records, const ReportOrder& order,
                    KeyOf keyOf, LineOf lineOf) {
  std::vector<std::string> keys;
  keys.reserve(records.size());
  for (const Record* record : records) keys.push_back(keyOf(*record));
  const std::vector<std::string_view> views(keys.begin(), keys.end());
  for (size_t at : order(views)) lineOf(out, *records[at], keys[at]);
}

void AddSubscriberLines(std::vector<ReportLine>& out, const CObList* list, const ReportOrder& order) {
  AddSortedLines(out, RecordsOf<CSubscriber>(list), order, [](const CSubscriber& s) { return Field(s.GetName()); },
                 [](std::vector<ReportLine>& lines, const CSubscriber& s, const std::string& name) {
                   const CService* service = s.GetService();
                   lines.push_back({name + '\t' + Field(s.GetPIN()) + '\t' + Field(s.GetMaxLength()) + '\t' +
                                        (service ? Field(service->GetName()) : std::string()),
                                    ReportLineKind::Plain});
                 });
}

// Each group's line is followed by its members' lines. Sorting whole lines would get there
// too, but only while the collation weighs the tab before every letter: a collation that
// skips blanks, or two group names equal but for case, would file members under the wrong
// group. So groups are put in order first, then the members within each.
void AddGroupLines(std::vector<ReportLine>& out, const CObList* list, const ReportOrder& order) {
  AddSortedLines(out, RecordsOf<CGroup>(list), order, [](const CGroup& g) { return Field(g.GetName()); },
                 [&order](std::vector<ReportLine>& lines, const CGroup& group, const std::string& name) {
                   lines.push_back({'\t' + name, ReportLineKind::Group});
                   AddSortedLines(lines, RecordsOf<CSubscriber>(group.GetMembers()), order,
                                  [](const CSubscriber& s) { return Field(s.GetName()); },
                                  [&name](std::vector<ReportLine>& members, const CSubscriber&,
                                          const std::string& member) {
                                    members.push_back({'\t' + name + '\t' + member, ReportLineKind::Member});
                                  });
                 });
}

void AddServiceLines(std::vector<ReportLine>& out, const CObList* list, const ReportOrder& order) {
  AddSortedLines(out, RecordsOf<CService>(list), order, [](const CService& s) { return Field(s.GetName()); },
                 [](std::vector<ReportLine>& lines, const CService& s, const std::string& name) {
                   lines.push_back({name + '\t' + Field(s.GetAccessNumber()) + '\t' + Field(s.GetPort()) + '\t' +
                                        std::to_string(s.GetBaudRate()) + '\t' + Field(s.GetModemName()) + '\t' +
                                        Field(s.GetScriptFile()),
                                    ReportLineKind::Plain});
                 });
}

void AddMessageLines(std::vector<ReportLine>& out, const CObList* list, const ReportOrder& order) {
  AddSortedLines(out, RecordsOf<CMessage>(list), order, [](const CMessage& m) { return Field(m.GetText()); },
                 [](std::vector<ReportLine>& lines, const CMessage&, const std::string& text) {
                   lines.push_back({text, ReportLineKind::Plain});
                 });
}

}  // namespace

bool ReportChoice::Includes(ReportSection section) const {
  switch (section) {
    case ReportSection::Subscribers: return subscribers;
    case ReportSection::Groups: return groups;
    case ReportSection::Services: return services;
    case ReportSection::PresetMessages: return presetMessages;
  }
  return false;
}

void ReportChoice::Set(ReportSection section, bool on) {
  switch (section) {
    case ReportSection::Subscribers: subscribers = on; break;
    case ReportSection::Groups: groups = on; break;
    case ReportSection::Services: services = on; break;
    case ReportSection::PresetMessages: presetMessages = on; break;
  }
}

int ScaleReportUnits(int units, int deviceDotsPerInch) {
  return static_cast<int>(static_cast<long long>(units) * deviceDotsPerInch / kReportUnitsPerInch);
}

std::string_view ReportHeader(ReportSection section) {
  switch (section) {
    case ReportSection::Subscribers: return "Subscriber Name:\tPIN:\tLength:\tService:";
    case ReportSection::Groups: return "Group:";
    case ReportSection::Services: return "Service Name:\tAccess Number:\tPort:\tBaud Rate:\tModem Name:\tRKL Script:";
    case ReportSection::PresetMessages: return "Message:";
  }
  return {};
}

std::span<const int> ReportTabStops(ReportSection section) {
  switch (section) {
    case ReportSection::Subscribers: return kSubscriberStops;
    case ReportSection::Groups: return kGroupStops;
    case ReportSection::Services: return kServiceStops;
    case ReportSection::PresetMessages: return {};
  }
  return {};
}

std::vector<size_t> CaseInsensitiveOrder(const std::vector<std::string_view>& keys) {
  std::vector<size_t> positions(keys.size());
  std::iota(positions.begin(), positions.end(), size_t{0});
  std::stable_sort(positions.begin(), positions.end(), [&keys](size_t a, size_t b) { return FoldedLess(keys[a], keys[b]); });
  return positions;
}

std::vector<ReportSectionLines> BuildReportSections(const ReportSource& source, const ReportChoice& choice,
                                                    const ReportOrder& order) {
  std::vector<ReportSectionLines> sections;
  for (ReportSection section : kReportSectionOrder) {
    if (!choice.Includes(section)) continue;
    ReportSectionLines& s = sections.emplace_back(ReportSectionLines{section, {}});
    switch (section) {
      case ReportSection::Subscribers: AddSubscriberLines(s.lines, source.subscribers, order); break;
      case ReportSection::Groups: AddGroupLines(s.lines, source.groups, order); break;
      case ReportSection::Services: AddServiceLines(s.lines, source.services, order); break;
      case ReportSection::PresetMessages: AddMessageLines(s.lines, source.presetMessages, order); break;
    }
  }
  return sections;
}

int ReportRowsPerPage(int printableHeight, int textHeight) {
  if (textHeight <= 0) return 1;
  return std::max(1, (printableHeight - 3 * textHeight) / textHeight);
}

std::vector<ReportPage> PaginateReport(const std::vector<ReportSectionLines>& sections, int rowsPerPage) {
  const size_t rows = static_cast<size_t>(std::max(1, rowsPerPage));
  std::vector<ReportPage> pages;
  for (size_t s = 0; s < sections.size(); ++s) {
    const size_t count = sections[s].lines.size();
    for (size_t first = 0; first < count; first += rows)
      pages.push_back({static_cast<int>(pages.size()) + 1, s, first, std::min(rows, count - first)});
  }
  return pages;
}
