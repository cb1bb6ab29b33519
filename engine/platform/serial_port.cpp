#include "platform/serial_port.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "platform/waiter.h"

namespace rkl::platform {

SerialPort::~SerialPort() { Close(); }

int SerialPort::Open(const std::string& device_path) {
  Close();
  if (device_path.empty()) return ENOENT;
  const int fd = ::open(device_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  if (!isatty(fd)) {
    ::close(fd);
    return ENOTTY;
  }
  // Exclusive, as a serial port opened without sharing: a second opener gets EBUSY.
  if (ioctl(fd, TIOCEXCL) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  fd_ = fd;
  last_error_ = 0;
  dtr_raised_ = true;
  int lines = 0;
  if (ioctl(fd_, TIOCMGET, &lines) == 0) dtr_raised_ = (lines & TIOCM_DTR) != 0;
  return 0;
}

int SerialPort::OpenPrepared(const std::string& device_path, SerialSettings& record) {
  if (int error = Open(device_path); error != 0) return error;
  int error = ReadSettings(record);
  if (error == 0) {
    record.fBinary = false;
    record.fParity = false;
    record.fNull = true;
    record.EofChar = 0;
    error = ApplySettings(record);
  }
  if (error != 0) Close();
  return error;
}

int SerialPort::Close() {
  if (fd_ < 0) return 0;
  const int fd = fd_;
  fd_ = -1;
  // Linux releases the descriptor even when close reports an error; never retry it.
  return ::close(fd) == 0 ? 0 : errno;
}

int SerialPort::ReadSettings(SerialSettings& record) const {
  if (fd_ < 0) return EBADF;
  return ReadSerialSettings(fd_, record);
}

int SerialPort::ApplySettings(const SerialSettings& record) {
  if (fd_ < 0) return EBADF;
  if (int error = WriteSerialSettings(fd_, record); error != 0) return error;
  const bool raise = WantsDtrRaised(record);
  if (raise != dtr_raised_) {
    const int bits = TIOCM_DTR;
    if (ioctl(fd_, raise ? TIOCMBIS : TIOCMBIC, &bits) != 0) return errno;
    dtr_raised_ = raise;
  }
  return 0;
}

int SerialPort::WriteByte(unsigned char byte, Waiter* waiter) {
  if (fd_ < 0) return EBADF;
  for (;;) {
    const ssize_t written = ::write(fd_, &byte, 1);
    if (written == 1) return 0;
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return errno;
    if (waiter != nullptr) {
      switch (waiter->WaitWritable(fd_)) {
        case WaitEnd::Ready: continue;
        case WaitEnd::Stopped: return ECANCELED;
        default: return EIO;
      }
    }
    pollfd entry{fd_, POLLOUT, 0};
    if (::poll(&entry, 1, -1) < 0 && errno != EINTR) return errno;
    if (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) return EIO;
  }
}

SerialPort::ReadResult SerialPort::ReadByte(unsigned char& byte) {
  if (fd_ < 0) {
    last_error_ = EBADF;
    return ReadResult::Failed;
  }
  for (;;) {
    const ssize_t got = ::read(fd_, &byte, 1);
    if (got == 1) return ReadResult::Byte;
    // A raw terminal with VMIN 0 and VTIME 0 answers 0 both when nothing waits and when the
    // line has hung up; the hang-up shows in poll() (POLLHUP), which the waiter watches.
    if (got == 0) return ReadResult::Nothing;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadResult::Nothing;
    last_error_ = errno;
    return ReadResult::Failed;
  }
}

int SerialPort::Purge(bool transmit, bool receive) {
  if (fd_ < 0) return EBADF;
  if (transmit && receive) return tcflush(fd_, TCIOFLUSH) == 0 ? 0 : errno;
  if (transmit) return tcflush(fd_, TCOFLUSH) == 0 ? 0 : errno;
  if (receive) return tcflush(fd_, TCIFLUSH) == 0 ? 0 : errno;
  return 0;
}

int SerialPort::SetBreak(bool on) {
  if (fd_ < 0) return EBADF;
  return ioctl(fd_, on ? TIOCSBRK : TIOCCBRK) == 0 ? 0 : errno;
}

int SerialPort::SetQueueSize(int input_size, int output_size) {
  if (fd_ < 0) return EBADF;
  if (input_size <= 0 || output_size <= 0) return EINVAL;
  input_queue_size_ = input_size;
  output_queue_size_ = output_size;
  return 0;
}

std::string PlatformErrorText(int error) {
  char buffer[256] = {};
  // The GNU strerror_r may return a static text instead of filling the buffer.
  const char* text = strerror_r(error, buffer, sizeof buffer);
  return text != nullptr ? std::string(text) : std::string("Unknown error");
}

}  // namespace rkl::platform
