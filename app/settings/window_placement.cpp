#include "settings/window_placement.h"

#include <array>
#include <cstdio>

namespace vorla {

namespace {

bool IsScanfBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%u" conversion. Values beyond 32 bits are refused rather than wrapped or clamped:
// such a text was not written by us, so the placement is not trusted.
std::optional<std::uint32_t> ScanUnsigned(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && IsScanfBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    const std::size_t digitsStart = pos;
    std::uint64_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + static_cast<std::uint64_t>(text[pos] - '0');
        if (value > 0xFFFFFFFFull) return std::nullopt;
        ++pos;
    }
    if (pos == digitsStart) return std::nullopt;
    auto result = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - result) : result;
}

}  // namespace

std::string FormatWindowPlacement(const WindowPlacement& p) {
    auto u = [](std::int32_t v) { return static_cast<unsigned>(static_cast<std::uint32_t>(v)); };
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%u,%u,%u,%u,%u,%u,%u,%u,%u,%u", static_cast<unsigned>(p.flags),
                  static_cast<unsigned>(p.showCommand), u(p.minPosition.x), u(p.minPosition.y),
                  u(p.maxPosition.x), u(p.maxPosition.y), u(p.normalPosition.left), u(p.normalPosition.top),
                  u(p.normalPosition.right), u(p.normalPosition.bottom));
    return buffer;
}

std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text) {
    std::array<std::uint32_t, 10> n{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < n.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ',') return std::nullopt;
            ++pos;
        }
        auto value = ScanUnsigned(text, pos);
        if (!value) return std::nullopt;
        n[i] = *value;
    }
    auto s = [](std::uint32_t v) { return static_cast<std::int32_t>(v); };
    WindowPlacement p;
    p.flags = n[0];
    p.showCommand = n[1];
    p.minPosition = {s(n[2]), s(n[3])};
    p.maxPosition = {s(n[4]), s(n[5])};
    p.normalPosition = {s(n[6]), s(n[7]), s(n[8]), s(n[9])};
    return p;
}

bool ReadWindowPlacement(const ISettingsStore& store, std::string_view entry, WindowPlacement& placement) {
    auto parsed = ParseWindowPlacement(store.GetProfileString(kPreferencesSection, entry, ""));
    if (!parsed) return false;
    placement = *parsed;
    placement.length = kWindowPlacementLength;
    return true;
}

bool WriteWindowPlacement(ISettingsStore& store, std::string_view entry, const WindowPlacement& placement) {
    return store.WriteProfileString(kPreferencesSection, entry, FormatWindowPlacement(placement));
}

}  // namespace vorla
