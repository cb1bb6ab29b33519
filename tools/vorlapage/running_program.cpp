#include "running_program.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QSysInfo>
#include <QThread>

#include <iostream>

#include "local_time.h"
#include "paging_texts.h"
#include "windows1252.h"

namespace {

const QString kService = QStringLiteral("VorlaPro.Document");
const QString kPath = QStringLiteral("/VorlaPro/Document");
constexpr int kPollMilliseconds = 250;

enum Exit { kAllSent = 0, kPageFailed = 1, kBadArguments = 2 };

QDBusMessage Call(QDBusConnection& bus, const char* method, const QVariantList& arguments = {}) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QString::fromLatin1(method));
  call.setArguments(arguments);
  return bus.call(call, QDBus::Block, 60000);
}

// Between pages sent now: the program's form takes a new message only when its run is over.
// False when the wait was stopped or the program went away.
bool WaitWhileBusy(QDBusConnection& bus, const std::function<bool()>& stopRequested) {
  for (;;) {
    const QDBusMessage reply = Call(bus, "IsBusy");
    if (reply.type() != QDBusMessage::ReplyMessage) return false;
    if (!reply.arguments().value(0).toBool()) return true;
    if (stopRequested()) return false;
    QThread::msleep(kPollMilliseconds);
  }
}

void Complain(const std::string& text) { std::cerr << "vorlapage: " << text << std::endl; }

}  // namespace

HandOverOutcome HandToRunningProgram(const VorlapageOptions& options, qint64 holderPid, const QString& holderHost,
                                     const std::function<bool()>& stopRequested) {
  if (options.mode != VorlapageOptions::Mode::Queue) return {std::nullopt, "--send and --list need the directory itself"};
  if (options.spot) return {std::nullopt, "a spot page cannot be handed to the running program"};
  if (holderPid <= 0 || (!holderHost.isEmpty() && holderHost != QSysInfo::machineHostName()))
    return {std::nullopt, "the program holding it runs on another computer"};
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return {std::nullopt, "there is no session bus to reach it"};
  const QDBusReply<uint> owner = bus.interface()->servicePid(kService);
  if (!owner.isValid()) return {std::nullopt, "it does not answer on the session bus"};
  // The name may belong to a Vorla Pro of another program directory.
  if (static_cast<qint64>(owner.value()) != holderPid)
    return {std::nullopt, "the Vorla Pro on the session bus is process " + std::to_string(owner.value()) +
                              ", not the one holding the directory"};
  if (!options.ports.empty()) Complain("--port does not apply: the running program uses its own ports");

  const QString message = vorla::FromWindows1252(options.message);
  const bool now = options.choice == SendChoice::Now;
  int failedRuns = 0;
  for (const std::string& name : options.to) {
    if (now && !WaitWhileBusy(bus, stopRequested)) {
      Complain("stopped waiting for the running program; the pages handed to it so far stay with it");
      return {kPageFailed, {}};
    }
    const QString recipient = vorla::FromWindows1252(name);
    const QDBusMessage reply =
        options.choice == SendChoice::At
            ? Call(bus, "SchedulePage", {recipient, message, AutomationDateFromFileTime(*options.at)})
            : Call(bus, "SendPage", {recipient, message, options.choice == SendChoice::Later ? 1 : 0});
    if (reply.type() != QDBusMessage::ReplyMessage) {
      Complain("the running program refused the page for \"" + name + "\": " + reply.errorMessage().toStdString());
      return {kPageFailed, {}};
    }
    if (!reply.arguments().value(0).toBool()) {
      Complain("the running program has no subscriber or group \"" + name + "\" (or its message form is busy)");
      return {kBadArguments, {}};
    }
    std::cout << "Handed the page for \"" << name << "\" to the running Vorla Pro (process " << holderPid << ")."
              << std::endl;
    if (!now) continue;
    // Each name sent now is a run of its own: its outcome is the program's status line.
    if (!WaitWhileBusy(bus, stopRequested)) {
      Complain("stopped waiting; the running program goes on sending");
      return {kPageFailed, {}};
    }
    const std::string status = Call(bus, "Status").arguments().value(0).toString().toStdString();
    std::cout << status << std::endl;
    if (status != paging_texts::kMessageSent) ++failedRuns;
  }
  return {failedRuns > 0 ? kPageFailed : kAllSent, {}};
}
