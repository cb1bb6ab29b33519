#pragma once

#include <string>
#include <vector>

#include "hayes_modem.h"
#include "tap_terminal.h"

namespace pagingsim {

struct SimOptions {
  std::string link;        // symbolic link to the pseudo-terminal; empty: none
  std::string log_path;    // page log; empty: standard output
  int tcp_port = -1;       // -1: no TCP; 0: any free port
  bool once = false;
  bool quiet = false;
  bool help = false;
  ModemConfig modem;
  TerminalConfig terminal;
};

// Returns an error text (empty on success). args excludes the program name.
std::string ParseOptions(const std::vector<std::string>& args, SimOptions& options);

extern const char* const kUsage;

}  // namespace pagingsim
