#include "settings/process_program_directory.h"

#include <cstdio>

#include "settings/data_folder_seed.h"

namespace vorla {

std::optional<ProgramDirectory> OpenProgramDirectory(std::optional<std::string> homeOption,
                                                     const char* programName, std::string* error) {
    std::optional<ProgramDirectory> directory =
        ProgramDirectory::Resolve(ProgramDirectory::InputsFromProcess(std::move(homeOption)), error);
    if (directory && directory->SeedSource()) {
        const SeedOutcome outcome = SeedDataFolder(*directory->SeedSource(), directory->Path());
        for (const std::string& problem : outcome.problems)
            std::fprintf(stderr, "%s: %s\n", programName, problem.c_str());
    }
    return directory;
}

}  // namespace vorla
