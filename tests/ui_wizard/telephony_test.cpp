// The telephony provider loaded at run time: no provider, a provider that fails, and the
// device list of the simulated provider with its awkward devices.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/platform/telephony/line_error_names.h"
#include "engine/platform/telephony/telephony_api.h"
#include "telephony/device_settings.h"
#include "telephony/line_devices.h"

using namespace vorla::telephony;
using ::testing::ElementsAre;
using ::testing::Field;

namespace {

class SimProvider : public ::testing::Test {
protected:
    void SetUp() override { unsetenv("VORLA_SIM_TELEPHONY_INIT"); }
    void TearDown() override { unsetenv("VORLA_SIM_TELEPHONY_INIT"); }
    static std::unique_ptr<TelephonyApi> Load() { return TelephonyApi::Load(VORLA_SIM_PROVIDER); }
};

TEST(TelephonyProvider, AMissingProviderMeansNoTelephonyAndEveryCallIsUnavailable) {
    auto api = TelephonyApi::Load("/nonexistent/libno-such-provider.so");
    EXPECT_FALSE(api->ProviderPresent());
    EXPECT_FALSE(api->LoadError().empty());
    uint32_t app = 0, count = 0;
    EXPECT_EQ(api->lineInitialize(&app, nullptr, nullptr, nullptr, &count), kLineErrOperationUnavail);
    EXPECT_EQ(api->lineShutdown(app), kLineErrOperationUnavail);

    const LineDeviceScan scan = ScanLineDevices(*api);
    EXPECT_FALSE(scan.providerPresent);
    EXPECT_EQ(scan.initializeResult, kLineErrOperationUnavail);
    EXPECT_TRUE(scan.devices.empty());
}

TEST(TelephonyProvider, ALibraryWithoutTheLineFunctionsAnswersUnavailable) {
    // The C library is certainly loadable and certainly has no line functions.
    auto api = TelephonyApi::Load("libc.so.6");
    ASSERT_TRUE(api->ProviderPresent());
    EXPECT_EQ(ScanLineDevices(*api).initializeResult, kLineErrOperationUnavail);
}

TEST_F(SimProvider, ListsOnlyUsableDevicesWithTheirLineIdsAndSettingsKeys) {
    auto api = Load();
    ASSERT_TRUE(api->ProviderPresent()) << api->LoadError();
    const LineDeviceScan scan = ScanLineDevices(*api);
    EXPECT_TRUE(scan.providerPresent);
    EXPECT_EQ(scan.initializeResult, 0);
    ASSERT_EQ(scan.devices.size(), 2u);
    EXPECT_EQ(scan.devices[0].name, "Sim Modem Line");
    EXPECT_EQ(scan.devices[0].permanentLineId, 0x1001u);
    EXPECT_EQ(scan.devices[0].registryKey, "Sim\\Modem\\0000");
    EXPECT_EQ(scan.devices[1].name, "Second Line");
    EXPECT_EQ(scan.devices[1].permanentLineId, 7u);
    EXPECT_EQ(scan.devices[1].registryKey, "");
}

TEST_F(SimProvider, AFailedInitializeIsReportedWithItsCodeAndNoDevices) {
    setenv("VORLA_SIM_TELEPHONY_INIT", "80000042", 1);
    auto api = Load();
    const LineDeviceScan scan = ScanLineDevices(*api);
    EXPECT_TRUE(scan.providerPresent);
    EXPECT_EQ(static_cast<uint32_t>(scan.initializeResult), 0x80000042u);
    EXPECT_EQ(LineErrorName(scan.initializeResult), "LINEERR_NODEVICE");
    EXPECT_TRUE(scan.devices.empty());
}

TEST(LineErrorNames, NamesFollowTheCodeOrderAroundTheUnassignedCodes) {
    auto name = [](uint32_t code) { return LineErrorName(static_cast<int32_t>(code)); };
    EXPECT_EQ(name(0x80000001), "LINEERR_ALLOCATED");
    EXPECT_EQ(name(0x80000003), "LINEERR_BEARERMODEUNAVAIL");
    EXPECT_EQ(name(0x80000005), "LINEERR_CALLUNAVAIL");
    EXPECT_EQ(name(0x80000030), "LINEERR_INVALMESSAGEID");
    EXPECT_EQ(name(0x80000032), "LINEERR_INVALPARAM");
    EXPECT_EQ(name(0x80000049), "LINEERR_OPERATIONUNAVAIL");
    EXPECT_EQ(name(0x8000004A), "LINEERR_RATEUNAVAIL:");
    EXPECT_EQ(name(0x8000004D), "LINEERR_STRUCTURETOOSMALL");
    EXPECT_EQ(name(0x80000056), "LINEERR_NOMULTIPLEINSTANCE");
    // Unassigned and out-of-range codes.
    EXPECT_EQ(name(0x80000004), "LINEERR_ (Unknown Error) - 80000004");
    EXPECT_EQ(name(0x80000031), "LINEERR_ (Unknown Error) - 80000031");
    EXPECT_EQ(name(0x80000057), "LINEERR_ (Unknown Error) - 80000057");
    EXPECT_EQ(name(0x80000000), "LINEERR_ (Unknown Error) - 80000000");
    EXPECT_EQ(name(1), "LINEERR_ (Unknown Error) - 00000001");
}

class FakeDeviceSettings : public IDeviceSettings {
public:
    std::optional<std::map<std::string, std::string>> OpenSettingsKey(const std::string& key) const override {
        if (key != "Sim\\Modem\\0000") return std::nullopt;
        return std::map<std::string, std::string>{{"SpeedNegotiation_Off", "N1"},
                                                  {"Blind_Off", "X4"},
                                                  {"Compression_Off", "%C0"},
                                                  {"Unrelated", "Z"}};
    }
};

TEST(DeviceSettings, ModemInitTakesTheSixValuesInTheirOrderAndNeedsTheKey) {
    FakeDeviceSettings settings;
    EXPECT_EQ(ModemInitFromDeviceKey(settings, "Sim\\Modem\\0000"), "ATX4%C0N1");
    EXPECT_EQ(ModemInitFromDeviceKey(settings, "Other"), std::nullopt);
    EXPECT_EQ(ModemInitFromDeviceKey(SystemDeviceSettings(), "Sim\\Modem\\0000"), std::nullopt);
}

}  // namespace
