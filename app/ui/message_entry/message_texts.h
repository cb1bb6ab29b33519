#pragma once
// Text rules of the message form. Plain C++ on 8-bit text.

#include <ctime>
#include <string>
#include <string_view>

namespace vorla {
class ISettingsStore;
}

// strftime in local time; a format that yields nothing (or too much) gives the empty text.
std::string FormatLocalTime(std::string_view format, std::time_t when);

// Every "<DATE>" replaced by `date`, then every "<TIME>" by `time`, left to right; inserted
// text is never scanned again.
std::string ReplaceSignatureTokens(std::string_view signature, std::string_view date, std::string_view time);

// A text file's contents as the message takes them: each CR followed by LF becomes a space
// (the LF stays); other bytes are kept.
std::string TextFileToMessage(std::string_view contents);

// The longest signature the Signature dialog and the preferences' Signature page take, the
// same in both so that neither cuts what the other stored.
inline constexpr int kMaxSignatureLength = 255;

// The stored "Signature" as sending appends it: "<DATE>" and "<TIME>" become the date and
// time of `when` in the "DateFormat" and "TimeFormat" preferences. Empty without a signature.
std::string FormatSignature(const vorla::ISettingsStore& settings, std::time_t when);

// "Send as uppercase": every small letter of Windows-1252 becomes its capital (accented ones
// too); a letter with no capital in the code page (sharp s, micro sign) stays as it is, so
// the text never changes length and no character is lost.
std::string UpperCaseMessage(std::string_view text);

// A message handed over without the form (vorlapage, a bus client naming its recipients) as
// the form's Send makes it: with "AutoSign" the signature added, then with "SendUpperCase" in
// capitals. *unsigned_ is set when "AutoSign" is on but there is no signature to add.
std::string MakeSendText(const vorla::ISettingsStore& settings, std::string_view text, std::time_t now,
                         bool* unsigned_ = nullptr);
