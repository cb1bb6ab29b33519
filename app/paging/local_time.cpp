#include "paging/local_time.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>

namespace {
// The standard conversion functions share static state; the log window's property thread
// converts times too.
std::mutex gTimeMutex;
}  // namespace

std::tm LocalCalendarTime(uint32_t time) {
    std::time_t value = static_cast<std::time_t>(time);
    std::lock_guard lock(gTimeMutex);
    // std::localtime looks at the system's time zone file again on every call (a file system
    // lookup each, which made opening a long log window slow); localtime_r does not, so the
    // zone is looked at here at most once a second and a change still shows within a second.
    static std::chrono::steady_clock::time_point zoneReadAt;
    const auto now = std::chrono::steady_clock::now();
    if (zoneReadAt == std::chrono::steady_clock::time_point() ||
        now - zoneReadAt >= std::chrono::seconds(1)) {
        tzset();
        zoneReadAt = now;
    }
    std::tm local{};
    return localtime_r(&value, &local) ? local : std::tm{};
}

std::optional<uint32_t> FileTimeFromLocal(std::tm local) {
    local.tm_isdst = -1;
    std::time_t value;
    {
        std::lock_guard lock(gTimeMutex);
        value = std::mktime(&local);
    }
    if (value == static_cast<std::time_t>(-1) || value < 0 || static_cast<uint64_t>(value) > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

std::optional<uint32_t> FileTimeFromAutomationDate(double days) {
    // Beyond these a 32-bit file time cannot reach; also keeps the casts below defined.
    if (!(days > -1.0e6 && days < 1.0e6)) return std::nullopt;
    const double whole = std::trunc(days);
    const auto seconds = static_cast<long>(std::lround(std::fabs(days - whole) * 86400.0));
    std::tm local{};
    local.tm_year = 1899 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 30 + static_cast<int>(whole);
    local.tm_hour = static_cast<int>(seconds / 3600);
    local.tm_min = static_cast<int>(seconds / 60 % 60);
    local.tm_sec = static_cast<int>(seconds % 60);
    return FileTimeFromLocal(local);
}

double AutomationDateFromFileTime(uint32_t time) {
    using namespace std::chrono;
    const std::tm local = LocalCalendarTime(time);
    const sys_days day{year{local.tm_year + 1900} / month{static_cast<unsigned>(local.tm_mon + 1)} /
                       static_cast<unsigned>(local.tm_mday)};
    const sys_days epoch{year{1899} / December / 30};
    return static_cast<double>((day - epoch).count()) +
           (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}
