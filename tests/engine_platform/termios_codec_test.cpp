#include "engine/platform/termios_codec.h"

#include <errno.h>

#include <gtest/gtest.h>

namespace rkl::platform::detail {
namespace {

termios Encoded(const SerialSettings& s) {
    termios t{};
    // Start from a cooked terminal, so that raw mode has something to undo.
    t.c_iflag = ICRNL | IXON | ISTRIP | INLCR;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
    t.c_cflag = CS7 | PARENB | HUPCL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 5;
    EXPECT_EQ(EncodeTermios(s, t), 0);
    return t;
}

TEST(TermiosCodec, EveryFramingRoundTrips) {
    for (std::uint32_t rate : {50u, 300u, 1200u, 2400u, 9600u, 19200u, 38400u, 115200u, 4000000u}) {
        for (int bits = 5; bits <= 8; ++bits) {
            for (int parity = kNoParity; parity <= kSpaceParity; ++parity) {
                for (int stop : {kOneStopBit, kTwoStopBits}) {
                    SerialSettings s;
                    s.BaudRate = rate;
                    s.ByteSize = bits;
                    s.Parity = parity;
                    s.StopBits = stop;
                    SerialSettings back;
                    back.BaudRate = 1;
                    DecodeTermios(Encoded(s), back);
                    ASSERT_EQ(back.BaudRate, rate);
                    ASSERT_EQ(back.ByteSize, bits);
                    ASSERT_EQ(back.Parity, parity) << "rate " << rate << " bits " << bits;
                    ASSERT_EQ(back.StopBits, stop);
                }
            }
        }
    }
}

TEST(TermiosCodec, ParityAndHandshakeFlags) {
    SerialSettings s;
    s.Parity = kMarkParity;
    EXPECT_EQ(Encoded(s).c_cflag & (PARENB | PARODD | CMSPAR), tcflag_t(PARENB | PARODD | CMSPAR));
    s.Parity = kEvenParity;
    EXPECT_EQ(Encoded(s).c_cflag & (PARENB | PARODD | CMSPAR), tcflag_t(PARENB));
    s.Parity = kOddParity;
    s.fParity = true;
    termios t = Encoded(s);
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), tcflag_t(PARENB | PARODD));
    EXPECT_TRUE(t.c_iflag & INPCK);

    s = SerialSettings{};
    s.fRtsControl = kRtsControlHandshake;
    EXPECT_TRUE(Encoded(s).c_cflag & CRTSCTS);
    s.fRtsControl = kRtsControlEnable;
    s.fOutxCtsFlow = true;
    EXPECT_TRUE(Encoded(s).c_cflag & CRTSCTS);
    s.fOutxCtsFlow = false;
    EXPECT_FALSE(Encoded(s).c_cflag & CRTSCTS);

    s.fOutX = true;
    s.XonChar = 0x11;
    s.XoffChar = 0x13;
    t = Encoded(s);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_FALSE(t.c_iflag & IXOFF);
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
}

TEST(TermiosCodec, RawModeWhateverTheStartingState) {
    const termios t = Encoded(SerialSettings{});
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF | INPCK | IGNPAR), 0u);
    EXPECT_TRUE(t.c_iflag & PARMRK);  // errored bytes come marked, not as 0
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD | HUPCL), tcflag_t(CLOCAL | CREAD | HUPCL));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
}

TEST(TermiosCodec, CharactersBelowEightBitsAreStripped) {
    for (int bits = 5; bits <= 8; ++bits) {
        SerialSettings s;
        s.ByteSize = bits;
        EXPECT_EQ((Encoded(s).c_iflag & ISTRIP) != 0, bits < 8) << bits;
    }
}

TEST(TermiosCodec, ARateOutsideTheTableLeavesTheSpeedToTheCaller) {
    termios t{};
    cfsetospeed(&t, B1200);
    SerialSettings s;
    s.BaudRate = 14400;
    ASSERT_EQ(EncodeTermios(s, t), 0);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B1200));
}

TEST(TermiosCodec, ValuesTermiosCannotExpressAreRefused) {
    auto refused = [](auto change) {
        SerialSettings s;
        change(s);
        termios t{};
        return EncodeTermios(s, t) == EINVAL;
    };
    EXPECT_TRUE(refused([](SerialSettings& s) { s.ByteSize = 3; }));
    EXPECT_TRUE(refused([](SerialSettings& s) { s.ByteSize = 4; }));
    EXPECT_TRUE(refused([](SerialSettings& s) { s.ByteSize = 9; }));
    EXPECT_TRUE(refused([](SerialSettings& s) { s.BaudRate = 0; }));
    EXPECT_TRUE(refused([](SerialSettings& s) { s.Parity = -1; }));
    EXPECT_TRUE(refused([](SerialSettings& s) { s.StopBits = 3; }));
    EXPECT_TRUE(refused([](SerialSettings& s) { s.fDtrControl = 3; }));
}

TEST(TermiosCodec, DecodingKeepsMembersTermiosDoesNotHold) {
    SerialSettings s;
    s.fOutxDsrFlow = true;
    s.XonLim = 384;
    s.XoffLim = 100;
    s.fNull = true;
    s.EofChar = 26;
    s.fBinary = false;
    SerialSettings back = s;
    DecodeTermios(Encoded(SerialSettings{}), back);
    EXPECT_TRUE(back.fOutxDsrFlow);
    EXPECT_EQ(back.XonLim, 384);
    EXPECT_EQ(back.XoffLim, 100);
    EXPECT_TRUE(back.fNull);
    EXPECT_EQ(back.EofChar, 26);
    EXPECT_FALSE(back.fBinary);
}

}  // namespace
}  // namespace rkl::platform::detail
