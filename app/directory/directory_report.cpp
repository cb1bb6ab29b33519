#include "directory/directory_report.h"

#include <algorithm>

#include "archive/ob_list.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/subscriber.h"

namespace {

constexpr int kSubscriberStops[] = {1300, 1750, 2150};
constexpr int kGroupStops[] = {40, 90};
constexpr int kServiceStops[] = {1300, 2150, 2425, 2825, 4000};

// Upper and lower case letters of Windows-1252 fold to the lower case one.
unsigned char FoldCase(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
        case 0x8A:
            return 0x9A;
        case 0x8C:
            return 0x9C;
        case 0x8E:
            return 0x9E;
        case 0x9F:
            return 0xFF;
        default:
            return c;
    }
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

// Appends text to out with tabs and line breaks blanked, so a field never spills into the
// next column or row.
void AppendField(std::string& out, std::string_view text) {
    const size_t start = out.size();
    out += text;
    std::replace_if(
        out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
        [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
}

// Adds lines to a section: their text to its block, their places to its lines.
void AddLine(ReportSectionLines& section, ReportLineKind kind,
             std::initializer_list<std::string_view> fields) {
    const size_t offset = section.block.size();
    bool first = true;
    for (std::string_view field : fields) {
        if (!first) section.block += '\t';
        first = false;
        AppendField(section.block, field);
    }
    section.lines.push_back({offset, section.block.size() - offset, kind});
}

// Adds the records' lines to the section in the order of the key each record's line is
// sorted by. The keys sit in one block too.
template <class Record, class KeyOf, class LinesOf>
void AddSortedLines(ReportSectionLines& section, const std::vector<const Record*>& records,
                    const ReportOrder& order, KeyOf keyOf, LinesOf linesOf) {
    std::string block;
    std::vector<size_t> ends;
    ends.reserve(records.size());
    for (const Record* record : records) {
        AppendField(block, keyOf(*record));
        ends.push_back(block.size());
    }
    std::vector<std::string_view> keys;
    keys.reserve(records.size());
    size_t start = 0;
    for (size_t end : ends) {
        keys.emplace_back(block.data() + start, end - start);
        start = end;
    }
    // Lines are made in list order, where the records lie one after another in memory, and
    // only then put in sorted order: visiting a large directory's records in sorted order
    // would miss the cache on nearly every one.
    const size_t base = section.lines.size();
    std::vector<size_t> firstLines;
    firstLines.reserve(records.size() + 1);
    for (size_t i = 0; i < records.size(); ++i) {
        firstLines.push_back(section.lines.size());
        linesOf(section, *records[i], keys[i]);
    }
    firstLines.push_back(section.lines.size());
    std::vector<ReportLine> sorted;
    sorted.reserve(section.lines.size() - base);
    for (size_t at : order(keys))
        sorted.insert(sorted.end(), section.lines.begin() + static_cast<std::ptrdiff_t>(firstLines[at]),
                      section.lines.begin() + static_cast<std::ptrdiff_t>(firstLines[at + 1]));
    std::copy(sorted.begin(), sorted.end(), section.lines.begin() + static_cast<std::ptrdiff_t>(base));
}

void AddSubscriberLines(ReportSectionLines& section, const CObList* list, const ReportOrder& order) {
    AddSortedLines(
        section, RecordsOf<CSubscriber>(list), order, [](const CSubscriber& s) { return s.GetName(); },
        [](ReportSectionLines& out, const CSubscriber& s, std::string_view name) {
            const CService* service = s.GetService();
            AddLine(
                out, ReportLineKind::Plain,
                {name, s.GetPIN(), s.GetMaxLength(), service ? service->GetAll().name : std::string_view()});
        });
}

// Each group's line is followed by its members' lines. Sorting whole lines would get there
// too, but only while the collation weighs the tab before every letter: a collation that
// skips blanks, or two group names equal but for case, would file members under the wrong
// group. So groups are put in order first, then the members within each.
void AddGroupLines(ReportSectionLines& section, const CObList* list, const ReportOrder& order) {
    AddSortedLines(
        section, RecordsOf<CGroup>(list), order, [](const CGroup& g) { return g.GetName(); },
        [&order](ReportSectionLines& out, const CGroup& group, std::string_view name) {
            AddLine(out, ReportLineKind::Group, {"", name});
            AddSortedLines(
                out, RecordsOf<CSubscriber>(group.GetMembers()), order,
                [](const CSubscriber& s) { return s.GetName(); },
                [name](ReportSectionLines& members, const CSubscriber&, std::string_view member) {
                    AddLine(members, ReportLineKind::Member, {"", name, member});
                });
        });
}

void AddServiceLines(ReportSectionLines& section, const CObList* list, const ReportOrder& order) {
    AddSortedLines(
        section, RecordsOf<CService>(list), order, [](const CService& s) { return s.GetAll().name; },
        [](ReportSectionLines& out, const CService& s, std::string_view name) {
            const ServiceFields& f = s.GetAll();
            AddLine(out, ReportLineKind::Plain,
                    {name, f.accessNumber, f.port, std::to_string(f.baudRate), f.modemName, f.scriptFile});
        });
}

void AddMessageLines(ReportSectionLines& section, const CObList* list, const ReportOrder& order) {
    AddSortedLines(
        section, RecordsOf<CMessage>(list), order, [](const CMessage& m) { return m.GetText(); },
        [](ReportSectionLines& out, const CMessage&, std::string_view text) {
            AddLine(out, ReportLineKind::Plain, {text});
        });
}

}  // namespace

bool ReportChoice::Includes(ReportSection section) const {
    switch (section) {
        case ReportSection::Subscribers:
            return subscribers;
        case ReportSection::Groups:
            return groups;
        case ReportSection::Services:
            return services;
        case ReportSection::PresetMessages:
            return presetMessages;
    }
    return false;
}

void ReportChoice::Set(ReportSection section, bool on) {
    switch (section) {
        case ReportSection::Subscribers:
            subscribers = on;
            break;
        case ReportSection::Groups:
            groups = on;
            break;
        case ReportSection::Services:
            services = on;
            break;
        case ReportSection::PresetMessages:
            presetMessages = on;
            break;
    }
}

int ScaleReportUnits(int units, int deviceDotsPerInch) {
    return static_cast<int>(static_cast<long long>(units) * deviceDotsPerInch / kReportUnitsPerInch);
}

std::string_view ReportHeader(ReportSection section) {
    switch (section) {
        case ReportSection::Subscribers:
            return "Subscriber Name:\tPIN:\tLength:\tService:";
        case ReportSection::Groups:
            return "Group:";
        case ReportSection::Services:
            return "Service Name:\tAccess Number:\tPort:\tBaud Rate:\tModem Name:\tRKL Script:";
        case ReportSection::PresetMessages:
            return "Message:";
    }
    return {};
}

std::span<const int> ReportTabStops(ReportSection section) {
    switch (section) {
        case ReportSection::Subscribers:
            return kSubscriberStops;
        case ReportSection::Groups:
            return kGroupStops;
        case ReportSection::Services:
            return kServiceStops;
        case ReportSection::PresetMessages:
            return {};
    }
    return {};
}

std::vector<size_t> CaseInsensitiveOrder(const std::vector<std::string_view>& keys) {
    // Folded once into one block, so a comparison is a memcmp over nearby memory rather than a
    // fold of two far-apart strings.
    std::string folded;
    struct Entry {
        size_t offset;
        size_t length;
        size_t position;
    };
    std::vector<Entry> entries;
    entries.reserve(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        entries.push_back({folded.size(), keys[i].size(), i});
        for (char c : keys[i])
            folded += static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
    }
    const std::string_view block(folded);
    std::stable_sort(entries.begin(), entries.end(), [block](const Entry& a, const Entry& b) {
        return block.substr(a.offset, a.length) < block.substr(b.offset, b.length);
    });
    std::vector<size_t> positions;
    positions.reserve(entries.size());
    for (const Entry& entry : entries)
        positions.push_back(entry.position);
    return positions;
}

std::vector<ReportSectionLines> BuildReportSections(const ReportSource& source, const ReportChoice& choice,
                                                    const ReportOrder& order) {
    std::vector<ReportSectionLines> sections;
    for (ReportSection section : kReportSectionOrder) {
        if (!choice.Includes(section)) continue;
        ReportSectionLines& s = sections.emplace_back(ReportSectionLines{section, {}, {}});
        switch (section) {
            case ReportSection::Subscribers:
                AddSubscriberLines(s, source.subscribers, order);
                break;
            case ReportSection::Groups:
                AddGroupLines(s, source.groups, order);
                break;
            case ReportSection::Services:
                AddServiceLines(s, source.services, order);
                break;
            case ReportSection::PresetMessages:
                AddMessageLines(s, source.presetMessages, order);
                break;
        }
    }
    return sections;
}

ReportSource ReportSourceOf(const DirectoryStore& store) {
    return {store.GetSubscriberList(), store.GetGroupList(), store.GetServiceList(),
            store.GetPresetMessageList()};
}

int CountReportPages(const ReportSource& source, const ReportChoice& choice, int rowsPerPage) {
    const size_t rows = static_cast<size_t>(std::max(1, rowsPerPage));
    const auto pagesOf = [rows](size_t lines) { return (lines + rows - 1) / rows; };
    size_t pages = 0;
    if (choice.subscribers) pages += pagesOf(RecordsOf<CSubscriber>(source.subscribers).size());
    if (choice.groups) {
        size_t lines = 0;
        for (const CGroup* group : RecordsOf<CGroup>(source.groups))
            lines += 1 + RecordsOf<CSubscriber>(group->GetMembers()).size();
        pages += pagesOf(lines);
    }
    if (choice.services) pages += pagesOf(RecordsOf<CService>(source.services).size());
    if (choice.presetMessages) pages += pagesOf(RecordsOf<CMessage>(source.presetMessages).size());
    return static_cast<int>(pages);
}

bool ReportIsEmpty(const std::vector<ReportSectionLines>& sections) {
    return std::all_of(sections.begin(), sections.end(),
                       [](const ReportSectionLines& s) { return s.lines.empty(); });
}

std::vector<int> ExpandTabs(std::span<const int> widths, std::span<const int> stops, int defaultTab) {
    std::vector<int> starts;
    starts.reserve(widths.size());
    const int step = std::max(1, defaultTab);
    int x = 0;
    size_t stop = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        if (i > 0) {
            while (stop < stops.size() && stops[stop] <= x)
                ++stop;
            x = stop < stops.size() ? stops[stop] : (x / step + 1) * step;
        }
        starts.push_back(x);
        x += std::max(0, widths[i]);
    }
    return starts;
}

std::vector<int> FitStopsToHeader(std::span<const int> stops, std::span<const int> headerWidths, int gap) {
    std::vector<int> fitted(stops.begin(), stops.end());
    int start = 0;  // of the label before stop i
    for (size_t i = 0; i < fitted.size(); ++i) {
        // Only a label followed by a tab stands before a stop.
        const int label = i + 1 < headerWidths.size() ? headerWidths[i] + gap : 0;
        fitted[i] = std::max(fitted[i], i == 0 ? label : std::max(fitted[i - 1], start + label));
        start = fitted[i];
    }
    return fitted;
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
