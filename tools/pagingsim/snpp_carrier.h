#pragma once

#include <deque>
#include <functional>
#include <string>

#include "paging/snpp/snpp.h"
#include "tools/pagingsim/data_peer.h"
#include "tools/pagingsim/tap_terminal.h"

namespace pagingsim {

// A carrier's SNPP server (RFC 1861, level 1 and the level 2 commands a sender uses) for
// one connection, with the faults of the TAP terminal: a log-in password, refused pager
// IDs, a longest message, slow answers and the idle time-out.
class SnppCarrier : public DataPeer {
public:
    SnppCarrier(TerminalConfig config, TapTerminal::Hooks hooks, TimePoint now);

    void Receive(std::string_view bytes, TimePoint now) override;
    void Poll(TimePoint now) override;
    std::string TakeOutput(TimePoint now) override;
    std::optional<TimePoint> NextWakeup() const override;
    bool HungUp() const override { return closing_ && pending_.empty(); }

private:
    void Handle(const std::string& line, TimePoint now);
    void HandleData(const std::string& line, TimePoint now);
    void Reply(int code, const std::string& text, TimePoint now);
    void Reset();
    void Trace(const std::string& line) const;

    TerminalConfig config_;
    TapTerminal::Hooks hooks_;
    snpp::LineReader reader_{1024};
    TimePoint last_activity_;
    bool logged_in_ = false;
    bool closing_ = false;
    bool in_data_ = false;
    std::vector<std::string> pins_;
    std::string message_;
    bool has_message_ = false;
    std::deque<std::pair<TimePoint, std::string>> pending_;
};

}  // namespace pagingsim
