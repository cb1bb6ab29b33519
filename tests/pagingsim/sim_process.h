#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

namespace pagingsim::testing {

// Starts the built simulator in a fresh temporary folder and waits for its ready line.
// Its trace goes to a file in that folder (a pipe nobody drains could stall it).
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> extra_args, bool with_link = true);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool ready() const { return ready_; }
    const std::string& folder() const { return folder_; }
    std::string link() const { return folder_ + "/modem"; }
    std::string log_path() const { return folder_ + "/pages.jsonl"; }
    int tcp_port() const { return tcp_port_; }
    std::string Trace() const;
    std::vector<std::string> LogLines() const;
    // Sends SIGTERM and returns the exit status (-1 if it did not end in time).
    int Stop();

private:
    std::string folder_;
    pid_t pid_ = -1;
    bool ready_ = false;
    int tcp_port_ = 0;
};

// The client end of a serial line: the pty slave in raw mode, or a TCP socket.
class Line {
public:
    static Line OpenSerial(const std::string& path);
    static Line OpenTcp(int port);
    Line(Line&& other) noexcept;
    ~Line();
    bool open() const { return fd_ >= 0; }
    void Send(const std::string& bytes);
    // Reads until the received text (since the last Expect) contains `text`; returns
    // everything read up to and including it, or what came so far on time-out.
    std::string Expect(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Everything that arrives within the time.
    std::string Drain(std::chrono::milliseconds time);
    // True when the far end closes within the time (TCP).
    bool ClosedWithin(std::chrono::milliseconds time);
    void Close();

private:
    explicit Line(int fd) : fd_(fd) {}
    int fd_ = -1;
    std::string pending_;
};

}  // namespace pagingsim::testing
