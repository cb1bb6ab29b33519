// The Schedule Message dialog: the hour from the field with AM and PM, the refusals of the
// Schedule button, the question for a moment in the past, and the moment as shown.
#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "tests/ui_windows/window_world.h"
#include "ui/common/pic_edit.h"
#include "ui/windows/schedule_dialog.h"
#include "ui/windows/schedule_time.h"
#include "ui/windows/window_texts.h"

namespace {

TEST(ScheduleTime, AmAndPmMakeTheHourOfDay) {
    EXPECT_EQ(HourOfDay(12, false), 0);
    EXPECT_EQ(HourOfDay(12, true), 12);
    EXPECT_EQ(HourOfDay(7, true), 19);
    EXPECT_EQ(HourOfDay(7, false), 7);
    EXPECT_EQ(HourOfDay(11, true), 23);
}

TEST(ScheduleTime, FieldTextAndItsChecks) {
    EXPECT_EQ(ParseScheduleText("0730").hour, 7);
    EXPECT_EQ(ParseScheduleText("0730").minute, 30);
    EXPECT_EQ(ParseScheduleText("1 5 ").hour, 1);
    EXPECT_EQ(ParseScheduleText("1 5 ").minute, 5);
    EXPECT_EQ(ParseScheduleText("").hour, 0);
    EXPECT_EQ(ScheduleFieldError({13, 0}), QString::fromLatin1(window_texts::kHourTooLarge));
    EXPECT_EQ(ScheduleFieldError({0, 10}), QString::fromLatin1(window_texts::kHourTooSmall));
    EXPECT_EQ(ScheduleFieldError({12, 60}), QString::fromLatin1(window_texts::kMinuteTooLarge));
    EXPECT_FALSE(ScheduleFieldError({12, 59}).has_value());
    EXPECT_FALSE(ScheduleFieldError({1, 0}).has_value());
}

class ScheduleDialogTest : public ::testing::Test {
protected:
    void Open() {
        dialog = std::make_unique<CScheduleDialog>([this] { return now; }, prompts.Prompts());
    }
    void Enter(const char* digits, bool pm) {
        dialog->TimeField()->SetText(QString::fromLatin1(digits));
        (pm ? dialog->PmButton() : dialog->AmButton())->click();
    }
    void Day(int year, int month, int day) { dialog->Calendar()->setSelectedDate(QDate(year, month, day)); }
    static uint32_t Utc(int year, int month, int day, int hour, int minute) {
        return static_cast<uint32_t>(
            QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC).toSecsSinceEpoch());
    }

    uint32_t now = kTestNow;  // Tuesday 2024-03-05 14:30 UTC
    RecordedPrompts prompts;
    std::unique_ptr<CScheduleDialog> dialog;
};

TEST_F(ScheduleDialogTest, OpensOnTheCurrentTimeTodayAndPm) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Schedule Message"));
    EXPECT_EQ(dialog->TimeField()->text(), QStringLiteral("02:30"));
    EXPECT_TRUE(dialog->PmButton()->isChecked());
    EXPECT_EQ(dialog->Calendar()->selectedDate(), QDate(2024, 3, 5));
    EXPECT_EQ(dialog->MomentLabel()->text(), QStringLiteral("Tuesday, March 05, 2024 at 02:30 PM"));
    EXPECT_TRUE(dialog->ScheduleButton()->isEnabled());
}

TEST_F(ScheduleDialogTest, TwelveAmTwelvePmAndSevenPm) {
    Open();
    Day(2024, 3, 6);
    Enter("1200", false);
    EXPECT_EQ(dialog->ChosenMoment(), std::optional<uint32_t>(Utc(2024, 3, 6, 0, 0)));
    EXPECT_EQ(dialog->MomentLabel()->text(), QStringLiteral("Wednesday, March 06, 2024 at 12:00 AM"));
    Enter("1200", true);
    EXPECT_EQ(dialog->ChosenMoment(), std::optional<uint32_t>(Utc(2024, 3, 6, 12, 0)));
    Enter("0745", true);
    EXPECT_EQ(dialog->ChosenMoment(), std::optional<uint32_t>(Utc(2024, 3, 6, 19, 45)));
    dialog->Schedule();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(dialog->ChosenMoment(), std::optional<uint32_t>(Utc(2024, 3, 6, 19, 45)));
}

TEST_F(ScheduleDialogTest, HourAndMinuteOutOfRangeAreRefusedAndTheDialogStays) {
    Open();
    Day(2024, 3, 6);
    for (const char* digits : {"1300", "0010", "1260"}) {
        prompts.asked.clear();
        Enter(digits, true);
        dialog->Schedule();
        ASSERT_EQ(prompts.asked.size(), 1u) << digits;
        EXPECT_NE(dialog->result(), QDialog::Accepted);
    }
    EXPECT_EQ(prompts.asked[0], QString::fromLatin1(window_texts::kMinuteTooLarge));
    prompts.asked.clear();
    Enter("1300", true);
    dialog->Schedule();
    EXPECT_EQ(prompts.asked.at(0), QString::fromLatin1(window_texts::kHourTooLarge));
    prompts.asked.clear();
    Enter("0010", true);
    dialog->Schedule();
    EXPECT_EQ(prompts.asked.at(0), QString::fromLatin1(window_texts::kHourTooSmall));
}

TEST_F(ScheduleDialogTest, AMomentInThePastAsksAndNoKeepsTheDialogOpen) {
    Open();
    Enter("0100", false);  // 01:00 today, long gone
    prompts.answer = false;
    dialog->Schedule();
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0], QString::fromLatin1(window_texts::kPriorToNow));
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->ChosenMoment().has_value());

    prompts.answer = true;
    dialog->Schedule();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->ChosenMoment(), std::optional<uint32_t>(Utc(2024, 3, 5, 1, 0)));
}

TEST_F(ScheduleDialogTest, TheCurrentMinuteCountsAsPast) {
    Open();
    dialog->Schedule();  // 02:30 PM today == now
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0], QString::fromLatin1(window_texts::kPriorToNow));
}

TEST_F(ScheduleDialogTest, ScheduleNeedsAFullyTypedTime) {
    Open();
    dialog->TimeField()->SetText(QStringLiteral("073"));
    EXPECT_FALSE(dialog->ScheduleButton()->isEnabled());
    dialog->TimeField()->SetText(QStringLiteral("0730"));
    EXPECT_TRUE(dialog->ScheduleButton()->isEnabled());
}

}  // namespace
