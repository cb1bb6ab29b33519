#include "tools/pagingsim/tap_terminal.h"

#include <algorithm>
#include <vector>

#include "tools/pagingsim/byte_text.h"

namespace pagingsim {

namespace {

// A transaction may span many blocks; a sender that never sends ETX must not be able
// to grow it without bound.
constexpr std::size_t kMaxTransaction = 64 * 1024;
constexpr std::size_t kMaxPinLength = 16;
constexpr std::size_t kMaxPasswordLength = 6;
constexpr std::size_t kMaxLoginLine = 32;

std::string Sequence(const char* text) {
    return std::string(text) + tap::kCr;
}
std::string Reply(char code) {
    return std::string{code, tap::kCr};
}
std::string Disconnect() {
    return std::string{tap::kEsc, tap::kEot, tap::kCr};
}

// Splits a transaction into its CR-terminated fields and undoes the SUB escapes
// (SUB followed by 0x40..0x5F stands for the control character 0x00..0x1F).
bool SplitFields(std::string_view text, std::vector<std::string>& fields) {
    std::string field;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == tap::kCr) {
            fields.push_back(std::move(field));
            field.clear();
        } else if (c == tap::kSub) {
            if (i + 1 >= text.size()) return false;
            const unsigned char next = static_cast<unsigned char>(text[++i]);
            if (next < 0x40 || next > 0x5F) return false;
            field += static_cast<char>(next - 0x40);
        } else {
            field += c;
        }
    }
    return field.empty();  // the last field must be closed by its CR
}

bool ValidPin(const std::string& pin) {
    return !pin.empty() && pin.size() <= kMaxPinLength &&
           std::all_of(pin.begin(), pin.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TapTerminal::TapTerminal(TerminalConfig config, Hooks hooks, TimePoint now)
    : config_(std::move(config)),
      hooks_(std::move(hooks)),
      last_activity_(now),
      naks_left_(config_.naks_per_block) {}

void TapTerminal::Trace(const std::string& line) const {
    if (hooks_.trace) hooks_.trace("terminal: " + line);
}

void TapTerminal::Receive(std::string_view bytes, TimePoint now) {
    if (bytes.empty()) return;
    last_activity_ = now;
    for (char c : bytes) {
        if (state_ == State::kClosing) break;  // anything after our log-off is ignored
        Feed(c, now);
    }
}

void TapTerminal::Poll(TimePoint now) {
    if (state_ == State::kReady && next_reason_ && now >= *next_reason_) {
        Answer(Sequence(tap_text::kChecksum), now);
        next_reason_ = now + config_.reason_repeat;
    }
    if (state_ == State::kClosing || config_.idle_timeout.count() <= 0) return;
    if (now - last_activity_ >= config_.idle_timeout) {
        Trace("no input for " + std::to_string(config_.idle_timeout.count()) + " ms, hanging up");
        Close(Sequence(tap_text::kTimeout) + Disconnect(), now);
    }
}

std::string TapTerminal::TakeOutput(TimePoint now) {
    std::string out;
    while (!pending_.empty() && pending_.front().first <= now) {
        out += pending_.front().second;
        pending_.pop_front();
    }
    return out;
}

std::optional<TimePoint> TapTerminal::NextWakeup() const {
    std::optional<TimePoint> wake;
    if (!pending_.empty()) wake = pending_.front().first;
    if (state_ == State::kReady && next_reason_) wake = Earliest(wake, *next_reason_);
    if (state_ != State::kClosing && config_.idle_timeout.count() > 0)
        wake = Earliest(wake, last_activity_ + config_.idle_timeout);
    return wake;
}

void TapTerminal::Answer(std::string bytes, TimePoint now) {
    Trace("sends " + Printable(bytes) +
          (config_.answer_delay.count() > 0 ? " after " + std::to_string(config_.answer_delay.count()) + " ms"
                                            : std::string()));
    const TimePoint due = now + config_.answer_delay;
    pending_.emplace_back(due, std::move(bytes));
    // The sender is waiting for us, so its silence until the answer is out is not idleness.
    last_activity_ = std::max(last_activity_, due);
}

void TapTerminal::Close(std::string last_words, TimePoint now) {
    Answer(std::move(last_words), now);
    state_ = State::kClosing;
}

void TapTerminal::Feed(char c, TimePoint now) {
    switch (state_) {
        case State::kAwaitWakeup:
            if (c == tap::kCr) {
                Trace("wake-up CR received");
                Answer("ID=", now);
                state_ = State::kAwaitLogin;
            }
            return;  // a terminal waiting for its CR ignores everything else
        case State::kAwaitLogin:
            FeedLogin(c, now);
            return;
        case State::kReady:
            FeedReady(c, now);
            return;
        case State::kClosing:
            return;
    }
}

void TapTerminal::FeedLogin(char c, TimePoint now) {
    if (!collecting_login_) {
        if (c == tap::kCr) {
            Answer("ID=", now);
        } else if (c == tap::kEsc) {
            collecting_login_ = true;
            login_.clear();
        }
        return;
    }
    if (login_.empty() && c == tap::kEot) {
        Trace("sender aborted the log-on with ESC EOT");
        collecting_login_ = false;
        Close(Disconnect(), now);
        return;
    }
    if (c == tap::kCr) {
        collecting_login_ = false;
        EvaluateLogin(now);
        return;
    }
    if (login_.size() <= kMaxLoginLine) login_ += c;
}

void TapTerminal::EvaluateLogin(TimePoint now) {
    bool accepted = false;
    std::string reason;
    if (login_.size() > kMaxLoginLine || login_.compare(0, 3, "PG1") != 0) {
        reason = "log-on " + Printable(login_) + " is not <ESC>PG1[password]";
    } else {
        const std::string password = login_.substr(3);
        if (password.size() > kMaxPasswordLength) {
            reason = "password longer than 6 characters";
        } else if (!config_.password.empty() && password != config_.password) {
            reason = "wrong password " + Printable(password);
        } else {
            accepted = true;
        }
    }
    if (accepted) {
        Trace("log-on accepted");
        Answer(Sequence(tap_text::kBanner) + Reply(tap::kAck) + std::string{tap::kEsc, '[', 'p', tap::kCr},
               now);
        state_ = State::kReady;
        return;
    }
    ++failed_logins_;
    Trace("log-on refused (" + reason + "), attempt " + std::to_string(failed_logins_) + " of " +
          std::to_string(config_.login_attempts));
    if (failed_logins_ >= config_.login_attempts) {
        Close(Sequence(tap_text::kInvalidPassword) + Disconnect(), now);
    } else {
        Answer(Sequence(tap_text::kInvalidPassword) + Reply(tap::kNak), now);
    }
}

void TapTerminal::FeedReady(char c, TimePoint now) {
    next_reason_.reset();  // the sender has moved on
    if (reader_.InBlock()) {
        if (auto block = reader_.Feed(c)) HandleBlock(*block, now);
        return;
    }
    if (esc_seen_) {
        esc_seen_ = false;
        if (c == tap::kEot) {
            Trace("sender hung up with ESC EOT");
            Close(Disconnect(), now);
            return;
        }
    }
    if (eot_seen_) {
        eot_seen_ = false;
        if (c == tap::kCr) {
            if (!transaction_.empty()) Trace("log-off drops an unfinished transaction");
            Trace("log-off");
            Close(Sequence(tap_text::kClosing) + Disconnect(), now);
            return;
        }
    }
    switch (c) {
        case tap::kStx:
            reader_.Begin();
            return;
        case tap::kEot:
            eot_seen_ = true;
            return;
        case tap::kEsc:
            esc_seen_ = true;
            return;
        case tap::kCr:
        case tap::kLf:
            return;
        default:
            Trace("ignores " + Printable(std::string_view(&c, 1)) + " between blocks");
            return;
    }
}

void TapTerminal::HandleBlock(const TapBlock& block, TimePoint now) {
    if (config_.reason_repeat.count() > 0) {
        Trace("block answered with a reason alone, again every " +
              std::to_string(config_.reason_repeat.count()) + " ms until the sender sends again");
        Answer(Sequence(tap_text::kChecksum), now);
        next_reason_ = now + config_.reason_repeat;
        return;
    }
    const char* complaint = nullptr;
    switch (block.verdict) {
        case BlockVerdict::kGood:
            break;
        case BlockVerdict::kChecksumError:
            complaint = tap_text::kChecksum;
            break;
        case BlockVerdict::kMalformed:
            complaint = tap_text::kUnexpected;
            break;
        case BlockVerdict::kTooLong:
            complaint = tap_text::kBlockTooLong;
            break;
    }
    if (complaint) {
        Trace("block refused: " + block.problem);
        Answer(Sequence(complaint) + Reply(tap::kNak), now);
        return;
    }
    if (naks_left_ > 0) {
        --naks_left_;
        Trace("good block answered with NAK on purpose (" + std::to_string(naks_left_) + " more to come)");
        Answer(Sequence(tap_text::kChecksum) + Reply(tap::kNak), now);
        return;
    }
    naks_left_ = config_.naks_per_block;
    Trace("block accepted: " + Printable(block.data) + " + " +
          Printable(std::string_view(&block.terminator, 1)));
    if (transaction_.size() + block.data.size() > kMaxTransaction) {
        transaction_overflow_ = true;
    } else {
        transaction_ += block.data;
    }
    if (block.terminator == tap::kEtx) {
        CompleteTransaction(now);
    } else {
        Answer(Reply(tap::kAck), now);
    }
}

void TapTerminal::CompleteTransaction(TimePoint now) {
    const std::string text = std::move(transaction_);
    const bool overflow = transaction_overflow_;
    transaction_.clear();
    transaction_overflow_ = false;

    const auto refuse = [&](const char* code, const std::string& why) {
        Trace("transaction refused: " + why);
        Answer(Sequence(code) + Reply(tap::kRs), now);
    };
    std::vector<std::string> fields;
    if (overflow) return refuse(tap_text::kMessageTooLong, "more than 64 KiB");
    if (text.empty() || !SplitFields(text, fields))
        return refuse(tap_text::kInvalidTransaction, "bad field structure");
    if (fields.size() != 2) {
        return refuse(tap_text::kInvalidTransaction, std::to_string(fields.size()) + " fields instead of 2");
    }
    AcceptedPage page{fields[0], fields[1]};
    if (!ValidPin(page.pin))
        return refuse(tap_text::kInvalidPager, "pager ID " + Printable(page.pin) + " is not 1-16 digits");
    if (config_.refused_pins.count(page.pin))
        return refuse(tap_text::kInvalidPager, "pager ID " + page.pin + " is refused");
    if (config_.max_message_length > 0 && page.message.size() > config_.max_message_length) {
        return refuse(tap_text::kMessageTooLong, std::to_string(page.message.size()) + " characters, limit " +
                                                     std::to_string(config_.max_message_length));
    }
    Trace("page accepted for " + page.pin + ": " + Printable(page.message));
    if (hooks_.on_page) hooks_.on_page(page);
    Answer(Sequence(tap_text::kSent) + Reply(tap::kAck), now);
}

}  // namespace pagingsim
