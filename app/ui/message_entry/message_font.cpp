#include "ui/message_entry/message_font.h"

#include <QFontInfo>

#include <algorithm>

#include "text/windows1252.h"

QFont ToQFont(const vorla::FontDescription& d, const QFont& base) {
    QFont font(base);
    if (!d.faceName.empty()) font.setFamily(vorla::FromWindows1252(d.faceName));
    if (d.height != 0) font.setPixelSize(d.height < 0 ? -d.height : d.height);
    if (d.weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(d.weight, 1, 1000)));
    font.setItalic(d.italic != 0);
    font.setUnderline(d.underline != 0);
    return font;
}

vorla::FontDescription FromQFont(const QFont& font) {
    vorla::FontDescription d;
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    d.height = -std::max(pixels, 1);
    d.weight = font.weight();
    d.italic = font.italic() ? 1 : 0;
    d.underline = font.underline() ? 1 : 0;
    d.pitchAndFamily = font.fixedPitch() ? 1 : 2;
    d.faceName = vorla::ToWindows1252(font.family()).substr(0, vorla::kMaxFaceNameLength);
    return d;
}

QFont StoredMessageFont(const vorla::ISettingsStore& settings, const QFont& base) {
    vorla::FontDescription description;
    if (!vorla::ReadFontSettings(settings, vorla::kMessageFontSection, description)) return base;
    return ToQFont(description, base);
}
