#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "tools/pagingsim/data_peer.h"
#include "tools/pagingsim/sim_clock.h"
#include "tools/pagingsim/tap_block.h"

namespace pagingsim {

struct TerminalConfig {
    std::string password;                // empty: any password (or none) is accepted
    int naks_per_block = 0;              // fault: refuse every block this many times first
    std::set<std::string> refused_pins;  // fault: answer these pager IDs with RS
    std::size_t max_message_length = 0;  // 0: no limit
    Duration answer_delay{0};            // fault: slow answers
    Duration reason_repeat{0};           // fault: a reason alone for every block, repeated this often
    Duration idle_timeout{20000};        // 0 disables the time-out
    int login_attempts = 3;
};

struct AcceptedPage {
    std::string pin;
    std::string message;  // bytes as received (after SUB escapes), without the closing CR
};

// A TAP 1.8 paging terminal for one connection: the CR wake-up and "ID=", the
// <ESC>PG1 log-on, blocks and transactions, and the <EOT> log-off.
class TapTerminal : public DataPeer {
public:
    enum class State { kAwaitWakeup, kAwaitLogin, kReady, kClosing };

    struct Hooks {
        Tracer trace;
        std::function<void(const AcceptedPage&)> on_page;
    };

    TapTerminal(TerminalConfig config, Hooks hooks, TimePoint now);

    void Receive(std::string_view bytes, TimePoint now) override;
    void Poll(TimePoint now) override;
    std::string TakeOutput(TimePoint now) override;
    std::optional<TimePoint> NextWakeup() const override;
    bool HungUp() const override { return state_ == State::kClosing && pending_.empty(); }

    State state() const { return state_; }

private:
    void Feed(char c, TimePoint now);
    void FeedLogin(char c, TimePoint now);
    void FeedReady(char c, TimePoint now);
    void EvaluateLogin(TimePoint now);
    void HandleBlock(const TapBlock& block, TimePoint now);
    void CompleteTransaction(TimePoint now);
    void Answer(std::string bytes, TimePoint now);
    void Close(std::string last_words, TimePoint now);
    void Trace(const std::string& line) const;

    TerminalConfig config_;
    Hooks hooks_;
    State state_ = State::kAwaitWakeup;
    TimePoint last_activity_;

    bool collecting_login_ = false;
    std::string login_;
    int failed_logins_ = 0;

    TapBlockReader reader_;
    std::string transaction_;
    bool transaction_overflow_ = false;
    int naks_left_ = 0;
    bool eot_seen_ = false;
    bool esc_seen_ = false;

    std::deque<std::pair<TimePoint, std::string>> pending_;
    std::optional<TimePoint> next_reason_;  // --reasons-only: when the block's reason comes again
};

// The response texts, so that tests and docs quote the same bytes.
namespace tap_text {
inline constexpr const char* kBanner = "110 1.8";
inline constexpr const char* kClosing = "115 Closing connection";
inline constexpr const char* kSent = "211 Page(s) Sent Successfully";
inline constexpr const char* kTimeout = "501 Time-out";
inline constexpr const char* kUnexpected = "502 Unexpected character";
inline constexpr const char* kChecksum = "503 Checksum error";
inline constexpr const char* kBlockTooLong = "504 Block too long";
inline constexpr const char* kMessageTooLong = "505 Message too long";
inline constexpr const char* kInvalidTransaction = "506 Invalid transaction";
inline constexpr const char* kInvalidPager = "511 Invalid pager ID";
inline constexpr const char* kInvalidPassword = "514 Invalid password";
}  // namespace tap_text

}  // namespace pagingsim
