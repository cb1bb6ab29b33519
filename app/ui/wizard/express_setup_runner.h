#pragma once
// Runs the express setup wizard for the application and, after Finish, puts the new service
// and subscribers into the directory, saves it and has the recipient list rebuilt.
// RegisterUiWizard (ui_extensions.h) wires this into start-up and the "Setup Wizard" command.

#include <functional>

#include "telephony/line_devices.h"

class CExpressPropertySheet;
class CVorlaPro5App;
class IWizardPrompts;
class QWidget;
struct UiExtensions;
namespace vorla::telephony {
class IDeviceSettings;
}

// What a test replaces; every null member takes the program's own.
struct WizardSeams {
    IWizardPrompts* prompts = nullptr;                                  // message boxes
    std::function<vorla::telephony::LineDeviceScan()> scanLineDevices;  // the installed provider
    const vorla::telephony::IDeviceSettings* deviceSettings = nullptr;  // the system's (none on Linux)
    // Called once the sheet is open and modal, to drive it.
    std::function<void(CExpressPropertySheet&)> onOpen;
};

// The line devices of the provider named by DefaultProviderName().
vorla::telephony::LineDeviceScan ScanInstalledLineDevices();

// True when the wizard ended with Finish.
bool RunExpressSetupWizard(CVorlaPro5App& app, QWidget* parent, const WizardSeams& seams = {});

void RegisterUiWizardWith(UiExtensions& extensions, WizardSeams seams);
