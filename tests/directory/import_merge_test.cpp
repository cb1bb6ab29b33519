#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ob_list.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/import_merge.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/subscriber.h"

namespace {

// An in-memory translator: the records a test prepares, handed out through plain C
// function pointers as a loaded library's exports would be. Each Get call is logged.
struct FakeTranslator {
    std::vector<TranslatorServiceRecord> services;
    std::vector<TranslatorSubscriberRecord> subscribers;
    std::vector<TranslatorGroupRecord> groups;
    std::vector<TranslatorMessageRecord> messages;
    size_t cursor[4] = {};
    std::string calls;
};
FakeTranslator* g_fake = nullptr;

template <class Record>
const void* Next(std::vector<Record>& list, size_t& cursor, char tag) {
    g_fake->calls.push_back(tag);
    if (cursor == list.size()) return nullptr;
    return &list[cursor++];
}
const void* GetService() {
    return Next(g_fake->services, g_fake->cursor[0], 'S');
}
const void* GetSubscriber() {
    return Next(g_fake->subscribers, g_fake->cursor[1], 'U');
}
const void* GetGroup() {
    return Next(g_fake->groups, g_fake->cursor[2], 'G');
}
const void* GetMessage() {
    return Next(g_fake->messages, g_fake->cursor[3], 'M');
}

TranslatorServiceRecord Service(const char* name) {
    return {nullptr, name, "555", 1, "", "Modem", "AT", "COM1", 2400, 1, 0, 0, "VORLAPRO.RKL"};
}

class ImportMergeTest : public ::testing::Test {
protected:
    void SetUp() override {
        store.CreateEmpty();
        g_fake = &fake;
    }
    void TearDown() override { g_fake = nullptr; }

    CService* AddExistingService(const std::string& name) {
        ServiceFields f;
        f.name = name;
        auto* service = new CService(f);
        store.GetServiceList()->AddHead(service);
        return service;
    }
    ImportReport Merge(TranslatorGetters getters = {GetService, GetSubscriber, GetGroup, GetMessage}) {
        return MergeImportedRecords(store, getters);
    }
    CSubscriber* Subscriber(const std::string& name) {
        for (Serializable* item : *store.GetSubscriberList())
            if (auto* s = As<CSubscriber>(item); s && s->GetName() == name) return s;
        return nullptr;
    }

    DirectoryStore store;
    FakeTranslator fake;
};

TEST_F(ImportMergeTest, TakenNamesGetTheFirstFreeNumber) {
    AddExistingService("Paging");
    AddExistingService("Paging1x");
    fake.services = {Service("Paging"), Service("Paging"), Service("Acme")};
    ImportReport report = Merge();
    EXPECT_EQ(report.services, (std::vector<std::string>{"Paging1", "Paging2", "Acme"}));
    ASSERT_EQ(report.renamed.size(), 2u);
    EXPECT_EQ(report.renamed[1].to, "Paging2");
    // Inserted at the head: the last one imported comes first.
    EXPECT_EQ(As<CService>(store.GetServiceList()->GetHead())->GetName(), "Acme");
    EXPECT_EQ(store.GetServiceList()->GetCount(), 5u);
}

TEST_F(ImportMergeTest, SubscribersJoinAnImportedServiceOrTheOneAddedLast) {
    AddExistingService("Acme");
    CService* existingGamma = AddExistingService("Gamma");
    fake.services = {Service("Acme"), Service("Beta")};  // Acme becomes Acme1
    fake.subscribers = {{nullptr, "Ann", "123", "Acme1", "80"},
                        {nullptr, "Bob", "456", "Acme", "240"},
                        {nullptr, "Cid", "789", "Gamma", "240"}};
    Merge();
    ASSERT_NE(Subscriber("Ann"), nullptr);
    EXPECT_EQ(Subscriber("Ann")->GetService()->GetName(), "Acme1");
    EXPECT_EQ(Subscriber("Ann")->GetMaxLength(), "80");
    // The record's own name still finds the service this run renamed.
    EXPECT_EQ(Subscriber("Bob")->GetService()->GetName(), "Acme1");
    // An existing service is never matched: the one added last takes the subscriber.
    EXPECT_EQ(Subscriber("Cid")->GetService()->GetName(), "Beta");
    EXPECT_EQ(Subscriber("Cid")->GetService()->GetSubscribers()->GetHead(), Subscriber("Cid"));
    EXPECT_TRUE(existingGamma->GetSubscribers()->IsEmpty());
}

TEST_F(ImportMergeTest, GroupMembersAreOnlyThisRunsSubscribers) {
    AddExistingService("Paging");
    auto* old = new CSubscriber("Old", "1", "80", nullptr);
    store.GetSubscriberList()->AddHead(old);
    fake.subscribers = {{nullptr, "Ann", "1", "", "80"}, {nullptr, "Bea", "2", "", "80"}};
    fake.groups = {{nullptr, "Team", "Ann|Old|Ann|Nobody| Bea|Bea"}};
    ImportReport report = Merge();
    ASSERT_EQ(report.groups.size(), 1u);
    auto* team = As<CGroup>(store.GetGroupList()->GetHead());
    ASSERT_EQ(team->GetMembers()->GetCount(), 2u);  // Ann once; " Bea" is not Bea; Bea
    EXPECT_EQ(team->GetMembers()->GetHead(), Subscriber("Bea"));
    EXPECT_EQ(Subscriber("Ann")->GetGroups()->GetHead(), team);
    EXPECT_TRUE(!old->GetGroups() || old->GetGroups()->IsEmpty());
}

TEST_F(ImportMergeTest, MessagesAreAddedWithoutAUniquenessTest) {
    store.GetPresetMessageList()->AddHead(new CMessage("Call me"));
    fake.messages = {{nullptr, "Call me"}, {nullptr, "Call me"}, {nullptr, nullptr}};
    EXPECT_EQ(Merge().messages, 3u);
    EXPECT_EQ(store.GetPresetMessageList()->GetCount(), 4u);
    EXPECT_EQ(As<CMessage>(store.GetPresetMessageList()->GetHead())->GetText(), "");
}

TEST_F(ImportMergeTest, KindsAreFetchedInOrderEachUntilNull) {
    fake.services = {Service("A")};
    fake.subscribers = {{nullptr, "Ann", "1", "A", "80"}};
    fake.messages = {{nullptr, "Hi"}};
    Merge({GetService, GetSubscriber, nullptr, GetMessage});
    EXPECT_EQ(fake.calls, "SSUUMM");
}

TEST_F(ImportMergeTest, RecordTextsAreReadDefensively) {
    const std::string longName(300, 'x');
    TranslatorServiceRecord odd = Service(longName.c_str());
    odd.accessNumber = nullptr;
    odd.parity = static_cast<intptr_t>(-1);
    fake.services = {odd, Service(nullptr), Service("")};
    fake.subscribers = {{nullptr, nullptr, "1", "x", "80"}, {nullptr, "Ann", nullptr, "x", nullptr}};
    ImportReport report = Merge();
    ASSERT_EQ(report.services.size(), 1u);
    auto* service = As<CService>(store.GetServiceList()->GetHead());
    EXPECT_EQ(service->GetName(), std::string(kImportFieldLimit, 'x'));
    EXPECT_EQ(service->GetAccessNumber(), "");
    EXPECT_EQ(service->GetParity(), -1);
    EXPECT_EQ(service->GetBaudRate(), 2400);
    EXPECT_EQ(Subscriber("Ann")->GetPIN(), "");
    EXPECT_EQ(report.skipped, 3u);  // two nameless services, one nameless subscriber
}

TEST_F(ImportMergeTest, ARenamedNameAtTheLimitStaysWithinIt) {
    const std::string full(kImportFieldLimit, 'y');
    AddExistingService(full);
    fake.services = {Service(full.c_str())};
    ImportReport report = Merge();
    ASSERT_EQ(report.services.size(), 1u);
    EXPECT_EQ(report.services[0], full.substr(0, kImportFieldLimit - 1) + "1");
}

TEST_F(ImportMergeTest, EachRenameTakesTheFirstFreeNumberWhateverCameBefore) {
    const std::string z(kImportFieldLimit - 2, 'y');
    AddExistingService("a");
    AddExistingService("a2");
    AddExistingService(z);
    std::vector<std::string> full;  // at the limit: their numbers cut the name, sharing stems
    for (char c = 'a'; c <= 'j'; ++c)
        full.push_back(z + 'y' + c);
    for (const std::string& name : full)
        AddExistingService(name);
    std::vector<std::string> names = {"a", "a", "a1"};
    names.insert(names.end(), 8, "a");
    names.insert(names.end(), full.begin(), full.end());
    names.insert(names.end(), 10, z);
    for (const std::string& name : names)
        fake.services.push_back(Service(name.c_str()));
    std::vector<std::string> expected = {"a1", "a3", "a11", "a4", "a5", "a6", "a7", "a8", "a9", "a10", "a12"};
    for (int n = 1; n <= 9; ++n)
        expected.push_back(z + 'y' + std::to_string(n));
    expected.push_back(z + "10");
    for (int n = 1; n <= 9; ++n)
        expected.push_back(z + std::to_string(n));
    expected.push_back(z + "11");  // z10 went to the tenth name at the limit
    EXPECT_EQ(Merge().services, expected);
}

TEST_F(ImportMergeTest, SubscribersWithoutAnyServiceAreSkipped) {
    fake.subscribers = {{nullptr, "Ann", "1", "Acme", "80"}};
    ImportReport report = Merge();
    EXPECT_EQ(report.skipped, 1u);
    EXPECT_TRUE(store.GetSubscriberList()->IsEmpty());
}

}  // namespace
