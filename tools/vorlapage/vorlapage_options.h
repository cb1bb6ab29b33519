#pragma once
// vorlapage's command line, parsed without side effects so it can be tested.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "queue_page.h"

struct VorlapageOptions {
  enum class Mode { Queue, Send, List, Help };
  Mode mode = Mode::Help;
  std::optional<std::string> home;
  std::vector<std::pair<std::string, std::string>> ports;  // NAME, DEVICE
  std::vector<std::string> to;                             // subscriber or group names
  std::optional<std::pair<std::string, std::string>> spot; // PIN, SERVICE
  SendChoice choice = SendChoice::Now;
  std::optional<uint32_t> at;  // for SendChoice::At
  std::string message;
};

inline constexpr const char* kVorlapageUsage =
    "usage: vorlapage [--home DIR] [--port NAME=DEVICE]... --to NAME[,NAME...] [--spot PIN@SERVICE]\n"
    "                 [--later | --at \"YYYY-MM-DD HH:MM\"] MESSAGE\n"
    "       vorlapage [--home DIR] [--port NAME=DEVICE]... --send\n"
    "       vorlapage [--home DIR] --list\n";

// arguments exclude the program name. False with a message in *error for bad arguments.
bool ParseVorlapageArguments(const std::vector<std::string>& arguments, VorlapageOptions& options,
                             std::string* error);

// "YYYY-MM-DD HH:MM" in local time; none when malformed or out of range.
std::optional<uint32_t> ParseLocalMinute(const std::string& text);
