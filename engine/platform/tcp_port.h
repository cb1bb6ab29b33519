#ifndef RKL_PLATFORM_TCP_PORT_H
#define RKL_PLATFORM_TCP_PORT_H

#include <string>

#include "platform/port.h"

namespace rkl::platform {

// A port that is a TCP connection to a paging terminal (TAP over IP). There is no line to
// set up: the line commands succeed without effect (see Port). A connection the far end
// closed reads as a quiet line, as a modem line that dropped.
class TcpPort final : public Port {
 public:
  // Resolution and connection together may take this long before OPENPORT gives up.
  static constexpr int kConnectMilliseconds = 15'000;

  TcpPort() = default;
  ~TcpPort() override;
  TcpPort(const TcpPort&) = delete;
  TcpPort& operator=(const TcpPort&) = delete;

  // Connects to "tcp://HOST:PORT" while `waiter` pumps the host: a name is resolved on a
  // helper thread, the connection is made without blocking, each address in turn, all
  // within `limit_ms`. Returns 0 or an errno value: EINVAL for a malformed address,
  // EPROTONOSUPPORT for tls:// (not built in), EHOSTUNREACH when the name is not found,
  // ETIMEDOUT, ECONNREFUSED, ..., ECANCELED when the waiter was stopped.
  int Connect(const std::string& address, Waiter& waiter, int limit_ms = kConnectMilliseconds);

  int OpenLine(const std::string& address, SerialSettings& record, Waiter& waiter) override;
  std::string OpenErrorText(int error) const override;
  int Close(Waiter* waiter) override;

  bool IsOpen() const override { return fd_ >= 0; }
  int fd() const override { return fd_; }
  int WriteByte(unsigned char byte, Waiter* waiter) override;
  int WriteText(std::string_view text, Waiter* waiter) override;
  bool TakesWholeTexts() const override { return true; }
  bool LostWhenHungUp() const override { return false; }
  ReadResult ReadByte(unsigned char& byte) override;
  int last_error() const override { return last_error_; }
  // The kernel sends what was written on its own; nothing waits for the far end's ACKs.
  int OutputPending() const override { return 0; }
  std::int64_t CharacterMicroseconds() const override { return 0; }
  // FLUSH: what was received and not read is read and dropped; what was sent cannot be
  // called back.
  int Purge(bool transmit, bool receive) override;

 private:
  int fd_ = -1;
  int last_error_ = 0;
  std::string resolver_text_;  // why the name was not found, for the open error
};

}  // namespace rkl::platform

#endif
