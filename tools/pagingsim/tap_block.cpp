#include "tools/pagingsim/tap_block.h"

#include <cstdint>
#include <cstdio>

namespace pagingsim {

namespace {

std::string Hex(char c) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned char>(c));
    return text;
}

bool IsTerminator(char c) {
    return c == tap::kEtx || c == tap::kEtb || c == tap::kUs;
}

}  // namespace

std::array<char, 3> TapChecksum(std::string_view stx_to_terminator) {
    std::int32_t sum = 0;
    for (char c : stx_to_terminator)
        sum += static_cast<std::int8_t>(c);
    const auto nibble = [sum](int shift) { return static_cast<char>(((sum >> shift) & 0xF) | 0x30); };
    return {nibble(8), nibble(4), nibble(0)};
}

std::string EncodeTapBlock(std::string_view data, char terminator) {
    std::string block;
    block.reserve(data.size() + 6);
    block += tap::kStx;
    block += data;
    block += terminator;
    const auto sum = TapChecksum(block);
    block.append(sum.begin(), sum.end());
    block += tap::kCr;
    return block;
}

void TapBlockReader::Begin() {
    stage_ = Stage::kData;
    data_.clear();
    data_count_ = 0;
    terminator_ = 0;
    checksum_.clear();
    control_problem_.clear();
}

std::optional<TapBlock> TapBlockReader::Feed(char c) {
    switch (stage_) {
        case Stage::kIdle:
            return std::nullopt;
        case Stage::kData:
            if (IsTerminator(c)) {
                terminator_ = c;
                stage_ = Stage::kChecksum;
                return std::nullopt;
            }
            if (c == tap::kStx) {
                // A sender that restarts a block mid-way (line noise ate the rest) is
                // answered for the new block only.
                Begin();
                return std::nullopt;
            }
            if ((static_cast<unsigned char>(c) < 0x20 && c != tap::kCr && c != tap::kSub) || c == '\x7f') {
                if (control_problem_.empty())
                    control_problem_ = "control character " + Hex(c) + " in the data";
            }
            ++data_count_;
            if (data_.size() <= tap::kMaxBlockData) data_ += c;
            return std::nullopt;
        case Stage::kChecksum:
            checksum_ += c;
            if (checksum_.size() == 3) stage_ = Stage::kFinalCr;
            return std::nullopt;
        case Stage::kFinalCr:
            return Finish(c == tap::kCr);
    }
    return std::nullopt;
}

TapBlock TapBlockReader::Finish(bool final_cr_seen) {
    stage_ = Stage::kIdle;
    TapBlock block;
    block.terminator = terminator_;
    const auto set = [&block](BlockVerdict verdict, std::string problem) {
        block.verdict = verdict;
        block.problem = std::move(problem);
    };
    bool checksum_digits_ok = true;
    for (char c : checksum_)
        checksum_digits_ok = checksum_digits_ok && (c >= 0x30 && c <= 0x3F);

    if (!final_cr_seen) {
        set(BlockVerdict::kMalformed, "no CR after the checksum");
    } else if (!checksum_digits_ok) {
        set(BlockVerdict::kMalformed, "checksum characters outside 0x30..0x3F");
    } else if (data_count_ > tap::kMaxBlockData) {
        set(BlockVerdict::kTooLong, std::to_string(data_count_) + " characters before the terminator");
    } else {
        std::string summed;
        summed += tap::kStx;
        summed += data_;
        summed += terminator_;
        const auto expected = TapChecksum(summed);
        if (checksum_ != std::string_view(expected.data(), expected.size())) {
            set(BlockVerdict::kChecksumError,
                "checksum " + checksum_ + ", expected " + std::string(expected.data(), expected.size()));
        } else if (!control_problem_.empty()) {
            set(BlockVerdict::kMalformed, control_problem_);
        } else if (terminator_ == tap::kEtb && (data_.empty() || data_.back() != tap::kCr)) {
            // ETB closes a block at a field boundary; a field that goes on must use US.
            set(BlockVerdict::kMalformed, "ETB after an unfinished field");
        } else if (terminator_ == tap::kEtx && !data_.empty() && data_.back() != tap::kCr) {
            set(BlockVerdict::kMalformed, "ETX after an unfinished field");
        }
    }
    if (block.verdict == BlockVerdict::kGood) block.data = std::move(data_);
    data_.clear();
    return block;
}

}  // namespace pagingsim
