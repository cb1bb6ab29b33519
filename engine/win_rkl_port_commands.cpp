// The port level of the dispatch: serial port, text exchange, telephony and the small
// utilities around them. Every wait goes through the handle's Waiter, which sleeps in
// poll() between pumps of the host, so a long RECV or DELAY costs almost no CPU and a
// cancel from the host ends it at the next pump. Telephony waits the same way, between
// looks at the provider's events (tapi_line.h).
#include <errno.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "engine_tick.h"
#include "host_link.h"
#include "platform/network_address.h"
#include "platform/paced_io.h"
#include "platform/port_names.h"
#include "platform/telephony/line_error_names.h"
#include "text_exchange/control_char_names.h"
#include "win_rkl.h"

namespace rkl {

namespace {

// No script waits longer than this many ticks (about 200 days); the bound keeps tick
// arithmetic far from overflow.
constexpr int64_t kMaxWaitTicks = int64_t{1} << 30;

int ClampTicks(int64_t ticks) {
    return static_cast<int>(std::clamp<int64_t>(ticks, -1, kMaxWaitTicks));
}

// Room for a device path from the host's mapPort hook.
constexpr int32_t kDevicePathSize = 4096;

}  // namespace

void TWinRKL::DoPortCommand(Keyword keyword, const char* command, char* args) {
    (void)command;
    switch (keyword) {
        case Keyword::kBreak:
            return Break(args);
        case Keyword::kClosePort:
            return ClosePort(args);
        case Keyword::kDelay:
            return MyDelay(args);
        case Keyword::kDtr:
            return DTR(args);
        case Keyword::kFlush:
            return Flush(args);
        case Keyword::kOpenPort:
            return OpenPort(args);
        case Keyword::kRecv:
            return Recv(args);
        case Keyword::kRecvText:
            return RecvText(args);
        case Keyword::kSend:
            return Send(args);
        case Keyword::kSerHShake:
            return MySerHShake(args);
        case Keyword::kSerReset:
            return MySerReset(args);
        case Keyword::kSerSetBuf:
            return MySerSetBuf(args);
        case Keyword::kSysBeep:
            return SysBeep(args);
        case Keyword::kTime:
            return Time(args);
        case Keyword::kDate:
            return Date(args);
        case Keyword::kTapiOpenPort:
            return TAPIOpenPort(args);
        case Keyword::kTapiClosePort:
            return TAPIClosePort(args);
        default:
            return;
    }
}

// No drain here: a handle being destroyed must neither wait nor pump the host.
void TWinRKL::ReleasePort() {
    port_->Close(nullptr);
}

void TWinRKL::PortLost() {
    port_->Close(nullptr);
    portLost_ = true;
    Fail(kPortLost, portName_);
}

int TWinRKL::ApplySettings(const platform::SerialSettings& wanted) {
    const platform::SerialSettings before = dcb_;
    dcb_ = wanted;
    const int error = port_->ApplySettings(dcb_);
    if (error != 0) dcb_ = before;
    return error;
}

void TWinRKL::TraceChar(int32_t bit, unsigned char c) {
    if (Tracing(bit)) Trace("%s", FormatTraceChar(c).c_str());
}

void TWinRKL::Break(char* args) {
    if (Tracing(kTracePort)) Trace("TWinRKL::Break ('%s');\r", args);
    const int error = platform::SendBreak(*port_, ClampTicks(ParseDecimal(args)), waiter_);
    // ECANCELED: the host cancelled during the wait; the entry has stopped with its code.
    if (error != 0 && error != ECANCELED) {
        Fail(kBreakError);
    }
}

// CLOSEPORT's part of both close commands, leaving the script's label (kLineSize bytes) in
// `label`; false when there was none (the entry has failed).
bool TWinRKL::CloseCommPort(const char* command, char* args, char* label) {
    if (Tracing(kTracePort)) Trace("TWinRKL::%s ('%s');\r", command, args);
    GetWord(args, 1, label);
    if (!label[0]) {
        Fail(kClosePortNoLabel);
        return false;
    }
    portLost_ = false;
    // Closing a closed port does nothing.
    if (port_->IsOpen() && port_->Close(&waiter_) != 0) JumpTo(label, kJumpNoLabel);
    return true;
}

void TWinRKL::ClosePort(char* args) {
    char label[kLineSize];
    CloseCommPort("ClosePort", args, label);
}

void TWinRKL::TAPIClosePort(char* args) {
    char label[kLineSize];
    if (!CloseCommPort("TAPIClosePort", args, label)) return;
    // The line goes down even when the port was closed already (by CLOSEPORT, or lost): a call
    // left up would keep the modem busy until the handle is destroyed.
    if (!tapiLine_.Active()) return;
    const TTapiLine::Limits limits = TTapiLine::DefaultLimits();
    if (!tapiLine_.Release(&waiter_, limits) && running_) {
        SetError(kTelephonyNoReply, std::to_string(limits.dropSeconds).c_str());
        JumpTo(label, kJumpNoLabel);
    }
}

void TWinRKL::MyDelay(char* args) {
    if (Tracing(kTracePort)) Trace("TWinRKL::MyDelay ('%s');\r", args);
    platform::Delay(waiter_, ClampTicks(ParseDecimal(args)));
}

void TWinRKL::DTR(char* args) {
    if (Tracing(kTracePort)) Trace("TWinRKL::DTR ('%s');\r", args);
    char word[kLineSize];
    GetWord(args, 1, word);
    platform::SerialSettings wanted = dcb_;
    if (EqualsNoCase(word, "ON")) {
        wanted.fDtrControl = platform::kDtrControlEnable;
    } else if (EqualsNoCase(word, "OFF")) {
        wanted.fDtrControl = platform::kDtrControlDisable;
    } else {
        Fail(kDtrParameter);
        return;
    }
    if (ApplySettings(wanted) != 0) {
        Fail(kDtrError);
    }
}

void TWinRKL::Flush(char* args) {
    (void)args;
    if (Tracing(kTracePort)) Trace("TWinRKL::Flush ('');\r");
    matchBuffer_.Clear();
    if (port_->Purge(true, false) != 0) {
        Fail(kFlushTxError);
    } else if (port_->Purge(false, true) != 0) {
        Fail(kFlushRxError);
    }
}

void TWinRKL::OpenPort(char* args) {
    if (Tracing(kTracePort)) Trace("TWinRKL::OpenPort ('%s');\r", args);
    char name[kLineSize];
    char label[kLineSize];
    GetWord(args, 1, name);
    GetWord(args, 2, label);
    ToUpperAscii(name);
    CopyText(portName_, name);
    portLost_ = false;
    // A second OPENPORT on the same handle replaces the port: the old descriptor is closed
    // first, so it neither leaks nor keeps the device locked against the new open.
    port_->Close(&waiter_);
    std::string device;
    char mapped[kDevicePathSize];
    if (host::MapPort(portName_, mapped, kDevicePathSize)) {
        device = mapped;
    } else {
        device = platform::DefaultPortDevice(portName_);
    }
    // A name the host maps to tcp://HOST:PORT is a connection to a paging terminal; the
    // default rule never yields one, so only the user's settings can.
    port_ = platform::IsNetworkAddress(device) ? static_cast<platform::Port*>(&tcpPort_) : &serialPort_;
    const int error = port_->OpenLine(device, dcb_, waiter_);
    if (error == ECANCELED && !running_) {
        // Cancelled while connecting: the entry has stopped with its own code.
        matchBuffer_.Clear();
        return;
    }
    if (error != 0) {
        char text[kLineSize];
        std::snprintf(text, sizeof text, "Open Error %d: %s", error, port_->OpenErrorText(error).c_str());
        SetError(error, text);
        port_->Close(nullptr);
        JumpTo(label, kJumpNoLabel);
    }
    matchBuffer_.Clear();
}

void TWinRKL::TAPIOpenPort(char* args) {
    if (Tracing(kTracePort)) Trace("TWinRKL::TAPIOpenPort ('%s');\r", args);
    char lineIdWord[kLineSize];
    char label[kLineSize];
    GetWord(args, 1, lineIdWord);
    GetWord(args, 2, label);
    const auto permanentLineId = static_cast<uint32_t>(ParseDecimal(lineIdWord));
    // A second open replaces the first, as OPENPORT does: neither the old port nor the old
    // call may stay behind.
    portLost_ = false;
    const TTapiLine::Limits limits = TTapiLine::DefaultLimits();
    port_->Close(&waiter_);
    tapiLine_.Release(&waiter_, limits);
    port_ = &serialPort_;

    vorla::telephony::CommPort commPort;
    const TTapiLine::Result result = tapiLine_.Open(permanentLineId, waiter_, limits, commPort);
    switch (result.outcome) {
        case TTapiLine::Outcome::Open: {
            const int error = commPort.fd >= 0 ? serialPort_.AdoptPrepared(commPort.fd, dcb_)
                                               : serialPort_.OpenPrepared(commPort.path, dcb_);
            if (error == 0) {
                CopyText(portName_, commPort.path);
                break;
            }
            char text[kLineSize];
            std::snprintf(text, sizeof text, "TAPIOpen Error %d: %s", error,
                          platform::PlatformErrorText(error).c_str());
            SetError(error, text);
            AbandonTelephony(label);
            break;
        }
        case TTapiLine::Outcome::LineError:
            SetError(result.code, vorla::telephony::LineErrorName(result.code).c_str());
            AbandonTelephony(label);
            break;
        case TTapiLine::Outcome::NoReply:
            SetError(kTelephonyNoReply, std::to_string(limits.replySeconds).c_str());
            AbandonTelephony(label);
            break;
        case TTapiLine::Outcome::NotConnected:
            SetError(kTelephonyNotConnected, std::to_string(limits.connectSeconds).c_str());
            AbandonTelephony(label);
            break;
        case TTapiLine::Outcome::CallEnded:
            SetError(kTelephonyCallEnded);
            AbandonTelephony(label);
            break;
        case TTapiLine::Outcome::Stopped:
            // Cancelled (or being destroyed): the entry has stopped with its own code; the line
            // goes down at once, without waiting for the provider.
            port_->Close(nullptr);
            tapiLine_.Release(nullptr, limits);
            break;
    }
    matchBuffer_.Clear();
}

void TWinRKL::AbandonTelephony(const char* label) {
    port_->Close(nullptr);
    tapiLine_.Release(&waiter_, TTapiLine::DefaultLimits());
    JumpTo(label, kJumpNoLabel);
}

void TWinRKL::Recv(char* args) {
    if (Tracing(kTracePort)) Trace("TWinRKL::Recv ('%s');\r", args);
    if (portLost_) return PortLost();
    const platform::Tick deadline = waiter_.NowTick() + ClampTicks(ParseDecimal(args));
    std::string label;
    const auto end = platform::ReceiveUntil(port_, deadline, waiter_, [&](unsigned char c) {
        TraceChar(kTraceReceivedChars, c);
        matchBuffer_.Push(c);
        const TRecvText* hit = recvTexts_.MatchBuffer(matchBuffer_);
        if (hit == nullptr) return false;
        label = hit->label;
        return true;
    });
    if (end == platform::ReceiveEnd::Matched) JumpTo(label.c_str(), kJumpNoLabel);
    if (end == platform::ReceiveEnd::Lost) PortLost();
}

void TWinRKL::RecvText(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::RecvText ('%s');\r", args);
    const char* p = SkipBlanks(args);
    const int64_t slot = ParseDecimal(p);
    while (*p != '\0' && !IsBlank(*p))
        ++p;
    p = SkipBlanks(p);
    const char* label = p;
    while (*p != '\0' && !IsBlank(*p))
        ++p;
    const std::string_view labelText(label, static_cast<size_t>(p - label));
    const char* text = SkipBlanks(p);
    if (slot < 0 || slot >= TRecvTextSet::kSlotCount) {
        Fail(kRecvTextInvalidIndex);
    } else if (labelText.empty()) {
        Fail(kRecvTextNoLabel);
    } else if (*text == '\0') {
        Fail(kRecvTextNoText);
    } else if (!recvTexts_.Arm(static_cast<int>(slot), labelText, text)) {
        Fail(kNewMatchBufferFailed);
    }
}

void TWinRKL::Send(char* text) {
    if (Tracing(kTracePort)) Trace("TWinRKL::Send ('%s');\r", text);
    if (portLost_) return PortLost();
    const auto end = platform::SendPaced(port_, text, ClampTicks(sendDelay_), waiter_,
                                         [this](unsigned char c) { TraceChar(kTraceSentChars, c); });
    if (end == platform::WaitEnd::Failed) PortLost();
}

void TWinRKL::MySerHShake(char* args) {
    if (Tracing(kTracePort)) Trace("TWinRKL::MySerHShake ('%s');\r", args);
    char mode[kLineSize];
    char xon[kLineSize];
    char xoff[kLineSize];
    GetWord(args, 1, mode);
    GetWord(args, 2, xon);
    GetWord(args, 3, xoff);
    ToUpperAscii(mode);
    platform::SerialSettings wanted = dcb_;
    if (std::strcmp(mode, "HW") == 0) {
        wanted.fOutxCtsFlow = true;
        wanted.fOutxDsrFlow = true;
        wanted.fDtrControl = platform::kDtrControlHandshake;
        wanted.fRtsControl = platform::kRtsControlHandshake;
        wanted.fOutX = false;
        wanted.fInX = false;
        wanted.XonChar = 0;
        wanted.XoffChar = 0;
    } else if (std::strcmp(mode, "SW") == 0) {
        if (!xon[0] || !xoff[0]) {
            Fail(kSerHShakeXonXoff);
            return;
        }
        wanted.fOutxCtsFlow = false;
        wanted.fOutxDsrFlow = false;
        wanted.fDtrControl = platform::kDtrControlEnable;
        wanted.fRtsControl = platform::kRtsControlEnable;
        wanted.fOutX = true;
        wanted.fInX = true;
        wanted.XonChar = 17;
        wanted.XoffChar = 19;
    } else if (std::strcmp(mode, "NONE") == 0) {
        wanted.fOutxCtsFlow = false;
        wanted.fOutxDsrFlow = false;
        wanted.fDtrControl = platform::kDtrControlEnable;
        wanted.fRtsControl = platform::kRtsControlEnable;
        wanted.fOutX = false;
        wanted.fInX = false;
        wanted.XonChar = 0;
        wanted.XoffChar = 0;
    } else {
        Fail(kSerHShakeParameter);
        return;
    }
    wanted.XonLim = 384;
    wanted.XoffLim = 384;
    wanted.fBinary = true;
    wanted.fParity = true;
    if (ApplySettings(wanted) != 0) {
        Fail(kSerHShakeError);
    }
}

void TWinRKL::MySerReset(char* args) {
    if (Tracing(kTracePort)) Trace("TWinRKL::MySerReset ('%s');\r", args);
    char baud[kLineSize];
    char parity[kLineSize];
    char dataBits[kLineSize];
    char stopBits[kLineSize];
    GetWord(args, 1, baud);
    GetWord(args, 2, parity);
    GetWord(args, 3, dataBits);
    GetWord(args, 4, stopBits);
    platform::SerialSettings wanted = dcb_;
    (void)port_->ReadSettings(wanted);  // what the device holds now, when it can say
    // Any rate is taken here; the device refuses the ones it cannot run.
    wanted.BaudRate = static_cast<uint32_t>(ParseDecimal(baud));
    if (EqualsNoCase(parity, "NONE")) {
        wanted.Parity = platform::kNoParity;
    } else if (EqualsNoCase(parity, "ODD")) {
        wanted.Parity = platform::kOddParity;
    } else if (EqualsNoCase(parity, "EVEN")) {
        wanted.Parity = platform::kEvenParity;
    } else if (EqualsNoCase(parity, "MARK")) {
        wanted.Parity = platform::kMarkParity;
    } else {
        Fail(kSerResetParity);
        return;
    }
    const int64_t bits = ParseDecimal(dataBits);
    if (bits < 3 || bits > 8) {
        Fail(kSerResetDataBits);
        return;
    }
    wanted.ByteSize = static_cast<int>(bits);
    if (std::strcmp(stopBits, "1") == 0) {
        wanted.StopBits = platform::kOneStopBit;
    } else if (std::strcmp(stopBits, "1.5") == 0) {
        wanted.StopBits = platform::kOne5StopBits;
    } else if (std::strcmp(stopBits, "2") == 0) {
        wanted.StopBits = platform::kTwoStopBits;
    } else {
        Fail(kSerResetStopBits);
        return;
    }
    if (ApplySettings(wanted) != 0) {
        Fail(kSerResetError);
    }
}

void TWinRKL::MySerSetBuf(char* args) {
    if (Tracing(kTracePort)) Trace("TWinRKL::MySerSetBuf ('%s');\r", args);
    int64_t size = ParseDecimal(args);
    if (size == 0) size = kDefaultQueueSize;
    queueSize_ = static_cast<int32_t>(std::clamp<int64_t>(size, INT32_MIN, INT32_MAX));
    if (port_->SetQueueSize(queueSize_, queueSize_) != 0) {
        Fail(kSerSetBufError);
    }
}

void TWinRKL::SysBeep(char* args) {
    // The argument is read and not used. A library has no sound of its own: the host beeps.
    (void)ParseDecimal(args);
    host::Beep();
}

namespace {

// Runs "name value" for TIME and DATE: the name loses the blanks around it.
void TrimBlanks(char*& text) {
    text = const_cast<char*>(SkipBlanks(text));
    size_t n = std::strlen(text);
    while (n > 0 && IsBlank(text[n - 1]))
        text[--n] = '\0';
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
        Fail(kSetNoVariable);
        return;
    }
    std::tm now{};
    char stamp[32] = "00:00:00";
    if (LocalNow(now))
        std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d", now.tm_hour, now.tm_min, now.tm_sec);
    char line[kLineSize];
    std::snprintf(line, sizeof line, "%s %s", args, stamp);
    Set(line);
}

void TWinRKL::Date(char* args) {
    if (Tracing(kTracePort)) Trace("TWinRKL::Date ('%s');\r", args);
    TrimBlanks(args);
    if (!args[0]) {
        Fail(kSetNoVariable);
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
