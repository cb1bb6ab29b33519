#pragma once
// Port names ("COM1") to devices: the "Ports" section of the settings, entry "COMn", with
// one-run overrides on top (vorlapage --port). A name neither maps is left to the engine's
// default rule (COMn is /dev/ttyS(n-1)).

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"

using vorla::setting::kPortsSection;

class PortMap {
public:
    explicit PortMap(const vorla::ISettingsStore* settings = nullptr) : settings_(settings) {}

    // Names match without regard to ASCII case, like the settings' entries.
    void Override(std::string_view portName, std::string device);
    // The device for the name, or none to use the default rule.
    std::optional<std::string> Map(std::string_view portName) const;

private:
    const vorla::ISettingsStore* settings_;
    std::map<std::string, std::string> overrides_;  // lower-cased names
};
