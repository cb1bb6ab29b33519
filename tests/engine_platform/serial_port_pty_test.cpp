#include "engine/platform/serial_port.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/platform/waiter.h"
#include "tests/engine_platform/pty_pair.h"

namespace rkl::platform {
namespace {

class SerialPortPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(line_.ok()) << "no pseudo-terminal available";
        ASSERT_EQ(port_.OpenPrepared(line_.device(), record_), 0);
    }
    // What arrives at the port within a short while, read the way RECV reads: byte by byte.
    std::string PortReadAll() {
        std::string got;
        pollfd entry{port_.fd(), POLLIN, 0};
        while (poll(&entry, 1, 200) > 0) {
            unsigned char c = 0;
            if (port_.ReadByte(c) != SerialPort::ReadResult::Byte) break;
            got += static_cast<char>(c);
        }
        return got;
    }

    testing::PtyPair line_;
    SerialPort port_;
    SerialSettings record_;
};

TEST(SerialPortOpen, FailuresAreErrnoValuesWithTheirText) {
    SerialPort port;
    EXPECT_EQ(port.Open("/dev/no-such-port-here"), ENOENT);
    EXPECT_EQ(port.Open(""), ENOENT);
    EXPECT_EQ(port.Open("/dev/null"), ENOTTY);  // a file that is not a terminal is no port
    char path[] = "/tmp/rkl-port-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_EQ(port.Open(path), ENOTTY);
    unlink(path);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(PlatformErrorText(ENOENT), "No such file or directory");
    EXPECT_FALSE(PlatformErrorText(987654).empty());

    // Everything but Close fails on a closed port, as the device calls would.
    SerialSettings record;
    unsigned char c = 0;
    EXPECT_EQ(port.ReadSettings(record), EBADF);
    EXPECT_EQ(port.ApplySettings(record), EBADF);
    EXPECT_EQ(port.WriteByte('x', nullptr), EBADF);
    EXPECT_EQ(port.ReadByte(c), SerialPort::ReadResult::Failed);
    EXPECT_EQ(port.Purge(true, true), EBADF);
    EXPECT_EQ(port.SetBreak(true), EBADF);
    EXPECT_EQ(port.SetQueueSize(512, 512), EBADF);
    EXPECT_EQ(port.Close(), 0);
}

TEST_F(SerialPortPty, OpenPutsTheLineInRawModeAndPreparesTheRecord) {
    EXPECT_FALSE(record_.fBinary);
    EXPECT_FALSE(record_.fParity);
    EXPECT_TRUE(record_.fNull);
    EXPECT_EQ(record_.EofChar, 0);
    termios t{};
    ASSERT_EQ(tcgetattr(port_.fd(), &t), 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    // Opening again closes the first descriptor instead of leaking it.
    const int first = port_.fd();
    ASSERT_EQ(port_.Open(line_.device()), 0);
    EXPECT_EQ(port_.fd(), first);  // the lowest free number: the old one was released
}

TEST_F(SerialPortPty, SecondOpenerIsRefusedUnlessPrivileged) {
    if (geteuid() == 0) GTEST_SKIP() << "root may open an exclusive terminal again";
    SerialPort second;
    EXPECT_EQ(second.Open(line_.device()), EBUSY);
}

TEST(SerialPortOpen, SoftwareFlowControlIsOffAfterOpenWhateverThePortHeld) {
    testing::PtyPair line;
    ASSERT_TRUE(line.ok());
    // Linux serial ports come up with XON/XOFF output control on.
    {
        const int fd = open(line.device().c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        ASSERT_EQ(tcgetattr(fd, &t), 0);
        t.c_iflag |= IXON | IXOFF;
        ASSERT_EQ(tcsetattr(fd, TCSANOW, &t), 0);
        close(fd);
    }
    SerialPort port;
    SerialSettings record;
    ASSERT_EQ(port.OpenPrepared(line.device(), record), 0);
    EXPECT_FALSE(record.fOutX);
    EXPECT_FALSE(record.fInX);
    // DC3 and DC1 reach the reader, and a DC3 does not stop output.
    line.PeerWrite(
        "\x13\x11"
        "OK");
    std::string got;
    pollfd entry{port.fd(), POLLIN, 0};
    while (got.size() < 4 && poll(&entry, 1, 1000) > 0) {
        unsigned char c = 0;
        if (port.ReadByte(c) == SerialPort::ReadResult::Byte) got += static_cast<char>(c);
    }
    EXPECT_EQ(got,
              "\x13\x11"
              "OK");
    line.PeerWrite("\x13");
    int pumps = 0;
    Waiter give_up(SystemClock(), {}, [&] { return ++pumps > 10; });
    EXPECT_EQ(port.WriteByte('A', &give_up), 0);
    EXPECT_EQ(line.PeerRead(200), "A");
}

TEST(SerialPortOpen, ADeviceLockedByAnotherOpenerIsBusy) {
    testing::PtyPair line;
    ASSERT_TRUE(line.ok());
    const int holder = open(line.device().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    SerialPort port;
    EXPECT_EQ(port.Open(line.device()), EBUSY);
    EXPECT_FALSE(port.IsOpen());
    close(holder);
    EXPECT_EQ(port.Open(line.device()), 0);
}

TEST(SerialPortOpen, BusyHintNamesModemManagerOnlyWhenItRuns) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("rkl-proc-" + std::to_string(getpid()));
    std::filesystem::create_directories(root / "17");
    std::ofstream(root / "17" / "comm") << "bash\n";
    EXPECT_EQ(BusyPortHint(EBUSY, root.string()), "");
    std::filesystem::create_directories(root / "812");
    std::ofstream(root / "812" / "comm") << "ModemManager\n";
    EXPECT_NE(BusyPortHint(EBUSY, root.string()).find("ModemManager"), std::string::npos);
    EXPECT_EQ(BusyPortHint(ENOENT, root.string()), "");
    std::filesystem::remove_all(root);
}

TEST_F(SerialPortPty, RatesOutsideTheTableGoThroughTheArbitraryRateInterface) {
    for (std::uint32_t rate : {14400u, 28800u, 56000u, 2400u}) {
        record_.BaudRate = rate;
        ASSERT_EQ(port_.ApplySettings(record_), 0) << rate;
        SerialSettings back;
        ASSERT_EQ(port_.ReadSettings(back), 0);
        EXPECT_EQ(back.BaudRate, rate);
    }
}

TEST_F(SerialPortPty, SevenBitCharactersReadAsSevenBits) {
    record_.ByteSize = 7;
    record_.Parity = kEvenParity;
    ASSERT_EQ(port_.ApplySettings(record_), 0);
    // An adapter that passes the parity bit on as bit 7.
    line_.PeerWrite("\xCF\xCB\r\n");
    EXPECT_EQ(PortReadAll(), "OK\r\n");
}

TEST_F(SerialPortPty, SettingsAreWrittenWholeAndReadBack) {
    record_.BaudRate = 19200;
    record_.StopBits = kTwoStopBits;
    record_.fOutX = record_.fInX = true;
    record_.XonChar = 17;
    record_.XoffChar = 19;
    record_.XonLim = 384;
    ASSERT_EQ(port_.ApplySettings(record_), 0);
    SerialSettings back = record_;
    back.BaudRate = 0;
    back.StopBits = 0;
    back.fOutX = back.fInX = false;
    back.XonChar = back.XoffChar = 0;
    ASSERT_EQ(port_.ReadSettings(back), 0);
    EXPECT_EQ(back.BaudRate, 19200u);
    EXPECT_EQ(back.StopBits, kTwoStopBits);
    EXPECT_TRUE(back.fOutX);
    EXPECT_TRUE(back.fInX);
    EXPECT_EQ(back.XonChar, 17);
    EXPECT_EQ(back.XoffChar, 19);
    EXPECT_EQ(back.XonLim, 384);  // no termios counterpart: kept as it was

    // A later command changing one member leaves the others in force.
    record_.BaudRate = 115200;
    record_.fOutxCtsFlow = true;
    record_.fRtsControl = kRtsControlHandshake;
    ASSERT_EQ(port_.ApplySettings(record_), 0);
    ASSERT_EQ(port_.ReadSettings(back), 0);
    EXPECT_EQ(back.BaudRate, 115200u);
    EXPECT_EQ(back.StopBits, kTwoStopBits);
    EXPECT_TRUE(back.fOutX);
    EXPECT_TRUE(back.fOutxCtsFlow);

    // One and a half stop bits have no termios form of their own: they read back as two.
    record_.StopBits = kOne5StopBits;
    ASSERT_EQ(port_.ApplySettings(record_), 0);
    ASSERT_EQ(port_.ReadSettings(back), 0);
    EXPECT_EQ(back.StopBits, kTwoStopBits);

    // Framing means nothing on a pseudo-terminal, whose driver keeps 8 bits: still accepted.
    record_.ByteSize = 7;
    record_.Parity = kEvenParity;
    EXPECT_EQ(port_.ApplySettings(record_), 0);
}

TEST_F(SerialPortPty, RecordsTheDriverCannotTakeFailCleanlyAndChangeNothing) {
    record_.BaudRate = 9600;
    ASSERT_EQ(port_.ApplySettings(record_), 0);
    for (int bits : {3, 4, 9}) {
        SerialSettings bad = record_;
        bad.ByteSize = bits;
        EXPECT_EQ(port_.ApplySettings(bad), EINVAL) << bits;
    }
    SerialSettings bad = record_;
    bad.BaudRate = 0;
    EXPECT_EQ(port_.ApplySettings(bad), EINVAL);
    bad = record_;
    bad.Parity = 5;
    EXPECT_EQ(port_.ApplySettings(bad), EINVAL);
    bad = record_;
    bad.StopBits = 3;
    EXPECT_EQ(port_.ApplySettings(bad), EINVAL);
    SerialSettings back;
    ASSERT_EQ(port_.ReadSettings(back), 0);
    EXPECT_EQ(back.BaudRate, 9600u);
}

TEST_F(SerialPortPty, EveryByteCrossesUntranslatedWhenHandshakeIsOff) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    all += '\0';
    line_.PeerWrite(all);
    EXPECT_EQ(PortReadAll(), all);

    for (char c : all)
        ASSERT_EQ(port_.WriteByte(static_cast<unsigned char>(c), nullptr), 0);
    EXPECT_EQ(line_.PeerRead(200), all);
}

TEST_F(SerialPortPty, ReadTakesOneWaitingByteAndOtherwiseReturnsAtOnce) {
    unsigned char c = 0;
    EXPECT_EQ(port_.ReadByte(c), SerialPort::ReadResult::Nothing);
    line_.PeerWrite("OK");
    pollfd entry{port_.fd(), POLLIN, 0};
    ASSERT_EQ(poll(&entry, 1, 1000), 1);
    ASSERT_EQ(port_.ReadByte(c), SerialPort::ReadResult::Byte);
    EXPECT_EQ(c, 'O');
    ASSERT_EQ(port_.ReadByte(c), SerialPort::ReadResult::Byte);
    EXPECT_EQ(c, 'K');
    EXPECT_EQ(port_.ReadByte(c), SerialPort::ReadResult::Nothing);
}

TEST_F(SerialPortPty, PurgeDiscardsWhatWasReceivedAndNotRead) {
    line_.PeerWrite("stale answer");
    pollfd entry{port_.fd(), POLLIN, 0};
    ASSERT_EQ(poll(&entry, 1, 1000), 1);
    EXPECT_EQ(port_.Purge(true, false), 0);
    EXPECT_EQ(port_.Purge(false, true), 0);
    unsigned char c = 0;
    EXPECT_EQ(port_.ReadByte(c), SerialPort::ReadResult::Nothing);
    line_.PeerWrite("fresh");
    EXPECT_EQ(PortReadAll(), "fresh");
}

// What a pseudo-terminal does with the line controls it does not have. Break is accepted
// (and has no effect); the modem-control lines are refused with ENOTTY, but only when a
// record actually changes the DTR level, so handshake and reset commands keep working.
TEST_F(SerialPortPty, LineControlsWithoutModemLines) {
    EXPECT_EQ(port_.SetBreak(true), 0);
    EXPECT_EQ(port_.SetBreak(false), 0);

    record_.fDtrControl = kDtrControlHandshake;  // still raised: nothing to change
    EXPECT_EQ(port_.ApplySettings(record_), 0);
    record_.fDtrControl = kDtrControlDisable;
    EXPECT_EQ(port_.ApplySettings(record_), ENOTTY);
    record_.fDtrControl = kDtrControlEnable;
    EXPECT_EQ(port_.ApplySettings(record_), 0);

    EXPECT_EQ(port_.SetQueueSize(0, 512), EINVAL);
    EXPECT_EQ(port_.SetQueueSize(4096, 2048), 0);
    EXPECT_EQ(port_.input_queue_size(), 4096);
    EXPECT_EQ(port_.output_queue_size(), 2048);
}

}  // namespace
}  // namespace rkl::platform
