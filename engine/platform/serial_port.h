#ifndef RKL_PLATFORM_SERIAL_PORT_H
#define RKL_PLATFORM_SERIAL_PORT_H

#include <cstdint>
#include <string>

#include "platform/marked_input.h"
#include "platform/port.h"
#include "platform/serial_settings.h"

namespace rkl::platform {

// One serial device opened for the engine. Every failure is an errno value (0 is success), so
// the port commands can report the platform's own number and text. Not copyable: it owns the
// descriptor and closes it on destruction.
//
// How the port commands map onto it (the record is the handle's SerialSettings):
//   OPENPORT    OpenPrepared(path, record); on failure report "Open Error %d: %s" with the
//               errno and PlatformErrorText(errno) (the port is closed again by then).
//   CLOSEPORT   if IsOpen(): Close(&waiter); a nonzero result is the close failure.
//   SERRESET    ReadSettings(record) (result ignored), change the four members,
//               ApplySettings(record); nonzero: "SerReset: Error".
//   SERHSHAKE, DTR
//               change the members, ApplySettings(record).
//   SERSETBUF   SetQueueSize(size, size).
//   BREAK       SetBreak(true); Delay(...); SetBreak(false) (see paced_io.h: SendBreak).
//   FLUSH       Purge(true, false) then Purge(false, true).
//   SEND, RECV  see paced_io.h.
// On a closed port every operation but Close fails with EBADF, as the device calls would.
class SerialPort final : public Port {
public:
    SerialPort() = default;
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens a terminal device for exclusive use, non-blocking, not as a controlling terminal.
    // Exclusive twice over: TIOCEXCL refuses later openers, and an advisory lock on the device
    // (flock, the lock serial programs share) refuses a device someone else already holds;
    // both fail with EBUSY. A port that is already open is closed first, so a second open
    // never leaks a descriptor. A path that is not a terminal fails with ENOTTY.
    int Open(const std::string& device_path);

    // The whole OPENPORT sequence: Open, read the device's settings into `record`, set fBinary 0,
    // fParity 0, fNull 1 and EofChar 0, clear software flow control (Linux ports come up with
    // IXON, which would swallow DC1/DC3 and let a stray DC3 stop output; only SERHSHAKE SW sets
    // it), and write the record. On failure the port is closed and the errno of the first
    // failing step returned; `record` then holds what was read, if any.
    int OpenPrepared(const std::string& device_path, SerialSettings& record);
    // Takes over a descriptor someone else opened (a telephony provider's port for a call) as
    // Open would have left it: non-blocking, close-on-exec, exclusive. The descriptor is the
    // port's from then on, closed on failure too. AdoptPrepared goes on as OpenPrepared does.
    int Adopt(int fd);
    int AdoptPrepared(int fd, SerialSettings& record);
    int OpenLine(const std::string& address, SerialSettings& record, Waiter&) override {
        return OpenPrepared(address, record);
    }
    // The platform's text, and for EBUSY why the port may be busy.
    std::string OpenErrorText(int error) const override;

    // Closes the descriptor without ever blocking for long. A plain close() waits up to the
    // driver's closing time (30 s by default) while output is held back by the handshake, so:
    // with a waiter, wait (pumping) until the output has gone out or stalls; then release the
    // flow control, discard what is left and close. Without a waiter (a handle being destroyed)
    // nothing is waited for. Returns 0, or the errno of a failed close (the descriptor is
    // released either way). Closing a closed port does nothing and returns 0.
    int Close(Waiter* waiter = nullptr) override;

    bool IsOpen() const override { return fd_ >= 0; }
    int fd() const override { return fd_; }

    int ReadSettings(SerialSettings& record) const override;
    // Writes the whole record (termios, then the DTR line when the level the line reports
    // differs). Devices without modem-control lines (pseudo-terminals) accept every record that
    // asks for DTR raised and fail with their ioctl's errno (ENOTTY) when it must drop.
    int ApplySettings(const SerialSettings& record) override;

    // Writes one byte. When the driver cannot take it now, sleeps in `waiter` until it can:
    // no time limit, but the wait pumps the host and ends early when the waiter is stopped
    // (then ECANCELED). Without a waiter it sleeps in poll() without pumping.
    int WriteByte(unsigned char byte, Waiter* waiter) override;

    // Reads one byte if one is waiting; never blocks. Nothing also covers a line that hung up
    // (a raw terminal reads 0 bytes then, as when nothing waits); Failed is a read error
    // (EIO when the other side of a pseudo-terminal has closed), last_error() tells which.
    // Bytes come as received: error marks undone, masked to the data size.
    ReadResult ReadByte(unsigned char& byte) override;
    int last_error() const override { return last_error_; }

    // TIOCOUTQ: what the driver still has to send.
    int OutputPending() const override;
    std::int64_t CharacterMicroseconds() const override { return character_us_; }

    // Discards what waits to be sent and/or what was received and not yet read.
    int Purge(bool transmit, bool receive) override;
    int SetBreak(bool on) override;
    // Linux has no settable driver queues; the sizes are checked (above 0), remembered and
    // otherwise have no effect.
    int SetQueueSize(int input_size, int output_size) override;
    int input_queue_size() const { return input_queue_size_; }
    int output_queue_size() const { return output_queue_size_; }

private:
    // The settings steps of OpenPrepared after an open that gave `open_error`.
    int Prepare(int open_error, SerialSettings& record);

    int fd_ = -1;
    int last_error_ = 0;
    int input_queue_size_ = 512;
    int output_queue_size_ = 512;
    // From the last record written: one character's time on the line and the data-bit mask.
    std::int64_t character_us_ = 1'041;  // 10 bits at 9600
    unsigned char data_mask_ = 0xFF;
    MarkedInput marked_input_;
};

// The platform's message text for an errno value, without a line end.
std::string PlatformErrorText(int error);

// Why a port may be busy, for the open error's text: ModemManager takes modems it finds and
// then answers for them. Empty when `error` is not EBUSY or no ModemManager process runs.
// `proc_root` is the process table to look in (tests give their own).
std::string BusyPortHint(int error, const std::string& proc_root = "/proc");

}  // namespace rkl::platform

#endif
