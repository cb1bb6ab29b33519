#pragma once
// Private profile files (SERVICES.INI, MODEM.INI): "[Section]" lines and "key=value" lines,
// read with the semantics of the classic profile calls:
//   - section and key names match without regard to ASCII case, blanks around names and
//     values are dropped, and one pair of double quotes around a value is removed;
//   - the first matching key wins (a section name may appear more than once; writes go to
//     the first section of that name);
//   - a text read returns at most bufferSize - 1 characters, as a read into a fixed buffer
//     with its terminator does; a value ends at a zero byte;
//   - a missing file reads as an empty profile.
// Any byte sequence loads: lines that are neither a section nor an entry are kept but never
// match. Files above kMaxProfileFileSize are refused instead of being read into memory.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorla {

inline constexpr std::size_t kMaxProfileFileSize = 4u << 20;
inline constexpr std::size_t kIniStringBufferSize = 260;

enum class ProfileError { None, TooLarge, ReadFailed, WriteFailed };

class ProfileFile {
public:
    // The content as it is in the file; the line ending ("\r\n" or "\n") is kept for writing.
    static ProfileFile Parse(std::string_view content);
    // A missing file gives an empty profile and ProfileError::None.
    static ProfileFile Load(const std::filesystem::path& path, ProfileError* error = nullptr);

    // The value as stored (quotes removed), or nullopt when the section or key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // A null defaultValue is taken as the empty text.
    std::string GetString(std::string_view section, std::string_view key, const char* defaultValue,
                          std::size_t bufferSize = kIniStringBufferSize) const;

    // A missing or empty value gives defaultValue; otherwise the leading signed decimal number
    // (0 when there is none), clamped to the 32-bit range.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    // Replaces the first matching entry, or adds it at the end of the section (which is added
    // at the end of the file when missing). A null value removes the entry. False for an empty
    // section or key, or a name or value that would not read back (line breaks, "=" or "]" in names).
    bool SetString(std::string_view section, std::string_view key,
                   const std::optional<std::string_view>& value);

    std::string Serialize() const;
    bool Save(const std::filesystem::path& path, std::string* error = nullptr) const;

private:
    struct Line {
        enum class Kind { Section, Entry, Other } kind = Kind::Other;
        std::string text;   // the line as stored, without its ending
        std::string name;   // section name or key, blanks trimmed
        std::string value;  // entry value, trimmed and unquoted
    };
    static Line ParseLine(std::string_view text);
    std::vector<Line> lines_;
    std::string lineEnding_ = "\r\n";
};

// The private profile operations by file path. Each reads the file anew, so a caller that
// reads many entries should Load a ProfileFile once instead.
int GetIniInt(std::string_view section, std::string_view key, int defaultValue,
              const std::filesystem::path& file);
std::string GetIniString(std::string_view section, std::string_view key, const char* defaultValue,
                         const std::filesystem::path& file);
bool WriteIniInt(std::string_view section, std::string_view key, int value,
                 const std::filesystem::path& file);
bool WriteIniString(std::string_view section, std::string_view key, std::string_view value,
                    const std::filesystem::path& file);

}  // namespace vorla
