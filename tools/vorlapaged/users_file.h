#pragma once
// The SNPP users of a program directory: "vorlapaged.users" there, one "name:hash" a line,
// each hash made by the system's crypt (yescrypt). The file must be its owner's alone (mode
// 0600): one that others may read or write is not used, so no login is taken from it.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline constexpr const char* kUsersFileName = "vorlapaged.users";

// A yescrypt hash of the password with a new random salt; none when crypt cannot make one.
std::optional<std::string> HashPassword(std::string_view password);
// Whether the password gives the hash (compared in constant time).
bool PasswordMatches(std::string_view password, const std::string& hash);

class UsersFile {
public:
    explicit UsersFile(std::string path = {}) : path_(std::move(path)) {}
    void SetPath(std::string path) { path_ = std::move(path); }
    const std::string& Path() const { return path_; }
    // Reads the file again when it changed; false with the reason when it cannot be used.
    bool Check(std::string_view user, std::string_view password, std::string* problem);
    // Adds the user or gives it a new password, replacing the file atomically (mode 0600).
    bool Set(std::string_view user, std::string_view password, std::string* error);

private:
    bool Load(std::string* problem);
    std::string path_;
    std::vector<std::pair<std::string, std::string>> users_;
    std::optional<std::pair<long long, long long>> stamp_;  // size and time of what was read
};
