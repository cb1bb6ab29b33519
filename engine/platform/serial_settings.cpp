#include "platform/serial_settings.h"

#include <errno.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

#include <iterator>

#include "platform/custom_rate.h"
#include "platform/termios_codec.h"

namespace rkl::platform {
namespace detail {
namespace {

struct RateEntry {
    std::uint32_t rate;
    speed_t speed;
};

constexpr RateEntry kRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

constexpr tcflag_t kFramingFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

}  // namespace

bool SpeedForRate(std::uint32_t rate, speed_t& speed) {
    for (const RateEntry& entry : kRates) {
        if (entry.rate == rate) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

std::uint32_t RateForSpeed(speed_t speed) {
    for (const RateEntry& entry : kRates) {
        if (entry.speed == speed) return entry.rate;
    }
    return 0;
}

int EncodeTermios(const SerialSettings& s, termios& t) {
    if (s.BaudRate == 0) return EINVAL;
    // A rate outside the table keeps the speed field as it is; the caller sets it through the
    // arbitrary-rate interface.
    speed_t speed{};
    const bool standard_rate = SpeedForRate(s.BaudRate, speed);

    tcflag_t size = 0;
    switch (s.ByteSize) {
        case 5:
            size = CS5;
            break;
        case 6:
            size = CS6;
            break;
        case 7:
            size = CS7;
            break;
        case 8:
            size = CS8;
            break;
        default:
            return EINVAL;
    }

    tcflag_t parity = 0;
    switch (s.Parity) {
        case kNoParity:
            break;
        case kOddParity:
            parity = PARENB | PARODD;
            break;
        case kEvenParity:
            parity = PARENB;
            break;
        case kMarkParity:
            parity = PARENB | PARODD | CMSPAR;
            break;
        case kSpaceParity:
            parity = PARENB | CMSPAR;
            break;
        default:
            return EINVAL;
    }

    tcflag_t stop = 0;
    switch (s.StopBits) {
        case kOneStopBit:
            break;
        case kOne5StopBits:
        case kTwoStopBits:
            stop = CSTOPB;
            break;
        default:
            return EINVAL;
    }
    if (s.fDtrControl < 0 || s.fDtrControl > 2 || s.fRtsControl < 0 || s.fRtsControl > 2) {
        return EINVAL;
    }

    cfmakeraw(&t);
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | IUCLC | IMAXBEL | ISTRIP);
    if (s.fOutX) t.c_iflag |= IXON;
    if (s.fInX) t.c_iflag |= IXOFF;
    if (s.fParity) t.c_iflag |= INPCK;
    // Some adapters hand over the parity bit as bit 7 of a seven-bit character; the receiving
    // side masks 5 and 6 bits itself.
    if (s.ByteSize < 8) t.c_iflag |= ISTRIP;
    // Bytes with a parity or framing error come marked instead of as 0 (see MarkedInput).
    t.c_iflag |= PARMRK;

    t.c_cflag &= ~(kFramingFlags | CRTSCTS);
    // HUPCL: closing the port drops DTR, so the modem hangs up whatever the port held before.
    t.c_cflag |= CLOCAL | CREAD | HUPCL | size | parity | stop;
    if (s.fOutxCtsFlow || s.fRtsControl == kRtsControlHandshake) t.c_cflag |= CRTSCTS;

    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    t.c_cc[VSTART] = s.XonChar;
    t.c_cc[VSTOP] = s.XoffChar;

    if (standard_rate && (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0)) return EINVAL;
    return 0;
}

void DecodeTermios(const termios& t, SerialSettings& s) {
    if (std::uint32_t rate = RateForSpeed(cfgetospeed(&t)); rate != 0) s.BaudRate = rate;

    switch (t.c_cflag & CSIZE) {
        case CS5:
            s.ByteSize = 5;
            break;
        case CS6:
            s.ByteSize = 6;
            break;
        case CS7:
            s.ByteSize = 7;
            break;
        default:
            s.ByteSize = 8;
            break;
    }

    if (!(t.c_cflag & PARENB)) {
        s.Parity = kNoParity;
    } else if (t.c_cflag & CMSPAR) {
        s.Parity = (t.c_cflag & PARODD) ? kMarkParity : kSpaceParity;
    } else {
        s.Parity = (t.c_cflag & PARODD) ? kOddParity : kEvenParity;
    }

    s.StopBits = (t.c_cflag & CSTOPB) ? kTwoStopBits : kOneStopBit;
    s.fParity = (t.c_iflag & INPCK) != 0;

    const bool hardware = (t.c_cflag & CRTSCTS) != 0;
    s.fOutxCtsFlow = hardware;
    if (hardware) {
        s.fRtsControl = kRtsControlHandshake;
    } else if (s.fRtsControl == kRtsControlHandshake) {
        s.fRtsControl = kRtsControlEnable;
    }

    s.fOutX = (t.c_iflag & IXON) != 0;
    s.fInX = (t.c_iflag & IXOFF) != 0;
    s.XonChar = t.c_cc[VSTART];
    s.XoffChar = t.c_cc[VSTOP];
}

}  // namespace detail

namespace {

// Unix98 pseudo-terminal slaves (major 136..143) and the legacy ones (major 3).
bool IsPseudoTerminal(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
    const unsigned int major_number = major(info.st_rdev);
    return major_number == 3 || (major_number >= 136 && major_number <= 143);
}

}  // namespace

int ReadSerialSettings(int fd, SerialSettings& settings) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return errno;
    detail::DecodeTermios(t, settings);
    // The speed field of a rate outside the table only says "other"; the rate itself is here.
    if (std::uint32_t rate = 0; detail::ReadLineRate(fd, rate) == 0 && rate != 0) {
        settings.BaudRate = rate;
    }
    int lines = 0;
    if (ioctl(fd, TIOCMGET, &lines) == 0) {
        const bool raised = (lines & TIOCM_DTR) != 0;
        if (!raised) {
            settings.fDtrControl = kDtrControlDisable;
        } else if (settings.fDtrControl == kDtrControlDisable) {
            settings.fDtrControl = kDtrControlEnable;
        }
    }
    return 0;
}

int WriteSerialSettings(int fd, const SerialSettings& settings) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return errno;
    if (int error = detail::EncodeTermios(settings, t); error != 0) return error;
    // The C library reads the settings back itself and reports EINVAL when the driver dropped
    // the parity or the character size, which a pseudo-terminal always does: there the rest of
    // the record is in force all the same, and the comparison below decides.
    const bool pseudo_terminal = IsPseudoTerminal(fd);
    if (tcsetattr(fd, TCSANOW, &t) != 0 && !(errno == EINVAL && pseudo_terminal)) return errno;
    speed_t standard_speed{};
    const bool standard_rate = detail::SpeedForRate(settings.BaudRate, standard_speed);
    if (!standard_rate) {
        if (int error = detail::SetCustomRate(fd, settings.BaudRate); error != 0) return error;
    }

    termios applied{};
    if (tcgetattr(fd, &applied) != 0) return errno;
    tcflag_t compared = CRTSCTS | HUPCL;
    if (!pseudo_terminal) compared |= detail::kFramingFlags;
    const tcflag_t input_compared = IXON | IXOFF | ISTRIP | PARMRK;
    if ((applied.c_cflag & compared) != (t.c_cflag & compared) ||
        (applied.c_iflag & input_compared) != (t.c_iflag & input_compared)) {
        return EINVAL;
    }
    if (standard_rate) return cfgetospeed(&applied) == standard_speed ? 0 : EINVAL;
    // A driver that cannot run the rate either refuses it or picks the nearest one its clock
    // divides to; more than 2% off, the far end would see garbage.
    std::uint32_t actual = 0;
    if (int error = detail::ReadLineRate(fd, actual); error != 0) return error;
    const std::uint64_t wanted = settings.BaudRate;
    const std::uint64_t difference = actual > wanted ? actual - wanted : wanted - actual;
    return difference * 50 <= wanted ? 0 : EINVAL;
}

}  // namespace rkl::platform
