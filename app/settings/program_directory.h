#pragma once
// The program directory: the folder every data file lives in (the directory file, the queue,
// the log, SERVICES.INI, MODEM.INI, rklfiles/, import/). By default the folder of the
// executable; "--home DIR" on the command line, or else the environment variable
// VORLAPRO_HOME, overrides it (tests, the demo). An installed program cannot write beside
// its executable, so it uses the user's data folder instead (installed_layout.h).
//
// Data files are found without regard to ASCII case, one path component at a time, because
// their names come from a system whose file names are case-blind: "rklfiles\\VORLAPRO.RKL"
// finds rklfiles/vorlapro.rkl.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/installed_layout.h"

namespace vorla {

inline constexpr std::string_view kHomeOption = "--home";
inline constexpr const char* kHomeEnvironmentVariable = "VORLAPRO_HOME";

struct ProgramDirectoryInputs {
    std::optional<std::string> homeOption;       // the value of --home, if given
    std::optional<std::string> environmentHome;  // VORLAPRO_HOME, if set
    std::filesystem::path executablePath;        // empty when it cannot be had
    std::filesystem::path currentDirectory;
    std::optional<InstalledLayout> installed{};             // set when the executable is installed
    std::optional<std::filesystem::path> userDataFolder{};  // $XDG_DATA_HOME/vorlapro
};

// Removes "--home DIR" or "--home=DIR" from arguments (the first element is taken as the
// program name and left alone) and returns DIR. A "--home" without a value is removed and
// reported through missingValue.
std::optional<std::string> TakeHomeOption(std::vector<std::string>& arguments, bool* missingValue = nullptr);

class ProgramDirectory {
public:
    // --home wins over VORLAPRO_HOME (an empty one counts as unset), which wins over the
    // user's data folder of an installed program (made when missing), which wins over the
    // executable's folder; without an executable path the current directory is used.
    // A relative override is taken from the current directory. Fails, with a message in
    // *error, when the chosen folder is not an existing directory.
    static std::optional<ProgramDirectory> Resolve(const ProgramDirectoryInputs& inputs,
                                                   std::string* error = nullptr);

    // This process's environment, executable and installation, with the value of --home.
    static ProgramDirectoryInputs InputsFromProcess(std::optional<std::string> homeOption);

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

    // The shipped data the folder is to be seeded from: set only when it is an installed
    // program's user data folder, never for a folder named by --home or VORLAPRO_HOME.
    const std::optional<std::filesystem::path>& SeedSource() const { return seedSource_; }
    // The installed translators' folder, searched after the folder "import"; set for every
    // installed program, whichever program directory it runs on.
    const std::optional<std::filesystem::path>& InstalledTranslatorFolder() const {
        return translatorFolder_;
    }

private:
    std::optional<std::filesystem::path> Lookup(std::string_view relativeName, bool mustExist) const;
    std::filesystem::path folder_;
    std::string text_;
    std::optional<std::filesystem::path> seedSource_;
    std::optional<std::filesystem::path> translatorFolder_;
};

}  // namespace vorla
