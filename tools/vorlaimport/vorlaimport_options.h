#pragma once
// The command line of vorlaimport: [--home DIR] [--list] TRANSLATOR [DATAFILE].

#include <optional>
#include <string>
#include <vector>

struct VorlaimportOptions {
  std::optional<std::string> home;
  bool list = false;
  std::string translator;
  std::optional<std::string> dataFile;
};

// Null (and a reason in *error) for a command line that does not fit. arguments excludes
// the program name.
std::optional<VorlaimportOptions> ParseVorlaimportOptions(const std::vector<std::string>& arguments,
                                                          std::string* error);

inline constexpr const char* kVorlaimportUsage =
    "usage: vorlaimport [--home DIR] --list\n"
    "       vorlaimport [--home DIR] TRANSLATOR [DATAFILE]";
