// The modem service provider, loaded like any provider, against a mock modem service on a
// private system bus whose modem's AT port is a pagingsim pseudo-terminal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "tests/child_process/child_process.h"

#include "engine/platform/telephony/line_error_names.h"
#include "engine/platform/telephony/telephony_api.h"
#include "telephony/line_devices.h"
#include "telephony/modemmanager/modem_lines.h"
#include "tests/pagingsim/sender_blocks.h"
#include "tests/pagingsim/sim_process.h"
#include "tests/telephony_mm/private_bus.h"

using namespace vorla::telephony;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

constexpr const char* kDevice = "/sys/devices/pci0000:00/usb1/1-2";
constexpr const char* kIdentifier = "5b1c8a0e9d";

struct Message {
    uint32_t device, message;
    uintptr_t instance, param1, param2;
};
std::vector<Message> received;

void Record(uint32_t device, uint32_t message, uintptr_t instance, uintptr_t param1, uintptr_t param2,
            uintptr_t) {
    received.push_back({device, message, instance, param1, param2});
}

std::string ModemJson(const std::string& device, const std::string& identifier, const std::string& atPort) {
    return "{\"manufacturer\": \"Acme\", \"model\": \"Dialer 56\", \"identifier\": \"" + identifier +
           "\", \"device\": \"" + device + "\", \"primary\": \"" + atPort + "\", \"ports\": [[\"" + atPort +
           "\", 3], [\"wwan0\", 2]]}";
}

class ModemServiceProvider : public ::testing::Test {
protected:
    void SetUp() override {
        received.clear();
        ASSERT_TRUE(bus_.ready());
        api_ = TelephonyApi::Load(VORLA_MM_PROVIDER);
        ASSERT_TRUE(api_->ProviderPresent()) << api_->LoadError();
    }

    // The pseudo-terminal of a running pagingsim, as the modem service names ports.
    std::string StartModem() {
        sim_ = std::make_unique<pagingsim::testing::SimProcess>(std::vector<std::string>{});
        if (!sim_->ready()) return {};
        char target[256] = {};
        const ssize_t size = readlink(sim_->link().c_str(), target, sizeof target - 1);
        return size > 5 ? std::string(target + 5, static_cast<size_t>(size) - 5) : std::string();
    }

    // Dispatches the provider's events until `done` or a generous limit.
    bool DispatchUntil(uint32_t app, const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            api_->lineDispatchEvents(app);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    static bool Got(uint32_t message, uintptr_t param1) {
        for (const Message& m : received)
            if (m.message == message && m.param1 == param1) return true;
        return false;
    }

    static std::string PortOf(TelephonyApi& api, uint32_t call) {
        std::vector<unsigned char> buffer(256, 0);
        auto* answer = reinterpret_cast<VorlaVarString*>(buffer.data());
        answer->totalSize = static_cast<uint32_t>(buffer.size());
        if (api.lineGetID(0, 0, call, VORLA_LINECALLSELECT_CALL, answer, VORLA_DEVICE_CLASS_DATAMODEM) != 0)
            return {};
        return reinterpret_cast<const char*>(buffer.data() + answer->stringOffset + 4);
    }

    vorla::testing::PrivateBus bus_;
    std::unique_ptr<TelephonyApi> api_;
    std::unique_ptr<pagingsim::testing::SimProcess> sim_;
};

VorlaLineCallParams PassThrough() {
    VorlaLineCallParams params{};
    params.totalSize = sizeof params;
    params.bearerMode = VORLA_LINEBEARERMODE_PASSTHROUGH;
    params.mediaMode = VORLA_LINEMEDIAMODE_DATAMODEM;
    params.callParamFlags = VORLA_LINECALLPARAMFLAGS_IDLE;
    params.addressMode = VORLA_LINEADDRESSMODE_ADDRESSID;
    return params;
}

TEST_F(ModemServiceProvider, NoModemServiceOrNoBusMeansNoLinesAndNoError) {
    const std::string noBus = "unix:path=" + bus_.folder() + "/nothing-listens-here";
    for (const std::string& address : {bus_.address(), noBus}) {
        setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
        const LineDeviceScan scan = ScanLineDevices(*api_);
        EXPECT_EQ(scan.initializeResult, 0) << address;
        EXPECT_TRUE(scan.devices.empty()) << address;
    }
}

TEST_F(ModemServiceProvider, ListsTheModemWithItsNameAndAnIdThatSurvivesARestart) {
    const std::string port = StartModem();
    ASSERT_FALSE(port.empty());
    ASSERT_TRUE(bus_.StartModemService("[" + ModemJson(kDevice, kIdentifier, port) + "]"));
    const LineDeviceScan first = ScanLineDevices(*api_);
    ASSERT_EQ(first.devices.size(), 1u) << bus_.ModemServiceLog();
    EXPECT_EQ(first.devices[0].name, "Acme Dialer 56");

    // Restarted, the service numbers its modems anew (another modem comes first now).
    ASSERT_TRUE(bus_.StartModemService(
        "[{\"device\": \"/sys/other\", \"identifier\": \"77\", \"ports\": [[\"cdc-wdm0\", 6]]}, " +
        ModemJson(kDevice, kIdentifier, port) + "]"));
    const LineDeviceScan second = ScanLineDevices(*api_);
    ASSERT_EQ(second.devices.size(), 1u);
    EXPECT_EQ(second.devices[0].permanentLineId, first.devices[0].permanentLineId);
}

TEST_F(ModemServiceProvider, ACallHoldsTheModemAndHandsOutItsPortUntilDroppedOrClosed) {
    const std::string port = StartModem();
    ASSERT_FALSE(port.empty());
    ASSERT_TRUE(bus_.StartModemService("[" + ModemJson(kDevice, kIdentifier, port) + "]"));
    uint32_t app = 0, count = 0;
    ASSERT_EQ(api_->lineInitialize(&app, nullptr, &Record, nullptr, &count), 0);
    ASSERT_EQ(count, 1u);
    const VorlaLineCallParams params = PassThrough();

    // Ended by lineDrop, then by lineClose without a drop.
    for (const bool dropFirst : {true, false}) {
        SCOPED_TRACE(dropFirst ? "drop" : "close");
        received.clear();
        uint32_t line = 0, call = 0, other = 0, otherCall = 0;
        ASSERT_EQ(api_->lineOpen(app, 0, &line, 0x00010004, 0, 0x5eed, VORLA_LINECALLPRIVILEGE_NONE,
                                 VORLA_LINEMEDIAMODE_DATAMODEM, nullptr),
                  0);
        const int32_t request = api_->lineMakeCall(line, &call, nullptr, 0, &params);
        ASSERT_GT(request, 0);
        ASSERT_TRUE(DispatchUntil(app, [&] {
            return Got(VORLA_LINE_CALLSTATE, VORLA_LINECALLSTATE_CONNECTED);
        })) << bus_.ModemServiceLog();
        EXPECT_TRUE(Got(VORLA_LINE_REPLY, static_cast<uintptr_t>(request)));
        EXPECT_EQ(received.front().instance, 0x5eedu);
        EXPECT_THAT(bus_.ModemServiceLog(), HasSubstr(std::string("inhibited ") + kDevice));

        // The modem is ours until the modem service has it back: a second line cannot call on it.
        const auto secondLineIsRefused = [&] {
            ASSERT_EQ(api_->lineOpen(app, 0, &other, 0x00010004, 0, 0, VORLA_LINECALLPRIVILEGE_NONE,
                                     VORLA_LINEMEDIAMODE_DATAMODEM, nullptr),
                      0);
            EXPECT_EQ(api_->lineMakeCall(other, &otherCall, nullptr, 0, &params), kLineErrInUse);
            EXPECT_EQ(api_->lineClose(other), 0);
        };
        secondLineIsRefused();

        // The port handed out is the modem's: pagingsim answers on it.
        const std::string path = PortOf(*api_, call);
        EXPECT_EQ(path, "/dev/" + port);
        auto serial = pagingsim::testing::Line::OpenSerial(path);
        ASSERT_TRUE(serial.open());
        serial.Send("AT\r");
        EXPECT_THAT(serial.Expect("OK"), HasSubstr("OK"));
        serial.Close();

        EXPECT_THAT(bus_.ModemServiceLog(), Not(HasSubstr("released")));
        if (dropFirst) {
            const int32_t dropRequest = api_->lineDrop(call, nullptr, 0);
            ASSERT_GT(dropRequest, 0);
            secondLineIsRefused();
            ASSERT_TRUE(
                DispatchUntil(app, [&] { return Got(VORLA_LINE_CALLSTATE, VORLA_LINECALLSTATE_IDLE); }));
            EXPECT_TRUE(Got(VORLA_LINE_REPLY, static_cast<uintptr_t>(dropRequest)));
            EXPECT_THAT(bus_.ModemServiceLog(),
                        HasSubstr(std::string("released ") + kDevice + " (uninhibit)"));
        }
        EXPECT_EQ(api_->lineClose(line), 0);
        EXPECT_THAT(bus_.ModemServiceLog(), HasSubstr(std::string("released ") + kDevice + " (uninhibit)"));
        bus_.StartModemService("[" + ModemJson(kDevice, kIdentifier, port) + "]");  // a fresh log
    }
    EXPECT_EQ(api_->lineShutdown(app), 0);
}

TEST_F(ModemServiceProvider, AModemThatWentAwayFailsTheCallInItsReply) {
    ASSERT_TRUE(bus_.StartModemService("[" + ModemJson(kDevice, kIdentifier, "ttyACM0") + "]"));
    uint32_t app = 0, count = 0, line = 0, call = 0;
    ASSERT_EQ(api_->lineInitialize(&app, nullptr, &Record, nullptr, &count), 0);
    ASSERT_EQ(count, 1u);
    bus_.StopModemService();
    ASSERT_EQ(api_->lineOpen(app, 0, &line, 0x00010004, 0, 1, VORLA_LINECALLPRIVILEGE_NONE,
                             VORLA_LINEMEDIAMODE_DATAMODEM, nullptr),
              0);
    const VorlaLineCallParams params = PassThrough();
    const int32_t request = api_->lineMakeCall(line, &call, nullptr, 0, &params);
    ASSERT_GT(request, 0);
    ASSERT_TRUE(
        DispatchUntil(app, [&] { return Got(VORLA_LINE_CALLSTATE, VORLA_LINECALLSTATE_DISCONNECTED); }));
    ASSERT_TRUE(Got(VORLA_LINE_REPLY, static_cast<uintptr_t>(request)));
    for (const Message& m : received)
        if (m.message == VORLA_LINE_REPLY) {
            EXPECT_EQ(static_cast<int32_t>(m.param2), kLineErrNoDevice);
        }
    EXPECT_EQ(PortOf(*api_, call), "");
    EXPECT_EQ(api_->lineShutdown(app), 0);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// rklrun's exit status, or -1 when it did not end in time (then it is killed).
int WaitForExit(pid_t pid, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The shipped telephony script pages through the modem's line: named by the environment, and
// as the build's default provider beside rklrun.
TEST_F(ModemServiceProvider, APageThroughTheTelephonyScriptReachesTheTerminalAndTheModemIsGivenBack) {
    const std::string port = StartModem();
    ASSERT_FALSE(port.empty());
    for (const bool named : {true, false}) {
        SCOPED_TRACE(named ? "VORLAPRO_TELEPHONY_PROVIDER" : "default provider");
        ASSERT_TRUE(bus_.StartModemService("[" + ModemJson(kDevice, kIdentifier, port) + "]"));
        const LineDeviceScan scan = ScanLineDevices(*api_);
        ASSERT_EQ(scan.devices.size(), 1u);
        if (named)
            setenv("VORLAPRO_TELEPHONY_PROVIDER", VORLA_MM_PROVIDER, 1);
        else
            unsetenv("VORLAPRO_TELEPHONY_PROVIDER");
        const std::string pin = named ? "5551234" : "5554321";
        const std::string out = bus_.folder() + "/rklrun.out";
        const pid_t rklrun = vorla::testing::StartChild(
            {VORLA_RKLRUN, VORLA_SOURCE_DIR "/rklfiles/vlptapi.rkl", "serviceName=Demo",
             "serviceNumber=5550100", "dialMode=ATDT", "modemString=ATE0Q0V1X4", "modemName=Acme Dialer 56",
             "permanentLineID=" + std::to_string(scan.devices[0].permanentLineId), "CONNECT",
             "pageBlock=" + pagingsim::testing::SenderBlocks(pin, "HELLO")[0], "currentPageNumber=1",
             "totalPages=1", "pagerName=Test", "SEND_PAGE", "DISCONNECT"},
            out, bus_.folder() + "/rklrun.err");
        unsetenv("VORLAPRO_TELEPHONY_PROVIDER");
        ASSERT_GT(rklrun, 0);
        EXPECT_EQ(WaitForExit(rklrun, std::chrono::seconds(60)), 0)
            << ReadFile(out) << ReadFile(bus_.folder() + "/rklrun.err") << sim_->Trace();
        EXPECT_THAT(ReadFile(sim_->log_path()), HasSubstr(pin));
        const std::string log = bus_.ModemServiceLog();
        EXPECT_THAT(log, HasSubstr(std::string("inhibited ") + kDevice));
        EXPECT_THAT(log, HasSubstr(std::string("released ") + kDevice + " (uninhibit)"));
    }
}

// A program that dies with a call up must not leave the modem inhibited: the inhibition lives on
// the dead program's own bus connection.
TEST_F(ModemServiceProvider, TheModemIsGivenBackWhenTheProgramHoldingItDies) {
    const std::string port = StartModem();
    ASSERT_FALSE(port.empty());
    ASSERT_TRUE(bus_.StartModemService("[" + ModemJson(kDevice, kIdentifier, port) + "]"));
    const LineDeviceScan scan = ScanLineDevices(*api_);
    ASSERT_EQ(scan.devices.size(), 1u);
    const std::string script = bus_.folder() + "/hold.rkl";
    std::ofstream(script) << "ENTRY MAIN\nLABEL MAIN\nTAPIOPENPORT {permanentLineID} NoLine\nECHO holding\n"
                             "DELAY 6000\nEXIT 0\nLABEL NoLine\nEXIT 9\n";
    const std::string out = bus_.folder() + "/hold.out";
    setenv("VORLAPRO_TELEPHONY_PROVIDER", VORLA_MM_PROVIDER, 1);
    const pid_t rklrun = vorla::testing::StartChild(
        {VORLA_RKLRUN, script, "permanentLineID=" + std::to_string(scan.devices[0].permanentLineId), "MAIN"},
        out, bus_.folder() + "/hold.err");
    unsetenv("VORLAPRO_TELEPHONY_PROVIDER");
    ASSERT_GT(rklrun, 0);
    const auto within = [](const std::function<bool()>& done) {
        for (int i = 0; i < 1000 && !done(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return done();
    };
    ASSERT_TRUE(within([&] { return ReadFile(out).find("ECHO: holding") != std::string::npos; }))
        << ReadFile(out) << ReadFile(bus_.folder() + "/hold.err");
    EXPECT_THAT(bus_.ModemServiceLog(), Not(HasSubstr("released")));
    kill(rklrun, SIGKILL);
    waitpid(rklrun, nullptr, 0);
    EXPECT_TRUE(within([&] { return bus_.ModemServiceLog().find("(client gone)") != std::string::npos; }))
        << bus_.ModemServiceLog();
}

}  // namespace
