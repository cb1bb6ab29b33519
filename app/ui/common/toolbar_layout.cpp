#include "ui/common/toolbar_layout.h"

#include <cstdio>

namespace vorla {
namespace {
void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
std::uint32_t GetU32(std::string_view in, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return v;
}
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

std::string EncodeToolbarLayout(const std::vector<ToolButtonRecord>& buttons) {
    std::string out;
    PutU32(out, static_cast<std::uint32_t>(buttons.size()));
    for (const ToolButtonRecord& b : buttons) {
        PutU32(out, static_cast<std::uint32_t>(b.image));
        PutU32(out, static_cast<std::uint32_t>(b.command));
        out.push_back(static_cast<char>(b.state));
        out.push_back(static_cast<char>(b.style));
        out.append(2, '\0');
        PutU32(out, static_cast<std::uint32_t>(b.data));
        PutU32(out, static_cast<std::uint32_t>(b.stringIndex));
    }
    return out;
}

std::optional<std::vector<ToolButtonRecord>> DecodeToolbarLayout(std::string_view bytes) {
    if (bytes.size() < 4) return std::nullopt;
    const std::uint32_t count = GetU32(bytes, 0);
    if (count > kMaxStoredToolButtons || bytes.size() != 4 + std::size_t(count) * kToolButtonRecordSize)
        return std::nullopt;
    std::vector<ToolButtonRecord> buttons(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = 4 + std::size_t(i) * kToolButtonRecordSize;
        ToolButtonRecord& b = buttons[i];
        b.image = static_cast<std::int32_t>(GetU32(bytes, at));
        b.command = static_cast<std::int32_t>(GetU32(bytes, at + 4));
        b.state = static_cast<std::uint8_t>(bytes[at + 8]);
        b.style = static_cast<std::uint8_t>(bytes[at + 9]);
        b.data = static_cast<std::int32_t>(GetU32(bytes, at + 12));
        b.stringIndex = static_cast<std::int32_t>(GetU32(bytes, at + 16));
    }
    return buttons;
}

std::string ToHexText(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out.push_back(kDigits[c >> 4]);
        out.push_back(kDigits[c & 0xF]);
    }
    return out;
}

std::optional<std::string> FromHexText(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::string out;
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = HexValue(text[i]);
        const int lo = HexValue(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
    }
    return out;
}

std::string ToolbarName(int resourceId) {
    if (resourceId == 0) return "Unknown TB";
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%04X", static_cast<unsigned>(resourceId) & 0xFFFFu);
    return buffer;
}

std::string ToolbarStateEntry(int resourceId) {
    return "Toolbar State(" + ToolbarName(resourceId) + ")";
}

}  // namespace vorla
