// What a dial-up modem on a USB serial adapter needs from the port commands, seen where a
// pseudo-terminal cannot show it: the termios record the layer hands to the driver is
// captured on its way (the test binary wraps tcsetattr), and what the pseudo-terminal keeps
// of it is read back.
#include <termios.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/engine_serial/serial_script_harness.h"

namespace {
std::vector<termios> g_written;
}  // namespace

extern "C" int __real_tcsetattr(int fd, int actions, const termios* t);
extern "C" int __wrap_tcsetattr(int fd, int actions, const termios* t) {
    g_written.push_back(*t);
    return __real_tcsetattr(fd, actions, t);
}

namespace engine_serial_test {
namespace {

TEST(ModemLine, SevenEvenOneAt2400WithoutHandshakeIsWrittenFieldByField) {
    SerialScript s(
        "OPENPORT COM1 Failed\nSERRESET 2400 EVEN 7 1\nSERHSHAKE NONE\n"
        "RECVTEXT 0 Ok OK\r\nRECV 60\nEXIT 1 no answer\nLABEL Ok\nEXIT 0\n"
        "LABEL Failed\nEXIT 7\n");
    g_written.clear();
    // The modem answers with the parity bit set, as some adapters pass it on in bit 7.
    s.line().PeerWrite("\xCF\xCB\r\n");
    s.Run();
    ASSERT_EQ(s.code(), 0) << s.text();
    ASSERT_FALSE(g_written.empty());

    const termios& w = g_written.back();
    struct Flag {
        const char* name;
        tcflag_t field;
        tcflag_t bit;
        bool set;
    };
    const Flag flags[] = {
        {"PARENB", w.c_cflag, PARENB, true},    {"PARODD", w.c_cflag, PARODD, false},
        {"CMSPAR", w.c_cflag, CMSPAR, false},   {"CSTOPB", w.c_cflag, CSTOPB, false},
        {"CRTSCTS", w.c_cflag, CRTSCTS, false}, {"HUPCL", w.c_cflag, HUPCL, true},
        {"CLOCAL", w.c_cflag, CLOCAL, true},    {"CREAD", w.c_cflag, CREAD, true},
        {"IXON", w.c_iflag, IXON, false},       {"IXOFF", w.c_iflag, IXOFF, false},
        {"ISTRIP", w.c_iflag, ISTRIP, true},    {"INPCK", w.c_iflag, INPCK, true},
        {"PARMRK", w.c_iflag, PARMRK, true},    {"IGNPAR", w.c_iflag, IGNPAR, false},
        {"ICRNL", w.c_iflag, ICRNL, false},     {"OPOST", w.c_oflag, OPOST, false},
        {"ICANON", w.c_lflag, ICANON, false},   {"ECHO", w.c_lflag, ECHO, false},
        {"ISIG", w.c_lflag, ISIG, false},
    };
    for (const Flag& f : flags)
        EXPECT_EQ((f.field & f.bit) != 0, f.set) << f.name;
    EXPECT_EQ(w.c_cflag & CSIZE, tcflag_t(CS7));
    EXPECT_EQ(cfgetospeed(&w), speed_t(B2400));
    EXPECT_EQ(cfgetispeed(&w), speed_t(B2400));
    EXPECT_EQ(w.c_cc[VMIN], 0);
    EXPECT_EQ(w.c_cc[VTIME], 0);

    // The pseudo-terminal keeps all of it but the framing, which its driver forces to 8N.
    termios back{};
    ASSERT_EQ(tcgetattr(s.line().device_fd(), &back), 0);
    EXPECT_EQ(cfgetospeed(&back), speed_t(B2400));
    EXPECT_EQ(back.c_iflag & (IXON | IXOFF | ISTRIP | INPCK | PARMRK), tcflag_t(ISTRIP | INPCK | PARMRK));
    EXPECT_EQ(back.c_cflag & (HUPCL | CRTSCTS), tcflag_t(HUPCL));

    const auto& record = s.engine().PortSettings();
    EXPECT_EQ(record.BaudRate, 2400u);
    EXPECT_EQ(record.ByteSize, 7);
    EXPECT_EQ(record.Parity, rkl::platform::kEvenParity);
    EXPECT_EQ(record.StopBits, rkl::platform::kOneStopBit);
    EXPECT_FALSE(record.fOutX);
}

TEST(ModemLine, SysBeepSoundsThroughTheHost) {
    SerialScript s("SYSBEEP 1\nSYSBEEP\nEXIT 0\n");
    s.Run();
    EXPECT_EQ(s.code(), 0) << s.text();
    EXPECT_EQ(SerialScript::beeps, 2);
}

}  // namespace
}  // namespace engine_serial_test
