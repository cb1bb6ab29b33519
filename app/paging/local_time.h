#pragma once

#include <cstdint>
#include <ctime>
#include <optional>

// Local calendar time of a 32-bit file time (seconds since 1970 UTC, read as unsigned).
std::tm LocalCalendarTime(uint32_t time);
// The file time of a local calendar time, daylight saving decided by the system; none when
// it falls outside what a 32-bit unsigned file time can hold.
std::optional<uint32_t> FileTimeFromLocal(std::tm local);
// An automation date (days since 1899-12-30 00:00 local time; the fraction is the time of
// day, counted forward also for dates before that day) as a file time, to the nearest second;
// none for a value that is not a number or falls outside a 32-bit unsigned file time.
std::optional<uint32_t> FileTimeFromAutomationDate(double days);
// The other way: the automation date of a file time in local time.
double AutomationDateFromFileTime(uint32_t time);
