#pragma once
// vorlapaged's command line, parsed without side effects so it can be tested.

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct ListenAddress {
    std::string host;  // "127.0.0.1", "::1", "0.0.0.0", "::"
    int port = 0;
};

struct VorlapagedOptions {
    enum class Mode { Serve, AddUser, Help };
    Mode mode = Mode::Serve;
    std::optional<std::string> home;
    std::vector<std::pair<std::string, std::string>> ports;  // NAME, DEVICE
    std::vector<ListenAddress> listen;                       // empty: the default below
    std::vector<std::string> allow;                          // client networks, "ADDR/BITS"
    bool requireLogin = false;
    std::string addUser;  // for Mode::AddUser
    int maxConnections = 64;
    int idleSeconds = 120;
    int maxRecipients = 100;
    int maxLineBytes = 32 * 1024;
    int busyWaitSeconds = 15;
};

inline constexpr int kDefaultSnppPort = 4444;

inline constexpr const char* kVorlapagedUsage =
    "usage: vorlapaged [--home DIR] [--port NAME=DEVICE]... [--listen ADDR:PORT]... [--allow NET]...\n"
    "                  [--require-login] [--max-connections N] [--idle-timeout SECONDS]\n"
    "                  [--max-recipients N] [--max-line BYTES] [--busy-wait SECONDS]\n"
    "       vorlapaged [--home DIR] --add-user NAME\n";

inline constexpr const char* kVorlapagedHelp =
    "Takes pages over SNPP (RFC 1861) and sends them on Vorla Pro's program directory,\n"
    "through the running program when it holds the directory, else itself.\n"
    "\n"
    "  --home DIR             the program directory (as vorlapage finds it)\n"
    "  --port NAME=DEVICE     the port NAME (COM1) opens DEVICE when the gateway sends itself\n"
    "  --listen ADDR:PORT     listen there (IPv6 as [ADDR]:PORT); repeatable; default\n"
    "                         127.0.0.1:4444, or the sockets systemd passes\n"
    "  --allow NET            take clients only from these networks (ADDR/BITS or ADDR);\n"
    "                         repeatable; default: every client that reaches a listen address\n"
    "  --require-login        every client must LOGIn as a user of the users file\n"
    "  --add-user NAME        add or change a user of the users file (the password is asked\n"
    "                         for on the terminal) and exit\n"
    "  --max-connections N    clients at once (default 64); more are told 421\n"
    "  --idle-timeout SECONDS a silent client is told 421 and closed (default 120)\n"
    "  --max-recipients N     PAGE commands in one transaction (default 100)\n"
    "  --max-line BYTES       longest command or DATA line (default 32768)\n"
    "  --busy-wait SECONDS    how long a page waits for a directory another process holds\n"
    "                         before the client is told 421 (default 15)\n"
    "  --help                 show this help and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Exit status: 0 stopped by a signal, or the user was added; 1 a listen address could not\n"
    "be used, or the users file could not be written; 2 bad arguments.\n";

// arguments exclude the program name. False with a message in *error for bad arguments.
bool ParseVorlapagedArguments(const std::vector<std::string>& arguments, VorlapagedOptions& options,
                              std::string* error);

// "127.0.0.1:444", "[::1]:444", "localhost:444"; none when malformed.
std::optional<ListenAddress> ParseListenAddress(const std::string& text);
