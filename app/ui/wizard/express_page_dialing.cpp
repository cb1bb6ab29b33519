// Page 3: how the access number is dialled, with a preview rebuilt on every change.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"
#include "ui/wizard/express_pages.h"
#include "ui/wizard/express_property_sheet.h"

CExpressPropertyPage3::CExpressPropertyPage3(CExpressPropertySheet& sheet) : CExpressPropertyPage(sheet) {
    auto* layout = new QVBoxLayout(this);
    auto* prefixRow = new QHBoxLayout;
    prefix_ = new QLineEdit(this);
    prefix_->setObjectName(QStringLiteral("Prefix"));
    auto* prefixLabel = new QLabel(QStringLiteral("&Prefix:"), this);
    prefixLabel->setBuddy(prefix_);
    prefixRow->addWidget(prefixLabel);
    prefixRow->addWidget(prefix_);
    layout->addLayout(prefixRow);

    dialOne_ = new QCheckBox(QStringLiteral("&Dial One"), this);
    dialArea_ = new QCheckBox(QStringLiteral("Dial &Area Code"), this);
    layout->addWidget(dialOne_);
    layout->addWidget(dialArea_);
    layout->addWidget(Heading(QStringLiteral("The phone number will be dialed as follows:")));
    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("DialPreview"));
    layout->addWidget(preview_);
    layout->addStretch(1);

    prefix_->setText(
        vorla::FromWindows1252(ReadSetting(*sheet.Context().settings, vorla::setting::kDialPrefix)));
    connect(prefix_, &QLineEdit::textChanged, this, &CExpressPropertyPage3::UpdatePreview);
    connect(dialOne_, &QCheckBox::toggled, this, &CExpressPropertyPage3::UpdatePreview);
    connect(dialArea_, &QCheckBox::toggled, this, &CExpressPropertyPage3::UpdatePreview);
}

void CExpressPropertyPage3::initializePage() {
    const ExpressSetupData& data = sheet_.Data();
    dialOne_->setChecked(data.dialOne);
    dialArea_->setChecked(data.dialArea);
    UpdatePreview();
}

void CExpressPropertyPage3::UpdatePreview() {
    preview_->setText(vorla::FromWindows1252(DialPreview(vorla::ToWindows1252(prefix_->text()),
                                                         sheet_.Data().setup.accessNumber,
                                                         dialOne_->isChecked(), dialArea_->isChecked())));
}

bool CExpressPropertyPage3::validatePage() {
    vorla::ISettingsStore& settings = *sheet_.Context().settings;
    const std::string prefix = vorla::ToWindows1252(prefix_->text());
    settings.WriteProfileString(vorla::setting::kPrefixSection, "1", prefix);
    WriteSetting(settings, vorla::setting::kDialPrefix, prefix);
    WriteSetting(settings, vorla::setting::kUsePrefix, 1);
    ExpressSetupData& data = sheet_.Data();
    data.setup.useDialPrefix = 1;
    data.dialOne = dialOne_->isChecked();
    data.dialArea = dialArea_->isChecked();
    return true;
}
