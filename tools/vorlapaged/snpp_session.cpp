#include "tools/vorlapaged/snpp_session.h"

#include "directory/directory_automation.h"

namespace snpp {
namespace {

// UTF-8 takes at most three bytes for a character the message can hold.
constexpr size_t kMaxDataBytes = 3 * automation::kMaxMessageLength + 1024;
constexpr size_t kMaxSubjectBytes = 1024;

constexpr const char* kHelp[] = {
    "Level 1: PAGEr <pager ID>, MESSage <text>, RESEt, SEND, QUIT, HELP",
    "Level 2: DATA, LOGIn <user> [<password>], LEVEl <0-11>, ALERt <0|1>, COVErage,",
    "         HOLDuntil <YYMMDDHHMMSS> [+/-GMT difference], CALLerid <id>, SUBJect <text>",
    "A pager ID is a subscriber or group of the directory (any case, quoted or not) or a PIN.",
    "Several PAGEr commands before SEND page everyone named with one message.",
};

bool IsSmallNumber(std::string_view text, int highest) {
    if (text.empty() || text.size() > 2) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= highest;
}

}  // namespace

Session::Session(IGateway& gateway, Limits limits)
    : gateway_(gateway), limits_(limits), reader_(limits.lineLength) {}

std::string Session::Greeting() {
    return FormatReply(220, "SNPP Gateway Ready");
}

std::string Session::TimeoutReply() {
    return FormatReply(421, "Timeout, Goodbye");
}

std::string Session::Receive(std::string_view bytes) {
    if (state_ == State::Closed) return {};
    if (state_ == State::Waiting) {
        held_.append(bytes);
        return {};
    }
    return Take(bytes);
}

std::string Session::Take(std::string_view bytes) {
    std::string replies;
    std::string line;
    while (state_ == State::Command || state_ == State::Data) {
        const LineReader::Result result = reader_.Take(bytes, &line);
        if (result == LineReader::Result::NeedMore) break;
        if (result == LineReader::Result::TooLong) {
            if (state_ == State::Data) {
                dataTooLong_ = true;
            } else {
                replies += Refuse(
                    500, "Error, line too long (at most " + std::to_string(limits_.lineLength) + " bytes)");
            }
            continue;
        }
        replies += OnLine(line);
    }
    if (state_ == State::Waiting) held_.append(bytes);
    return replies;
}

std::string Session::Finish(const Outcome& outcome) {
    if (state_ != State::Waiting) return {};
    std::string replies = FormatReply(outcome.code, outcome.text);
    if (outcome.code == 421) {
        state_ = State::Closed;
        return replies;
    }
    state_ = State::Command;
    if (outcome.code == 250) {
        Reset();
        errorsInRow_ = 0;
    } else {
        ++errorsInRow_;
    }
    std::string rest;
    rest.swap(held_);
    return replies + Take(rest);
}

std::string Session::OnLine(const std::string& line) {
    if (state_ == State::Data) return OnDataLine(line);
    return OnCommand(ParseCommand(line));
}

std::string Session::Refuse(int code, std::string_view text) {
    std::string reply = FormatReply(code, text);
    if (++errorsInRow_ >= limits_.errors) {
        reply += FormatReply(421, "Too Many Errors, Goodbye");
        state_ = State::Closed;
    }
    return reply;
}

std::string Session::Accept(int code, std::string_view text) {
    errorsInRow_ = 0;
    return FormatReply(code, text);
}

void Session::Reset() {
    recipients_.clear();
    message_.reset();
    subject_.clear();
    hold_.reset();
    callerId_.clear();
}

std::string Session::SetMessage(std::string_view bytes) {
    if (bytes.empty()) return Refuse(550, "Error, Invalid Message");
    std::string error;
    std::optional<std::string> text = gateway_.TakeText(bytes, &error);
    if (!text) return Refuse(550, "Error, " + error);
    message_ = std::move(*text);
    return Accept(250, "Message OK");
}

std::string Session::OnCommand(const Command& command) {
    if (gateway_.LoginRequired() && !loggedIn_) {
        switch (command.verb) {
            case Verb::Login:
            case Verb::Quit:
            case Verb::Help:
            case Verb::Reset:
            case Verb::Unknown:
                break;
            default:
                if (LevelOf(command.verb) < 3) return Refuse(550, "Error, Login Required");
        }
    }
    switch (command.verb) {
        case Verb::Page: {
            const std::string_view id = command.argument;
            if (id.empty()) return Refuse(550, "Error, Invalid Pager ID");
            if (recipients_.size() >= limits_.recipients)
                return Refuse(552, "Maximum Entries Exceeded (" + std::to_string(limits_.recipients) + ")");
            std::optional<std::string> name = gateway_.Resolve(Unquoted(id));
            // "PAGE <id> <password>": the pager ID alone, when the whole argument names nobody.
            const size_t blank = id.find_last_of(" \t");
            if (!name && id.front() != '"' && blank != std::string_view::npos) {
                std::string_view bare = id.substr(0, blank);
                while (!bare.empty() && (bare.back() == ' ' || bare.back() == '\t'))
                    bare.remove_suffix(1);
                name = gateway_.Resolve(bare);
            }
            if (!name) return Refuse(550, "Error, Invalid Pager ID");
            bool known = false;
            for (const std::string& recipient : recipients_)
                known = known || recipient == *name;
            if (!known) recipients_.push_back(*name);
            return Accept(250, "Pager ID Accepted");
        }
        case Verb::Message:
            if (message_) return Refuse(503, "Error, Message Already Entered");
            return SetMessage(command.argument);
        case Verb::Data:
            if (message_) return Refuse(503, "Error, Message Already Entered");
            state_ = State::Data;
            data_.clear();
            dataTooLong_ = false;
            return Accept(354, "Begin Input; End with <CRLF>'.'<CRLF>");
        case Verb::Reset:
            Reset();
            return Accept(250, "RESET OK");
        case Verb::Send:
            return Send();
        case Verb::Quit:
            state_ = State::Closed;
            return FormatReply(221, "OK, Goodbye");
        case Verb::Help: {
            std::string replies;
            for (const char* line : kHelp)
                replies += FormatReply(214, line);
            return replies + Accept(250, "End of Help Information");
        }
        case Verb::Login: {
            const std::string_view argument = command.argument;
            const size_t blank = argument.find_first_of(" \t");
            const std::string_view user = Unquoted(argument.substr(0, blank));
            // The password is the rest of the line (quoted when it has blanks at its ends).
            std::string_view password =
                blank == std::string_view::npos ? std::string_view() : argument.substr(blank);
            while (!password.empty() && (password.front() == ' ' || password.front() == '\t'))
                password.remove_prefix(1);
            password = Unquoted(password);
            // Where no login is required, the name a client gives (many send the local user's
            // own) is only recorded beside its pages.
            if (!user.empty() && !gateway_.LoginRequired()) {
                user_ = user;
                return Accept(250, "Login Accepted");
            }
            if (user.empty() || !gateway_.CheckLogin(user, password)) {
                loggedIn_ = false;
                user_.clear();
                return Refuse(550, "Error, Invalid Login");
            }
            loggedIn_ = true;
            user_ = user;
            return Accept(250, "Login Accepted");
        }
        case Verb::Level:
            // The paging terminal offers one service level; any the RFC names is taken.
            if (!IsSmallNumber(command.argument, 11)) return Refuse(550, "Error, Invalid Service Level");
            return Accept(250, "OK, Level Accepted");
        case Verb::Alert:
            if (command.argument != "0" && command.argument != "1")
                return Refuse(550, "Error, Invalid Alert Parameter");
            return Accept(250, "OK, Alert Override Accepted");
        case Verb::Coverage:
            return Refuse(550, "Error, Invalid Alternate Region");
        case Verb::HoldUntil: {
            std::optional<HoldTime> hold = ParseHoldUntil(command.argument);
            if (!hold) return Refuse(550, "Error, Invalid Delivery Date/Time");
            hold_ = hold;
            return Accept(250, "Delayed Messaging Selected");
        }
        case Verb::CallerId:
            if (command.argument.empty()) return Refuse(550, "Error, Invalid Caller ID");
            callerId_ = command.argument;
            return Accept(250, "Caller ID Accepted");
        case Verb::Subject: {
            if (command.argument.size() > kMaxSubjectBytes) return Refuse(550, "Error, Invalid Subject");
            std::string error;
            std::optional<std::string> subject = gateway_.TakeText(command.argument, &error);
            if (!subject) return Refuse(550, "Error, " + error);
            subject_ = std::move(*subject);
            return Accept(250, "Message Subject Accepted");
        }
        case Verb::Unknown:
            return Refuse(500, "Command Not Implemented");
        default:  // level 3: two-way paging needs a two-way carrier
            return Refuse(500, "Command Not Implemented");
    }
}

std::string Session::OnDataLine(const std::string& line) {
    if (line == ".") {
        state_ = State::Command;
        if (dataTooLong_) return Refuse(550, "Error, message too long");
        return SetMessage(data_);
    }
    if (dataTooLong_) return {};
    std::string_view text = line;
    if (!text.empty() && text.front() == '.') text.remove_prefix(1);
    if (data_.size() + text.size() + 1 > kMaxDataBytes) {
        dataTooLong_ = true;
        data_.clear();
        return {};
    }
    if (!data_.empty()) data_.push_back('\n');
    data_.append(text);
    return {};
}

std::string Session::Send() {
    if (recipients_.empty() || !message_) return Refuse(503, "Error, Pager ID or Message Incomplete");
    Transaction transaction;
    transaction.recipients = recipients_;
    transaction.text = subject_.empty() ? *message_ : subject_ + ": " + *message_;
    if (transaction.text.size() > automation::kMaxMessageLength)
        return Refuse(550, "Error, the subject and message are longer than " +
                               std::to_string(automation::kMaxMessageLength) + " characters");
    transaction.hold = hold_;
    transaction.callerId = callerId_;
    transaction.user = user_;
    state_ = State::Waiting;
    gateway_.Submit(transaction);
    return {};
}

}  // namespace snpp
