// The tips' reading and the mailed directory text, without a window.
#include <gtest/gtest.h>

#include "archive/ob_list.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "ui/frame_commands/directory_text.h"
#include "ui/frame_commands/tips_file.h"

TEST(TipsFile, TipsGoRoundSkippingCommentsAndEmptyLines) {
    const std::string text = "; comment\none\r\n\n  \ntwo\n;last comment";
    const struct {
        long position;
        const char* tip;
    } cases[] = {{0, "one"}, {10, "one"}, {16, "two"}, {23, "one"}, {-5, "one"}, {9999, "one"}};
    for (const auto& c : cases) {
        auto pick = TipAt(text, c.position);
        ASSERT_TRUE(pick) << c.position;
        EXPECT_EQ(pick->tip, c.tip) << c.position;
    }
    // Showing one tip after the other goes round.
    auto first = TipAt(text, 0);
    auto second = TipAt(text, first->nextPosition);
    auto third = TipAt(text, second->nextPosition);
    EXPECT_EQ(second->tip, "two");
    EXPECT_EQ(third->tip, "one");
    EXPECT_FALSE(TipAt("; only a comment\n\n", 0));
    EXPECT_FALSE(TipAt("", 3));
}

TEST(DirectoryText, ListsEveryRecordOnItsLineAndLeavesPasswordsOut) {
    DirectoryStore store;
    store.CreateEmpty();
    ServiceFields fields;
    fields.name = "Acme";
    fields.accessNumber = "5551234";
    fields.password = "secret";
    fields.port = "COM1";
    auto* service = new CService(fields);
    store.GetServiceList()->AddTail(service);
    auto* ann = new CSubscriber("Ann\tA.", "1001", "80", service);
    service->AddSubscriber(ann);
    store.GetSubscriberList()->AddTail(ann);
    auto* team = new CGroup("Team");
    AddGroupMember(*team, *ann);
    store.GetGroupList()->AddTail(team);

    const std::string text = DirectoryListsText(store);
    EXPECT_EQ(text.find("secret"), std::string::npos);
    EXPECT_NE(text.find("\nAcme\t5551234\tCOM1\t"), std::string::npos) << text;
    EXPECT_NE(text.find("\nAnn A.\t1001\t80\tAcme\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nTeam\tAnn A.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Preset messages"), std::string::npos);
}
