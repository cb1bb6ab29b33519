#ifndef RKL_PLATFORM_SERIAL_PORT_H
#define RKL_PLATFORM_SERIAL_PORT_H

#include <string>

#include "platform/serial_settings.h"

namespace rkl::platform {

class Waiter;

// One serial device opened for the engine. Every failure is an errno value (0 is success), so
// the port commands can report the platform's own number and text. Not copyable: it owns the
// descriptor and closes it on destruction.
//
// How the port commands map onto it (the record is the handle's SerialSettings):
//   OPENPORT    OpenPrepared(path, record); on failure report "Open Error %d: %s" with the
//               errno and PlatformErrorText(errno) (the port is closed again by then).
//   CLOSEPORT   if IsOpen(): Close(); a nonzero result is the close failure.
//   SERRESET    ReadSettings(record) (result ignored), change the four members,
//               ApplySettings(record); nonzero: "SerReset: Error".
//   SERHSHAKE, DTR
//               change the members, ApplySettings(record).
//   SERSETBUF   SetQueueSize(size, size).
//   BREAK       SetBreak(true); Delay(...); SetBreak(false) (see paced_io.h: SendBreak).
//   FLUSH       Purge(true, false) then Purge(false, true).
//   SEND, RECV  see paced_io.h.
// On a closed port every operation but Close fails with EBADF, as the device calls would.
class SerialPort {
 public:
  enum class ReadResult { Byte, Nothing, Failed };

  SerialPort() = default;
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens a terminal device for exclusive use, non-blocking, not as a controlling terminal.
  // A port that is already open is closed first, so a second open never leaks a descriptor.
  // A path that is not a terminal fails with ENOTTY.
  int Open(const std::string& device_path);

  // The whole OPENPORT sequence: Open, read the device's settings into `record`, set fBinary 0,
  // fParity 0, fNull 1 and EofChar 0, and write the record. On failure the port is closed and
  // the errno of the first failing step returned; `record` then holds what was read, if any.
  int OpenPrepared(const std::string& device_path, SerialSettings& record);

  // Closes the descriptor. Returns 0, or the errno of a failed close (the descriptor is
  // released either way). Closing a closed port does nothing and returns 0.
  int Close();

  bool IsOpen() const { return fd_ >= 0; }
  // For poll(); -1 when closed.
  int fd() const { return fd_; }

  int ReadSettings(SerialSettings& record) const;
  // Writes the whole record (termios, then the DTR line when its level changes). Devices
  // without modem-control lines (pseudo-terminals) accept every record that keeps DTR where it
  // is and fail with their ioctl's errno (ENOTTY) when the DTR level has to change.
  int ApplySettings(const SerialSettings& record);

  // Writes one byte. When the driver cannot take it now, sleeps in `waiter` until it can:
  // no time limit, but the wait pumps the host and ends early when the waiter is stopped
  // (then ECANCELED). Without a waiter it sleeps in poll() without pumping.
  int WriteByte(unsigned char byte, Waiter* waiter);

  // Reads one byte if one is waiting; never blocks. Nothing also covers a line that hung up
  // (a raw terminal reads 0 bytes then, as when nothing waits); Failed is a read error
  // (EIO when the other side of a pseudo-terminal has closed), last_error() tells which.
  ReadResult ReadByte(unsigned char& byte);
  int last_error() const { return last_error_; }

  // Discards what waits to be sent and/or what was received and not yet read.
  int Purge(bool transmit, bool receive);
  int SetBreak(bool on);
  // Linux has no settable driver queues; the sizes are checked (above 0), remembered and
  // otherwise have no effect.
  int SetQueueSize(int input_size, int output_size);
  int input_queue_size() const { return input_queue_size_; }
  int output_queue_size() const { return output_queue_size_; }

 private:
  int fd_ = -1;
  int last_error_ = 0;
  int input_queue_size_ = 512;
  int output_queue_size_ = 512;
  // The DTR level last put on the line, so that records which leave it alone never touch the
  // modem-control ioctls (which pseudo-terminals do not have).
  bool dtr_raised_ = true;
};

// The platform's message text for an errno value, without a line end.
std::string PlatformErrorText(int error);

}  // namespace rkl::platform

#endif
