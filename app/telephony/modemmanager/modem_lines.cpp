#include "telephony/modemmanager/modem_lines.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <set>
#include <tuple>

#include "engine/platform/telephony/line_error_names.h"
#include "engine/platform/telephony/provider_answers.h"

namespace vorla::telephony::modemmanager {
namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (prefix.empty() || text.size() < prefix.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

// One '?' per UTF-8 character outside printable ASCII (continuation bytes add nothing).
std::string PrintableAscii(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f)
            out += static_cast<char>(c);
        else if ((c & 0xC0) != 0x80)
            out += '?';
    }
    return out;
}

bool SafePortName(const std::string& port) {
    if (port.empty() || port.front() == '/') return false;
    size_t start = 0;
    while (start <= port.size()) {
        const size_t end = std::min(port.find('/', start), port.size());
        const std::string part = port.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    return std::all_of(port.begin(), port.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '/' || c == '.' || c == '_' || c == '-' || c == ':';
    });
}

}  // namespace

std::string LineName(const std::string& manufacturer, const std::string& model) {
    const std::string maker = Trimmed(manufacturer);
    const std::string product = Trimmed(model);
    std::string name;
    if (product.empty())
        name = maker;
    else if (maker.empty() || StartsWithIgnoringCase(product, maker))
        name = product;
    else
        name = maker + " " + product;
    return PrintableAscii(name);
}

uint32_t LineIdFor(const std::string& text) {
    uint32_t hash = 2166136261u;  // FNV-1a: fixed forever, unlike std::hash
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash ? hash : 1;
}

std::string AtPortPath(const ModemInfo& modem) {
    const auto speaksAt = [](const std::pair<std::string, uint32_t>& port) {
        return port.second == kAtPortType;
    };
    std::string chosen;
    for (const auto& port : modem.ports)
        if (speaksAt(port) && port.first == modem.primaryPort) chosen = port.first;
    if (chosen.empty()) {
        const auto first = std::find_if(modem.ports.begin(), modem.ports.end(), speaksAt);
        if (first != modem.ports.end()) chosen = first->first;
    }
    return SafePortName(chosen) ? "/dev/" + chosen : std::string();
}

std::vector<ModemLine> LinesFromModems(std::vector<ModemInfo> modems) {
    std::sort(modems.begin(), modems.end(), [](const ModemInfo& a, const ModemInfo& b) {
        return std::tie(a.device, a.objectPath) < std::tie(b.device, b.objectPath);
    });
    std::vector<ModemLine> lines;
    std::set<uint32_t> taken;
    for (const ModemInfo& modem : modems) {
        ModemLine line;
        line.portPath = AtPortPath(modem);
        if (line.portPath.empty() || modem.device.empty()) continue;
        line.device = modem.device;
        line.name = LineName(modem.manufacturer, modem.model);
        if (line.name.empty()) line.name = "Modem " + line.portPath.substr(5);
        const std::string key = modem.deviceIdentifier.empty() ? modem.device : modem.deviceIdentifier;
        uint32_t id = LineIdFor(key);
        for (unsigned salt = 0; taken.count(id); ++salt)
            id = LineIdFor(key + "\n" + modem.device + (salt ? "\n" + std::to_string(salt) : std::string()));
        taken.insert(id);
        line.permanentLineId = id;
        lines.push_back(std::move(line));
    }
    return lines;
}

int32_t FillDevCaps(const ModemLine& line, VorlaLineDevCaps* caps) {
    if (!caps) return kLineErrInvalPointer;
    return FillLineDevCaps(*caps, line.permanentLineId, line.name);
}

int32_t FillCommPort(const std::string& portPath, VorlaVarString* answer) {
    if (!answer) return kLineErrInvalPointer;
    const uint32_t total = answer->totalSize;
    constexpr uint32_t header = sizeof(VorlaVarString);
    if (total < header) return kLineErrStructureTooSmall;
    const uint32_t stringSize = static_cast<uint32_t>(offsetof(VorlaCommPort, path) + portPath.size() + 1);
    std::memset(answer, 0, header);
    answer->totalSize = total;
    answer->neededSize = header + stringSize;
    answer->usedSize = header;
    answer->stringFormat = kVorlaStringFormatBinary;
    if (answer->neededSize > total) return 0;
    unsigned char* string = reinterpret_cast<unsigned char*>(answer) + header;
    const int32_t noDescriptor = -1;
    std::memcpy(string + offsetof(VorlaCommPort, fd), &noDescriptor, sizeof noDescriptor);
    std::memcpy(string + offsetof(VorlaCommPort, path), portPath.c_str(), portPath.size() + 1);
    answer->stringOffset = header;
    answer->stringSize = stringSize;
    answer->usedSize = answer->neededSize;
    return 0;
}

}  // namespace vorla::telephony::modemmanager
