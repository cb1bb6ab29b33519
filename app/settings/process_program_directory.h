#pragma once
// The program directory of this process, found the same way by the program and by every
// tool that works on its files.

#include <optional>
#include <string>

#include "settings/program_directory.h"

namespace vorla {

// --home (homeOption), else VORLAPRO_HOME, else an installed program's user data folder,
// else the executable's folder. A user data folder is seeded from the shipped data first
// (data_folder_seed.h); a file that could not be seeded is reported on standard error as
// "PROGRAM: ..." and the start goes on, since the rest of the folder is usable.
std::optional<ProgramDirectory> OpenProgramDirectory(std::optional<std::string> homeOption,
                                                     const char* programName, std::string* error);

}  // namespace vorla
