// The document on a private session bus with the program's application object in this
// process, so a call's effect on the form and on its windows can be looked at directly. The
// client is a second connection of this process; its calls are asynchronous, because the
// document answers them on this same thread.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>
#include <QUuid>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/child_process/qt_child_process.h"
#include "tests/ui/app_fixture.h"
#include "tests/ui_automation/window_methods.h"
#include "ui/app/command_ids.h"
#include "ui/app/ui_extensions.h"
#include "ui/automation/automation_server.h"
#include "ui/main_window/main_frame.h"
#include "ui/message_entry/vorla_pro_view.h"
#include "ui/program/program_parts.h"

namespace {

const QString kName = QStringLiteral("VorlaPro.Document");
const QString kPath = QStringLiteral("/VorlaPro/Document");

// One bus for the whole test program: the process's session bus connection is made once.
class DocumentOnBus : public AppTest {
protected:
    static void SetUpTestSuite() {
        bus_ = new QProcess;
        vorla::testing::EndWithTest(*bus_);
        bus_->start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address"});
        QByteArray address;
        if (bus_->waitForStarted(5000))
            WaitFor([&] { return (address += bus_->readAllStandardOutput()).contains('\n'); }, 10000);
        // Never the user's own bus: without ours, no bus at all.
        qputenv("DBUS_SESSION_BUS_ADDRESS",
                address.isEmpty() ? QByteArray("unix:path=/nonexistent") : address.trimmed());
    }
    static void TearDownTestSuite() {
        bus_->kill();
        bus_->waitForFinished(5000);
        delete bus_;
    }

    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "dbus-daemon is not installed";
        vorla::testing::EndWithTest(sim_);
    }
    void TearDown() override {
        for (const QString& name : clients_)
            QDBusConnection::disconnectFromBus(name);
        server_.reset();
        AppTest::TearDown();
        if (sim_.state() != QProcess::NotRunning) {
            sim_.kill();
            sim_.waitForFinished(5000);
        }
    }

    // The program as a client's call starts it: directory loaded, window hidden, every
    // window a call can open registered as in the program.
    void StartHidden() {
        WriteTestDirectory(Folder());
        auto settings = std::make_unique<vorla::MemorySettingsStore>();
        settings_ = settings.get();
        settings_->WriteProfileString("Ports", "COM1", FilePath("com1"));
        auto directory = vorla::ProgramDirectory::Resolve({Folder(), std::nullopt, {}, {}});
        ASSERT_TRUE(directory.has_value());
        app_ = std::make_unique<CVorlaPro5App>(std::move(settings), *directory);
        RegisterProgramParts(app_->Extensions());
        CommandLineInfo commandLine;
        commandLine.automation = true;
        ASSERT_TRUE(app_->InitApplicationObjects(commandLine, false));
        server_ = std::make_unique<AutomationServer>(*app_, true);
        ASSERT_TRUE(server_->Publish());
        NewClient();
    }
    void StartWithTerminal() {
        QDir(home_.path()).mkdir(QStringLiteral("rklfiles"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VORLA_SOURCE_DIR "/rklfiles/vorlapro.rkl"),
                                QString::fromStdString(FilePath("rklfiles/vorlapro.rkl"))));
        sim_.start(QStringLiteral(VORLA_BIN_DIR "/pagingsim"),
                   {"--link", QString::fromStdString(FilePath("com1")), "--log",
                    QString::fromStdString(FilePath("pages.jsonl")), "--ring-ms", "50", "--quiet"});
        ASSERT_TRUE(sim_.waitForStarted(5000));
        ASSERT_TRUE(WaitFor([&] { return sim_.readAllStandardError().contains("ready"); }, 10000));
        StartHidden();
    }

    // A client of its own; the earlier one leaves the bus.
    void NewClient() {
        if (!clients_.empty()) QDBusConnection::disconnectFromBus(clients_.back());
        clients_.push_back(QUuid::createUuid().toString());
        QDBusConnection::connectToBus(QString::fromUtf8(qgetenv("DBUS_SESSION_BUS_ADDRESS")),
                                      clients_.back());
    }
    QDBusPendingCall Send(const QString& method, const QVariantList& arguments = {}) const {
        QDBusMessage call = QDBusMessage::createMethodCall(kName, kPath, kName, method);
        call.setArguments(arguments);
        return QDBusConnection(clients_.back()).asyncCall(call, 60000);
    }
    static QDBusMessage Wait(QDBusPendingCall pending) {
        WaitFor([&] { return pending.isFinished(); }, 60000);
        return pending.reply();
    }
    QVariant Result(const QString& method, const QVariantList& arguments = {}) const {
        const QDBusMessage reply = Wait(Send(method, arguments));
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
            << method.toStdString() << ": " << reply.errorMessage().toStdString();
        return reply.arguments().value(0);
    }
    QString Field() const { return View()->MessageField()->toPlainText(); }
    QByteArray Received() const {
        QFile pages(QString::fromStdString(FilePath("pages.jsonl")));
        return pages.open(QIODevice::ReadOnly) ? pages.readAll() : QByteArray();
    }

    static inline QProcess* bus_ = nullptr;
    std::unique_ptr<AutomationServer> server_;
    std::vector<QString> clients_;
    QProcess sim_;
};

// A window a call opened, as the program showed it.
struct SeenWindow {
    QString title;
    bool ownedByMainWindow = false;
    bool answeredBeforeClose = false;
    int windowsOpen = 0;
};

// Window methods run their window modally inside the call, so the test looks at each window
// from a timer and closes it once `mayClose` holds.
class WindowCloser {
public:
    WindowCloser(const CVorlaPro5App& app, std::function<bool()> answered, std::function<bool()> mayClose)
        : app_(app), answered_(std::move(answered)), mayClose_(std::move(mayClose)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(20);
        clock_.start();
    }
    const std::vector<SeenWindow>& Seen() const { return seen_; }

private:
    void Look() {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog) return;
        if (dialog != current_) {
            current_ = dialog;
            int open = 0;
            for (QWidget* window : QApplication::topLevelWidgets())
                open += window->isVisible() && window->isModal();
            seen_.push_back(
                {dialog->windowTitle(), dialog->parentWidget() == app_.MainFrame(), answered_(), open});
        }
        // A window left open would hold the test in its modal loop past every limit.
        if (mayClose_() || clock_.hasExpired(60000)) dialog->reject();
    }

    const CVorlaPro5App& app_;
    std::function<bool()> answered_, mayClose_;
    QTimer timer_;
    QElapsedTimer clock_;
    QDialog* current_ = nullptr;
    std::vector<SeenWindow> seen_;
};

TEST_F(DocumentOnBus, EachWindowMethodOpensItsWindowAndAnswersWhenItCloses) {
    StartHidden();
    for (const WindowMethod& c : kWindowMethods) {
        QDBusPendingCall call = Send(QString::fromLatin1(c.method), {0});
        WindowCloser closer(
            *app_, [&] { return call.isFinished(); }, [] { return true; });
        const QDBusMessage reply = Wait(call);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
            << c.method << ": " << reply.errorMessage().toStdString();
        ASSERT_EQ(closer.Seen().size(), 1u) << c.method;
        const SeenWindow& seen = closer.Seen().front();
        EXPECT_EQ(seen.title.toStdString(), c.title);
        EXPECT_TRUE(seen.ownedByMainWindow) << c.method << " did not go through the program's command";
        EXPECT_FALSE(seen.answeredBeforeClose) << c.method;
    }
    EXPECT_FALSE(app_->MainFrame()->isVisible()) << "a window method does not show the main window";
}

// While a window is open other calls are served, and a second window waits for the first.
TEST_F(DocumentOnBus, ASecondWindowMethodWaitsForTheFirstWindowToClose) {
    StartHidden();
    QDBusPendingCall first = Send(QStringLiteral("SubscriberMaintenance"), {0});
    QDBusPendingCall second = Send(QStringLiteral("About"), {0});
    QDBusPendingCall count = Send(QStringLiteral("SubscriberCount"));
    QElapsedTimer clock;
    clock.start();
    // The first window stays open a while, so the second call has long arrived.
    WindowCloser closer(
        *app_, [&] { return first.isFinished(); },
        [&] { return count.isFinished() && clock.elapsed() > 300; });
    EXPECT_EQ(Wait(first).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(Wait(second).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(count.reply().arguments().value(0), QVariant(3)) << "served while the window was open";
    ASSERT_EQ(closer.Seen().size(), 2u);
    EXPECT_EQ(closer.Seen()[0].title.toStdString(), "Subscriber Maintenance");
    EXPECT_EQ(closer.Seen()[1].title.toStdString(), "About Vorla Pro");
    EXPECT_EQ(closer.Seen()[1].windowsOpen, 1) << "the second window opened over the first";
}

// A window a call opens waits for a directory window the user opened: the two open at once
// would free records under each other.
TEST_F(DocumentOnBus, AWindowMethodWaitsForTheUsersDirectoryWindow) {
    StartHidden();
    QDBusPendingCall call = Send(QStringLiteral("SubscriberCount"));
    QElapsedTimer clock;
    QTimer::singleShot(0, [&] {
        call = Send(QStringLiteral("ServiceMaintenance"), {0});
        clock.start();
        app_->Extensions().commands.at(cmd::kSubscribers)(*app_, app_->MainFrame());  // as the menu does
    });
    WindowCloser closer(
        *app_, [&] { return false; }, [&] { return clock.isValid() && clock.elapsed() > 300; });
    WaitFor([&] { return clock.isValid(); }, 10000);
    EXPECT_EQ(Wait(call).type(), QDBusMessage::ReplyMessage);
    ASSERT_EQ(closer.Seen().size(), 2u);
    EXPECT_EQ(closer.Seen()[0].title.toStdString(), "Subscriber Maintenance");
    EXPECT_EQ(closer.Seen()[1].title.toStdString(), "Service Maintenance");
    EXPECT_EQ(closer.Seen()[1].windowsOpen, 1) << "Service Maintenance opened over Subscriber Maintenance";
}

TEST_F(DocumentOnBus, SetMessageFillsTheFieldAndRefusesWhatTheTextRulesRefuse) {
    StartHidden();
    struct Case {
        QString text;
        bool upper;
        QString field;                // what the message field holds after the call
        const char* error = nullptr;  // the error reply instead
    };
    const QString longest(30000, QLatin1Char('y'));
    const Case cases[] = {
        {QStringLiteral("Typed by a script"), false, QStringLiteral("Typed by a script")},
        {QStringLiteral("Caf\u00e9 at 3 \u20ac"), true, QStringLiteral("CAF\u00c9 AT 3 \u20ac")},
        {QStringLiteral("\u65e5\u672c"), false, QStringLiteral("CAF\u00c9 AT 3 \u20ac"),
         "VorlaPro.Document.Error.Text"},
        {longest, false, longest},
        {longest + QLatin1Char('y'), false, longest, "VorlaPro.Document.Error.Text"},
    };
    for (const Case& c : cases) {
        settings_->WriteProfileInt("Preferences", "SendUpperCase", c.upper ? 1 : 0);
        const QDBusMessage reply = Wait(Send(QStringLiteral("SetMessage"), {c.text}));
        const std::string what = c.text.left(20).toStdString();
        if (c.error) {
            EXPECT_EQ(reply.errorName().toStdString(), c.error) << what;
        } else {
            EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
                << what << ": " << reply.errorMessage().toStdString();
        }
        EXPECT_EQ(Field().toStdString(), c.field.toStdString()) << what;
    }
}

// Later pages go when a client says so, and a run does not take away what a client (or the
// user) put in the message field meanwhile.
TEST_F(DocumentOnBus, SendLaterItemsSendsEveryLaterPageAndKeepsTheFormsText) {
    StartWithTerminal();
    if (HasFatalFailure()) return;
    EXPECT_EQ(Result(QStringLiteral("SendLaterItems")), false) << "there is no Later page yet";
    EXPECT_EQ(Result(QStringLiteral("SendPage"), {"Carol", "Later one", 1}), true);
    EXPECT_EQ(Result(QStringLiteral("SendPage"), {"Team", "Later two", 1}), true);
    EXPECT_TRUE(Received().isEmpty()) << "Later pages wait";
    EXPECT_EQ(Result(QStringLiteral("SendLaterItems")), true);
    EXPECT_EQ(Result(QStringLiteral("IsBusy")), true);
    Result(QStringLiteral("SetMessage"), {"Typed meanwhile"});
    ASSERT_TRUE(WaitFor([&] { return Result(QStringLiteral("IsBusy")) == QVariant(false); }, 60000));
    const QByteArray received = Received();
    EXPECT_EQ(received.count("Later one"), 1) << received.toStdString();
    EXPECT_EQ(received.count("Later two"), 2) << received.toStdString();
    EXPECT_EQ(Field().toStdString(), "Typed meanwhile");
    EXPECT_EQ(Result(QStringLiteral("SendLaterItems")), false) << "every Later page went";

    // During the form's own run the field holds the page being sent; the text comes after.
    EXPECT_EQ(Result(QStringLiteral("SendPage"), {"Bob", "Now page", 0}), true);
    Result(QStringLiteral("SetMessage"), {"After the run"});
    EXPECT_EQ(Field().toStdString(), "Now page");
    ASSERT_TRUE(WaitFor([&] { return Result(QStringLiteral("IsBusy")) == QVariant(false); }, 60000));
    EXPECT_TRUE(WaitFor([&] { return Field() == QStringLiteral("After the run"); }, 2000))
        << Field().toStdString();
}

TEST_F(DocumentOnBus, ShowMainWindowShowsItAndTheProgramNoLongerEndsByItself) {
    StartHidden();
    Result(QStringLiteral("Status"));
    NewClient();
    ASSERT_TRUE(WaitFor([&] { return server_->MayEnd(); }, 10000)) << "hidden and with no client it may end";

    EXPECT_EQ(Result(QStringLiteral("ShowMainWindow")), true);
    CMainFrame* frame = MainFrameOf(*app_);
    EXPECT_TRUE(frame->isVisible());
    frame->showMinimized();
    EXPECT_EQ(Result(QStringLiteral("ShowMainWindow")), true);
    EXPECT_FALSE(frame->isMinimized()) << "a minimized window is not shown";
    NewClient();
    EXPECT_FALSE(WaitFor([&] { return server_->MayEnd(); }, 1000)) << "the window is the user's now";
}

}  // namespace
