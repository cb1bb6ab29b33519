#pragma once
// The program directory: the folder every data file lives in (the directory file, the queue,
// the log, SERVICES.INI, MODEM.INI, rklfiles/, import/). By default the folder of the
// executable; "--home DIR" on the command line, or else the environment variable
// VORLAPRO_HOME, overrides it (tests, the demo, installed copies with data elsewhere).
//
// Data files are found without regard to ASCII case, one path component at a time, because
// their names come from a system whose file names are case-blind: "rklfiles\\VORLAPRO.RKL"
// finds rklfiles/vorlapro.rkl.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorla {

inline constexpr std::string_view kHomeOption = "--home";
inline constexpr const char* kHomeEnvironmentVariable = "VORLAPRO_HOME";

struct ProgramDirectoryInputs {
    std::optional<std::string> homeOption;       // the value of --home, if given
    std::optional<std::string> environmentHome;  // VORLAPRO_HOME, if set
    std::filesystem::path executablePath;        // empty when it cannot be had
    std::filesystem::path currentDirectory;
};

// Removes "--home DIR" or "--home=DIR" from arguments (the first element is taken as the
// program name and left alone) and returns DIR. A "--home" without a value is removed and
// reported through missingValue.
std::optional<std::string> TakeHomeOption(std::vector<std::string>& arguments, bool* missingValue = nullptr);

class ProgramDirectory {
public:
    // --home wins over VORLAPRO_HOME (an empty one counts as unset), which wins over the
    // executable's folder; without an executable path the current directory is used.
    // A relative override is taken from the current directory. Fails, with a message in
    // *error, when the chosen folder is not an existing directory.
    static std::optional<ProgramDirectory> Resolve(const ProgramDirectoryInputs& inputs, std::string* error = nullptr);

    // Resolve with this process's command line, environment and executable. Removes
    // --home from arguments.
    static std::optional<ProgramDirectory> FromProcess(std::vector<std::string>& arguments,
                                                       std::string* error = nullptr);

    explicit ProgramDirectory(std::filesystem::path folder);

    // The folder with a trailing "/", computed once.
    const std::string& GetProgramDirectory() const { return text_; }
    const std::filesystem::path& Path() const { return folder_; }

    // The existing file or folder whose path matches relativeName ("/" or "\\" separated)
    // without regard to case; an exact match is preferred, otherwise the first match in name
    // order. Absolute names and ".." components are refused, so a name taken from a data
    // file cannot reach outside the program directory.
    std::optional<std::filesystem::path> FindDataFile(std::string_view relativeName) const;

    // Where to read or create relativeName: the components that exist are matched as in
    // FindDataFile, the rest are kept as written. nullopt for names FindDataFile refuses.
    std::optional<std::filesystem::path> DataFilePath(std::string_view relativeName) const;

private:
    std::optional<std::filesystem::path> Lookup(std::string_view relativeName, bool mustExist) const;
    std::filesystem::path folder_;
    std::string text_;
};

}  // namespace vorla
