// vorlapaged: the site's paging gateway. Takes pages over SNPP and queues and sends them on
// the program's directory as vorlapage does, without holding the directory while idle.
// Exit codes: 0 stopped by a signal (or --add-user done); 1 cannot listen or write the users
// file; 2 bad arguments.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "files/private_file.h"
#include "platform/termination_signals.h"
#include "settings/process_program_directory.h"
#include "tools/vorlapaged/gateway.h"
#include "tools/vorlapaged/terminal_password.h"
#include "tools/vorlapaged/users_file.h"
#include "tools/vorlapaged/vorlapaged_options.h"
#include "vorla_build_info.h"

namespace {

enum Exit { kDone = 0, kFailed = 1, kBadArguments = 2 };

const std::string kUsageAndHelp = std::string(kVorlapagedUsage) + kVorlapagedHelp;

void Complain(const std::string& text) {
    std::cerr << "vorlapaged: " << text << std::endl;
}

int AddUser(const VorlapagedOptions& options, const std::string& folder) {
    const std::optional<std::string> password =
        ReadPassword(("Password for " + options.addUser + ": ").c_str());
    if (!password || password->empty()) {
        Complain("no password given; nothing changed");
        return kFailed;
    }
    const std::optional<std::string> again = ReadPassword("Again: ");
    if (!again || *again != *password) {
        Complain("the two passwords differ; nothing changed");
        return kFailed;
    }
    UsersFile users(folder + kUsersFileName);
    std::string error;
    if (!users.Set(options.addUser, *password, &error)) {
        Complain(error);
        return kFailed;
    }
    std::cout << "User \"" << options.addUser << "\" set in " << users.Path() << std::endl;
    return kDone;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto answered = vorla::AnswerHelpOrVersion(argc, argv, "vorlapaged", kUsageAndHelp.c_str()))
        return *answered;
    KeepNewFilesPrivate();
    std::setlocale(LC_TIME, "");
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    VorlapagedOptions options;
    std::string error;
    if (!ParseVorlapagedArguments(arguments, options, &error)) {
        Complain(error);
        std::cerr << kVorlapagedUsage;
        return kBadArguments;
    }
    if (options.mode == VorlapagedOptions::Mode::Help) {
        std::cout << kUsageAndHelp;
        return kDone;
    }
    const std::optional<vorla::ProgramDirectory> home =
        vorla::OpenProgramDirectory(options.home, "vorlapaged", &error);
    if (!home) {
        Complain(error);
        return kBadArguments;
    }
    if (options.mode == VorlapagedOptions::Mode::AddUser)
        return AddUser(options, home->GetProgramDirectory());

    QCoreApplication app(argc, argv);
    TerminationSignals stopSignals;
    Gateway gateway(options, *home);
    if (!gateway.Listen(&error)) {
        Complain(error);
        return kFailed;
    }
    QObject::connect(&stopSignals, &TerminationSignals::Requested, &gateway, [&gateway] { gateway.Stop(); });
    QObject::connect(
        &gateway, &Gateway::Stopped, &app, [] { QCoreApplication::exit(kDone); }, Qt::QueuedConnection);
    stopSignals.Listen();
    gateway.Start();
    return QCoreApplication::exec();
}
