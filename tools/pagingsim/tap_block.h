#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pagingsim {

namespace tap {
inline constexpr char kStx = '\x02';
inline constexpr char kEtx = '\x03';
inline constexpr char kEot = '\x04';
inline constexpr char kAck = '\x06';
inline constexpr char kCr = '\r';
inline constexpr char kLf = '\n';
inline constexpr char kNak = '\x15';
inline constexpr char kEtb = '\x17';
inline constexpr char kSub = '\x1a';
inline constexpr char kEsc = '\x1b';
inline constexpr char kRs = '\x1e';
inline constexpr char kUs = '\x1f';

// Characters between STX and the terminator; a whole block is then at most
// 1 + 250 + 1 + 3 + 1 = 256 bytes.
inline constexpr std::size_t kMaxBlockData = 250;
}  // namespace tap

// The three checksum characters of a block: the sum of every byte from STX to the
// terminator inclusive, each taken as a signed 8-bit value (this is how the sending
// program adds them, and it is the classic sum for 7-bit text), written as three
// nibbles, most significant first, each OR 0x30.
std::array<char, 3> TapChecksum(std::string_view stx_to_terminator);

// A complete block: STX, data, terminator, checksum, CR. For tests and tools.
std::string EncodeTapBlock(std::string_view data, char terminator);

enum class BlockVerdict {
    kGood,
    kChecksumError,  // well formed, but the checksum does not add up
    kMalformed,      // a character that has no place where it stands
    kTooLong,        // more than kMaxBlockData characters before the terminator
};

struct TapBlock {
    std::string data;     // between STX and the terminator, as received
    char terminator = 0;  // ETX, ETB or US
    BlockVerdict verdict = BlockVerdict::kGood;
    std::string problem;  // why the verdict is not kGood, for the trace
};

// Reads one block byte by byte after its STX: data up to ETX/ETB/US, three checksum
// characters, CR. Memory stays bounded whatever arrives.
class TapBlockReader {
public:
    // Starts a new block; the STX itself has been consumed by the caller.
    void Begin();
    bool InBlock() const { return stage_ != Stage::kIdle; }
    // Feeds one byte; returns the block once its closing CR (or the byte that should
    // have been that CR) has arrived.
    std::optional<TapBlock> Feed(char c);

private:
    enum class Stage { kIdle, kData, kChecksum, kFinalCr };
    TapBlock Finish(bool final_cr_seen);

    Stage stage_ = Stage::kIdle;
    std::string data_;
    std::size_t data_count_ = 0;
    char terminator_ = 0;
    std::string checksum_;
    std::string control_problem_;
};

}  // namespace pagingsim
