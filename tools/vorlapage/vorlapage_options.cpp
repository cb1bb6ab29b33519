#include "vorlapage_options.h"

#include <cctype>
#include <ctime>

#include "local_time.h"

namespace {

bool TakeDigits(const std::string& text, size_t at, size_t count, int& value) {
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

void SplitNames(const std::string& list, std::vector<std::string>& out) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    if (comma > start) out.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
}

}  // namespace

std::optional<uint32_t> ParseLocalMinute(const std::string& text) {
  int year, month, day, hour, minute;
  if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':')
    return std::nullopt;
  if (!TakeDigits(text, 0, 4, year) || !TakeDigits(text, 5, 2, month) || !TakeDigits(text, 8, 2, day) ||
      !TakeDigits(text, 11, 2, hour) || !TakeDigits(text, 14, 2, minute))
    return std::nullopt;
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59) return std::nullopt;
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_isdst = -1;
  const std::optional<uint32_t> time = FileTimeFromLocal(local);
  if (!time) return std::nullopt;
  // 31 February and the like would roll into the next month: refused, not guessed.
  const std::tm back = LocalCalendarTime(*time);
  if (back.tm_mday != day || back.tm_mon != month - 1) return std::nullopt;
  return time;
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
      if (eq == 0 || eq == std::string::npos || eq + 1 == v.size()) return fail("--port needs NAME=DEVICE, not \"" + v + "\"");
      options.ports.emplace_back(v.substr(0, eq), v.substr(eq + 1));
    } else if (arg == "--to") {
      if (!value(v)) return fail("--to needs one or more names");
      SplitNames(v, options.to);
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
    options.at = ParseLocalMinute(*at);
    if (!options.at) return fail("--at needs a valid local time \"YYYY-MM-DD HH:MM\", not \"" + *at + "\"");
    options.choice = SendChoice::At;
  }
  return true;
}
