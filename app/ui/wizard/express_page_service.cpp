// Page 2: the paging service. SERVICES.INI may relabel the page and offer its services in a
// list; picking one fills in its number and, on Next, its line settings.
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include <array>

#include "directory_rules.h"
#include "express_pages.h"
#include "express_property_sheet.h"
#include "pic_edit.h"
#include "service_lists.h"
#include "windows1252.h"
#include "wizard_prompts.h"

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
    return vorla::ReadServiceIniEntry(file, n,
                                      {&entry.name, &entry.areaCode, &entry.number, &entry.baud, &entry.parity,
                                       &entry.handshake});
}

// The services list is data from outside; a file with absurdly many entries is cut short.
constexpr int kMaxServiceEntries = 10000;
}  // namespace

CExpressPropertyPage2::CExpressPropertyPage2(CExpressPropertySheet& sheet) : CExpressPropertyPage(sheet) {
    const vorla::ProfileFile& file = sheet.Context().servicesFile;
    auto* layout = new QFormLayout(this);
    layout->addRow(Heading(OptionText(file, "ExpressDialogText",
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
    auto* nameLabel = new QLabel(OptionText(file, "ExpressChooseText", QStringLiteral("&Service Name")), this);
    nameLabel->setBuddy(nameControl);
    layout->addRow(nameLabel, nameControl);

    number_ = new vorla::CPicEdit(this);
    number_->setObjectName(QStringLiteral("AccessNumber"));
    number_->SetMaskType(1);
    number_->SetPromptCharacter(QLatin1Char('_'));
    auto* numberLabel =
        new QLabel(OptionText(file, "ExpressAccessText", QStringLiteral("Service Access &Phone Number:")), this);
    numberLabel->setBuddy(number_);
    layout->addRow(numberLabel, number_);

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

bool CExpressPropertyPage2::isComplete() const {
    return !ChosenName().isEmpty() && !number_->GetText(true).isEmpty();
}

bool CExpressPropertyPage2::validatePage() {
    ServiceEntry entry{"", "", "", "1200", "e,7,1", "None"};
    if (nameCombo_ && nameCombo_->currentIndex() >= 0)
        ReadEntry(sheet_.Context().servicesFile, nameCombo_->itemData(nameCombo_->currentIndex()).toInt(), entry);

    const std::string name = vorla::ToWindows1252(ChosenName());
    ExpressSetupData& data = sheet_.Data();
    if (data.serviceNames.count(name)) {
        sheet_.Context().prompts->Stop(this, vorla::FromWindows1252(DuplicateServiceText(name)));
        return false;
    }
    data.setup.name = name;
    data.setup.accessNumber = vorla::ToWindows1252(number_->GetText(true));
    ApplyLineSettingTexts(data.setup, entry.baud, entry.parity, entry.handshake);
    return true;
}
