// vorlapage as a process: exit codes, the directory lock, and a kill in the middle of a run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "archive/class_registry.h"
#include "archive/file_format_version.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "tests/child_process/child_process.h"
#include "tests/paging/paging_world.h"

namespace {

std::string VorlapagePath() {
    const char* build = std::getenv("VORLA_BUILD_DIR");
    return std::string(build ? build : ".") + "/bin/vorlapage";
}

// A program directory with one service on the test script, three subscribers and a group.
class VorlapageHome : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(VorlapagePath())) GTEST_SKIP() << "vorlapage not built";
        home_ = std::make_unique<PagingWorld>();  // gives the folder and rklfiles/test.rkl
        std::filesystem::create_directories(Folder() / "config");
        DirectoryStore store;
        store.CreateEmpty();
        ServiceFields fields;
        fields.name = "North";
        fields.port = "COM1";
        fields.scriptFile = "TEST.RKL";
        auto* north = new CService(fields);
        store.GetServiceList()->AddTail(north);
        auto* team = new CGroup("Team");
        store.GetGroupList()->AddTail(team);
        for (auto [name, pin] :
             {std::pair{"Ann", "1001"}, {"Bob", "1002"}, {"Spinner", "777"}, {"Smith, John", "1004"}}) {
            auto* subscriber = new CSubscriber(name, pin, "240", north);
            north->AddSubscriber(subscriber);
            store.GetSubscriberList()->AddTail(subscriber);
            if (std::string_view(name) == "Smith, John") continue;  // in no group
            team->GetMembers()->AddTail(subscriber);
            subscriber->GetGroups()->AddTail(team);
        }
        ASSERT_EQ(SaveDirectoryFile((Folder() / "Vorla Pro.vlg").string(), store), ArchiveError::None);
    }

    std::filesystem::path Folder() const { return home_->folder; }

    // Starts vorlapage with output to files (out.txt and err.txt unless named); returns its
    // process id.
    pid_t Start(std::vector<std::string> args, const std::string& out = {}, const std::string& err = {},
                const std::string& timeZone = {}) {
        args.insert(args.begin(), {VorlapagePath(), "--home", Folder().string()});
        std::vector<std::string> env{"XDG_CONFIG_HOME=" + (Folder() / "config").string(),
                                     "HOME=" + Folder().string(), "PATH=/usr/bin:/bin"};
        if (!timeZone.empty()) env.push_back("TZ=" + timeZone);
        return vorla::testing::StartChild(args, out.empty() ? (Folder() / "out.txt").string() : out,
                                          err.empty() ? (Folder() / "err.txt").string() : err, env);
    }

    int Wait(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The signal that ended the process, or 0 when it exited.
    int WaitForSignal(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }

    void WaitForOutput(const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Out().find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_NE(Out().find(text), std::string::npos) << Out();
    }

    int Run(std::vector<std::string> args) { return Wait(Start(std::move(args))); }
    std::string Out() { return ReadAll(Folder() / "out.txt"); }
    std::string Err() { return ReadAll(Folder() / "err.txt"); }

    size_t QueuedPages() {
        const auto path = Folder() / "Outgoing.vlg";
        if (!std::filesystem::exists(path)) return 0;
        SetFileFormatVersion(kCurrentFileFormatVersion);
        LoadedList loaded;
        EXPECT_EQ(LoadQueueFile(path.string(), MakeProgramClassRegistry(), loaded), ArchiveError::None);
        return loaded.list ? loaded.list->GetCount() : 0;
    }

    std::unique_ptr<PagingWorld> home_;
};

}  // namespace

TEST_F(VorlapageHome, SendsToAGroupAndExitsZeroOnlyWhenEveryPageWent) {
    EXPECT_EQ(Run({"--to", "Ann,Bob", "HELLO\nTHERE"}), 0) << Err();
    EXPECT_NE(Out().find("log: "), std::string::npos);
    EXPECT_NE(Out().find("\tAnn\tMessage Sent Successfully!\tHELLO THERE\t0"), std::string::npos);
    EXPECT_NE(Out().find("Sent 2 page(s), 0 failed."), std::string::npos);
    EXPECT_EQ(QueuedPages(), 0u);
}

TEST_F(VorlapageHome, ArgumentsNamesAndLaterPages) {
    EXPECT_EQ(Run({"--to", "Nobody", "HI"}), 2);
    EXPECT_EQ(Err().rfind("vorlapage: unknown subscriber or group \"Nobody\"", 0), 0u) << Err();
    EXPECT_EQ(Run({"--to", "Ann"}), 2);
    EXPECT_EQ(Run({"--send", "--list"}), 2);
    EXPECT_EQ(Run({"--to", "Ann", "--at", "2024-02-31 10:00", "HI"}), 2);
    EXPECT_EQ(Run({"--spot", "5551234@Nowhere", "HI"}), 2);
    EXPECT_EQ(QueuedPages(), 0u);  // nothing was queued by a refused command

    EXPECT_EQ(Run({"--to", "Team", "--later", "LATER"}), 0) << Err();
    EXPECT_EQ(QueuedPages(), 3u);
    EXPECT_EQ(Run({"--list"}), 0);
    EXPECT_NE(Out().find("Later\tWaiting"), std::string::npos) << Out();
    EXPECT_EQ(Run({"--send"}), 0);
    EXPECT_NE(Out().find("Nothing to send."), std::string::npos);
    EXPECT_EQ(QueuedPages(), 3u);
}

// The message is made as the program's Send makes it: signed, then in capitals.
TEST_F(VorlapageHome, SignsAndUpperCasesAsThePreferencesSay) {
    std::filesystem::create_directories(Folder() / "config" / "Quillon");
    const auto conf = Folder() / "config" / "Quillon" / "Vorla Pro.conf";
    std::ofstream(conf) << "[Preferences]\nAutoSign=1\nSendUpperCase=1\nSignature=--ann\n";
    EXPECT_EQ(Run({"--to", "Ann", "hello"}), 0) << Err();
    EXPECT_NE(Out().find("\tAnn\tMessage Sent Successfully!\tHELLO--ANN\t0"), std::string::npos) << Out();

    std::ofstream(conf) << "[Preferences]\nAutoSign=1\n";
    EXPECT_EQ(Run({"--to", "Ann", "hello"}), 0) << Err();
    EXPECT_NE(Out().find("\tMessage Sent Successfully!\thello\t0"), std::string::npos) << Out();
    EXPECT_NE(Err().find("sent unsigned"), std::string::npos) << Err();
}

TEST_F(VorlapageHome, AFailedPageExitsOneAndABusyDirectoryExitsThree) {
    std::ofstream(Folder() / "rklfiles" / "test.rkl")
        << "ENTRY CONNECT\nENTRY SEND_PAGE\nENTRY DISCONNECT\nLABEL CONNECT\nEXIT 0 up\n"
           "LABEL SEND_PAGE\nEXIT -210 refused\nLABEL DISCONNECT\nEXIT 0 down\n";
    EXPECT_EQ(Run({"--to", "Ann", "HI"}), 1);
    EXPECT_NE(Out().find("Sent 0 page(s), 1 failed."), std::string::npos) << Out();

    std::ofstream(Folder() / "rklfiles" / "test.rkl")
        << "ENTRY CONNECT\nENTRY SEND_PAGE\nENTRY DISCONNECT\nLABEL CONNECT\nLABEL Spin\nJUMP Spin\n";
    const pid_t first = Start({"--to", "Ann", "HI"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(Folder() / ".vorlapro.lock") &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::filesystem::path err = Folder() / "err.txt";
    // A second process on the same directory: its own output files would clash, so run it
    // with output elsewhere via the shell-free path: reuse Start after moving the first's.
    std::filesystem::rename(err, Folder() / "first-err.txt");
    EXPECT_EQ(Run({"--list", "--wait", "0"}), 3);
    EXPECT_EQ(Err().rfind("vorlapage: ", 0), 0u);
    kill(first, SIGTERM);  // a stop request ends the run cleanly, by that signal
    EXPECT_EQ(WaitForSignal(first), SIGTERM);
}

// A stop signal is not the user's Cancel: the script hangs up, the due page goes back to its
// time, and the next --send sends it once.
TEST_F(VorlapageHome, AStopSignalKeepsTheDuePageForTheNextSend) {
    const std::string spinning = ReadAll(Folder() / "rklfiles" / "test.rkl");
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        std::ofstream(Folder() / "rklfiles" / "test.rkl") << spinning;  // Spinner's block never ends
        ASSERT_EQ(Run({"--to", "Spinner", "--at", "2020-01-01 10:00", "due page"}), 0) << Err();
        const pid_t pid = Start({"--send"});
        WaitForOutput("Connected to North");
        if (HasFatalFailure()) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        kill(pid, signalNumber);
        EXPECT_EQ(WaitForSignal(pid), signalNumber);
        EXPECT_NE(Out().find("Disconnected"), std::string::npos) << Out();
        EXPECT_EQ(Out().find("User cancel"), std::string::npos) << Out();
        EXPECT_NE(Err().find("stopped; 1 page(s) wait in the queue"), std::string::npos) << Err();
        ASSERT_EQ(QueuedPages(), 1u);
        EXPECT_EQ(Run({"--list"}), 0);
        EXPECT_NE(Out().find("At\tWaiting\t"), std::string::npos) << Out();

        std::ofstream(Folder() / "rklfiles" / "test.rkl")
            << "ENTRY CONNECT\nENTRY SEND_PAGE\nENTRY DISCONNECT\nLABEL CONNECT\nEXIT 0 up\n"
               "LABEL SEND_PAGE\nEXIT 0 taken\nLABEL DISCONNECT\nEXIT 0 down\n";
        EXPECT_EQ(Run({"--send"}), 0) << Err();
        EXPECT_NE(Out().find("Sent 1 page(s), 0 failed."), std::string::npos) << Out();
        EXPECT_EQ(QueuedPages(), 0u);
    }
}

TEST_F(VorlapageHome, AKillMidRunLosesNoQueuedPage) {
    const pid_t pid = Start({"--to", "Ann,Spinner", "HELLO"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    // Ann sorts first and is sent; Spinner's block never finishes.
    while (Out().find("\tAnn\tMessage Sent Successfully!") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_NE(Out().find("\tAnn\tMessage Sent Successfully!"), std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(pid, SIGKILL);
    Wait(pid);
    EXPECT_EQ(QueuedPages(), 1u);  // Ann's page is gone, Spinner's is kept

    std::ofstream(Folder() / "rklfiles" / "test.rkl")
        << "ENTRY CONNECT\nENTRY SEND_PAGE\nENTRY DISCONNECT\nLABEL CONNECT\nEXIT 0 up\n"
           "LABEL SEND_PAGE\nEXIT 0 taken\nLABEL DISCONNECT\nEXIT 0 down\n";
    EXPECT_EQ(Run({"--send"}), 0) << Err();  // the dead process's lock is taken over
    EXPECT_NE(Out().find("\tSpinner\tMessage Sent Successfully!"), std::string::npos) << Out();
    EXPECT_EQ(QueuedPages(), 0u);
}

TEST_F(VorlapageHome, ACutQueueFileIsMovedAsideAndTheNextPageGoesOut) {
    ASSERT_EQ(Run({"--to", "Ann", "--later", "WAITING"}), 0) << Err();
    const auto queuePath = Folder() / "Outgoing.vlg";
    const std::string whole = ReadAll(queuePath);
    const std::string cut = whole.substr(0, whole.size() - 7);
    std::ofstream(queuePath, std::ios::binary | std::ios::trunc) << cut;

    EXPECT_EQ(Run({"--to", "Bob", "HI"}), 1) << "the damaged file is told in the exit code too";
    EXPECT_NE(Out().find("\tBob\tMessage Sent Successfully!"), std::string::npos) << Out();
    EXPECT_NE(Err().find("Outgoing.vlg could not be read (end of file). It was moved aside to "),
              std::string::npos)
        << Err();
    EXPECT_NE(ReadAll(Folder() / "Message Log.txt").find("Outgoing.vlg could not be read"),
              std::string::npos);
    int aside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
        if (entry.path().filename().string().rfind("Outgoing.unreadable-", 0) == 0) {
            ++aside;
            EXPECT_EQ(ReadAll(entry.path()), cut);
        }
    }
    EXPECT_EQ(aside, 1);
}

// --to takes each argument whole when it names someone ("Smith, John"), else as a comma list
// whose names are trimmed; names match exactly, and the refusal says so.
TEST_F(VorlapageHome, NamesWithCommasBlanksAndRepeatedTo) {
    struct Case {
        std::vector<std::string> to;
        int exit;
        size_t pages;
    };
    const Case cases[] = {
        {{"--to", "Smith, John"}, 0, 1},
        {{"--to", "Ann, Team"}, 0, 3},  // Ann once, though named twice
        {{"--to", "Ann", "--to", "Smith, John"}, 0, 2},
        {{"--to", " Bob ,Ann,"}, 0, 2},
        {{"--to", "ann"}, 2, 0},
        {{"--to", "Smith"}, 2, 0},
        {{"--to", ","}, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to.back());
        std::filesystem::remove(Folder() / "Outgoing.vlg");
        std::vector<std::string> args = c.to;
        args.insert(args.end(), {"--later", "NAMES"});
        EXPECT_EQ(Run(args), c.exit) << Err();
        EXPECT_EQ(QueuedPages(), c.pages);
        if (c.exit == 2) {
            EXPECT_NE(Err().find("names match exactly"), std::string::npos) << Err();
        }
    }
}

// --at refuses what is no time of the local calendar, says which, and warns of a past time.
TEST_F(VorlapageHome, AtTimesThatDoNotExistOrArePast) {
    struct Case {
        const char* at;
        int exit;
        const char* said;
    };
    const Case cases[] = {
        {"2027-03-28 02:30", 2, "is not a valid local time"},  // Berlin's clocks skip it
        {"2027-10-31 02:30", 0, ""},                           // passed twice; taken
        {"2024-02-31 10:00", 2, "is not a date and time of the calendar"},
        {"2024-13-01 10:00", 2, "is not a date and time of the calendar"},
        {"2200-01-01 10:00", 2, "is out of range"},
        {"1969-12-31 10:00", 2, "is out of range"},
        {"2024-1-01 10:00", 2, "needs \"YYYY-MM-DD HH:MM\""},
        {"2020-01-01 10:00", 0, "is already past"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        std::filesystem::remove(Folder() / "Outgoing.vlg");
        EXPECT_EQ(Wait(Start({"--to", "Ann", "--at", c.at, "AT"}, {}, {}, "Europe/Berlin")), c.exit) << Err();
        EXPECT_NE(Err().find(c.said), std::string::npos) << Err();
        EXPECT_EQ(QueuedPages(), c.exit == 0 ? 1u : 0u);
    }
}

// Another vorlapage holding the directory is waited for (--wait), and the refusal names it.
TEST_F(VorlapageHome, WaitsForAnotherVorlapageAndNamesIt) {
    const std::string spinning = ReadAll(Folder() / "rklfiles" / "test.rkl");
    const pid_t holder = Start({"--to", "Spinner", "HELD"}, (Folder() / "holder-out.txt").string(),
                               (Folder() / "holder-err.txt").string());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ReadAll(Folder() / "holder-out.txt").find("Connected to North") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    const std::string holderName = "vorlapage (process " + std::to_string(holder) + " on ";
    EXPECT_EQ(Run({"--list", "--wait", "0"}), 3);
    EXPECT_NE(Err().find(holderName), std::string::npos) << Err();
    EXPECT_EQ(Err().find("Waiting"), std::string::npos) << Err();
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({"--to", "Ann", "--later", "Q", "--wait", "1"}), 3);
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
    EXPECT_NE(Err().find("Waiting up to 1 s"), std::string::npos) << Err();

    // A caller that meets the run waits for it and queues its page once the run is over.
    const pid_t caller = Start({"--to", "Ann", "--later", "WAITED"});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(holder, SIGTERM);
    EXPECT_EQ(WaitForSignal(holder), SIGTERM);
    EXPECT_EQ(Wait(caller), 0) << Err();
    EXPECT_NE(Err().find("Waiting up to 60 s"), std::string::npos) << Err();
    EXPECT_EQ(QueuedPages(), 2u);  // the held page and the one that waited
    EXPECT_EQ(Run({"--to", "Ann", "--wait", "x", "HI"}), 2);
}

// Output that cannot be written is a failure, not a success.
TEST_F(VorlapageHome, AnOutputThatCannotBeWrittenExitsOne) {
    ASSERT_EQ(Run({"--to", "Ann", "--later", "LISTED"}), 0) << Err();
    EXPECT_EQ(Wait(Start({"--list"}, "/dev/full")), 1);
    EXPECT_NE(Err().find("the output could not be written"), std::string::npos) << Err();
}
