// The session driver on the real engine with a script whose outcomes depend on the service
// name and the PIN: sessions per service, blocks, split records, refusals, failures, cancel.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_texts.h"
#include "tests/paging/paging_world.h"

using ::testing::ElementsAre;

namespace {

int CountOf(const std::vector<std::string>& entries, const std::string& name) {
    return static_cast<int>(std::count(entries.begin(), entries.end(), name));
}

}  // namespace

TEST(SessionDriver, PagesOfOneServiceShareOneSessionAndTwoServicesMakeTwo) {
    PagingWorld w;
    CService* north = w.AddService("North");
    CService* south = w.AddService("South");
    CSubscriber* ann = w.AddSubscriber("Ann", "1001", north);
    CSubscriber* bob = w.AddSubscriber("Bob", "1002", north);
    CSubscriber* cy = w.AddSubscriber("Cy", "2001", south);
    w.Queue("HELLO", {ann, bob, cy});

    w.driver->StartSending();
    EXPECT_EQ(w.driver->GetNumberPages(), 3);
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT", "SEND_PAGE", "SEND_PAGE", "DISCONNECT", "CONNECT",
                                              "SEND_PAGE", "DISCONNECT"));
    EXPECT_EQ(w.engine.inits, 2);
    EXPECT_EQ(w.engine.destroys, 2);
    EXPECT_EQ(w.driver->GetErrorFlag(), 0);
    EXPECT_EQ(w.driver->GetStatusLine(), "Message Sent Successfully!");
    EXPECT_EQ(w.observer.statusLines.back(), "Message Sent Successfully!");
    EXPECT_EQ(w.observer.finished, 1);
    EXPECT_TRUE(w.outgoing->IsEmpty());
    EXPECT_EQ(w.logList->GetCount(), 3u);
    EXPECT_FALSE(std::filesystem::exists(w.folder / "Outgoing.vlg"));
    EXPECT_TRUE(std::filesystem::exists(w.folder / "Vorla Pro Log Window.vlg"));
    // The text of CONNECT's EXIT is shown as a status line.
    EXPECT_NE(std::find(w.observer.statusLines.begin(), w.observer.statusLines.end(), "Connected to North"),
              w.observer.statusLines.end());
}

TEST(SessionDriver, SetsTheConnectionVariablesInOrderWithTheirValues) {
    PagingWorld w;
    CService* service = w.AddService("Even");
    service->SetParity(1);
    service->SetHandshake(3);
    service->SetDialMode(1);
    service->SetUseDialPrefix(1);
    service->SetPermanentLineID(-1);
    w.settings.WriteProfileString("Preferences", "DialPrefix", "9,");
    w.Queue("HI", {w.AddSubscriber("Ann", "1001", service)});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    std::vector<std::string> names;
    for (const auto& [name, value] : w.engine.variables)
        names.push_back(name);
    ASSERT_GE(names.size(), 14u);
    EXPECT_THAT(
        std::vector<std::string>(names.begin(), names.begin() + 14),
        ElementsAre("serviceName", "prefix", "serviceNumber", "password", "dialMode", "port", "modemName",
                    "modemString", "baudRate", "dataBits", "parity", "stopBits", "handshake", "numberPages"));
    EXPECT_EQ(names[14], "permanentLineID");
    EXPECT_EQ(w.engine.Variable("prefix"), "9,");
    EXPECT_EQ(w.engine.Variable("dialMode"), "ATDP");
    EXPECT_EQ(w.engine.Variable("dataBits"), "7");
    EXPECT_EQ(w.engine.Variable("parity"), "Even");
    EXPECT_EQ(w.engine.Variable("stopBits"), "1");
    EXPECT_EQ(w.engine.Variable("handshake"), "HW");
    EXPECT_EQ(w.engine.Variable("port"), "-1");
    EXPECT_EQ(w.engine.Variable("permanentLineID"), "4294967295");
    EXPECT_EQ(w.engine.Variable("numberPages"), "1");
    EXPECT_EQ(w.engine.Variable("password"), "");  // set, even empty
    // Page variables: a one-block page, PIN 1001.
    EXPECT_EQ(w.engine.Variable("pageBlock").substr(0, 9),
              "\x02"
              "1001\rHI\r");
    EXPECT_EQ(w.engine.Variable("message"), "HI\r");
    EXPECT_EQ(w.engine.Variable("pagerName"), "Ann");
    EXPECT_EQ(w.engine.Variable("pagerNumber"), "1001");
}

TEST(SessionDriver, ASplitMessageLogsEachPartThenTheWholeOneSecondLater) {
    PagingWorld w;
    CService* service = w.AddService("North");
    w.Queue(std::string(40, 'A') + std::string(40, 'B') + std::string(20, 'C'),
            {w.AddSubscriber("Ann", "1234567", service, 40)});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_EQ(CountOf(w.engine.entries, "SEND_PAGE"), 3);
    EXPECT_THAT(w.LogStatuses(), ElementsAre("Message Split 1 of 3 Sent Ok", "Message Split 2 of 3 Sent Ok",
                                             "Message Split 3 of 3 Sent Ok", "Message Sent Successfully!"));
    const auto& logs = w.observer.logs;
    EXPECT_EQ(logs[0].message, std::string(40, 'A'));
    EXPECT_EQ(logs[2].message, std::string(20, 'C'));
    EXPECT_EQ(logs[3].message.size(), 100u);
    EXPECT_EQ(logs[3].time, logs[2].time + 1);
    // The second pager page's "message" starts with the PIN field: it is not block 0.
    EXPECT_EQ(w.engine.Variable("totalPages"), "3");
    EXPECT_EQ(w.engine.Variable("currentPageNumber"), "3");
    EXPECT_EQ(w.engine.Variable("message").substr(0, 8), "1234567\r");
}

TEST(SessionDriver, ARefusedPageFailsAloneAndTheNextGoesOnTheSameConnection) {
    PagingWorld w;
    CService* service = w.AddService("North");
    CSubscriber* refused = w.AddSubscriber("Aaron", "666", service);
    CSubscriber* fine = w.AddSubscriber("Zed", "1002", service);
    w.Queue("HELLO", {refused, fine});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT", "SEND_PAGE", "SEND_PAGE", "DISCONNECT"));
    ASSERT_EQ(w.observer.logs.size(), 2u);
    EXPECT_EQ(w.observer.logs[0].name, "Aaron");
    EXPECT_EQ(w.observer.logs[0].code, -210);
    EXPECT_EQ(w.observer.logs[0].status, "511 Invalid pager ID");
    EXPECT_EQ(w.observer.logs[1].status, "Message Sent Successfully!");
    EXPECT_EQ(w.driver->GetErrorFlag(), 1);
    EXPECT_EQ(w.driver->GetStatusLine(), "511 Invalid pager ID");
    // Resend off, RememberFailed off: the failed page is gone after the run.
    EXPECT_TRUE(w.outgoing->IsEmpty());
}

TEST(SessionDriver, AFailedConnectFailsEveryNowPageOfThatServiceOnly) {
    PagingWorld w;
    w.settings.WriteProfileInt("Preferences", "RememberFailed", 1);
    CService* dead = w.AddService("Dead");
    CService* live = w.AddService("Live");
    w.Queue("HELLO", {w.AddSubscriber("Ann", "1001", dead), w.AddSubscriber("Bob", "1002", dead),
                      w.AddSubscriber("Cy", "2001", live)});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT", "CONNECT", "SEND_PAGE", "DISCONNECT"));
    ASSERT_EQ(w.outgoing->GetCount(), 2u);
    for (size_t i = 0; i < w.queue->RowCount(); ++i) {
        CPage* page = w.queue->RowAt(i);
        EXPECT_EQ(page->GetStatus(), kStatusFailed);
        EXPECT_EQ(page->GetWhen(), kWhenNever);
        EXPECT_EQ(page->GetStatusText(), "NO CARRIER");
        EXPECT_EQ(page->GetStatusCode(), 3);
    }
    EXPECT_THAT(w.LogStatuses(), ElementsAre("NO CARRIER", "NO CARRIER", "Message Sent Successfully!"));
    EXPECT_EQ(w.driver->GetErrorFlag(), 1);
    EXPECT_TRUE(std::filesystem::exists(w.folder / "Outgoing.vlg"));
}

TEST(SessionDriver, ABrokenLineFailsTheRestOfThatServiceAndSkipsItsDisconnect) {
    PagingWorld w;
    w.settings.WriteProfileInt("Preferences", "RememberFailed", 1);
    CService* north = w.AddService("North");
    CService* south = w.AddService("South");
    w.Queue("HELLO", {w.AddSubscriber("Ann", "999", north), w.AddSubscriber("Bob", "1002", north),
                      w.AddSubscriber("Cy", "2001", south)});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());
    EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT", "SEND_PAGE", "CONNECT", "SEND_PAGE", "DISCONNECT"));
    EXPECT_THAT(w.LogStatuses(), ElementsAre("Line dropped", "Line dropped", "Message Sent Successfully!"));
    EXPECT_EQ(w.outgoing->GetCount(), 2u);
}

TEST(SessionDriver, AFailedHangUpIsReportedWithoutFailingTheNextServicesPage) {
    PagingWorld w;
    CService* stubborn = w.AddService("Stubborn");
    CService* south = w.AddService("South");
    w.Queue("HELLO", {w.AddSubscriber("Ann", "1001", stubborn), w.AddSubscriber("Cy", "2001", south)});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());
    EXPECT_THAT(w.LogStatuses(), ElementsAre("Message Sent Successfully!", "Message Sent Successfully!"));
    EXPECT_EQ(w.driver->GetErrorFlag(), 1);
    EXPECT_TRUE(w.outgoing->IsEmpty());
}

TEST(SessionDriver, CancelDuringABlockFailsEveryNowPageAndHangsUp) {
    PagingWorld w;
    w.settings.WriteProfileInt("Preferences", "RememberFailed", 1);
    CService* north = w.AddService("North");
    CService* south = w.AddService("South");
    w.Queue("HELLO", {w.AddSubscriber("Ann", "777", north), w.AddSubscriber("Cy", "2001", south)});
    w.driver->StartSending();
    for (int i = 0; i < 200 && w.driver->GetState() != SessionDriver::kWaitSendPage; ++i)
        w.driver->OnIdle();
    ASSERT_EQ(w.driver->GetState(), SessionDriver::kWaitSendPage);
    for (int i = 0; i < 50; ++i)
        w.driver->OnIdle();  // the script spins inside SEND_PAGE
    ASSERT_EQ(w.driver->GetState(), SessionDriver::kWaitSendPage);

    w.driver->CancelSending();
    ASSERT_TRUE(w.RunUntilIdle());
    EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT", "SEND_PAGE", "DISCONNECT"));
    EXPECT_THAT(w.LogStatuses(), ElementsAre("User cancel", "User cancel"));
    EXPECT_EQ(w.observer.logs[0].code, -2);
    EXPECT_EQ(w.driver->GetStatusLine(), "User cancel");
    EXPECT_EQ(w.observer.statusLines.back(), "User cancel");
    ASSERT_EQ(w.outgoing->GetCount(), 2u);
    EXPECT_EQ(w.queue->RowAt(0)->GetWhen(), kWhenNever);
    EXPECT_EQ(w.queue->RowAt(0)->GetResendTimes(), 0);
}

TEST(SessionDriver, ANullHandleFailsTheSessionWithoutAnyEngineCall) {
    PagingWorld w;
    w.engine.failInit = true;
    CService* north = w.AddService("North");
    w.Queue("HELLO", {w.AddSubscriber("Ann", "1001", north), w.AddSubscriber("Bob", "1002", north)});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());
    EXPECT_EQ(w.engine.nullHandleCalls, 0);
    EXPECT_TRUE(w.engine.entries.empty());
    EXPECT_THAT(w.LogStatuses(), ElementsAre("RKL_Init Failed!", "RKL_Init Failed!"));
    EXPECT_EQ(w.observer.logs[0].code, kScriptInitFailed);
    EXPECT_EQ(w.observer.finished, 1);
    EXPECT_TRUE(w.driver->IsIdle());
}

TEST(SessionDriver, ACancelBeforeAnyHandleEndsTheRunCleanly) {
    PagingWorld w;
    w.Queue("HELLO", {w.AddSubscriber("Ann", "1001", w.AddService("North"))});
    w.driver->StartSending();
    ASSERT_EQ(w.driver->GetState(), SessionDriver::kBeginPage);
    w.driver->CancelSending();
    ASSERT_TRUE(w.RunUntilIdle(10));
    EXPECT_EQ(w.engine.inits, 0);
    EXPECT_EQ(w.engine.nullHandleCalls, 0);
    EXPECT_THAT(w.LogStatuses(), ElementsAre("User cancel"));
    EXPECT_EQ(w.observer.finished, 1);
}

TEST(SessionDriver, ARunWhosePagesVanishedStillFinishes) {
    PagingWorld w;
    w.Queue("HELLO", {w.AddSubscriber("Ann", "1001", w.AddService("North"))});
    w.driver->StartSending();
    w.queue->DeleteSelected({0});
    ASSERT_TRUE(w.RunUntilIdle(10));
    EXPECT_EQ(w.observer.finished, 1);
    EXPECT_EQ(w.engine.inits, 0);
}

TEST(SessionDriver, StartSendingDuringARunAddsPagesWithoutRestartingIt) {
    PagingWorld w;
    CService* north = w.AddService("North");
    CSubscriber* ann = w.AddSubscriber("Ann", "1001", north);
    CSubscriber* bob = w.AddSubscriber("Bob", "1002", north);
    w.Queue("FIRST", {ann});
    w.driver->StartSending();
    for (int i = 0; i < 3; ++i)
        w.driver->OnIdle();
    w.Queue("SECOND", {bob});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());
    EXPECT_EQ(w.engine.inits, 1);
    EXPECT_EQ(CountOf(w.engine.entries, "SEND_PAGE"), 2);
    EXPECT_EQ(w.observer.finished, 1);
}

TEST(SessionDriver, AnAlwaysFailingPageIsSentThreeTimesThenDroppedOrKept) {
    for (int remember : {0, 1}) {
        PagingWorld w;
        w.settings.WriteProfileInt("Preferences", "Resend", 1);
        w.settings.WriteProfileInt("Preferences", "ResendTimes", 2);
        w.settings.WriteProfileInt("Preferences", "ResendSeconds", 60);
        w.settings.WriteProfileInt("Preferences", "RememberFailed", remember);
        w.Queue("HELLO", {w.AddSubscriber("Ann", "666", w.AddService("North"))});
        w.driver->StartSending();
        ASSERT_TRUE(w.RunUntilIdle());
        for (int retry = 0; retry < 2; ++retry) {
            ASSERT_EQ(w.outgoing->GetCount(), 1u);
            CPage* page = w.queue->RowAt(0);
            ASSERT_EQ(page->GetWhen(), kWhenAt);
            EXPECT_EQ(*page->GetScheduledTime(), w.clock.Now() + 60);
            w.clock.Advance(59);
            EXPECT_FALSE(w.queue->DueCheck());
            w.clock.Advance(1);
            EXPECT_TRUE(w.queue->DueCheck());
            ASSERT_TRUE(w.RunUntilIdle());
        }
        EXPECT_EQ(CountOf(w.engine.entries, "SEND_PAGE"), 3);
        if (remember) {
            ASSERT_EQ(w.outgoing->GetCount(), 1u);
            EXPECT_EQ(w.queue->RowAt(0)->GetWhen(), kWhenNever);
            EXPECT_EQ(w.queue->RowAt(0)->GetStatusText(), "511 Invalid pager ID");
        } else {
            EXPECT_TRUE(w.outgoing->IsEmpty());
        }
    }
}

TEST(SessionDriver, ARetryWaitingForItsTimeKeepsItsAttemptsThroughOtherRuns) {
    PagingWorld w;
    w.settings.WriteProfileInt("Preferences", "Resend", 1);
    w.settings.WriteProfileInt("Preferences", "ResendTimes", 1);
    CService* north = w.AddService("North");
    CSubscriber* bad = w.AddSubscriber("Ann", "666", north);
    CSubscriber* good = w.AddSubscriber("Bob", "1002", north);
    w.Queue("ONE", {bad});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());
    ASSERT_EQ(w.outgoing->GetCount(), 1u);
    // Another run before the retry is due must not use up the retry.
    w.Queue("TWO", {good});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());
    ASSERT_EQ(w.outgoing->GetCount(), 1u);
    EXPECT_EQ(w.queue->RowAt(0)->GetWhen(), kWhenAt);
}

TEST(SessionDriver, AnAtPageBecomesDueAndIsSent) {
    PagingWorld w;
    w.Queue("LATER ON", {w.AddSubscriber("Ann", "1001", w.AddService("North"))}, SendChoice::At,
            w.clock.Now() + 3600);
    EXPECT_FALSE(w.queue->DueCheck());
    EXPECT_TRUE(w.driver->IsIdle());
    w.clock.Advance(3600);
    EXPECT_TRUE(w.queue->DueCheck());
    EXPECT_FALSE(w.driver->IsIdle());
    ASSERT_TRUE(w.RunUntilIdle());
    EXPECT_THAT(w.LogStatuses(), ElementsAre("Message Sent Successfully!"));
    EXPECT_TRUE(w.outgoing->IsEmpty());
}

TEST(SessionDriver, ADuePageOfAnotherServiceNeverGoesOverTheOpenConnection) {
    PagingWorld w;
    CService* north = w.AddService("North");
    CService* early = w.AddService("Alpha");  // sorts before North
    w.Queue("HELLO", {w.AddSubscriber("Zoe", "1001", north), w.AddSubscriber("Zack", "1002", north)});
    w.Queue("DUE", {w.AddSubscriber("Al", "3001", early)}, SendChoice::At, w.clock.Now() + 10);
    w.driver->StartSending();
    while (w.driver->GetState() != SessionDriver::kWaitSendPage)
        w.driver->OnIdle();
    w.clock.Advance(10);
    ASSERT_TRUE(w.queue->DueCheck());  // Alpha's page now heads the queue mid-session
    ASSERT_TRUE(w.RunUntilIdle());
    EXPECT_EQ(w.engine.inits, 3);  // North, Alpha, then North again for its second page
    EXPECT_THAT(w.LogStatuses(), ElementsAre("Message Sent Successfully!", "Message Sent Successfully!",
                                             "Message Sent Successfully!"));
    EXPECT_EQ(w.observer.logs[0].name, "Zack");  // the page whose block was out is the one logged
    EXPECT_TRUE(w.outgoing->IsEmpty());
}

TEST(SessionDriver, APageSentAheadOfASplitMessageWaitsAndNoPagerPageGoesTwice) {
    PagingWorld w;
    CService* north = w.AddService("North");
    w.Queue(std::string(40, 'A') + std::string(40, 'B') + std::string(20, 'C'),
            {w.AddSubscriber("Zed", "1234567", north, 40)});
    w.driver->StartSending();
    while (w.observer.logs.empty())
        ASSERT_TRUE(w.driver->OnIdle());
    // A Send in the middle of the message: the new page sorts ahead of the one being sent.
    w.Queue("URGENT", {w.AddSubscriber("Al", "1001", north)});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_EQ(CountOf(w.engine.entries, "SEND_PAGE"), 4);
    EXPECT_THAT(w.LogStatuses(), ElementsAre("Message Split 1 of 3 Sent Ok", "Message Split 2 of 3 Sent Ok",
                                             "Message Split 3 of 3 Sent Ok", "Message Sent Successfully!",
                                             "Message Sent Successfully!"));
    EXPECT_EQ(w.observer.logs[3].name, "Zed");
    EXPECT_EQ(w.engine.inits, 1);
    EXPECT_TRUE(w.outgoing->IsEmpty());
}

TEST(SessionDriver, AQueueFileThatCannotBeWrittenIsToldOnceAndPagingGoesOn) {
    PagingWorld w;
    // A folder in the queue file's place, with something in it: neither replaced nor removed.
    std::filesystem::create_directories(w.folder / "Outgoing.vlg" / "in-the-way");
    CService* north = w.AddService("North");
    w.Queue("ONE", {w.AddSubscriber("Ann", "1001", north), w.AddSubscriber("Bob", "1002", north)});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_THAT(w.LogStatuses(), ElementsAre("Message Sent Successfully!", "Message Sent Successfully!"));
    ASSERT_EQ(w.observer.saveFailures.size(), 1u);
    EXPECT_NE(w.observer.saveFailures[0].find("Outgoing.vlg"), std::string::npos);
    EXPECT_TRUE(w.observer.stops.empty()) << "no box that waits for the user inside a run";

    // The next run tells it again.
    w.Queue("TWO", {w.AddSubscriber("Cy", "1003", north)});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());
    EXPECT_EQ(w.observer.saveFailures.size(), 2u);
}
