#pragma once
// Times as the user reads them: a file time (seconds since 1970 UTC) in local time through a
// strftime pattern, in the current C locale as the rest of the program formats dates.

#include <QString>

#include <cstdint>

QString FormatLocalTime(uint32_t time, const char* pattern);
