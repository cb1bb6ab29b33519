#include "ui/windows/schedule_time.h"

#include <ctime>

#include "paging/local_time.h"
#include "ui/windows/local_format.h"
#include "ui/windows/window_texts.h"

namespace {
// Leading blanks, then decimal digits: the usual number conversion, on two characters.
int NumberIn(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}
}  // namespace

ScheduleFields ParseScheduleText(std::string_view text) {
    ScheduleFields fields;
    fields.hour = NumberIn(text.substr(0, 2));
    fields.minute = text.size() >= 2 ? NumberIn(text.substr(text.size() - 2)) : 0;
    return fields;
}

int HourOfDay(int hour, bool pm) {
    if (pm && hour < 12) return hour + 12;
    if (!pm && hour == 12) return 0;
    return hour;
}

std::optional<QString> ScheduleFieldError(const ScheduleFields& fields) {
    if (fields.hour > 12) return QString::fromLatin1(window_texts::kHourTooLarge);
    if (fields.hour < 1) return QString::fromLatin1(window_texts::kHourTooSmall);
    if (fields.minute > 59) return QString::fromLatin1(window_texts::kMinuteTooLarge);
    return std::nullopt;
}

std::optional<uint32_t> ScheduleMoment(int year, int month, int day, int hourOfDay, int minute) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hourOfDay;
    local.tm_min = minute;
    local.tm_sec = 0;
    return FileTimeFromLocal(local);
}

QString FormatScheduleMoment(uint32_t moment) {
    return FormatLocalTime(moment, "%A, %B %d, %Y at %I:%M %p");
}
