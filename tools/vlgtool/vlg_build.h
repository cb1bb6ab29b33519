#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "files/archive_error.h"

// Writes the file a JSON document describes (the shape DumpVlg prints). The result is read
// back with the program's own loader before it is handed out, so a document that would
// give a file the program refuses fails here with that cause.
struct BuildResult {
    ArchiveError error = ArchiveError::None;
    std::string message;  // what went wrong, for the user
    std::string bytes;
};
BuildResult BuildVlg(const nlohmann::json& document);
