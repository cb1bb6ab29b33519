#pragma once
// What the system's modem service reports about its modems, and the line devices made of
// them. Plain C++ so the naming and numbering rules are tested without a bus.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/platform/telephony/telephony_abi.h"

namespace vorla::telephony::modemmanager {

// The modem service's port type for a port that speaks AT commands.
inline constexpr uint32_t kAtPortType = 3;

struct ModemInfo {
    std::string objectPath;
    std::string manufacturer;
    std::string model;
    std::string deviceIdentifier;
    std::string device;  // the physical device, the key the service inhibits by
    std::string primaryPort;
    std::vector<std::pair<std::string, uint32_t>> ports;  // name, port type
};

struct ModemLine {
    std::string name;
    uint32_t permanentLineId = 0;
    std::string device;
    std::string portPath;  // "/dev/" + the AT port
};

// "Manufacturer Model", without the manufacturer twice when the model already starts with it,
// reduced to printable 7-bit text (one '?' per other character) because line names are 8-bit
// text in the device lists; empty when both are empty.
std::string LineName(const std::string& manufacturer, const std::string& model);

// A 32-bit id that depends on the text only, so it survives restarts of the program and of the
// modem service; never 0.
uint32_t LineIdFor(const std::string& text);

// "/dev/<port>" for the modem's AT port (the primary port when it speaks AT, else the first AT
// port), or empty when it has none or the name could leave /dev.
std::string AtPortPath(const ModemInfo& modem);

// The line devices, in a stable order (by physical device). Modems without an AT port cannot
// carry a data call and are left out. Ids come from the device identifier; modems that share
// one (identical models and firmware) are told apart by their physical device, the first in
// order keeping the plain id.
std::vector<ModemLine> LinesFromModems(std::vector<ModemInfo> modems);

// Fills the capabilities record of one line as the caller's buffer allows: the fixed part
// always, the name only when it fits. Returns 0 or a LINEERR_ code.
int32_t FillDevCaps(const ModemLine& line, VorlaLineDevCaps* caps);

// Fills lineGetID's answer for a data call: the port for the caller to open itself (no
// descriptor is handed over), when the caller's buffer takes it. Returns 0 or a LINEERR_ code.
int32_t FillCommPort(const std::string& portPath, VorlaVarString* answer);

}  // namespace vorla::telephony::modemmanager
