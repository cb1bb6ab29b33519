// The command line of rklrun:
//   rklrun [--trace] [--cancel-alerts] [--port NAME=DEVICE]... SCRIPT ARG...
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rklrun {

struct Options {
    bool trace = false;
    bool cancelAlerts = false;
    std::map<std::string, std::string> ports;
    std::string script;
    std::vector<std::string> args;
};

// Empty with `error` set when the command line is not usable.
std::optional<Options> ParseOptions(const std::vector<std::string>& argv, std::string& error);

// An ARG of the form NAME=VALUE (split at the first "=") assigns a variable; any
// other word names an entry.
bool SplitAssignment(const std::string& arg, std::string& name, std::string& value);

}  // namespace rklrun
