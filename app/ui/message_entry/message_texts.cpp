#include "ui/message_entry/message_texts.h"

#include <vector>

#include "paging/local_time.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"

std::string FormatLocalTime(std::string_view format, std::time_t when) {
    if (format.empty()) return {};
    std::tm local = LocalCalendarTime(static_cast<uint32_t>(when));
    const std::string fmt(format);
    std::vector<char> buffer(256);
    // The format is the user's own preference, which is the point of it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const std::size_t n = std::strftime(buffer.data(), buffer.size(), fmt.c_str(), &local);
#pragma GCC diagnostic pop
    return std::string(buffer.data(), n);
}

namespace {
std::string ReplaceAll(std::string_view text, std::string_view token, std::string_view with) {
    std::string out;
    std::size_t at = 0;
    while (true) {
        const std::size_t found = text.find(token, at);
        if (found == std::string_view::npos) break;
        out.append(text.substr(at, found - at));
        out.append(with);
        at = found + token.size();
    }
    out.append(text.substr(at));
    return out;
}
}  // namespace

std::string ReplaceSignatureTokens(std::string_view signature, std::string_view date, std::string_view time) {
    // Dates first: a date text that contains "<TIME>" is then replaced too, as the two passes do.
    return ReplaceAll(ReplaceAll(signature, "<DATE>", date), "<TIME>", time);
}

std::string TextFileToMessage(std::string_view contents) {
    std::string out(contents);
    for (std::size_t i = 0; i + 1 < out.size(); ++i)
        if (out[i] == '\r' && out[i + 1] == '\n') out[i] = ' ';
    return out;
}

std::string FormatSignature(const vorla::ISettingsStore& settings, std::time_t when) {
    const std::string signature = ReadSetting(settings, vorla::setting::kSignature);
    if (signature.empty()) return {};
    const std::string date = FormatLocalTime(ReadSetting(settings, vorla::setting::kDateFormat), when);
    const std::string time = FormatLocalTime(ReadSetting(settings, vorla::setting::kTimeFormat), when);
    return ReplaceSignatureTokens(signature, date, time);
}

std::string UpperCaseMessage(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        unsigned char upper = byte;
        if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) {
            upper = static_cast<unsigned char>(byte - 0x20);
        } else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) {  // s, oe, z with caron or joined
            upper = static_cast<unsigned char>(byte - 0x10);
        } else if (byte == 0xFF) {  // y with diaeresis
            upper = 0x9F;
        }
        c = static_cast<char>(upper);
    }
    return out;
}

std::string MakeSendText(const vorla::ISettingsStore& settings, std::string_view text, std::time_t now,
                         bool* unsigned_) {
    std::string out(text);
    if (unsigned_) *unsigned_ = false;
    if (ReadSetting(settings, vorla::setting::kAutoSign) == 1) {
        const std::string signature = FormatSignature(settings, now);
        if (signature.empty() && unsigned_) *unsigned_ = true;
        out += signature;
    }
    if (ReadSetting(settings, vorla::setting::kSendUpperCase) != 0) out = UpperCaseMessage(out);
    return out;
}
