#include "ui/app/paging_glue.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPointer>

#include "archive/ob_list.h"
#include "paging/engine_host.h"
#include "paging/message_log.h"
#include "paging/outgoing_queue.h"
#include "paging/paging_clock.h"
#include "paging/paging_files.h"
#include "paging/port_map.h"
#include "paging/script_engine.h"
#include "paging/session_driver.h"
#include "paging/wctp/carrier_script_engine.h"
#include "text/windows1252.h"
#include "ui/app/app_frame.h"
#include "ui/app/vorla_pro_app.h"

Q_LOGGING_CATEGORY(lcEngine, "vorlapro.engine")

namespace {
void TraceToLog(const char* text) {
    qCDebug(lcEngine).noquote() << (text ? text : "");
}
constexpr uint32_t kComboAddString = 0x0143;
}  // namespace

AppPagingGlue::AppPagingGlue(CVorlaPro5App& app, bool writeQueueFile, bool writeLogWindowFile) : app_(app) {
    clock_ = std::make_unique<SystemClock>();
    ports_ = std::make_unique<PortMap>(&app_.Settings());
    engine_ = std::make_unique<Rkl32ScriptEngine>(&TraceToLog);
    carriers_ = std::make_unique<vorla::wctp::CarrierScriptEngine>(*engine_);
    queue_ = std::make_unique<OutgoingQueue>(
        *app_.GetOutgoingList(), app_.Settings(), *clock_,
        writeQueueFile ? app_.GetProgramDirectory() + std::string(kOutgoingFileName) : std::string());
    log_ = std::make_unique<MessageLog>(*app_.GetLogList(), app_.Settings(), app_.GetProgramDirectory());
    log_->SetWindowFileWritable(writeLogWindowFile);
    driver_ = std::make_unique<SessionDriver>(*queue_, *log_, *carriers_, app_.Settings(), *clock_,
                                              app_.ProgramDir());
    driver_->SetObserver(this);
    queue_->SetObserver(this);
    queue_->SetSendStarter([this] { app_.StartSending(); });

    EngineHostTargets targets = EngineHost::ForDriver(*driver_, ports_.get(), [] {
        // The engine waits inside a step; the window must keep painting and Cancel must work.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    });
    targets.alert = [this](RKL_WINDOW, const char* text, const char* caption) -> int32_t {
        // Ending, the alert answers as the box it would have been is dismissed: Cancel.
        if (app_.OrderlyEndRequested()) return RKL_IDCANCEL;
        if (!app_.ShowsMessages()) return RKL_IDOK;
        QMessageBox box(QMessageBox::Warning, vorla::FromWindows1252(caption ? caption : "RKL Alert"),
                        vorla::FromWindows1252(text ? text : ""), QMessageBox::Ok | QMessageBox::Cancel,
                        app_.MainFrame());
        box.setWindowModality(Qt::ApplicationModal);
        return box.exec() == QMessageBox::Ok ? RKL_IDOK : RKL_IDCANCEL;
    };
    targets.beep = [] { QApplication::beep(); };
    // LOG lines of scripts (1201 with no record) are not the program's log: dropped.
    targets.other = [this](RKL_WINDOW window, uint32_t msg, uintptr_t, intptr_t lParam) -> intptr_t {
        if (msg == kComboAddString && combo_ && window == combo_) {
            const char* text = reinterpret_cast<const char*>(lParam);
            combo_->addItem(vorla::FromWindows1252(text ? text : ""));
            return combo_->count() - 1;
        }
        return 0;
    };
    host_ = std::make_unique<EngineHost>(std::move(targets));

    idle_.setInterval(0);
    QObject::connect(&idle_, &QTimer::timeout, &app_, [this] { OnIdle(); });
}

AppPagingGlue::~AppPagingGlue() {
    idle_.stop();
    host_.reset();
    driver_.reset();
}

void* AppPagingGlue::ComboToken(QComboBox* combo) {
    combo_ = combo;
    return combo;
}

void AppPagingGlue::OnIdle() {
    const bool more = driver_->OnIdle();
    if (more) return;
    idle_.stop();
    // A run that found no page to send ends without its finishing step; the form must not
    // stay locked waiting for it.
    if (runActive_ && driver_->IsIdle()) OnSendingFinished();
}

void AppPagingGlue::OnSendingStarted() {
    runActive_ = true;
    app_.ClearStatusLines();
}

void AppPagingGlue::OnStatusLine(const std::string& text) {
    app_.SetStatusText(vorla::FromWindows1252(text));
}

void AppPagingGlue::OnLogRecord(const CLogObject& record) {
    emit app_.LogRecordAdded(&record);
}

void AppPagingGlue::OnSendingFinished() {
    runActive_ = false;
    emit app_.SendingFinished();
    emit app_.QueueChanged();
}

void AppPagingGlue::OnIdleWorkWanted() {
    if (!idle_.isActive()) idle_.start();
}

void AppPagingGlue::OnQueueSaveFailed(const std::string& text) {
    const QString shown = vorla::FromWindows1252(text);
    app_.SetStatusText(shown);
    qCWarning(lcEngine).noquote() << shown;
    if (!app_.ShowsMessages()) return;
    // Not modal: a box that waited for the user inside a driver step would hold the run.
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Vorla Pro"), shown, QMessageBox::Ok,
                                app_.MainFrame());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void AppPagingGlue::OnRowsChanged() {
    emit app_.QueueChanged();
}

bool AppPagingGlue::Confirm(std::string_view question) {
    if (!app_.ShowsMessages()) return false;
    return QMessageBox::critical(app_.MainFrame(), QStringLiteral("Vorla Pro"),
                                 vorla::FromWindows1252(question),
                                 QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void AppPagingGlue::ShowStop(std::string_view text) {
    app_.ShowStop(vorla::FromWindows1252(text));
}
