#pragma once
// "--print-directory FILE.pdf [--sections subscribers,groups,services,messages]": the report
// written without a window, for offices that print from a scheduled job.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "directory/directory_report.h"

inline constexpr std::string_view kPrintDirectoryOption = "--print-directory";
inline constexpr std::string_view kReportSectionsOption = "--sections";

// Exit codes of the print run.
inline constexpr int kPrintWritten = 0;
inline constexpr int kPrintCannotWrite = 1;
inline constexpr int kPrintBadArguments = 2;

struct PrintDirectoryRequest {
    std::string outputPath;
    ReportChoice choice;  // the print dialog's initial ticks unless --sections names others
};

struct PrintDirectoryParse {
    bool requested = false;  // either option was given
    std::optional<PrintDirectoryRequest> request;
    std::string error;  // set when requested but the arguments are wrong
};

// Reads the arguments after the program name ("--home" already taken out). Both options
// also take "=VALUE". Section names are matched without regard to case; once printing is
// asked for, any other argument is an error.
PrintDirectoryParse ParsePrintDirectoryArguments(const std::vector<std::string>& arguments);
