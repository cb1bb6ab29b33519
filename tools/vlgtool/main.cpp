// vlgtool: shows the program's files as JSON and writes them back from JSON.
//   vlgtool dump FILE          prints the file as JSON
//   vlgtool build JSON FILE    writes the file from that JSON
// Exit status: 0 done, 1 a file could not be read or written, 2 a format error (the cause
// follows "error: " on stderr), 64 wrong arguments.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "files/atomic_file.h"
#include "tools/vlgtool/vlg_build.h"
#include "tools/vlgtool/vlg_dump.h"
#include "vorla_build_info.h"

namespace {

constexpr int kExitIo = 1;
constexpr int kExitFormat = 2;
constexpr int kExitUsage = 64;

constexpr const char* kHelp =
    "usage: vlgtool dump FILE\n"
    "       vlgtool build JSON FILE\n"
    "Shows Vorla Pro's saved files (directory, queue, log window) as JSON and writes them back.\n"
    "\n"
    "  dump FILE              print FILE as JSON on standard output\n"
    "  build JSON FILE        write FILE (replaced atomically) from the JSON file\n"
    "  --help                 show this help and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 a format error, 64 wrong\n"
    "arguments.\n";

int Usage() {
    std::cerr << "usage: vlgtool dump FILE\n"
                 "       vlgtool build JSON FILE\n";
    return kExitUsage;
}

int Dump(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (ReadWholeFile(path, bytes) != ArchiveError::None) {
        std::cerr << "error: cannot read " << path << "\n";
        return kExitIo;
    }
    DumpResult result = DumpVlg(bytes);
    if (result.error != ArchiveError::None) {
        std::cerr << "error: " << ArchiveErrorText(result.error) << "\n";
        return kExitFormat;
    }
    std::cout << result.document.dump(1) << "\n";
    return std::cout.flush() ? 0 : kExitIo;
}

int Build(const std::string& jsonPath, const std::string& outputPath) {
    std::ifstream in(jsonPath, std::ios::binary);
    if (!in) {
        std::cerr << "error: cannot read " << jsonPath << "\n";
        return kExitIo;
    }
    std::stringstream text;
    text << in.rdbuf();
    nlohmann::json document = nlohmann::json::parse(text.str(), nullptr, false);
    if (document.is_discarded()) {
        std::cerr << "error: bad json: " << jsonPath << " is not valid JSON\n";
        return kExitFormat;
    }
    BuildResult result = BuildVlg(document);
    if (result.error != ArchiveError::None) {
        std::cerr << "error: " << result.message << "\n";
        return kExitFormat;
    }
    if (ReplaceFileAtomically(outputPath, result.bytes) != ArchiveError::None) {
        std::cerr << "error: cannot write " << outputPath << "\n";
        return kExitIo;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto answered = vorla::AnswerHelpOrVersion(argc, argv, "vlgtool", kHelp)) return *answered;
    if (argc == 3 && std::string(argv[1]) == "dump") return Dump(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "build") return Build(argv[2], argv[3]);
    return Usage();
}
