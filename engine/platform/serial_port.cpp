#include "platform/serial_port.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <string.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/paced_io.h"
#include "platform/waiter.h"

namespace rkl::platform {

SerialPort::~SerialPort() {
    Close();
}

int SerialPort::Open(const std::string& device_path) {
    Close();
    if (device_path.empty()) return ENOENT;
    const int fd = ::open(device_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    return Adopt(fd);
}

int SerialPort::Adopt(int fd) {
    if (fd_ != fd) Close();
    if (fd < 0) return EBADF;
    if (!isatty(fd)) {
        ::close(fd);
        return ENOTTY;
    }
    // A descriptor handed over by someone else may be blocking or inheritable.
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0 || fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    // Exclusive, as a serial port opened without sharing: TIOCEXCL refuses whoever comes
    // later, the lock whoever came first.
    if (ioctl(fd, TIOCEXCL) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return error;
    }
    fd_ = fd;
    last_error_ = 0;
    marked_input_.Reset();
    return 0;
}

int SerialPort::OpenPrepared(const std::string& device_path, SerialSettings& record) {
    return Prepare(Open(device_path), record);
}

int SerialPort::AdoptPrepared(int fd, SerialSettings& record) {
    return Prepare(Adopt(fd), record);
}

int SerialPort::Prepare(int open_error, SerialSettings& record) {
    if (open_error != 0) return open_error;
    int error = ReadSettings(record);
    if (error == 0) {
        PrepareOpenedRecord(record);
        error = ApplySettings(record);
    }
    if (error != 0) Close();
    return error;
}

int SerialPort::Close(Waiter* waiter) {
    if (fd_ < 0) return 0;
    if (waiter != nullptr) (void)WaitOutputSent(*this, *waiter);
    // Whatever is still held back would keep close() waiting for the driver's closing time:
    // let the line flow and drop it.
    if (termios t{}; tcgetattr(fd_, &t) == 0 && (t.c_cflag & CRTSCTS || t.c_iflag & IXON)) {
        t.c_cflag &= ~CRTSCTS;
        t.c_iflag &= ~IXON;
        (void)tcsetattr(fd_, TCSANOW, &t);
    }
    (void)tcflush(fd_, TCOFLUSH);
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
    const int stop_bits = record.StopBits == kOneStopBit ? 1 : 2;
    const int bits = 1 + record.ByteSize + (record.Parity != kNoParity ? 1 : 0) + stop_bits;
    character_us_ = std::int64_t{bits} * 1'000'000 / std::max<std::uint32_t>(record.BaudRate, 1);
    data_mask_ = static_cast<unsigned char>((1u << record.ByteSize) - 1);

    // The level the line reports, not one remembered: another program or the driver may have
    // moved it. A device without modem-control lines (a pseudo-terminal) has DTR "raised".
    const bool raise = WantsDtrRaised(record);
    int lines = 0;
    const bool has_lines = ioctl(fd_, TIOCMGET, &lines) == 0;
    const bool raised = has_lines ? (lines & TIOCM_DTR) != 0 : true;
    if (raise != raised) {
        const int dtr = TIOCM_DTR;
        if (ioctl(fd_, raise ? TIOCMBIS : TIOCMBIC, &dtr) != 0) return errno;
    }
    return 0;
}

int SerialPort::OutputPending() const {
    int pending = 0;
    if (fd_ < 0 || ioctl(fd_, TIOCOUTQ, &pending) != 0) return 0;
    return pending;
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
                case WaitEnd::Ready:
                    continue;
                case WaitEnd::Stopped:
                    return ECANCELED;
                default:
                    return EIO;
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
        unsigned char in = 0;
        const ssize_t got = ::read(fd_, &in, 1);
        if (got == 1) {
            if (!marked_input_.Feed(in, byte)) continue;  // the rest of a mark waits right behind
            byte &= data_mask_;
            return ReadResult::Byte;
        }
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
    if (receive) marked_input_.Reset();
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

std::string SerialPort::OpenErrorText(int error) const {
    return PlatformErrorText(error) + BusyPortHint(error);
}

void PrepareOpenedRecord(SerialSettings& record) {
    record.fBinary = false;
    record.fParity = false;
    record.fNull = true;
    record.EofChar = 0;
    // Linux ports come up with XON/XOFF output control, which would swallow DC1/DC3 and let a
    // stray DC3 stop output.
    record.fOutX = false;
    record.fInX = false;
}

std::string PlatformErrorText(int error) {
    char buffer[256] = {};
    // The GNU strerror_r may return a static text instead of filling the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return text != nullptr ? std::string(text) : std::string("Unknown error");
}

std::string BusyPortHint(int error, const std::string& proc_root) {
    if (error != EBUSY) return {};
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(proc_root, ignored)) {
        const std::string pid = entry.path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream comm(entry.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name == "ModemManager") {
            return "; ModemManager is running and may have taken the port";
        }
    }
    return {};
}

}  // namespace rkl::platform
