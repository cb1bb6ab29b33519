#include "tools/rklrun/rklrun_options.h"

namespace rklrun {

std::optional<Options> ParseOptions(const std::vector<std::string>& argv, std::string& error) {
    Options options;
    size_t i = 0;
    for (; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (a == "--trace") {
            options.trace = true;
        } else if (a == "--cancel-alerts") {
            options.cancelAlerts = true;
        } else if (a == "--port") {
            std::string name, device;
            if (i + 1 >= argv.size() || !SplitAssignment(argv[i + 1], name, device) || name.empty() ||
                device.empty()) {
                error = "--port needs NAME=DEVICE";
                return std::nullopt;
            }
            options.ports[name] = device;
            ++i;
        } else if (a == "--") {
            ++i;
            break;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return std::nullopt;
        } else {
            break;
        }
    }
    if (i >= argv.size()) {
        error = "no script given";
        return std::nullopt;
    }
    options.script = argv[i++];
    options.args.assign(argv.begin() + static_cast<std::ptrdiff_t>(i), argv.end());
    return options;
}

bool SplitAssignment(const std::string& arg, std::string& name, std::string& value) {
    const size_t eq = arg.find('=');
    if (eq == std::string::npos) return false;
    name = arg.substr(0, eq);
    value = arg.substr(eq + 1);
    return true;
}

}  // namespace rklrun
