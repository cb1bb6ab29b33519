#pragma once
// A window's placement kept as one text value: ten unsigned decimal numbers separated by
// commas, in the order flags, show command, minimized x, y, maximized x, y, normal rectangle
// left, top, right, bottom. Negative coordinates are written as their unsigned 32-bit pattern
// (-4 is "4294967292") and read back unchanged, so placements on a monitor left of or above
// the primary one survive.

#include "settings/settings_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorla {

struct PlacementPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const PlacementPoint&, const PlacementPoint&) = default;
};

struct PlacementRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const PlacementRect&, const PlacementRect&) = default;
};

// Show commands the stored value may carry.
inline constexpr std::uint32_t kShowNormal = 1;
inline constexpr std::uint32_t kShowMinimized = 2;
inline constexpr std::uint32_t kShowMaximized = 3;

// The byte size of the placement record the stored format comes from; the length field is
// set to it on every successful read so the record looks as if the system had filled it.
inline constexpr std::uint32_t kWindowPlacementLength = 44;

struct WindowPlacement {
    std::uint32_t length = kWindowPlacementLength;
    std::uint32_t flags = 0;
    std::uint32_t showCommand = 0;
    PlacementPoint minPosition;
    PlacementPoint maxPosition;
    PlacementRect normalPosition;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// "%u,%u,...": the stored text of a placement.
std::string FormatWindowPlacement(const WindowPlacement& placement);

// Parses the stored text the way the scanf format "%u,%u,..." does: each number may have
// leading blanks and a sign (a minus wraps, as scanf's %u does), each comma must follow its
// number directly, and text after the tenth number is ignored. Anything else, fewer than ten
// numbers or a number that does not fit in 32 bits, gives nullopt.
std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text);

// The entry is in section "Preferences". Read returns false, leaving placement untouched,
// unless all ten numbers were parsed.
bool ReadWindowPlacement(const ISettingsStore& store, std::string_view entry, WindowPlacement& placement);
bool WriteWindowPlacement(ISettingsStore& store, std::string_view entry, const WindowPlacement& placement);

}  // namespace vorla
