#include "tools/vorlapage/mail_request.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/class_registry.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "paging/incoming_text.h"
#include "paging/paging_classes.h"
#include "paging/queue_page.h"
#include "settings/process_program_directory.h"
#include "tools/vorlapage/mail_text.h"
#include "tools/vorlapaged/directory_names.h"

namespace {

// sysexits.h, by value: what every MTA reads from a pipe command.
enum MailExit { kTaken = 0, kUsage = 64, kNoText = 65, kNoUser = 67, kTryLater = 75 };

constexpr size_t kDefaultLength = 1000;
constexpr size_t kLargestMail = 64 * 1024 * 1024;

int Complain(int code, const std::string& text) {
    std::cerr << "vorlapage --mail: " << text << std::endl;
    return code;
}

struct MailOptions {
    std::optional<std::string> home;
    std::vector<std::string> ports;  // NAME=DEVICE, handed on
    std::vector<std::string> to;
    size_t length = kDefaultLength;
    std::optional<std::string> wait;  // seconds, handed on
};

bool Parse(const std::vector<std::string>& arguments, MailOptions& options, std::string* error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--mail") continue;
        const bool takesValue =
            arg == "--home" || arg == "--port" || arg == "--to" || arg == "--length" || arg == "--wait";
        if (!takesValue) {
            *error =
                "unknown argument \"" + arg + "\" (--mail takes --home, --wait, --port, --to and --length)";
            return false;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
            *error = arg + " needs a value";
            return false;
        }
        const std::string& value = arguments[++i];
        if (arg == "--home") {
            options.home = value;
        } else if (arg == "--port") {
            options.ports.push_back(value);
        } else if (arg == "--wait") {
            int seconds = 0;
            const auto [end, failed] = std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (failed != std::errc() || end != value.data() + value.size() || seconds < 0 ||
                seconds > 86400) {
                *error = "--wait takes a number of seconds from 0 to 86400";
                return false;
            }
            options.wait = value;
        } else if (arg == "--to") {
            options.to.push_back(value);
        } else {
            size_t length = 0;
            const auto [end, failed] = std::from_chars(value.data(), value.data() + value.size(), length);
            if (failed != std::errc() || end != value.data() + value.size() || length < 1 || length > 30000) {
                *error = "--length takes a number from 1 to 30000";
                return false;
            }
            options.length = length;
        }
    }
    return true;
}

}  // namespace

std::optional<int> RunMailRequest(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    bool mail = false;
    for (const std::string& arg : arguments)
        mail = mail || arg == "--mail";
    if (!mail) return std::nullopt;
    MailOptions options;
    std::string error;
    if (!Parse(arguments, options, &error)) return Complain(kUsage, error);

    std::string bytes;
    char chunk[65536];
    while (std::cin.read(chunk, sizeof chunk) || std::cin.gcount() > 0) {
        bytes.append(chunk, static_cast<size_t>(std::cin.gcount()));
        if (bytes.size() > kLargestMail) return Complain(kNoText, "the mail is larger than 64 MB");
    }
    const std::optional<MailPage> page = ParseMail(bytes, options.length);
    if (!page) return Complain(kNoText, "standard input is not a mail");

    const std::optional<vorla::ProgramDirectory> home =
        vorla::OpenProgramDirectory(options.home, "vorlapage", &error);
    if (!home) return Complain(kTryLater, error);
    // Read without the lock: the directory file is only ever replaced whole.
    DirectoryStore store;
    const std::string path = home->GetProgramDirectory() + std::string(kDirectoryFileName);
    if (LoadDirectoryFile(path, MakeProgramClassRegistry(), store) != ArchiveError::None)
        return Complain(kTryLater, path + " does not read");
    std::vector<std::string> names;
    if (!options.to.empty()) {
        // The same rule as vorlapage's own --to: "Smith, John" is one person when the directory
        // has that name, else a list of names.
        const auto known = [&](std::string_view id) { return ResolvePagerId(store, id).has_value(); };
        for (const std::string& argument : options.to) {
            const std::vector<std::string_view> wanted = NamesInArgument(argument, known);
            if (wanted.empty()) return Complain(kNoUser, "--to \"" + argument + "\" names no one");
            for (const std::string_view id : wanted) {
                const std::optional<std::string> name = ResolvePagerId(store, id);
                if (!name)
                    return Complain(kNoUser,
                                    "no subscriber or group \"" + std::string(id) + "\" in the directory");
                names.push_back(*name);
            }
        }
    } else {
        // Other addressees (people copied in, the alias itself) are not pagers: they are passed over.
        for (const std::string& local : page->names)
            if (const std::optional<std::string> name = ResolvePagerId(store, local)) names.push_back(*name);
        if (names.empty())
            return Complain(kNoUser, "no address in To or Cc names a subscriber or group of the directory");
    }
    const std::optional<std::string> text = ToMessageText(page->text, &error);
    if (!text) return Complain(kNoText, error);
    if (text->find_first_not_of(" \t\r\n") == std::string::npos)
        return Complain(kNoText, "the mail has no text to page");

    // The page goes the way every vorlapage page goes: through the running program or on the
    // directory itself, by the same program run with the page's own arguments. The text is
    // handed on as the program's own bytes (Windows-1252), untouched by any locale.
    std::vector<std::string> run{"vorlapage", "--home", home->GetProgramDirectory()};
    if (options.wait) run.insert(run.end(), {"--wait", *options.wait});
    for (const std::string& port : options.ports)
        run.insert(run.end(), {"--port", port});
    for (const std::string& name : names)
        run.insert(run.end(), {"--to", name});
    run.insert(run.end(), {"--", *text});
    std::vector<char*> runArgv;
    for (std::string& arg : run)
        runArgv.push_back(arg.data());
    runArgv.push_back(nullptr);
    std::error_code selfError;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe", selfError).string();
    pid_t child = 0;
    if (selfError || posix_spawn(&child, self.c_str(), nullptr, nullptr, runArgv.data(), environ) != 0)
        return Complain(kTryLater, "the page could not be handed on");
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status)) return Complain(kTryLater, "the page could not be handed on");
    switch (WEXITSTATUS(status)) {
        case 0:
            return kTaken;
        case 2:
            return kNoUser;
        default:
            return Complain(kTryLater, "the page was not queued or not sent (exit " +
                                           std::to_string(WEXITSTATUS(status)) + "); the MTA will try again");
    }
}
