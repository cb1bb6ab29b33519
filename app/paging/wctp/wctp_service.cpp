#include "paging/wctp/wctp_service.h"

#include <curl/curl.h>

#include <charconv>
#include <memory>

#include "settings/ascii_case.h"

using vorla::EqualsIgnoringAsciiCase;

namespace vorla::wctp {

bool IsWctpScript(std::string_view scriptFile) {
    const size_t slash = scriptFile.find_last_of("/\\");
    if (slash != std::string_view::npos) scriptFile.remove_prefix(slash + 1);
    return EqualsIgnoringAsciiCase(scriptFile, kScriptName);
}

std::string ParseOptions(std::string_view text, Endpoint& endpoint) {
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ' || text[at] == '\t') {
            ++at;
            continue;
        }
        size_t end = text.find_first_of(" \t", at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view word = text.substr(at, end - at);
        at = end;
        const size_t equals = word.find('=');
        const std::string_view key = word.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : word.substr(equals + 1);
        if (equals == std::string_view::npos || value.empty()) {
            return "The WCTP option \"" + std::string(word) + "\" has no value (write it as name=value)";
        }
        if (EqualsIgnoringAsciiCase(key, "sender")) {
            endpoint.senderId = std::string(value);
        } else if (EqualsIgnoringAsciiCase(key, "cafile")) {
            endpoint.caFile = std::string(value);
        } else if (EqualsIgnoringAsciiCase(key, "redirects")) {
            if (!EqualsIgnoringAsciiCase(value, "follow") && !EqualsIgnoringAsciiCase(value, "no")) {
                return "The WCTP option redirects takes follow or no";
            }
            endpoint.followRedirects = EqualsIgnoringAsciiCase(value, "follow");
        } else if (EqualsIgnoringAsciiCase(key, "timeout")) {
            int seconds = 0;
            const auto [end_of_number, error] =
                std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (error != std::errc() || end_of_number != value.data() + value.size() || seconds < 1 ||
                seconds > 600) {
                return "The WCTP option timeout takes 1 to 600 seconds";
            }
            endpoint.timeoutSeconds = seconds;
        } else {
            return "Unknown WCTP option \"" + std::string(key) + "\" (sender, cafile, redirects, timeout)";
        }
    }
    return std::string();
}

std::string CheckUrl(const std::string& url) {
    if (url.empty()) return "The service has no WCTP address (put the carrier's https URL in Access Number)";
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), curl_url_cleanup);
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
        return "The WCTP address is not a URL: " + url;
    }
    char* scheme = nullptr;
    char* host = nullptr;
    curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0);
    curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0);
    const std::string schemeText = scheme ? scheme : "";
    const std::string hostText = host ? host : "";
    curl_free(scheme);
    curl_free(host);
    if (EqualsIgnoringAsciiCase(schemeText, "https")) return std::string();
    if (EqualsIgnoringAsciiCase(schemeText, "http")) {
        // The security code would cross the network in clear text.
        if (hostText == "127.0.0.1" || hostText == "[::1]" ||
            EqualsIgnoringAsciiCase(hostText, "localhost")) {
            return std::string();
        }
        return "The WCTP address must start with https:// (plain http is taken only for this machine)";
    }
    return "The WCTP address must start with https://";
}

}  // namespace vorla::wctp
