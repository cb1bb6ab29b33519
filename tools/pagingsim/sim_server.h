#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/pagingsim/hayes_modem.h"
#include "tools/pagingsim/line_drop.h"
#include "tools/pagingsim/page_log.h"
#include "tools/pagingsim/sim_options.h"
#include "tools/pagingsim/tap_terminal.h"

namespace pagingsim {

// The I/O around the state machines: the pseudo-terminal with the modem on it, the
// optional TCP listener with one terminal per connection, and one poll() loop that
// sleeps until a byte arrives or the next timer of a state machine is due.
class SimServer {
public:
    SimServer(SimOptions options, PageLog& log, Tracer trace);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Opens the pseudo-terminal, the link and the listener. Returns an error text.
    std::string Start();
    // "ready on /dev/pts/N" and, with TCP, " and 127.0.0.1:PORT", with SNPP
    // " and SNPP at 127.0.0.1:PORT".
    std::string ReadyText() const;
    // Serves until stop_fd becomes readable (or the first connection ended, with
    // --once). Returns the exit status.
    int Run(int stop_fd);

private:
    struct TcpConnection {
        int fd = -1;
        int number = 0;
        std::unique_ptr<DataPeer> terminal;  // a TAP terminal, or an SNPP carrier
        std::optional<LineDrop> drop;
        std::string out;
    };

    std::unique_ptr<TapTerminal> NewTerminal(const std::string& where, TimePoint now);
    TapTerminal::Hooks PeerHooks(const std::string& where);
    // A loopback listener on the port (0: any); returns an error text.
    static std::string Listen(int port, int& fd, int& bound_port);
    void CheckPtyPresence(TimePoint now);
    void HandlePtyEvents(TimePoint now);
    void PortOpened();
    void PortClosed(TimePoint now);
    void ReadPty(TimePoint now);
    void FlushPty();
    void AcceptTcp(bool snpp, TimePoint now);
    bool ServiceTcp(TcpConnection& connection, bool readable, TimePoint now);  // false: close it
    void PumpTcp(TcpConnection& connection, TimePoint now);
    void RemoveLink();
    void Trace(const std::string& where, std::string_view line) const;

    SimOptions options_;
    PageLog& log_;
    Tracer trace_;

    int master_fd_ = -1;
    std::string slave_path_;
    bool link_made_ = false;
    bool client_present_ = false;
    // Opens and closes of the slave, seen through inotify: a caller that closes the port
    // and opens it again at once leaves no hang-up state on the master long enough to
    // be seen, but it does leave these events, in order.
    int inotify_fd_ = -1;
    int open_count_ = 0;
    bool hup_parked_ = false;  // the master shows a hang-up whose close event is not in yet
    TimePoint hup_recheck_{};
    std::string pty_out_;
    std::unique_ptr<HayesModem> modem_;

    int listen_fd_ = -1;
    int tcp_port_ = 0;
    int snpp_listen_fd_ = -1;
    int snpp_port_ = 0;
    int tcp_connections_ = 0;
    int tcp_closed_ = 0;
    std::vector<TcpConnection> tcp_;
};

}  // namespace pagingsim
