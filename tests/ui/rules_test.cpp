// The message form's plain rules: recipient rows, signature tokens, text files, toolbar layouts.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "archive/ob_list.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/subscriber.h"
#include "ui/common/toolbar_layout.h"
#include "ui/message_entry/message_texts.h"
#include "ui/message_entry/selection_rows.h"

namespace {

// A small directory: subscribers and groups owned here, the display list owned by the rows' test.
struct Directory {
    std::vector<std::unique_ptr<CSubscriber>> subscribers;
    std::vector<std::unique_ptr<CGroup>> groups;
    CObList subscriberList, groupList;
    OwningList display{new CObList};

    CSubscriber* Add(const std::string& name) {
        subscribers.push_back(std::make_unique<CSubscriber>(name, "1", "80", nullptr));
        subscriberList.AddTail(subscribers.back().get());
        return subscribers.back().get();
    }
    CGroup* AddGroup(const std::string& name, std::vector<CSubscriber*> members) {
        groups.push_back(std::make_unique<CGroup>(name));
        for (CSubscriber* s : members)
            groups.back()->GetMembers()->AddTail(s);
        groupList.AddTail(groups.back().get());
        return groups.back().get();
    }
};

std::vector<std::string> Names(const SelectionRows& rows) {
    std::vector<std::string> out;
    for (int i = 0; i < rows.Count(); ++i) {
        const CDisplayObject& row = *rows.At(i);
        out.push_back((KindOf(row) == RowKind::Member ? "  " : "") + RowName(row));
    }
    return out;
}

using Strings = std::vector<std::string>;

TEST(SelectionRows, FillSortsBytewiseAndExpandsAndCollapsesExactlyTheMembers) {
    Directory d;
    CSubscriber* ann = d.Add("ann");
    CSubscriber* bob = d.Add("Bob");
    d.Add("Zed");
    d.AddGroup("Team", {bob, ann});
    d.AddGroup("Alpha", {ann});
    SelectionRows rows(d.display.get());
    rows.Fill(&d.subscriberList, &d.groupList);
    // Upper case sorts before lower case: plain byte order, not the user's collation.
    EXPECT_EQ(Names(rows), (Strings{"Alpha", "Bob", "Team", "Zed", "ann"}));
    EXPECT_EQ(d.display->GetCount(), 5u);

    EXPECT_EQ(rows.ToggleGroup(2), 2);
    EXPECT_EQ(Names(rows), (Strings{"Alpha", "Bob", "Team", "  Bob", "  ann", "Zed", "ann"}));
    EXPECT_EQ(d.display->GetCount(), 7u);
    EXPECT_EQ(rows.ToggleGroup(0), 1);
    EXPECT_EQ(Names(rows), (Strings{"Alpha", "  ann", "Bob", "Team", "  Bob", "  ann", "Zed", "ann"}));

    // Collapsing Team leaves Alpha's member and the rows after it alone.
    EXPECT_EQ(rows.ToggleGroup(3), -2);
    EXPECT_EQ(Names(rows), (Strings{"Alpha", "  ann", "Bob", "Team", "Zed", "ann"}));
    EXPECT_EQ(d.display->GetCount(), 6u);
    EXPECT_EQ(rows.ToggleGroup(2), 0) << "a subscriber row is not a group";

    // Refilling drops the member rows and the expanded state.
    rows.Fill(&d.subscriberList, &d.groupList);
    EXPECT_EQ(rows.Count(), 5);
}

TEST(SelectionRows, LoadKeepsMembersOnlyUnderExpandedGroups) {
    Directory d;
    CSubscriber* ann = d.Add("Ann");
    CGroup* team = d.AddGroup("Team", {ann});
    CGroup* crew = d.AddGroup("Crew", {ann});
    d.display->AddTail(new CDisplayObject(ann, nullptr, 0));
    d.display->AddTail(new CDisplayObject(nullptr, team, 1));
    d.display->AddTail(new CDisplayObject(ann, team, 0));
    d.display->AddTail(new CDisplayObject(nullptr, crew, 0));
    d.display->AddTail(new CDisplayObject(ann, crew, 0));  // stale: Crew is collapsed
    SelectionRows rows(d.display.get());
    rows.Load();
    EXPECT_EQ(Names(rows), (Strings{"Ann", "Crew", "Team", "  Ann"}));
    EXPECT_EQ(d.display->GetCount(), 4u);
    // Expanding Crew now adds exactly one member row, not a second set.
    EXPECT_EQ(rows.ToggleGroup(1), 1);
    EXPECT_EQ(Names(rows), (Strings{"Ann", "Crew", "  Ann", "Team", "  Ann"}));
}

// Rows saved before another program added to the directory (an import from the shell) must
// be told apart from rows that list it all, or the form would hide the new people.
TEST(SelectionRows, KnowsWhetherTheSavedRowsListEveryRecordOnce) {
    Directory d;
    CSubscriber* ann = d.Add("Ann");
    CGroup* team = d.AddGroup("Team", {ann});
    d.display->AddTail(new CDisplayObject(ann, nullptr, 0));
    d.display->AddTail(new CDisplayObject(nullptr, team, 1));
    d.display->AddTail(new CDisplayObject(ann, team, 0));  // member rows do not count
    SelectionRows rows(d.display.get());
    rows.Load();
    EXPECT_TRUE(rows.ListsEveryRecordOnce(&d.subscriberList, &d.groupList));
    CSubscriber* imported = d.Add("Imported");
    EXPECT_FALSE(rows.ListsEveryRecordOnce(&d.subscriberList, &d.groupList)) << "a subscriber without a row";
    d.display->AddTail(new CDisplayObject(imported, nullptr, 0));
    d.display->AddTail(new CDisplayObject(imported, nullptr, 0));
    rows.Load();
    EXPECT_FALSE(rows.ListsEveryRecordOnce(&d.subscriberList, &d.groupList)) << "a subscriber listed twice";
    rows.Fill(&d.subscriberList, &d.groupList);
    EXPECT_TRUE(rows.ListsEveryRecordOnce(&d.subscriberList, &d.groupList));
}

TEST(SelectionRows, PrefixSearchIgnoresCaseAndWrapsFromTheStartingRow) {
    Directory d;
    d.Add("Bob");
    d.Add("bonnie");
    d.Add("Olga");
    SelectionRows rows(d.display.get());
    rows.Fill(&d.subscriberList, &d.groupList);
    EXPECT_EQ(rows.FindPrefix("BO"), 0);
    EXPECT_EQ(rows.FindPrefix("bon"), 2);
    EXPECT_EQ(rows.FindPrefix("o"), 1);
    EXPECT_EQ(rows.FindPrefix("bo", 1), 2);
    EXPECT_EQ(rows.FindPrefix("bo", 3), 0) << "wraps past the end";
    EXPECT_EQ(rows.FindPrefix("x"), -1);
    EXPECT_EQ(rows.FindPrefix(""), -1);
}

TEST(Recipients, GroupsGiveMembersInGroupOrderAndMemberRowsGiveNothing) {
    Directory d;
    CSubscriber* ann = d.Add("Ann");
    CSubscriber* bob = d.Add("Bob");
    CGroup* team = d.AddGroup("Team", {bob, ann});
    CGroup* empty = d.AddGroup("Empty", {});
    CDisplayObject annRow(ann, nullptr, 0), teamRow(nullptr, team, 1), memberRow(bob, team, 0),
        emptyRow(nullptr, empty, 0);
    EXPECT_EQ(RecipientsOf({&annRow, &teamRow, &memberRow}), (std::vector<CSubscriber*>{ann, bob, ann}));
    EXPECT_TRUE(RecipientsOf({&emptyRow, &memberRow}).empty());
}

TEST(MessageTexts, UpperCaseKeepsTheLengthAndEveryCharacterOfTheCodePage) {
    const struct {
        const char* text;
        const char* upper;
    } cases[] = {
        {"abc xyz 09", "ABC XYZ 09"},
        {"\xe9t\xe9 \xe0 \xfe", "\xc9T\xc9 \xc0 \xde"},  // accented small letters
        {"\x9a\x9c\x9e\xff", "\x8a\x8c\x8e\x9f"},        // s, oe, z with caron, y with diaeresis
        {"\xdf \xb5 \xf7", "\xdf \xb5 \xf7"},            // no capital here: sharp s, micro, division
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpperCaseMessage(c.text), c.upper) << c.text;
}

TEST(MessageTexts, SignatureTokensAreReplacedLeftToRightWithoutRescanning) {
    EXPECT_EQ(ReplaceSignatureTokens("<DATE><DATE> at <TIME>", "1/2/99", "10:00 AM"),
              "1/2/991/2/99 at 10:00 AM");
    EXPECT_EQ(ReplaceSignatureTokens("<TIME>", "d", "<TIME>"), "<TIME>") << "inserted text is not scanned";
    EXPECT_EQ(ReplaceSignatureTokens("<date> <DATE", "d", "t"), "<date> <DATE")
        << "tokens are case-sensitive";
    EXPECT_EQ(ReplaceSignatureTokens("", "d", "t"), "");
}

TEST(MessageTexts, WindowsLineEndsBecomeASpaceBeforeTheLineFeed) {
    EXPECT_EQ(TextFileToMessage("one\r\ntwo\r\n"), "one \ntwo \n");
    EXPECT_EQ(TextFileToMessage("a\rb\n\r"), "a\rb\n\r") << "only CR LF pairs change";
    EXPECT_EQ(TextFileToMessage(std::string("x\0\r\n", 4)), std::string("x\0 \n", 4));
}

TEST(MessageTexts, StrftimeFormatsAndEmptyResults) {
    EXPECT_EQ(FormatLocalTime("%Y", 0).size(), 4u);
    EXPECT_EQ(FormatLocalTime("", 0), "");
    EXPECT_EQ(FormatLocalTime("%%", 0), "%");
}

TEST(ToolbarLayout, RoundTripsAndRefusesDamagedValues) {
    using vorla::ToolButtonRecord;
    std::vector<ToolButtonRecord> buttons(3);
    buttons[0].command = 32787;
    buttons[1].style = vorla::kToolButtonStyleSeparator;
    buttons[2].command = 57664;
    buttons[2].image = 7;
    const std::string bytes = vorla::EncodeToolbarLayout(buttons);
    ASSERT_EQ(bytes.size(), 4 + 3 * vorla::kToolButtonRecordSize);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x03\0\0\0\0\0\0\0", 8));
    EXPECT_EQ(vorla::DecodeToolbarLayout(bytes), buttons);

    EXPECT_FALSE(vorla::DecodeToolbarLayout(bytes.substr(0, bytes.size() - 1)));
    EXPECT_FALSE(vorla::DecodeToolbarLayout(bytes + "x"));
    EXPECT_FALSE(vorla::DecodeToolbarLayout(""));
    EXPECT_FALSE(vorla::DecodeToolbarLayout(std::string("\xFF\xFF\xFF\xFF", 4))) << "a huge count is refused";
    EXPECT_TRUE(vorla::DecodeToolbarLayout(std::string(4, '\0'))->empty());

    EXPECT_EQ(vorla::FromHexText(vorla::ToHexText(bytes)), bytes);
    EXPECT_EQ(vorla::ToHexText("\x01\xAB"), "01AB");
    EXPECT_FALSE(vorla::FromHexText("ABC"));
    EXPECT_FALSE(vorla::FromHexText("0G"));
    EXPECT_EQ(vorla::ToolbarName(26571), "0x67CB");
    EXPECT_EQ(vorla::ToolbarName(0), "Unknown TB");
    EXPECT_EQ(vorla::ToolbarStateEntry(26570), "Toolbar State(0x67CA)");
}

}  // namespace
