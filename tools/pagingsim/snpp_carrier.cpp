#include "tools/pagingsim/snpp_carrier.h"

namespace pagingsim {
namespace {

bool ValidPin(std::string_view pin) {
    if (pin.empty() || pin.size() > 16) return false;
    for (char c : pin)
        if (c < '0' || c > '9') return false;
    return true;
}

// The password of "LOGIn loginid [password]": the second word, or the only one.
std::string_view PasswordOf(std::string_view argument) {
    const size_t blank = argument.find(' ');
    if (blank == std::string_view::npos) return argument;
    std::string_view rest = argument.substr(blank + 1);
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    return rest;
}

}  // namespace

SnppCarrier::SnppCarrier(TerminalConfig config, TapTerminal::Hooks hooks, TimePoint now)
    : config_(std::move(config)), hooks_(std::move(hooks)), last_activity_(now) {
    logged_in_ = config_.password.empty();
    Reply(220, "pagingsim SNPP server ready", now);
}

void SnppCarrier::Trace(const std::string& line) const {
    if (hooks_.trace) hooks_.trace(line);
}

void SnppCarrier::Reply(int code, const std::string& text, TimePoint now) {
    const std::string line = snpp::FormatReply(code, text);
    Trace("<- " + line.substr(0, line.size() - 2));
    pending_.emplace_back(now + config_.answer_delay, line);
}

void SnppCarrier::Reset() {
    pins_.clear();
    message_.clear();
    has_message_ = false;
}

void SnppCarrier::Receive(std::string_view bytes, TimePoint now) {
    if (closing_) return;
    last_activity_ = now;
    std::string line;
    while (!bytes.empty() && !closing_) {
        const snpp::LineReader::Result result = reader_.Take(bytes, &line);
        if (result == snpp::LineReader::Result::NeedMore) break;
        if (result == snpp::LineReader::Result::TooLong) {
            Reply(550, "Error, line too long", now);
            continue;
        }
        if (in_data_)
            HandleData(line, now);
        else
            Handle(line, now);
    }
}

void SnppCarrier::HandleData(const std::string& line, TimePoint now) {
    if (line == ".") {
        in_data_ = false;
        if (config_.max_message_length > 0 && message_.size() > config_.max_message_length) {
            message_.clear();
            Reply(554, "Error, message too long", now);
            return;
        }
        has_message_ = true;
        Reply(250, "Message OK", now);
        return;
    }
    if (!message_.empty()) message_ += '\n';
    message_ += line.size() > 1 && line[0] == '.' ? line.substr(1) : line;
}

void SnppCarrier::Handle(const std::string& line, TimePoint now) {
    Trace("-> " + line);
    const snpp::Command command = snpp::ParseCommand(line);
    const std::string argument(command.argument);
    switch (command.verb) {
        case snpp::Verb::Login:
            if (config_.password.empty() || PasswordOf(argument) == config_.password) {
                logged_in_ = true;
                Reply(250, "Login Accepted", now);
            } else {
                Reply(550, "Error, Invalid Login", now);
            }
            return;
        case snpp::Verb::Page:
            if (!logged_in_) {
                Reply(550, "Error, Login required", now);
            } else if (!ValidPin(argument) || config_.refused_pins.count(argument)) {
                Reply(550, "Error, Invalid Pager ID", now);
            } else {
                pins_.push_back(argument);
                Reply(250, "Pager ID Accepted", now);
            }
            return;
        case snpp::Verb::Message:
            if (has_message_) {
                Reply(503, "Error, Message Already Entered", now);
            } else if (config_.max_message_length > 0 && argument.size() > config_.max_message_length) {
                Reply(554, "Error, message too long", now);
            } else {
                message_ = argument;
                has_message_ = true;
                Reply(250, "Message OK", now);
            }
            return;
        case snpp::Verb::Data:
            message_.clear();
            in_data_ = true;
            Reply(354, "Begin Input; End with <CRLF>'.'<CRLF>", now);
            return;
        case snpp::Verb::Send:
            if (pins_.empty() || !has_message_) {
                Reply(503, "Error, Pager ID or Message Incomplete", now);
                return;
            }
            for (const std::string& pin : pins_)
                if (hooks_.on_page) hooks_.on_page(AcceptedPage{pin, message_});
            Reset();
            Reply(250, "Message Sent Successfully", now);
            return;
        case snpp::Verb::Reset:
            Reset();
            Reply(250, "Reset OK", now);
            return;
        case snpp::Verb::Quit:
            Reply(221, "OK, Goodbye", now);
            closing_ = true;
            return;
        case snpp::Verb::Help:
            Reply(214, "pagingsim: PAGE MESS DATA LOGI SEND RSET QUIT", now);
            Reply(250, "End of Help Information", now);
            return;
        default:
            Reply(500, "Command Not Implemented", now);
            return;
    }
}

void SnppCarrier::Poll(TimePoint now) {
    if (closing_ || config_.idle_timeout.count() <= 0) return;
    if (now - last_activity_ >= config_.idle_timeout) {
        Reply(421, "Timeout, Goodbye", now);
        closing_ = true;
    }
}

std::string SnppCarrier::TakeOutput(TimePoint now) {
    std::string out;
    while (!pending_.empty() && pending_.front().first <= now) {
        out += pending_.front().second;
        pending_.pop_front();
    }
    return out;
}

std::optional<TimePoint> SnppCarrier::NextWakeup() const {
    std::optional<TimePoint> wake;
    if (!pending_.empty()) wake = pending_.front().first;
    if (!closing_ && config_.idle_timeout.count() > 0) {
        const TimePoint timeout = last_activity_ + config_.idle_timeout;
        if (!wake || timeout < *wake) wake = timeout;
    }
    return wake;
}

}  // namespace pagingsim
