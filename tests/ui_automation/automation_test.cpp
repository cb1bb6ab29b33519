// The document on a private session bus, called the way a client calls it: the real program
// (offscreen) started by the test or by the bus's activation, and this test as the client.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QUuid>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <signal.h>

#include <xcb/xcb.h>

#include "archive/class_registry.h"
#include "archive/file_format_version.h"
#include "archive/ob_list.h"
#include "directory/subscriber.h"
#include "paging/page.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "tests/child_process/qt_child_process.h"
#include "tests/qt_support/qt_wait.h"
#include "tests/ui/app_fixture.h"
#include "tests/ui_automation/window_methods.h"

namespace {

const QString kName = QStringLiteral("VorlaPro.Document");
const QString kPath = QStringLiteral("/VorlaPro/Document");

class Automation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        for (QProcess* p : {&bus_, &program_, &sim_, &x_})
            vorla::testing::EndWithTest(*p);
        QDir(home_.path()).mkpath(QStringLiteral("services"));
        QDir(home_.path()).mkpath(QStringLiteral("config/Quillon"));
    }
    void TearDown() override {
        if (activated_ > 0) ::kill(static_cast<pid_t>(activated_), SIGKILL);
        if (connected_) QDBusConnection::disconnectFromBus(connectionName_);
        for (QProcess* p : {&program_, &sim_, &bus_, &x_}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->kill();
            p->waitForFinished(5000);
        }
    }
    std::string Path(const char* name) const { return home_.path().toStdString() + "/" + name; }
    QString QPath(const char* name) const { return QString::fromStdString(Path(name)); }

    void WriteConfig(const QByteArray& extra = {}) {
        QFile conf(QPath("config/Quillon/Vorla Pro.conf"));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write("[Tip]\nStartUp=1\n[Preferences]\n" + extra + "[Ports]\nCOM1=" + QPath("com1").toUtf8() +
                   "\n");
    }
    QProcessEnvironment ProgramEnvironment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QPath("config"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                           display_.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
        if (!display_.isEmpty()) environment.insert(QStringLiteral("DISPLAY"), display_);
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        return environment;
    }

    // A session bus of our own whose activation folder is services/, which the programs it
    // starts inherit the environment of (offscreen, the test's settings).
    void StartBus() {
        QFile config(QPath("session.conf"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(
            QByteArray("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                       " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                       "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>\n"
                       "<servicedir>") +
            QPath("services").toUtf8() +
            "</servicedir>\n"
            "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/><allow "
            "eavesdrop=\"true\"/>"
            "<allow own=\"*\"/></policy></busconfig>\n");
        config.close();
        bus_.setProcessEnvironment(ProgramEnvironment());
        bus_.setProgram(QStringLiteral("dbus-daemon"));
        bus_.setArguments({QStringLiteral("--config-file=") + QPath("session.conf"),
                           QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        bus_.start();
        ASSERT_TRUE(bus_.waitForStarted(5000)) << "dbus-daemon is not installed";
        QByteArray address;
        ASSERT_TRUE(WaitFor([&] { return (address += bus_.readAllStandardOutput()).contains('\n'); }, 10000));
        address_ = QString::fromUtf8(address.trimmed());
        connectionName_ = QUuid::createUuid().toString();
        QDBusConnection client = QDBusConnection::connectToBus(address_, connectionName_);
        connected_ = true;
        ASSERT_TRUE(client.isConnected()) << client.lastError().message().toStdString();
    }
    QDBusConnection Client() const { return QDBusConnection(connectionName_); }

    void StartSimulator() {
        sim_.setProgram(QStringLiteral(VORLA_BIN_DIR "/pagingsim"));
        sim_.setArguments(
            {"--link", QPath("com1"), "--log", QPath("pages.jsonl"), "--ring-ms", "50", "--quiet"});
        sim_.start();
        ASSERT_TRUE(sim_.waitForStarted(5000));
        ASSERT_TRUE(WaitFor([&] { return sim_.readAllStandardError().contains("ready"); }, 10000));
    }
    void CopyScript() {
        QDir(home_.path()).mkdir(QStringLiteral("rklfiles"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VORLA_SOURCE_DIR "/rklfiles/vorlapro.rkl"),
                                QPath("rklfiles/vorlapro.rkl")));
    }
    // The program on the test directory with the shipped script and a simulated terminal on COM1.
    void StartWithTerminal() {
        CopyScript();
        WriteTestDirectory(home_.path().toStdString());
        WriteConfig();
        StartSimulator();
        StartBus();
        StartProgram();
    }
    bool NameOwned() const { return Client().interface()->isServiceRegistered(kName).value(); }

    void StartProgram(const QStringList& extra = {}) {
        QProcessEnvironment environment = ProgramEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
        program_.setProcessEnvironment(environment);
        program_.setProgram(QStringLiteral(VORLA_BIN_DIR "/vorlapro"));
        program_.setArguments(QStringList{QStringLiteral("--home"), home_.path()} + extra);
        program_.start();
        ASSERT_TRUE(program_.waitForStarted(5000));
        ASSERT_TRUE(WaitFor([&] { return NameOwned(); }, 20000))
            << "the program did not take its bus name: " << program_.readAllStandardError().toStdString();
    }

    // vlgtool's output; its exit status must be 0.
    QByteArray Vlgtool(const QStringList& arguments) const {
        QProcess tool;
        vorla::testing::EndWithTest(tool);
        tool.start(QStringLiteral(VORLA_BIN_DIR "/vlgtool"), arguments);
        EXPECT_TRUE(tool.waitForFinished(20000));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        return tool.readAllStandardOutput();
    }
    QByteArray DumpDirectory() const { return Vlgtool({QStringLiteral("dump"), QPath("Vorla Pro.vlg")}); }

    QDBusMessage Call(const QString& method, const QVariantList& arguments = {}) const {
        QDBusMessage call = QDBusMessage::createMethodCall(kName, kPath, kName, method);
        call.setArguments(arguments);
        return Client().call(call, QDBus::Block, 30000);
    }
    QVariant Result(const QString& method, const QVariantList& arguments = {}) const {
        const QDBusMessage reply = Call(method, arguments);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
            << method.toStdString() << ": " << reply.errorMessage().toStdString();
        return reply.arguments().value(0);
    }
    QDBusMessage Property(const QString& method, const QVariantList& arguments) const {
        QDBusMessage call = QDBusMessage::createMethodCall(
            kName, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), method);
        call.setArguments(QVariantList{kName} + arguments);
        return Client().call(call);
    }
    QStringList Names(short requestType) const {
        Property(QStringLiteral("Set"),
                 {QStringLiteral("RequestType"),
                  QVariant::fromValue(QDBusVariant(QVariant::fromValue(requestType)))});
        const QDBusMessage reply = Property(QStringLiteral("Get"), {QStringLiteral("_NewEnum")});
        return reply.arguments().value(0).value<QDBusVariant>().variant().toStringList();
    }

    QTemporaryDir home_;
    QProcess bus_, program_, sim_, x_;
    QString address_, connectionName_, display_;
    bool connected_ = false;
    uint activated_ = 0;
};

QVariant I2(short v) {
    return QVariant::fromValue(v);
}

struct Step {
    const char* method;
    QVariantList arguments;
    QVariant expected;            // the result, when the reply is not an error
    const char* error = nullptr;  // the error name expected instead
};

TEST_F(Automation, DirectoryChangesFollowTheRulesAreSavedAndQuitWritesTheFile) {
    WriteTestDirectory(home_.path().toStdString());  // Acme: Ann, Bob, Carol; Team (Bob, Ann); Empty
    WriteConfig();
    StartBus();
    StartProgram();
    const QString tooLong(256, QLatin1Char('x'));
    const Step steps[] = {
        {"CreateSubscriber", {"Ann", "9", "80", "Nowhere"}, I2(-1)},  // the name is looked at first
        {"CreateSubscriber", {"Dan", "1004", "80", "Nowhere"}, I2(-2)},
        {"CreateSubscriber", {"Dan", "1004", "80", "Acme"}, I2(0)},
        {"CreateSubscriber", {tooLong, "1", "80", "Acme"}, {}, "VorlaPro.Document.Error.Text"},
        // What the maintenance windows refuse is refused here too, before anything is looked up.
        {"CreateSubscriber", {"", "1", "80", "Acme"}, {}, "VorlaPro.Document.Error.Text"},
        {"CreateSubscriber", {"Eve\tTab", "1", "80", "Acme"}, {}, "VorlaPro.Document.Error.Text"},
        {"CreateSubscriber", {"Eve", "12a", "80", "Acme"}, {}, "VorlaPro.Document.Error.Text"},
        {"CreateSubscriber", {"Eve", "", "80", "Acme"}, {}, "VorlaPro.Document.Error.Text"},
        {"CreateService", {"", "555", false, "", I2(2400)}, {}, "VorlaPro.Document.Error.Text"},
        {"CreateService", {"Delta", "", false, "", I2(2400)}, {}, "VorlaPro.Document.Error.Text"},
        {"CreateGroup", {"", "Ann"}, {}, "VorlaPro.Document.Error.Text"},
        {"CreateGroup", {"Night\nShift", "Ann"}, {}, "VorlaPro.Document.Error.Text"},
        {"CreateMessage", {""}, {}, "VorlaPro.Document.Error.Text"},
        {"CreateService", {"Acme", "555", false, "", I2(2400)}, I2(-2)},
        {"CreateService", {"Beta", "5550000", true, "pw", I2(1200)}, I2(0)},
        {"CreateServiceComplete",
         {"Gamma", "5551111", false, "", "Hayes", "ATZ", "COM2", I2(9600), I2(0), I2(1), I2(1), "TAP.RKL"},
         I2(0)},
        {"CreateGroup", {"Team", "Nobody"}, I2(-1)},
        {"CreateGroup", {"Solo", "Nobody"}, I2(-2)},
        {"CreateGroup", {"Solo", "Carol"}, I2(0)},
        {"AddSubscriberToGroup", {"Nogroup", "Dan"}, I2(-2)},
        {"AddSubscriberToGroup", {"Solo", "Nobody"}, I2(-1)},
        {"AddSubscriberToGroup", {"Solo", "Dan"}, I2(0)},
        {"CreateMessage", {QStringLiteral("Caf\u00e9 at 3 \u20ac")}, I2(0)},  // both have an 8-bit form
        {"CreateMessage", {QStringLiteral("Caf\u00e9 at 3 \u20ac")}, I2(-1)},
        {"CreateMessage", {QStringLiteral("\u65e5\u672c")}, {}, "VorlaPro.Document.Error.Text"},
        {"CreateMessage", {42}, {}, "org.freedesktop.DBus.Error.UnknownMethod"},
        {"RemoveService", {"Acme"}, false},  // it still has subscribers
        {"RemoveService", {"Beta"}, true},
        {"RemoveService", {"Beta"}, false},
        {"RemoveSubscriber", {"Carol"}, true},  // Solo keeps Dan
        {"RemoveSubscriber", {"Dan"}, true},    // Solo's last member: Solo goes too
        {"RemoveSubscriber", {"Dan"}, false},
        {"RemoveGroup", {"Team"}, true},
        {"RemoveGroup", {"Solo"}, false},
        {"SubscriberCount", {}, 2},
        {"ServiceCount", {}, 2},
        {"GroupCount", {}, 1},
        {"MessageCount", {}, 1},
    };
    for (const Step& step : steps) {
        const QDBusMessage reply = Call(QString::fromLatin1(step.method), step.arguments);
        const std::string what =
            std::string(step.method) + " " + step.arguments.value(0).toString().left(20).toStdString();
        if (step.error) {
            EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage) << what;
            EXPECT_EQ(reply.errorName().toStdString(), step.error) << what;
        } else {
            ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage)
                << what << ": " << reply.errorMessage().toStdString();
            EXPECT_EQ(reply.arguments().value(0), step.expected) << what;
        }
    }
    EXPECT_EQ(Names(0), QStringList({"Ann", "Bob"}));
    EXPECT_EQ(Names(1), QStringList({"Gamma", "Acme"})) << "a new record heads its list";
    EXPECT_EQ(Names(2), QStringList({"Empty"}));
    EXPECT_EQ(Names(3), QStringList({QStringLiteral("Caf\u00e9 at 3 \u20ac")}));

    // A property set over the bus is a preference written for the next start too.
    const QVariant upper = QVariant::fromValue(QDBusVariant(QVariant(true)));
    EXPECT_EQ(Property(QStringLiteral("Set"), {QStringLiteral("sendAsUpper"), upper}).type(),
              QDBusMessage::ReplyMessage);

    // Each change went to the file at once; Quit writes it again, as closing the window does.
    ASSERT_TRUE(QFile::remove(QPath("Vorla Pro.vlg")));
    EXPECT_EQ(Call(QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(program_.waitForFinished(20000)) << "Quit did not end the program";
    EXPECT_EQ(program_.exitCode(), 0);
    const QByteArray json = DumpDirectory();
    EXPECT_TRUE(json.contains("\"Gamma\"") && json.contains("\"TAP.RKL\"")) << json.toStdString();
    EXPECT_FALSE(json.contains("\"Beta\"") || json.contains("\"Solo\"") || json.contains("\"Dan\""));
    QFile conf(QPath("config/Quillon/Vorla Pro.conf"));
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(conf.readAll().contains("SendUpperCase=1"));
}

// A directory made with vlgtool where Team lists Ann but Ann's own group list is empty (the
// loader takes such a file). Removing Ann must take her out of Team too: a freed member left
// in Team crashed the save that follows every change, and the edits were lost.
TEST_F(Automation, RemovingASubscriberThatOnlyItsGroupListsSavesCleanly) {
    QFile json(QPath("one-sided.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(R"({"kind": "directory", "format_version": 1,
 "roots": {"services": 1, "subscribers": 2, "groups": 3, "preset_messages": 4, "display_rows": 5,
           "last_message": null},
 "objects": [
  {"index": 1, "class": "CObList", "items": [10]},
  {"index": 2, "class": "CObList", "items": [20, 21]},
  {"index": 3, "class": "CObList", "items": [30]},
  {"index": 4, "class": "CObList", "items": []},
  {"index": 5, "class": "CObList", "items": []},
  {"index": 10, "class": "CService", "Name": "Acme", "AccessNumber": "555", "Port": "COM1",
   "BaudRate": 2400, "Parity": 1, "ScriptFile": "VORLAPRO.RKL", "Subscribers": 11},
  {"index": 11, "class": "CObList", "items": [20, 21]},
  {"index": 20, "class": "CSubscriber", "Name": "Ann", "PIN": "1001", "MaxLength": "80", "Service": 10, "Groups": 22},
  {"index": 21, "class": "CSubscriber", "Name": "Bob", "PIN": "1002", "MaxLength": "80", "Service": 10, "Groups": 23},
  {"index": 22, "class": "CObList", "items": []},
  {"index": 23, "class": "CObList", "items": [30]},
  {"index": 30, "class": "CGroup", "Name": "Team", "Members": 31},
  {"index": 31, "class": "CObList", "items": [20, 21]}
 ]})");
    json.close();
    Vlgtool({QStringLiteral("build"), QPath("one-sided.json"), QPath("Vorla Pro.vlg")});
    if (HasFailure()) return;
    WriteConfig();
    StartBus();
    StartProgram();

    EXPECT_EQ(Result(QStringLiteral("RemoveSubscriber"), {QStringLiteral("Ann")}), QVariant(true));
    EXPECT_EQ(Call(QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(program_.waitForFinished(20000));
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit) << program_.readAllStandardError().toStdString();
    EXPECT_EQ(program_.exitCode(), 0);
    const QStringList left = QDir(home_.path()).entryList({QStringLiteral("*.tmp*")}, QDir::Files);
    EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
    const QByteArray saved = DumpDirectory();
    EXPECT_FALSE(saved.contains("\"Ann\"")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\"Team\"") && saved.contains("\"Bob\""));
}

// Days since 1899-12-30 of a local calendar day, plus the time of day as a fraction.
double AutomationDate(const std::tm& local) {
    using namespace std::chrono;
    const sys_days day{year{local.tm_year + 1900} / month{static_cast<unsigned>(local.tm_mon + 1)} /
                       static_cast<unsigned>(local.tm_mday)};
    const sys_days epoch{year{1899} / December / 30};
    return static_cast<double>((day - epoch).count()) + (local.tm_hour * 3600 + local.tm_min * 60) / 86400.0;
}

TEST_F(Automation, SendPageReachesTheTerminalAndSchedulePageQueuesAtTheLocalTime) {
    StartWithTerminal();
    if (HasFatalFailure()) return;

    EXPECT_EQ(Result(QStringLiteral("SendPage"), {"Nobody", "Lunch at noon", 0}), false);
    EXPECT_EQ(Result(QStringLiteral("SendPage"), {"Ann", "Lunch at noon", 0}), true);
    EXPECT_EQ(Result(QStringLiteral("IsBusy")), true) << "the run starts with the call";
    EXPECT_EQ(Result(QStringLiteral("SendPage"), {"Bob", "Meanwhile", 0}), false) << "the form is busy";
    ASSERT_TRUE(WaitFor([&] { return Result(QStringLiteral("IsBusy")) == QVariant(false); }, 60000));
    EXPECT_EQ(Result(QStringLiteral("Status")).toString(), QStringLiteral("Message Sent Successfully!"));
    QFile pages(QPath("pages.jsonl"));
    ASSERT_TRUE(pages.open(QIODevice::ReadOnly));
    const QByteArray received = pages.readAll();
    EXPECT_TRUE(received.contains("\"pin\":\"1001\"") && received.contains("Lunch at noon"))
        << received.toStdString();

    // Tomorrow 10:30 local time, as an automation date.
    std::time_t tomorrow = std::time(nullptr) + 86400;
    std::tm when = *std::localtime(&tomorrow);
    when.tm_hour = 10;
    when.tm_min = 30;
    when.tm_sec = 0;
    const double date = AutomationDate(when);
    when.tm_isdst = -1;
    const auto expected = static_cast<uint32_t>(std::mktime(&when));
    EXPECT_EQ(Result(QStringLiteral("SchedulePage"), {"Team", "Fire drill", date}), true);
    const QDBusMessage bad = Call(QStringLiteral("SchedulePage"), {"Team", "Fire drill", 1e300});
    EXPECT_EQ(bad.errorName(), QStringLiteral("VorlaPro.Document.Error.Date"));

    SetFileFormatVersion(kCurrentFileFormatVersion);
    LoadedList queue;
    ASSERT_EQ(LoadQueueFile(Path("Outgoing.vlg"), MakeProgramClassRegistry(), queue), ArchiveError::None);
    ASSERT_EQ(queue.list->GetCount(), 2u) << "one page for each of Team's members";
    for (const Serializable* item : *queue.list) {
        const auto* page = As<CPage>(item);
        ASSERT_TRUE(page && page->GetScheduledTime());
        EXPECT_EQ(page->GetWhen(), kWhenAt);
        EXPECT_EQ(*page->GetScheduledTime(), expected);
    }
}

// vorlapage hands its page to the program holding the directory when the bus's VorlaPro.Document
// is that program, and keeps exit 3 when it cannot reach it. The page goes to exactly the names
// it gives, never to whoever the user has selected in the form, which stays as it was.
TEST_F(Automation, VorlapageSendsThroughTheRunningProgram) {
    CopyScript();
    WriteTestDirectory(home_.path().toStdString());
    WriteConfig("ClearMessage=0\n");  // the form keeps the user's selection after a Later page
    StartSimulator();
    StartBus();
    StartProgram();
    if (HasFatalFailure()) return;
    // The user's own work in the form: Carol selected, a Later page for her queued.
    ASSERT_EQ(Result(QStringLiteral("SendPage"), {"Carol", "Typed by the user", 1}), true);
    auto vorlapage = [&](const QString& busAddress, const QStringList& arguments) {
        QProcess tool;
        vorla::testing::EndWithTest(tool);
        QProcessEnvironment environment = ProgramEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(VORLA_BIN_DIR "/vorlapage"),
                   QStringList{"--home", home_.path()} + arguments);
        EXPECT_TRUE(tool.waitForFinished(60000));
        return std::make_pair(tool.exitCode(), QString::fromUtf8(tool.readAllStandardError()));
    };
    const auto [sent, sentErrors] = vorlapage(address_, {"--to", "Team", "Handed over"});
    EXPECT_EQ(sent, 0) << sentErrors.toStdString();
    QFile pages(QPath("pages.jsonl"));
    ASSERT_TRUE(pages.open(QIODevice::ReadOnly));
    const QByteArray received = pages.readAll();
    EXPECT_EQ(received.count("Handed over"), 2) << received.toStdString();
    EXPECT_FALSE(received.contains("\"pin\":\"1003\"")) << "Carol was only selected in the form";
    // Carol is still selected: a SendPage naming nobody still finds a row to send to.
    EXPECT_EQ(Result(QStringLiteral("SendPage"), {"Nobody", "Still selected", 1}), true);
    EXPECT_EQ(vorlapage(address_, {"--to", "Nobody", "x"}).first, 2);
    const auto [unreachable, why] =
        vorlapage(QStringLiteral("unix:path=") + QPath("no-bus"), {"--to", "Ann", "x"});
    EXPECT_EQ(unreachable, 3) << why.toStdString();
}

TEST_F(Automation, AClientCallStartsTheProgramWhichEndsWhenNoClientNeedsIt) {
    WriteTestDirectory(home_.path().toStdString());
    WriteConfig("AutomationIdleSeconds=1\n");
    // The program the bus starts is not the test's child: it ends by itself (the rule under
    // test, after one idle second), and TearDown ends it if it did not.
    QFile service(QPath("services/VorlaPro.Document.service"));
    ASSERT_TRUE(service.open(QIODevice::WriteOnly));
    service.write("[D-BUS Service]\nName=VorlaPro.Document\nExec=" VORLA_BIN_DIR "/vorlapro --home " +
                  home_.path().toUtf8() + " -Automation\n");
    service.close();
    StartBus();
    ASSERT_FALSE(NameOwned());

    {
        // A client of its own, which leaves the bus after its call; the test's connection
        // only watches the name.
        const QString callerName = QUuid::createUuid().toString();
        QDBusConnection caller = QDBusConnection::connectToBus(address_, callerName);
        QDBusMessage call =
            QDBusMessage::createMethodCall(kName, kPath, kName, QStringLiteral("SubscriberCount"));
        const QDBusMessage reply = caller.call(call, QDBus::Block, 30000);
        EXPECT_EQ(reply.arguments().value(0), QVariant(3))
            << "activation started the program on the directory: " << reply.errorMessage().toStdString();
        ASSERT_TRUE(NameOwned());
        activated_ = Client().interface()->servicePid(kName).value();
        ASSERT_TRUE(WaitFor([&] { return !NameOwned(); }, 3000) == false)
            << "it ended with its client still there";
        QDBusConnection::disconnectFromBus(callerName);
    }
    EXPECT_TRUE(WaitFor([&] { return !NameOwned(); }, 20000)) << "the program stayed with no client left";
}

// A plain client of the test's X server: its window stands for a client program's window, and
// it reads what the window manager would read of the program's windows.
class XClient {
public:
    explicit XClient(const QString& display)
        : connection_(xcb_connect(display.toLocal8Bit().constData(), nullptr)) {
        if (!xcb_connection_has_error(connection_))
            root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~XClient() { xcb_disconnect(connection_); }
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;
    bool Connected() const { return root_ != 0; }

    xcb_window_t MakeWindow() {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, root_, 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_map_window(connection_, window);
        xcb_flush(connection_);
        return window;
    }
    // The root's children from the bottom of the stack to the top.
    std::vector<xcb_window_t> Stack() {
        std::vector<xcb_window_t> windows;
        if (xcb_query_tree_reply_t* tree =
                xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr)) {
            const xcb_window_t* children = xcb_query_tree_children(tree);
            windows.assign(children, children + xcb_query_tree_children_length(tree));
            free(tree);
        }
        return windows;
    }
    // The shown top-level window with this title, or 0.
    xcb_window_t Shown(const QByteArray& title) {
        for (xcb_window_t window : Stack()) {
            xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
                connection_, xcb_get_window_attributes(connection_, window), nullptr);
            const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            free(attributes);
            if (viewable && Property(window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY) == title)
                return window;
        }
        return 0;
    }
    xcb_window_t TransientFor(xcb_window_t window) {
        const QByteArray value = Property(window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW);
        xcb_window_t owner = 0;
        if (value.size() == sizeof owner) memcpy(&owner, value.constData(), sizeof owner);
        return owner;
    }
    // What a window manager sends for the window's close button.
    void Close(xcb_window_t window) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = Atom("WM_PROTOCOLS");
        event.data.data32[0] = Atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(connection_);
    }

private:
    QByteArray Property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
        QByteArray value;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, name, type, 0, 1024), nullptr);
        if (reply)
            value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
        free(reply);
        return value;
    }
    xcb_atom_t Atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        free(reply);
        return atom;
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
};

// On X11 each window a call opens is a transient of the window id the client gave, and the
// call is answered when the window is closed; ShowMainWindow maps the hidden window and
// raises it over the client's.
class AutomationOnX : public Automation {
protected:
    // An X server of the test's own for the program to show its windows on.
    void StartX() {
        x_.start(QStringLiteral("Xvfb"),
                 {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        ASSERT_TRUE(x_.waitForStarted(5000)) << "Xvfb is not installed";
        QByteArray number;
        ASSERT_TRUE(WaitFor([&] { return (number += x_.readAllStandardOutput()).contains('\n'); }, 10000));
        display_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    }
};

TEST_F(AutomationOnX, WindowMethodsOpenOverTheClientsWindowAndShowMainWindowRaisesTheProgram) {
    StartX();
    if (HasFatalFailure()) return;
    XClient x(display_);
    ASSERT_TRUE(x.Connected());
    WriteTestDirectory(home_.path().toStdString());
    WriteConfig();
    StartBus();
    StartProgram({QStringLiteral("-Automation")});
    const xcb_window_t client = x.MakeWindow();

    for (const WindowMethod& c : kWindowMethods) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kName, kPath, kName, QString::fromLatin1(c.method));
        call.setArguments({static_cast<int>(client)});
        const QDBusPendingCall pending = Client().asyncCall(call, 60000);
        xcb_window_t window = 0;
        ASSERT_TRUE(WaitFor([&] { return (window = x.Shown(c.title)) != 0; }, 20000))
            << c.method << " showed no window";
        EXPECT_EQ(x.TransientFor(window), client) << c.method;
        EXPECT_FALSE(pending.isFinished()) << c.method << " answered before its window closed";
        x.Close(window);
        ASSERT_TRUE(WaitFor([&] { return pending.isFinished(); }, 20000)) << c.method << " did not answer";
        EXPECT_EQ(pending.reply().type(), QDBusMessage::ReplyMessage) << c.method;
    }

    ASSERT_EQ(x.Shown("Vorla Pro - [Message Window]"), 0u)
        << "started for a client, the program shows no window";
    EXPECT_EQ(Result(QStringLiteral("ShowMainWindow")), true);
    xcb_window_t frame = 0;
    ASSERT_TRUE(WaitFor([&] { return (frame = x.Shown("Vorla Pro - [Message Window]")) != 0; }, 20000));
    // Shown already: only a raise brings it over a window that came after it.
    const xcb_window_t later = x.MakeWindow();
    EXPECT_EQ(Result(QStringLiteral("ShowMainWindow")), true);
    auto above = [&] {
        const std::vector<xcb_window_t> stack = x.Stack();
        return std::find(stack.begin(), stack.end(), frame) > std::find(stack.begin(), stack.end(), later);
    };
    EXPECT_TRUE(WaitFor(above, 5000)) << "the main window stays under the client's window";
}

// A maintenance window points at the records it lists: while one is open no client may free
// or add any (a row freed under it ended the program at the next click). The change is
// refused and nothing changes; once the window is closed it goes through.
TEST_F(AutomationOnX, DirectoryChangesAreRefusedWhileAMaintenanceWindowIsOpen) {
    StartX();
    if (HasFatalFailure()) return;
    XClient x(display_);
    ASSERT_TRUE(x.Connected());
    WriteTestDirectory(home_.path().toStdString());  // Acme: Ann, Bob, Carol; Team (Bob, Ann); Empty
    WriteConfig();
    StartBus();
    StartProgram({QStringLiteral("-Automation")});
    ASSERT_EQ(Result(QStringLiteral("CreateService"), {"Spare", "555", false, "", I2(2400)}), I2(0));
    const char* const kInUse = "VorlaPro.Document.Error.DirectoryInUse";
    struct Window {
        const char* method;
        const char* title;
        std::vector<Step> refused;
    };
    const Window windows[] = {
        {"SubscriberMaintenance",
         "Subscriber Maintenance",
         {{"RemoveSubscriber", {"Ann"}, {}, kInUse},
          {"RemoveGroup", {"Team"}, {}, kInUse},
          {"CreateSubscriber", {"Dan", "1004", "80", "Acme"}, {}, kInUse},
          {"CreateService", {"Beta", "5550000", true, "pw", I2(1200)}, {}, kInUse},
          {"CreateServiceComplete",
           {"Gamma", "5551111", false, "", "Hayes", "ATZ", "COM2", I2(9600), I2(0), I2(1), I2(1), "TAP.RKL"},
           {},
           kInUse},
          {"CreateGroup", {"Solo", "Carol"}, {}, kInUse},
          {"AddSubscriberToGroup", {"Empty", "Carol"}, {}, kInUse},
          {"CreateMessage", {"Hello"}, {}, kInUse},
          {"SubscriberCount", {}, 3}}},
        {"ServiceMaintenance",
         "Service Maintenance",
         {{"RemoveService", {"Spare"}, {}, kInUse}, {"ServiceCount", {}, 2}}},
    };
    for (const Window& w : windows) {
        QDBusMessage open =
            QDBusMessage::createMethodCall(kName, kPath, kName, QString::fromLatin1(w.method));
        open.setArguments({0});
        const QDBusPendingCall pending = Client().asyncCall(open, 60000);
        xcb_window_t window = 0;
        ASSERT_TRUE(WaitFor([&] { return (window = x.Shown(w.title)) != 0; }, 20000))
            << w.method << " showed no window";
        for (const Step& step : w.refused) {
            const QDBusMessage reply = Call(QString::fromLatin1(step.method), step.arguments);
            if (step.error)
                EXPECT_EQ(reply.errorName().toStdString(), step.error) << w.method << ": " << step.method;
            else
                EXPECT_EQ(reply.arguments().value(0), step.expected) << w.method << ": " << step.method;
        }
        x.Close(window);
        ASSERT_TRUE(WaitFor([&] { return pending.isFinished(); }, 20000)) << w.method << " did not answer";
    }
    EXPECT_EQ(Names(0), QStringList({"Ann", "Bob", "Carol"}));
    EXPECT_EQ(Names(2), QStringList({"Team", "Empty"}));
    EXPECT_EQ(Result(QStringLiteral("RemoveSubscriber"), {"Ann"}), true) << "the window is closed";
    EXPECT_EQ(Result(QStringLiteral("RemoveService"), {"Spare"}), true);
    EXPECT_EQ(program_.state(), QProcess::Running);
}

}  // namespace
