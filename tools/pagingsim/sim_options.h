#pragma once

#include <string>
#include <vector>

#include "tools/pagingsim/hayes_modem.h"
#include "tools/pagingsim/tap_terminal.h"

namespace pagingsim {

struct SimOptions {
    std::string link;        // symbolic link to the pseudo-terminal; empty: none
    std::string log_path;    // page log; empty: standard output
    int tcp_port = -1;       // -1: no TCP; 0: any free port
    int snpp_port = -1;      // the SNPP carrier's port; -1: none; 0: any free port
    int wctp_port = -1;      // the WCTP carrier's HTTP endpoint; -1: none; 0: any free port
    std::string wctp_fault;  // one of kWctpFaults; empty: none
    std::string tls_cert;    // PEM files: with both, the WCTP endpoint speaks HTTPS
    std::string tls_key;
    bool once = false;
    bool quiet = false;
    bool help = false;
    ModemConfig modem;
    TerminalConfig terminal;
};

// Returns an error text (empty on success). args excludes the program name.
std::string ParseOptions(const std::vector<std::string>& args, SimOptions& options);

extern const char* const kUsage;
// What --wctp-fault takes.
extern const char* const kWctpFaults[6];

}  // namespace pagingsim
