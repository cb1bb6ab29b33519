#include "tools/sim_telephony/sim_line_config.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vorla::simline {
namespace {

bool ParseLineId(const std::string& word, uint32_t& id) {
    if (word.empty() || word[0] == '-') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(word.c_str(), &end, 0);
    if (*end != '\0' || errno != 0 || value > 0xFFFFFFFFull) return false;
    id = static_cast<uint32_t>(value);
    return true;
}

bool ApplySwitch(const std::string& key, const std::string& value, SimLine& line) {
    auto behaviour = [&](Behaviour& out) {
        if (value == "fail")
            out = Behaviour::Fail;
        else if (value == "never")
            out = Behaviour::Never;
        else
            return false;
        return true;
    };
    if (key == "open" && value == "fail")
        line.openFails = true;
    else if (key == "call" && value == "fail")
        line.callFails = true;
    else if (key == "reply")
        return behaviour(line.reply);
    else if (key == "connect")
        return behaviour(line.connect);
    else if (key == "drop" && value == "never")
        line.dropNeverReplies = true;
    else if (key == "handoff" && value == "path")
        line.handOffByPath = true;
    else
        return false;
    return true;
}

}  // namespace

SimLineConfig ParseSimLineConfig(const std::string& text) {
    SimLineConfig config;
    std::string normalised = text;
    for (char& c : normalised)
        if (c == ';') c = '\n';
    std::istringstream in(normalised);
    std::string raw;
    for (int number = 1; std::getline(in, raw); ++number) {
        raw = raw.substr(0, raw.find('#'));
        std::istringstream words(raw);
        std::string idWord;
        if (!(words >> idWord)) continue;
        SimLine line;
        std::string problem;
        if (!ParseLineId(idWord, line.permanentLineId))
            problem = "bad line id \"" + idWord + "\"";
        else if (!(words >> line.device))
            problem = "no device";
        for (std::string word; problem.empty() && words >> word;) {
            const auto equals = word.find('=');
            if (equals == std::string::npos) {
                line.name += (line.name.empty() ? "" : " ") + word;
            } else if (!ApplySwitch(word.substr(0, equals), word.substr(equals + 1), line)) {
                problem = "unknown switch \"" + word + "\"";
            }
        }
        if (problem.empty() && line.name.empty()) problem = "no name";
        if (problem.empty())
            config.lines.push_back(std::move(line));
        else
            config.errors.push_back("line " + std::to_string(number) + ": " + problem);
    }
    return config;
}

SimLineConfig ReadSimLineConfig(const std::string& value) {
    std::ifstream file(value);
    if (!file) return ParseSimLineConfig(value);
    std::ostringstream text;
    text << file.rdbuf();
    return ParseSimLineConfig(text.str());
}

}  // namespace vorla::simline
