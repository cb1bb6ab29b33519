// The Preferences sheet on a settings store in memory: what each page shows, what OK writes,
// what Cancel keeps, and that the queue follows a new interval at once.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "archive/ob_list.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_clock.h"
#include "paging/queue_page.h"
#include "settings/memory_settings_store.h"
#include "settings/settings_store.h"
#include "ui/message_entry/signature_dialog.h"
#include "ui/preferences/prefs_property_sheet.h"

using ::testing::ElementsAre;

namespace {
constexpr std::string_view kPrefs = vorla::kPreferencesSection;

// Opens every page, as a user clicking through the tabs does.
void VisitAllPages(CPrefsPropertySheet& sheet) {
    for (int i = CPrefsPropertySheet::kSendingPage; i >= CPrefsPropertySheet::kDialingPage; --i)
        sheet.ShowPage(static_cast<CPrefsPropertySheet::PageIndex>(i));
}
}  // namespace

TEST(PrefsSheet, PagesComeInOrderAndAnEmptyStoreShowsTheDefaults) {
    vorla::MemorySettingsStore store;
    CPrefsPropertySheet sheet(store);
    VisitAllPages(sheet);
    EXPECT_EQ(sheet.windowTitle(), "Preferences");
    ASSERT_EQ(sheet.Tabs()->count(), 4);
    EXPECT_EQ(sheet.Tabs()->tabText(0), "Dialing");
    EXPECT_EQ(sheet.Tabs()->tabText(1), "Signature");
    EXPECT_EQ(sheet.Tabs()->tabText(2), "Tool Bar");
    EXPECT_EQ(sheet.Tabs()->tabText(3), "Sending");

    CPrefsPropertyPage1* dialing = sheet.DialingPage();
    ASSERT_EQ(dialing->PrefixBox()->count(), 1);
    EXPECT_EQ(dialing->PrefixBox()->itemText(0), "9,");
    EXPECT_FALSE(dialing->ResendBox()->isChecked());
    EXPECT_FALSE(dialing->IntervalBox()->isEnabled());
    EXPECT_FALSE(dialing->CountBox()->isEnabled());
    EXPECT_EQ(dialing->IntervalBox()->value(), 3);
    EXPECT_EQ(dialing->UnitLabel()->text(), "minute(s),");
    EXPECT_EQ(dialing->CountBox()->value(), 3);
    EXPECT_EQ(dialing->CountBox()->maximum(), 50);
    EXPECT_EQ(dialing->PrefixBox()->toolTip(), "Number to dial for outside line access");
    EXPECT_TRUE(sheet.ToolBarPage()->SmallToolbarBox()->isChecked());
    EXPECT_TRUE(sheet.ToolBarPage()->TipsBox()->isChecked());
    EXPECT_TRUE(sheet.ToolBarPage()->OtherTipsBox()->isChecked());
    EXPECT_TRUE(sheet.SendingPage()->ClearMessageBox()->isChecked());
    EXPECT_FALSE(sheet.SendingPage()->RememberFailedBox()->isChecked());

    dialing->ResendBox()->click();
    EXPECT_TRUE(dialing->IntervalBox()->isEnabled());
    EXPECT_TRUE(dialing->CountBox()->isEnabled());
}

TEST(PrefsSheet, IntervalIsShownInItsUnitAndWrittenBackInSeconds) {
    const struct {
        int stored;
        int shown;
        const char* unit;
    } cases[] = {{180, 3, "minute(s),"}, {45, 45, "second(s),"}, {90, 1, "minute(s),"}};
    for (const auto& c : cases) {
        vorla::MemorySettingsStore store;
        store.WriteProfileInt(kPrefs, "ResendSeconds", c.stored);
        CPrefsPropertySheet sheet(store);
        EXPECT_EQ(sheet.DialingPage()->IntervalBox()->value(), c.shown) << c.stored;
        EXPECT_EQ(sheet.DialingPage()->UnitLabel()->text(), c.unit) << c.stored;
        sheet.accept();  // unchanged: the stored value stays, also one that is no whole minute
        EXPECT_EQ(store.GetProfileInt(kPrefs, "ResendSeconds", 0), c.stored);
    }
}

TEST(PrefsSheet, SpinClickPastFiftyNineSecondsGoesOnInMinutes) {
    vorla::MemorySettingsStore store;
    store.WriteProfileInt(kPrefs, "Resend", 1);
    store.WriteProfileInt(kPrefs, "ResendSeconds", 59);
    CPrefsPropertySheet sheet(store);
    IntervalSpinBox* interval = sheet.DialingPage()->IntervalBox();
    interval->stepUp();
    EXPECT_EQ(interval->value(), 1);
    EXPECT_EQ(sheet.DialingPage()->UnitLabel()->text(), "minute(s),");
    interval->stepUp();
    sheet.accept();
    EXPECT_EQ(store.GetProfileInt(kPrefs, "ResendSeconds", 0), 120);
}

TEST(PrefsSheet, ATypedEighthPrefixDropsTheSeventhAndIsSecond) {
    vorla::MemorySettingsStore store;
    for (int i = 1; i <= 7; ++i)
        store.WriteProfileString("Prefix", std::to_string(i), std::to_string(i) + ",");
    CPrefsPropertySheet sheet(store);
    QComboBox* box = sheet.DialingPage()->PrefixBox();
    box->setEditText(QStringLiteral("8,"));
    sheet.DialingPage()->CommitTypedPrefix();  // what losing the focus does
    EXPECT_EQ(box->currentIndex(), 1);
    EXPECT_THAT(sheet.DialingPage()->Prefixes(), ElementsAre("1,", "8,", "2,", "3,", "4,", "5,", "6,"));
    sheet.accept();
    EXPECT_EQ(store.GetProfileString("Prefix", "2", ""), "8,");
    EXPECT_EQ(store.GetProfileString("Prefix", "7", ""), "6,");
    EXPECT_EQ(store.GetProfileString(kPrefs, "DialPrefix", ""), "8,");
}

// A prefix stored without being in the list (the setup wizard writes one) is shown and kept
// by an OK that touched nothing.
TEST(PrefsSheet, AStoredPrefixOutsideTheListIsShownAndKept) {
    vorla::MemorySettingsStore store;
    store.WriteProfileString("Prefix", "1", "9,");
    store.WriteProfileString(kPrefs, "DialPrefix", "8,W");
    CPrefsPropertySheet sheet(store);
    EXPECT_EQ(sheet.DialingPage()->PrefixBox()->currentText(), QStringLiteral("8,W"));
    sheet.accept();
    EXPECT_EQ(store.GetProfileString(kPrefs, "DialPrefix", ""), "8,W");
}

// A character the settings cannot store (they keep 8-bit text) is refused on OK with the page
// that holds it shown, and nothing is written, instead of becoming '?'.
TEST(PrefsSheet, OkRefusesTextTheSettingsCannotStore) {
    struct Case {
        CPrefsPropertySheet::PageIndex page;
        QString text;
        const char* entry;
    };
    for (const Case& c :
         {Case{CPrefsPropertySheet::kSignaturePage, QStringLiteral("\u0141\u00f3d\u017a \u260e 5\u20ac"),
               "Signature"},
          Case{CPrefsPropertySheet::kDialingPage, QStringLiteral("9,\U0001F4DE"), "DialPrefix"}}) {
        vorla::MemorySettingsStore store;
        CPrefsPropertySheet sheet(store);
        QStringList refusals;
        sheet.refuse = [&refusals](const QString& text) { refusals << text; };
        VisitAllPages(sheet);
        sheet.ShowPage(CPrefsPropertySheet::kToolBarPage);
        if (c.page == CPrefsPropertySheet::kSignaturePage)
            sheet.SignaturePage()->SignatureField()->setText(c.text);
        else
            sheet.DialingPage()->PrefixBox()->setEditText(c.text);
        sheet.accept();
        ASSERT_EQ(refusals.size(), 1) << c.entry;
        EXPECT_TRUE(refusals[0].contains(QStringLiteral("cannot store"))) << refusals[0].toStdString();
        EXPECT_EQ(sheet.Tabs()->currentIndex(), c.page) << c.entry;
        EXPECT_NE(sheet.result(), QDialog::Accepted) << c.entry;
        EXPECT_FALSE(store.Contains(kPrefs, c.entry)) << c.entry;
    }
}

TEST(PrefsSheet, CancelKeepsEverySettingButRememberFailedWhichIsWrittenOnClick) {
    vorla::MemorySettingsStore store;
    auto snapshot = [&store] {
        std::vector<std::string> values{store.GetProfileString("Prefix", "1", "-"),
                                        store.GetProfileString("Prefix", "2", "-"),
                                        store.GetProfileString(kPrefs, "DialPrefix", "-"),
                                        store.GetProfileString(kPrefs, "Signature", "-")};
        for (const char* entry : {"Resend", "ResendSeconds", "ResendTimes", "AutoSign", "SmallToolbar",
                                  "Tips", "OtherTips", "SendUpperCase", "ClearMessage", "SpotPage"})
            values.push_back(std::to_string(store.GetProfileInt(kPrefs, entry, -7)));
        return values;
    };
    store.WriteProfileString(kPrefs, "Signature", "Ann");
    store.WriteProfileInt(kPrefs, "ResendSeconds", 45);
    const auto before = snapshot();

    CPrefsPropertySheet sheet(store);
    VisitAllPages(sheet);
    sheet.DialingPage()->PrefixBox()->setEditText(QStringLiteral("0,"));
    sheet.DialingPage()->CommitTypedPrefix();
    sheet.DialingPage()->ResendBox()->click();
    sheet.DialingPage()->IntervalBox()->stepUp();
    sheet.SignaturePage()->SignatureField()->setText(QStringLiteral("Bob"));
    sheet.SignaturePage()->AutoSignBox()->click();
    sheet.ToolBarPage()->TipsBox()->click();
    sheet.SendingPage()->SpotPageBox()->click();
    sheet.SendingPage()->RememberFailedBox()->click();
    EXPECT_EQ(store.GetProfileInt(kPrefs, "RememberFailed", 0), 1);
    sheet.reject();

    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(store.GetProfileInt(kPrefs, "RememberFailed", 0), 1);
}

TEST(PrefsSheet, OkWritesEveryPageAndAPageNeverOpenedWritesNothing) {
    vorla::MemorySettingsStore store;
    {
        CPrefsPropertySheet sheet(store);
        sheet.accept();  // only the first page was shown
    }
    EXPECT_TRUE(store.Contains(kPrefs, "ResendSeconds"));
    EXPECT_FALSE(store.Contains(kPrefs, "Signature"));
    EXPECT_FALSE(store.Contains(kPrefs, "SmallToolbar"));

    CPrefsPropertySheet sheet(store);
    VisitAllPages(sheet);
    sheet.SignaturePage()->SignatureField()->setText(QStringLiteral("Ann <DATE>"));
    sheet.SignaturePage()->AutoSignBox()->click();
    sheet.ToolBarPage()->SmallToolbarBox()->click();
    sheet.ToolBarPage()->OtherTipsBox()->click();
    sheet.SendingPage()->UpperCaseBox()->click();
    sheet.SendingPage()->ClearMessageBox()->click();
    sheet.SendingPage()->SpotPageBox()->click();
    sheet.accept();
    EXPECT_EQ(store.GetProfileString(kPrefs, "Signature", ""), "Ann <DATE>");
    const struct {
        const char* entry;
        int value;
    } written[] = {{"AutoSign", 1},      {"SmallToolbar", 0}, {"Tips", 1},    {"OtherTips", 0},
                   {"SendUpperCase", 1}, {"ClearMessage", 0}, {"SpotPage", 1}};
    for (const auto& w : written)
        EXPECT_EQ(store.GetProfileInt(kPrefs, w.entry, -1), w.value) << w.entry;
}

TEST(PrefsSheet, TheQueueReschedulesTheNextFailureWithTheIntervalJustSet) {
    vorla::MemorySettingsStore store;
    ManualClock clock(1'700'000'000);
    CObList list;
    OutgoingQueue queue(list, store, clock, "");
    {
        CPrefsPropertySheet sheet(store);
        sheet.DialingPage()->ResendBox()->click();
        sheet.DialingPage()->CountBox()->setValue(2);
        sheet.DialingPage()->IntervalBox()->setValue(1);  // 1 minute
        sheet.accept();
    }
    ServiceFields fields;
    fields.name = "Acme";
    CService service(fields);
    CSubscriber ann("Ann", "1001", "80", &service);
    CPagerMessage* message = MakePagerMessage("hello");
    ASSERT_TRUE(QueuePage(queue, store, ann, message, SendChoice::Now, std::nullopt));
    queue.Refresh();
    CPage* page = queue.RowAt(0);
    page->SetStatus(kStatusFailed, "Line busy", 1);
    queue.ApplyEndOfRunRules([](const CPage*) { return true; });
    EXPECT_EQ(page->GetWhen(), kWhenAt);
    EXPECT_EQ(page->GetScheduledTime(), std::optional<uint32_t>(clock.Now() + 60));

    {
        CPrefsPropertySheet sheet(store);
        sheet.DialingPage()->IntervalBox()->setValue(5);  // still minutes: 5 minutes
        sheet.accept();
    }
    page->SetStatus(kStatusFailed, "Line busy", 1);
    clock.Advance(60);
    queue.ApplyEndOfRunRules([](const CPage*) { return true; });
    EXPECT_EQ(page->GetScheduledTime(), std::optional<uint32_t>(clock.Now() + 300));
    queue.DiscardPage(page);
}

// The Signature page and the Signature dialog take the same longest signature, so neither cuts
// what the other stored.
TEST(PrefsSheet, TheSignaturePageTakesWhatTheSignatureDialogTakes) {
    vorla::MemorySettingsStore store;
    const QString tooLong(400, QLatin1Char('s'));
    SignatureDialog dialog(tooLong);
    CPrefsPropertySheet sheet(store);
    VisitAllPages(sheet);
    sheet.SignaturePage()->SignatureField()->setText(tooLong);
    EXPECT_EQ(sheet.SignaturePage()->SignatureField()->text().size(), dialog.Text().size());
}
