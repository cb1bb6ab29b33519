// Naming, numbering and port choice of the modem lines, and reading the modem service's
// object list; no bus needed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "engine/platform/telephony/line_error_names.h"
#include "engine/platform/telephony/telephony_api.h"
#include "telephony/modemmanager/managed_objects.h"
#include "telephony/modemmanager/modem_lines.h"

using namespace vorla::telephony;
using namespace vorla::telephony::modemmanager;

namespace {

ModemInfo Modem(std::string device, std::string identifier,
                std::vector<std::pair<std::string, uint32_t>> ports, std::string primary = "") {
    ModemInfo modem;
    modem.objectPath = "/org/freedesktop/ModemManager1/Modem/0";
    modem.manufacturer = "Acme";
    modem.model = "Dialer 56";
    modem.device = std::move(device);
    modem.deviceIdentifier = std::move(identifier);
    modem.ports = std::move(ports);
    modem.primaryPort = std::move(primary);
    return modem;
}

TEST(ModemLines, LineNames) {
    const struct {
        const char* manufacturer;
        const char* model;
        const char* name;
    } cases[] = {
        {"Acme", "Dialer 56", "Acme Dialer 56"},
        {" Acme\t", "  Dialer 56 ", "Acme Dialer 56"},
        {"Quectel", "QUECTEL EC25", "QUECTEL EC25"},  // the model already names its maker
        {"", "Dialer 56", "Dialer 56"},
        {"Acme", "", "Acme"},
        {"Sierra\xE2\x84\xA2", "M\xC3\xBC 7", "Sierra? M? 7"},  // one '?' per character, not per byte
        {"Acme\r\n", "X\x01Y", "Acme X?Y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineName(c.manufacturer, c.model), c.name) << c.manufacturer;
}

TEST(ModemLines, AtPortChoice) {
    const std::pair<std::string, uint32_t> at1{"ttyUSB1", kAtPortType}, at2{"ttyUSB2", kAtPortType},
        qmi{"cdc-wdm0", 6}, net{"wwan0", 2};
    const struct {
        std::vector<std::pair<std::string, uint32_t>> ports;
        std::string primary;
        std::string path;
    } cases[] = {
        {{at1, at2}, "ttyUSB2", "/dev/ttyUSB2"},             // the primary port when it speaks AT
        {{qmi, net, at2, at1}, "cdc-wdm0", "/dev/ttyUSB2"},  // else the first AT port
        {{qmi, net}, "cdc-wdm0", ""},
        {{{"pts/7", kAtPortType}}, "", "/dev/pts/7"},
        {{{"../sda", kAtPortType}}, "", ""},  // names that would leave /dev
        {{{"/etc/passwd", kAtPortType}}, "", ""},
        {{{"pts/../../x", kAtPortType}}, "", ""},
        {{{"tty USB0", kAtPortType}}, "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AtPortPath(Modem("/sys/a", "id", c.ports, c.primary)), c.path) << c.primary;
}

TEST(ModemLines, IdsDependOnTheDeviceIdentifierAloneAndTwinsDiffer) {
    const std::pair<std::string, uint32_t> at{"ttyACM0", kAtPortType};
    ModemInfo first = Modem("/sys/usb1", "f00d", {at});
    ModemInfo moved = first;  // after a restart of the modem service: another object path
    moved.objectPath = "/org/freedesktop/ModemManager1/Modem/9";
    const auto before = LinesFromModems({first});
    const auto after = LinesFromModems({moved});
    ASSERT_EQ(before.size(), 1u);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(before[0].permanentLineId, after[0].permanentLineId);
    EXPECT_EQ(before[0].permanentLineId, LineIdFor("f00d"));

    // Two identical modems on different sockets, listed in either order.
    const ModemInfo twin = Modem("/sys/usb2", "f00d", {{"ttyACM1", kAtPortType}});
    const ModemInfo noAt = Modem("/sys/usb0", "beef", {{"cdc-wdm0", 6}});
    for (const auto& modems :
         {std::vector<ModemInfo>{twin, noAt, first}, std::vector<ModemInfo>{first, twin}}) {
        const auto lines = LinesFromModems(modems);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].device, "/sys/usb1");
        EXPECT_EQ(lines[0].permanentLineId, LineIdFor("f00d"));
        EXPECT_EQ(lines[1].device, "/sys/usb2");
        EXPECT_EQ(lines[1].portPath, "/dev/ttyACM1");
        EXPECT_NE(lines[1].permanentLineId, lines[0].permanentLineId);
    }
}

TEST(ModemLines, DevCapsRecordGrowsToTheName) {
    ModemLine line;
    line.name = "Acme Dialer 56";
    line.permanentLineId = 77;
    const uint32_t needed = sizeof(VorlaLineDevCaps) + 15;
    for (const uint32_t size : {needed - 1, needed, needed + 40}) {
        std::vector<unsigned char> buffer(size + 8, 0xEE);  // the bytes past totalSize must stay untouched
        auto* caps = reinterpret_cast<VorlaLineDevCaps*>(buffer.data());
        caps->totalSize = size;
        ASSERT_EQ(FillDevCaps(line, caps), 0);
        EXPECT_EQ(caps->neededSize, needed);
        EXPECT_EQ(caps->permanentLineId, 77u);
        for (size_t i = size; i < buffer.size(); ++i)
            ASSERT_EQ(buffer[i], 0xEE) << size;
        if (size < needed) {
            EXPECT_EQ(caps->lineNameSize, 0u);
            continue;
        }
        EXPECT_EQ(caps->usedSize, needed);
        EXPECT_STREQ(reinterpret_cast<const char*>(buffer.data() + caps->lineNameOffset), "Acme Dialer 56");
    }
    VorlaLineDevCaps tiny{};
    tiny.totalSize = 8;
    EXPECT_EQ(FillDevCaps(line, &tiny), kLineErrStructureTooSmall);
}

TEST(ModemLines, CommPortAnswerNamesThePortForTheCallerToOpen) {
    std::vector<unsigned char> buffer(64, 0);
    auto* answer = reinterpret_cast<VorlaVarString*>(buffer.data());
    answer->totalSize = sizeof(VorlaVarString) + 4;  // too small: says how much it needs
    ASSERT_EQ(FillCommPort("/dev/ttyUSB2", answer), 0);
    EXPECT_EQ(answer->neededSize, sizeof(VorlaVarString) + 4 + 13);
    EXPECT_EQ(answer->stringSize, 0u);
    answer->totalSize = static_cast<uint32_t>(buffer.size());
    ASSERT_EQ(FillCommPort("/dev/ttyUSB2", answer), 0);
    VorlaCommPort port{};
    std::memcpy(&port.fd, buffer.data() + answer->stringOffset, sizeof port.fd);
    EXPECT_EQ(port.fd, -1);
    EXPECT_STREQ(reinterpret_cast<const char*>(buffer.data() + answer->stringOffset + 4), "/dev/ttyUSB2");
}

TEST(ManagedObjects, ReadsModemsAndSkipsEverythingElse) {
    const char* text =
        "{objectpath '/org/freedesktop/ModemManager1/Modem/3': {"
        "   'org.freedesktop.ModemManager1.Modem': {'Manufacturer': <'Acme'>, 'Model': <'Dialer 56'>,"
        "     'DeviceIdentifier': <'f00d'>, 'Device': <'/sys/usb1'>, 'PrimaryPort': <'ttyACM0'>,"
        "     'Ports': <[('ttyACM0', uint32 3), ('wwan0', 2)]>},"
        "   'org.freedesktop.ModemManager1.Modem.Simple': @a{sv} {}},"
        " objectpath '/org/freedesktop/ModemManager1/SIM/0': {'org.freedesktop.ModemManager1.Sim': @a{sv} "
        "{}},"
        " objectpath '/org/freedesktop/ModemManager1/Modem/4': {"
        "   'org.freedesktop.ModemManager1.Modem': {'Manufacturer': <uint32 5>, 'Ports': <'ttyS0'>}}}";
    GVariant* objects = g_variant_parse(G_VARIANT_TYPE("a{oa{sa{sv}}}"), text, nullptr, nullptr, nullptr);
    ASSERT_NE(objects, nullptr);
    const auto modems = ModemsFromManagedObjects(objects);
    g_variant_unref(objects);
    ASSERT_EQ(modems.size(), 2u);
    EXPECT_EQ(modems[0].objectPath, "/org/freedesktop/ModemManager1/Modem/3");
    EXPECT_EQ(modems[0].manufacturer, "Acme");
    EXPECT_EQ(modems[0].deviceIdentifier, "f00d");
    EXPECT_EQ(modems[0].device, "/sys/usb1");
    EXPECT_THAT(modems[0].ports, ::testing::ElementsAre(std::pair<std::string, uint32_t>{"ttyACM0", 3},
                                                        std::pair<std::string, uint32_t>{"wwan0", 2}));
    // Properties of the wrong type read as absent.
    EXPECT_EQ(modems[1].manufacturer, "");
    EXPECT_TRUE(modems[1].ports.empty());

    GVariant* wrongType = g_variant_new_string("x");
    EXPECT_TRUE(ModemsFromManagedObjects(wrongType).empty());
    g_variant_unref(g_variant_ref_sink(wrongType));
}

TEST(DefaultProvider, IsTheModemProviderBesideTheProgramUnlessTheEnvironmentNamesOne) {
    // This test program sits in the build's bin folder, as the program does.
    unsetenv("VORLAPRO_TELEPHONY_PROVIDER");
    const std::string chosen = DefaultProviderName();
    std::error_code error;
    EXPECT_TRUE(std::filesystem::equivalent(chosen, VORLA_MM_PROVIDER, error)) << chosen;
    setenv("VORLAPRO_TELEPHONY_PROVIDER", "/opt/other/provider.so", 1);
    EXPECT_EQ(DefaultProviderName(), "/opt/other/provider.so");
    unsetenv("VORLAPRO_TELEPHONY_PROVIDER");
}

}  // namespace
