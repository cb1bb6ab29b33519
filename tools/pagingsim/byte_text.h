#pragma once

#include <string>
#include <string_view>

namespace pagingsim {

// Bytes as a readable quoted text for the trace: control characters by their ASCII
// names (<STX>, <CR>, ...), other bytes outside printable ASCII as <xNN>.
std::string Printable(std::string_view bytes);

}  // namespace pagingsim
