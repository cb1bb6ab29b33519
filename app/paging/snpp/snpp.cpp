#include "paging/snpp/snpp.h"

#include <array>

namespace snpp {
namespace {

struct VerbName {
    Verb verb;
    std::string_view full;  // the first four letters are the verb; the rest may follow
    int level;
};

constexpr std::array<VerbName, 23> kVerbs{{
    {Verb::Page, "PAGER", 1},
    {Verb::Message, "MESSAGE", 1},
    {Verb::Reset, "RESET", 1},
    {Verb::Send, "SEND", 1},
    {Verb::Quit, "QUIT", 1},
    {Verb::Help, "HELP", 1},
    {Verb::Data, "DATA", 2},
    {Verb::Login, "LOGIN", 2},
    {Verb::Level, "LEVEL", 2},
    {Verb::Alert, "ALERT", 2},
    {Verb::Coverage, "COVERAGE", 2},
    {Verb::HoldUntil, "HOLDUNTIL", 2},
    {Verb::CallerId, "CALLERID", 2},
    {Verb::Subject, "SUBJECT", 2},
    {Verb::TwoWay, "2WAY", 3},
    {Verb::Ping, "PING", 3},
    {Verb::ExpTag, "EXPTAG", 3},
    {Verb::NoQueueing, "NOQUEUEING", 3},
    {Verb::AckRead, "ACKREAD", 3},
    {Verb::ReplyType, "RTYPE", 3},
    {Verb::MultipleResponse, "MCRESPONSE", 3},
    {Verb::MessageStatus, "MSTATUS", 3},
    {Verb::KillTag, "KTAG", 3},
}};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

const VerbName* Find(Verb verb) {
    for (const VerbName& name : kVerbs)
        if (name.verb == verb) return &name;
    return nullptr;
}

bool IsDigits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return !text.empty();
}

int Number(std::string_view digits) {
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace

Command ParseCommand(std::string_view line) {
    Command command;
    line = Trimmed(line);
    size_t end = 0;
    while (end < line.size() && !IsBlank(line[end]))
        ++end;
    command.word = line.substr(0, end);
    command.argument = Trimmed(line.substr(end));
    if (command.word.size() < 4) return command;
    for (const VerbName& name : kVerbs) {
        if (command.word.size() > name.full.size()) continue;
        bool same = true;
        for (size_t i = 0; i < command.word.size() && same; ++i)
            same = Upper(command.word[i]) == name.full[i];
        if (same) {
            command.verb = name.verb;
            break;
        }
    }
    return command;
}

int LevelOf(Verb verb) {
    const VerbName* name = Find(verb);
    return name ? name->level : 0;
}

std::string_view NameOf(Verb verb) {
    const VerbName* name = Find(verb);
    return name ? name->full.substr(0, 4) : std::string_view();
}

std::string FormatReply(int code, std::string_view text) {
    std::string reply = std::to_string(code);
    reply.reserve(reply.size() + text.size() + 3);
    if (!text.empty()) reply.push_back(' ');
    for (char c : text)
        reply.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c);
    reply += "\r\n";
    return reply;
}

std::optional<int> ReplyCode(std::string_view line) {
    if (line.size() < 3 || !IsDigits(line.substr(0, 3))) return std::nullopt;
    if (line.size() > 3 && line[3] != ' ' && line[3] != '-' && line[3] != '\r' && line[3] != '\n')
        return std::nullopt;
    return Number(line.substr(0, 3));
}

std::string_view Unquoted(std::string_view argument) {
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
        return Trimmed(argument.substr(1, argument.size() - 2));
    return argument;
}

LineReader::Result LineReader::Take(std::string_view& input, std::string* line) {
    while (!input.empty()) {
        const size_t newline = input.find('\n');
        const std::string_view piece = input.substr(0, newline);
        const bool ended = newline != std::string_view::npos;
        input.remove_prefix(ended ? newline + 1 : input.size());
        if (discarding_) {
            if (ended) discarding_ = false;
            continue;
        }
        // The CR of a CR LF is not counted against the limit, even when the two come apart.
        size_t length = piece.size();
        if (length > 0 && piece.back() == '\r') --length;
        // A CR held from the last piece is part of the text unless this piece ends the line at once.
        size_t held = partial_.size();
        if (held > 0 && partial_.back() == '\r' && ended && piece.empty()) --held;
        if (held + length > maxLength_) {
            partial_.clear();
            discarding_ = !ended;
            return Result::TooLong;
        }
        partial_.append(ended ? piece.substr(0, length) : piece);
        if (!ended) break;
        if (!partial_.empty() && partial_.back() == '\r') partial_.pop_back();
        line->swap(partial_);
        partial_.clear();
        return Result::Line;
    }
    return Result::NeedMore;
}

std::optional<HoldTime> ParseHoldUntil(std::string_view argument) {
    argument = Trimmed(argument);
    size_t end = 0;
    while (end < argument.size() && !IsBlank(argument[end]))
        ++end;
    const std::string_view stamp = argument.substr(0, end);
    const std::string_view offset = Trimmed(argument.substr(end));
    if (!IsDigits(stamp) || (stamp.size() != 12 && stamp.size() != 14)) return std::nullopt;
    HoldTime time;
    std::string_view rest = stamp;
    if (stamp.size() == 14) {
        time.year = Number(rest.substr(0, 4));
        rest.remove_prefix(4);
    } else {
        // Two-digit years: 70 to 99 are the 1900s, the rest this century.
        const int yy = Number(rest.substr(0, 2));
        time.year = yy >= 70 ? 1900 + yy : 2000 + yy;
        rest.remove_prefix(2);
    }
    time.month = Number(rest.substr(0, 2));
    time.day = Number(rest.substr(2, 2));
    time.hour = Number(rest.substr(4, 2));
    time.minute = Number(rest.substr(6, 2));
    time.second = Number(rest.substr(8, 2));
    if (time.month < 1 || time.month > 12 || time.day < 1 || time.day > DaysInMonth(time.year, time.month) ||
        time.hour > 23 || time.minute > 59 || time.second > 59)
        return std::nullopt;
    if (!offset.empty()) {
        if (offset[0] != '+' && offset[0] != '-') return std::nullopt;
        const std::string_view digits = offset.substr(1);
        if (!IsDigits(digits) || digits.size() > 4) return std::nullopt;
        // "+1", "+01" are hours; "+0130" hours and minutes.
        int hours = digits.size() <= 2 ? Number(digits) : Number(digits.substr(0, digits.size() - 2));
        int minutes = digits.size() <= 2 ? 0 : Number(digits.substr(digits.size() - 2));
        if (hours > 14 || minutes > 59) return std::nullopt;
        time.utcOffsetMinutes = (offset[0] == '-' ? -1 : 1) * (hours * 60 + minutes);
    }
    return time;
}

std::optional<long long> UtcSeconds(const HoldTime& time) {
    if (!time.utcOffsetMinutes) return std::nullopt;
    const long long days = DaysFromCivil(time.year, time.month, time.day);
    return days * 86400 + time.hour * 3600 + time.minute * 60 + time.second - *time.utcOffsetMinutes * 60LL;
}

}  // namespace snpp
