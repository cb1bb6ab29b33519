#pragma once
// Conversion between the program's 8-bit text (Windows-1252) and QString. Latin-1 is not
// enough: 0x80-0x9F hold the euro sign, curly quotes, dashes and more in Windows-1252.
// The five bytes Windows-1252 leaves unassigned map to the control characters of the same
// value, so every byte string survives a round trip.

#include <QString>

#include <string>
#include <string_view>

namespace vorla {

QString FromWindows1252(std::string_view bytes);

// Characters Windows-1252 cannot hold become '?'; *lossy (when given) tells whether any did.
std::string ToWindows1252(const QString& text, bool* lossy = nullptr);

// The first character of `text` that Windows-1252 cannot hold (a surrogate pair whole), or
// the empty text when every one fits.
QString FirstUnstorableCharacter(const QString& text);

// What the user is told when `field` ("name", "PIN", ...) holds such a `character`: the text
// would otherwise be stored with '?' in its place.
QString UnstorableCharacterText(const QString& field, const QString& character);

}  // namespace vorla
