#include "text/windows1252.h"

#include "text/cp1252.h"

namespace vorla {

namespace {

// One table for the code page: the directory layer's, which the archive and the tools use.
int ByteFor(char16_t unit) {
    const auto byte = CodePointToCp1252(unit);
    return byte ? *byte : -1;
}

}  // namespace

QString FromWindows1252(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(QChar(static_cast<char16_t>(Cp1252ToCodePoint(b))));
    }
    return text;
}

std::string ToWindows1252(const QString& text, bool* lossy) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    bool lost = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;  // one '?' per character
        const int b = ByteFor(c.unicode());
        if (b < 0) lost = true;
        bytes.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    if (lossy) *lossy = lost;
    return bytes;
}

QString FirstUnstorableCharacter(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (pair || ByteFor(c.unicode()) < 0) return text.mid(i, pair ? 2 : 1);
    }
    return {};
}

QString UnstorableCharacterText(const QString& field, const QString& character) {
    return QStringLiteral(
               "The %1 holds \u201c%2\u201d, a character Vorla Pro cannot store. Only Western European "
               "(Windows-1252) characters can be saved.")
        .arg(field, character);
}

}  // namespace vorla
