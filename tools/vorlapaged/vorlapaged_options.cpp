#include "tools/vorlapaged/vorlapaged_options.h"

#include <charconv>

namespace {

std::optional<int> ParseNumber(const std::string& text, int lowest, int highest) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<ListenAddress> ParseListenAddress(const std::string& text) {
    ListenAddress address;
    size_t colon;
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find(']');
        if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':')
            return std::nullopt;
        address.host = text.substr(1, close - 1);
        colon = close + 1;
    } else {
        colon = text.rfind(':');
        if (colon == std::string::npos || text.find(':') != colon) return std::nullopt;
        address.host = text.substr(0, colon);
    }
    if (address.host.empty()) return std::nullopt;
    // Port 0: any free port, said in the "listening on" line.
    const std::optional<int> port = ParseNumber(text.substr(colon + 1), 0, 65535);
    if (!port) return std::nullopt;
    address.port = *port;
    return address;
}

bool ParseVorlapagedArguments(const std::vector<std::string>& arguments, VorlapagedOptions& options,
                              std::string* error) {
    auto fail = [error](std::string text) {
        if (error) *error = std::move(text);
        return false;
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        std::string v;
        auto value = [&](const char* what) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                fail(arg + " needs " + what);
                return false;
            }
            v = arguments[++i];
            return true;
        };
        auto number = [&](int lowest, int highest, int& out) {
            if (!value("a number")) return false;
            const std::optional<int> n = ParseNumber(v, lowest, highest);
            if (!n) {
                fail(arg + " takes a number from " + std::to_string(lowest) + " to " +
                     std::to_string(highest) + ", not \"" + v + "\"");
                return false;
            }
            out = *n;
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            options.mode = VorlapagedOptions::Mode::Help;
        } else if (arg == "--home") {
            if (!value("a folder")) return false;
            options.home = v;
        } else if (arg == "--port") {
            if (!value("NAME=DEVICE")) return false;
            const size_t eq = v.find('=');
            if (eq == 0 || eq == std::string::npos || eq + 1 == v.size())
                return fail("--port needs NAME=DEVICE, not \"" + v + "\"");
            options.ports.emplace_back(v.substr(0, eq), v.substr(eq + 1));
        } else if (arg == "--listen") {
            if (!value("ADDR:PORT")) return false;
            const std::optional<ListenAddress> address = ParseListenAddress(v);
            if (!address) return fail("--listen needs ADDR:PORT (or [ADDR]:PORT), not \"" + v + "\"");
            options.listen.push_back(*address);
        } else if (arg == "--allow") {
            if (!value("a network")) return false;
            options.allow.push_back(v);
        } else if (arg == "--require-login") {
            options.requireLogin = true;
        } else if (arg == "--add-user") {
            if (!value("a user name")) return false;
            if (v.find_first_of(" \t:\r\n") != std::string::npos)
                return fail("a user name has no blanks or colons");
            options.mode = VorlapagedOptions::Mode::AddUser;
            options.addUser = v;
        } else if (arg == "--max-connections") {
            if (!number(1, 10000, options.maxConnections)) return false;
        } else if (arg == "--idle-timeout") {
            if (!number(1, 86400, options.idleSeconds)) return false;
        } else if (arg == "--max-recipients") {
            if (!number(1, 10000, options.maxRecipients)) return false;
        } else if (arg == "--busy-wait") {
            if (!number(0, 3600, options.busyWaitSeconds)) return false;
        } else if (arg == "--max-line") {
            if (!number(512, 1024 * 1024, options.maxLineBytes)) return false;
        } else {
            return fail("unknown argument \"" + arg + "\"");
        }
    }
    return true;
}
