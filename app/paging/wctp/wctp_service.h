#pragma once
// A service that pages through a carrier's WCTP endpoint instead of running a script. It
// is kept in the ordinary service record, so a directory file stays readable everywhere:
// the script file names the transport (a name no rklfiles script has, so an older program
// says it cannot load the script), the access number holds the endpoint's URL, the password
// the security code, and the modem init text the options below.

#include <string>
#include <string_view>

namespace vorla::wctp {

// The "script" a WCTP service names, as the script lists show it.
inline constexpr const char* kScriptName = "WCTP (internet)";

bool IsWctpScript(std::string_view scriptFile);

struct Endpoint {
    std::string url;           // https://..., or http:// to this machine only
    std::string securityCode;  // may be empty
    std::string senderId;      // the originator the carrier knows us by
    std::string caFile;        // empty: the system's certificate store
    bool followRedirects = false;
    int timeoutSeconds = 30;
};

// Reads the options text: words "sender=ID", "cafile=PATH", "redirects=follow" and
// "timeout=SECONDS" separated by blanks. Returns an error text, empty when all were read.
std::string ParseOptions(std::string_view text, Endpoint& endpoint);

// Whether the URL is one the transport may post a page and its security code to: https to
// any host, plain http only to the loopback address (a carrier simulator on this machine).
// Returns an error text, empty when it may.
std::string CheckUrl(const std::string& url);

}  // namespace vorla::wctp
