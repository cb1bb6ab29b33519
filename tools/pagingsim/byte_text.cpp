#include "tools/pagingsim/byte_text.h"

#include <array>
#include <cstdio>

namespace pagingsim {

std::string Printable(std::string_view bytes) {
    static constexpr std::array<const char*, 32> kNames = {
        "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
        "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
        "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    std::string text = "\"";
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32) {
            text += '<';
            text += kNames[byte];
            text += '>';
        } else if (byte >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<x%02X>", byte);
            text += hex;
        } else if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else {
            text += c;
        }
    }
    text += '"';
    return text;
}

}  // namespace pagingsim
