// TWinRKL: the engine object behind an RKL_HANDLE. It adds to the interpreter the
// commands that reach the host (ECHO, LOG, ALERT, DEBUG_OUT) and the port level
// (serial port, text exchange, telephony, pauses, time and date).
#pragma once

#include <cstdint>

#include "platform/serial_port.h"
#include "platform/serial_settings.h"
#include "platform/tcp_port.h"
#include "platform/waiter.h"
#include "rkl32.h"
#include "tapi_line.h"
#include "text_exchange/char_ring.h"
#include "text_exchange/recv_text_set.h"
#include "trkl.h"

namespace rkl {

class TWinRKL : public TRKL {
public:
    static constexpr int32_t kDefaultQueueSize = 512;
    static constexpr size_t kMatchBufferSize = 256;

    TWinRKL();
    ~TWinRKL() override;

    // Loads the script and prepares the match buffer; the result is the load's error
    // code, which also stays in the handle.
    int32_t Init(ScriptStream stream, RKL_WINDOW echoWindow, RKL_WINDOW logWindow);
    bool IsAlert() const { return alert_; }

    // RKL_Destroy that arrives while a call on this handle is still in progress (from
    // a hook reached while the engine waits) is carried out when that call returns.
    void RequestDestroy();
    bool DestroyRequested() const { return destroyRequested_; }

    // For tests and the host: the port level as the scripts left it.
    bool PortIsOpen() const { return port_->IsOpen(); }
    bool TelephonyActive() const { return tapiLine_.Active(); }
    const char* PortName() const { return portName_; }
    const platform::SerialSettings& PortSettings() const { return dcb_; }
    int32_t QueueSize() const { return queueSize_; }
    const TCharRing& MatchRing() const { return matchBuffer_; }
    const TRecvTextSet& RecvTexts() const { return recvTexts_; }

protected:
    void DoCommand(Keyword keyword, const char* command, char* args) override;
    void LogAsIs(char* text) override;
    void SendAsIs(char* text) override;

    // Host notifications.
    void Alert(char* args);
    void Echo(char* text);
    void Log(char* text);
    void DebugOut(const char* text);

    // Port level, one method per command (win_rkl_port_commands.cpp).
    void DoPortCommand(Keyword keyword, const char* command, char* args);
    void Break(char* args);
    void ClosePort(char* args);
    bool CloseCommPort(const char* command, char* args, char* label);
    void TAPIClosePort(char* args);
    void MyDelay(char* args);
    void DTR(char* args);
    void Flush(char* args);
    void OpenPort(char* args);
    void TAPIOpenPort(char* args);
    void Recv(char* args);
    void RecvText(char* args);
    void Send(char* text);
    void MySerHShake(char* args);
    void MySerReset(char* args);
    void MySerSetBuf(char* args);
    void SysBeep(char* args);
    void Time(char* args);
    void Date(char* args);
    // Closes the port when one is open; the destructor relies on it.
    void ReleasePort();
    // TAPIOPENPORT's error path after a failure whose code and text are set: closes the port,
    // releases the line and goes on at `label`.
    void AbandonTelephony(const char* label);
    // The device of the open port is gone: closes it (so a replugged adapter can come back
    // under its name) and stops the entry with -202; later SEND and RECV do the same.
    void PortLost();
    // Writes the whole settings record to the port. On failure the record goes back to
    // what it was, so that one refused change does not make every later command fail too.
    int ApplySettings(const platform::SerialSettings& wanted);
    // Traces one sent or received character when `bit` is set.
    void TraceChar(int32_t bit, unsigned char c);

    // The port; closed between OPENPORT and CLOSEPORT.
    platform::SerialPort serialPort_;
    platform::TcpPort tcpPort_;
    // The port OPENPORT opened last: the serial one, or the TCP one when the port name maps to
    // tcp://HOST:PORT. Never null.
    platform::Port* port_ = &serialPort_;
    char portName_[kMaxText + 1] = {};
    bool portLost_ = false;
    // The telephony line of TAPIOPENPORT; idle unless a call is up (or being placed).
    TTapiLine tapiLine_;
    int32_t queueSize_ = kDefaultQueueSize;
    // The one copy of the port settings: each command changes some members and writes it all.
    platform::SerialSettings dcb_;
    // Every wait of the handle: pumps the host, sleeps in poll(), and ends early once the
    // entry has stopped (a cancel) or the handle is to be destroyed.
    platform::Waiter waiter_;
    // The match buffer: the received characters that RECV matches against, over the storage.
    unsigned char matchStorage_[kMatchBufferSize] = {};
    TCharRing matchBuffer_;
    TRecvTextSet recvTexts_;

    RKL_WINDOW echoWindow_ = nullptr;
    RKL_WINDOW logWindow_ = nullptr;
    bool alert_ = false;
    bool destroyRequested_ = false;
};

}  // namespace rkl
