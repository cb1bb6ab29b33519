#include "win_rkl.h"

#include <cstring>

#include "host_link.h"

namespace rkl {

TWinRKL::TWinRKL()
    : waiter_(
          platform::SystemClock(), [] { host::Pump(); }, [this] { return !running_ || destroyRequested_; }),
      matchBuffer_(matchStorage_, static_cast<int>(kMatchBufferSize)) {
    // The matcher's own fault lines belong to the interpreter's trace bit.
    recvTexts_.SetTrace([this](const char* text) {
        if (Tracing(kTraceInterpreter)) Trace("%s", text);
    });
}

// A call left up would keep the modem busy for the next program: the line goes with the
// handle, without waiting for the provider's replies (a handle being destroyed never waits).
TWinRKL::~TWinRKL() {
    ReleasePort();
    tapiLine_.Release(nullptr, TTapiLine::Limits{});
}

int32_t TWinRKL::Init(ScriptStream stream, RKL_WINDOW echoWindow, RKL_WINDOW logWindow) {
    queueSize_ = kDefaultQueueSize;
    const int32_t result = Load(std::move(stream));
    if (result == 0) {
        std::memset(matchStorage_, 0, sizeof matchStorage_);
        matchBuffer_.Clear();
    }
    echoWindow_ = echoWindow;
    logWindow_ = logWindow;
    return result;
}

void TWinRKL::RequestDestroy() {
    destroyRequested_ = true;
    Stop();
}

void TWinRKL::DoCommand(Keyword keyword, const char* command, char* args) {
    switch (keyword) {
        case Keyword::kAlert:
            return Alert(args);
        case Keyword::kEcho:
            return Echo(args);
        case Keyword::kLog:
            return Log(args);
        case Keyword::kDebugOut:
            return DebugOut(args);
        default:
            break;
    }
    if (IsPortLevel(keyword)) return DoPortCommand(keyword, command, args);
    TRKL::DoCommand(keyword, command, args);
}

void TWinRKL::Echo(char* text) {
    if (Tracing(kTraceHost)) Trace("TRKL::Echo ('%s');\r", text);
    host::SendMessageTo(echoWindow_, RKL_MSG_ECHO, 0, reinterpret_cast<intptr_t>(text));
}

void TWinRKL::Log(char* text) {
    if (Tracing(kTraceHost)) Trace("TRKL::Log ('%s');\r", text);
    host::SendMessageTo(logWindow_, RKL_MSG_LOG, 0, reinterpret_cast<intptr_t>(text));
}

void TWinRKL::LogAsIs(char* text) {
    Log(text);
}

void TWinRKL::SendAsIs(char* text) {
    Send(text);
}

void TWinRKL::DebugOut(const char* text) {
    host::EmitTrace(text);
}

void TWinRKL::Alert(char* args) {
    if (Tracing(kTraceHost)) Trace("TRKL::Alert ('%s');\r", args);
    char label[kLineSize];
    GetWord(args, 1, label);
    const char* message = SkipBlanks(args);
    while (*message != '\0' && !IsBlank(*message))
        ++message;
    message = SkipBlanks(message);
    // There is no window lookup by class here: the echo window's owner is the host's
    // main window, and the host decides where the box appears.
    alert_ = true;
    const int32_t answer = host::Alert(echoWindow_, message, RKL_ALERT_CAPTION);
    alert_ = false;
    if (answer == RKL_IDCANCEL) JumpTo(label, kJumpNoLabel);
}

}  // namespace rkl
