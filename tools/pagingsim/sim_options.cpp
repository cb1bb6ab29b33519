#include "tools/pagingsim/sim_options.h"

#include <charconv>
#include <limits>

namespace pagingsim {

const char* const kUsage =
    "usage: pagingsim [options]\n"
    "A Hayes modem with a TAP 1.8 paging terminal behind it, on a pseudo-terminal.\n"
    "\n"
    "  --link PATH            make PATH a symbolic link to the pseudo-terminal\n"
    "  --log FILE             append accepted pages as JSON lines to FILE (default: stdout)\n"
    "  --tcp PORT             also serve the terminal (no modem) on 127.0.0.1:PORT; 0 picks a free port\n"
    "  --snpp PORT            also be an SNPP carrier (RFC 1861) on 127.0.0.1:PORT; 0 picks a free port\n"
    "  --wctp PORT            also be a WCTP 1.3 carrier: HTTP POST on 127.0.0.1:PORT; 0 picks a free port\n"
    "  --tls-cert FILE        with --tls-key: the WCTP endpoint speaks HTTPS with this PEM certificate\n"
    "  --tls-key FILE         the certificate's PEM private key\n"
    "  --once                 exit when the first connection has ended\n"
    "  --quiet                no trace on stderr (the ready line is still printed)\n"
    "\n"
    "Modem:\n"
    "  --baud N               speed in CONNECT N (default 2400)\n"
    "  --ring-ms MS           time from ATD to its result (default 1000)\n"
    "  --guard-ms MS          +++ escape guard time, power-on S12 (default 1000)\n"
    "\n"
    "Terminal:\n"
    "  --password PW          log-on password (default: any)\n"
    "  --max-length N         refuse messages longer than N characters with RS (default: no limit)\n"
    "  --timeout MS           hang up after MS without input (default 20000, 0: never)\n"
    "\n"
    "Faults:\n"
    "  --busy | --no-carrier | --no-dialtone   result of ATD instead of CONNECT\n"
    "  --nak N                answer each good block N times with NAK before taking it\n"
    "  --refuse PIN[,PIN...]  refuse pages for these pager IDs with RS (WCTP: 401 Unknown recipient)\n"
    "  --wctp-fault KIND      every WCTP answer (or the first --fault-calls) goes wrong: http500, "
    "malformed,\n"
    "                         huge (10 MB), entity (an external entity), redirect (to another host),\n"
    "                         reset (the connection closes half-way through the answer)\n"
    "  --drop-after-bytes N   drop the line after N bytes of a connection\n"
    "  --drop-in-block K      drop the line right after the STX of the K-th block of a connection\n"
    "  --slow MS              delay every answer of the terminal by MS\n"
    "  --reasons-only MS      answer every block with a 503 reason alone, again every MS, never a verdict\n"
    "  --fault-calls N        dial faults and line drops hit only the first N calls (default: all)\n"
    "  --help                 this text\n"
    "  --version              the version\n"
    "\n"
    "Exit status: 0 after a clean stop (or --once), 1 when it cannot start or waiting fails,\n"
    "2 for bad options.\n";

const char* const kWctpFaults[6] = {"http500", "malformed", "huge", "entity", "redirect", "reset"};

namespace {

bool ToInt(const std::string& text, long long low, long long high, long long& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

}  // namespace

std::string ParseOptions(const std::vector<std::string>& args, SimOptions& o) {
    constexpr long long kIntMax = std::numeric_limits<int>::max();
    int dial_faults = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        const auto value = [&](std::string& out) -> std::string {
            if (i + 1 >= args.size()) return name + " needs a value";
            out = args[++i];
            return {};
        };
        const auto number = [&](long long low, long long high, long long& out) -> std::string {
            std::string text;
            if (auto error = value(text); !error.empty()) return error;
            if (!ToInt(text, low, high, out)) {
                return name + " takes a whole number from " + std::to_string(low) + " to " +
                       std::to_string(high) + ", not \"" + text + "\"";
            }
            return {};
        };
        long long n = 0;
        std::string error;
        if (name == "--help" || name == "-h") {
            o.help = true;
        } else if (name == "--link") {
            error = value(o.link);
        } else if (name == "--log") {
            error = value(o.log_path);
        } else if (name == "--tcp") {
            if ((error = number(0, 65535, n)).empty()) o.tcp_port = static_cast<int>(n);
        } else if (name == "--snpp") {
            if ((error = number(0, 65535, n)).empty()) o.snpp_port = static_cast<int>(n);
        } else if (name == "--wctp") {
            if ((error = number(0, 65535, n)).empty()) o.wctp_port = static_cast<int>(n);
        } else if (name == "--wctp-fault") {
            if ((error = value(o.wctp_fault)).empty()) {
                error = "--wctp-fault takes http500, malformed, huge, entity, redirect or reset";
                for (const char* kind : kWctpFaults)
                    if (o.wctp_fault == kind) error.clear();
            }
        } else if (name == "--tls-cert") {
            error = value(o.tls_cert);
        } else if (name == "--tls-key") {
            error = value(o.tls_key);
        } else if (name == "--once") {
            o.once = true;
        } else if (name == "--quiet") {
            o.quiet = true;
        } else if (name == "--baud") {
            if ((error = number(1, 10000000, n)).empty()) o.modem.baud = static_cast<int>(n);
        } else if (name == "--ring-ms") {
            if ((error = number(0, 600000, n)).empty()) o.modem.ring = Duration(n);
        } else if (name == "--guard-ms") {
            if ((error = number(20, 5100, n)).empty()) o.modem.guard = Duration(n);
        } else if (name == "--password") {
            error = value(o.terminal.password);
            if (error.empty() && o.terminal.password.size() > 6)
                error = "--password takes at most 6 characters";
        } else if (name == "--max-length") {
            if ((error = number(0, kIntMax, n)).empty())
                o.terminal.max_message_length = static_cast<std::size_t>(n);
        } else if (name == "--timeout") {
            if ((error = number(0, 3600000, n)).empty()) o.terminal.idle_timeout = Duration(n);
        } else if (name == "--busy") {
            o.modem.outcome = DialOutcome::kBusy;
            ++dial_faults;
        } else if (name == "--no-carrier") {
            o.modem.outcome = DialOutcome::kNoCarrier;
            ++dial_faults;
        } else if (name == "--no-dialtone") {
            o.modem.outcome = DialOutcome::kNoDialtone;
            ++dial_faults;
        } else if (name == "--nak") {
            if ((error = number(0, 1000, n)).empty()) o.terminal.naks_per_block = static_cast<int>(n);
        } else if (name == "--refuse") {
            std::string list;
            if ((error = value(list)).empty()) {
                std::size_t start = 0;
                while (start <= list.size()) {
                    const std::size_t comma = std::min(list.find(',', start), list.size());
                    if (comma > start) o.terminal.refused_pins.insert(list.substr(start, comma - start));
                    start = comma + 1;
                }
            }
        } else if (name == "--drop-after-bytes") {
            if ((error = number(1, kIntMax, n)).empty())
                o.modem.drop.after_bytes = static_cast<std::size_t>(n);
        } else if (name == "--drop-in-block") {
            if ((error = number(1, kIntMax, n)).empty()) o.modem.drop.in_block = static_cast<int>(n);
        } else if (name == "--slow") {
            if ((error = number(0, 600000, n)).empty()) o.terminal.answer_delay = Duration(n);
        } else if (name == "--reasons-only") {
            if ((error = number(1, 600000, n)).empty()) o.terminal.reason_repeat = Duration(n);
        } else if (name == "--fault-calls") {
            if ((error = number(0, kIntMax, n)).empty()) o.modem.fault_calls = static_cast<int>(n);
        } else {
            error = "unknown option " + name;
        }
        if (!error.empty()) return error;
    }
    if (o.tls_cert.empty() != o.tls_key.empty()) return "--tls-cert and --tls-key go together";
    if (dial_faults > 1) return "choose one of --busy, --no-carrier and --no-dialtone";
    if (o.modem.drop.after_bytes > 0 && o.modem.drop.in_block > 0) {
        return "choose one of --drop-after-bytes and --drop-in-block";
    }
    return {};
}

}  // namespace pagingsim
