#include "platform/tcp_port.h"

#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/network_address.h"
#include "platform/serial_port.h"
#include "platform/waiter.h"

namespace rkl::platform {

namespace {

// One name look-up on a helper thread. The thread owns a share of it, so a caller that gave
// up (time limit, cancel) can leave at once; whoever lets go last frees it.
struct Lookup {
    std::string host;
    std::string port;
    addrinfo* result = nullptr;
    int status = EAI_SYSTEM;
    int wake_read = -1;
    int wake_write = -1;

    ~Lookup() {
        if (result != nullptr) freeaddrinfo(result);
        if (wake_read >= 0) close(wake_read);
        if (wake_write >= 0) close(wake_write);
    }
};

addrinfo Hints(int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    return hints;
}

// Numeric addresses resolve at once; names go to a helper thread while the host is pumped.
// Returns 0 with `out` filled (the caller frees it), an EAI_ status, or EAI_SYSTEM with
// errno ECANCELED / ETIMEDOUT.
int Resolve(const NetworkAddress& address, Waiter& waiter, Tick deadline, addrinfo*& out) {
    const addrinfo numeric = Hints(AI_NUMERICHOST | AI_NUMERICSERV);
    if (getaddrinfo(address.host.c_str(), address.port.c_str(), &numeric, &out) == 0) return 0;

    auto lookup = std::make_shared<Lookup>();
    lookup->host = address.host;
    lookup->port = address.port;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return EAI_SYSTEM;
    lookup->wake_read = fds[0];
    lookup->wake_write = fds[1];
    std::thread([lookup] {
        const addrinfo hints = Hints(AI_NUMERICSERV | AI_ADDRCONFIG);
        addrinfo* result = nullptr;
        const int status = getaddrinfo(lookup->host.c_str(), lookup->port.c_str(), &hints, &result);
        lookup->result = result;
        lookup->status = status;
        const char done = 1;
        (void)!write(lookup->wake_write, &done, 1);  // publishes result and status (pipe ordering)
    }).detach();

    for (;;) {
        switch (waiter.WaitForInputPastTick(deadline, lookup->wake_read)) {
            case WaitEnd::Stopped:
                errno = ECANCELED;
                return EAI_SYSTEM;
            case WaitEnd::TickPassed:
                errno = ETIMEDOUT;
                return EAI_SYSTEM;
            default:
                break;
        }
        char done = 0;
        if (read(lookup->wake_read, &done, 1) == 1) break;
    }
    if (lookup->status == 0) {
        out = lookup->result;
        lookup->result = nullptr;
    }
    return lookup->status;
}

// One non-blocking connect, waited for while pumping. Returns the socket or -1 with errno.
int ConnectOne(const addrinfo& candidate, Waiter& waiter, Tick deadline) {
    const int fd = socket(candidate.ai_family, candidate.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                          candidate.ai_protocol);
    if (fd < 0) return -1;
    int error = 0;
    if (connect(fd, candidate.ai_addr, candidate.ai_addrlen) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
            switch (waiter.WaitForEventPastTick(deadline, fd, POLLOUT)) {
                case WaitEnd::Stopped:
                    error = ECANCELED;
                    break;
                case WaitEnd::TickPassed:
                    error = ETIMEDOUT;
                    break;
                default: {
                    socklen_t size = sizeof error;
                    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
                }
            }
        }
    }
    if (error != 0) {
        close(fd);
        errno = error;
        return -1;
    }
    // TAP blocks are small and each waits for its answer: send them at once.
    const int on = 1;
    (void)setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

// Reads and drops the bytes waiting on `fd` now, and no more. Returns 0 or an errno value.
int DropWaitingInput(int fd) {
    int waiting = 0;
    if (ioctl(fd, FIONREAD, &waiting) != 0) return errno;
    char buffer[4096];
    while (waiting > 0) {
        const ssize_t got =
            recv(fd, buffer, std::min<size_t>(sizeof buffer, static_cast<size_t>(waiting)), MSG_DONTWAIT);
        if (got > 0) {
            waiting -= static_cast<int>(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            break;  // the far end closed, or the socket failed: nothing more to drop
        }
    }
    return 0;
}

}  // namespace

TcpPort::~TcpPort() {
    Close(nullptr);
}

int TcpPort::Connect(const std::string& text, Waiter& waiter, int limit_ms) {
    Close(nullptr);
    resolver_text_.clear();
    NetworkAddress address;
    if (!ParseNetworkAddress(text, address)) return EINVAL;
    if (address.tls) return EPROTONOSUPPORT;
    const Tick deadline = waiter.NowTick() + limit_ms / kTickMilliseconds;

    addrinfo* found = nullptr;
    if (const int status = Resolve(address, waiter, deadline, found); status != 0) {
        if (status == EAI_SYSTEM) return errno != 0 ? errno : EHOSTUNREACH;
        resolver_text_ = std::string(gai_strerror(status)) + " (" + address.host + ")";
        return EHOSTUNREACH;
    }
    int error = EHOSTUNREACH;
    for (const addrinfo* candidate = found; candidate != nullptr; candidate = candidate->ai_next) {
        const int fd = ConnectOne(*candidate, waiter, deadline);
        if (fd >= 0) {
            fd_ = fd;
            error = 0;
            break;
        }
        error = errno;
        if (error == ECANCELED || error == ETIMEDOUT) break;
    }
    freeaddrinfo(found);
    last_error_ = 0;
    return error;
}

int TcpPort::OpenLine(const std::string& address, SerialSettings& record, Waiter& waiter) {
    const int error = Connect(address, waiter);
    if (error == 0) PrepareOpenedRecord(record);
    return error;
}

std::string TcpPort::OpenErrorText(int error) const {
    if (error == EHOSTUNREACH && !resolver_text_.empty()) return resolver_text_;
    if (error == EPROTONOSUPPORT) return PlatformErrorText(error) + " (TLS is not available in this version)";
    return PlatformErrorText(error);
}

int TcpPort::Close(Waiter*) {
    if (fd_ < 0) return 0;
    const int fd = fd_;
    fd_ = -1;
    (void)DropWaitingInput(fd);
    // The kernel still delivers what was written; close() on a socket never waits for it.
    return ::close(fd) == 0 ? 0 : errno;
}

int TcpPort::WriteByte(unsigned char byte, Waiter* waiter) {
    return WriteText(std::string_view(reinterpret_cast<const char*>(&byte), 1), waiter);
}

int TcpPort::WriteText(std::string_view text, Waiter* waiter) {
    if (fd_ < 0) return EBADF;
    const auto stall_deadline = [&] { return waiter->NowTick() + send_stall_ms_ / kTickMilliseconds; };
    Tick give_up = waiter != nullptr ? stall_deadline() : 0;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t sent = send(fd_, text.data() + done, text.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            done += static_cast<size_t>(sent);
            if (waiter != nullptr) give_up = stall_deadline();
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        // The far end closed: the text is lost, as on a modem line that dropped.
        if (sent < 0 && (errno == EPIPE || errno == ECONNRESET)) return 0;
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return errno;
        if (waiter == nullptr) return EAGAIN;
        switch (waiter->WaitForEventPastTick(give_up, fd_, POLLOUT)) {
            case WaitEnd::Stopped:
                return ECANCELED;
            case WaitEnd::TickPassed:
                // Half a text is on its way; the terminal could not make sense of anything after it.
                (void)shutdown(fd_, SHUT_RDWR);
                return 0;
            default:
                continue;  // room, or a failure the next send reports
        }
    }
    return 0;
}

Port::ReadResult TcpPort::ReadByte(unsigned char& byte) {
    if (fd_ < 0) {
        last_error_ = EBADF;
        return ReadResult::Failed;
    }
    for (;;) {
        const ssize_t got = recv(fd_, &byte, 1, MSG_DONTWAIT);
        if (got == 1) return ReadResult::Byte;
        if (got == 0) {
            // The far end closed: from now on a quiet line, which the receive loop stops watching.
            last_error_ = ECONNRESET;
            return ReadResult::Failed;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadResult::Nothing;
        last_error_ = errno;
        return ReadResult::Failed;
    }
}

int TcpPort::Purge(bool, bool receive) {
    if (fd_ < 0) return EBADF;
    if (!receive) return 0;
    return DropWaitingInput(fd_);
}

}  // namespace rkl::platform
