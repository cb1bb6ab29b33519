#pragma once
// The printed directory: each chosen list becomes a run of pages with its own header line,
// its lines sorted as a sorted list box sorts them, and a page number at the foot. Everything
// here is plain C++ so the layout is tested without a printer; the drawing only follows it.

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CObList;
class DirectoryStore;

enum class ReportSection { Subscribers, Groups, Services, PresetMessages };
// The order the sections print in.
inline constexpr std::array<ReportSection, 4> kReportSectionOrder = {
    ReportSection::Subscribers, ReportSection::Groups, ReportSection::Services,
    ReportSection::PresetMessages};

// The print dialog's four boxes; the defaults are their initial ticks.
struct ReportChoice {
    bool subscribers = true;
    bool groups = true;
    bool presetMessages = false;
    bool services = false;

    bool Includes(ReportSection section) const;
    void Set(ReportSection section, bool on);
    bool Any() const { return subscribers || groups || presetMessages || services; }
};

// Tab stops are given in report units, 600 to the inch, and scaled to the device.
inline constexpr int kReportUnitsPerInch = 600;
int ScaleReportUnits(int units, int deviceDotsPerInch);

std::string_view ReportHeader(ReportSection section);
std::span<const int> ReportTabStops(ReportSection section);

// Where each field of a tab-separated line starts once its tabs are expanded: a tab moves on
// to the first stop right of where the text before it ends, so a long field pushes the rest
// of its line along instead of being cut; past the last stop, to the next multiple of
// `defaultTab`. `widths` are the fields' drawn widths; everything in device units.
std::vector<int> ExpandTabs(std::span<const int> widths, std::span<const int> stops, int defaultTab);

// The stops a section prints with: the given ones, each moved right as far as the header label
// of the column before it needs (plus `gap`). A label wider than its column would otherwise
// push the rest of the header a stop further than its fields. `headerWidths` are the widths of
// the header's tab-separated labels.
std::vector<int> FitStopsToHeader(std::span<const int> stops, std::span<const int> headerWidths, int gap);

// A group line shows the group icon and the group name; a member line shows only the member,
// at the second tab stop (its group name is there for the order, not for printing).
enum class ReportLineKind { Plain, Group, Member };
struct ReportLine {
    size_t offset = 0;  // of the text in the section's block
    size_t length = 0;
    ReportLineKind kind = ReportLineKind::Plain;
};

struct ReportSectionLines {
    ReportSection section;
    // The lines' texts, fields joined by tabs, one after another in one block: a large
    // directory then costs no allocation per line.
    std::string block;
    std::vector<ReportLine> lines;

    std::string_view Text(const ReportLine& line) const {
        return std::string_view(block).substr(line.offset, line.length);
    }
    std::string_view Text(size_t index) const { return Text(lines[index]); }
};

// Puts keys in the report's order and returns the positions of keys in that order. Equal keys
// keep their list order. The program passes the locale's case-insensitive collation.
using ReportOrder = std::function<std::vector<size_t>(const std::vector<std::string_view>& keys)>;
// Windows-1252 text without regard to case, byte order otherwise: for tests and as a fallback.
std::vector<size_t> CaseInsensitiveOrder(const std::vector<std::string_view>& keys);

// The directory lists a report is made from (not owned; null lists are empty).
struct ReportSource {
    const CObList* subscribers = nullptr;
    const CObList* groups = nullptr;
    const CObList* services = nullptr;
    const CObList* presetMessages = nullptr;
};

ReportSource ReportSourceOf(const DirectoryStore& store);

// The chosen sections in printing order, each with its sorted lines. A chosen list with no
// records is there with no lines (it prints no page). Tabs and line breaks inside a field
// become blanks, so a field never spills into the next column or row.
std::vector<ReportSectionLines> BuildReportSections(const ReportSource& source, const ReportChoice& choice,
                                                    const ReportOrder& order);

// True when the sections have no line at all: the job has no page.
bool ReportIsEmpty(const std::vector<ReportSectionLines>& sections);

// Rows under the header: the printable height less three text heights (header, footer line
// and footer), in whole text heights; at least one, so a tiny page still makes progress.
int ReportRowsPerPage(int printableHeight, int textHeight);

struct ReportPage {
    int number = 0;      // from 1, counted over the whole job
    size_t section = 0;  // index into the sections
    size_t firstLine = 0;
    size_t lineCount = 0;  // at most the rows per page; the rest of the page stays empty
};

// The pages the chosen lists take, counted without building their lines.
int CountReportPages(const ReportSource& source, const ReportChoice& choice, int rowsPerPage);

// Every section starts on a page of its own; a section without lines has no page.
std::vector<ReportPage> PaginateReport(const std::vector<ReportSectionLines>& sections, int rowsPerPage);
