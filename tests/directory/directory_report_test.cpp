// The printed directory's layout: sections, lines, order and pages, without a printer.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/ob_list.h"
#include "directory/directory_report.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/report_command_line.h"
#include "directory/service.h"
#include "directory/subscriber.h"

namespace {

class ReportWorld {
public:
    ReportWorld() { store.CreateEmpty(); }

    CService* Service(const std::string& name) {
        ServiceFields fields;
        fields.name = name;
        fields.accessNumber = "5550100";
        fields.port = "COM1";
        fields.baudRate = 2400;
        fields.modemName = "Factory Default";
        fields.scriptFile = "VORLAPRO.RKL";
        auto* service = new CService(fields);
        store.GetServiceList()->AddTail(service);
        return service;
    }
    CSubscriber* Subscriber(const std::string& name, CService* service = nullptr) {
        auto* subscriber = new CSubscriber(name, "123", "80", service);
        if (service) service->AddSubscriber(subscriber);
        store.GetSubscriberList()->AddTail(subscriber);
        return subscriber;
    }
    CGroup* Group(const std::string& name, std::initializer_list<CSubscriber*> members) {
        auto* group = new CGroup(name);
        for (CSubscriber* member : members)
            AddGroupMember(*group, *member);
        store.GetGroupList()->AddTail(group);
        return group;
    }
    void Message(const std::string& text) { store.GetPresetMessageList()->AddTail(new CMessage(text)); }

    std::vector<ReportSectionLines> Build(const ReportChoice& choice,
                                          const ReportOrder& order = CaseInsensitiveOrder) {
        return BuildReportSections(ReportSourceOf(store), choice, order);
    }
    std::vector<std::string> Lines(const ReportChoice& choice,
                                   const ReportOrder& order = CaseInsensitiveOrder) {
        const auto sections = Build(choice, order);
        std::vector<std::string> texts;
        for (const ReportLine& line : sections.at(0).lines)
            texts.emplace_back(sections[0].Text(line));
        return texts;
    }

    DirectoryStore store;
};

ReportChoice Only(ReportSection section) {
    ReportChoice choice{false, false, false, false};
    choice.Set(section, true);
    return choice;
}

// A collation that skips blanks and tabs, as some locales do at the first level.
std::vector<size_t> BlankBlindOrder(const std::vector<std::string_view>& keys) {
    std::vector<std::string> stripped;
    for (std::string_view key : keys) {
        std::string s;
        std::copy_if(key.begin(), key.end(), std::back_inserter(s),
                     [](char c) { return c != ' ' && c != '\t'; });
        stripped.push_back(s);
    }
    const std::vector<std::string_view> views(stripped.begin(), stripped.end());
    return CaseInsensitiveOrder(views);
}

TEST(DirectoryReport, ChosenSectionsComeInPrintingOrder) {
    ReportWorld world;
    const struct {
        ReportChoice choice;
        std::vector<ReportSection> sections;
    } cases[] = {
        {ReportChoice{}, {ReportSection::Subscribers, ReportSection::Groups}},
        {ReportChoice{true, true, true, true},
         {ReportSection::Subscribers, ReportSection::Groups, ReportSection::Services,
          ReportSection::PresetMessages}},
        {ReportChoice{false, false, true, true}, {ReportSection::Services, ReportSection::PresetMessages}},
        {ReportChoice{false, false, false, false}, {}},
    };
    for (const auto& c : cases) {
        std::vector<ReportSection> got;
        for (const ReportSectionLines& s : world.Build(c.choice))
            got.push_back(s.section);
        EXPECT_EQ(got, c.sections);
    }
}

TEST(DirectoryReport, LinesCarryTheFieldsAndSortWithoutRegardToCase) {
    ReportWorld world;
    CService* demo = world.Service("zeta Paging");
    world.Service("Alpha");
    world.Service("beta");
    world.Subscriber("carl", demo);
    world.Subscriber("Ann", demo);
    world.Subscriber("bob\tsmith");
    world.Message("Call the office");
    world.Message("back at\r\nnoon");

    EXPECT_EQ(world.Lines(Only(ReportSection::Subscribers)),
              (std::vector<std::string>{"Ann\t123\t80\tzeta Paging", "bob smith\t123\t80\t",
                                        "carl\t123\t80\tzeta Paging"}));
    EXPECT_EQ(world.Lines(Only(ReportSection::Services)),
              (std::vector<std::string>{"Alpha\t5550100\tCOM1\t2400\tFactory Default\tVORLAPRO.RKL",
                                        "beta\t5550100\tCOM1\t2400\tFactory Default\tVORLAPRO.RKL",
                                        "zeta Paging\t5550100\tCOM1\t2400\tFactory Default\tVORLAPRO.RKL"}));
    EXPECT_EQ(world.Lines(Only(ReportSection::PresetMessages)),
              (std::vector<std::string>{"back at  noon", "Call the office"}));
}

TEST(DirectoryReport, WindowsLettersFoldWithTheirCase) {
    // \xC4 and \xE4 are the capital and small a with diaeresis: they tie, the next letter decides.
    const std::vector<std::string_view> keys = {"\xC4z",
                                                "\xE4"
                                                "a",
                                                "b"};
    EXPECT_EQ(CaseInsensitiveOrder(keys), (std::vector<size_t>{2, 1, 0}));
}

TEST(DirectoryReport, MembersFollowTheirOwnGroupInOrder) {
    const struct {
        const char* name;
        ReportOrder order;
    } orders[] = {{"case-insensitive", CaseInsensitiveOrder}, {"blank-blind", BlankBlindOrder}};
    for (const auto& o : orders) {
        SCOPED_TRACE(o.name);
        ReportWorld world;
        CSubscriber* bob = world.Subscriber("Bob");
        CSubscriber* ann = world.Subscriber("Ann");
        CSubscriber* zed = world.Subscriber("Zed");
        world.Group("Staff", {bob, ann});
        world.Group("AB", {zed});
        world.Group("ABC", {});
        world.Group("staff", {zed});
        const auto sections = world.Build(Only(ReportSection::Groups), o.order);
        std::vector<std::string> texts;
        std::vector<ReportLineKind> kinds;
        for (const ReportLine& line : sections.at(0).lines) {
            texts.emplace_back(sections[0].Text(line));
            kinds.push_back(line.kind);
        }
        EXPECT_EQ(texts, (std::vector<std::string>{"\tAB", "\tAB\tZed", "\tABC", "\tStaff", "\tStaff\tAnn",
                                                   "\tStaff\tBob", "\tstaff", "\tstaff\tZed"}));
        using K = ReportLineKind;
        EXPECT_EQ(kinds, (std::vector<K>{K::Group, K::Member, K::Group, K::Group, K::Member, K::Member,
                                         K::Group, K::Member}));
    }
}

TEST(DirectoryReport, SectionsStartOnTheirOwnPages) {
    const struct {
        std::vector<size_t> lineCounts;
        int rows;
        // (section, first line, line count) of each page; pages are numbered from 1.
        std::vector<std::tuple<size_t, size_t, size_t>> pages;
    } cases[] = {
        {{3}, 50, {{0, 0, 3}}},
        {{4, 2}, 4, {{0, 0, 4}, {1, 0, 2}}},  // exactly R lines fill one page
        {{5, 1}, 4, {{0, 0, 4}, {0, 4, 1}, {1, 0, 1}}},
        {{0, 2, 0}, 4, {{1, 0, 2}}},  // a chosen list without records prints no page
        {{}, 4, {}},
        {{3}, 0, {{0, 0, 1}, {0, 1, 1}, {0, 2, 1}}},  // no room still makes progress
    };
    for (const auto& c : cases) {
        std::vector<ReportSectionLines> sections;
        for (size_t count : c.lineCounts)
            sections.push_back({ReportSection::Subscribers, {}, std::vector<ReportLine>(count)});
        const auto pages = PaginateReport(sections, c.rows);
        ASSERT_EQ(pages.size(), c.pages.size());
        for (size_t i = 0; i < pages.size(); ++i) {
            EXPECT_EQ(pages[i].number, static_cast<int>(i) + 1);
            EXPECT_EQ(std::make_tuple(pages[i].section, pages[i].firstLine, pages[i].lineCount), c.pages[i])
                << i;
        }
    }
}

TEST(DirectoryReport, PageCountWithoutLinesMatchesTheLayout) {
    ReportWorld world;
    CService* service = world.Service("Acme");
    std::vector<CSubscriber*> people;
    for (const char* name : {"a", "b", "c", "d", "e"})
        people.push_back(world.Subscriber(name, service));
    world.Group("one", {people[0], people[1], people[2]});
    world.Group("two", {});
    world.Message("hello");
    for (int rows : {1, 2, 3, 50}) {
        for (const ReportChoice& choice :
             {ReportChoice{}, ReportChoice{true, true, true, true}, ReportChoice{false, true, false, false},
              ReportChoice{false, false, false, false}}) {
            EXPECT_EQ(static_cast<size_t>(CountReportPages(ReportSourceOf(world.store), choice, rows)),
                      PaginateReport(world.Build(choice), rows).size())
                << rows;
        }
    }
}

TEST(DirectoryReport, RowsPerPageAndTabStopsFollowTheDevice) {
    EXPECT_EQ(ReportRowsPerPage(1000, 10), 97);
    EXPECT_EQ(ReportRowsPerPage(1005, 10), 97);
    EXPECT_EQ(ReportRowsPerPage(35, 10), 1);
    EXPECT_EQ(ReportRowsPerPage(1000, 0), 1);
    EXPECT_EQ(ScaleReportUnits(1300, 600), 1300);
    EXPECT_EQ(ScaleReportUnits(1300, 1200), 2600);
    EXPECT_EQ(ScaleReportUnits(4000, 96), 640);
    EXPECT_EQ(ReportTabStops(ReportSection::Groups).size(), 2u);
    EXPECT_TRUE(ReportTabStops(ReportSection::PresetMessages).empty());
}

TEST(PrintDirectoryArguments, OptionsSectionsAndErrors) {
    const ReportChoice initial;
    const struct {
        std::vector<std::string> arguments;
        bool requested;
        bool ok;
        std::string path;
        ReportChoice choice;
    } cases[] = {
        {{}, false, false, "", initial},
        {{"-Embedding"}, false, false, "", initial},
        {{"--print-directory", "/tmp/d.pdf"}, true, true, "/tmp/d.pdf", initial},
        {{"--print-directory=/tmp/d.pdf", "--sections", "Services,messages"},
         true,
         true,
         "/tmp/d.pdf",
         ReportChoice{false, false, true, true}},
        {{"--sections=groups", "--print-directory", "d.pdf"},
         true,
         true,
         "d.pdf",
         ReportChoice{false, true, false, false}},
        {{"--print-directory"}, true, false, "", initial},
        {{"--print-directory="}, true, false, "", initial},
        {{"--print-directory", "d.pdf", "--sections"}, true, false, "", initial},
        {{"--print-directory", "d.pdf", "--sections="}, true, false, "", initial},
        {{"--print-directory", "d.pdf", "--sections", "groups,,services"}, true, false, "", initial},
        {{"--print-directory", "d.pdf", "--sections", "logs"}, true, false, "", initial},
        {{"--print-directory", "d.pdf", "extra"}, true, false, "", initial},
        {{"--sections", "groups"}, true, false, "", initial},
    };
    for (const auto& c : cases) {
        const PrintDirectoryParse parse = ParsePrintDirectoryArguments(c.arguments);
        const std::string label = c.arguments.empty() ? "(none)" : c.arguments.back();
        EXPECT_EQ(parse.requested, c.requested) << label;
        EXPECT_EQ(parse.request.has_value(), c.ok) << label;
        EXPECT_EQ(parse.error.empty(), !c.requested || c.ok) << label;
        if (!parse.request) continue;
        EXPECT_EQ(parse.request->outputPath, c.path);
        for (ReportSection section : kReportSectionOrder)
            EXPECT_EQ(parse.request->choice.Includes(section), c.choice.Includes(section)) << label;
    }
}

}  // namespace
