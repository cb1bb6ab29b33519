// End to end: the session driver on the real engine runs the shipped vorlapro.rkl against
// pagingsim (a modem and a TAP terminal) on pseudo-terminals; vorlapage does the same as a
// process. What the terminal accepted is read back from pagingsim's page log.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "archive/class_registry.h"
#include "archive/file_format_version.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/engine_host.h"
#include "paging/log_object.h"
#include "paging/page.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "paging/paging_texts.h"
#include "paging/port_map.h"
#include "tests/child_process/child_process.h"
#include "tests/paging/paging_world.h"

using ::testing::ElementsAre;

namespace {

constexpr const char* kScript = "vorlapro.rkl";

std::string BuildDir() {
    const char* build = std::getenv("VORLA_BUILD_DIR");
    return build ? build : ".";
}

pid_t Spawn(const std::vector<std::string>& arguments, const std::filesystem::path& out,
            const std::filesystem::path& err, const std::vector<std::string>& environment) {
    return vorla::testing::StartChild(arguments, out.string(), err.string(), environment);
}

int WaitExit(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

template <class Predicate>
bool WaitFor(Predicate done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

struct AcceptedPage {
    std::string pin;
    std::string message;
};

// One pagingsim on its own link and page log, with short modem times so a call takes well
// under a second; stopped (SIGTERM) when the object goes.
class Sim {
public:
    Sim(const std::filesystem::path& folder, const std::string& name, std::vector<std::string> faults = {})
        : link_(folder / name), log_(folder / (name + "-pages.json")), err_(folder / (name + "-sim.txt")) {
        std::vector<std::string> args{BuildDir() + "/bin/pagingsim",
                                      "--link",
                                      link_.string(),
                                      "--log",
                                      log_.string(),
                                      "--ring-ms",
                                      "50",
                                      "--guard-ms",
                                      "50"};
        args.insert(args.end(), faults.begin(), faults.end());
        pid_ = Spawn(args, folder / (name + "-sim-out.txt"), err_, {"PATH=/usr/bin:/bin"});
        ready_ = pid_ > 0 && WaitFor([this] { return ReadAll(err_).find("ready on") != std::string::npos; },
                                     std::chrono::seconds(10));
    }
    ~Sim() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            WaitExit(pid_);
        }
    }
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;

    bool Ready() const { return ready_; }
    std::string Link() const { return link_.string(); }
    // The TCP port of a simulator started with --tcp 0, from its ready line.
    int TcpPort() const {
        const std::string trace = Trace();
        const auto at = trace.find("127.0.0.1:");
        return at == std::string::npos ? 0 : std::atoi(trace.c_str() + at + 10);
    }
    std::string Trace() const { return ReadAll(err_); }

    std::vector<AcceptedPage> Pages() const {
        std::vector<AcceptedPage> pages;
        std::istringstream lines(ReadAll(log_));
        for (std::string line; std::getline(lines, line);) {
            if (line.empty()) continue;
            const auto json = nlohmann::json::parse(line, nullptr, false);
            if (json.is_discarded()) {
                pages.push_back({"<bad line>", line});
                continue;
            }
            pages.push_back({json.value("pin", ""), json.value("message", "")});
        }
        return pages;
    }
    std::vector<std::string> Pins() const {
        std::vector<std::string> pins;
        for (const AcceptedPage& page : Pages())
            pins.push_back(page.pin);
        return pins;
    }

private:
    std::filesystem::path link_, log_, err_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

void CopyShippedScript(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder / "rklfiles");
    std::filesystem::copy_file(VORLA_SHIPPED_SCRIPT, folder / "rklfiles" / kScript,
                               std::filesystem::copy_options::overwrite_existing);
}

// A paging world on the shipped script, its ports mapped to simulators through the
// engine's host hooks. pump runs wherever the engine waits, as the user interface does.
class E2eWorld : public PagingWorld {
public:
    E2eWorld() {
        CopyShippedScript(folder);
        host_ = std::make_unique<EngineHost>(EngineHost::ForDriver(*driver, &ports, [this] {
            if (pump) pump();
        }));
    }
    ~E2eWorld() {
        host_.reset();
        driver.reset();  // closes the engine's port while the simulators still run
    }

    CService* Service(const std::string& name, const std::string& port) {
        CService* service = AddService(name, kScript);
        service->SetPort(port);
        return service;
    }
    int Count(const std::string& entry) const {
        return static_cast<int>(std::count(engine.entries.begin(), engine.entries.end(), entry));
    }
    std::vector<RecordingObserver::Log> LogsWithCode(int32_t code) const {
        std::vector<RecordingObserver::Log> out;
        for (const auto& record : observer.logs)
            if (record.code == code) out.push_back(record);
        return out;
    }

    PortMap ports;
    std::function<void()> pump;

private:
    std::unique_ptr<EngineHost> host_;
};

}  // namespace

TEST(e2e, TwoPagesOfOneServiceGoOverOneCall) {
    E2eWorld w;
    Sim sim(w.folder, "com1");
    ASSERT_TRUE(sim.Ready()) << sim.Trace();
    w.ports.Override("COM1", sim.Link());
    CService* north = w.Service("North", "COM1");
    w.Queue("Meet at the front gate",
            {w.AddSubscriber("Ann", "1001", north), w.AddSubscriber("Bob", "1002", north)});

    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT", "SEND_PAGE", "SEND_PAGE", "DISCONNECT"));
    EXPECT_EQ(w.driver->GetStatusLine(), "Message Sent Successfully!") << sim.Trace();
    EXPECT_THAT(w.LogStatuses(), ElementsAre("Message Sent Successfully!", "Message Sent Successfully!"));
    const auto pages = sim.Pages();
    ASSERT_EQ(pages.size(), 2u) << sim.Trace();
    EXPECT_EQ(pages[0].pin, "1001");
    EXPECT_EQ(pages[1].pin, "1002");
    EXPECT_EQ(pages[0].message, "Meet at the front gate");
    EXPECT_TRUE(w.outgoing->IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(w.folder / "Outgoing.vlg"));
}

TEST(e2e, TwoServicesOnTwoPortsMakeTwoSessions) {
    E2eWorld w;
    Sim com1(w.folder, "com1");
    Sim com2(w.folder, "com2");
    ASSERT_TRUE(com1.Ready() && com2.Ready());
    w.ports.Override("COM1", com1.Link());
    w.ports.Override("COM2", com2.Link());
    CService* north = w.Service("North", "COM1");
    CService* south = w.Service("South", "COM2");
    w.Queue("Storm warning", {w.AddSubscriber("Cy", "2001", south), w.AddSubscriber("Ann", "1001", north)});

    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_THAT(w.engine.entries,
                ElementsAre("CONNECT", "SEND_PAGE", "DISCONNECT", "CONNECT", "SEND_PAGE", "DISCONNECT"));
    EXPECT_EQ(w.engine.inits, 2);
    EXPECT_THAT(com1.Pins(), ElementsAre("1001"));
    EXPECT_THAT(com2.Pins(), ElementsAre("2001"));
    EXPECT_EQ(w.driver->GetErrorFlag(), 0);
}

TEST(e2e, ASplitMessageLogsEachPartThenTheWholeOneSecondLater) {
    E2eWorld w;
    Sim sim(w.folder, "com1");
    ASSERT_TRUE(sim.Ready());
    w.ports.Override("COM1", sim.Link());
    CService* north = w.Service("North", "COM1");
    const std::string text = "0123456789abcdefghijKLMNO";  // 10 + 10 + 5 characters
    w.Queue(text, {w.AddSubscriber("Ann", "1001", north, 10)});

    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_EQ(w.Count("SEND_PAGE"), 3);
    const auto pages = sim.Pages();
    ASSERT_EQ(pages.size(), 3u) << sim.Trace();
    EXPECT_EQ(pages[0].message + pages[1].message + pages[2].message, text);
    EXPECT_EQ(pages[2].message, "KLMNO");
    ASSERT_EQ(w.observer.logs.size(), 4u);
    const uint32_t now = w.clock.Now();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(w.observer.logs[i].status, "Message Split " + std::to_string(i + 1) + " of 3 Sent Ok");
        EXPECT_EQ(w.observer.logs[i].message, text.substr(static_cast<size_t>(i) * 10, 10));
        EXPECT_EQ(w.observer.logs[i].time, now);
    }
    EXPECT_EQ(w.observer.logs[3].status, "Message Sent Successfully!");
    EXPECT_EQ(w.observer.logs[3].message, text);
    EXPECT_EQ(w.observer.logs[3].time, now + 1);
}

TEST(e2e, ARefusedPageFailsAloneAndTheNextGoesOnTheSameCall) {
    E2eWorld w;
    Sim sim(w.folder, "com1", {"--refuse", "1001"});
    ASSERT_TRUE(sim.Ready());
    w.ports.Override("COM1", sim.Link());
    w.settings.WriteProfileInt("Preferences", "RememberFailed", 1);
    CService* north = w.Service("North", "COM1");
    w.Queue("Shift change", {w.AddSubscriber("Ann", "1001", north), w.AddSubscriber("Bob", "1002", north)});

    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT", "SEND_PAGE", "SEND_PAGE", "DISCONNECT"));
    EXPECT_THAT(sim.Pins(), ElementsAre("1002"));
    const auto refused = w.LogsWithCode(kScriptPageRefused);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].name, "Ann");
    EXPECT_EQ(refused[0].status, "The paging terminal refused the page: invalid pager ID");
    EXPECT_EQ(w.driver->GetErrorFlag(), 1);
    EXPECT_EQ(w.driver->GetStatusLine(), refused[0].status);
    // Kept as a Never item with its reason.
    ASSERT_EQ(w.queue->RowCount(), 1u);
    EXPECT_EQ(w.queue->RowAt(0)->GetWhen(), kWhenNever);
    EXPECT_EQ(w.queue->RowAt(0)->GetStatusText(), refused[0].status);
}

TEST(e2e, AFailedDialFailsThatServiceOnlyWithoutPagesOrHangUp) {
    for (const char* fault : {"--busy", "--no-carrier"}) {
        SCOPED_TRACE(fault);
        E2eWorld w;
        Sim com1(w.folder, "com1", {fault});
        Sim com2(w.folder, "com2");
        ASSERT_TRUE(com1.Ready() && com2.Ready());
        w.ports.Override("COM1", com1.Link());
        w.ports.Override("COM2", com2.Link());
        CService* north = w.Service("North", "COM1");
        CService* south = w.Service("South", "COM2");
        w.Queue("Test", {w.AddSubscriber("Ann", "1001", north), w.AddSubscriber("Bob", "1002", north),
                         w.AddSubscriber("Cy", "2001", south)});

        w.driver->StartSending();
        ASSERT_TRUE(w.RunUntilIdle());

        EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT", "CONNECT", "SEND_PAGE", "DISCONNECT"));
        const std::string reason = std::string(fault) == "--busy" ? "Line busy" : "No carrier";
        const int32_t code = std::string(fault) == "--busy" ? -305 : -306;
        const auto failed = w.LogsWithCode(code);
        ASSERT_EQ(failed.size(), 2u);
        EXPECT_EQ(failed[0].status, reason);
        EXPECT_THAT(com1.Pins(), ElementsAre());
        EXPECT_THAT(com2.Pins(), ElementsAre("2001"));
        EXPECT_EQ(w.driver->GetStatusLine(), reason);
        EXPECT_TRUE(w.outgoing->IsEmpty());  // no resend, nothing remembered
    }
}

TEST(e2e, ALineDropInABlockFailsEveryWaitingPageOfThatService) {
    E2eWorld w;
    Sim sim(w.folder, "com1", {"--drop-in-block", "1"});
    ASSERT_TRUE(sim.Ready());
    w.ports.Override("COM1", sim.Link());
    w.settings.WriteProfileInt("Preferences", "RememberFailed", 1);
    CService* north = w.Service("North", "COM1");
    w.Queue("Dropped", {w.AddSubscriber("Ann", "1001", north), w.AddSubscriber("Bob", "1002", north)});

    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_EQ(w.Count("CONNECT"), 1);
    EXPECT_EQ(w.Count("SEND_PAGE"), 1);
    EXPECT_THAT(sim.Pins(), ElementsAre());
    const auto failed = w.LogsWithCode(-309);
    ASSERT_EQ(failed.size(), 2u) << sim.Trace();
    EXPECT_EQ(failed[0].status, "The connection was lost (no carrier)");
    EXPECT_EQ(w.queue->RowCount(), 2u);
    for (size_t i = 0; i < w.queue->RowCount(); ++i)
        EXPECT_EQ(w.queue->RowAt(i)->GetStatus(), kStatusFailed);
}

TEST(e2e, ACancelDuringABlockFailsEveryNowPageAndHangsUp) {
    E2eWorld w;
    Sim sim(w.folder, "com1", {"--slow", "700"});
    ASSERT_TRUE(sim.Ready());
    w.ports.Override("COM1", sim.Link());
    w.settings.WriteProfileInt("Preferences", "RememberFailed", 1);
    CService* north = w.Service("North", "COM1");
    w.Queue("Cancel me", {w.AddSubscriber("Ann", "1001", north), w.AddSubscriber("Bob", "1002", north)});
    // The Cancel button, pressed while the engine waits for the terminal's verdict on a block.
    bool cancelled = false;
    w.pump = [&] {
        if (!cancelled && !w.engine.entries.empty() && w.engine.entries.back() == "SEND_PAGE") {
            cancelled = true;
            w.driver->CancelSending();
        }
    };

    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    ASSERT_TRUE(cancelled);
    EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT", "SEND_PAGE", "DISCONNECT"));
    EXPECT_EQ(w.driver->GetStatusLine(), "User cancel");
    EXPECT_EQ(w.observer.statusLines.back(), "User cancel");
    const auto cancelledLogs = w.LogsWithCode(kScriptCancelled);
    ASSERT_EQ(cancelledLogs.size(), 2u);
    EXPECT_EQ(cancelledLogs[0].status, "User cancel");
    ASSERT_EQ(w.queue->RowCount(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(w.queue->RowAt(i)->GetWhen(), kWhenNever);
        EXPECT_EQ(w.queue->RowAt(i)->GetStatusText(), "User cancel");
    }
    EXPECT_TRUE(std::filesystem::exists(w.folder / "Outgoing.vlg"));
}

// "Resend" on, "ResendTimes" 2: a page that always fails goes out three times, "ResendSeconds"
// apart on the injected clock, and is then dropped or kept by "RememberFailed".
TEST(e2e, AFailingPageIsSentThreeTimesThenDroppedOrKept) {
    for (int remember : {0, 1}) {
        SCOPED_TRACE(remember);
        E2eWorld w;
        Sim sim(w.folder, "com1", {"--busy"});
        ASSERT_TRUE(sim.Ready());
        w.ports.Override("COM1", sim.Link());
        w.settings.WriteProfileInt("Preferences", "Resend", 1);
        w.settings.WriteProfileInt("Preferences", "ResendTimes", 2);
        w.settings.WriteProfileInt("Preferences", "ResendSeconds", 60);
        w.settings.WriteProfileInt("Preferences", "RememberFailed", remember);
        CService* north = w.Service("North", "COM1");
        w.Queue("Try again", {w.AddSubscriber("Ann", "1001", north)});

        w.driver->StartSending();
        ASSERT_TRUE(w.RunUntilIdle());
        for (int retry = 1; retry <= 2; ++retry) {
            ASSERT_EQ(w.queue->RowCount(), 1u);
            EXPECT_EQ(w.queue->RowAt(0)->GetWhen(), kWhenAt);
            EXPECT_EQ(w.queue->RowAt(0)->GetScheduledTime(), std::optional<uint32_t>(w.clock.Now() + 60));
            w.clock.Advance(59);
            EXPECT_FALSE(w.queue->DueCheck());
            w.clock.Advance(1);
            EXPECT_TRUE(w.queue->DueCheck());  // starts the run
            ASSERT_TRUE(w.RunUntilIdle());
        }
        EXPECT_EQ(w.Count("CONNECT"), 3);
        EXPECT_EQ(w.LogsWithCode(-305).size(), 3u);
        if (remember) {
            ASSERT_EQ(w.queue->RowCount(), 1u);
            EXPECT_EQ(w.queue->RowAt(0)->GetWhen(), kWhenNever);
            EXPECT_EQ(w.queue->RowAt(0)->GetStatusText(), "Line busy");
        } else {
            EXPECT_EQ(w.queue->RowCount(), 0u);
            EXPECT_FALSE(std::filesystem::exists(w.folder / "Outgoing.vlg"));
        }
    }
}

TEST(e2e, AnAtPageWaitsForItsTimeThenGoes) {
    E2eWorld w;
    Sim sim(w.folder, "com1");
    ASSERT_TRUE(sim.Ready());
    w.ports.Override("COM1", sim.Link());
    CService* north = w.Service("North", "COM1");
    w.Queue("Lunch", {w.AddSubscriber("Ann", "1001", north)}, SendChoice::At, w.clock.Now() + 30);

    EXPECT_FALSE(w.queue->DueCheck());
    EXPECT_TRUE(w.driver->IsIdle());
    w.clock.Advance(30);
    EXPECT_TRUE(w.queue->DueCheck());
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_THAT(sim.Pins(), ElementsAre("1001"));
    EXPECT_TRUE(w.outgoing->IsEmpty());
}

namespace {

// vorlapage as a process on a program directory with the shipped script, one service on
// COM1 and a group of three.
class E2eVorlapage : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(BuildDir() + "/bin/vorlapage")) GTEST_SKIP() << "vorlapage not built";
        world_ = std::make_unique<PagingWorld>();
        CopyShippedScript(Folder());
        std::filesystem::create_directories(Folder() / "config");
        WriteDirectory("Team", {{"Ann", "1001"}, {"Bob", "1002"}, {"Cy", "1003"}});
    }

    // The directory: one service, North, and one group of these members (name, PIN).
    void WriteDirectory(const std::string& groupName,
                        const std::vector<std::pair<std::string, std::string>>& members) {
        DirectoryStore store;
        store.CreateEmpty();
        ServiceFields fields;
        fields.name = "North";
        fields.accessNumber = "5551000";
        fields.port = "COM1";
        fields.baudRate = 2400;
        fields.scriptFile = script_;
        auto* north = new CService(fields);
        store.GetServiceList()->AddTail(north);
        auto* group = new CGroup(groupName);
        store.GetGroupList()->AddTail(group);
        for (const auto& [name, pin] : members) {
            auto* subscriber = new CSubscriber(name, pin, "240", north);
            north->AddSubscriber(subscriber);
            store.GetSubscriberList()->AddTail(subscriber);
            group->GetMembers()->AddTail(subscriber);
            subscriber->GetGroups()->AddTail(group);
        }
        ASSERT_EQ(SaveDirectoryFile((Folder() / "Vorla Pro.vlg").string(), store), ArchiveError::None);
    }

    std::filesystem::path Folder() const { return world_->folder; }

    pid_t Start(const Sim& sim, std::vector<std::string> args) {
        args.insert(args.begin(), {BuildDir() + "/bin/vorlapage", "--home", Folder().string(), "--port",
                                   "COM1=" + sim.Link()});
        return Spawn(args, Folder() / "out.txt", Folder() / "err.txt",
                     {"XDG_CONFIG_HOME=" + (Folder() / "config").string(), "HOME=" + Folder().string(),
                      "PATH=/usr/bin:/bin"});
    }
    int Run(const Sim& sim, std::vector<std::string> args) { return WaitExit(Start(sim, std::move(args))); }
    std::string Out() const { return ReadAll(Folder() / "out.txt"); }
    std::string Err() const { return ReadAll(Folder() / "err.txt"); }

    size_t QueuedPages() { return QueuedNames().size(); }

    // Each page of the queue file, in file order.
    template <class Value>
    std::vector<Value> FromQueue(Value (*of)(const CPage&)) {
        const auto path = Folder() / "Outgoing.vlg";
        if (!std::filesystem::exists(path)) return {};
        SetFileFormatVersion(kCurrentFileFormatVersion);
        LoadedList loaded;
        EXPECT_EQ(LoadQueueFile(path.string(), MakeProgramClassRegistry(), loaded), ArchiveError::None);
        std::vector<Value> values;
        if (loaded.list)
            for (Serializable* object : *loaded.list)
                values.push_back(of(*As<CPage>(object)));
        return values;
    }
    std::vector<std::string> QueuedNames() {
        return FromQueue<std::string>([](const CPage& page) { return page.GetSubscriber()->GetName(); });
    }
    // The resend allowance of each page in the queue file.
    std::vector<int32_t> QueuedAllowances() {
        return FromQueue<int32_t>([](const CPage& page) { return page.GetResendTimes(); });
    }

    // The names of the "Message Sent Successfully!" records in the log window file.
    std::vector<std::string> LoggedAsSent() {
        std::vector<std::string> names;
        const auto path = Folder() / "Vorla Pro Log Window.vlg";
        if (!std::filesystem::exists(path)) return names;
        SetFileFormatVersion(kCurrentFileFormatVersion);
        LoadedList loaded;
        EXPECT_EQ(LoadLogWindowFile(path.string(), MakeProgramClassRegistry(), loaded), ArchiveError::None);
        if (loaded.list)
            for (Serializable* object : *loaded.list)
                if (auto* record = As<CLogObject>(object);
                    record && record->GetStatus() == paging_texts::kMessageSent)
                    names.push_back(record->GetName());
        return names;
    }

    void WritePreferences(const std::string& lines) {
        std::filesystem::create_directories(Folder() / "config" / "Quillon");
        std::ofstream(Folder() / "config" / "Quillon" / "Vorla Pro.conf") << "[Preferences]\n" << lines;
    }

    std::unique_ptr<PagingWorld> world_;
    std::string script_ = "VORLAPRO.RKL";  // found without regard to case
};

unsigned ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 0777) : 01000;
}

}  // namespace

TEST_F(E2eVorlapage, PagesAGroupThroughTheSimulatorAndExitsZero) {
    Sim sim(Folder(), "com1");
    ASSERT_TRUE(sim.Ready());
    EXPECT_EQ(Run(sim, {"--to", "Team", "Gate 4 is open"}), 0) << Out() << Err() << sim.Trace();
    EXPECT_THAT(sim.Pins(), ElementsAre("1001", "1002", "1003"));
    for (const AcceptedPage& page : sim.Pages())
        EXPECT_EQ(page.message, "Gate 4 is open");
    EXPECT_NE(Out().find("Sent 3 page(s), 0 failed."), std::string::npos) << Out();
    EXPECT_EQ(QueuedPages(), 0u);
}

// No modem: the service's port maps to the terminal's TCP endpoint in the settings section
// "Ports", and its script is vorlatcp.rkl.
TEST_F(E2eVorlapage, PagesAGroupOverTcpWithTheTcpScript) {
    std::filesystem::copy_file(std::filesystem::path(VORLA_SHIPPED_SCRIPT).parent_path() / "vorlatcp.rkl",
                               Folder() / "rklfiles" / "vorlatcp.rkl");
    script_ = "vorlatcp.rkl";
    WriteDirectory("Team", {{"Ann", "1001"}, {"Bob", "1002"}, {"Cy", "1003"}});
    Sim sim(Folder(), "terminal", {"--tcp", "0", "--nak", "1"});
    ASSERT_TRUE(sim.Ready());
    ASSERT_GT(sim.TcpPort(), 0) << sim.Trace();
    std::filesystem::create_directories(Folder() / "config" / "Quillon");
    std::ofstream(Folder() / "config" / "Quillon" / "Vorla Pro.conf")
        << "[Ports]\nCOM1=tcp://127.0.0.1:" << sim.TcpPort() << "\n";
    const pid_t pid =
        Spawn({BuildDir() + "/bin/vorlapage", "--home", Folder().string(), "--to", "Team", "Gate 4 is open"},
              Folder() / "out.txt", Folder() / "err.txt",
              {"XDG_CONFIG_HOME=" + (Folder() / "config").string(), "HOME=" + Folder().string(),
               "PATH=/usr/bin:/bin"});
    EXPECT_EQ(WaitExit(pid), 0) << Out() << Err() << sim.Trace();
    EXPECT_THAT(sim.Pins(), ElementsAre("1001", "1002", "1003"));
    EXPECT_EQ(sim.Trace().find("ATD"), std::string::npos) << "no modem involved";
    EXPECT_NE(Out().find("Sent 3 page(s), 0 failed."), std::string::npos) << Out();
}

TEST_F(E2eVorlapage, ARefusedMemberExitsOneAndTheOthersStillGo) {
    Sim sim(Folder(), "com1", {"--refuse", "1002"});
    ASSERT_TRUE(sim.Ready());
    EXPECT_EQ(Run(sim, {"--to", "Team", "Gate 4 is open"}), 1) << Out() << Err();
    EXPECT_THAT(sim.Pins(), ElementsAre("1001", "1003"));
    EXPECT_NE(Out().find("\tBob\tThe paging terminal refused the page: invalid pager ID\t"),
              std::string::npos)
        << Out();
    EXPECT_NE(Out().find("Sent 2 page(s), 1 failed."), std::string::npos) << Out();
}

// Killed while a page waits for the terminal's verdict: every page not yet logged as sent is
// still in the queue file, and the next run sends it.
TEST_F(E2eVorlapage, AKillMidRunLosesNoPageAndTheNextRunSendsTheRest) {
    {
        Sim slow(Folder(), "com1", {"--slow", "400"});
        ASSERT_TRUE(slow.Ready());
        const pid_t pid = Start(slow, {"--to", "Team", "Evacuate"});
        // Bob's block is on its way: Ann's page is logged and has left the queue file.
        ASSERT_TRUE(WaitFor([this] { return Out().find("Sending page 1 of 1 to Bob") != std::string::npos; },
                            std::chrono::seconds(20)))
            << Out() << Err();
        kill(pid, SIGKILL);
        WaitExit(pid);
        EXPECT_THAT(slow.Pins(), ::testing::Contains("1001"));
        EXPECT_EQ(QueuedPages(), 2u);
        // The log window file and the queue agree: every page the terminal took is in the log
        // history, or still queued (taken just before the kill, it goes again).
        const std::vector<std::string> logged = LoggedAsSent();
        const std::vector<std::string> queued = QueuedNames();
        const std::map<std::string, std::string> nameOf = {{"1001", "Ann"}, {"1002", "Bob"}, {"1003", "Cy"}};
        EXPECT_THAT(logged, ElementsAre("Ann"));
        for (const std::string& pin : slow.Pins()) {
            const std::string& name = nameOf.at(pin);
            EXPECT_TRUE(std::count(logged.begin(), logged.end(), name) +
                            std::count(queued.begin(), queued.end(), name) ==
                        1)
                << name << " was paged: it must be logged as sent or still queued";
        }
    }
    Sim sim(Folder(), "com1-again");
    ASSERT_TRUE(sim.Ready());
    EXPECT_EQ(Run(sim, {"--send"}), 0) << Out() << Err();
    EXPECT_EQ(QueuedPages(), 0u);
    EXPECT_THAT(sim.Pins(), ElementsAre("1002", "1003"));
}

// A monitoring system pages a ward of 40 and then runs --send until the queue is empty. The
// terminal drops the line in the 9th block of its first three calls and NAKs every block
// once; one PIN is refused. Every good page arrives exactly once, the refused one is logged
// failed, and no page loses the resends it was given when a new process loads the queue.
TEST_F(E2eVorlapage, AGroupPageSurvivesDroppedCallsThroughRepeatedSendRuns) {
    const mode_t oldMask = ::umask(022);  // the usual umask: files would be 0644 without care
    std::vector<std::pair<std::string, std::string>> ward;
    for (int i = 1; i <= 40; ++i)
        ward.emplace_back("Person " + std::to_string(i), std::to_string(5000 + i));
    WriteDirectory("Ward", ward);
    WritePreferences("Resend=1\nResendTimes=6\nResendSeconds=1\nLogToDisk=1\n");
    Sim sim(Folder(), "com1",
            {"--drop-in-block", "9", "--fault-calls", "3", "--nak", "1", "--refuse", "5020"});
    ASSERT_TRUE(sim.Ready());
    EXPECT_EQ(Run(sim, {"--to", "Ward", "Code blue"}), 1) << Err();
    int runs = 1;
    while (QueuedPages() > 0 && runs < 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // ResendSeconds
        Run(sim, {"--send"});
        ++runs;
    }
    EXPECT_EQ(QueuedPages(), 0u) << Out();
    std::vector<std::string> pins = sim.Pins();
    std::sort(pins.begin(), pins.end());
    std::vector<std::string> good;
    for (int i = 1; i <= 40; ++i)
        if (i != 20) good.push_back(std::to_string(5000 + i));
    EXPECT_EQ(pins, good) << "every good page exactly once";
    const std::string textLog = ReadAll(Folder() / "Message Log.txt");
    EXPECT_NE(textLog.find("\tPerson 20\tThe paging terminal refused the page: invalid pager ID\t"),
              std::string::npos);
    for (const char* name : {"Vorla Pro Log Window.vlg", "Message Log.txt"})
        EXPECT_EQ(ModeOf(Folder() / name), 0600u) << name;
    ::umask(oldMask);
}

// A run killed in the middle leaves each page with the resends it had; the next --send
// counts on from there instead of starting from none.
TEST_F(E2eVorlapage, AKillMidRunKeepsEachPagesResendAllowance) {
    WritePreferences("Resend=1\nResendTimes=2\nResendSeconds=1\n");
    {
        Sim dead(Folder(), "com1", {"--no-carrier"});
        ASSERT_TRUE(dead.Ready());
        EXPECT_EQ(Run(dead, {"--to", "Team", "Evacuate"}), 1);
        EXPECT_EQ(QueuedAllowances(), (std::vector<int32_t>{2, 2, 2}));  // 2 resends + 1, one used
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    {
        Sim slow(Folder(), "com1-slow", {"--slow", "3000"});
        ASSERT_TRUE(slow.Ready());
        const pid_t pid = Start(slow, {"--send"});
        ASSERT_TRUE(WaitFor([this] { return Out().find("Sending page 1 of 1 to Ann") != std::string::npos; },
                            std::chrono::seconds(20)))
            << Out() << Err();
        kill(pid, SIGKILL);
        WaitExit(pid);
        EXPECT_EQ(QueuedAllowances(), (std::vector<int32_t>{2, 2, 2}));
    }
    Sim dead(Folder(), "com1-dead", {"--no-carrier"});
    ASSERT_TRUE(dead.Ready());
    EXPECT_EQ(Run(dead, {"--send"}), 1);
    EXPECT_EQ(QueuedAllowances(), (std::vector<int32_t>{1, 1, 1}))
        << "failed again, still queued for a resend";
}

// The modem's port goes away in the middle of a call (here the simulator ends, and with it
// its pseudo-terminal, as a USB modem pulled out): the service's pages fail at once with a
// clear text, and the next run opens the port afresh and sends them.
TEST_F(E2eVorlapage, APortThatVanishesFailsItsPagesAndIsOpenedAgainNextRun) {
    WritePreferences("Resend=1\nResendTimes=1\nResendSeconds=1\n");
    pid_t pid = -1;
    {
        Sim slow(Folder(), "com1", {"--slow", "3000"});
        ASSERT_TRUE(slow.Ready());
        pid = Start(slow, {"--to", "Team", "Evacuate"});
        ASSERT_TRUE(WaitFor([this] { return Out().find("Connected") != std::string::npos; },
                            std::chrono::seconds(20)))
            << Out() << Err();
    }
    EXPECT_EQ(WaitExit(pid), 1);
    EXPECT_NE(Out().find("\tAnn\tPort Lost: \"COM1\"\tEvacuate\t-202"), std::string::npos) << Out();
    EXPECT_EQ(QueuedPages(), 3u);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    Sim sim(Folder(), "com1");
    ASSERT_TRUE(sim.Ready());
    EXPECT_EQ(Run(sim, {"--send"}), 0) << Out() << Err();
    EXPECT_THAT(sim.Pins(), ElementsAre("1001", "1002", "1003"));
}

namespace {

// vorlapaged on the same kind of directory, with SNPP clients that are not ours.
class E2eGateway : public E2eVorlapage {
protected:
    void SetUp() override {
        E2eVorlapage::SetUp();
        if (IsSkipped()) return;
        if (!std::filesystem::exists(BuildDir() + "/bin/vorlapaged")) GTEST_SKIP() << "vorlapaged not built";
    }
    void TearDown() override {
        if (gateway_ > 0) {
            kill(gateway_, SIGTERM);
            EXPECT_EQ(WaitExit(gateway_), 0) << GatewayErr();
        }
    }

    // Starts the gateway on a free port of 127.0.0.1; the port, or 0 when it did not come up.
    int StartGateway(const Sim& sim, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{BuildDir() + "/bin/vorlapaged", "--home",   Folder().string(), "--port",
                                      "COM1=" + sim.Link(),           "--listen", "127.0.0.1:0"};
        args.insert(args.end(), extra.begin(), extra.end());
        gateway_ = Spawn(args, Folder() / "gateway-out.txt", Folder() / "gateway-err.txt", Environment());
        int port = 0;
        WaitFor(
            [&] {
                const std::string err = GatewayErr();
                const auto at = err.find("listening on 127.0.0.1:");
                if (at != std::string::npos) port = std::atoi(err.c_str() + at + 23);
                return port > 0;
            },
            std::chrono::seconds(10));
        return port;
    }
    std::vector<std::string> Environment() const {
        return {"XDG_CONFIG_HOME=" + (Folder() / "config").string(), "HOME=" + Folder().string(),
                "PATH=/usr/bin:/bin", "USER=tester", "LOGNAME=tester"};
    }
    // A client process; its exit code, with its output in client.txt.
    int Client(const std::vector<std::string>& args) {
        return WaitExit(Spawn(args, Folder() / "client.txt", Folder() / "client.txt", Environment()));
    }
    std::string GatewayErr() const { return ReadAll(Folder() / "gateway-err.txt"); }
    std::string ClientOut() const { return ReadAll(Folder() / "client.txt"); }

    pid_t gateway_ = 0;
};

}  // namespace

// Debian's sendpage (hylafax-client) and Perl's Net::SNPP each page through the gateway: the
// page reaches the terminal and the message log says which client gave it.
TEST_F(E2eGateway, PagesFromSendpageAndNetSnppReachTheTerminal) {
    if (!std::filesystem::exists("/usr/bin/sendpage")) GTEST_SKIP() << "hylafax-client is not installed";
    WritePreferences("LogToDisk=1\n");
    Sim sim(Folder(), "com1");
    ASSERT_TRUE(sim.Ready());
    const int port = StartGateway(sim);
    ASSERT_GT(port, 0) << GatewayErr();
    EXPECT_EQ(Client({"/usr/bin/sendpage", "-h", "127.0.0.1:" + std::to_string(port), "-p", "ann",
                      "disk full on db1"}),
              0)
        << ClientOut() << GatewayErr();
    EXPECT_TRUE(WaitFor([&] { return sim.Pages().size() == 1; }, std::chrono::seconds(20))) << GatewayErr();
    EXPECT_EQ(Client({"/usr/bin/perl", "-MNet::SNPP", "-e",
                      "my $s = Net::SNPP->new('127.0.0.1', Port => $ARGV[0]) or die 'no connection';"
                      "$s->send(Pager => ['Team'], Message => 'gate 4 open') or die $s->message; $s->quit;",
                      std::to_string(port)}),
              0)
        << ClientOut() << GatewayErr();
    EXPECT_TRUE(WaitFor([&] { return sim.Pages().size() == 4; }, std::chrono::seconds(20))) << GatewayErr();
    EXPECT_THAT(sim.Pins(), ElementsAre("1001", "1001", "1002", "1003"));
    const std::vector<AcceptedPage> pages = sim.Pages();
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0].message, "disk full on db1");
    EXPECT_EQ(pages[3].message, "gate 4 open");
    const std::string log = ReadAll(Folder() / "Message Log.txt");
    EXPECT_NE(log.find("Taken from SNPP client 127.0.0.1"), std::string::npos) << log;
    EXPECT_NE(log.find("\tAnn\tMessage Sent Successfully!\tdisk full on db1"), std::string::npos) << log;
    EXPECT_TRUE(WaitFor([&] { return !std::filesystem::exists(Folder() / ".vorlapro.lock"); },
                        std::chrono::seconds(10)))
        << "the directory is let go once the pages are sent";
}

namespace {

// A raw SNPP client on 127.0.0.1, for what no polite client sends.
class RawClient {
public:
    explicit RawClient(int port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) Close();
    }
    ~RawClient() { Close(); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;
    void Close() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }
    bool Send(const std::string& bytes) {
        for (size_t sent = 0; sent < bytes.size();) {
            const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<size_t>(n);
        }
        return true;
    }
    // The next reply line, or "" when none comes within the time.
    std::string Reply(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            if (const size_t end = buffer_.find("\r\n"); end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 2);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
            char chunk[4096];
            const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0) return {};
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }
    int Code(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        const std::string line = Reply(limit);
        return line.size() >= 3 ? std::atoi(line.substr(0, 3).c_str()) : -1;
    }

private:
    int fd_ = -1;
    std::string buffer_;
};

}  // namespace

// Bad input gets a reply and loses nothing, and the next client is served as if nothing had
// happened: a 10 MB line, binary bytes, a command in pieces, a client gone in the middle of
// DATA, and a directory another process holds (421, nothing taken).
TEST_F(E2eGateway, BadInputIsAnsweredAndTheNextClientIsServed) {
    Sim sim(Folder(), "com1");
    ASSERT_TRUE(sim.Ready());
    const int port = StartGateway(sim, {"--busy-wait", "1", "--max-line", "4096"});
    ASSERT_GT(port, 0) << GatewayErr();
    {
        RawClient flood(port);
        ASSERT_EQ(flood.Code(), 220);
        ASSERT_TRUE(flood.Send(std::string(10 * 1024 * 1024, 'x')));
        EXPECT_EQ(flood.Code(), 500);
        const char binary[] = "\x00\xff\xfe\x01PAGE\x00\r\n";
        ASSERT_TRUE(flood.Send(std::string("\r\n") + std::string(binary, sizeof binary - 1)));
        EXPECT_EQ(flood.Code(), 500);  // the binary line; the rest of the long one went unanswered
    }
    {
        RawClient vanishing(port);
        ASSERT_EQ(vanishing.Code(), 220);
        ASSERT_TRUE(vanishing.Send("PAGE Ann\r\nDATA\r\nhalf a message"));
        EXPECT_EQ(vanishing.Code(), 250);
        EXPECT_EQ(vanishing.Code(), 354);
    }
    {
        RawClient pieces(port);
        ASSERT_EQ(pieces.Code(), 220);
        for (const char* piece : {"PA", "GE b", "ob\r", "\nME", "SS split up\r\nSE", "ND\r\n"}) {
            ASSERT_TRUE(pieces.Send(piece));
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        EXPECT_EQ(pieces.Code(), 250);
        EXPECT_EQ(pieces.Code(), 250);
        EXPECT_EQ(pieces.Code(), 250) << GatewayErr();
    }
    ASSERT_TRUE(WaitFor([&] { return sim.Pages().size() == 1; }, std::chrono::seconds(20))) << GatewayErr();
    EXPECT_THAT(sim.Pins(), ElementsAre("1002"));
    EXPECT_EQ(sim.Pages()[0].message, "split up");
    ASSERT_TRUE(WaitFor([&] { return !std::filesystem::exists(Folder() / ".vorlapro.lock"); },
                        std::chrono::seconds(10)));

    // Another process holds the directory and cannot take pages: nothing is acknowledged.
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::ofstream(Folder() / ".vorlapro.lock") << getpid() << "\npaging_tests\n" << host << "\n";
    {
        RawClient refused(port);
        ASSERT_EQ(refused.Code(), 220);
        ASSERT_TRUE(refused.Send("PAGE Cy\r\nMESS not now\r\nSEND\r\n"));
        EXPECT_EQ(refused.Code(), 250);
        EXPECT_EQ(refused.Code(), 250);
        EXPECT_EQ(refused.Code(), 421) << GatewayErr();
    }
    EXPECT_EQ(QueuedPages(), 0u);
    std::filesystem::remove(Folder() / ".vorlapro.lock");
    RawClient after(port);
    ASSERT_EQ(after.Code(), 220);
    ASSERT_TRUE(after.Send("PAGE 1003\r\nMESS now\r\nSEND\r\nQUIT\r\n"));
    for (int expected : {250, 250, 250, 221})
        EXPECT_EQ(after.Code(), expected) << GatewayErr();
    EXPECT_TRUE(WaitFor([&] { return sim.Pages().size() == 2; }, std::chrono::seconds(20))) << GatewayErr();
    EXPECT_THAT(sim.Pins(), ElementsAre("1002", "1003"));
}

// Users added at the terminal (here a pipe) must log in before they page, and a client from
// outside the allowed networks is turned away before it can say anything.
TEST_F(E2eGateway, RequiredLoginAndAllowedNetworks) {
    const std::string gatewayPath = BuildDir() + "/bin/vorlapaged";
    ASSERT_EQ(Client({"/bin/sh", "-c", "printf 'pa ss\\npa ss\\n' | \"$0\" --home \"$1\" --add-user ops",
                      gatewayPath, Folder().string()}),
              0)
        << ClientOut();
    EXPECT_EQ(ModeOf(Folder() / "vorlapaged.users"), 0600u);
    EXPECT_EQ(ReadAll(Folder() / "vorlapaged.users").find("pa ss"), std::string::npos);
    Sim sim(Folder(), "com1");
    ASSERT_TRUE(sim.Ready());
    const int port = StartGateway(sim, {"--require-login"});
    ASSERT_GT(port, 0) << GatewayErr();
    RawClient client(port);
    ASSERT_EQ(client.Code(), 220);
    ASSERT_TRUE(client.Send(
        "PAGE Ann\r\nLOGI ops wrong\r\nLOGI ops \"pa ss\"\r\nPAGE Ann\r\nMESS after login\r\nSEND\r\n"));
    for (int expected : {550, 550, 250, 250, 250, 250})
        EXPECT_EQ(client.Code(), expected) << GatewayErr();
    EXPECT_TRUE(WaitFor([&] { return sim.Pages().size() == 1; }, std::chrono::seconds(20))) << GatewayErr();
    EXPECT_NE(GatewayErr().find("Taken from SNPP client 127.0.0.1, user ops"), std::string::npos)
        << GatewayErr();

    const pid_t fenced = Spawn(
        {gatewayPath, "--home", Folder().string(), "--listen", "127.0.0.1:0", "--allow", "192.0.2.0/24"},
        Folder() / "fenced-out.txt", Folder() / "fenced-err.txt", Environment());
    int fencedPort = 0;
    WaitFor(
        [&] {
            const std::string err = ReadAll(Folder() / "fenced-err.txt");
            const auto at = err.find("listening on 127.0.0.1:");
            if (at != std::string::npos) fencedPort = std::atoi(err.c_str() + at + 23);
            return fencedPort > 0;
        },
        std::chrono::seconds(10));
    ASSERT_GT(fencedPort, 0);
    RawClient outsider(fencedPort);
    EXPECT_EQ(outsider.Code(), 421);
    kill(fenced, SIGTERM);
    EXPECT_EQ(WaitExit(fenced), 0);
}

// Mail to page: one mail on standard input, as an MTA's pipe alias hands it over, with the
// exit codes an MTA acts on.
TEST_F(E2eVorlapage, AMailOnStandardInputIsPagedWithTheMtasExitCodes) {
    Sim sim(Folder(), "com1");
    ASSERT_TRUE(sim.Ready());
    struct MailCase {
        std::vector<std::string> extra;
        std::string mail;
        int exit;
        size_t pages;      // how many the terminal gets
        std::string page;  // the text of the last, as the terminal's log writes it (UTF-8)
    };
    const std::string plain =
        "From: Nagios <nagios@mon.example.org>\nTo: Ann <ann@pager.example.org>, boss@example.org\n"
        "Subject: =?UTF-8?Q?disk_full_=E2=80=93_db1?=\nContent-Type: text/plain; charset=utf-8\n"
        "Content-Transfer-Encoding: quoted-printable\n\n"
        "/var at 99%=\n, caf=C3=A9 closed\n\nOn Monday Bob wrote:\n> old text\n-- \nNagios on mon1\n";
    const std::string html =
        "From: alarm@lab\nTo: team@pager\nSubject: door\nMIME-Version: 1.0\n"
        "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/html; charset=iso-8859-1\n"
        "Content-Transfer-Encoding: base64\n\n"
        "PGh0bWw+PHN0eWxlPnB7fTwvc3R5bGU+PHA+TGFiIGRvb3IgJmFtcDsgd2luZG93IG9wZW4g6TwvcD48L2h0bWw+\n--b--\n";
    const MailCase cases[] = {
        {{}, plain, 0, 1, "disk full \u2013 db1: /var at 99%, caf\u00e9 closed"},
        {{"--to", " Bob , ", "--length", "8"}, html, 0, 1, "door: La"},  // a list, as vorlapage --to
        {{}, html, 0, 3, "door: Lab door & window open \u00e9"},
        {{}, "To: nobody@pager\nSubject: hi\n\nhello\n", 67, 0, ""},
        {{"--to", "Nobody"}, plain, 67, 0, ""},
        {{}, "To: ann@pager\nSubject:\n\n-- \nsignature only\n", 65, 0, ""},
        {{}, "To: ann@pager\nSubject: \xe4\xb8\xad\n\nhi\n", 65, 0, ""},
    };
    size_t sent = 0;
    for (const MailCase& c : cases) {
        std::ofstream(Folder() / "mail.eml", std::ios::binary) << c.mail;
        std::vector<std::string> args{"/bin/sh",
                                      "-c",
                                      "exec \"$0\" --mail \"$@\" < \"$MAIL_FILE\"",
                                      BuildDir() + "/bin/vorlapage",
                                      "--home",
                                      Folder().string(),
                                      "--port",
                                      "COM1=" + sim.Link()};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const pid_t pid =
            Spawn(args, Folder() / "out.txt", Folder() / "err.txt",
                  {"XDG_CONFIG_HOME=" + (Folder() / "config").string(), "HOME=" + Folder().string(),
                   "PATH=/usr/bin:/bin", "MAIL_FILE=" + (Folder() / "mail.eml").string()});
        EXPECT_EQ(WaitExit(pid), c.exit) << c.mail << Out() << Err();
        if (c.pages == 0) continue;
        sent += c.pages;
        ASSERT_EQ(sim.Pages().size(), sent) << Out() << Err();
        EXPECT_EQ(sim.Pages().back().message, c.page);
    }
    EXPECT_THAT(sim.Pins(), ElementsAre("1001", "1002", "1001", "1002", "1003"));

    // A directory another process holds and cannot hand the page to: try again later.
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::ofstream(Folder() / ".vorlapro.lock") << getpid() << "\npaging_tests\n" << host << "\n";
    std::ofstream(Folder() / "mail.eml", std::ios::binary) << plain;
    const pid_t busy =
        Spawn({"/bin/sh", "-c", "exec \"$0\" --mail --wait 0 --home \"$1\" < \"$2\"",
               BuildDir() + "/bin/vorlapage", Folder().string(), (Folder() / "mail.eml").string()},
              Folder() / "out.txt", Folder() / "err.txt",
              {"XDG_CONFIG_HOME=" + (Folder() / "config").string(), "HOME=" + Folder().string(),
               "PATH=/usr/bin:/bin"});
    EXPECT_EQ(WaitExit(busy), 75) << Err();
    EXPECT_EQ(QueuedPages(), 0u);
}
