#ifndef RKL_PLATFORM_PORT_H
#define RKL_PLATFORM_PORT_H

#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/serial_settings.h"

namespace rkl::platform {

class Waiter;

// One port of a handle, whatever carries it: a serial device (SerialPort) or a TCP
// connection to a paging terminal (TcpPort). The port commands, SEND, RECV and the drain
// before a close work through it; tests put fakes behind it to drive the pacing logic.
// Every failure is an errno value (0 is success).
class Port {
public:
    enum class ReadResult { Byte, Nothing, Failed };

    virtual ~Port() = default;

    // OPENPORT: opens `address` (a device path, or what the port kind understands), waiting
    // in `waiter` when it takes time, and prepares `record` as OPENPORT does.
    virtual int OpenLine(const std::string& address, SerialSettings& record, Waiter& waiter) = 0;
    // The text after "Open Error %d: " for an OpenLine failure.
    virtual std::string OpenErrorText(int error) const = 0;
    // CLOSEPORT (with the handle's waiter) and handle destruction (without).
    virtual int Close(Waiter* waiter) = 0;

    // The line commands. A port without a line takes them as accepted, without effect.
    virtual int ReadSettings(SerialSettings&) const { return IsOpen() ? 0 : EBADF; }
    virtual int ApplySettings(const SerialSettings&) { return IsOpen() ? 0 : EBADF; }
    virtual int Purge(bool /*transmit*/, bool /*receive*/) { return IsOpen() ? 0 : EBADF; }
    virtual int SetBreak(bool) { return IsOpen() ? 0 : EBADF; }
    virtual int SetQueueSize(int input_size, int output_size) {
        if (!IsOpen()) return EBADF;
        return input_size > 0 && output_size > 0 ? 0 : EINVAL;
    }

    virtual bool IsOpen() const = 0;
    // For poll(); -1 when closed.
    virtual int fd() const = 0;

    // Writes one byte, waiting in `waiter` (when given) while the driver has no room.
    // Returns 0, ECANCELED when the waiter was stopped, or another errno value.
    virtual int WriteByte(unsigned char byte, Waiter* waiter) = 0;
    // Reads one byte if one is waiting; never blocks.
    virtual ReadResult ReadByte(unsigned char& byte) = 0;
    virtual int last_error() const = 0;

    // False when a hang-up of the far end reads as a quiet line instead of a lost port.
    virtual bool LostWhenHungUp() const { return true; }
    // True when a whole text may go out in one write: there is no UART to overrun, so SEND
    // with no delay writes its text at once and waits one tick in all.
    virtual bool TakesWholeTexts() const { return false; }
    virtual int WriteText(std::string_view text, Waiter* waiter) {
        for (char c : text) {
            if (int error = WriteByte(static_cast<unsigned char>(c), waiter); error != 0) return error;
        }
        return 0;
    }

    // Bytes written but not yet sent out on the line (0 when the port cannot tell).
    virtual int OutputPending() const = 0;
    // How long one character takes on the line with the settings in force, in microseconds.
    virtual std::int64_t CharacterMicroseconds() const = 0;
};

// What OPENPORT does to the record of a port it opened: fBinary 0, fParity 0, fNull 1,
// EofChar 0, and software flow control off (only SERHSHAKE SW sets it).
void PrepareOpenedRecord(SerialSettings& record);

}  // namespace rkl::platform

#endif
