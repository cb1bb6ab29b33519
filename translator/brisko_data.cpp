#include "translator/brisko_data.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace lomix {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualWithoutCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string_view WithoutLineBreak(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

// Hands out the file as a C line reader with a kLineBuffer-byte buffer sees it: at most
// kLineBuffer - 1 bytes, ending after a line feed, and a NUL byte ends the text of a line.
class LineReader {
public:
    explicit LineReader(std::string_view file) : rest_(file) {}
    bool Next(std::string_view& line) {
        if (rest_.empty()) return false;
        size_t take = std::min(rest_.size(), kLineBuffer - 1);
        size_t feed = rest_.substr(0, take).find('\n');
        if (feed != std::string_view::npos) take = feed + 1;
        line = rest_.substr(0, take);
        rest_.remove_prefix(take);
        size_t nul = line.find('\0');
        if (nul != std::string_view::npos) line = line.substr(0, nul);
        return true;
    }

private:
    std::string_view rest_;
};

// A line that is a line break alone ends a section; Windows line endings count too.
bool IsEmptyLine(std::string_view line) {
    return line == "\n" || line == "\r\n";
}

int32_t LeadingNumber(std::string_view text) {
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = std::min<int64_t>(value * 10 + (c - '0'), INT32_MAX);
    }
    return static_cast<int32_t>(value);
}

}  // namespace

std::vector<std::string> SectionRecords(std::string_view file, std::string_view section) {
    std::vector<std::string> records;
    LineReader reader(file);
    std::string_view line;
    bool found = false;
    while (!found && reader.Next(line))
        found = line.find(section) != std::string_view::npos;
    if (!found) return records;
    // The line after the header is a record even when it is empty.
    if (!reader.Next(line)) return records;
    records.emplace_back(line);
    while (reader.Next(line) && !IsEmptyLine(line))
        records.emplace_back(line);
    return records;
}

std::vector<std::string> RecordFields(std::string_view line) {
    std::vector<std::string> fields;
    line = WithoutLineBreak(line);
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find(',', start);
        if (end == std::string_view::npos) end = line.size();
        if (end > start) fields.emplace_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

std::vector<Company> ReadCompanies(std::string_view file) {
    std::vector<Company> companies;
    for (const std::string& line : SectionRecords(file, "Paging Companies")) {
        std::vector<std::string> f = RecordFields(line);
        if (f.empty()) continue;
        Company c;
        c.name = f[0];
        if (f.size() > 1) c.accessNumber = f[1];
        if (f.size() > 2) c.baudRate = LeadingNumber(f[2]);
        // Only the second character of "8N1" or "7E1" says anything: N is no parity.
        if (f.size() > 3) c.parity = (f[3].size() > 1 && Lower(f[3][1]) == 'n') ? 0 : 1;
        companies.push_back(std::move(c));
    }
    return companies;
}

std::vector<Person> ReadPeople(std::string_view file) {
    std::vector<Person> people;
    for (const std::string& line : SectionRecords(file, "People")) {
        std::vector<std::string> f = RecordFields(line);
        if (f.empty()) continue;
        Person p;
        p.name = f[0];
        if (f.size() > 1) p.pin = f[1];
        if (f.size() > 2) p.company = f[2];
        people.push_back(std::move(p));
    }
    return people;
}

std::optional<std::string> ProfileValue(std::string_view ini, std::string_view section,
                                        std::string_view key) {
    bool inSection = false;
    size_t start = 0;
    while (start < ini.size()) {
        size_t end = ini.find('\n', start);
        if (end == std::string_view::npos) end = ini.size();
        std::string_view line = TrimBlanks(ini.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            size_t close = line.find(']');
            inSection = close != std::string_view::npos &&
                        EqualWithoutCase(TrimBlanks(line.substr(1, close - 1)), section);
            continue;
        }
        size_t eq = line.find('=');
        if (inSection && eq != std::string_view::npos &&
            EqualWithoutCase(TrimBlanks(line.substr(0, eq)), key)) {
            return std::string(TrimBlanks(line.substr(eq + 1)));
        }
    }
    return std::nullopt;
}

ModemSettings ReadModemSettings(std::string_view ini) {
    ModemSettings modem;
    auto chosen = [](const std::optional<std::string>& v) { return v && (v->empty() || v->front() != '*'); };
    if (auto type = ProfileValue(ini, "Modem", "Type"); chosen(type)) modem.name = *type;
    if (auto setup = ProfileValue(ini, "Modem", "Setup"); chosen(setup)) modem.init = *setup;
    // An empty port would name no device at all.
    if (auto port = ProfileValue(ini, "Modem", "Port"); port && !port->empty()) modem.port = *port;
    return modem;
}

std::optional<std::string> ReadDataFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    auto size = std::filesystem::file_size(path, error);
    if (error || size > kMaxDataFileBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

std::optional<std::filesystem::path> FindWithoutCase(const std::filesystem::path& folder,
                                                     std::string_view name) {
    std::error_code error;
    if (std::filesystem::exists(folder / std::string(name), error)) return folder / std::string(name);
    std::optional<std::filesystem::path> best;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (EqualWithoutCase(entry, name) && (!best || entry < best->filename().string())) best = it->path();
    }
    return best;
}

std::filesystem::path WindowsDirectory() {
    if (const char* dir = std::getenv("VORLA_WINDOWS_DIR"); dir && *dir) return dir;
    std::filesystem::path prefix;
    if (const char* wine = std::getenv("WINEPREFIX"); wine && *wine) {
        prefix = wine;
    } else {
        const char* home = std::getenv("HOME");
        prefix = std::filesystem::path(home ? home : "") / ".wine";
    }
    std::filesystem::path drive = FindWithoutCase(prefix, "drive_c").value_or(prefix / "drive_c");
    return FindWithoutCase(drive, "windows").value_or(drive / "windows");
}

std::optional<std::filesystem::path> SettingsFile() {
    return FindWithoutCase(WindowsDirectory(), "BRISKO.INI");
}

}  // namespace lomix

namespace lomix {

std::optional<std::filesystem::path> DefaultDataFile() {
    std::optional<std::filesystem::path> ini = SettingsFile();
    std::optional<std::string> text = ini ? ReadDataFile(*ini) : std::nullopt;
    if (!text) return std::nullopt;
    std::string value = ProfileValue(*text, "Files", "Data").value_or("*");
    if (value.size() < 3 || !EqualWithoutCase(std::string_view(value).substr(value.size() - 3), "pdb"))
        return std::nullopt;
    std::string_view rest = value;
    std::filesystem::path at;
    if (rest.size() >= 2 && rest[1] == ':') {
        at = WindowsDirectory().parent_path();
        rest.remove_prefix(2);
    } else if (!rest.empty() && (rest.front() == '/' || rest.front() == '\\')) {
        at = "/";
    } else {
        at = ini->parent_path();
    }
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = rest.size();
        std::string_view part = rest.substr(start, end - start);
        if (!part.empty() && part != ".") {
            std::optional<std::filesystem::path> found = FindWithoutCase(at, part);
            if (!found) return std::nullopt;
            at = *found;
        }
        start = end + 1;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(at, error)) return std::nullopt;
    return at;
}

}  // namespace lomix
