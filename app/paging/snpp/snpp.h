#pragma once
// SNPP (RFC 1861) on the wire, for both ends: one command line into its verb and argument,
// replies out, and a socket's bytes cut into bounded lines. Plain C++, no I/O.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace snpp {

enum class Verb {
    Unknown,
    // level 1
    Page,
    Message,
    Reset,
    Send,
    Quit,
    Help,
    // level 2
    Data,
    Login,
    Level,
    Alert,
    Coverage,
    HoldUntil,
    CallerId,
    Subject,
    // level 3 (two-way)
    TwoWay,
    Ping,
    ExpTag,
    NoQueueing,
    AckRead,
    ReplyType,
    MultipleResponse,
    MessageStatus,
    KillTag,
};

struct Command {
    Verb verb = Verb::Unknown;
    std::string_view word;      // the verb as the client wrote it
    std::string_view argument;  // the rest of the line, blanks at both ends taken off
};

// A line without its line end. A verb is its first four letters in any case ("PAGE",
// "page"); a longer word counts when it goes on with the verb's full name ("PAGER").
Command ParseCommand(std::string_view line);

// 1, 2 or 3; 0 for Verb::Unknown.
int LevelOf(Verb verb);
// The verb's four letters as a client sends them ("PAGE", "HOLD", "2WAY"); empty for Unknown.
std::string_view NameOf(Verb verb);

// "250 text\r\n". Control characters in `text` become blanks, so a reply is always one line.
std::string FormatReply(int code, std::string_view text);
// The code of a reply line ("250 ..." gives 250); none unless it starts with three digits.
std::optional<int> ReplyCode(std::string_view line);

// The argument with one pair of surrounding double quotes taken off ("\"Ann Demo\"").
std::string_view Unquoted(std::string_view argument);

// Cuts a byte stream into lines ending in LF (a CR before it is dropped) and never keeps
// more than `maxLength` bytes of one line: a longer line is reported once as TooLong and the
// rest of it, up to its LF, is thrown away. A line may arrive in any number of pieces.
class LineReader {
public:
    enum class Result { Line, TooLong, NeedMore };
    explicit LineReader(size_t maxLength) : maxLength_(maxLength) {}
    // Takes bytes from the front of `input`: stops after one line (Line, in *line), at the
    // moment a line passes the limit (TooLong), or when `input` is used up (NeedMore).
    Result Take(std::string_view& input, std::string* line);
    // Bytes held of a line not yet ended.
    size_t Pending() const { return partial_.size(); }

private:
    size_t maxLength_;
    std::string partial_;
    bool discarding_ = false;
};

// HOLDuntil's argument: "YYMMDDHHMMSS" (or with a four-digit year), then optionally the
// difference from GMT ("+0100", "-5", "-0530"). Without it the time is the gateway's own.
struct HoldTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::optional<int> utcOffsetMinutes;
};
std::optional<HoldTime> ParseHoldUntil(std::string_view argument);
// Seconds since 1970 UTC of a hold time that carries its difference from GMT.
std::optional<long long> UtcSeconds(const HoldTime& time);

}  // namespace snpp
