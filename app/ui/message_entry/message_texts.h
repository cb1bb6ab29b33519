#pragma once
// Text rules of the message form. Plain C++ on 8-bit text.

#include <ctime>
#include <string>
#include <string_view>

inline constexpr std::string_view kDefaultDateFormat = "%x";
inline constexpr std::string_view kDefaultTimeFormat = "%I:%M %p";

// strftime in local time; a format that yields nothing (or too much) gives the empty text.
std::string FormatLocalTime(std::string_view format, std::time_t when);

// Every "<DATE>" replaced by `date`, then every "<TIME>" by `time`, left to right; inserted
// text is never scanned again.
std::string ReplaceSignatureTokens(std::string_view signature, std::string_view date, std::string_view time);

// A text file's contents as the message takes them: each CR followed by LF becomes a space
// (the LF stays); other bytes are kept.
std::string TextFileToMessage(std::string_view contents);
