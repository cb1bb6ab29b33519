#include "telephony/device_settings.h"

#include <array>

namespace vorla::telephony {

std::optional<std::map<std::string, std::string>> SystemDeviceSettings::OpenSettingsKey(
    const std::string&) const {
    return std::nullopt;
}

std::optional<std::string> ModemInitFromDeviceKey(const IDeviceSettings& settings,
                                                  const std::string& registryKey) {
    auto values = settings.OpenSettingsKey(registryKey);
    if (!values) return std::nullopt;
    static constexpr std::array<const char*, 6> kValueNames = {"Blind_Off",        "FlowControl_Off",
                                                               "ErrorControl_Off", "Compression_Off",
                                                               "Modulation_Bell",  "SpeedNegotiation_Off"};
    std::string init = "AT";
    for (const char* name : kValueNames) {
        auto found = values->find(name);
        if (found != values->end()) init += found->second;
    }
    return init;
}

}  // namespace vorla::telephony
