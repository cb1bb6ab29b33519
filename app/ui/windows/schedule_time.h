#pragma once
// The Schedule Message dialog's arithmetic: the "HH:MM" field, AM and PM, the checks of
// the Schedule button and the moment they make with a calendar date.

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

struct ScheduleFields {
    int hour = 0;  // as typed, 12-hour clock
    int minute = 0;
};

// The field's editable text ("0730"; untyped places are blanks): the hour is the number in
// the first two characters, the minute the number in the last two.
ScheduleFields ParseScheduleText(std::string_view text);
// The hour of the day: PM adds 12 below 12; 12 AM is midnight.
int HourOfDay(int hour, bool pm);
// The refusal for a typed time, or none when it is a valid 12-hour time.
std::optional<QString> ScheduleFieldError(const ScheduleFields& fields);
// The local moment of that date and time with seconds 0 (daylight saving decided by the
// system); none when the date is not a real one or the moment does not fit a file time.
std::optional<uint32_t> ScheduleMoment(int year, int month, int day, int hourOfDay, int minute);
// "%A, %B %d, %Y at %I:%M %p".
QString FormatScheduleMoment(uint32_t moment);
