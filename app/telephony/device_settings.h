#pragma once
// A line device keeps its modem settings under a key of the system's settings database (the
// registry on Windows). The lookup is a seam: Linux has no such database, so there the key
// never opens and a line device brings no initialisation command of its own.

#include <map>
#include <optional>
#include <string>

namespace vorla::telephony {

class IDeviceSettings {
public:
    virtual ~IDeviceSettings() = default;
    // The string values of the key "<registryKey>\Settings", or nullopt when it does not open.
    virtual std::optional<std::map<std::string, std::string>> OpenSettingsKey(
        const std::string& registryKey) const = 0;
};

// The platform's own settings database (none on Linux).
class SystemDeviceSettings final : public IDeviceSettings {
public:
    std::optional<std::map<std::string, std::string>> OpenSettingsKey(
        const std::string& registryKey) const override;
};

// "AT" followed by the values that turn blind dialling, flow control, error control,
// compression, Bell modulation and speed negotiation off, in that order (a missing value adds
// nothing); nullopt when the key does not open.
std::optional<std::string> ModemInitFromDeviceKey(const IDeviceSettings& settings,
                                                  const std::string& registryKey);

}  // namespace vorla::telephony
