#include "settings/profile_file.h"

#include "files/atomic_file.h"
#include "settings/ascii_case.h"

#include <climits>
#include <fstream>
#include <system_error>

namespace vorla {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view UpToZeroByte(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

ProfileFile::Line ProfileFile::ParseLine(std::string_view text) {
    Line line;
    line.text = std::string(text);
    std::string_view body = Trim(text);
    if (!body.empty() && body.front() == '[') {
        body.remove_prefix(1);
        line.kind = Line::Kind::Section;
        line.name = std::string(Trim(body.substr(0, body.find(']'))));
        return line;
    }
    if (body.empty() || body.front() == ';') return line;
    const std::size_t equals = body.find('=');
    if (equals == std::string_view::npos) return line;
    line.kind = Line::Kind::Entry;
    line.name = std::string(Trim(body.substr(0, equals)));
    std::string_view value = Trim(body.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    line.value = std::string(value);
    return line;
}

ProfileFile ProfileFile::Parse(std::string_view content) {
    ProfileFile file;
    const std::size_t firstBreak = content.find('\n');
    if (firstBreak != std::string_view::npos && (firstBreak == 0 || content[firstBreak - 1] != '\r'))
        file.lineEnding_ = "\n";
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view text = content.substr(0, end);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        file.lines_.push_back(ParseLine(text));
        if (end == std::string_view::npos) break;
        content.remove_prefix(end + 1);
    }
    return file;
}

ProfileFile ProfileFile::Load(const std::filesystem::path& path, ProfileError* error) {
    auto report = [error](ProfileError e) {
        if (error) *error = e;
        return ProfileFile{};
    };
    if (error) *error = ProfileError::None;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::error_code ec;
        return std::filesystem::exists(path, ec) ? report(ProfileError::ReadFailed) : ProfileFile{};
    }
    std::string content;
    char chunk[8192];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        content.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (content.size() > kMaxProfileFileSize) return report(ProfileError::TooLarge);
    }
    if (in.bad()) return report(ProfileError::ReadFailed);
    return Parse(content);
}

std::optional<std::string> ProfileFile::Find(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const Line& line : lines_) {
        if (line.kind == Line::Kind::Section) {
            inSection = EqualsIgnoringAsciiCase(line.name, section);
        } else if (inSection && line.kind == Line::Kind::Entry && EqualsIgnoringAsciiCase(line.name, key)) {
            return line.value;
        }
    }
    return std::nullopt;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, const char* defaultValue,
                                   std::size_t bufferSize) const {
    auto found = Find(section, key);
    std::string_view value =
        found ? std::string_view(*found) : std::string_view(defaultValue ? defaultValue : "");
    value = UpToZeroByte(value);
    const std::size_t room = bufferSize == 0 ? 0 : bufferSize - 1;
    return std::string(value.substr(0, room));
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    auto found = Find(section, key);
    if (!found || found->empty()) return defaultValue;
    std::string_view text = *found;
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    long long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

bool ProfileFile::SetString(std::string_view section, std::string_view key,
                            const std::optional<std::string_view>& value) {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos ||
        key.front() == '[' || key.front() == ';' || (value && HasLineBreak(*value)))
        return false;

    std::size_t sectionLine = lines_.size();
    std::size_t insertAt = lines_.size();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Line::Kind::Section) {
            if (sectionLine != lines_.size()) break;  // the end of the first matching section
            if (EqualsIgnoringAsciiCase(line.name, section)) sectionLine = insertAt = i;
        } else if (sectionLine != lines_.size()) {
            if (line.kind == Line::Kind::Entry && EqualsIgnoringAsciiCase(line.name, key)) {
                if (!value) {
                    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
                } else {
                    lines_[i] = ParseLine(std::string(line.name) + "=" + std::string(*value));
                }
                return true;
            }
            if (!Trim(line.text).empty()) insertAt = i;
        }
    }
    if (!value) return true;
    Line entry = ParseLine(std::string(key) + "=" + std::string(*value));
    if (sectionLine == lines_.size()) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(ParseLine(""));
        lines_.push_back(ParseLine("[" + std::string(section) + "]"));
        lines_.push_back(std::move(entry));
    } else {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt + 1), std::move(entry));
    }
    return true;
}

std::string ProfileFile::Serialize() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += lineEnding_;
    }
    return out;
}

bool ProfileFile::Save(const std::filesystem::path& path, std::string* error) const {
    // The directory layer's replace also flushes to the disk, so a power cut cannot leave an
    // empty profile file behind a completed rename.
    if (ReplaceFileAtomically(path.string(), Serialize()) == ArchiveError::None) return true;
    if (error) *error = "cannot replace " + path.string();
    return false;
}

int GetIniInt(std::string_view section, std::string_view key, int defaultValue,
              const std::filesystem::path& file) {
    return ProfileFile::Load(file).GetInt(section, key, defaultValue);
}

std::string GetIniString(std::string_view section, std::string_view key, const char* defaultValue,
                         const std::filesystem::path& file) {
    return ProfileFile::Load(file).GetString(section, key, defaultValue);
}

bool WriteIniString(std::string_view section, std::string_view key, std::string_view value,
                    const std::filesystem::path& file) {
    ProfileError error = ProfileError::None;
    ProfileFile profile = ProfileFile::Load(file, &error);
    // A file we could not read is never overwritten: that would lose its other entries.
    if (error != ProfileError::None) return false;
    if (!profile.SetString(section, key, value)) return false;
    return profile.Save(file);
}

bool WriteIniInt(std::string_view section, std::string_view key, int value,
                 const std::filesystem::path& file) {
    return WriteIniString(section, key, std::to_string(value), file);
}

}  // namespace vorla
