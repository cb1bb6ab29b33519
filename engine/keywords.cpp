#include "keywords.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace rkl {

namespace {

struct Entry {
  std::string_view word;
  Keyword keyword;
};

// Sorted by word so that a line costs a binary search, not a walk over every name.
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

static_assert(std::is_sorted(kKeywords.begin(), kKeywords.end(),
                             [](const Entry& a, const Entry& b) { return a.word < b.word; }));

}  // namespace

Keyword ClassifyKeyword(const char* word) {
  const std::string_view w(word);
  if (w.empty()) return Keyword::kEmpty;
  const auto it = std::lower_bound(kKeywords.begin(), kKeywords.end(), w,
                                   [](const Entry& e, std::string_view key) { return e.word < key; });
  if (it != kKeywords.end() && it->word == w) return it->keyword;
  return Keyword::kUnknown;
}

}  // namespace rkl
