#include "tools/vorlapage/vorlapage_options.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "paging/local_time.h"

namespace {

bool TakeDigits(const std::string& text, size_t at, size_t count, int& value) {
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

LocalMinute ParseLocalMinute(const std::string& text) {
    using Problem = LocalMinute::Problem;
    int year, month, day, hour, minute;
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':')
        return {std::nullopt, Problem::Malformed};
    if (!TakeDigits(text, 0, 4, year) || !TakeDigits(text, 5, 2, month) || !TakeDigits(text, 8, 2, day) ||
        !TakeDigits(text, 11, 2, hour) || !TakeDigits(text, 14, 2, minute))
        return {std::nullopt, Problem::Malformed};
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59)
        return {std::nullopt, Problem::NoSuchDate};
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    const std::optional<uint32_t> time = FileTimeFromLocal(local);
    if (!time) return {std::nullopt, Problem::OutOfRange};
    // 31 February and the like would roll into the next month: refused, not guessed.
    const std::tm back = LocalCalendarTime(*time);
    if (back.tm_mday != day || back.tm_mon != month - 1) return {std::nullopt, Problem::NoSuchDate};
    // A minute the clocks jump over when summer time starts would be moved by an hour.
    if (back.tm_hour != hour || back.tm_min != minute) return {std::nullopt, Problem::SkippedByClockChange};
    return {time, Problem::None};
}

bool ParseVorlapageArguments(const std::vector<std::string>& arguments, VorlapageOptions& options,
                             std::string* error) {
    auto fail = [error](std::string text) {
        if (error) *error = std::move(text);
        return false;
    };
    bool send = false, list = false, later = false, help = false;
    std::optional<std::string> at;
    std::vector<std::string> free;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) return false;
            out = arguments[++i];
            return true;
        };
        std::string v;
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--home") {
            if (!value(v) || v.empty()) return fail("--home needs a folder");
            options.home = v;
        } else if (arg == "--port") {
            if (!value(v)) return fail("--port needs NAME=DEVICE");
            const size_t eq = v.find('=');
            if (eq == 0 || eq == std::string::npos || eq + 1 == v.size())
                return fail("--port needs NAME=DEVICE, not \"" + v + "\"");
            options.ports.emplace_back(v.substr(0, eq), v.substr(eq + 1));
        } else if (arg == "--to") {
            if (!value(v) || v.empty()) return fail("--to needs a name");
            options.to.push_back(v);
        } else if (arg == "--wait") {
            char* end = nullptr;
            errno = 0;
            const long seconds = value(v) && !v.empty() ? std::strtol(v.c_str(), &end, 10) : -1;
            if (!end || *end != '\0' || errno != 0 || seconds < 0 ||
                seconds > VorlapageOptions::kMaxWaitSeconds)
                return fail("--wait needs a number of seconds from 0 to " +
                            std::to_string(VorlapageOptions::kMaxWaitSeconds));
            options.waitSeconds = static_cast<int>(seconds);
        } else if (arg == "--spot") {
            if (!value(v)) return fail("--spot needs PIN@SERVICE");
            const size_t atSign = v.find('@');
            if (atSign == 0 || atSign == std::string::npos || atSign + 1 == v.size())
                return fail("--spot needs PIN@SERVICE, not \"" + v + "\"");
            options.spot = std::make_pair(v.substr(0, atSign), v.substr(atSign + 1));
        } else if (arg == "--later") {
            later = true;
        } else if (arg == "--at") {
            if (!value(v)) return fail("--at needs \"YYYY-MM-DD HH:MM\"");
            at = v;
        } else if (arg == "--send") {
            send = true;
        } else if (arg == "--list") {
            list = true;
        } else if (arg == "--") {
            free.insert(free.end(), arguments.begin() + static_cast<long>(i) + 1, arguments.end());
            break;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option " + arg);
        } else {
            free.push_back(arg);
        }
    }
    if (help) {
        options.mode = VorlapageOptions::Mode::Help;
        return true;
    }
    const bool queueing = !options.to.empty() || options.spot || later || at || !free.empty();
    if (send + list + queueing != 1) return fail("choose one of --to/--spot MESSAGE, --send and --list");
    if (send || list) {
        options.mode = send ? VorlapageOptions::Mode::Send : VorlapageOptions::Mode::List;
        if (list && !options.ports.empty()) return fail("--port does not go with --list");
        return true;
    }
    options.mode = VorlapageOptions::Mode::Queue;
    if (options.to.empty() && !options.spot) return fail("say who gets the page with --to or --spot");
    if (later && at) return fail("--later and --at exclude each other");
    if (free.size() != 1) return fail("give the message as one argument (quote it)");
    options.message = free[0];
    if (later) options.choice = SendChoice::Later;
    if (at) {
        const LocalMinute parsed = ParseLocalMinute(*at);
        const std::string quoted = "\"" + *at + "\"";
        switch (parsed.problem) {
            case LocalMinute::Problem::None:
                break;
            case LocalMinute::Problem::Malformed:
                return fail("--at needs \"YYYY-MM-DD HH:MM\", not " + quoted);
            case LocalMinute::Problem::NoSuchDate:
                return fail("--at " + quoted + " is not a date and time of the calendar");
            case LocalMinute::Problem::SkippedByClockChange:
                return fail("--at " + quoted +
                            " is not a valid local time: the clocks skip it when summer time starts");
            case LocalMinute::Problem::OutOfRange:
                return fail("--at " + quoted +
                            " is out of range: pages can wait for times from 1970 to 2106");
        }
        options.at = parsed.time;
        options.choice = SendChoice::At;
    }
    return true;
}
