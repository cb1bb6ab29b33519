// vorlapage: pages from the command line on the program's own directory, settings and files.
// Exit codes: 0 every page of the run was sent; 1 a page failed (or a file could not be
// read or written); 2 bad arguments or an unknown name; 3 the program directory is in use.
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QString>

#include "archive/class_registry.h"
#include "archive/ob_list.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "files/private_file.h"
#include "paging/driver_observer.h"
#include "paging/engine_host.h"
#include "paging/log_object.h"
#include "paging/message_log.h"
#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_classes.h"
#include "paging/paging_clock.h"
#include "paging/paging_files.h"
#include "paging/paging_texts.h"
#include "paging/port_map.h"
#include "paging/queue_observer.h"
#include "paging/queue_page.h"
#include "paging/script_engine.h"
#include "paging/session_driver.h"
#include "paging/wctp/carrier_script_engine.h"
#include "platform/program_directory_lock.h"
#include "settings/process_program_directory.h"
#include "settings/program_directory.h"
#include "settings/qt_settings_store.h"
#include "tools/vorlapage/mail_request.h"
#include "tools/vorlapage/running_program.h"
#include "tools/vorlapage/vorlapage_options.h"
#include "ui/message_entry/message_texts.h"
#include "vorla_build_info.h"

namespace {

enum Exit { kAllSent = 0, kPageFailed = 1, kBadArguments = 2, kDirectoryInUse = 3 };

const std::string kUsageAndHelp = std::string(kVorlapageUsage) + kVorlapageHelp;

volatile std::sig_atomic_t gStopRequested = 0;
extern "C" void OnStopSignal(int signalNumber) {
    gStopRequested = signalNumber;
}

void CatchStopSignals() {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signalNumber, OnStopSignal);
}

// A stopped vorlapage ends by the signal that stopped it, once its files are in order, so its
// caller (a shell, systemd, timeout) sees a stop and not a failed page.
int EndAsStopped(int code) {
    const int signalNumber = gStopRequested;
    if (signalNumber == 0) return code;
    std::cout.flush();
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
    return code;
}

void Complain(const std::string& text) {
    std::cerr << "vorlapage: " << text << std::endl;
}

std::string WithoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// Prints the run as it goes and counts its outcome.
class ConsoleObserver final : public IDriverObserver, public IQueueObserver {
public:
    void OnStatusLine(const std::string& text) override {
        if (!text.empty()) std::cout << text << std::endl;
    }
    void OnLogRecord(const CLogObject& record) override {
        std::cout << "log: " << WithoutLineEnd(FormatLogLine(record)) << std::endl;
        if (record.GetCode() != 0)
            ++failed;
        else if (record.GetStatus() == paging_texts::kMessageSent)
            ++sent;
    }
    void ShowStop(std::string_view text) override {
        Complain(std::string(text));
        ++errors;
    }
    void OnQueueSaveFailed(const std::string& text) override { ShowStop(text); }
    int sent = 0;
    int failed = 0;
    int errors = 0;
};

const char* WhenText(int32_t when) {
    switch (when) {
        case kWhenNow:
            return "Now";
        case kWhenLater:
            return "Later";
        case kWhenAt:
            return "At";
        default:
            return "Never";
    }
}

const char* StatusText(int32_t status) {
    switch (status) {
        case kStatusWaiting:
            return "Waiting";
        case kStatusSending:
            return "Sending";
        case kStatusPending:
            return "Pending";
        case kStatusAwaitingTime:
            return "Awaiting Time";
        default:
            return "Failed";
    }
}

void PrintQueue(OutgoingQueue& queue) {
    for (size_t i = 0; i < queue.RowCount(); ++i) {
        const CPage* page = queue.RowAt(i);
        const CSubscriber* subscriber = page->GetSubscriber();
        const CService* service = subscriber ? subscriber->GetService() : nullptr;
        std::string time = "-";
        if (page->GetScheduledTime()) {
            CLogObject stamp(*page->GetScheduledTime(), "", "", "", 0);
            time = stamp.GetDateText() + " " + stamp.GetTimeText();
        }
        std::cout << i + 1 << '\t' << WhenText(page->GetWhen()) << '\t' << StatusText(page->GetStatus())
                  << '\t' << time << '\t' << (service ? service->GetName() : "") << '\t'
                  << (subscriber ? subscriber->GetName() : "") << '\t'
                  << (page->GetMessage() ? page->GetMessage()->GetText() : "");
        if (!page->GetStatusText().empty()) std::cout << '\t' << page->GetStatusText();
        std::cout << '\n';
    }
    std::cout.flush();
}

std::string FirstLine(const QString& text) {
    return text.section(QLatin1Char('\n'), 0, 0).toStdString();
}

// Takes the program directory's lock. While a process other than Vorla Pro holds it (another
// vorlapage, the timer's run, vorlaimport: each done within seconds) it waits up to
// waitSeconds, saying so once; Vorla Pro holds it for as long as it runs, so it is not waited for.
vorla::ProgramDirectoryLock::Result TakeLock(vorla::ProgramDirectoryLock& lock, int waitSeconds) {
    using Result = vorla::ProgramDirectoryLock::Result;
    Result result = lock.TryAcquire();
    if (result != Result::HeldByOther || lock.HeldByProgram() || waitSeconds <= 0) return result;
    Complain(FirstLine(lock.RefusalText()) + " Waiting up to " + std::to_string(waitSeconds) +
             " s for it to finish (--wait).");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    while (!gStopRequested && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        result = lock.TryAcquire();
        if (result != Result::HeldByOther || lock.HeldByProgram()) return result;
    }
    return result;
}

const CService* FindService(const CObList* list, const std::string& name) {
    if (!list) return nullptr;
    for (Serializable* object : *list) {
        const CService* service = As<CService>(object);
        if (service && service->GetName() == name) return service;
    }
    return nullptr;
}

int Run(int argc, char** argv) {
    if (const auto answered = vorla::AnswerHelpOrVersion(argc, argv, "vorlapage", kUsageAndHelp.c_str()))
        return *answered;
    if (const auto mailed = RunMailRequest(argc, argv)) return *mailed;
    KeepNewFilesPrivate();
    // Log dates and times in the user's form, as the program writes them.
    std::setlocale(LC_TIME, "");
    std::vector<std::string> arguments(argv + 1, argv + argc);
    VorlapageOptions options;
    std::string error;
    if (!ParseVorlapageArguments(arguments, options, &error)) {
        Complain(error);
        std::cerr << kVorlapageUsage;
        return kBadArguments;
    }
    if (options.mode == VorlapageOptions::Mode::Help) {
        std::cout << kUsageAndHelp;
        return kAllSent;
    }
    // A time already past is taken (a caller may be late by a minute), but not without a word.
    if (options.at && *options.at <= static_cast<uint32_t>(std::time(nullptr)))
        Complain(
            "the time given with --at is already past: the pages are due at once and go with the next "
            "\"vorlapage --send\" or Vorla Pro's due check");

    std::optional<vorla::ProgramDirectory> home =
        vorla::OpenProgramDirectory(options.home, "vorlapage", &error);
    if (!home) {
        Complain(error);
        return kBadArguments;
    }
    const std::string folder = home->GetProgramDirectory();

    vorla::ProgramDirectoryLock lock(QString::fromStdString(folder));
    CatchStopSignals();
    if (const auto result = TakeLock(lock, options.waitSeconds);
        result != vorla::ProgramDirectoryLock::Result::Acquired) {
        if (gStopRequested) {
            Complain("stopped while waiting for the program directory; nothing was queued or sent");
            return kPageFailed;
        }
        std::string reason;
        // Only Vorla Pro takes pages over the bus; a holder that did not say what it is may be one.
        if (result == vorla::ProgramDirectoryLock::Result::HeldByOther &&
            (lock.HeldByProgram() || lock.HolderApplication().isEmpty())) {
            QCoreApplication qapp(argc, argv);
            const HandOverOutcome handed = HandToRunningProgram(
                options, lock.HolderProcessId(), lock.HolderHost(), [] { return gStopRequested != 0; });
            if (handed.exitCode) return *handed.exitCode;
            reason = handed.reason;
        }
        Complain(FirstLine(lock.RefusalText()));
        if (!reason.empty()) Complain("it cannot take the page: " + reason);
        return kDirectoryInUse;
    }

    // From here a stop signal ends the process in order: the lock is released, the queue saved.

    vorla::QtSettingsStore settings;
    const ClassRegistry registry = MakeProgramClassRegistry();
    DirectoryStore store;
    const StartupLoad load = LoadStartupFiles(store, folder, registry, std::time(nullptr));
    // What does not read is moved aside and said; paging goes on without it.
    for (const UnreadableFile& file : load.unreadable)
        Complain(DescribeUnreadableFile(file));
    const UnreadableFile* queueFile = load.Find(kOutgoingFileName);
    if (queueFile && !queueFile->movedTo) {
        Complain("nothing was changed");
        return kPageFailed;
    }
    const UnreadableFile* logFile = load.Find(kLogWindowFileName);
    // A file that had to be set aside makes even an otherwise clean run end with 1, so a
    // caller that watches only the exit code still hears of it.
    const int allDone = load.unreadable.empty() ? kAllSent : kPageFailed;
    const std::string queuePath = folder + std::string(kOutgoingFileName);

    SystemClock clock;
    ConsoleObserver console;
    OutgoingQueue queue(*store.GetOutgoingList(), settings, clock, queuePath);
    MessageLog log(*store.GetLogList(), settings, folder);
    log.SetWindowFileWritable(!logFile || logFile->movedTo);
    Rkl32ScriptEngine scripts;
    vorla::wctp::CarrierScriptEngine engine(scripts);
    SessionDriver driver(queue, log, engine, settings, clock, *home);
    queue.SetObserver(&console);
    driver.SetObserver(&console);
    queue.SetSendStarter([&driver] { driver.StartSending(); });

    if (options.mode == VorlapageOptions::Mode::List) {
        PrintQueue(queue);
        return allDone;
    }

    PortMap ports(&settings);
    for (const auto& [name, device] : options.ports)
        ports.Override(name, device);
    // A stop is not the user's Cancel: the run hangs up and the unsent pages stay queued.
    auto stopWhenAsked = [&driver] {
        if (gStopRequested && !driver.IsStopping()) driver.StopSending();
    };
    EngineHost host(EngineHost::ForDriver(driver, &ports, stopWhenAsked));

    if (gStopRequested) {
        Complain("stopped before anything was queued or sent");
        return kPageFailed;
    }
    if (options.mode == VorlapageOptions::Mode::Queue) {
        std::unique_ptr<CSubscriber> spot;
        std::unique_ptr<CService> spotService;
        if (options.spot) {
            const CService* service = FindService(store.GetServiceList(), options.spot->second);
            if (!service) {
                Complain("unknown service \"" + options.spot->second + "\"");
                return kBadArguments;
            }
            spot = std::make_unique<CSubscriber>("SpotPage: " + options.spot->first, options.spot->first,
                                                 "240", const_cast<CService*>(service));
        }
        std::string unknown;
        const std::optional<std::vector<Recipient>> recipients =
            FindRecipients(store.GetSubscriberList(), store.GetGroupList(), options.to, &unknown);
        if (!recipients) {
            Complain("unknown subscriber or group \"" + unknown + "\" (" + kExactNamesHint + ")");
            return kBadArguments;
        }
        // The message as the program's Send makes it: signed with "AutoSign", then upper-cased.
        bool unsignedText = false;
        const std::string text =
            MakeSendText(settings, options.message, static_cast<std::time_t>(clock.Now()), &unsignedText);
        if (unsignedText)
            Complain("\"AutoSign\" is on but there is no signature in the preferences; sent unsigned");
        CPagerMessage* message = MakePagerMessage(text);
        if (!message) {
            Complain("the message is empty");
            return kBadArguments;
        }
        size_t queued = 0;
        if (spot) queued += QueuePage(queue, settings, *spot, message, options.choice, options.at) ? 1 : 0;
        // Names in the order given; a group's members in the group's order.
        queued += QueueRecipients(queue, settings, *recipients, message, options.choice, options.at);
        if (message->GetRefCount() == 0) delete message;
        if (queued == 0) {
            Complain("nobody to page: the named groups have no members");
            return kBadArguments;
        }
        queue.Refresh();
        if (!queue.SaveQueue()) return kPageFailed;
        if (options.choice != SendChoice::Now) {
            std::cout << "Queued " << queued
                      << (options.choice == SendChoice::Later ? " page(s) to send later"
                                                              : " page(s) for their time")
                      << std::endl;
            return allDone;
        }
        driver.StartSending();
    } else {
        // --send: due At pages become Now (which starts the run), and Now pages go.
        queue.DueCheck();
        if (driver.IsIdle() && queue.GetNextPage()) driver.StartSending();
        if (driver.IsIdle()) {
            std::cout << "Nothing to send." << std::endl;
            return allDone;
        }
    }

    // Each idle step waits inside the engine (RECV, DELAY) when the script waits; no sleep here.
    while (driver.OnIdle())
        stopWhenAsked();
    std::cout << "Sent " << console.sent << " page(s), " << console.failed << " failed." << std::endl;
    if (gStopRequested) {
        Complain("stopped; " + std::to_string(queue.RowCount()) +
                 " page(s) wait in the queue for the next \"vorlapage --send\" or Vorla Pro");
        return kPageFailed;
    }
    if (console.failed > 0 || console.errors > 0) return kPageFailed;
    return allDone;
}

}  // namespace

int main(int argc, char** argv) {
    int code = Run(argc, argv);
    // A caller reading the queue or the run's lines must not take a lost output for success.
    std::cout.flush();
    if (!std::cout.good() || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Complain("the output could not be written");
        if (code == kAllSent) code = kPageFailed;
    }
    return EndAsStopped(code);
}
