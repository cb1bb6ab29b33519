#include "directory/report_command_line.h"

#include <algorithm>
#include <cctype>

namespace {

struct SectionName {
    std::string_view name;
    ReportSection section;
};
constexpr SectionName kSectionNames[] = {{"subscribers", ReportSection::Subscribers},
                                         {"groups", ReportSection::Groups},
                                         {"services", ReportSection::Services},
                                         {"messages", ReportSection::PresetMessages}};

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The value of "--option VALUE" or "--option=VALUE" at arguments[i]; advances i past it.
// nullopt when arguments[i] is another argument; an empty optional string when the value is
// missing.
std::optional<std::optional<std::string>> OptionValue(const std::vector<std::string>& arguments, size_t& i,
                                                      std::string_view option) {
    const std::string& argument = arguments[i];
    if (argument == option) {
        if (i + 1 >= arguments.size()) return std::optional<std::string>();
        return std::optional<std::string>(arguments[++i]);
    }
    if (argument.size() > option.size() && argument.compare(0, option.size(), option) == 0 &&
        argument[option.size()] == '=')
        return std::optional<std::string>(argument.substr(option.size() + 1));
    return std::nullopt;
}

bool ParseSections(const std::string& list, ReportChoice& choice, std::string& error) {
    choice = ReportChoice{false, false, false, false};
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string name = Lower(std::string_view(list).substr(start, comma - start));
        const auto* known = std::find_if(std::begin(kSectionNames), std::end(kSectionNames),
                                         [&name](const SectionName& s) { return s.name == name; });
        if (known == std::end(kSectionNames)) {
            error =
                "unknown list \"" + name + "\" in --sections (use subscribers, groups, services, messages)";
            return false;
        }
        choice.Set(known->section, true);
        start = comma + 1;
    }
    return true;
}

}  // namespace

PrintDirectoryParse ParsePrintDirectoryArguments(const std::vector<std::string>& arguments) {
    PrintDirectoryParse parse;
    std::optional<std::string> output;
    std::optional<std::string> sections;
    std::string stray;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (auto value = OptionValue(arguments, i, kPrintDirectoryOption)) {
            parse.requested = true;
            if (!*value || (*value)->empty())
                parse.error = "--print-directory needs the name of the PDF file to write";
            output = value->value_or(std::string());
        } else if (auto list = OptionValue(arguments, i, kReportSectionsOption)) {
            parse.requested = true;
            if (!*list) parse.error = "--sections needs a list such as subscribers,groups";
            sections = list->value_or(std::string());
        } else if (stray.empty()) {
            stray = arguments[i];
        }
    }
    if (!parse.requested || !parse.error.empty()) return parse;
    if (!output) {
        parse.error = "--sections is used only with --print-directory FILE.pdf";
        return parse;
    }
    if (!stray.empty()) {
        parse.error = "unexpected argument \"" + stray + "\" with --print-directory";
        return parse;
    }
    PrintDirectoryRequest request;
    request.outputPath = *output;
    if (sections && !ParseSections(*sections, request.choice, parse.error)) return parse;
    parse.request = std::move(request);
    return parse;
}
