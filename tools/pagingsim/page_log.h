#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "tools/pagingsim/tap_terminal.h"

namespace pagingsim {

// Message bytes are Windows-1252 text; JSON wants UTF-8.
std::string Cp1252ToUtf8(std::string_view text);

// "2024-05-01T12:34:56Z"
std::string IsoUtc(std::time_t when);

// One line of the page log: {"pin":...,"message":...,"time":...} and a newline.
std::string PageLogLine(const AcceptedPage& page, std::time_t when);
std::string PageLogLineUtf8(const std::string& pin, const std::string& message, std::time_t when);

// Appends log lines to a file (or stdout), one write per line so a reader that follows
// the file while the simulator runs never sees half a line.
class PageLog {
public:
    PageLog() = default;
    PageLog(const PageLog&) = delete;
    PageLog& operator=(const PageLog&) = delete;
    ~PageLog();
    // Empty path: standard output. Returns an error text, empty on success.
    std::string Open(const std::string& path);
    // Returns false when the line could not be written completely.
    bool Write(const AcceptedPage& page);
    // The same for a page whose PIN and text came in as UTF-8 (WCTP). Thread-safe: one write.
    bool WriteUtf8(const std::string& pin, const std::string& message);

private:
    bool WriteLine(const std::string& line);
    int fd_ = 1;
    bool owned_ = false;
};

}  // namespace pagingsim
