#pragma once
// An installed program's data folder starts as a copy of the shipped data (scripts, service
// and modem lists, samples) and follows later packages without ever losing a user's edit.
// A manifest in the folder records the checksum of every file as it was copied; on each
// start a shipped file is
//   - copied when the folder has no file of that name and never had one from us;
//   - copied over the folder's file only when that file still has the recorded checksum
//     (the user never changed it) and the package now ships something else;
//   - left alone otherwise: a changed file stays as the user made it, and a seeded file the
//     user deleted stays deleted.
// A file that already holds the shipped bytes is adopted into the manifest. Every write is
// an atomic replace, so a start cut short leaves whole files behind.

#include <filesystem>
#include <string>
#include <vector>

namespace vorla {

inline constexpr const char* kSeedManifestName = ".vorlapro.seeded";

struct SeedOutcome {
    int copied = 0;                     // new in the folder
    int updated = 0;                    // an unchanged copy replaced by the newer shipped file
    int keptChanged = 0;                // the user's version kept although the package ships another
    std::vector<std::string> problems;  // what could not be read or written, one line each
};

SeedOutcome SeedDataFolder(const std::filesystem::path& shippedData, const std::filesystem::path& dataFolder);

}  // namespace vorla
