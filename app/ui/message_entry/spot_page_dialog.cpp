#include "message_entry/spot_page_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "ob_list.h"
#include "service.h"
#include "windows1252.h"

SpotPageDialog::SpotPageDialog(const CObList* services, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Spot Page"));
    pin_ = new QLineEdit(this);
    pin_->setMaxLength(255);
    services_ = new QComboBox(this);
    if (services) {
        for (size_t i = 0; i < services->GetCount(); ++i) {
            if (auto* service = dynamic_cast<const CService*>(services->GetAt(i)))
                services_->addItem(vorla::FromWindows1252(service->GetName()), static_cast<int>(i));
        }
    }
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&PIN:"), pin_);
    form->addRow(QStringLiteral("&Service:"), services_);
    form->addRow(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pin_, &QLineEdit::textChanged, this, &SpotPageDialog::UpdateOk);
    UpdateOk();
}

void SpotPageDialog::UpdateOk() {
    // A page needs somewhere to go: a PIN and a service.
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(!pin_->text().trimmed().isEmpty() && services_->count() > 0);
}

QString SpotPageDialog::Pin() const { return pin_->text().trimmed(); }
int SpotPageDialog::ServiceIndex() const { return services_->currentIndex() < 0 ? -1 : services_->currentData().toInt(); }
