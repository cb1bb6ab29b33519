#include "ui/wizard/express_setup_runner.h"

#include <QTimer>

#include "archive/ob_list.h"
#include "directory/directory_store.h"
#include "directory/subscriber.h"
#include "engine/platform/telephony/telephony_api.h"
#include "settings/service_lists.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "telephony/device_settings.h"
#include "ui/app/command_ids.h"
#include "ui/app/ui_extensions.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/wizard/express_property_sheet.h"
#include "ui/wizard/wizard_prompts.h"

namespace {
vorla::ProfileFile LoadListFile(const vorla::ProgramDirectory& directory, std::string_view name) {
    auto path = directory.FindDataFile(name);
    return path ? vorla::ProfileFile::Load(*path) : vorla::ProfileFile::Parse("");
}

template <typename Record>
std::set<std::string> NamesOf(const CObList* list) {
    std::set<std::string> names;
    if (list)
        for (Serializable* item : *list)
            names.insert(static_cast<const Record*>(item)->GetName());
    return names;
}
}  // namespace

vorla::telephony::LineDeviceScan ScanInstalledLineDevices() {
    auto api = vorla::telephony::TelephonyApi::Load(vorla::telephony::DefaultProviderName());
    return vorla::telephony::ScanLineDevices(*api);
}

bool RunExpressSetupWizard(CVorlaPro5App& app, QWidget* parent, const WizardSeams& seams) {
    static MessageBoxPrompts messageBoxes;
    static const vorla::telephony::SystemDeviceSettings systemDeviceSettings;
    IWizardPrompts* prompts = seams.prompts ? seams.prompts : &messageBoxes;

    ExpressSetupData data;
    data.serviceNames = NamesOf<CService>(app.GetServiceList());
    data.subscriberNames = NamesOf<CSubscriber>(app.GetSubscriberList());

    ExpressSetupContext context;
    context.settings = &app.Settings();
    context.servicesFile = LoadListFile(app.ProgramDir(), vorla::kServicesFileName);
    context.modemFile = LoadListFile(app.ProgramDir(), vorla::kModemsFileName);
    context.prompts = prompts;
    context.scanLineDevices = seams.scanLineDevices ? seams.scanLineDevices : &ScanInstalledLineDevices;
    context.deviceSettings = seams.deviceSettings ? seams.deviceSettings : &systemDeviceSettings;
    context.directoryHasService = [&app] { return app.GetServiceList() && !app.GetServiceList()->IsEmpty(); };
    context.picture = app.Logo();

    CExpressPropertySheet sheet(std::move(context), data, parent);
    if (seams.onOpen) QTimer::singleShot(0, &sheet, [&sheet, &seams] { seams.onOpen(sheet); });
    if (sheet.exec() != QDialog::Accepted) return false;

    ApplyExpressSetup(app.Store(), data);
    WriteSetting(app.Settings(), vorla::setting::kSetup, 1);
    app.NotifyDirectoryChanged();
    // Saved after the recipient list was rebuilt, so its rows are in the file too.
    if (const QString failure = app.SaveDirectoryOrReason(); !failure.isEmpty())
        prompts->Stop(parent, failure);
    return true;
}

void RegisterUiWizardWith(UiExtensions& extensions, WizardSeams seams) {
    extensions.runSetupWizard = [seams](CVorlaPro5App& app, QWidget* parent) {
        RunExpressSetupWizard(app, parent, seams);
    };
    extensions.commands[cmd::kSetupWizard] = [seams](CVorlaPro5App& app, QWidget* parent) {
        RunExpressSetupWizard(app, parent, seams);
    };
}

void RegisterUiWizard(UiExtensions& extensions) {
    RegisterUiWizardWith(extensions, {});
}
