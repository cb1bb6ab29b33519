// Uniqueness rules, the deletion guard and the cross-link upkeep.
#include <gtest/gtest.h>

#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "tests/directory/test_directory.h"

TEST(DirectoryRules, NamesAreUniqueByExactBytes) {
    DirectoryStore store;
    FillWorkedExample(store);
    store.GetGroupList()->AddTail(new CGroup("Team"));
    store.GetPresetMessageList()->AddTail(new CMessage("Call me"));
    EXPECT_FALSE(IsServiceNameUnique(store, "Acme"));
    EXPECT_TRUE(IsServiceNameUnique(store, "acme"));
    EXPECT_TRUE(IsServiceNameUnique(store, "Acme "));
    EXPECT_FALSE(IsSubscriberNameUnique(store, "Ann"));
    EXPECT_TRUE(IsSubscriberNameUnique(store, "ANN"));
    EXPECT_FALSE(IsGroupNameUnique(store, "Team"));
    EXPECT_FALSE(IsMessageUnique(store, "Call me"));
    EXPECT_TRUE(IsMessageUnique(store, "Call me!"));

    DirectoryStore empty;  // no lists yet
    EXPECT_TRUE(IsServiceNameUnique(empty, "Acme"));
}

TEST(DirectoryRules, ServiceInUseCannotBeDeleted) {
    DirectoryStore store;
    FillWorkedExample(store);
    auto* service = As<CService>(store.GetServiceList()->GetHead());
    EXPECT_FALSE(CanDeleteService(*service));
    EXPECT_EQ(ServiceInUseText(*service),
              "The Service 'Acme' cannot be deleted.  It contains 1 active Subscriber(s).  Please "
              "delete or change Subscriber(s) before deleting this Service.");
    EXPECT_EQ(DuplicateSubscriberText("Ann"),
              "A Subscriber with the name 'Ann' already exists in the directory.  Please add only "
              "unique subscribers.");
    UnlinkSubscriber(*As<CSubscriber>(store.GetSubscriberList()->GetHead()));
    EXPECT_TRUE(CanDeleteService(*service));
}

TEST(DirectoryRules, MembershipIsKeptOnBothSides) {
    DirectoryStore store;
    FillWorkedExample(store);
    auto* ann = As<CSubscriber>(store.GetSubscriberList()->GetHead());
    auto* team = new CGroup("Team");
    auto* night = new CGroup("Night");
    store.GetGroupList()->AddTail(team);
    store.GetGroupList()->AddTail(night);
    AddGroupMember(*team, *ann);
    AddGroupMember(*night, *ann);
    EXPECT_EQ(ann->GetGroups()->GetCount(), 2u);
    RemoveGroupMember(*team, *ann);
    EXPECT_TRUE(team->GetMembers()->IsEmpty());
    EXPECT_EQ(ann->GetGroups()->GetHead(), night);
    UnlinkSubscriber(*ann);
    EXPECT_TRUE(night->GetMembers()->IsEmpty());
    EXPECT_TRUE(ann->GetGroups()->IsEmpty());
}
