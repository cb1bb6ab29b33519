// TWinRKL: the engine object behind an RKL_HANDLE. It adds to the interpreter the
// commands that reach the host (ECHO, LOG, ALERT, DEBUG_OUT) and the port level
// (serial port, text exchange, telephony, pauses, time and date).
#pragma once

#include <cstdint>

#include "rkl32.h"
#include "trkl.h"

namespace rkl {

class TWinRKL : public TRKL {
 public:
  static constexpr int32_t kDefaultQueueSize = 512;
  static constexpr size_t kMatchBufferSize = 256;

  TWinRKL() = default;
  ~TWinRKL() override;

  // Loads the script and prepares the match buffer; the result is the load's error
  // code, which also stays in the handle.
  int32_t Init(ScriptStream stream, RKL_WINDOW echoWindow, RKL_WINDOW logWindow);
  bool IsAlert() const { return alert_; }

  // RKL_Destroy that arrives while a call on this handle is still in progress (from
  // a hook reached while the engine waits) is carried out when that call returns.
  void RequestDestroy();
  bool DestroyRequested() const { return destroyRequested_; }

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
  // Stops the entry with -200 for a command that this build cannot carry out yet.
  void NotAvailable(const char* command);
  // Waits until the tick count passes start + ticks, pumping the host's events and
  // sleeping between pumps; gives up early once the entry has stopped.
  void WaitTicks(int64_t ticks);

  // The port: an opaque platform object, null while closed.
  void* port_ = nullptr;
  char portName_[kMaxText + 1] = {};
  int32_t queueSize_ = kDefaultQueueSize;
  // Storage of the match buffer (received characters); its ring lives with the text
  // exchange code.
  unsigned char matchStorage_[kMatchBufferSize] = {};

  RKL_WINDOW echoWindow_ = nullptr;
  RKL_WINDOW logWindow_ = nullptr;
  bool alert_ = false;
  bool destroyRequested_ = false;
};

}  // namespace rkl
