#pragma once

#include <cstdint>
#include <ctime>
#include <optional>

// Local calendar time of a 32-bit file time (seconds since 1970 UTC, read as unsigned).
std::tm LocalCalendarTime(uint32_t time);
// The file time of a local calendar time, daylight saving decided by the system; none when
// it falls outside what a 32-bit unsigned file time can hold.
std::optional<uint32_t> FileTimeFromLocal(std::tm local);
