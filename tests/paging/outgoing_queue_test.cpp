// The queue's order and its commands, without the engine: the driver is never stepped here.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>

#include "archive/class_registry.h"
#include "archive/file_format_version.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "paging/paging_texts.h"
#include "tests/paging/paging_world.h"

using ::testing::ElementsAre;

namespace {

std::vector<std::string> RowNames(OutgoingQueue& queue) {
    std::vector<std::string> names;
    for (size_t i = 0; i < queue.RowCount(); ++i)
        names.push_back(queue.RowAt(i)->GetSubscriber()->GetName());
    return names;
}

}  // namespace

TEST(OutgoingQueue, OrdersByTimeThenWhenThenServiceSubscriberAndText) {
    PagingWorld w;
    CService* b = w.AddService("B");
    CService* a = w.AddService("A");
    const uint32_t now = w.clock.Now();
    w.Queue("x", {w.AddSubscriber("Later", "1", a)}, SendChoice::Later);
    w.Queue("x", {w.AddSubscriber("At2", "2", a)}, SendChoice::At, now + 20);
    w.Queue("x", {w.AddSubscriber("At1", "3", b)}, SendChoice::At, now + 10);
    w.Queue("x", {w.AddSubscriber("NowB", "4", b)});
    w.Queue("x", {w.AddSubscriber("NowA2", "5", a)});
    w.Queue("y", {w.AddSubscriber("NowA1", "6", a)});
    EXPECT_THAT(RowNames(*w.queue), ElementsAre("NowA1", "NowA2", "NowB", "Later", "At1", "At2"));
    EXPECT_EQ(w.queue->FirstTimedRow(), 4);
    EXPECT_EQ(w.queue->GetNextPage()->GetSubscriber()->GetName(), "NowA1");
    EXPECT_EQ(w.queue->MarkNowPages(kStatusPending), 3);
}

TEST(OutgoingQueue, OnlyLaterPagesMeanNoNextPageAndSendLaterItemsReleasesThem) {
    PagingWorld w;
    CService* s = w.AddService("S");
    EXPECT_FALSE(w.queue->SendLaterItems());
    EXPECT_THAT(w.observer.stops, ElementsAre(std::string(paging_texts::kNoLaterItems)));
    EXPECT_TRUE(w.driver->IsIdle());

    w.Queue("x", {w.AddSubscriber("Ann", "1", s), w.AddSubscriber("Bob", "2", s)}, SendChoice::Later);
    EXPECT_EQ(w.queue->GetNextPage(), nullptr);
    EXPECT_TRUE(w.queue->SendLaterItems());
    EXPECT_EQ(w.queue->GetNextPage()->GetWhen(), kWhenNow);
    EXPECT_EQ(w.driver->GetState(), SessionDriver::kBeginPage);
    EXPECT_EQ(w.driver->GetNumberPages(), 2);
    EXPECT_EQ(w.queue->RowAt(1)->GetStatus(), kStatusPending);
}

TEST(OutgoingQueue, DueCheckStopsAtTheFirstPageNotYetDue) {
    PagingWorld w;
    CService* s = w.AddService("S");
    const uint32_t now = w.clock.Now();
    w.Queue("x", {w.AddSubscriber("Past", "1", s)}, SendChoice::At, now - 5);
    w.Queue("x", {w.AddSubscriber("Exact", "2", s)}, SendChoice::At, now);
    w.Queue("x", {w.AddSubscriber("Future", "3", s)}, SendChoice::At, now + 1);
    EXPECT_TRUE(w.queue->DueCheck());
    EXPECT_THAT(RowNames(*w.queue), ElementsAre("Exact", "Past", "Future"));
    EXPECT_EQ(w.queue->RowAt(0)->GetScheduledTime(), std::nullopt);
    EXPECT_EQ(w.queue->RowAt(2)->GetWhen(), kWhenAt);
    EXPECT_EQ(w.queue->FirstTimedRow(), 2);
    EXPECT_EQ(w.driver->GetState(), SessionDriver::kBeginPage);
    EXPECT_FALSE(w.queue->DueCheck());  // nothing new is due
}

TEST(OutgoingQueue, SendSelectedMakesRowsNowWithTheResendAllowance) {
    PagingWorld w;
    w.settings.WriteProfileInt("Preferences", "ResendTimes", 2);
    CService* s = w.AddService("S");
    w.Queue("x", {w.AddSubscriber("Ann", "1", s)}, SendChoice::At, w.clock.Now() + 100);
    w.Queue("x", {w.AddSubscriber("Bob", "2", s)}, SendChoice::Later);
    w.queue->SendSelected({1, 7});  // row 1 is Ann's timed page; 7 is no row
    CPage* ann = w.queue->RowAt(0);
    EXPECT_EQ(ann->GetSubscriber()->GetName(), "Ann");
    EXPECT_EQ(ann->GetWhen(), kWhenNow);
    EXPECT_EQ(ann->GetScheduledTime(), std::nullopt);
    EXPECT_EQ(ann->GetResendTimes(), 3);
    EXPECT_EQ(w.queue->RowAt(1)->GetWhen(), kWhenLater);
    EXPECT_FALSE(w.driver->IsIdle());
}

TEST(OutgoingQueue, DeleteSelectedAsksKeepsPagesBeingSentAndSaves) {
    PagingWorld w;
    CService* s = w.AddService("S");
    w.Queue("x",
            {w.AddSubscriber("Ann", "1", s), w.AddSubscriber("Bob", "2", s), w.AddSubscriber("Cy", "3", s)});
    w.queue->RowAt(1)->SetStatus(kStatusSending, "", 0);

    w.observer.answer = false;
    w.queue->DeleteSelected({0, 1, 2});
    EXPECT_EQ(w.queue->RowCount(), 3u);

    w.observer.answer = true;
    w.queue->DeleteSelected({0, 1, 2});
    EXPECT_EQ(w.observer.questions, 2);
    EXPECT_THAT(RowNames(*w.queue), ElementsAre("Bob"));
    EXPECT_THAT(w.observer.stops, ElementsAre(std::string(paging_texts::kCannotDeleteSending)));
    EXPECT_EQ(w.queue->RowAt(0)->GetMessage()->GetRefCount(), 1);
    EXPECT_TRUE(std::filesystem::exists(w.folder / "Outgoing.vlg"));

    w.queue->DeleteSelected({});
    EXPECT_EQ(w.observer.questions, 2);  // nothing selected: no question
}

TEST(OutgoingQueue, SavedQueueReloadsAndAnEmptyQueueLeavesNoFile) {
    PagingWorld w;
    CService* s = w.AddService("S");
    w.Queue("HELLO", {w.AddSubscriber("Ann", "1", s), w.AddSubscriber("Bob", "2", s)}, SendChoice::Later);
    ASSERT_TRUE(w.queue->SaveQueue());
    const std::string path = (w.folder / "Outgoing.vlg").string();
    SetFileFormatVersion(kCurrentFileFormatVersion);
    LoadedList loaded;
    ASSERT_EQ(LoadQueueFile(path, MakeProgramClassRegistry(), loaded), ArchiveError::None);
    ASSERT_EQ(loaded.list->GetCount(), 2u);
    auto* first = As<CPage>(loaded.list->GetAt(0));
    auto* second = As<CPage>(loaded.list->GetAt(1));
    EXPECT_EQ(first->GetMessage(), second->GetMessage());
    EXPECT_EQ(first->GetMessage()->GetText(), "HELLO");

    w.observer.answer = true;
    w.queue->DeleteSelected({0, 1});
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(OutgoingQueue, ASaveThatFailsTellsTheUserAndKeepsTheQueue) {
    PagingWorld w;
    vorla::MemorySettingsStore settings;
    OutgoingQueue queue(*w.outgoing, settings, w.clock, (w.folder / "missing" / "Outgoing.vlg").string());
    queue.SetObserver(&w.observer);
    w.Queue("x", {w.AddSubscriber("Ann", "1", w.AddService("S"))}, SendChoice::Later);
    EXPECT_FALSE(queue.SaveQueue());
    ASSERT_EQ(w.observer.stops.size(), 1u);
    EXPECT_NE(w.observer.stops[0].find("missing/Outgoing.vlg was not found."), std::string::npos);
    EXPECT_EQ(w.outgoing->GetCount(), 1u);
}

TEST(QueuePage, OnePagePerSubscriberNameAndMessage) {
    PagingWorld w;
    CService* s = w.AddService("S");
    CSubscriber* ann = w.AddSubscriber("Ann", "1", s);
    CSubscriber* annAgain = w.AddSubscriber("Ann", "9", s);  // same name, other record
    CPagerMessage* message = MakePagerMessage("HELLO");
    EXPECT_TRUE(QueuePage(*w.queue, w.settings, *ann, message, SendChoice::Now, std::nullopt));
    EXPECT_FALSE(QueuePage(*w.queue, w.settings, *ann, message, SendChoice::Now, std::nullopt));
    EXPECT_FALSE(QueuePage(*w.queue, w.settings, *annAgain, message, SendChoice::Now, std::nullopt));
    CPagerMessage* other = MakePagerMessage("HELLO");
    EXPECT_TRUE(QueuePage(*w.queue, w.settings, *ann, other, SendChoice::Later, w.clock.Now()));
    EXPECT_EQ(message->GetRefCount(), 1);
    ASSERT_EQ(w.queue->RowCount(), 2u);
    EXPECT_EQ(w.queue->RowAt(0)->GetStatus(), kStatusPending);
    EXPECT_EQ(w.queue->RowAt(1)->GetStatus(), kStatusWaiting);
    EXPECT_EQ(w.queue->RowAt(1)->GetScheduledTime(), std::nullopt);  // only At pages keep a time
    // The page's subscriber is a copy that outlives a change of the directory record.
    ann->SetName("Changed");
    s->SetName("Renamed");
    EXPECT_EQ(w.queue->RowAt(0)->GetSubscriber()->GetName(), "Ann");
    EXPECT_EQ(w.queue->RowAt(0)->GetSubscriber()->GetService()->GetName(), "S");
    // After a page goes, the same person can be queued again with the same message. The test
    // holds a share of the message meanwhile: its only page would free it otherwise.
    message->AddRef();
    w.queue->DiscardPage(w.queue->RowAt(0));
    EXPECT_EQ(message->GetRefCount(), 1);
    EXPECT_TRUE(QueuePage(*w.queue, w.settings, *annAgain, message, SendChoice::Now, std::nullopt));
    message->Release();
}

TEST(QueuePage, ResendAllowanceFollowsResendAndResendTimes) {
    PagingWorld w;
    CService* s = w.AddService("S");
    w.settings.WriteProfileInt("Preferences", "ResendTimes", 2);
    w.Queue("a", {w.AddSubscriber("Off", "1", s)});
    w.settings.WriteProfileInt("Preferences", "Resend", 1);
    w.Queue("b", {w.AddSubscriber("On", "2", s)});
    EXPECT_EQ(w.queue->RowAt(0)->GetResendTimes(), 0);
    EXPECT_EQ(w.queue->RowAt(1)->GetResendTimes(), 3);
}

TEST(QueuePage, LineBreaksAndControlCharactersNeverReachABlock) {
    EXPECT_EQ(SanitizePagerText("one\r\ntwo\rthree\nfour\tfive"), "one two three four five");
    EXPECT_EQ(SanitizePagerText(std::string("a\x02"
                                            "b\x03"
                                            "c\x1b\x7f"
                                            "d\x00"
                                            "e",
                                            11)),
              "abcde");
    EXPECT_EQ(SanitizePagerText("caf\xe9 \x80"), "caf\xe9 \x80");  // Windows-1252 letters stay
    EXPECT_EQ(MakePagerMessage("\x01\x02\x7f"), nullptr);          // nothing left to send

    PagingWorld w;
    w.Queue("LINE ONE\r\nLINE TWO", {w.AddSubscriber("Ann", "1001", w.AddService("S"))});
    char block[512] = {};
    const size_t length = w.queue->RowAt(0)->BuildBlock(block);
    for (size_t i = 6; i + 6 < length; ++i)  // the text, between the PIN field and its CR
        EXPECT_GE(static_cast<unsigned char>(block[i]), 0x20) << i;
}

TEST(QueuePage, AGroupQueuesEachMemberOnceInGroupOrder) {
    PagingWorld w;
    CService* s = w.AddService("S");
    CSubscriber* ann = w.AddSubscriber("Ann", "1", s);
    CSubscriber* bob = w.AddSubscriber("Bob", "2", s);
    CGroup group("Team");
    group.GetMembers()->AddTail(bob);
    group.GetMembers()->AddTail(ann);
    group.GetMembers()->AddTail(bob);
    CPagerMessage* message = MakePagerMessage("HI");
    EXPECT_EQ(QueueGroup(*w.queue, w.settings, group, message, SendChoice::Now, std::nullopt), 2u);
    EXPECT_EQ(As<CPage>(w.outgoing->GetAt(0))->GetSubscriber()->GetName(), "Bob");
    CGroup empty("Empty");
    EXPECT_EQ(QueueGroup(*w.queue, w.settings, empty, message, SendChoice::Now, std::nullopt), 0u);
}

// The rows are put back in order by moving only the pages whose time or When changed; after
// any mix of the queue's commands they must stand exactly as a sort from scratch puts them.
TEST(OutgoingQueue, RowsAfterManyCommandsStandAsAFullSortPutsThem) {
    PagingWorld w;
    w.settings.WriteProfileInt("Preferences", "RememberFailed", 1);
    std::vector<CService*> services{w.AddService("B"), w.AddService("A"), w.AddService("C")};
    const uint32_t start = w.clock.Now();
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (int i = 0; i < 120; ++i) {
        CSubscriber* who = w.AddSubscriber("S" + std::to_string(next(1000)) + "-" + std::to_string(i),
                                           std::to_string(1000 + i), services[next(3)]);
        const SendChoice choice = std::array{SendChoice::Now, SendChoice::Later, SendChoice::At}[next(3)];
        w.Queue("m" + std::to_string(next(4)), {who}, choice, start + next(100));
    }
    auto order = [&w] {
        std::vector<const CPage*> pages;
        for (size_t i = 0; i < w.queue->RowCount(); ++i)
            pages.push_back(w.queue->RowAt(i));
        return pages;
    };
    auto expectSorted = [&](const char* step) {
        SCOPED_TRACE(step);
        const auto incremental = order();
        const long firstTimed = w.queue->FirstTimedRow();
        w.queue->Refresh();
        EXPECT_EQ(order(), incremental);
        EXPECT_EQ(w.queue->FirstTimedRow(), firstTimed);
    };
    for (int round = 0; round < 6; ++round) {
        w.clock.Advance(15);
        w.queue->DueCheck();
        expectSorted("due check");
        w.queue->SendSelected({next(80), next(80), next(80)});
        expectSorted("send selected");
        for (int k = 0; k < 10 && w.queue->GetNextPage(); ++k) {
            CPage* page = w.queue->GetNextPage();
            page->SetStatus(kStatusFailed, "failed", 0);
            page->SetWhen(kWhenNever);
            w.queue->RemoveFirstRow();
            w.queue->InsertRow(page);
        }
        expectSorted("refused pages moved");
        w.queue->ApplyEndOfRunRules([](const CPage*) { return true; });
        expectSorted("end of run");
        w.queue->SendLaterItems();
        expectSorted("later items");
    }
}

// Dropping many failed pages at once leaves the list, the rows and the one-page-per-person
// index agreeing, and frees each message with its last page.
TEST(OutgoingQueue, DroppingManyFailedPagesAtOnceKeepsListRowsAndIndexInStep) {
    PagingWorld w;
    CService* s = w.AddService("S");
    std::vector<CSubscriber*> people;
    for (int i = 0; i < 50; ++i)
        people.push_back(w.AddSubscriber("P" + std::to_string(i), std::to_string(100 + i), s));
    CPagerMessage* kept = w.Queue("kept", {people[0], people[1]}, SendChoice::Later);
    CPagerMessage* doomed = w.Queue("doomed", people);
    doomed->AddRef();  // held here to ask the index about it afterwards
    for (Serializable* object : *w.outgoing) {
        auto* page = As<CPage>(object);
        if (page->GetMessage() == doomed && page->GetSubscriber()->GetName() != "P7") {
            page->SetStatus(kStatusFailed, "gone", 0);
        }
    }
    w.queue->ApplyEndOfRunRules([](const CPage*) { return true; });

    EXPECT_EQ(w.outgoing->GetCount(), 3u);
    EXPECT_EQ(w.queue->RowCount(), 3u);
    EXPECT_EQ(doomed->GetRefCount(), 2);  // P7's page and this test
    EXPECT_EQ(kept->GetRefCount(), 2);
    EXPECT_TRUE(w.queue->HasPageFor("P7", doomed));
    EXPECT_FALSE(w.queue->HasPageFor("P8", doomed));
    EXPECT_TRUE(w.queue->HasPageFor("P1", kept));
    EXPECT_TRUE(QueuePage(*w.queue, w.settings, *people[8], doomed, SendChoice::Now, std::nullopt));
    EXPECT_FALSE(QueuePage(*w.queue, w.settings, *people[8], doomed, SendChoice::Now, std::nullopt));
    doomed->Release();
}

// Subscriber names order byte by byte as unsigned bytes, prefixes first, also past the
// 16 bytes the rows keep at hand.
TEST(OutgoingQueue, SubscriberNamesSortByteWise) {
    PagingWorld w;
    CService* s = w.AddService("S");
    std::vector<CSubscriber*> people;
    for (const char* name :
         {"\xC9mile", "a", "Zoe", "Anna", "Ann", "Abcdefghijklmnopqrstu2", "Abcdefghijklmnopqrstu1"})
        people.push_back(w.AddSubscriber(name, "1", s));
    w.Queue("x", people);
    EXPECT_THAT(RowNames(*w.queue), ElementsAre("Abcdefghijklmnopqrstu1", "Abcdefghijklmnopqrstu2", "Ann",
                                                "Anna", "Zoe", "a", "\xC9mile"));
}

namespace {

// A page's place as a full sort from scratch decides it, from the pages themselves.
using PageKeys = std::tuple<uint32_t, int32_t, std::string, std::string, std::string>;

PageKeys KeysOf(const CPage* page) {
    return {page->GetScheduledTime().value_or(0), page->GetWhen(),
            page->GetSubscriber()->GetService()->GetName(), page->GetSubscriber()->GetName(),
            page->GetMessage()->GetText()};
}

std::vector<PageKeys> RowKeys(OutgoingQueue& queue) {
    std::vector<PageKeys> keys;
    for (size_t i = 0; i < queue.RowCount(); ++i)
        keys.push_back(KeysOf(queue.RowAt(i)));
    return keys;
}

// std::string compares bytes as unsigned char, which is the queue's order.
std::vector<PageKeys> ReferenceOrder(std::vector<PageKeys> keys) {
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Every page of the list has exactly one row: a sort neither drops nor doubles one.
bool RowsHoldEveryPageOnce(PagingWorld& w) {
    std::vector<const CPage*> rows, listed;
    for (size_t i = 0; i < w.queue->RowCount(); ++i)
        rows.push_back(w.queue->RowAt(i));
    for (Serializable* object : *w.outgoing)
        listed.push_back(As<CPage>(object));
    std::sort(rows.begin(), rows.end());
    std::sort(listed.begin(), listed.end());
    return rows == listed;
}

// Names that tie on their leading 16 bytes in every way the row keys can: shorter than 16
// bytes (zero padding), exactly 16, longer with a shared 16-byte prefix, a real NUL inside
// the first 16 bytes, and bytes of 0x80 and above (which must sort after ASCII).
std::string TrickyName(uint32_t pick, uint32_t salt) {
    static const std::vector<std::string> stems{"A",
                                                "Ab",
                                                "Abcdefghijklmno",
                                                "Abcdefghijklmnop",
                                                "Abcdefghijklmnopq",
                                                "Abcdefghijklmnopqrstuvwxyz",
                                                std::string("Ab\0", 3),
                                                std::string("Ab\0c", 4),
                                                "\x80",
                                                "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF",
                                                "Abcdefgh\xC9",
                                                "Abcdefgh",
                                                "Abcdefghijklmnop\x80",
                                                std::string("Abcdefghijklmnop\0", 17)};
    std::string name = stems[pick % stems.size()];
    if (pick / stems.size() % 2) name += std::to_string(salt % 7);  // vary past the stem
    return name;
}

}  // namespace

// Large batches go through the radix sort and its tie fix-up; they must leave the rows
// exactly where a full comparison sort puts them, with few services, many names that share
// their first 16 bytes and few distinct texts.
TEST(OutgoingQueue, LargeDueBatchesStandExactlyAsAFullSortPutsThem) {
    PagingWorld w;
    std::vector<CService*> services{w.AddService("North"), w.AddService("Nort"), w.AddService("\xE9t\xE9"),
                                    w.AddService("")};
    const uint32_t start = w.clock.Now();
    uint32_t seed = 777;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    std::vector<std::string> texts{"Reminder", "Reminder!", "Remind", "\x80high"};
    const int pages = 4 * static_cast<int>(QueueRowSorter::kRadixThreshold);
    for (int i = 0; i < pages; ++i) {
        CSubscriber* who = w.AddSubscriber(TrickyName(next(1000), next(1000)), std::to_string(1000 + i),
                                           services[next(static_cast<uint32_t>(services.size()))]);
        const uint32_t kind = next(10);
        const SendChoice choice = kind == 0   ? SendChoice::Now
                                  : kind == 1 ? SendChoice::Later
                                              : SendChoice::At;
        // Queued one by one: a page per name and text, so a repeated pick is simply skipped.
        w.Queue(texts[next(static_cast<uint32_t>(texts.size()))], {who}, choice, start + next(40));
    }
    ASSERT_GT(w.queue->RowCount(), 2 * QueueRowSorter::kRadixThreshold);
    // Two steps: most pages fall due in the first, joining Now pages already there in the second.
    for (uint32_t step : {20u, 40u}) {
        w.clock.Set(start + step);
        ASSERT_TRUE(w.queue->DueCheck());
        const auto rows = RowKeys(*w.queue);
        EXPECT_EQ(rows, ReferenceOrder(rows));
        EXPECT_TRUE(RowsHoldEveryPageOnce(w));
        const long firstTimed = w.queue->FirstTimedRow();
        if (firstTimed >= 0) {
            EXPECT_EQ(w.queue->RowAt(static_cast<size_t>(firstTimed))->GetWhen(), kWhenAt);
        }
    }
}

// The sort of changed rows covers every key: times on both sides of 2^31 (unsigned), all four
// When values, services and tricky names, when many pages change at once.
TEST(OutgoingQueue, ManyPagesChangingTimeAndWhenAtOnceSortExactly) {
    PagingWorld w;
    std::vector<CService*> services{w.AddService("B"), w.AddService("A"), w.AddService("AB")};
    uint32_t seed = 4242;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (int i = 0; i < 2 * static_cast<int>(QueueRowSorter::kRadixThreshold); ++i)
        w.Queue(next(2) ? "x" : "y",
                {w.AddSubscriber(TrickyName(next(1000), next(1000)), std::to_string(i), services[next(3)])},
                SendChoice::Later);
    const std::array<uint32_t, 5> times{0, 1, 0x7FFF'FFFFu, 0x8000'0000u, 0xFFFF'0001u};
    for (size_t i = 0; i < w.queue->RowCount(); ++i) {
        CPage* page = w.queue->RowAt(i);
        page->SetWhen(static_cast<int32_t>(next(4)));
        const uint32_t time = times[next(5)] + next(3);
        page->SetScheduledTime(time ? std::optional<uint32_t>(time) : std::nullopt);
    }
    w.queue->Sort();
    const auto rows = RowKeys(*w.queue);
    EXPECT_EQ(rows, ReferenceOrder(rows));
    EXPECT_TRUE(RowsHoldEveryPageOnce(w));
}
