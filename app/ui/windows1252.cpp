#include "windows1252.h"

#include <array>

namespace vorla {

namespace {

// 0x80..0x9F; unassigned bytes keep their own value.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int ByteFor(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i)
        if (kHighControlRange[i] == unit) return static_cast<int>(0x80 + i);
    return -1;
}

}  // namespace

QString FromWindows1252(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(QChar(b >= 0x80 && b <= 0x9F ? kHighControlRange[b - 0x80] : char16_t(b)));
    }
    return text;
}

std::string ToWindows1252(const QString& text, bool* lossy) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    bool lost = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;  // one '?' per character
        const int b = ByteFor(c.unicode());
        if (b < 0) lost = true;
        bytes.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    if (lossy) *lossy = lost;
    return bytes;
}

}  // namespace vorla
