// OPENPORT, CLOSEPORT and the commands that set the port up, with their error paths.
// A pseudo-terminal has no modem-control lines: DTR OFF (a change of the DTR level) fails
// there with the platform's error and stops with -103.
#include <gtest/gtest.h>

#include <string>

#include "tests/engine_serial/serial_script_harness.h"

namespace engine_serial_test {
namespace {

constexpr const char* kStopAfter = "EXIT 0 done\nLABEL Failed\nEXIT 7 took the error label\n";

TEST(OpenPort, OpensTheMappedDeviceByUpperCaseNameAndClosesAgain) {
    SerialScript s(std::string("OPENPORT com1 Failed\nECHO open\nCLOSEPORT Failed\nCLOSEPORT Failed\n") +
                   kStopAfter);
    const int before = s.OpenDescriptors();
    s.Run();
    EXPECT_EQ(s.code(), 0) << s.text();
    EXPECT_STREQ(s.engine().PortName(), "COM1");
    EXPECT_FALSE(s.engine().PortIsOpen());
    EXPECT_EQ(SerialScript::echoes, std::vector<std::string>{"open"});
    EXPECT_EQ(s.OpenDescriptors(), before);
}

TEST(OpenPort, FailureCarriesTheSystemErrorAndGoesOnAtTheLabel) {
    SerialScript s(std::string("OPENPORT COM2 Failed\n") + kStopAfter);
    SerialScript::ports["COM2"] = "/nonexistent/tty";
    s.Run();
    EXPECT_EQ(s.code(), 7);  // the label ran; it replaced the open error with its own
    // The open failure itself does not stop the entry: the next line still runs.
    SerialScript u("OPENPORT COM2 Failed\nLABEL Failed\nRECV 0\n");
    SerialScript::ports["COM2"] = "/nonexistent/tty";
    u.engine().Run("M");
    u.engine().DoIdle();  // OPENPORT
    EXPECT_TRUE(u.engine().IsRunning());
    EXPECT_EQ(u.code(), 2);
    EXPECT_EQ(u.text(), "Open Error 2: No such file or directory");
    EXPECT_FALSE(u.engine().PortIsOpen());
}

TEST(OpenPort, ARefusedTcpEndpointGoesOnAtTheLabelWithItsText) {
    SerialScript s("OPENPORT COM5 Failed\nLABEL Failed\nRECV 0\n");
    SerialScript::ports["COM5"] = "tcp://127.0.0.1:1";  // a privileged port nobody serves here
    s.engine().Run("M");
    s.engine().DoIdle();
    EXPECT_TRUE(s.engine().IsRunning());
    EXPECT_EQ(s.code(), 111);
    EXPECT_EQ(s.text(), "Open Error 111: Connection refused");
    EXPECT_FALSE(s.engine().PortIsOpen());
}

TEST(OpenPort, NotATerminalAndMissingLabelsAreReported) {
    SerialScript notTty("OPENPORT COM3 Failed\nLABEL Failed\nEXIT 1\n");
    SerialScript::ports["COM3"] = "/dev/null";
    notTty.engine().Run("M");
    notTty.engine().DoIdle();
    EXPECT_EQ(notTty.code(), 25);  // ENOTTY
    EXPECT_EQ(notTty.text().rfind("Open Error 25: ", 0), 0u) << notTty.text();

    // With only the port name, word 2 repeats it: the jump goes to a label named COM4.
    SerialScript noLabel("OPENPORT COM4\nEXIT 0\n");
    SerialScript::ports["COM4"] = "/nonexistent/tty";
    noLabel.Run();
    EXPECT_EQ(noLabel.code(), -13);
    EXPECT_EQ(noLabel.text(), "Jump: No Label \"COM4\"");
}

TEST(OpenPort, ReopeningClosesTheOldDescriptorAndClearsTheMatchBuffer) {
    SerialScript s(
        "OPENPORT COM1 Failed\nRECV 6\nOPENPORT COM1 Failed\nOPENPORT COM1 Failed\nEXIT 0\n"
        "LABEL Failed\nEXIT 7\n");
    const int before = s.OpenDescriptors();
    s.line().PeerWrite("HELLO");
    s.engine().Run("M");
    s.engine().DoIdle();  // OPENPORT
    s.engine().DoIdle();  // RECV
    EXPECT_EQ(s.engine().MatchRing().Count(), 5);
    s.engine().DoIdle();
    EXPECT_EQ(s.engine().MatchRing().Count(), 0);
    s.engine().DoIdle();
    EXPECT_EQ(s.OpenDescriptors(), before + 1);  // one port, not two
    s.engine().DoIdle();
    EXPECT_EQ(s.code(), 0);
}

TEST(OpenPort, DestroyingTheHandleClosesThePort) {
    int before = 0;
    {
        SerialScript s("OPENPORT COM1 Failed\nEXIT 0\nLABEL Failed\nEXIT 7\n");
        before = s.OpenDescriptors();
        s.Run();
        ASSERT_TRUE(s.engine().PortIsOpen());
        EXPECT_EQ(s.OpenDescriptors(), before + 1);
    }
    SerialScript t("EXIT 0\n");
    EXPECT_EQ(t.OpenDescriptors(), before);
}

TEST(ClosePort, NeedsALabelEvenWhenClosed) {
    SerialScript s("CLOSEPORT   \nEXIT 0\n");
    s.Run();
    EXPECT_EQ(s.code(), -102);
    EXPECT_EQ(s.text(), "ClosePort: No Error Label");
}

struct CommandCase {
    const char* lines;
    int32_t code;
    const char* text;
};

void ExpectCases(const std::vector<CommandCase>& cases) {
    for (const CommandCase& c : cases) {
        SerialScript s(std::string(c.lines) + "\nEXIT 0 done\nLABEL Failed\nEXIT 7\n");
        s.Run();
        EXPECT_EQ(s.code(), c.code) << c.lines;
        EXPECT_EQ(s.text(), c.text) << c.lines;
    }
}

TEST(SetupCommands, ArgumentErrorsStopWithTheirCodesInCheckOrder) {
    ExpectCases({
        {"OPENPORT COM1 Failed\nSERRESET 9600 N 8 1", -120, "SerReset: Parity Error"},
        {"OPENPORT COM1 Failed\nSERRESET 9600 X 9 3", -120, "SerReset: Parity Error"},
        {"OPENPORT COM1 Failed\nSERRESET 9600 none 9 3", -118, "SerReset: Data Bits Error"},
        {"OPENPORT COM1 Failed\nSERRESET 9600 none 2 1", -118, "SerReset: Data Bits Error"},
        {"OPENPORT COM1 Failed\nSERRESET 9600 even 7 3", -121, "SerReset: Stop Bits Error"},
        {"OPENPORT COM1 Failed\nSERHSHAKE XY", -115, "SerHShake: Parameter Error"},
        {"OPENPORT COM1 Failed\nSERHSHAKE SW  ", -116, "SerHShake: XOn/XOff Error"},
        {"OPENPORT COM1 Failed\nDTR maybe", -104, "DTR: Parameter Error"},
    });
}

TEST(SetupCommands, OnAClosedPortEachFailsInThePlatformCall) {
    ExpectCases({
        {"SERRESET 9600 NONE 8 1", -119, "SerReset: Error"},
        {"SERHSHAKE NONE", -114, "SerHShake: Error"},
        {"SERSETBUF 1024", -122, "SerSetBuf: Error setting buffer size"},
        {"DTR ON", -103, "DTR: Error"},
        {"BREAK 1", -101, "Break: Error"},
        {"FLUSH", -105, "Flush: Error TX Queue or Device"},
    });
}

TEST(SetupCommands, SettingsAccumulateInTheOneRecord) {
    SerialScript s(
        "OPENPORT COM1 Failed\nSERRESET 4800 Even 7 2\nSERHSHAKE hw\nSERSETBUF 0\n"
        "DTR on\nEXIT 0\nLABEL Failed\nEXIT 7\n");
    s.Run();
    ASSERT_EQ(s.code(), 0) << s.text();
    const auto& dcb = s.engine().PortSettings();
    EXPECT_EQ(dcb.BaudRate, 4800u);
    EXPECT_EQ(dcb.Parity, rkl::platform::kEvenParity);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.StopBits, rkl::platform::kTwoStopBits);
    EXPECT_TRUE(dcb.fOutxCtsFlow);
    EXPECT_EQ(dcb.fRtsControl, rkl::platform::kRtsControlHandshake);
    EXPECT_EQ(dcb.fDtrControl, rkl::platform::kDtrControlEnable);  // DTR ON came last
    EXPECT_TRUE(dcb.fParity);
    EXPECT_EQ(dcb.XonLim, 384);
    EXPECT_EQ(s.engine().QueueSize(), 512);

    SerialScript sw(
        "OPENPORT COM1 Failed\nSERHSHAKE SW 17 19\nSERSETBUF 2048\nEXIT 0\nLABEL Failed\nEXIT 7\n");
    sw.Run();
    ASSERT_EQ(sw.code(), 0) << sw.text();
    EXPECT_TRUE(sw.engine().PortSettings().fOutX);
    EXPECT_EQ(sw.engine().PortSettings().XonChar, 17);
    EXPECT_EQ(sw.engine().PortSettings().XoffChar, 19);
    EXPECT_EQ(sw.engine().QueueSize(), 2048);
}

TEST(SetupCommands, ARefusedChangeLeavesTheRecordAsTheDeviceHasIt) {
    // 0 bit/s is no rate any driver runs; DTR OFF needs a modem-control line, which a
    // pseudo-terminal does not have. Neither may poison the next command.
    SerialScript rate(
        "OPENPORT COM1 Failed\nSERRESET 2400 NONE 8 1\nSERRESET 0 NONE 8 1\nEXIT 0\n"
        "LABEL Failed\nEXIT 7\n");
    rate.Run();
    EXPECT_EQ(rate.code(), -119);
    EXPECT_EQ(rate.engine().PortSettings().BaudRate, 2400u);

    SerialScript dtr(
        "OPENPORT COM1 Failed\nDTR OFF\nEXIT 0\nLABEL Failed\nEXIT 7\n"
        "ENTRY N\nLABEL N\nSERHSHAKE NONE\nEXIT 0 still usable\n");
    dtr.Run();
    EXPECT_EQ(dtr.code(), -103);
    EXPECT_EQ(dtr.engine().PortSettings().fDtrControl, rkl::platform::kDtrControlEnable);
    dtr.Run("N");
    EXPECT_EQ(dtr.code(), 0) << dtr.text();
}

TEST(SetupCommands, FlushDropsWhatWaitsAndWhatWasMatched) {
    SerialScript s(
        "OPENPORT COM1 Failed\nRECV 3\nDELAY 3\nFLUSH\nRECVTEXT 0 Got OK\nRECV 6\nEXIT 0 nothing\n"
        "LABEL Got\nEXIT 1 matched stale input\nLABEL Failed\nEXIT 7\n");
    s.line().PeerWrite("O");
    s.engine().Run("M");
    s.engine().DoIdle();          // OPENPORT
    s.engine().DoIdle();          // RECV: "O" is in the match buffer
    s.line().PeerWrite("K\r\n");  // waits in the port until FLUSH
    s.Continue();
    EXPECT_EQ(s.code(), 0) << s.text();
    EXPECT_EQ(s.engine().MatchRing().Count(), 0);
}

TEST(Break, SignalsForTheTicksAndGoesOn) {
    SerialScript s("OPENPORT COM1 Failed\nBREAK 6\nEXIT 0 done\nLABEL Failed\nEXIT 7\n");
    const auto took = s.Run();
    EXPECT_EQ(s.code(), 0) << s.text();
    EXPECT_GE(took.count(), 6 * 17);
}

}  // namespace
}  // namespace engine_serial_test
