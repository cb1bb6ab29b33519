#include "tools/pagingsim/page_log.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <nlohmann/json.hpp>

namespace pagingsim {

namespace {

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
    // 0x80..0x9F; the five holes of the code page keep their C1 code points, as
    // Windows itself converts them.
    static constexpr unsigned kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte);
    }
    return out;
}

std::string IsoUtc(std::time_t when) {
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string PageLogLine(const AcceptedPage& page, std::time_t when) {
    return PageLogLineUtf8(Cp1252ToUtf8(page.pin), Cp1252ToUtf8(page.message), when);
}

std::string PageLogLineUtf8(const std::string& pin, const std::string& message, std::time_t when) {
    nlohmann::ordered_json line;
    line["pin"] = pin;
    line["message"] = message;
    line["time"] = IsoUtc(when);
    return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

PageLog::~PageLog() {
    if (owned_) ::close(fd_);
}

std::string PageLog::Open(const std::string& path) {
    if (path.empty()) return {};
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return "cannot open the page log " + path + ": " + std::strerror(errno);
    fd_ = fd;
    owned_ = true;
    return {};
}

bool PageLog::Write(const AcceptedPage& page) {
    return WriteLine(PageLogLine(page, std::time(nullptr)));
}

bool PageLog::WriteUtf8(const std::string& pin, const std::string& message) {
    return WriteLine(PageLogLineUtf8(pin, message, std::time(nullptr)));
}

bool PageLog::WriteLine(const std::string& line) {
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace pagingsim
