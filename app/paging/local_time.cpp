#include "local_time.h"

#include <mutex>

namespace {
// The standard conversion functions share static state; the log window's property thread
// converts times too.
std::mutex gTimeMutex;
}  // namespace

std::tm LocalCalendarTime(uint32_t time) {
  std::time_t value = static_cast<std::time_t>(time);
  std::lock_guard lock(gTimeMutex);
  std::tm* local = std::localtime(&value);
  return local ? *local : std::tm{};
}

std::optional<uint32_t> FileTimeFromLocal(std::tm local) {
  local.tm_isdst = -1;
  std::time_t value;
  {
    std::lock_guard lock(gTimeMutex);
    value = std::mktime(&local);
  }
  if (value == static_cast<std::time_t>(-1) || value < 0 ||
      static_cast<uint64_t>(value) > UINT32_MAX) {
    return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}
