#pragma once
// CExpressPropertySheet: the express setup wizard, seven pages on a QWizard. It collects one
// paging service, how it is dialled, its connection and modem, and the first subscribers into
// ExpressSetupData; nothing reaches the directory until the application applies the data
// after Finish (ApplyExpressSetup). The dialling, connection and modem pages write their
// settings when their Next is pressed, so those stay even when the wizard is cancelled.

#include <QImage>
#include <QWizard>

#include <functional>

#include "settings/profile_file.h"
#include "telephony/line_devices.h"
#include "ui/wizard/express_setup_rules.h"

class IWizardPrompts;
namespace vorla {
class ISettingsStore;
}
namespace vorla::telephony {
class IDeviceSettings;
}

// What the sheet reads and writes besides the setup data; all borrowed.
struct ExpressSetupContext {
    vorla::ISettingsStore* settings = nullptr;
    vorla::ProfileFile servicesFile = vorla::ProfileFile::Parse("");  // SERVICES.INI
    vorla::ProfileFile modemFile = vorla::ProfileFile::Parse("");     // MODEM.INI
    IWizardPrompts* prompts = nullptr;
    // The telephony line devices (called once, when the connection page first opens).
    std::function<vorla::telephony::LineDeviceScan()> scanLineDevices;
    const vorla::telephony::IDeviceSettings* deviceSettings = nullptr;
    // Whether the directory holds a service now: cancelling without one ends the program.
    std::function<bool()> directoryHasService;
    // Drawn on the welcome page; a plain drawing when null.
    QImage picture;
};

class CExpressPropertySheet : public QWizard {
    Q_OBJECT
public:
    enum PageId {
        kWelcomePage = 1,
        kServicePage,
        kDialingPage,
        kConnectionPage,
        kModemPage,
        kSubscriberPage,
        kCompletePage
    };

    CExpressPropertySheet(ExpressSetupContext context, ExpressSetupData& data, QWidget* parent = nullptr);

    ExpressSetupContext& Context() { return context_; }
    ExpressSetupData& Data() { return data_; }
    // Set by the connection page: a line device needs no modem type.
    bool LineDeviceChosen() const { return lineDeviceChosen_; }
    void SetLineDeviceChosen(bool chosen) { lineDeviceChosen_ = chosen; }

    // Cancel, Escape and closing the window: without a service in the directory the user is
    // asked first, because the program ends after a cancel then.
    void reject() override;

    static const QString kCaption;

private:
    ExpressSetupContext context_;
    ExpressSetupData& data_;
    bool lineDeviceChosen_ = false;
};

// The heading font of every page: bold, the system size, at least 9 points.
QFont ExpressHeadingFont(const QFont& base);
