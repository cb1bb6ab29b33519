#include "ui/windows/local_format.h"

#include <array>
#include <ctime>

#include "paging/local_time.h"
#include "text/windows1252.h"

QString FormatLocalTime(uint32_t time, const char* pattern) {
    const std::tm local = LocalCalendarTime(time);
    std::array<char, 256> buffer{};
    // The patterns are the program's own constants, chosen by the callers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const size_t length = std::strftime(buffer.data(), buffer.size(), pattern, &local);
#pragma GCC diagnostic pop
    return vorla::FromWindows1252(std::string_view(buffer.data(), length));
}
