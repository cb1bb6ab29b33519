#include "settings/program_directory.h"

#include "settings/ascii_case.h"

#include <cstdlib>
#include <system_error>

namespace vorla {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SplitComponents(std::string_view name) {
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= name.size()) {
        std::size_t end = name.find_first_of("/\\", pos);
        if (end == std::string_view::npos) end = name.size();
        if (end > pos) parts.emplace_back(name.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

bool IsAbsoluteName(std::string_view name) {
    if (!name.empty() && (name.front() == '/' || name.front() == '\\')) return true;
    return name.size() >= 2 && name[1] == ':';  // a drive letter
}

// The entry of folder named like component, preferring the exact spelling.
std::optional<fs::path> MatchComponent(const fs::path& folder, const std::string& component) {
    std::error_code ec;
    if (fs::exists(folder / component, ec)) return folder / component;
    std::optional<std::string> best;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string candidate = it->path().filename().string();
        if (EqualsIgnoringAsciiCase(candidate, component) && (!best || candidate < *best))
            best = std::move(candidate);
    }
    if (!best) return std::nullopt;
    return folder / *best;
}

}  // namespace

std::optional<std::string> TakeHomeOption(std::vector<std::string>& arguments, bool* missingValue) {
    if (missingValue) *missingValue = false;
    std::optional<std::string> home;
    for (std::size_t i = 1; i < arguments.size();) {
        const std::string& arg = arguments[i];
        if (arg == kHomeOption) {
            if (i + 1 < arguments.size()) {
                home = arguments[i + 1];
                arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                                arguments.begin() + static_cast<std::ptrdiff_t>(i + 2));
            } else {
                if (missingValue) *missingValue = true;
                arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i));
            }
        } else if (arg.size() > kHomeOption.size() && arg.compare(0, kHomeOption.size(), kHomeOption) == 0 &&
                   arg[kHomeOption.size()] == '=') {
            home = arg.substr(kHomeOption.size() + 1);
            arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    return home;
}

ProgramDirectory::ProgramDirectory(fs::path folder) : folder_(std::move(folder)) {
    text_ = folder_.generic_string();
    if (text_.empty() || text_.back() != '/') text_ += '/';
}

std::optional<ProgramDirectory> ProgramDirectory::Resolve(const ProgramDirectoryInputs& inputs,
                                                          std::string* error) {
    fs::path chosen;
    bool userDataFolder = false;
    if (inputs.homeOption) {
        chosen = *inputs.homeOption;
    } else if (inputs.environmentHome && !inputs.environmentHome->empty()) {
        chosen = *inputs.environmentHome;
    } else if (inputs.installed) {
        if (!inputs.userDataFolder) {
            if (error) *error = "Neither XDG_DATA_HOME nor HOME names a folder for the program's data.";
            return std::nullopt;
        }
        chosen = *inputs.userDataFolder;
        userDataFolder = true;
        std::error_code ec;
        // The folder holds the user's directory and log: nobody else's business.
        if (fs::create_directories(chosen, ec)) fs::permissions(chosen, fs::perms::owner_all, ec);
        if (ec) {
            if (error)
                *error = "The data folder " + chosen.string() + " cannot be made: " + ec.message() + ".";
            return std::nullopt;
        }
    } else if (!inputs.executablePath.empty() && inputs.executablePath.has_parent_path()) {
        chosen = inputs.executablePath.parent_path();
    } else {
        chosen = inputs.currentDirectory;
    }
    if (chosen.empty()) {
        if (error) *error = "The program directory is empty.";
        return std::nullopt;
    }
    if (chosen.is_relative()) chosen = inputs.currentDirectory / chosen;
    chosen = chosen.lexically_normal();
    if (chosen.has_filename() == false && chosen != chosen.root_path()) chosen = chosen.parent_path();
    std::error_code ec;
    if (!fs::is_directory(chosen, ec)) {
        if (error) *error = "The program directory " + chosen.string() + " does not exist.";
        return std::nullopt;
    }
    ProgramDirectory directory(chosen);
    if (inputs.installed) {
        directory.translatorFolder_ = inputs.installed->translatorFolder;
        if (userDataFolder) directory.seedSource_ = inputs.installed->sharedData;
    }
    return directory;
}

ProgramDirectoryInputs ProgramDirectory::InputsFromProcess(std::optional<std::string> homeOption) {
    ProgramDirectoryInputs inputs;
    inputs.homeOption = std::move(homeOption);
    if (const char* env = std::getenv(kHomeEnvironmentVariable)) inputs.environmentHome = env;
    std::error_code ec;
    inputs.currentDirectory = fs::current_path(ec);
    // Linux names the running executable here; elsewhere this fails and the current
    // directory stands in, as when the module name cannot be had.
    inputs.executablePath = fs::read_symlink("/proc/self/exe", ec);
    if (ec) inputs.executablePath.clear();
    inputs.installed = DetectInstalledLayout(inputs.executablePath);
    inputs.userDataFolder = UserDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    return inputs;
}

std::optional<fs::path> ProgramDirectory::Lookup(std::string_view relativeName, bool mustExist) const {
    if (relativeName.empty() || IsAbsoluteName(relativeName)) return std::nullopt;
    std::vector<std::string> parts = SplitComponents(relativeName);
    if (parts.empty()) return std::nullopt;
    fs::path current = folder_;
    bool exists = true;
    for (const std::string& part : parts) {
        if (part == ".") continue;
        if (part == "..") return std::nullopt;
        if (exists) {
            if (auto match = MatchComponent(current, part)) {
                current = *match;
                continue;
            }
            exists = false;
        }
        if (mustExist) return std::nullopt;
        current /= part;
    }
    return current;
}

std::optional<fs::path> ProgramDirectory::FindDataFile(std::string_view relativeName) const {
    return Lookup(relativeName, true);
}

std::optional<fs::path> ProgramDirectory::DataFilePath(std::string_view relativeName) const {
    return Lookup(relativeName, false);
}

}  // namespace vorla
