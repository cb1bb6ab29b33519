// The bytes are a client's stream, cut at the first byte's value into two pieces so that
// lines split across reads are exercised too. Whatever the bytes, every line ends parsed,
// a reply made from it stays one line, and no line held grows past the limit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "paging/snpp/snpp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    constexpr size_t kLimit = 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t cut = bytes.empty() ? 0 : data[0] % (bytes.size() + 1);
    snpp::LineReader reader(kLimit);
    std::string line;
    for (std::string_view piece : {bytes.substr(0, cut), bytes.substr(cut)}) {
        for (;;) {
            const auto result = reader.Take(piece, &line);
            if (reader.Pending() > kLimit + 1) __builtin_trap();
            if (result == snpp::LineReader::Result::NeedMore) break;
            if (result != snpp::LineReader::Result::Line) continue;
            if (line.size() > kLimit || line.find('\n') != std::string::npos) __builtin_trap();
            const snpp::Command command = snpp::ParseCommand(line);
            if (command.verb != snpp::Verb::Unknown && snpp::NameOf(command.verb).size() != 4)
                __builtin_trap();
            const std::string reply = snpp::FormatReply(500, command.argument);
            if (reply.find_first_of("\r\n") != reply.size() - 2) __builtin_trap();
            if (snpp::ReplyCode(reply) != 500) __builtin_trap();
            if (const auto hold = snpp::ParseHoldUntil(snpp::Unquoted(command.argument)))
                (void)snpp::UtcSeconds(*hold);
        }
    }
    return 0;
}
