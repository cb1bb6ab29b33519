#pragma once

#include <string>

// Why a file in a folder could not be written, as far as can be told afterwards: the save
// itself only knows that it failed, the user needs to know what to fix.
enum class SaveFailureCause {
    FolderMissing,  // the folder is not there (or is not a folder)
    AccessDenied,   // the folder cannot be written to
    DiskFull,       // (almost) no space left on its file system
    Other,
};

SaveFailureCause DiagnoseSaveFailure(const std::string& path);
