// The command words of a script line and the dispatch level each belongs to.
#pragma once

#include <cstddef>

namespace rkl {

enum class Keyword {
    kEmpty,
    kUnknown,
    // host notifications
    kAlert,
    kEcho,
    kLog,
    kDebugOut,
    // port commands
    kBreak,
    kClosePort,
    kDelay,
    kDtr,
    kFlush,
    kOpenPort,
    kRecv,
    kRecvText,
    kSend,
    kSerHShake,
    kSerReset,
    kSerSetBuf,
    kSysBeep,
    kTime,
    kDate,
    kTapiOpenPort,
    kTapiClosePort,
    // interpreter
    kDebug,
    kDec,
    kEntry,
    kExit,
    kInc,
    kInterrupt,
    kJump,
    kJumpEqu,
    kJumpNEqu,
    kJumpSub,
    kLogAsIs,
    kLabel,
    kReturn,
    kSendAsIs,
    kSendDelay,
    kSet,
    kUnset,
};

// `word` must already be upper case.
Keyword ClassifyKeyword(const char* word);
Keyword ClassifyKeyword(const char* word, size_t length);

inline bool IsHostLevel(Keyword k) {
    return k >= Keyword::kAlert && k <= Keyword::kDebugOut;
}
inline bool IsPortLevel(Keyword k) {
    return k >= Keyword::kBreak && k <= Keyword::kTapiClosePort;
}

}  // namespace rkl
