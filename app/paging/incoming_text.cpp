#include "paging/incoming_text.h"

#include <cstdint>
#include <cstdio>

#include "directory/directory_automation.h"
#include "text/cp1252.h"

namespace {

// The code points of well-formed UTF-8 (no overlong forms, no surrogates); none otherwise.
std::optional<std::u32string> DecodeUtf8(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        size_t extra = 0;
        char32_t cp = lead;
        char32_t least = 0;
        if (lead < 0x80) {
            extra = 0;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, cp = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, cp = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, cp = lead & 0x07, least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (bytes.size() - i <= extra) return std::nullopt;
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<uint8_t>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

}  // namespace

std::optional<std::string> ToMessageText(std::string_view bytes, std::string* error) {
    std::string text;
    if (const auto points = DecodeUtf8(bytes)) {
        text.reserve(points->size());
        for (char32_t cp : *points) {
            const auto byte = CodePointToCp1252(cp);
            if (!byte) {
                char code[16];
                std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
                *error = std::string("the message has a character with no Windows-1252 form (") + code + ")";
                return std::nullopt;
            }
            text.push_back(static_cast<char>(*byte));
        }
    } else {
        text.assign(bytes);
    }
    if (text.size() > automation::kMaxMessageLength) {
        *error = "the message has " + std::to_string(text.size()) + " characters; at most " +
                 std::to_string(automation::kMaxMessageLength) + " are taken";
        return std::nullopt;
    }
    return text;
}
