#include "tools/pagingsim/sim_server.h"

#include "tools/pagingsim/snpp_carrier.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstring>

#include <algorithm>

namespace pagingsim {

namespace {

// A pty master reports POLLHUP for as long as no program has its slave open, so while
// nobody is there we look again at this interval instead of polling the master.
constexpr Duration kPresenceCheck{50};

std::string Errno(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool SetNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

int MillisUntil(TimePoint when, TimePoint now) {
    if (when <= now) return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(when - now).count();
    return static_cast<int>(std::min<long long>(ms, INT_MAX));
}

}  // namespace

SimServer::SimServer(SimOptions options, PageLog& log, Tracer trace)
    : options_(std::move(options)), log_(log), trace_(std::move(trace)) {}

SimServer::~SimServer() {
    RemoveLink();
    for (auto& connection : tcp_)
        ::close(connection.fd);
    if (listen_fd_ >= 0) ::close(listen_fd_);
    if (snpp_listen_fd_ >= 0) ::close(snpp_listen_fd_);
    if (master_fd_ >= 0) ::close(master_fd_);
    if (inotify_fd_ >= 0) ::close(inotify_fd_);
}

void SimServer::Trace(const std::string& where, std::string_view line) const {
    if (trace_) trace_("[" + where + "] " + std::string(line));
}

TapTerminal::Hooks SimServer::PeerHooks(const std::string& where) {
    TapTerminal::Hooks hooks;
    hooks.trace = [this, where](std::string_view line) { Trace(where, line); };
    hooks.on_page = [this, where](const AcceptedPage& page) {
        if (!log_.Write(page))
            Trace(where, "could not write the page log: " + std::string(std::strerror(errno)));
    };
    return hooks;
}

std::unique_ptr<TapTerminal> SimServer::NewTerminal(const std::string& where, TimePoint now) {
    return std::make_unique<TapTerminal>(options_.terminal, PeerHooks(where), now);
}

std::string SimServer::Listen(int port, int& fd, int& bound_port) {
    fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return Errno("socket");
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return Errno("bind 127.0.0.1:" + std::to_string(port));
    }
    if (listen(fd, 8) != 0) return Errno("listen");
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    bound_port = ntohs(address.sin_port);
    return {};
}

std::string SimServer::Start() {
    termios raw{};
    cfmakeraw(&raw);
    int slave_fd = -1;
    if (openpty(&master_fd_, &slave_fd, nullptr, &raw, nullptr) != 0) return Errno("openpty");
    slave_path_ = ttyname(slave_fd) ? ttyname(slave_fd) : "";
    // Until a caller opens the slave we want the master to show the hang-up state, so
    // we do not keep a slave descriptor of our own.
    ::close(slave_fd);
    if (slave_path_.empty()) return "cannot name the pseudo-terminal";
    if (!SetNonBlocking(master_fd_)) return Errno("fcntl");
    fcntl(master_fd_, F_SETFD, FD_CLOEXEC);

    inotify_fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_fd_ >= 0 && inotify_add_watch(inotify_fd_, slave_path_.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        ::close(inotify_fd_);
        inotify_fd_ = -1;  // fall back to watching the master's hang-up state alone
    }

    modem_ = std::make_unique<HayesModem>(
        options_.modem,
        [this](TimePoint now) -> std::unique_ptr<DataPeer> { return NewTerminal("pty", now); },
        [this](std::string_view line) { Trace("pty", line); });

    if (!options_.link.empty()) {
        struct stat info {};
        if (lstat(options_.link.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
            return options_.link + " exists and is not a symbolic link; not replacing it";
        }
        // Swap the link in with a rename, so a stale link from an earlier run is replaced
        // without a moment in which the name does not exist.
        const std::string temporary = options_.link + ".tmp" + std::to_string(getpid());
        ::unlink(temporary.c_str());
        if (symlink(slave_path_.c_str(), temporary.c_str()) != 0) return Errno("symlink " + temporary);
        if (rename(temporary.c_str(), options_.link.c_str()) != 0) {
            const std::string error = Errno("rename to " + options_.link);
            ::unlink(temporary.c_str());
            return error;
        }
        link_made_ = true;
    }

    if (options_.tcp_port >= 0) {
        if (std::string error = Listen(options_.tcp_port, listen_fd_, tcp_port_); !error.empty())
            return error;
    }
    if (options_.snpp_port >= 0) {
        if (std::string error = Listen(options_.snpp_port, snpp_listen_fd_, snpp_port_); !error.empty())
            return error;
    }
    return {};
}

std::string SimServer::ReadyText() const {
    std::string text = "ready on " + slave_path_;
    if (listen_fd_ >= 0) text += " and 127.0.0.1:" + std::to_string(tcp_port_);
    if (snpp_listen_fd_ >= 0) text += " and SNPP at 127.0.0.1:" + std::to_string(snpp_port_);
    return text;
}

void SimServer::RemoveLink() {
    if (!link_made_) return;
    link_made_ = false;
    char target[PATH_MAX];
    const ssize_t n = readlink(options_.link.c_str(), target, sizeof target - 1);
    // Someone else may have taken the name over since; only our own link goes.
    if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == slave_path_)
        ::unlink(options_.link.c_str());
}

void SimServer::PortOpened() {
    client_present_ = true;
    Trace("pty", "a program opened the port");
}

void SimServer::PortClosed(TimePoint now) {
    client_present_ = false;
    Trace("pty", "the program closed the port");
    modem_->ComputerClosed(now);
    pty_out_.clear();
}

void SimServer::CheckPtyPresence(TimePoint now) {
    pollfd probe{master_fd_, POLLIN, 0};
    if (poll(&probe, 1, 0) < 0) return;
    const bool present = (probe.revents & POLLHUP) == 0;
    if (inotify_fd_ >= 0) {
        // Only asked when a hang-up showed and no close event followed: trust the master.
        hup_parked_ = false;
        if (!present && client_present_) {
            open_count_ = 0;
            PortClosed(now);
        }
        return;
    }
    if (probe.revents & POLLIN) ReadPty(now);  // what a caller wrote just before it left
    if (present == client_present_) return;
    if (present) {
        PortOpened();
    } else {
        PortClosed(now);
    }
}

void SimServer::HandlePtyEvents(TimePoint now) {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(inotify_fd_, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                pollfd probe{master_fd_, POLLIN, 0};
                poll(&probe, 1, 0);
                const bool present = (probe.revents & POLLHUP) == 0;
                open_count_ = present ? std::max(open_count_, 1) : 0;
                if (present != client_present_) present ? PortOpened() : PortClosed(now);
                continue;
            }
            if (event->mask & IN_OPEN) {
                if (++open_count_ == 1) PortOpened();
            }
            if (event->mask & IN_CLOSE) {
                if (open_count_ > 0 && --open_count_ == 0) PortClosed(now);
            }
        }
    }
    hup_parked_ = false;
}

void SimServer::ReadPty(TimePoint now) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master_fd_, buffer, sizeof buffer);
        if (n > 0) {
            modem_->Receive(std::string_view(buffer, static_cast<std::size_t>(n)), now);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return;  // EAGAIN, or EIO once the slave is closed: presence handling takes over
    }
}

void SimServer::FlushPty() {
    pty_out_ += modem_->TakeOutput();
    if (!client_present_) {
        pty_out_.clear();
        return;
    }
    while (!pty_out_.empty()) {
        const ssize_t n = ::write(master_fd_, pty_out_.data(), pty_out_.size());
        if (n > 0) {
            pty_out_.erase(0, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return;  // full: POLLOUT tells us when to go on
        }
    }
}

void SimServer::AcceptTcp(bool snpp, TimePoint now) {
    for (;;) {
        const int fd =
            accept4(snpp ? snpp_listen_fd_ : listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        TcpConnection connection;
        connection.fd = fd;
        connection.number = ++tcp_connections_;
        const std::string where = "tcp " + std::to_string(connection.number);
        if (snpp)
            connection.terminal = std::make_unique<SnppCarrier>(options_.terminal, PeerHooks(where), now);
        else
            connection.terminal = NewTerminal(where, now);
        const bool faults =
            options_.modem.fault_calls == 0 || connection.number <= options_.modem.fault_calls;
        if (faults && options_.modem.drop.Active()) connection.drop.emplace(options_.modem.drop);
        Trace(where, "connection accepted");
        tcp_.push_back(std::move(connection));
    }
}

bool SimServer::ServiceTcp(TcpConnection& connection, bool readable, TimePoint now) {
    const std::string where = "tcp " + std::to_string(connection.number);
    if (readable) {
        char buffer[4096];
        for (;;) {
            const ssize_t n = recv(connection.fd, buffer, sizeof buffer, 0);
            if (n == 0) {
                Trace(where, "the caller closed the connection");
                return false;
            }
            if (n < 0) {
                if (errno == EINTR) continue;
                if (errno == EAGAIN || errno == EWOULDBLOCK) break;
                Trace(where, Errno("recv"));
                return false;
            }
            std::string_view bytes(buffer, static_cast<std::size_t>(n));
            if (connection.drop) bytes = bytes.substr(0, connection.drop->Admit(bytes));
            connection.terminal->Receive(bytes, now);
            if (connection.drop && connection.drop->Dropped()) {
                Trace(where, "line drops (fault)");
                return false;
            }
        }
    }
    PumpTcp(connection, now);
    while (!connection.out.empty()) {
        const ssize_t n = send(connection.fd, connection.out.data(), connection.out.size(), MSG_NOSIGNAL);
        if (n > 0) {
            connection.out.erase(0, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            Trace(where, Errno("send"));
            return false;
        }
    }
    if (connection.terminal->HungUp() && connection.out.empty()) {
        Trace(where, "terminal hung up");
        return false;
    }
    return true;
}

void SimServer::PumpTcp(TcpConnection& connection, TimePoint now) {
    connection.terminal->Poll(now);
    connection.out += connection.terminal->TakeOutput(now);
}

int SimServer::Run(int stop_fd) {
    TimePoint next_presence_check = Clock::now();
    for (;;) {
        TimePoint now = Clock::now();
        if (inotify_fd_ < 0 && !client_present_ && now >= next_presence_check) {
            CheckPtyPresence(now);
            next_presence_check = now + kPresenceCheck;
        }
        if (hup_parked_ && now >= hup_recheck_) CheckPtyPresence(now);
        modem_->Poll(now);
        FlushPty();
        for (std::size_t i = 0; i < tcp_.size();) {
            if (ServiceTcp(tcp_[i], false, now)) {
                ++i;
            } else {
                ::close(tcp_[i].fd);
                tcp_.erase(tcp_.begin() + static_cast<std::ptrdiff_t>(i));
                ++tcp_closed_;
            }
        }
        if (options_.once && (modem_->CallsEnded() > 0 || tcp_closed_ > 0)) {
            Trace("main", "first connection has ended (--once)");
            return 0;
        }

        std::vector<pollfd> fds;
        fds.push_back({stop_fd, POLLIN, 0});
        const std::size_t events_index = fds.size();
        if (inotify_fd_ >= 0) fds.push_back({inotify_fd_, POLLIN, 0});
        const std::size_t pty_index = fds.size();
        const bool poll_master = client_present_ && !hup_parked_;
        if (poll_master)
            fds.push_back({master_fd_, static_cast<short>(POLLIN | (pty_out_.empty() ? 0 : POLLOUT)), 0});
        const std::size_t listen_index = fds.size();
        if (listen_fd_ >= 0) fds.push_back({listen_fd_, POLLIN, 0});
        const std::size_t snpp_index = fds.size();
        if (snpp_listen_fd_ >= 0) fds.push_back({snpp_listen_fd_, POLLIN, 0});
        const std::size_t tcp_index = fds.size();
        std::optional<TimePoint> wake = modem_->NextWakeup();
        for (auto& connection : tcp_) {
            fds.push_back(
                {connection.fd, static_cast<short>(POLLIN | (connection.out.empty() ? 0 : POLLOUT)), 0});
            wake = Earliest(wake, connection.terminal->NextWakeup());
        }
        if (inotify_fd_ < 0 && !client_present_) wake = Earliest(wake, next_presence_check);
        if (hup_parked_) wake = Earliest(wake, hup_recheck_);
        const int timeout = wake ? MillisUntil(*wake, now) : -1;

        if (poll(fds.data(), fds.size(), timeout) < 0) {
            if (errno == EINTR) continue;
            Trace("main", Errno("poll"));
            return 1;
        }
        now = Clock::now();
        if (fds[0].revents) return 0;
        // Opens and closes first: bytes waiting on the master belong to whoever has the
        // port now.
        if (inotify_fd_ >= 0 && fds[events_index].revents) HandlePtyEvents(now);
        if (poll_master && client_present_) {
            const short events = fds[pty_index].revents;
            if (events & POLLIN) {
                ReadPty(now);
            } else if (events & (POLLHUP | POLLERR)) {
                if (inotify_fd_ >= 0) {
                    // The close event is on its way; stop polling a master that would report
                    // the hang-up again and again until it arrives.
                    hup_parked_ = true;
                    hup_recheck_ = now + kPresenceCheck;
                } else {
                    CheckPtyPresence(now);
                }
            }
        }
        if (listen_fd_ >= 0 && (fds[listen_index].revents & POLLIN)) AcceptTcp(false, now);
        if (snpp_listen_fd_ >= 0 && (fds[snpp_index].revents & POLLIN)) AcceptTcp(true, now);
        // Connections accepted just now are not in fds yet; the next round polls them.
        const std::size_t polled = std::min(tcp_.size(), fds.size() - tcp_index);
        for (std::size_t i = polled; i-- > 0;) {
            if (fds[tcp_index + i].revents == 0) continue;
            const bool readable = fds[tcp_index + i].revents & (POLLIN | POLLHUP | POLLERR);
            if (!ServiceTcp(tcp_[i], readable, now)) {
                ::close(tcp_[i].fd);
                tcp_.erase(tcp_.begin() + static_cast<std::ptrdiff_t>(i));
                ++tcp_closed_;
            }
        }
    }
}

}  // namespace pagingsim
