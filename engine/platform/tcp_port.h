#ifndef RKL_PLATFORM_TCP_PORT_H
#define RKL_PLATFORM_TCP_PORT_H

#include <string>

#include "platform/paced_io.h"
#include "platform/port.h"

namespace rkl::platform {

// A port that is a TCP connection to a paging terminal (TAP over IP). There is no line to
// set up: the line commands succeed without effect (see Port). A connection the far end
// closed reads as a quiet line, as a modem line that dropped.
class TcpPort final : public Port {
public:
    // Resolution and connection together may take this long before OPENPORT gives up.
    static constexpr int kConnectMilliseconds = 15'000;

    // `send_stall_ms`: how long a write may find no room before the far end counts as gone
    // (see WriteText).
    explicit TcpPort(int send_stall_ms = kLineStallMilliseconds) : send_stall_ms_(send_stall_ms) {}
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
    // What the far end sent and nobody read is taken first (up to what is waiting then): a
    // socket closed with unread input is reset, and the reset can cut the last text we sent
    // (the ESC EOT of a log-off) before the terminal has read it.
    int Close(Waiter* waiter) override;

    bool IsOpen() const override { return fd_ >= 0; }
    int fd() const override { return fd_; }
    int WriteByte(unsigned char byte, Waiter* waiter) override;
    // A terminal that stops reading fills the socket's buffers; once a write has found no room
    // for `send_stall_ms`, the rest of the text is dropped and the connection shut down, so it
    // reads as a quiet line from then on, as one the far end closed (a script's next RECV
    // waits out its time). Returns ECANCELED when the waiter was stopped.
    int WriteText(std::string_view text, Waiter* waiter) override;
    bool TakesWholeTexts() const override { return true; }
    bool LostWhenHungUp() const override { return false; }
    ReadResult ReadByte(unsigned char& byte) override;
    int last_error() const override { return last_error_; }
    // The kernel sends what was written on its own; nothing waits for the far end's ACKs.
    int OutputPending() const override { return 0; }
    std::int64_t CharacterMicroseconds() const override { return 0; }
    // FLUSH: what was received and not read when it starts is dropped; what was sent cannot
    // be called back. A terminal that keeps sending cannot keep it going: the bytes that come
    // while it runs stay for the next RECV, so it ends after at most one receive buffer.
    int Purge(bool transmit, bool receive) override;

private:
    const int send_stall_ms_;
    int fd_ = -1;
    int last_error_ = 0;
    std::string resolver_text_;  // why the name was not found, for the open error
};

}  // namespace rkl::platform

#endif
