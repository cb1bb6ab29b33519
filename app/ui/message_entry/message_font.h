#pragma once
// The message font between its stored description and Qt. The printed directory uses it too,
// so the report reads like the message field.

#include <QFont>

#include "settings/font_settings.h"

QFont ToQFont(const vorla::FontDescription& description, const QFont& base);
vorla::FontDescription FromQFont(const QFont& font);

// The stored "MessageFont", or base when none is stored.
QFont StoredMessageFont(const vorla::ISettingsStore& settings, const QFont& base);
