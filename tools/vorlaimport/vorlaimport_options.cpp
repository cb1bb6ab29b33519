#include "tools/vorlaimport/vorlaimport_options.h"

std::optional<VorlaimportOptions> ParseVorlaimportOptions(const std::vector<std::string>& arguments,
                                                          std::string* error) {
    VorlaimportOptions options;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            positional.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--list") {
            options.list = true;
        } else if (a == "--home" && i + 1 < arguments.size()) {
            options.home = arguments[++i];
        } else if (a.rfind("--home=", 0) == 0 && a.size() > 7) {
            options.home = a.substr(7);
        } else {
            *error = a == "--home" ? "--home needs a folder" : "unknown option " + a;
            return std::nullopt;
        }
    }
    if (options.list) {
        if (!positional.empty()) {
            *error = "--list takes no translator";
            return std::nullopt;
        }
        return options;
    }
    if (positional.empty() || positional.size() > 2 || positional[0].empty()) {
        *error = positional.size() > 2 ? "too many arguments" : "no translator given";
        return std::nullopt;
    }
    options.translator = positional[0];
    if (positional.size() == 2) options.dataFile = positional[1];
    return options;
}
