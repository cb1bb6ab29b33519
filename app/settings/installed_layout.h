#pragma once
// Where an installed program finds its shipped files and keeps the user's own. Installed
// means: the executable sits in <prefix>/bin and <prefix>/share/vorlapro exists (the
// folder names are the ones the build installs to). A program run from its build folder
// has no such sibling and keeps using its own folder as the program directory.

#include <filesystem>
#include <optional>

namespace vorla {

struct InstalledLayout {
    std::filesystem::path sharedData;        // <prefix>/share/vorlapro, read-only
    std::filesystem::path translatorFolder;  // <prefix>/lib/.../vorlapro/import
};

// The layout of the installation the executable belongs to, or nullopt when it is not
// installed.
std::optional<InstalledLayout> DetectInstalledLayout(const std::filesystem::path& executablePath);

// $XDG_DATA_HOME/vorlapro, else ~/.local/share/vorlapro. A relative XDG_DATA_HOME is
// ignored, as the base directory rules ask; nullopt when neither variable gives an
// absolute folder.
std::optional<std::filesystem::path> UserDataFolder(const char* xdgDataHome, const char* home);

}  // namespace vorla
