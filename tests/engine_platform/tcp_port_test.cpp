// The TCP port against a listening socket of the test: connecting, refusing, a text in one
// write, a far end that closes reading as a quiet line without spinning, and terminals that
// misbehave: one that never stops sending, one that stops reading, one whose last words are
// unread when the port closes.
#include "engine/platform/tcp_port.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "engine/platform/paced_io.h"
#include "engine/platform/waiter.h"

namespace rkl::platform {
namespace {

// A listening socket on a free loopback port.
class Listener {
public:
    Listener() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(fd_, 4);
        socklen_t size = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~Listener() {
        if (peer_ >= 0) close(peer_);
        if (fd_ >= 0) close(fd_);
    }
    std::string address() const { return "tcp://127.0.0.1:" + std::to_string(port_); }
    // Closes the listener so that its port refuses connections.
    void StopListening() {
        close(fd_);
        fd_ = -1;
    }
    int Accept() { return peer_ = accept(fd_, nullptr, nullptr); }
    std::string Read(int wait_ms) {
        std::string got;
        pollfd entry{peer_, POLLIN, 0};
        while (poll(&entry, 1, wait_ms) > 0) {
            char buffer[512];
            const ssize_t n = read(peer_, buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, static_cast<size_t>(n));
        }
        return got;
    }
    void Write(const std::string& text) {
        ASSERT_EQ(write(peer_, text.data(), text.size()), ssize_t(text.size()));
    }
    void ClosePeer() {
        close(peer_);
        peer_ = -1;
    }

private:
    int fd_ = -1;
    int peer_ = -1;
    int port_ = 0;
};

struct CountingWaiter {
    int pumps = 0;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    Waiter waiter{SystemClock(), [this] { ++pumps; }};
    long long elapsed_ms() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    }
};

// Opens `port` on `terminal`; the terminal's end of the connection, or -1.
int Connect(Listener& terminal, TcpPort& port, Waiter& waiter) {
    SerialSettings record;
    return port.OpenLine(terminal.address(), record, waiter) == 0 ? terminal.Accept() : -1;
}

TEST(TcpPort, ConnectFailuresAreErrnoValues) {
    Listener closed;
    closed.StopListening();
    CountingWaiter w;
    TcpPort port;
    EXPECT_EQ(port.Connect(closed.address(), w.waiter), ECONNREFUSED);
    EXPECT_EQ(port.Connect("tcp://127.0.0.1", w.waiter), EINVAL);
    EXPECT_EQ(port.Connect("tls://127.0.0.1:443", w.waiter), EPROTONOSUPPORT);
    EXPECT_EQ(port.Connect("tcp://no-such-host.invalid:4000", w.waiter), EHOSTUNREACH);
    EXPECT_NE(port.OpenErrorText(EHOSTUNREACH).find("no-such-host.invalid"), std::string::npos);
    EXPECT_FALSE(port.IsOpen());
    // Waiting for the resolver sleeps between pumps.
    EXPECT_LE(w.pumps, w.elapsed_ms() / Waiter::kPumpIntervalMilliseconds + 4);
}

TEST(TcpPort, SendWritesAWholeTextAtOnceAndReceiveTakesTheAnswer) {
    Listener terminal;
    CountingWaiter w;
    TcpPort port;
    SerialSettings record;
    ASSERT_EQ(port.OpenLine(terminal.address(), record, w.waiter), 0);
    ASSERT_GE(terminal.Accept(), 0);
    // The line commands are taken without effect.
    record.BaudRate = 300;
    EXPECT_EQ(port.ApplySettings(record), 0);
    EXPECT_EQ(port.SetBreak(true), 0);

    const std::string block(250, 'A');
    const Tick start = w.waiter.NowTick();
    EXPECT_EQ(SendPaced(&port, block, 0, w.waiter, {}), WaitEnd::TickPassed);
    EXPECT_LE(w.waiter.NowTick(), start + 2) << "one tick for the whole text, not one per byte";
    EXPECT_EQ(terminal.Read(200), block);

    terminal.Write("stale");
    terminal.Read(50);
    EXPECT_EQ(port.Purge(true, true), 0);
    terminal.Write("\x06\r");
    std::string got;
    EXPECT_EQ(ReceiveUntil(&port, w.waiter.NowTick() + 60, w.waiter,
                           [&](unsigned char c) {
                               got += static_cast<char>(c);
                               return got == "\x06\r";
                           }),
              ReceiveEnd::Matched);
}

TEST(TcpPort, AFarEndThatClosesIsAQuietLine) {
    Listener terminal;
    CountingWaiter w;
    TcpPort port;
    SerialSettings record;
    ASSERT_EQ(port.OpenLine(terminal.address(), record, w.waiter), 0);
    ASSERT_GE(terminal.Accept(), 0);
    terminal.Write("OK");
    terminal.ClosePeer();
    std::string got;
    w.pumps = 0;
    w.start = std::chrono::steady_clock::now();
    const Tick deadline = w.waiter.NowTick() + 12;
    EXPECT_EQ(ReceiveUntil(&port, deadline, w.waiter,
                           [&](unsigned char c) {
                               got += static_cast<char>(c);
                               return false;
                           }),
              ReceiveEnd::TimedOut);
    EXPECT_EQ(got, "OK");
    EXPECT_GT(w.waiter.NowTick(), deadline);
    EXPECT_LE(w.pumps, w.elapsed_ms() / Waiter::kPumpIntervalMilliseconds + 6) << "spun on the closed socket";
    // Writing to it loses the text, as on a dropped line, and is no error.
    EXPECT_EQ(SendPaced(&port, "more", 0, w.waiter, {}), WaitEnd::TickPassed);
    EXPECT_EQ(SendPaced(&port, "again", 0, w.waiter, {}), WaitEnd::TickPassed);
}

TEST(TcpPort, FlushDropsOnlyWhatHadArrivedWhenItStarted) {
    Listener terminal;
    CountingWaiter w;
    TcpPort port;
    const int peer = Connect(terminal, port, w.waiter);
    ASSERT_GE(peer, 0);
    // The terminal sends until both sockets are full: what did not fit on our side waits in its
    // own, and moves over while FLUSH reads, as from a terminal that never stops sending.
    const std::string noise(64 * 1024, 'x');
    size_t sent = 0;
    for (ssize_t n; (n = send(peer, noise.data(), noise.size(), MSG_DONTWAIT | MSG_NOSIGNAL)) > 0;) {
        sent += static_cast<size_t>(n);
    }
    int arrived = 0;
    ASSERT_EQ(ioctl(port.fd(), FIONREAD, &arrived), 0);
    ASSERT_GT(sent, static_cast<size_t>(arrived));
    EXPECT_EQ(port.Purge(true, true), 0);
    shutdown(peer, SHUT_WR);
    size_t kept = 0;
    pollfd input{port.fd(), POLLIN, 0};
    char buffer[4096];
    for (ssize_t n; poll(&input, 1, 5000) > 0 && (n = recv(port.fd(), buffer, sizeof buffer, 0)) > 0;) {
        kept += static_cast<size_t>(n);
    }
    EXPECT_EQ(kept, sent - static_cast<size_t>(arrived)) << "FLUSH went on dropping what came while it ran";
}

TEST(TcpPort, ClosingWithUnreadInputStillDeliversTheLastTextAndEndsCleanly) {
    Listener terminal;
    CountingWaiter w;
    TcpPort port;
    const int peer = Connect(terminal, port, w.waiter);
    ASSERT_GE(peer, 0);
    terminal.Write("115 Closing connection\r");
    pollfd input{port.fd(), POLLIN, 0};
    ASSERT_EQ(poll(&input, 1, 5000), 1);
    ASSERT_EQ(port.WriteText("\x1b\x04", &w.waiter), 0);
    ASSERT_EQ(port.Close(&w.waiter), 0);
    // The terminal reads the log-off and then the end of the connection, not a reset.
    std::string got;
    ssize_t n = 0;
    pollfd from_port{peer, POLLIN, 0};
    char buffer[64];
    while (poll(&from_port, 1, 5000) > 0 && (n = read(peer, buffer, sizeof buffer)) > 0) {
        got.append(buffer, static_cast<size_t>(n));
    }
    EXPECT_EQ(got, "\x1b\x04");
    EXPECT_EQ(n, 0) << std::strerror(errno);
}

TEST(TcpPort, ASendToATerminalThatStopsReadingGivesUpAndTheLineGoesQuiet) {
    Listener terminal;
    int pumps = 0;
    // Bounded: a write that waited for room for ever is stopped here and fails the test.
    Waiter waiter(
        SystemClock(), [&] { ++pumps; }, [&] { return pumps > 600; });
    TcpPort port(100);
    ASSERT_GE(Connect(terminal, port, waiter), 0);
    // More than both ends' socket buffers hold; the terminal reads none of it.
    const std::string flood(16 << 20, 'A');
    EXPECT_EQ(port.WriteText(flood, &waiter), 0);
    EXPECT_LE(pumps, 600);
    unsigned char byte = 0;
    EXPECT_EQ(port.ReadByte(byte), Port::ReadResult::Failed) << "a quiet line, as one the far end closed";
    pumps = 0;
    EXPECT_EQ(port.WriteText(flood, &waiter), 0);
    EXPECT_EQ(pumps, 0) << "a shut connection takes no more waits";
}

}  // namespace
}  // namespace rkl::platform
