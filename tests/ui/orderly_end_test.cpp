// The program as a process: a termination signal in the middle of a run stops it (not the
// Cancel button: the unsent page waits at its time), saves the files (for their owner only)
// and exits 0; one while a dialog
// waits on the user ends that dialog as if cancelled, asking nothing.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <ctime>
#include <optional>

#include <signal.h>
#include <sys/stat.h>

#include "archive/class_registry.h"
#include "archive/file_format_version.h"
#include "archive/ob_list.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "tests/child_process/qt_child_process.h"
#include "tests/ui/app_fixture.h"

namespace {

class ProgramProcess : public AppTest {
protected:
    ProgramProcess() {
        vorla::testing::EndWithTest(program_);
        vorla::testing::EndWithTest(sim_);
    }
    void TearDown() override {
        for (QProcess* process : {&program_, &sim_}) {
            if (process->state() == QProcess::NotRunning) continue;
            process->kill();
            process->waitForFinished(5000);
        }
        AppTest::TearDown();
    }

    // Starts the program on the fixture's folder without a display, its settings in "config".
    void StartProgram(const QString& loggingRules = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(FilePath("config")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!loggingRules.isEmpty()) environment.insert(QStringLiteral("QT_LOGGING_RULES"), loggingRules);
        program_.setProcessEnvironment(environment);
        program_.setProgram(QStringLiteral(VORLA_BIN_DIR "/vorlapro"));
        program_.setArguments({QStringLiteral("--home"), QString::fromStdString(Folder())});
        program_.start();
        ASSERT_TRUE(program_.waitForStarted(5000));
    }
    // Waits for `line` in the program's error output, then sends `signalNumber` and waits
    // for the end: a question nobody answers would hold the program here.
    void SignalOnceSaid(const char* line, int signalNumber) {
        QByteArray said;
        ASSERT_TRUE(WaitFor([&] { return (said += program_.readAllStandardError()).contains(line); }, 20000))
            << "never said: " << line << "\n"
            << said.toStdString();
        ::kill(static_cast<pid_t>(program_.processId()), signalNumber);
        ASSERT_TRUE(program_.waitForFinished(15000)) << "the program did not end on signal " << signalNumber;
        EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program_.exitCode(), 0) << program_.readAllStandardError().toStdString();
    }

    QProcess program_;
    QProcess sim_;
};

// Acme's pages for Ann (due already, so the program sends it at once) and Bob (Later).
void WriteQueue(const std::string& path) {
    ServiceFields fields;
    fields.name = "Acme";
    fields.accessNumber = "5551234";
    fields.port = "COM1";
    fields.baudRate = 2400;
    fields.parity = 1;
    fields.scriptFile = "VORLAPRO.RKL";
    CService acme(fields);
    CSubscriber ann("Ann", "1001", "80", &acme);
    CSubscriber bob("Bob", "1002", "80", &acme);
    auto* message = new CPagerMessage("Fire drill at three");
    OwningList queue(new CObList);
    const auto past = static_cast<uint32_t>(std::time(nullptr) - 60);
    auto* due = new CPage(message, CSubscriber::MakeDetachedCopy(ann), kWhenAt, past, 3);
    due->SetStatus(kStatusWaiting, "", 0);
    queue->AddTail(due);
    queue->AddTail(new CPage(message, CSubscriber::MakeDetachedCopy(bob), kWhenLater, std::nullopt, 0));
    message->AddRef();
    message->AddRef();
    ASSERT_EQ(SaveQueueFile(path, queue.get()), ArchiveError::None);
}

unsigned ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 0777) : 01000;
}

}  // namespace

TEST_F(ProgramProcess, ATerminationSignalStopsTheRunKeepsTheDuePageAndExitsZero) {
    const mode_t oldMask = ::umask(022);  // the usual umask: files would be 0644 without care
    QDir(QString::fromStdString(Folder())).mkdir(QStringLiteral("rklfiles"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VORLA_SOURCE_DIR "/rklfiles/vorlapro.rkl"),
                            QString::fromStdString(FilePath("rklfiles/vorlapro.rkl"))));
    WriteTestDirectory(Folder());
    ASSERT_EQ(::chmod(FilePath("Vorla Pro.vlg").c_str(), 0644), 0);  // as an older version left it
    WriteQueue(FilePath("Outgoing.vlg"));
    QDir(QString::fromStdString(Folder())).mkpath(QStringLiteral("config/Quillon"));
    QFile conf(QString::fromStdString(FilePath("config/Quillon/Vorla Pro.conf")));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write(QByteArray("[Preferences]\nLogToDisk=1\n[Ports]\nCOM1=") + FilePath("com1").c_str() + "\n");
    conf.close();

    // A terminal that answers late, so the run is still going when the signal comes.
    sim_.setProgram(QStringLiteral(VORLA_BIN_DIR "/pagingsim"));
    sim_.setArguments({"--link", QString::fromStdString(FilePath("com1")), "--log",
                       QString::fromStdString(FilePath("pages.jsonl")), "--ring-ms", "50", "--slow", "3000"});
    sim_.start();
    ASSERT_TRUE(WaitFor([&] { return sim_.readAllStandardError().contains("ready"); }, 10000));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(FilePath("config")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program_.setProcessEnvironment(environment);
    program_.setProgram(QStringLiteral(VORLA_BIN_DIR "/vorlapro"));
    program_.setArguments({QStringLiteral("--home"), QString::fromStdString(Folder())});
    program_.start();
    ASSERT_TRUE(program_.waitForStarted(5000));
    QByteArray trace;
    ASSERT_TRUE(WaitFor([&] { return (trace += sim_.readAllStandardError()).contains("ATD"); }, 20000))
        << "the due page was not sent: " << trace.toStdString();

    ::kill(static_cast<pid_t>(program_.processId()), SIGTERM);
    ASSERT_TRUE(program_.waitForFinished(20000)) << "the program did not end";
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program_.exitCode(), 0) << program_.readAllStandardError().toStdString();

    // Nothing was failed: Ann's page waits at its time again, beside Bob's Later page.
    QFile textLog(QString::fromStdString(FilePath("Message Log.txt")));
    if (textLog.open(QIODevice::ReadOnly)) {
        const QByteArray lines = textLog.readAll();
        EXPECT_FALSE(lines.contains("\tAnn\tUser cancel\t")) << lines.toStdString();
    }
    {
        SetFileFormatVersion(kCurrentFileFormatVersion);
        LoadedList loaded;
        ASSERT_EQ(LoadQueueFile(FilePath("Outgoing.vlg"), MakeProgramClassRegistry(), loaded),
                  ArchiveError::None);
        ASSERT_EQ(loaded.list->GetCount(), 2u);
        // Back at her time, or due again if the due check ran once more before the end: either
        // way waiting to be sent, not failed.
        bool annWaits = false;
        for (Serializable* item : *loaded.list) {
            const auto* page = As<CPage>(item);
            if (page->GetSubscriber()->GetName() != "Ann") continue;
            annWaits = (page->GetWhen() == kWhenAt && page->GetScheduledTime().has_value() &&
                        page->GetStatus() == kStatusWaiting) ||
                       (page->GetWhen() == kWhenNow && page->GetStatus() != kStatusFailed);
        }
        EXPECT_TRUE(annWaits);
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(FilePath(".vorlapro.lock")))) << "lock released";
    for (const char* name : {"Vorla Pro.vlg", "Outgoing.vlg", "Vorla Pro Log Window.vlg"}) {
        EXPECT_EQ(ModeOf(FilePath(name)), 0600u) << name;
    }
    ::umask(oldMask);
}

TEST_F(ProgramProcess, ATerminationDuringTheFirstStartWizardEndsItAsCancelled) {
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        StartProgram();
        SignalOnceSaid("the setup wizard opens", signalNumber);
        if (HasFatalFailure()) return;
        program_.close();

        // Nothing of the wizard was kept: no service, no finished setup, and the lock is free.
        if (QFileInfo::exists(QString::fromStdString(FilePath("Vorla Pro.vlg")))) {
            DirectoryStore store;
            ASSERT_EQ(LoadDirectoryFile(FilePath("Vorla Pro.vlg"), MakeProgramClassRegistry(), store),
                      ArchiveError::None);
            EXPECT_TRUE(!store.GetServiceList() || store.GetServiceList()->IsEmpty());
        }
        QFile conf(QString::fromStdString(FilePath("config/Quillon/Vorla Pro.conf")));
        if (conf.open(QIODevice::ReadOnly)) {
            EXPECT_FALSE(conf.readAll().contains("Setup=1"));
        }
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(FilePath(".vorlapro.lock"))));
    }
}

TEST_F(ProgramProcess, ATerminationWhileAScriptAlertWaitsEndsTheRun) {
    // Acme's script stops at an alert before it touches a port.
    QDir(QString::fromStdString(Folder())).mkdir(QStringLiteral("rklfiles"));
    QFile script(QString::fromStdString(FilePath("rklfiles/vorlapro.rkl")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        "ENTRY CONNECT\nENTRY SEND_PAGE\nENTRY DISCONNECT\n"
        "LABEL CONNECT\nDEBUG_OUT alert is open\nALERT Refused Go on?\nEXIT 0 Connected\n"
        "LABEL Refused\nEXIT -301 Refused at the alert\n"
        "LABEL SEND_PAGE\nEXIT 0 Sent\nLABEL DISCONNECT\nEXIT 0 Done\n");
    script.close();
    WriteTestDirectory(Folder());
    WriteQueue(FilePath("Outgoing.vlg"));

    StartProgram(QStringLiteral("vorlapro.engine.debug=true"));
    SignalOnceSaid("alert is open", SIGTERM);
    if (HasFatalFailure()) return;

    // Bob's Later page still waits in the saved queue; the lock is free.
    SetFileFormatVersion(kCurrentFileFormatVersion);
    LoadedList loaded;
    ASSERT_EQ(LoadQueueFile(FilePath("Outgoing.vlg"), MakeProgramClassRegistry(), loaded),
              ArchiveError::None);
    bool bobWaits = false;
    for (Serializable* item : *loaded.list)
        bobWaits |= As<CPage>(item)->GetSubscriber()->GetName() == "Bob";
    EXPECT_TRUE(bobWaits);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(FilePath(".vorlapro.lock"))));
}
