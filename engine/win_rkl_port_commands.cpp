// The port level of the dispatch: serial port, text exchange, telephony and the small
// utilities around them. The serial and telephony commands stop the entry with
// -200 "Not Available" until their platform support is wired in here; each keeps its
// trace line and its argument checks so that only the port access itself is missing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>

#include "host_link.h"
#include "engine_tick.h"
#include "win_rkl.h"

namespace rkl {

namespace {

// The longest a wait sleeps before it pumps the host's events again.
constexpr std::chrono::milliseconds kPumpInterval{10};
// No script waits longer than this many ticks (about 200 days); the bound keeps tick
// arithmetic far from overflow.
constexpr int64_t kMaxWaitTicks = int64_t{1} << 30;

}  // namespace

void TWinRKL::DoPortCommand(Keyword keyword, const char* command, char* args) {
  (void)command;
  switch (keyword) {
    case Keyword::kBreak: return Break(args);
    case Keyword::kClosePort: return ClosePort(args);
    case Keyword::kDelay: return MyDelay(args);
    case Keyword::kDtr: return DTR(args);
    case Keyword::kFlush: return Flush(args);
    case Keyword::kOpenPort: return OpenPort(args);
    case Keyword::kRecv: return Recv(args);
    case Keyword::kRecvText: return RecvText(args);
    case Keyword::kSend: return Send(args);
    case Keyword::kSerHShake: return MySerHShake(args);
    case Keyword::kSerReset: return MySerReset(args);
    case Keyword::kSerSetBuf: return MySerSetBuf(args);
    case Keyword::kSysBeep: return SysBeep(args);
    case Keyword::kTime: return Time(args);
    case Keyword::kDate: return Date(args);
    case Keyword::kTapiOpenPort: return TAPIOpenPort(args);
    case Keyword::kTapiClosePort: return TAPIClosePort(args);
    default: return;
  }
}

void TWinRKL::NotAvailable(const char* command) {
  SetError(kNotAvailable, command);
  Stop();
}

void TWinRKL::ReleasePort() {
  // No port can be open until the serial support lands; nothing to close yet.
  port_ = nullptr;
}

void TWinRKL::WaitTicks(int64_t ticks) {
  ticks = std::clamp<int64_t>(ticks, -1, kMaxWaitTicks);
  const int64_t last = CurrentTick() + ticks;
  while (running_ && !destroyRequested_) {
    host::Pump();
    if (CurrentTick() > last) break;
    const auto now = std::chrono::steady_clock::now();
    const auto until = TickStart(last + 1);
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(until - now, kPumpInterval));
  }
}

void TWinRKL::Break(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::Break ('%s');\r", args);
  NotAvailable("BREAK");
}

void TWinRKL::ClosePort(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::ClosePort ('%s');\r", args);
  char label[kLineSize];
  GetWord(args, 1, label);
  if (!label[0]) {
    SetError(kClosePortNoLabel);
    Stop();
    return;
  }
  // Closing a closed port does nothing.
  if (port_) NotAvailable("CLOSEPORT");
}

void TWinRKL::TAPIClosePort(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::ClosePort ('%s');\r", args);
  char label[kLineSize];
  GetWord(args, 1, label);
  if (!label[0]) {
    SetError(kClosePortNoLabel);
    Stop();
    return;
  }
  if (port_) NotAvailable("TAPICLOSEPORT");
}

void TWinRKL::MyDelay(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::MyDelay ('%s');\r", args);
  WaitTicks(ParseDecimal(args));
}

void TWinRKL::DTR(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::DTR ('%s');\r", args);
  NotAvailable("DTR");
}

void TWinRKL::Flush(char* args) {
  (void)args;
  if (Tracing(kTracePort)) Trace("TWinRKL::Flush ('');\r");
  NotAvailable("FLUSH");
}

void TWinRKL::OpenPort(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::OpenPort ('%s');\r", args);
  char name[kLineSize];
  GetWord(args, 1, name);
  ToUpperAscii(name);
  CopyText(portName_, name);
  NotAvailable("OPENPORT");
}

void TWinRKL::TAPIOpenPort(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::TAPIOpenPort ('%s');\r", args);
  NotAvailable("TAPIOPENPORT");
}

void TWinRKL::Recv(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::Recv ('%s');\r", args);
  NotAvailable("RECV");
}

void TWinRKL::RecvText(char* args) {
  if (Tracing(kTraceInterpreter)) Trace("TRKL::RecvText ('%s');\r", args);
  const char* p = SkipBlanks(args);
  const int64_t slot = ParseDecimal(p);
  while (*p != '\0' && !IsBlank(*p)) ++p;
  p = SkipBlanks(p);
  const char* label = p;
  while (*p != '\0' && !IsBlank(*p)) ++p;
  const bool hasLabel = p != label;
  const char* text = SkipBlanks(p);
  if (slot < 0 || slot > 34) {
    SetError(kRecvTextInvalidIndex);
    Stop();
  } else if (!hasLabel) {
    SetError(kRecvTextNoLabel);
    Stop();
  } else if (*text == '\0') {
    SetError(kRecvTextNoText);
    Stop();
  } else {
    NotAvailable("RECVTEXT");
  }
}

void TWinRKL::Send(char* text) {
  if (Tracing(kTracePort)) Trace("TWinRKL::Send ('%s');\r", text);
  NotAvailable("SEND");
}

void TWinRKL::MySerHShake(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::MySerHShake ('%s');\r", args);
  NotAvailable("SERHSHAKE");
}

void TWinRKL::MySerReset(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::MySerReset ('%s');\r", args);
  NotAvailable("SERRESET");
}

void TWinRKL::MySerSetBuf(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::MySerSetBuf ('%s');\r", args);
  NotAvailable("SERSETBUF");
}

void TWinRKL::SysBeep(char* args) {
  // The argument is read and not used. A library on Linux has no system beep of its
  // own; the host's notifications carry everything the user needs to see.
  (void)ParseDecimal(args);
}

namespace {

// Runs "name value" for TIME and DATE: the name loses the blanks around it.
void TrimBlanks(char*& text) {
  text = const_cast<char*>(SkipBlanks(text));
  size_t n = std::strlen(text);
  while (n > 0 && IsBlank(text[n - 1])) text[--n] = '\0';
}

bool LocalNow(std::tm& out) {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);  // single-threaded engine
  if (!local) return false;
  out = *local;
  return true;
}

}  // namespace

void TWinRKL::Time(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::Time ('%s');\r", args);
  TrimBlanks(args);
  if (!args[0]) {
    SetError(kSetNoVariable);
    Stop();
    return;
  }
  std::tm now{};
  char stamp[32] = "00:00:00";
  if (LocalNow(now)) std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d", now.tm_hour, now.tm_min, now.tm_sec);
  char line[kLineSize];
  std::snprintf(line, sizeof line, "%s %s", args, stamp);
  Set(line);
}

void TWinRKL::Date(char* args) {
  if (Tracing(kTracePort)) Trace("TWinRKL::Date ('%s');\r", args);
  TrimBlanks(args);
  if (!args[0]) {
    SetError(kSetNoVariable);
    Stop();
    return;
  }
  std::tm now{};
  char stamp[32] = "01/01/70";
  if (LocalNow(now))
    std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d", now.tm_mon + 1, now.tm_mday, now.tm_year % 100);
  char line[kLineSize];
  std::snprintf(line, sizeof line, "%s %s", args, stamp);
  Set(line);
}

}  // namespace rkl
