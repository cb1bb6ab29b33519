// The TCP port against a listening socket of the test: connecting, refusing, a text in one
// write, and a far end that closes reading as a quiet line without spinning.
#include "platform/tcp_port.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/paced_io.h"
#include "platform/waiter.h"

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
  void Write(const std::string& text) { ASSERT_EQ(write(peer_, text.data(), text.size()), ssize_t(text.size())); }
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
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  }
};

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

}  // namespace
}  // namespace rkl::platform
