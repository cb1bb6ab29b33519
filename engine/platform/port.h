#ifndef RKL_PLATFORM_PORT_H
#define RKL_PLATFORM_PORT_H

#include <cstdint>

namespace rkl::platform {

class Waiter;

// What SEND, RECV and the drain before a close need from a line, whatever carries it. The
// serial port implements it; tests put fakes behind it to drive the pacing logic.
class Port {
 public:
  enum class ReadResult { Byte, Nothing, Failed };

  virtual ~Port() = default;

  virtual bool IsOpen() const = 0;
  // For poll(); -1 when closed.
  virtual int fd() const = 0;

  // Writes one byte, waiting in `waiter` (when given) while the driver has no room.
  // Returns 0, ECANCELED when the waiter was stopped, or another errno value.
  virtual int WriteByte(unsigned char byte, Waiter* waiter) = 0;
  // Reads one byte if one is waiting; never blocks.
  virtual ReadResult ReadByte(unsigned char& byte) = 0;
  virtual int last_error() const = 0;

  // Bytes written but not yet sent out on the line (0 when the port cannot tell).
  virtual int OutputPending() const = 0;
  // How long one character takes on the line with the settings in force, in microseconds.
  virtual std::int64_t CharacterMicroseconds() const = 0;
};

}  // namespace rkl::platform

#endif
