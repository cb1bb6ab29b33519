#include "ui/frame_commands/register_frame_commands.h"

#include <QProcess>

#include "ui/app/command_ids.h"
#include "ui/app/ui_extensions.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/frame_commands/about_box.h"
#include "ui/frame_commands/mail_directory.h"
#include "ui/frame_commands/tip_dialog.h"
#include "ui/frame_commands/user_guide.h"

namespace {
void ShowTip(CVorlaPro5App& app, QWidget* parent) {
    CTipDialog dialog(app.Settings(), app.ProgramDir(), parent);
    dialog.exec();
}
}  // namespace

// The guide and the tips live in this static library's resources, which the linker keeps only
// when something asks for them by name.
static void InitFrameCommandResources() {
    Q_INIT_RESOURCE(frame_commands);
}

void RegisterFrameCommands(UiExtensions& extensions) {
    InitFrameCommandResources();
    extensions.commands[cmd::kAbout] = [](CVorlaPro5App& app, QWidget* parent) { ShowAboutBox(app, parent); };
    extensions.commands[cmd::kTipOfTheDay] = &ShowTip;
    extensions.showStartupTip = [](CVorlaPro5App& app, QWidget* parent) {
        if (CTipDialog::ShownAtStartup(app.Settings())) ShowTip(app, parent);
    };
    extensions.commands[cmd::kHelpContents] = [](CVorlaPro5App&, QWidget* parent) { OpenUserGuide(parent); };
    extensions.commands[cmd::kUsingHelp] = [](CVorlaPro5App&, QWidget* parent) {
        OpenUserGuide(parent, QStringLiteral("using-help"));
    };
    const QString handler = MailHandler();
    if (!handler.isEmpty()) {
        extensions.commands[cmd::kSendMail] = [handler](CVorlaPro5App& app, QWidget*) {
            MailDirectory(app, handler, [](const QString& program, const QStringList& arguments) {
                return QProcess::startDetached(program, arguments);
            });
        };
    }
}
