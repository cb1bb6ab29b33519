#pragma once
// The command line of vorlaimport: [--home DIR] [--list] TRANSLATOR [DATAFILE].

#include <optional>
#include <string>
#include <vector>

struct VorlaimportOptions {
    std::optional<std::string> home;
    bool list = false;
    std::string translator;
    std::optional<std::string> dataFile;
};

// Null (and a reason in *error) for a command line that does not fit. arguments excludes
// the program name.
std::optional<VorlaimportOptions> ParseVorlaimportOptions(const std::vector<std::string>& arguments,
                                                          std::string* error);

inline constexpr const char* kVorlaimportUsage =
    "usage: vorlaimport [--home DIR] --list\n"
    "       vorlaimport [--home DIR] TRANSLATOR [DATAFILE]";

inline constexpr const char* kVorlaimportHelp =
    "usage: vorlaimport [--home DIR] --list\n"
    "       vorlaimport [--home DIR] TRANSLATOR [DATAFILE]\n"
    "Imports another paging product's directory into Vorla Pro's directory through a translator.\n"
    "\n"
    "  --home DIR             the program directory (else VORLAPRO_HOME, else the user's data\n"
    "                         folder of an installed program, else the program's folder)\n"
    "  --list                 list the translators: description and library, one a line\n"
    "  TRANSLATOR             a library path, a library name (\"lomix\") or a description\n"
    "  DATAFILE               import this file without the translator's dialog\n"
    "  --help                 show this help and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Exit status: 0 something was imported (or the list was printed), 1 nothing was imported,\n"
    "2 bad arguments, a translator that cannot be found or loaded, or a directory file that\n"
    "cannot be read or written, 3 the program directory is in use by another process.\n";
