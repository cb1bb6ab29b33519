// Page 2: the paging service. SERVICES.INI may relabel the page and offer its services in a
// list; picking one fills in its number and, on Next, its line settings.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <array>

#include "directory/directory_rules.h"
#include "paging/wctp/wctp_service.h"
#include "settings/service_lists.h"
#include "text/windows1252.h"
#include "ui/common/pic_edit.h"
#include "ui/wizard/express_pages.h"
#include "ui/wizard/express_property_sheet.h"
#include "ui/wizard/wizard_prompts.h"

namespace {
constexpr std::string_view kOptionsSection = "ServiceOptions";
enum DialogType { kTypedName = 0, kDropList = 1, kEditableDropDown = 2 };

// A label text from the services list file; "*" (the default) keeps the page's own text.
QString OptionText(const vorla::ProfileFile& file, std::string_view key, const QString& ownText) {
    const std::string text = file.GetString(kOptionsSection, key, "*");
    return text == "*" ? ownText : vorla::FromWindows1252(text);
}

struct ServiceEntry {
    std::string name, areaCode, number, baud, parity, handshake;
};

bool ReadEntry(const vorla::ProfileFile& file, int n, ServiceEntry& entry) {
    return vorla::ReadServiceIniEntry(
        file, n, {&entry.name, &entry.areaCode, &entry.number, &entry.baud, &entry.parity, &entry.handshake});
}

// The services list is data from outside; a file with absurdly many entries is cut short.
constexpr int kMaxServiceEntries = 10000;
}  // namespace

CExpressPropertyPage2::CExpressPropertyPage2(CExpressPropertySheet& sheet) : CExpressPropertyPage(sheet) {
    const vorla::ProfileFile& file = sheet.Context().servicesFile;
    auto* layout = new QFormLayout(this);
    layout->addRow(
        Heading(OptionText(file, "ExpressDialogText",
                           QStringLiteral("Enter the name of your paging service and the phone number "
                                          "of its paging terminal."))));

    const int type = file.GetInt(kOptionsSection, "ExpressDialogType", kTypedName);
    QWidget* nameControl = nullptr;
    if (type == kDropList || type == kEditableDropDown) {
        nameCombo_ = new QComboBox(this);
        nameCombo_->setObjectName(QStringLiteral("ServiceName"));
        nameCombo_->setEditable(type == kEditableDropDown);
        nameCombo_->setInsertPolicy(QComboBox::NoInsert);
        ServiceEntry entry;
        for (int n = 1; n <= kMaxServiceEntries; ++n) {
            entry = {};
            if (!ReadEntry(file, n, entry)) break;
            nameCombo_->addItem(vorla::FromWindows1252(entry.name), n);
        }
        nameControl = nameCombo_;
    } else {
        nameEdit_ = new QLineEdit(this);
        nameEdit_->setObjectName(QStringLiteral("ServiceName"));
        nameControl = nameEdit_;
    }
    auto* nameLabel =
        new QLabel(OptionText(file, "ExpressChooseText", QStringLiteral("&Service Name")), this);
    nameLabel->setBuddy(nameControl);
    layout->addRow(nameLabel, nameControl);

    number_ = new vorla::CPicEdit(this);
    number_->setObjectName(QStringLiteral("AccessNumber"));
    number_->SetMaskType(1);
    number_->SetPromptCharacter(QLatin1Char('_'));
    auto* numberLabel = new QLabel(
        OptionText(file, "ExpressAccessText", QStringLiteral("Service Access &Phone Number:")), this);
    numberLabel->setBuddy(number_);
    layout->addRow(numberLabel, number_);

    // A carrier reached over the internet has a URL, not a phone number: it gets a plain field
    // of its own, so the number's mask and the dialling rules never touch it.
    wctp_ = new QCheckBox(QStringLiteral("The carrier is reached over the &internet (WCTP)"), this);
    wctp_->setObjectName(QStringLiteral("Wctp"));
    layout->addRow(wctp_);
    url_ = new QLineEdit(this);
    url_->setObjectName(QStringLiteral("CarrierUrl"));
    url_->setPlaceholderText(QStringLiteral("https://wctp.example.net/wctp"));
    layout->addRow(QStringLiteral("Carrier &URL:"), url_);
    securityCode_ = new QLineEdit(this);
    securityCode_->setObjectName(QStringLiteral("SecurityCode"));
    securityCode_->setEchoMode(QLineEdit::Password);
    layout->addRow(QStringLiteral("Securit&y Code:"), securityCode_);
    sender_ = new QLineEdit(this);
    sender_->setObjectName(QStringLiteral("SenderId"));
    sender_->setPlaceholderText(QStringLiteral("vorlapro"));
    // The sender ID is one word of the options text, where blanks separate the options.
    sender_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\S*")), sender_));
    layout->addRow(QStringLiteral("Sende&r ID:"), sender_);
    connect(wctp_, &QCheckBox::toggled, this, [this] {
        ShowTransport();
        emit completeChanged();
    });
    connect(url_, &QLineEdit::textChanged, this, &QWizardPage::completeChanged);
    ShowTransport();

    if (nameCombo_) {
        // The number comes with the chosen service.
        number_->setEnabled(false);
        connect(nameCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
            TakeEntryNumber(index);
            emit completeChanged();
        });
        connect(nameCombo_, &QComboBox::editTextChanged, this, &QWizardPage::completeChanged);
        if (nameCombo_->count() > 0) {
            nameCombo_->setCurrentIndex(0);
            TakeEntryNumber(0);
        }
    } else {
        connect(nameEdit_, &QLineEdit::textChanged, this, &QWizardPage::completeChanged);
    }
    connect(number_, &QLineEdit::textChanged, this, &QWizardPage::completeChanged);
}

void CExpressPropertyPage2::TakeEntryNumber(int index) {
    if (!nameCombo_ || index < 0) return;
    ServiceEntry entry;
    if (!ReadEntry(sheet_.Context().servicesFile, nameCombo_->itemData(index).toInt(), entry)) return;
    number_->SetText(vorla::FromWindows1252(entry.areaCode + entry.number));
}

QString CExpressPropertyPage2::ChosenName() const {
    if (nameEdit_) return nameEdit_->text();
    if (nameCombo_->isEditable()) return nameCombo_->currentText();
    return nameCombo_->currentIndex() >= 0 ? nameCombo_->itemText(nameCombo_->currentIndex()) : QString();
}

void CExpressPropertyPage2::ShowTransport() {
    auto* form = static_cast<QFormLayout*>(layout());
    const bool wctp = wctp_->isChecked();
    form->setRowVisible(number_, !wctp);
    for (QWidget* field :
         {static_cast<QWidget*>(url_), static_cast<QWidget*>(securityCode_), static_cast<QWidget*>(sender_)})
        form->setRowVisible(field, wctp);
}

bool CExpressPropertyPage2::isComplete() const {
    if (ChosenName().isEmpty()) return false;
    return wctp_->isChecked() ? !url_->text().trimmed().isEmpty() : !number_->GetText(true).isEmpty();
}

int CExpressPropertyPage2::nextId() const {
    // Dialling, port and modem mean nothing to a WCTP carrier.
    return wctp_->isChecked() ? CExpressPropertySheet::kSubscriberPage : CExpressPropertySheet::kDialingPage;
}

bool CExpressPropertyPage2::validatePage() {
    ServiceEntry entry{"", "", "", "1200", "e,7,1", "None"};
    if (nameCombo_ && nameCombo_->currentIndex() >= 0)
        ReadEntry(sheet_.Context().servicesFile, nameCombo_->itemData(nameCombo_->currentIndex()).toInt(),
                  entry);

    const std::string name = vorla::ToWindows1252(ChosenName());
    ExpressSetupData& data = sheet_.Data();
    if (data.serviceNames.count(name)) {
        sheet_.Context().prompts->Stop(this, vorla::FromWindows1252(DuplicateServiceText(name)));
        return false;
    }
    ServiceFields& setup = data.setup;
    if (wctp_->isChecked()) {
        const std::string url = vorla::ToWindows1252(url_->text().trimmed());
        if (const std::string refusal = vorla::wctp::CheckUrl(url); !refusal.empty()) {
            sheet_.Context().prompts->Stop(this, vorla::FromWindows1252(refusal));
            return false;
        }
        // Stored as Service Maintenance stores a WCTP service; what the later pages would set
        // for a modem (after Back from them) is cleared, so none of it reaches the record.
        setup.name = name;
        setup.accessNumber = url;
        setup.password = vorla::ToWindows1252(securityCode_->text());
        setup.scriptFile = vorla::wctp::kScriptName;
        setup.modemInit =
            sender_->text().isEmpty() ? std::string() : "sender=" + vorla::ToWindows1252(sender_->text());
        // Port and modem mean nothing to the carrier; they get what Service Maintenance shows
        // for a service without them, so opening the service there finds nothing changed.
        setup.modemName = "Hayes Compatible";
        setup.port = "COM1";
        setup.permanentLineID = 0;
        setup.useDialPrefix = 0;
        setup.dialMode = 0;
        ApplyLineSettingTexts(setup, entry.baud, entry.parity, entry.handshake);
        return true;
    }
    setup.name = name;
    setup.accessNumber = vorla::ToWindows1252(number_->GetText(true));
    setup.password.clear();  // a security code typed before the WCTP box was cleared
    ApplyLineSettingTexts(setup, entry.baud, entry.parity, entry.handshake);
    return true;
}
