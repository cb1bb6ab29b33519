#ifndef RKL_PLATFORM_SERIAL_SETTINGS_H
#define RKL_PLATFORM_SERIAL_SETTINGS_H

#include <cstdint>

namespace rkl::platform {

// The one settings record of a port handle. Member names follow the serial settings record
// that scripts are written against, so the port commands read as they are described: each
// command changes some members and writes the whole record again, so that what earlier
// commands set stays in force.
//
// How each member reaches the driver (termios, raw mode always):
//   BaudRate      cfsetspeed with the matching standard rate; any other rate through the
//                 kernel's arbitrary-rate interface, refused (EINVAL) when the driver cannot
//                 come within 2% of it.
//   Parity        0 NONE, 1 ODD, 2 EVEN, 3 MARK (PARENB|PARODD|CMSPAR), 4 SPACE (PARENB|CMSPAR).
//   ByteSize      5..8 (CS5..CS8), with ISTRIP below 8 and received bytes masked to the
//                 size. 3 and 4 are valid script values that no termios driver can do:
//                 writing them fails with EINVAL.
//   StopBits      0 one, 1 one and a half, 2 two. termios has no 1.5: it becomes CSTOPB, which
//                 a UART sends as 1.5 stop bits with 5 data bits and as 2 otherwise. Reading
//                 back therefore never yields 1.
//   fParity       INPCK (check the parity of received bytes). PARMRK is always on, so a
//                 byte with a parity or framing error still reaches RECV as received.
//   fOutxCtsFlow, fRtsControl == 2
//                 CRTSCTS (Linux ties the two directions of hardware handshake together).
//   fOutX, fInX   IXON, IXOFF; XonChar, XoffChar are VSTART, VSTOP.
//   fDtrControl   0 drops DTR, 1 and 2 raise it (Linux has no DTR handshake). Applied by
//                 SerialPort through the modem-control ioctls, only when the level the line
//                 reports differs. HUPCL is always set: closing the port drops DTR.
// Kept but without a termios counterpart (remembered, never an error): fBinary (termios has
// no text mode; the port is always binary), fOutxDsrFlow, XonLim, XoffLim, fNull (received
// NULs are dropped by the receive loop anyway) and EofChar.
struct SerialSettings {
    std::uint32_t BaudRate = 9600;
    bool fBinary = true;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    int fDtrControl = 1;
    bool fOutX = false;
    bool fInX = false;
    bool fNull = false;
    int fRtsControl = 1;
    int XonLim = 2048;
    int XoffLim = 512;
    int ByteSize = 8;
    int Parity = 0;
    int StopBits = 0;
    unsigned char XonChar = 17;
    unsigned char XoffChar = 19;
    unsigned char EofChar = 0;

    bool operator==(const SerialSettings&) const = default;
};

inline constexpr int kNoParity = 0;
inline constexpr int kOddParity = 1;
inline constexpr int kEvenParity = 2;
inline constexpr int kMarkParity = 3;
inline constexpr int kSpaceParity = 4;

inline constexpr int kOneStopBit = 0;
inline constexpr int kOne5StopBits = 1;
inline constexpr int kTwoStopBits = 2;

inline constexpr int kDtrControlDisable = 0;
inline constexpr int kDtrControlEnable = 1;
inline constexpr int kDtrControlHandshake = 2;
inline constexpr int kRtsControlDisable = 0;
inline constexpr int kRtsControlEnable = 1;
inline constexpr int kRtsControlHandshake = 2;

// The modem-control level a record asks for (true: DTR raised).
inline bool WantsDtrRaised(const SerialSettings& s) {
    return s.fDtrControl != kDtrControlDisable;
}

// Reads the line settings of an open terminal into `settings` (the counterpart of reading the
// port state). Members without a termios counterpart keep the values `settings` had, and so
// does fDtrControl when the device has no modem-control lines. Returns 0 or an errno value.
int ReadSerialSettings(int fd, SerialSettings& settings);

// Writes the termios part of the whole record: raw mode (no byte is translated, reads return
// at once with what is waiting), CLOCAL|CREAD, and every member listed above. The result is
// read back and compared, because drivers quietly drop what they cannot do; a difference is
// reported as EINVAL. Pseudo-terminals are the one exception: they have no line, their
// driver always keeps 8 data bits without parity, so framing is not compared there.
// Returns 0 or an errno value; on failure the device may hold part of the record, so callers
// that keep a copy should read the settings back.
int WriteSerialSettings(int fd, const SerialSettings& settings);

}  // namespace rkl::platform

#endif
