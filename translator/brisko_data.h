#pragma once
// Reading a Brisko data file (paging companies and people) and the modem settings of its
// settings file. Plain C++: any byte sequence ends in a list of records (possibly empty).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lomix {

// The data file is read with a 1024-byte line buffer: a longer line is read as several.
inline constexpr size_t kLineBuffer = 1024;
// A data file larger than this is not a directory; it yields no records.
inline constexpr size_t kMaxDataFileBytes = 64u * 1024 * 1024;

// A company line with fewer than four fields: no baud rate gives this one, no line
// settings give even parity with 7 data bits, the usual line of a paging terminal.
inline constexpr int32_t kDefaultBaudRate = 2400;
inline constexpr int32_t kDefaultParity = 1;

struct Company {
    std::string name;
    std::string accessNumber;
    int32_t baudRate = kDefaultBaudRate;
    int32_t parity = kDefaultParity;  // 0 none with 8 data bits, 1 even with 7
};

struct Person {
    std::string name;
    std::string pin;
    std::string company;
};

struct ModemSettings {
    std::string name = "Unknown Modem";
    std::string init = "ATQ0V1E0X4";
    std::string port = "COM1";
};

// The record lines of a section, in file order: the line after the first line that contains
// the section's name, and the lines after it up to the first empty line.
std::vector<std::string> SectionRecords(std::string_view file, std::string_view section);
// Non-empty comma-separated fields of a record line, without its line break.
std::vector<std::string> RecordFields(std::string_view line);

// Records in file order; lines without a name are left out.
std::vector<Company> ReadCompanies(std::string_view file);
std::vector<Person> ReadPeople(std::string_view file);

// The value of key in section of an INI text (names without regard to case), if present.
std::optional<std::string> ProfileValue(std::string_view ini, std::string_view section, std::string_view key);
// The "Modem" section of the settings file; a "Type" or "Setup" that begins with "*" means
// none was chosen.
ModemSettings ReadModemSettings(std::string_view ini);

// The whole file, or nothing when it cannot be read or is larger than kMaxDataFileBytes.
std::optional<std::string> ReadDataFile(const std::filesystem::path& path);

// The folder that stands for the Windows directory: $VORLA_WINDOWS_DIR when set, else the
// Windows folder of the user's Wine prefix ($WINEPREFIX, default ~/.wine, then
// drive_c/windows found without regard to case).
std::filesystem::path WindowsDirectory();
// The entry of folder whose name equals name without regard to ASCII case (an exact match
// first); nullopt when there is none.
std::optional<std::filesystem::path> FindWithoutCase(const std::filesystem::path& folder,
                                                     std::string_view name);
// The settings file BRISKO.INI in the Windows directory, if it is there.
std::optional<std::filesystem::path> SettingsFile();

}  // namespace lomix

namespace lomix {
// The data file the settings file names (key "Data" of section "Files") when the name ends
// with "pdb" and the file exists. A name on drive C: is looked for on the drive that holds
// the Windows directory; every component is found without regard to case.
std::optional<std::filesystem::path> DefaultDataFile();
}  // namespace lomix
