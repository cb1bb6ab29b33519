#include "tools/vorlapage/running_program.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QSysInfo>
#include <QThread>

#include <iostream>

#include "paging/local_time.h"
#include "paging/paging_texts.h"
#include "text/windows1252.h"

namespace {

const QString kService = QStringLiteral("VorlaPro.Document");
const QString kPath = QStringLiteral("/VorlaPro/Document");
constexpr int kPollMilliseconds = 250;

enum Exit { kAllSent = 0, kPageFailed = 1, kBadArguments = 2 };

// Every call goes to the one unique name checked against the lock's holder: the well-known
// name could pass to another process between the check and a call.
QDBusMessage Call(QDBusConnection& bus, const QString& owner, const char* method,
                  const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(owner, kPath, kService, QString::fromLatin1(method));
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, 60000);
}

// Between pages sent now: the program's form takes a new message only when its run is over.
// False when the wait was stopped or the program went away.
bool WaitWhileBusy(QDBusConnection& bus, const QString& owner, const std::function<bool()>& stopRequested) {
    for (;;) {
        const QDBusMessage reply = Call(bus, owner, "IsBusy");
        if (reply.type() != QDBusMessage::ReplyMessage) return false;
        if (!reply.arguments().value(0).toBool()) return true;
        if (stopRequested()) return false;
        QThread::msleep(kPollMilliseconds);
    }
}

void Complain(const std::string& text) {
    std::cerr << "vorlapage: " << text << std::endl;
}

}  // namespace

HandOverOutcome HandToRunningProgram(const VorlapageOptions& options, qint64 holderPid,
                                     const QString& holderHost, const std::function<bool()>& stopRequested) {
    if (options.mode != VorlapageOptions::Mode::Queue)
        return {std::nullopt, "--send and --list need the directory itself"};
    if (options.spot) return {std::nullopt, "a spot page cannot be handed to the running program"};
    if (holderPid <= 0 || (!holderHost.isEmpty() && holderHost != QSysInfo::machineHostName()))
        return {std::nullopt, "the program holding it runs on another computer"};
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return {std::nullopt, "there is no session bus to reach it"};
    // Any process of this user may own the well-known name; only the holder of the lock gets the page.
    const QDBusReply<QString> ownerReply = bus.interface()->serviceOwner(kService);
    if (!ownerReply.isValid() || ownerReply.value().isEmpty())
        return {std::nullopt, "it does not answer on the session bus"};
    const QString owner = ownerReply.value();
    const QDBusReply<uint> ownerPid = bus.interface()->servicePid(owner);
    if (!ownerPid.isValid()) return {std::nullopt, "it does not answer on the session bus"};
    if (static_cast<qint64>(ownerPid.value()) != holderPid)
        return {std::nullopt, "the Vorla Pro on the session bus is process " +
                                  std::to_string(ownerPid.value()) + ", not the one holding the directory"};
    if (!options.ports.empty()) Complain("--port does not apply: the running program uses its own ports");

    QStringList names;
    for (const std::string& name : options.to)
        names << vorla::FromWindows1252(name);
    const int when = options.choice == SendChoice::Now ? 0 : options.choice == SendChoice::Later ? 1 : 2;
    const double at = options.at ? AutomationDateFromFileTime(*options.at) : 0.0;
    // The pages go to exactly these names: the program's form, its selection and spot pager are
    // the user's and are left alone.
    const QDBusMessage reply =
        Call(bus, owner, "QueuePages", {names, vorla::FromWindows1252(options.message), when, at});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        Complain("the running program did not take the page: " + reply.errorMessage().toStdString());
        const bool unknownName = reply.errorName() == QStringLiteral("VorlaPro.Document.Error.UnknownName");
        if (unknownName) Complain(kExactNamesHint);
        return {unknownName || reply.errorName() == QStringLiteral("VorlaPro.Document.Error.Text")
                    ? kBadArguments
                    : kPageFailed,
                {}};
    }
    const int queued = reply.arguments().value(0).toInt();
    if (queued == 0) {
        Complain("nobody to page: the named groups have no members");
        return {kBadArguments, {}};
    }
    std::cout << "Handed " << queued << " page(s) to the running Vorla Pro (process " << holderPid << ")."
              << std::endl;
    if (options.choice != SendChoice::Now) return {kAllSent, {}};
    // The program sends them in its run; its outcome is the program's status line.
    if (!WaitWhileBusy(bus, owner, stopRequested)) {
        Complain("stopped waiting; the running program goes on sending");
        return {kPageFailed, {}};
    }
    const std::string status = Call(bus, owner, "Status").arguments().value(0).toString().toStdString();
    std::cout << status << std::endl;
    return {status == paging_texts::kMessageSent ? kAllSent : kPageFailed, {}};
}
