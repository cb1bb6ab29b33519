#include "paging/port_map.h"

#include "settings/ascii_case.h"

void PortMap::Override(std::string_view portName, std::string device) {
    overrides_[vorla::AsciiLowerCopy(portName)] = std::move(device);
}

std::optional<std::string> PortMap::Map(std::string_view portName) const {
    if (portName.empty()) return std::nullopt;
    auto found = overrides_.find(vorla::AsciiLowerCopy(portName));
    if (found != overrides_.end()) return found->second;
    if (!settings_) return std::nullopt;
    std::string device = settings_->GetProfileString(kPortsSection, portName, "");
    if (device.empty()) return std::nullopt;
    return device;
}
