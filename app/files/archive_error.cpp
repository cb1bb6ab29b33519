#include "files/archive_error.h"

std::string_view ArchiveErrorText(ArchiveError error) {
    switch (error) {
        case ArchiveError::None:
            return "ok";
        case ArchiveError::EndOfFile:
            return "end of file";
        case ArchiveError::BadIndex:
            return "bad index";
        case ArchiveError::BadClass:
            return "bad class";
        case ArchiveError::BadSchema:
            return "bad schema";
        case ArchiveError::Io:
            return "i/o error";
    }
    return "i/o error";
}

bool IsFormatError(ArchiveError error) {
    return error == ArchiveError::EndOfFile || error == ArchiveError::BadIndex ||
           error == ArchiveError::BadClass || error == ArchiveError::BadSchema;
}
