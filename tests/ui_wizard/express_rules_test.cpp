// The express setup's window-free rules: dialling, line settings and the Finish steps.
#include <gtest/gtest.h>

#include "archive/ob_list.h"
#include "directory/directory_store.h"
#include "directory/subscriber.h"
#include "ui/wizard/express_setup_rules.h"

namespace {

TEST(ExpressDialing, PreviewAndStoredNumberFollowTheTwoBoxes) {
    const std::string number = "2125550100";
    EXPECT_EQ(DialPreview("9,", number, true, true), "9, 1 (212) 555-0100");
    EXPECT_EQ(DialPreview("", number, false, true), " (212) 555-0100");
    EXPECT_EQ(DialPreview("", number, false, false), " 555-0100");
    EXPECT_EQ(DialPreview("", number, true, false), " 1 555-0100");

    EXPECT_EQ(DialledAccessNumber(number, true, true), "12125550100");
    EXPECT_EQ(DialledAccessNumber(number, false, true), "2125550100");
    EXPECT_EQ(DialledAccessNumber(number, false, false), "5550100");
    EXPECT_EQ(DialledAccessNumber(number, true, false), "15550100");
}

TEST(ExpressDialing, ShortNumbersNeverReadPastTheirEnd) {
    EXPECT_EQ(DialPreview("", "", true, true), " 1 () -");
    EXPECT_EQ(DialPreview("", "21", false, true), " (21) -");
    EXPECT_EQ(DialledAccessNumber("21", true, true), "121");
    EXPECT_EQ(DialledAccessNumber("2125", false, false), "5");
}

TEST(ExpressLineSettings, TextsOfAServicesEntryBecomeTheRecordsNumbers) {
    ServiceFields setup;
    ApplyLineSettingTexts(setup, "2400", "N,8,1", "hardware");
    EXPECT_EQ(setup.baudRate, 2400);
    EXPECT_EQ(setup.parity, 0);
    EXPECT_EQ(setup.handshake, 1);
    ApplyLineSettingTexts(setup, "9600 bps", "o,7,1", "Software");
    EXPECT_EQ(setup.baudRate, 9600);
    EXPECT_EQ(setup.parity, 1) << "anything but n,8,1 is even parity";
    EXPECT_EQ(setup.handshake, 2);
    ApplyLineSettingTexts(setup, "fast", "e,7,1", "SW/HW");
    EXPECT_EQ(setup.baudRate, 0);
    EXPECT_EQ(setup.handshake, 0);
}

class ExpressFinish : public ::testing::Test {
protected:
    void SetUp() override {
        store_.CreateEmpty();
        ServiceFields old;
        old.name = "Old";
        auto* service = new CService(old);
        store_.GetServiceList()->AddTail(service);
        auto* ann = new CSubscriber("Ann", "1", "80", service);
        service->AddSubscriber(ann);
        store_.GetSubscriberList()->AddTail(ann);

        data_.setup.name = "Acme";
        data_.setup.accessNumber = "2125550100";
        data_.setup.port = "COM1";
        data_.serviceNames = {"Old"};
        data_.subscriberNames = {"Ann"};
    }
    void AddNew(const char* name, const char* pin) {
        data_.newSubscribers.push_back(std::make_unique<CSubscriber>(name, pin, "240", nullptr));
    }
    std::string SubscriberName(size_t i) const {
        return static_cast<CSubscriber*>(store_.GetSubscriberList()->GetAt(i))->GetName();
    }
    DirectoryStore store_;
    ExpressSetupData data_;
};

TEST_F(ExpressFinish, ServiceGoesFirstAndSubscribersLastInTheirOrderSharingNamesIncluded) {
    AddNew("Zed", "10");
    AddNew("Bob", "20");
    AddNew("Bob", "30");
    AddNew("Ann", "40");  // a directory name slipped past the page: never created
    data_.dialOne = true;
    data_.dialArea = false;

    const ExpressSetupOutcome outcome = ApplyExpressSetup(store_, data_);
    ASSERT_TRUE(outcome.serviceCreated);
    EXPECT_EQ(outcome.subscribersAdded, 3);
    ASSERT_EQ(store_.GetServiceList()->GetCount(), 2u);
    auto* service = static_cast<CService*>(store_.GetServiceList()->GetHead());
    EXPECT_EQ(service, outcome.service);
    EXPECT_EQ(service->GetName(), "Acme");
    EXPECT_EQ(service->GetAccessNumber(), "15550100");
    EXPECT_EQ(service->GetPort(), "COM1");

    ASSERT_EQ(store_.GetSubscriberList()->GetCount(), 4u);
    EXPECT_EQ(SubscriberName(0), "Ann");
    EXPECT_EQ(SubscriberName(1), "Zed");
    EXPECT_EQ(SubscriberName(2), "Bob");
    EXPECT_EQ(SubscriberName(3), "Bob");
    for (size_t i = 1; i < 4; ++i) {
        auto* s = static_cast<CSubscriber*>(store_.GetSubscriberList()->GetAt(i));
        EXPECT_EQ(s->GetService(), service);
        EXPECT_EQ(s->GetMaxLength(), "240");
        EXPECT_GE(service->GetSubscribers()->Find(s), 0);
    }
    EXPECT_EQ(service->GetSubscribers()->GetCount(), 3u);
    EXPECT_TRUE(data_.newSubscribers.empty());
}

TEST_F(ExpressFinish, AnExistingServiceOfThatNameTakesTheSubscribersInsteadOfADuplicate) {
    data_.setup.name = "Old";
    AddNew("Cy", "5");
    const ExpressSetupOutcome outcome = ApplyExpressSetup(store_, data_);
    EXPECT_FALSE(outcome.serviceCreated);
    EXPECT_EQ(store_.GetServiceList()->GetCount(), 1u);
    EXPECT_EQ(outcome.service->GetName(), "Old");
    EXPECT_EQ(outcome.service->GetSubscribers()->GetCount(), 2u);
}

}  // namespace
