// Automation dates: days since 1899-12-30 00:00 local time, the fraction the time of day.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "paging/local_time.h"

TEST(PagingRecordsAutomationDate, LocalTimesRoundTripToTheSecond) {
    for (uint32_t time : {86400u * 365u, 1700000000u, 1711846800u, 2000000000u, 4000000000u}) {
        const std::optional<uint32_t> back = FileTimeFromAutomationDate(AutomationDateFromFileTime(time));
        ASSERT_TRUE(back.has_value()) << time;
        EXPECT_EQ(*back, time);
    }
}

TEST(PagingRecordsAutomationDate, TheWholePartCountsDaysAndTheFractionTheLocalTimeOfDay) {
    // 45000 is 2023-03-15; .75 is 18:00 local time.
    std::tm local{};
    local.tm_year = 2023 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 15;
    local.tm_hour = 18;
    EXPECT_EQ(FileTimeFromAutomationDate(45000.75), FileTimeFromLocal(local));
}

TEST(PagingRecordsAutomationDate, ValuesNoFileTimeHoldsAreRefused) {
    for (double days : {std::nan(""), std::numeric_limits<double>::infinity(), 1e300, -1e300, 0.0, 80000.0})
        EXPECT_FALSE(FileTimeFromAutomationDate(days).has_value()) << days;
}
