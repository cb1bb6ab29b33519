#include "settings/installed_layout.h"

#include <system_error>
#include <vector>

#include "vorla_install_dirs.h"

namespace vorla {

namespace fs = std::filesystem;

std::optional<InstalledLayout> DetectInstalledLayout(const fs::path& executablePath) {
    if (executablePath.empty() || !executablePath.has_parent_path()) return std::nullopt;
    // The bin folder may be several components deep ("bin" or "lib/vorlapro/bin"): the
    // prefix is what is left when they are taken off the executable's folder.
    fs::path folder = executablePath.parent_path().lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();
    const fs::path binDir = fs::path(VORLA_INSTALL_BINDIR).lexically_normal();
    // An absolute bin folder says nothing about where the rest was put.
    if (binDir.is_absolute()) return std::nullopt;
    std::vector<fs::path> binParts(binDir.begin(), binDir.end());
    fs::path prefix = folder;
    for (auto part = binParts.rbegin(); part != binParts.rend(); ++part) {
        if (prefix.filename() != *part) return std::nullopt;
        prefix = prefix.parent_path();
    }
    InstalledLayout layout{prefix / VORLA_INSTALL_DATADIR, prefix / VORLA_INSTALL_TRANSLATORDIR};
    std::error_code ec;
    if (!fs::is_directory(layout.sharedData, ec)) return std::nullopt;
    return layout;
}

std::optional<fs::path> UserDataFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && fs::path(xdgDataHome).is_absolute()) return fs::path(xdgDataHome) / "vorlapro";
    if (home && fs::path(home).is_absolute()) return fs::path(home) / ".local" / "share" / "vorlapro";
    return std::nullopt;
}

}  // namespace vorla
