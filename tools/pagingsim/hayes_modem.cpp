#include "tools/pagingsim/hayes_modem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

#include "tools/pagingsim/byte_text.h"

namespace pagingsim {

namespace {

// Hayes modems take about 40 characters after AT; we are generous but bounded.
constexpr std::size_t kMaxCommandLine = 255;

bool IsDialCharacter(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '*' || c == '#' || c == ',' || c == '!' ||
           c == '@' || c == 'W' || c == 'T' || c == 'P' || c == '-' || c == '(' || c == ')' ||
           (c >= 'A' && c <= 'D');
}

// Reads an optional decimal number at body[i]; absent means 0, as Hayes modems take it.
int ReadNumber(std::string_view body, std::size_t& i, bool& present) {
    int value = 0;
    present = false;
    while (i < body.size() && std::isdigit(static_cast<unsigned char>(body[i]))) {
        present = true;
        if (value < 100000) value = value * 10 + (body[i] - '0');
        ++i;
    }
    return value;
}

}  // namespace

HayesModem::HayesModem(ModemConfig config, PeerFactory connect, Tracer trace)
    : config_(config), connect_(std::move(connect)), trace_(std::move(trace)) {
    settings_ = FactorySettings();
}

HayesModem::Settings HayesModem::FactorySettings() const {
    Settings s;
    s.s[2] = '+';
    s.s[3] = '\r';
    s.s[4] = '\n';
    s.s[5] = '\b';
    s.s[6] = 2;
    s.s[7] = 50;
    s.s[8] = 2;
    s.s[10] = 14;
    s.s[12] = static_cast<int>(std::min<long long>(255, config_.guard.count() / 20));
    return s;
}

void HayesModem::Trace(const std::string& line) const {
    if (trace_) trace_("modem: " + line);
}

void HayesModem::Receive(std::string_view bytes, TimePoint now) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (mode_ == Mode::kOnline) {
            // When the line drops, the rest of what the computer wrote reaches a modem that
            // is back in command mode.
            const std::size_t consumed = OnlineBytes(bytes.substr(i), now);
            if (consumed == 0 && mode_ == Mode::kOnline) break;
            i += consumed;
            continue;
        }
        if (mode_ == Mode::kDialing) {
            // Any key aborts a dial in progress, as on every Hayes modem.
            Trace("dial aborted by a character from the computer");
            HangUp("dial aborted");
            SendResult(Result::kNoCarrier);
            ++i;
            continue;
        }
        CommandByte(bytes[i], now);
        ++i;
    }
    Pump(now);
}

std::size_t HayesModem::OnlineBytes(std::string_view bytes, TimePoint now) {
    std::size_t pass = bytes.size();
    if (drop_) pass = drop_->Admit(bytes);
    const std::string_view delivered = bytes.substr(0, pass);
    for (char c : delivered) {
        const bool plus_in_time =
            plus_count_ == 0 ? now - last_online_byte_ >= Guard() : now - last_plus_ < Guard();
        if (c == static_cast<char>(settings_.s[2]) && plus_count_ < 3 && plus_in_time) {
            ++plus_count_;
            last_plus_ = now;
            if (plus_count_ == 3) escape_at_ = now + Guard();
        } else {
            plus_count_ = 0;
            escape_at_.reset();
        }
        last_online_byte_ = now;
    }
    // A Hayes modem sends the escape characters on as data: it cannot know yet that
    // they are an escape.
    if (!delivered.empty()) peer_->Receive(delivered, now);
    if (drop_ && drop_->Dropped()) {
        Trace("line drops (fault) after " +
              Printable(delivered.substr(delivered.size() > 8 ? delivered.size() - 8 : 0)));
        HangUp("line dropped");
        SendResult(Result::kNoCarrier);
    }
    return pass;
}

void HayesModem::CommandByte(char c, TimePoint now) {
    if (settings_.echo) out_ += c;
    if (c == static_cast<char>(settings_.s[3])) {
        const std::string line = std::move(line_);
        const bool overflow = line_overflow_;
        line_.clear();
        line_overflow_ = false;
        if (overflow) {
            Trace("command line too long");
            SendResult(Result::kError);
            return;
        }
        ExecuteLine(line, now);
        return;
    }
    if (c == static_cast<char>(settings_.s[5])) {
        if (!line_.empty()) line_.pop_back();
        return;
    }
    if (c == static_cast<char>(settings_.s[4])) return;
    if (line_.size() < kMaxCommandLine) {
        line_ += c;
    } else {
        line_overflow_ = true;
    }
}

void HayesModem::ExecuteLine(const std::string& line, TimePoint now) {
    std::size_t at = std::string::npos;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(line[i])) == 'A' &&
            std::toupper(static_cast<unsigned char>(line[i + 1])) == 'T') {
            at = i;
            break;
        }
    }
    if (at == std::string::npos) {
        if (!line.empty()) Trace("ignores " + Printable(line) + " (no AT)");
        return;
    }
    Trace("command " + Printable(line.substr(at)));
    std::string body;
    for (char c : line.substr(at + 2))
        body += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    bool result_pending = false;
    if (!ExecuteCommands(body, now, result_pending)) {
        SendResult(Result::kError);
    } else if (!result_pending) {
        SendResult(Result::kOk);
    }
}

bool HayesModem::ExecuteCommands(std::string_view body, TimePoint now, bool& result_pending) {
    std::size_t i = 0;
    bool present = false;
    while (i < body.size()) {
        const char command = body[i++];
        if (command == ' ') continue;
        if (command == 'D') return StartDial(body.substr(i), now) && (result_pending = true);
        if (command == 'S') {
            const int reg = ReadNumber(body, i, present);
            if (!present || reg >= static_cast<int>(settings_.s.size())) return false;
            if (i < body.size() && body[i] == '=') {
                ++i;
                const int value = ReadNumber(body, i, present);
                if (value > 255) return false;
                settings_.s[reg] = value;
            } else if (i < body.size() && body[i] == '?') {
                ++i;
                char text[16];
                std::snprintf(text, sizeof text, "%03d", settings_.s[reg]);
                out_ += settings_.verbose ? std::string("\r\n") + text + "\r\n" : std::string(text) + "\r\n";
            }
            continue;
        }
        if (command == '&') {
            if (i >= body.size()) return false;
            const char sub = body[i++];
            const int n = ReadNumber(body, i, present);
            switch (sub) {
                case 'F':
                    if (n != 0) return false;
                    settings_ = FactorySettings();
                    break;
                case 'C':
                    if (n > 1) return false;
                    break;
                case 'D':
                    if (n > 3) return false;
                    break;
                case 'K':
                    if (n > 6) return false;
                    break;
                case 'W':
                    if (n > 1) return false;
                    break;
                case 'Q':
                    if (n > 6) return false;
                    break;
                case 'S':
                    if (n > 1) return false;
                    break;
                default:
                    return false;
            }
            continue;
        }
        const int n = ReadNumber(body, i, present);
        switch (command) {
            case 'E':
                if (n > 1) return false;
                settings_.echo = n == 1;
                break;
            case 'Q':
                if (n > 1) return false;
                settings_.quiet = n == 1;
                break;
            case 'V':
                if (n > 1) return false;
                settings_.verbose = n == 1;
                break;
            case 'X':
                if (n > 4) return false;
                settings_.x_level = n;
                break;
            case 'L':
                if (n > 3) return false;
                break;
            case 'M':
                if (n > 3) return false;
                break;
            case 'B':
                if (n > 1) return false;
                break;
            case 'T':
            case 'P':
                if (present) return false;
                break;
            case 'I':
                if (n > 9) return false;
                out_ += settings_.verbose ? "\r\npagingsim\r\n" : "pagingsim\r\n";
                break;
            case 'H':
                if (n > 1) return false;
                if (n == 0 && peer_) HangUp("ATH");
                break;
            case 'Z':
                if (n > 1) return false;
                if (peer_) HangUp("ATZ");
                settings_ = FactorySettings();
                return true;  // a reset ends the command line
            case 'O':
                if (n > 1) return false;
                result_pending = true;
                if (!peer_) {
                    SendResult(Result::kNoCarrier);
                    return true;
                }
                Trace("back online");
                mode_ = Mode::kOnline;
                plus_count_ = 0;
                escape_at_.reset();
                last_online_byte_ = now;
                SendResult(Result::kConnect);
                return true;
            default:
                return false;
        }
    }
    return true;
}

bool HayesModem::StartDial(std::string_view dial_string, TimePoint now) {
    if (peer_) return false;  // already in a call
    bool has_digit = false;
    for (char c : dial_string) {
        if (c == ' ') continue;
        if (!IsDialCharacter(c)) return false;
        has_digit = has_digit || std::isdigit(static_cast<unsigned char>(c));
    }
    if (!has_digit) return false;
    ++calls_dialled_;
    Trace("dials " + Printable(dial_string) + " (call " + std::to_string(calls_dialled_) + ")");
    mode_ = Mode::kDialing;
    dial_done_ = now + config_.ring;
    return true;
}

void HayesModem::Poll(TimePoint now) {
    if (mode_ == Mode::kDialing && now >= dial_done_) {
        mode_ = Mode::kCommand;
        const DialOutcome outcome = FaultsApply() ? config_.outcome : DialOutcome::kConnect;
        switch (outcome) {
            case DialOutcome::kBusy:
                Trace("the line is busy (fault)");
                SendResult(Result::kBusy);
                break;
            case DialOutcome::kNoCarrier:
                Trace("no carrier from the far end (fault)");
                SendResult(Result::kNoCarrier);
                break;
            case DialOutcome::kNoDialtone:
                Trace("no dial tone (fault)");
                SendResult(Result::kNoDialtone);
                break;
            case DialOutcome::kConnect:
                peer_ = connect_(now);
                if (FaultsApply() && config_.drop.Active()) {
                    drop_.emplace(config_.drop);
                } else {
                    drop_.reset();
                }
                mode_ = Mode::kOnline;
                last_online_byte_ = now;
                plus_count_ = 0;
                escape_at_.reset();
                Trace("connected at " + std::to_string(config_.baud));
                SendResult(Result::kConnect);
                break;
        }
    }
    if (mode_ == Mode::kOnline && escape_at_ && now >= *escape_at_) {
        escape_at_.reset();
        plus_count_ = 0;
        mode_ = Mode::kCommand;
        Trace("escape sequence recognised, command mode with the call up");
        SendResult(Result::kOk);
    }
    Pump(now);
}

void HayesModem::Pump(TimePoint now) {
    if (!peer_) return;
    peer_->Poll(now);
    std::string from_remote = peer_->TakeOutput(now);
    if (mode_ == Mode::kOnline) {
        out_ += from_remote;
    } else if (!from_remote.empty()) {
        Trace("discards " + std::to_string(from_remote.size()) +
              " bytes from the far end while in command mode");
    }
    if (peer_->HungUp()) {
        HangUp("the far end hung up");
        SendResult(Result::kNoCarrier);
    }
}

std::string HayesModem::TakeOutput() {
    return std::exchange(out_, std::string());
}

std::optional<TimePoint> HayesModem::NextWakeup() const {
    std::optional<TimePoint> wake;
    if (mode_ == Mode::kDialing) wake = dial_done_;
    if (mode_ == Mode::kOnline && escape_at_) wake = Earliest(wake, escape_at_);
    if (peer_) wake = Earliest(wake, peer_->NextWakeup());
    return wake;
}

void HayesModem::ComputerClosed(TimePoint) {
    if (peer_ || mode_ == Mode::kDialing) HangUp("the computer closed the port");
    settings_ = FactorySettings();
    mode_ = Mode::kCommand;
    line_.clear();
    line_overflow_ = false;
    out_.clear();
}

void HayesModem::HangUp(const char* why) {
    const bool had_call = peer_ != nullptr;
    peer_.reset();
    drop_.reset();
    mode_ = Mode::kCommand;
    plus_count_ = 0;
    escape_at_.reset();
    if (had_call) {
        ++calls_ended_;
        Trace(std::string("call ended: ") + why);
    }
}

void HayesModem::SendResult(Result result) {
    if (settings_.quiet) return;
    // With a lower X level the modem cannot tell busy or a missing dial tone from a
    // failed call, and X0 leaves the speed off CONNECT.
    if (result == Result::kBusy && settings_.x_level < 3) result = Result::kNoCarrier;
    if (result == Result::kNoDialtone && settings_.x_level < 2) result = Result::kNoCarrier;
    std::string text;
    int code = 0;
    switch (result) {
        case Result::kOk:
            text = "OK";
            code = 0;
            break;
        case Result::kConnect:
            text = settings_.x_level == 0 ? "CONNECT" : "CONNECT " + std::to_string(config_.baud);
            code = 1;
            break;
        case Result::kRing:
            text = "RING";
            code = 2;
            break;
        case Result::kNoCarrier:
            text = "NO CARRIER";
            code = 3;
            break;
        case Result::kError:
            text = "ERROR";
            code = 4;
            break;
        case Result::kNoDialtone:
            text = "NO DIALTONE";
            code = 6;
            break;
        case Result::kBusy:
            text = "BUSY";
            code = 7;
            break;
    }
    Trace("answers " + text);
    out_ += settings_.verbose ? "\r\n" + text + "\r\n" : std::to_string(code) + "\r";
}

}  // namespace pagingsim
