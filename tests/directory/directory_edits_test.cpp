// The maintenance windows' changes keep every cross-link, refuse clashing names and never
// leave a pointer at a freed record.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "archive/ob_list.h"
#include "directory/directory_edits.h"
#include "directory/directory_store.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/split_choices.h"
#include "directory/subscriber.h"
#include "directory/subscriber_order.h"
#include "settings/memory_settings_store.h"

namespace {

bool Lists(const CObList* list, const Serializable* item) {
    return list && list->Find(item) >= 0;
}

class EditsTest : public ::testing::Test {
protected:
    void SetUp() override {
        store.CreateEmpty();
        for (const char* name : {"Acme", "Beta"}) {
            ServiceFields fields;
            fields.name = name;
            auto* service = new CService(fields);
            store.GetServiceList()->AddTail(service);
        }
        acme = As<CService>(store.GetServiceList()->GetAt(0));
        beta = As<CService>(store.GetServiceList()->GetAt(1));
        ann = SaveSubscriber(store, nullptr, {"Ann", "1001", "240", acme});
        bob = SaveSubscriber(store, nullptr, {"Bob", "1002", "80", acme});
    }

    DirectoryStore store;
    CService* acme = nullptr;
    CService* beta = nullptr;
    CSubscriber* ann = nullptr;
    CSubscriber* bob = nullptr;
};

TEST_F(EditsTest, SavesRefuseNamesOfOtherRecordsWithoutRegardToCase) {
    EXPECT_EQ(SaveSubscriber(store, nullptr, {"ANN", "9", "40", beta}), nullptr);
    EXPECT_EQ(store.GetSubscriberList()->GetCount(), 2u);
    EXPECT_EQ(SaveSubscriber(store, bob, {"ann", "9", "40", beta}), nullptr);
    EXPECT_EQ(bob->GetName(), "Bob") << "a refused Modify leaves the record as it was";
    EXPECT_EQ(bob->GetService(), acme);
    // A record may keep its own name (in another case) when modified.
    EXPECT_EQ(SaveSubscriber(store, bob, {"BOB", "1002", "80", acme}), bob);

    ASSERT_NE(SaveGroup(store, nullptr, "Team", {ann}), nullptr);
    EXPECT_EQ(SaveGroup(store, nullptr, "team", {bob}), nullptr);
    ASSERT_NE(SaveMessage(store, nullptr, "Call me"), nullptr);
    EXPECT_EQ(SaveMessage(store, nullptr, "CALL ME"), nullptr);
}

TEST_F(EditsTest, ModifyMovesTheSubscriberToItsNewServiceList) {
    ASSERT_EQ(SaveSubscriber(store, ann, {"Ann B", "77", "120", beta}), ann);
    EXPECT_FALSE(Lists(acme->GetSubscribers(), ann));
    EXPECT_TRUE(Lists(beta->GetSubscribers(), ann));
    EXPECT_EQ(ann->GetService(), beta);
    EXPECT_EQ(ann->GetMaxLength(), "120");
    EXPECT_EQ(store.GetSubscriberList()->GetCount(), 2u);
}

TEST_F(EditsTest, GroupModifyRebuildsBothSidesOfTheMembership) {
    CGroup* team = SaveGroup(store, nullptr, "Team", {ann, bob});
    ASSERT_NE(team, nullptr);
    EXPECT_TRUE(Lists(ann->GetGroups(), team));
    ASSERT_EQ(SaveGroup(store, team, "Crew", {bob}), team);
    EXPECT_EQ(team->GetName(), "Crew");
    EXPECT_EQ(team->GetMembers()->GetCount(), 1u);
    EXPECT_FALSE(Lists(ann->GetGroups(), team));
    EXPECT_TRUE(Lists(bob->GetGroups(), team));
}

TEST_F(EditsTest, DeletingSubscribersUnlinksThemAndDeletesGroupsTheyEmptied) {
    CGroup* solo = SaveGroup(store, nullptr, "Solo", {ann});
    CGroup* pair = SaveGroup(store, nullptr, "Pair", {ann, bob});
    store.GetDisplayList()->AddTail(new CDisplayObject(ann, nullptr, 0));
    store.GetDisplayList()->AddTail(new CDisplayObject(nullptr, solo, 1));
    store.GetDisplayList()->AddTail(new CDisplayObject(ann, pair, 0));
    store.GetDisplayList()->AddTail(new CDisplayObject(bob, nullptr, 0));
    size_t progressed = 0;

    EXPECT_EQ(DeleteSubscribers(store, {ann}, [&](size_t done) { progressed = done; }), 1u);
    EXPECT_EQ(progressed, 1u);
    EXPECT_FALSE(Lists(store.GetSubscriberList(), ann));
    EXPECT_FALSE(Lists(acme->GetSubscribers(), ann));
    EXPECT_FALSE(Lists(store.GetGroupList(), solo)) << "a group left without members goes too";
    ASSERT_TRUE(Lists(store.GetGroupList(), pair));
    EXPECT_EQ(pair->GetMembers()->GetCount(), 1u);
    ASSERT_EQ(store.GetDisplayList()->GetCount(), 1u) << "only Bob's own row is left";
    EXPECT_EQ(As<CDisplayObject>(store.GetDisplayList()->GetHead())->GetSubscriber(), bob);
}

// A file made by hand can hold one half of a link only (the loader repairs that, but the
// deletes must not depend on it): no list may keep a freed record.
TEST_F(EditsTest, DeletingReachesEveryListThatHoldsTheRecordWhateverItsOwnLinksSay) {
    CGroup* team = SaveGroup(store, nullptr, "Team", {ann, bob});
    CGroup* crew = SaveGroup(store, nullptr, "Crew", {bob});
    ann->GetGroups()->Remove(team);        // Team lists Ann, Ann does not name Team
    beta->GetSubscribers()->AddTail(ann);  // Beta lists Ann, whose service is Acme
    bob->GetGroups()->Remove(crew);        // Crew lists Bob only...
    ann->GetGroups()->AddTail(crew);       // ...and Ann names Crew all the same

    EXPECT_EQ(DeleteSubscribers(store, {ann}), 0u) << "Crew never held Ann and stays";
    EXPECT_FALSE(Lists(team->GetMembers(), ann));
    EXPECT_FALSE(Lists(beta->GetSubscribers(), ann));
    EXPECT_TRUE(Lists(store.GetGroupList(), crew));

    CSubscriber* cy = SaveSubscriber(store, nullptr, {"Cy", "1003", "80", beta});
    cy->GetGroups()->AddTail(crew);  // Crew does not list Cy
    DeleteGroups(store, {crew});
    EXPECT_TRUE(cy->GetGroups()->IsEmpty());
}

TEST_F(EditsTest, DeletingGroupsKeepsTheSubscribers) {
    CGroup* team = SaveGroup(store, nullptr, "Team", {ann, bob});
    store.GetDisplayList()->AddTail(new CDisplayObject(bob, team, 0));
    DeleteGroups(store, {team});
    EXPECT_TRUE(store.GetGroupList()->IsEmpty());
    EXPECT_TRUE(store.GetDisplayList()->IsEmpty());
    EXPECT_TRUE(ann->GetGroups()->IsEmpty());
    EXPECT_EQ(store.GetSubscriberList()->GetCount(), 2u);

    CMessage* hello = SaveMessage(store, nullptr, "Hello <TIME>");
    EXPECT_TRUE(HasTimeTokens(hello->GetText()));
    DeleteMessages(store, {hello});
    EXPECT_TRUE(store.GetPresetMessageList()->IsEmpty());
}

TEST(SplitChoicesTest, KeepsSevenValuesNewestFirst) {
    struct Case {
        std::vector<std::string> stored;
        std::string typed;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {{"1", "2", "3", "4", "5", "6", "7"}, "99", {"99", "1", "2", "3", "4", "5", "6"}},
        {{"1", "2", "3"}, "2", {"1", "2", "3"}},
        {{"1", "2", "2", "3", "4", "5", "6", "7", "8"}, "", {"8", "1", "2", "3", "4", "5", "6"}},
    };
    for (const Case& c : cases) {
        vorla::MemorySettingsStore settings;
        for (size_t i = 0; i < c.stored.size(); ++i)
            settings.WriteProfileString("Split", std::to_string(i + 1), c.stored[i]);
        SplitChoices choices = LoadSplitChoices(settings, {});
        choices.Remember(c.typed);
        EXPECT_EQ(choices.Values(), c.expected);
    }
}

TEST(SplitChoicesTest, FallsBackToTheServicesFileThenToTheBuiltInValues) {
    vorla::MemorySettingsStore settings;
    auto file = [](std::string_view key) -> std::string { return key == "Split" ? "100, 200" : "200"; };
    EXPECT_EQ(LoadSplitChoices(settings, file).Values(), (std::vector<std::string>{"100", "200"}));
    EXPECT_EQ(settings.GetProfileInt("Defaults", "Split", 0), 200);
    auto missing = [](std::string_view) -> std::string { return "*"; };
    EXPECT_EQ(LoadSplitChoices(settings, missing).Values(),
              (std::vector<std::string>{"40", "80", "132", "240"}));

    SplitChoices kept = LoadSplitChoices(settings, missing);
    kept.Remember("160");
    StoreSplitChoices(settings, kept, "160", "Acme");
    EXPECT_EQ(LoadSplitChoices(settings, missing).Values(), kept.Values());
    EXPECT_EQ(settings.GetProfileInt("Defaults", "Split", 0), 160);
    EXPECT_EQ(settings.GetProfileString("Defaults", "DefaultService", ""), "Acme");
}

TEST(SubscriberOrderTest, SortsEachColumnByItsKind) {
    ServiceFields a, b;
    a.name = "zeta";
    b.name = "Alpha";
    CService zeta(a), alpha(b);
    CSubscriber s1("bob", "00012", "240", &zeta), s2("Ann", "9", "80", &alpha),
        s3("carl", "123456789012345678901", "", &alpha);
    struct Case {
        int column;
        std::vector<CSubscriber*> expected;
    };
    for (const Case& c : std::vector<Case>{{kSubscriberName, {&s2, &s1, &s3}},
                                           {kSubscriberPin, {&s2, &s1, &s3}},
                                           {kSubscriberSplit, {&s3, &s2, &s1}},
                                           {kSubscriberService, {&s2, &s3, &s1}}}) {
        std::vector<CSubscriber*> rows = {&s1, &s2, &s3};
        SortSubscribers(rows, c.column);
        EXPECT_EQ(rows, c.expected) << "column " << c.column;
    }
    EXPECT_TRUE(SubscriberMatches(s3, "ARL"));
    EXPECT_TRUE(SubscriberMatches(s1, "012"));
    EXPECT_FALSE(SubscriberMatches(s1, "ann"));
}

// The ranked radix order must be exactly a stable comparison sort's: ties keep the current
// order, case and leading zeros are ignored, PINs too long for any integer still compare by
// value, texts share long beginnings or embed zero bytes.
TEST(SubscriberOrderTest, EveryColumnMatchesAStableComparisonSort) {
    std::vector<std::unique_ptr<CService>> services;
    for (const char* name : {"beta", "Alpha", "BETA", ""}) {
        ServiceFields fields;
        fields.name = name;
        services.push_back(std::make_unique<CService>(fields));
    }
    const std::vector<std::string> names = {"ann",
                                            "Ann",
                                            "bob",
                                            "annabel",
                                            "an",
                                            std::string("an\0", 3),
                                            "shared beginning one",
                                            "SHARED BEGINNING ONE",
                                            "shared beginning",
                                            ""};
    const std::vector<std::string> pins = {
        "007", "7", " 12x", "", "000", "98765432109876543210123", "98765432109876543210124", "99"};
    const std::vector<std::string> splits = {"240", "-5", "", "80", "2147483647", "-2147483648"};
    std::vector<std::unique_ptr<CSubscriber>> owned;
    std::vector<CSubscriber*> rows;
    uint32_t seed = 7;
    auto next = [&seed](size_t n) { return (seed = seed * 1103515245u + 12345u) / 65536 % n; };
    for (int i = 0; i < 300; ++i) {
        CService* service = i % 17 == 0 ? nullptr : services[next(services.size())].get();
        owned.push_back(std::make_unique<CSubscriber>(names[next(names.size())], pins[next(pins.size())],
                                                      splits[next(splits.size())], service));
        rows.push_back(owned.back().get());
    }
    auto serviceName = [](const CSubscriber* s) {
        return s->GetService() ? s->GetService()->GetName() : std::string();
    };
    const std::function<bool(const CSubscriber*, const CSubscriber*)> less[] = {
        [](auto* a, auto* b) { return FoldAsciiCase(a->GetName()) < FoldAsciiCase(b->GetName()); },
        [](auto* a, auto* b) { return CompareDecimalText(a->GetPIN(), b->GetPIN()) < 0; },
        [](auto* a, auto* b) { return a->GetMaxLengthNumber() < b->GetMaxLengthNumber(); },
        [&](auto* a, auto* b) { return FoldAsciiCase(serviceName(a)) < FoldAsciiCase(serviceName(b)); },
    };
    // Each column sorted from the order the one before left, as clicks on the headers do.
    for (int column :
         {kSubscriberName, kSubscriberPin, kSubscriberSplit, kSubscriberService, kSubscriberName}) {
        std::vector<CSubscriber*> expected = rows;
        std::stable_sort(expected.begin(), expected.end(), less[column]);
        SortSubscribers(rows, column);
        ASSERT_EQ(rows, expected) << "column " << column;
    }
}

}  // namespace

namespace {

TEST_F(EditsTest, ServicesAreAddedAtTheHeadAndOnlyUnusedOnesAreDeleted) {
    ServiceFields fields;
    fields.name = "acme";
    EXPECT_EQ(SaveService(store, nullptr, fields), nullptr) << "names clash without regard to case";
    EXPECT_EQ(SaveService(store, beta, fields), nullptr);
    EXPECT_EQ(beta->GetName(), "Beta");
    fields.name = "Gamma";
    CService* gamma = SaveService(store, nullptr, fields);
    ASSERT_NE(gamma, nullptr);
    EXPECT_EQ(store.GetServiceList()->GetAt(0), gamma);
    fields.name = "ACME";
    fields.port = "COM2";
    ASSERT_EQ(SaveService(store, acme, fields), acme) << "a service may keep its own name";
    EXPECT_EQ(acme->GetPort(), "COM2");
    EXPECT_EQ(acme->GetSubscribers()->GetCount(), 2u) << "its subscribers stay with it";

    EXPECT_EQ(DeleteServices(store, {acme, gamma, beta}), std::vector<CService*>{acme});
    EXPECT_EQ(store.GetServiceList()->GetCount(), 1u);
    EXPECT_EQ(store.GetServiceList()->GetAt(0), acme);
}

}  // namespace
