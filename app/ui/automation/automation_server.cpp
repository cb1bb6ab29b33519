#include "ui/automation/automation_server.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QLoggingCategory>

#include "archive/ob_list.h"
#include "paging/page.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/app/app_frame.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/automation/document_adaptor.h"
#include "ui/automation/vorla_pro_doc.h"

Q_LOGGING_CATEGORY(lcAutomation, "vorlapro.automation")

namespace {
bool QueueHoldsOwnWork(const CObList* queue) {
    if (!queue) return false;
    for (const Serializable* item : *queue) {
        const auto* page = As<CPage>(item);
        if (page && (page->GetWhen() == kWhenNow || page->GetWhen() == kWhenAt)) return true;
    }
    return false;
}
}  // namespace

AutomationServer::AutomationServer(CVorlaPro5App& app, bool startedByClient, QObject* parent)
    : QObject(parent), app_(app), startedByClient_(startedByClient), document_(new CVorlaPro5Doc(app, this)) {
    busObject_ = new DocumentBusObject(this);
    auto* adaptor = new DocumentAdaptor(busObject_, document_);
    adaptor->OnCall([this](const QString& caller) { OnCall(caller); });
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, &AutomationServer::IdleEnd);
    if (startedByClient_) {
        // Hidden, the program's only windows are the dialogs a client opens; closing one must
        // not end it. Shown, its main window ends it again (ShowMainWindow).
        QApplication::setQuitOnLastWindowClosed(false);
        // Each of these may be what the program was waiting for.
        connect(&app_, &CVorlaPro5App::QueueChanged, this, &AutomationServer::ArmIdleEnd);
        connect(&app_, &CVorlaPro5App::SendingFinished, this, &AutomationServer::ArmIdleEnd);
    }
}

AutomationServer::~AutomationServer() = default;

bool AutomationServer::Publish() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCInfo(lcAutomation) << "No session bus: automation is off." << bus.lastError().message();
        return false;
    }
    if (!bus.registerObject(QString::fromLatin1(kAutomationObjectPath), busObject_,
                            QDBusConnection::ExportAdaptors)) {
        qCWarning(lcAutomation) << "Could not put the document on the session bus.";
        return false;
    }
    if (!bus.registerService(QString::fromLatin1(kAutomationServiceName))) {
        // Another Vorla Pro (another program directory) answers to the name.
        qCWarning(lcAutomation).noquote() << "The bus name" << kAutomationServiceName
                                          << "is taken; automation is off:" << bus.lastError().message();
        bus.unregisterObject(QString::fromLatin1(kAutomationObjectPath));
        return false;
    }
    clients_ = new QDBusServiceWatcher(this);
    clients_->setConnection(bus);
    clients_->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(clients_, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString& client) {
        clients_->removeWatchedService(client);
        ArmIdleEnd();
    });
    ArmIdleEnd();
    return true;
}

void AutomationServer::OnCall(const QString& caller) {
    if (clients_ && !caller.isEmpty() && !clients_->watchedServices().contains(caller)) {
        clients_->addWatchedService(caller);
        // Gone already between its call and now: it will not be reported any more.
        if (!QDBusConnection::sessionBus().interface()->isServiceRegistered(caller))
            clients_->removeWatchedService(caller);
    }
    ArmIdleEnd();
}

bool AutomationServer::MayEnd() const {
    const AppFrame* frame = app_.MainFrame();
    return startedByClient_ && frame && !frame->isVisible() &&
           (!clients_ || clients_->watchedServices().isEmpty()) && !QApplication::activeModalWidget() &&
           !document_->IsBusy() && !QueueHoldsOwnWork(app_.GetOutgoingList());
}

void AutomationServer::ArmIdleEnd() {
    if (!startedByClient_) return;
    const int seconds = ReadSetting(app_.Settings(), vorla::setting::kAutomationIdleSeconds);
    if (seconds <= 0) return;
    idle_.start(seconds * 1000);
}

void AutomationServer::IdleEnd() {
    if (!MayEnd()) return;
    qCInfo(lcAutomation) << "No client needs the program any more: ending.";
    document_->Quit();
}
