#pragma once
// vorlapage's command line, parsed without side effects so it can be tested.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "paging/queue_page.h"

struct VorlapageOptions {
    enum class Mode { Queue, Send, List, Help };
    Mode mode = Mode::Help;
    std::optional<std::string> home;
    std::vector<std::pair<std::string, std::string>> ports;  // NAME, DEVICE
    // Each --to as given: one name, or a comma list (FindRecipients decides against the directory).
    std::vector<std::string> to;
    std::optional<std::pair<std::string, std::string>> spot;  // PIN, SERVICE
    SendChoice choice = SendChoice::Now;
    std::optional<uint32_t> at;  // for SendChoice::At
    std::string message;
    // How long to wait for another vorlapage (or tool) to let go of the program directory.
    int waitSeconds = kDefaultWaitSeconds;
    static constexpr int kDefaultWaitSeconds = 60;
    static constexpr int kMaxWaitSeconds = 86400;
};

// Said with every name that matches nothing.
inline constexpr const char* kExactNamesHint =
    "names match exactly, capitals and blanks included; a name that holds a comma goes whole in its own --to";

inline constexpr const char* kVorlapageUsage =
    "usage: vorlapage [--home DIR] [--wait SECONDS] [--port NAME=DEVICE]... --to NAME... [--spot "
    "PIN@SERVICE]\n"
    "                 [--later | --at \"YYYY-MM-DD HH:MM\"] MESSAGE\n"
    "       vorlapage [--home DIR] [--wait SECONDS] [--port NAME=DEVICE]... --send\n"
    "       vorlapage [--home DIR] [--wait SECONDS] --list\n"
    "       vorlapage [--home DIR] [--port NAME=DEVICE]... --mail [--wait SECONDS] [--to NAME]... [--length "
    "N]\n"
    "                 < MAIL\n";

inline constexpr const char* kVorlapageHelp =
    "Queues and sends pages on Vorla Pro's program directory, without the window.\n"
    "\n"
    "  --home DIR             the program directory (else VORLAPRO_HOME, else the user's data\n"
    "                         folder of an installed program, else the program's folder)\n"
    "  --wait SECONDS         wait up to SECONDS (default 60) for another vorlapage to let go\n"
    "                         of the program directory\n"
    "  --port NAME=DEVICE     for this run, the port NAME (COM1) opens DEVICE; repeatable\n"
    "  --to NAME              a subscriber or group of the directory, by exact name; repeatable;\n"
    "                         NAME,NAME... lists names that hold no comma\n"
    "  --spot PIN@SERVICE     a one-off pager on a service of the directory\n"
    "  --later                queue the pages as Later instead of sending them\n"
    "  --at \"YYYY-MM-DD HH:MM\" queue the pages for that local time\n"
    "  --send                 pages whose time has come become Now; send every Now page\n"
    "  --list                 print the outgoing queue\n"
    "  --mail                 page one mail read from standard input (an MTA's pipe alias): to\n"
    "                         --to, else to the To and Cc addresses that name a subscriber or\n"
    "                         group; exit status as MTAs read it (docs/mail.md)\n"
    "  --length N             with --mail, page at most N characters (default 1000)\n"
    "  --help                 show this help and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Exit status: 0 every page of the run was sent (or queued), 1 a page failed or a file could\n"
    "not be read or written, 2 bad arguments or an unknown name, 3 the program directory is in\n"
    "use by another process.\n";

// arguments exclude the program name. False with a message in *error for bad arguments.
bool ParseVorlapageArguments(const std::vector<std::string>& arguments, VorlapageOptions& options,
                             std::string* error);

// "YYYY-MM-DD HH:MM" in local time, or why not.
struct LocalMinute {
    enum class Problem { None, Malformed, NoSuchDate, SkippedByClockChange, OutOfRange };
    std::optional<uint32_t> time;
    Problem problem = Problem::Malformed;
};
LocalMinute ParseLocalMinute(const std::string& text);
