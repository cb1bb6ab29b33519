// Joins the outgoing window, the log window and the Schedule Message dialog to the program.

#include <QObject>

#include "paging/message_log.h"
#include "paging/paging_clock.h"
#include "ui/app/app_frame.h"
#include "ui/app/ui_extensions.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/windows/directory_print.h"
#include "ui/windows/log_list_view.h"
#include "ui/windows/log_window.h"
#include "ui/windows/outgoing_view.h"
#include "ui/windows/schedule_dialog.h"

namespace {

uint32_t SystemNow() {
    return SystemClock().Now();
}

WindowPrompts PromptsOf(CVorlaPro5App& app, QWidget* owner) {
    if (!app.ShowsMessages()) {
        // Started without message boxes: questions are declined, refusals go to the log.
        WindowPrompts quiet;
        quiet.okCancel = [](const QString&) { return false; };
        quiet.yesNoStop = quiet.okCancel;
        quiet.yesNo = quiet.okCancel;
        quiet.stop = [&app](const QString& text) { app.ShowStop(text); };
        quiet.information = quiet.stop;
        return quiet;
    }
    QPointer<QWidget> guard(owner);
    return WindowPrompts::MessageBoxes([guard, &app]() -> QWidget* {
        if (guard) return guard;
        return app.MainFrame();
    });
}

}  // namespace

void RegisterUiWindows(UiExtensions& extensions) {
    RegisterDirectoryPrinting(extensions);

    extensions.makeOutgoingView = [](CVorlaPro5App& app, QWidget* parent) -> QWidget* {
        auto* view = new COutgoingView32([&app] { return app.Queue(); }, app.Settings(),
                                         PromptsOf(app, parent), parent);
        app.SetOutgoingView(view);
        QObject::connect(&app, &CVorlaPro5App::QueueChanged, view, &COutgoingView32::OnQueueChanged);
        QObject::connect(&app, &CVorlaPro5App::StatusLineAdded, view, &COutgoingView32::SetStatusLabel);
        QObject::connect(view, &QObject::destroyed, &app, [&app, view] {
            if (app.GetOutgoingView() == view) app.SetOutgoingView(nullptr);
        });
        return view;
    };

    extensions.makeLogWindow = [](CVorlaPro5App& app) -> QWidget* {
        LogWindowContext context;
        context.settings = &app.Settings();
        context.logList = [&app] { return app.GetLogList(); };
        context.subscriberList = [&app] { return app.GetSubscriberList(); };
        context.queue = [&app] { return app.Queue(); };
        context.now = &SystemNow;
        context.recordsRemoved = [&app] {
            if (MessageLog* log = app.Log()) log->ForgetSavedRecords();
        };
        context.prompts = PromptsOf(app, app.MainFrame());
        context.registerView = [&app](QWidget* view) {
            if (view || app.GetLogView()) app.SetLogView(view);
        };
        auto* window = new CLogMDIChild(std::move(context));
        CLogListView* list = window->ListView();
        QObject::connect(&app, &CVorlaPro5App::LogRecordAdded, list, [list] { list->AddRow(); });
        QObject::connect(&app, &CVorlaPro5App::DirectoryChanged, list, &CLogListView::CheckList);
        QObject::connect(&app, &CVorlaPro5App::QueueChanged, list, &CLogListView::CheckList);
        QObject::connect(&app, &CVorlaPro5App::PreferencesApplied, window, &CLogMDIChild::ApplyToolTips);
        return window;
    };

    extensions.runScheduleDialog = [](CVorlaPro5App& app, QWidget* parent, unsigned& scheduleTime) -> bool {
        CScheduleDialog dialog(&SystemNow, PromptsOf(app, parent), parent);
        if (dialog.exec() != QDialog::Accepted || !dialog.ChosenMoment()) return false;
        scheduleTime = *dialog.ChosenMoment();
        return true;
    };
}
