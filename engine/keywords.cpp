#include "keywords.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace rkl {

namespace {

struct Entry {
    std::string_view word;
    Keyword keyword;
};

constexpr std::array kKeywords = {
    Entry{"ALERT", Keyword::kAlert},
    Entry{"BREAK", Keyword::kBreak},
    Entry{"CLOSEPORT", Keyword::kClosePort},
    Entry{"DATE", Keyword::kDate},
    Entry{"DEBUG", Keyword::kDebug},
    Entry{"DEBUG_OUT", Keyword::kDebugOut},
    Entry{"DEC", Keyword::kDec},
    Entry{"DELAY", Keyword::kDelay},
    Entry{"DTR", Keyword::kDtr},
    Entry{"ECHO", Keyword::kEcho},
    Entry{"ENTRY", Keyword::kEntry},
    Entry{"EXIT", Keyword::kExit},
    Entry{"FLUSH", Keyword::kFlush},
    Entry{"INC", Keyword::kInc},
    Entry{"INTERRUPT", Keyword::kInterrupt},
    Entry{"JUMP", Keyword::kJump},
    Entry{"JUMPEQU", Keyword::kJumpEqu},
    Entry{"JUMPNEQU", Keyword::kJumpNEqu},
    Entry{"JUMPSUB", Keyword::kJumpSub},
    Entry{"LABEL", Keyword::kLabel},
    Entry{"LOG", Keyword::kLog},
    Entry{"LOGASIS", Keyword::kLogAsIs},
    Entry{"OPENPORT", Keyword::kOpenPort},
    Entry{"RECV", Keyword::kRecv},
    Entry{"RECVTEXT", Keyword::kRecvText},
    Entry{"RETURN", Keyword::kReturn},
    Entry{"SEND", Keyword::kSend},
    Entry{"SENDASIS", Keyword::kSendAsIs},
    Entry{"SENDDELAY", Keyword::kSendDelay},
    Entry{"SERHSHAKE", Keyword::kSerHShake},
    Entry{"SERRESET", Keyword::kSerReset},
    Entry{"SERSETBUF", Keyword::kSerSetBuf},
    Entry{"SET", Keyword::kSet},
    Entry{"SYSBEEP", Keyword::kSysBeep},
    Entry{"TAPICLOSEPORT", Keyword::kTapiClosePort},
    Entry{"TAPIOPENPORT", Keyword::kTapiOpenPort},
    Entry{"TIME", Keyword::kTime},
    Entry{"UNSET", Keyword::kUnset},
};

// Every keyword fits in 16 bytes, so it packs into two integers: a line's command
// word is then found with integer comparisons instead of string comparisons. The
// byte order is the machine's; only equality matters.
struct PackedKey {
    uint64_t high = 0;
    uint64_t low = 0;
    friend bool operator==(const PackedKey& a, const PackedKey& b) = default;
};

constexpr size_t kMaxKeywordLength = 16;

PackedKey Pack(const char* word, size_t length) {
    char bytes[kMaxKeywordLength] = {};
    for (size_t i = 0; i < length; ++i)
        bytes[i] = word[i];
    PackedKey key;
    std::memcpy(&key.high, bytes, 8);
    std::memcpy(&key.low, bytes + 8, 8);
    return key;
}

struct Slot {
    PackedKey key;
    Keyword keyword = Keyword::kUnknown;
    bool used = false;
};

// A collision-free table: the multiplier is chosen once, at first use, so that every
// keyword lands in its own slot and a lookup is one multiplication and one compare.
constexpr unsigned kSlotBits = 7;

class KeywordTable {
public:
    KeywordTable() {
        for (uint64_t candidate = 0x9E3779B97F4A7C15ull;; candidate += 0x2545F4914F6CDD1Eull) {
            multiplier_ = candidate | 1;
            if (Fill()) return;
        }
    }

    Keyword Find(const PackedKey& key) const {
        const Slot& slot = slots_[SlotOf(key)];
        return slot.used && slot.key == key ? slot.keyword : Keyword::kUnknown;
    }

private:
    size_t SlotOf(const PackedKey& key) const {
        return static_cast<size_t>(((key.high ^ (key.low * 31)) * multiplier_) >> (64 - kSlotBits));
    }

    bool Fill() {
        slots_ = {};
        for (const Entry& e : kKeywords) {
            const PackedKey key = Pack(e.word.data(), e.word.size());
            Slot& slot = slots_[SlotOf(key)];
            if (slot.used) return false;
            slot = {key, e.keyword, true};
        }
        return true;
    }

    uint64_t multiplier_ = 0;
    std::array<Slot, size_t{1} << kSlotBits> slots_{};
};

// Built at load time from constant data, so lookups need no first-use guard.
const KeywordTable g_table;

}  // namespace

Keyword ClassifyKeyword(const char* word) {
    return ClassifyKeyword(word, std::strlen(word));
}

Keyword ClassifyKeyword(const char* word, size_t length) {
    if (length == 0) return Keyword::kEmpty;
    if (length > kMaxKeywordLength) return Keyword::kUnknown;
    return g_table.Find(Pack(word, length));
}

}  // namespace rkl
