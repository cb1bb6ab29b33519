// Page 4: the connection. The four direct ports always; then the telephony line devices,
// when a telephony provider is installed.
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "engine/platform/telephony/line_error_names.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "telephony/device_settings.h"
#include "text/windows1252.h"
#include "ui/wizard/express_pages.h"
#include "ui/wizard/express_property_sheet.h"
#include "ui/wizard/wizard_prompts.h"

CExpressPropertyPage4::CExpressPropertyPage4(CExpressPropertySheet& sheet) : CExpressPropertyPage(sheet) {
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("Connections"));
    auto* label = new QLabel(QStringLiteral("&Available connections:"), this);
    label->setBuddy(list_);
    layout->addWidget(label);
    layout->addWidget(list_);
    connect(list_, &QListWidget::currentRowChanged, this, &QWizardPage::completeChanged);
}

void CExpressPropertyPage4::initializePage() {
    if (filled_) return;  // coming back with Next keeps the list and the choice
    filled_ = true;
    for (int port = 1; port <= 4; ++port) {
        connections_.push_back({port, {}});
        list_->addItem(QStringLiteral("Direct to COM%1:").arg(port));
    }
    ExpressSetupContext& context = sheet_.Context();
    if (context.scanLineDevices) {
        const vorla::telephony::LineDeviceScan scan = context.scanLineDevices();
        // No provider at all is not a failure: the machine simply has no telephony.
        if (scan.providerPresent && scan.initializeResult != 0)
            context.prompts->Stop(
                this, QString::fromStdString(vorla::telephony::LineErrorName(scan.initializeResult)));
        for (const auto& device : scan.devices) {
            connections_.push_back({0, device});
            list_->addItem(vorla::FromWindows1252(device.name));
        }
    }
    list_->setCurrentRow(0);
}

const CExpressPropertyPage4::Connection* CExpressPropertyPage4::Chosen() const {
    const int row = list_->currentRow();
    return row >= 0 && row < static_cast<int>(connections_.size()) ? &connections_[row] : nullptr;
}

bool CExpressPropertyPage4::isComplete() const {
    return Chosen() != nullptr;
}

int CExpressPropertyPage4::nextId() const {
    const Connection* chosen = Chosen();
    return chosen && chosen->port == 0 ? CExpressPropertySheet::kSubscriberPage
                                       : CExpressPropertySheet::kModemPage;
}

bool CExpressPropertyPage4::validatePage() {
    const Connection* chosen = Chosen();
    if (!chosen) return false;
    ServiceFields& setup = sheet_.Data().setup;
    // Baud rate, parity and handshake stay as the service page set them: the chosen services
    // list entry's, or 1200, e,7,1 and none without one. The terminal, not the connection,
    // decides them.
    setup.dialMode = 0;
    vorla::ISettingsStore& settings = *sheet_.Context().settings;
    const bool lineDevice = chosen->port == 0;
    sheet_.SetLineDeviceChosen(lineDevice);
    if (lineDevice) {
        setup.scriptFile = "vlptapi.rkl";
        setup.port = "TAPI Device";
        setup.permanentLineID = static_cast<int32_t>(chosen->device.permanentLineId);
        setup.modemName = chosen->device.name;
        if (const auto* deviceSettings = sheet_.Context().deviceSettings) {
            if (auto init =
                    vorla::telephony::ModemInitFromDeviceKey(*deviceSettings, chosen->device.registryKey))
                setup.modemInit = *init;
        }
        WriteSetting(settings, vorla::setting::kCurrentRKL, setup.scriptFile);
        WriteSetting(settings, vorla::setting::kIsTAPI, 1);
        WriteSetting(settings, vorla::setting::kModemPort, setup.port);
        WriteSetting(settings, vorla::setting::kPermanentLineID, setup.permanentLineID);
        WriteSetting(settings, vorla::setting::kModem, setup.modemName);
        WriteSetting(settings, vorla::setting::kModemInit, setup.modemInit);
    } else {
        setup.scriptFile = "vorlapro.rkl";
        setup.port = "COM" + std::to_string(chosen->port);
        setup.permanentLineID = 0;
        setup.modemName.clear();
        setup.modemInit.clear();
        WriteSetting(settings, vorla::setting::kCurrentRKL, setup.scriptFile);
        WriteSetting(settings, vorla::setting::kIsTAPI, 0);
        WriteSetting(settings, vorla::setting::kModemPort, setup.port);
        WriteSetting(settings, vorla::setting::kModem, "");
        WriteSetting(settings, vorla::setting::kModemInit, "");
    }
    return true;
}
