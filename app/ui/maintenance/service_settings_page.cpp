#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/maintenance/service_pages.h"

namespace {
constexpr const char* kBaudRates[] = {"300", "1200", "2400", "9600", "19200"};
}  // namespace

ServiceSettingsPage::ServiceSettingsPage(CVorlaPro5App& app, QWidget* parent) : QWidget(parent), app_(app) {
    name_ = new QLineEdit(this);
    access_ = new QLineEdit(this);
    password_ = new QLineEdit(this);
    for (QLineEdit* field : {name_, access_, password_})
        field->setMaxLength(255);
    QString prefix = vorla::FromWindows1252(ReadSetting(app_.Settings(), vorla::setting::kDialPrefix));
    prefix_ = new QCheckBox(
        QStringLiteral("Use dial prefi&x: %1").arg(prefix.replace(QLatin1Char('&'), QLatin1String("&&"))),
        this);
    baud_ = new QComboBox(this);
    for (const char* rate : kBaudRates)
        baud_->addItem(QString::fromLatin1(rate));

    auto* form = new QFormLayout(this);
    auto add = [&](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    add(QStringLiteral("Service &Name:"), name_);
    add(QStringLiteral("&Access Number:"), access_);
    form->addRow(QString(), prefix_);
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(password_, 1);
    passwordRow->addWidget(new QLabel(QStringLiteral("(optional)"), this));
    auto* passwordLabel = new QLabel(QStringLiteral("Pass&word:"), this);
    passwordLabel->setBuddy(password_);
    form->addRow(passwordLabel, passwordRow);
    add(QStringLiteral("Service &Baud Rate:"), baud_);

    for (QLineEdit* field : {name_, access_, password_})
        connect(field, &QLineEdit::textChanged, this, &ServiceSettingsPage::Changed);
    connect(prefix_, &QCheckBox::toggled, this, &ServiceSettingsPage::Changed);
    connect(baud_, &QComboBox::currentIndexChanged, this, &ServiceSettingsPage::Changed);
}

QList<QWidget*> ServiceSettingsPage::Controls() const {
    return {name_, access_, prefix_, password_, baud_};
}

void ServiceSettingsPage::SelectBaud(const QString& text) {
    const int found = baud_->findText(text);
    baud_->setCurrentIndex(found < 0 ? 0 : found);
}

void ServiceSettingsPage::ApplyDefaults() {
    name_->clear();
    access_->clear();
    password_->clear();
    prefix_->setChecked(ReadSetting(app_.Settings(), vorla::setting::kUsePrefix) != 0);
    SelectBaud(vorla::FromWindows1252(ReadSetting(app_.Settings(), vorla::setting::kBaud)));
}

void ServiceSettingsPage::Show(const CService& service) {
    name_->setText(vorla::FromWindows1252(service.GetName()));
    access_->setText(vorla::FromWindows1252(service.GetAccessNumber()));
    password_->setText(vorla::FromWindows1252(service.GetPassword()));
    prefix_->setChecked(service.GetUseDialPrefix() != 0);
    SelectBaud(QString::number(service.GetBaudRate()));
}

void ServiceSettingsPage::Read(ServiceFields& fields) const {
    fields.name = vorla::ToWindows1252(name_->text());
    fields.accessNumber = vorla::ToWindows1252(access_->text());
    fields.password = vorla::ToWindows1252(password_->text());
    fields.useDialPrefix = prefix_->isChecked() ? 1 : 0;
    fields.baudRate = baud_->currentText().toInt();
}

void ServiceSettingsPage::StoreDefaults() {
    WriteSetting(app_.Settings(), vorla::setting::kUsePrefix, prefix_->isChecked() ? 1 : 0);
    WriteSetting(app_.Settings(), vorla::setting::kBaud, vorla::ToWindows1252(baud_->currentText()));
}
