// Joins Subscriber, Group, Message and Service Maintenance and the preset message chooser to
// the program's commands.

#include <QPlainTextEdit>

#include "text/windows1252.h"
#include "ui/app/command_ids.h"
#include "ui/app/ui_extensions.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/maintenance/group_dialog.h"
#include "ui/maintenance/message_dialog.h"
#include "ui/maintenance/preset_chooser.h"
#include "ui/maintenance/service_dialog.h"
#include "ui/maintenance/subscriber_dialog.h"
#include "ui/message_entry/vorla_pro_view.h"

void RegisterUiMaintenance(UiExtensions& extensions) {
    extensions.commands[cmd::kSubscribers] = [](CVorlaPro5App& app, QWidget* parent) {
        SubscriberDialog dialog(app, parent);
        dialog.exec();
    };
    extensions.commands[cmd::kGroups] = [](CVorlaPro5App& app, QWidget* parent) {
        GroupDialog dialog(app, parent);
        dialog.exec();
    };
    extensions.commands[cmd::kServices] = [](CVorlaPro5App& app, QWidget* parent) {
        ServiceDialog dialog(app, parent);
        dialog.exec();
    };
    extensions.commands[cmd::kPresetMessages] = [](CVorlaPro5App& app, QWidget* parent) {
        MessageDialog dialog(app, parent);
        dialog.exec();
    };
    extensions.commands[cmd::kInsertMessage] = [](CVorlaPro5App& app, QWidget* parent) {
        CVorlaPro5View* view = app.GetMainView();
        if (!view) return;
        const DirectoryHold hold(app);  // the chooser's rows are the preset messages themselves
        PresetChooser chooser(app.GetPresetMessageList(), app.Settings(), parent);
        if (chooser.exec() != QDialog::Accepted || !chooser.Chosen()) return;
        view->MessageField()->textCursor().insertText(vorla::FromWindows1252(*chooser.Chosen()));
    };
}
