#pragma once

#include <cstdint>
#include <span>
#include <string>

#include <nlohmann/json.hpp>

#include "files/archive_error.h"

// Reads any file the program keeps (directory of any format version, queue, log window)
// and describes it as JSON: its kind, format version, the schema of each class as stored,
// the roots, and every object in file order labelled with its archive index.
struct DumpResult {
    ArchiveError error = ArchiveError::None;
    nlohmann::json document;
};
DumpResult DumpVlg(std::span<const uint8_t> bytes);
