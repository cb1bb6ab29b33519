#include "ui/message_entry/spot_page_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "archive/ob_list.h"
#include "directory/service.h"
#include "text/windows1252.h"
#include "ui/common/pic_edit.h"

SpotPageDialog::SpotPageDialog(const CObList* services, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Spot Page"));
    auto* pin = new vorla::CPicEdit(this);
    pin->SetMask(QString(32, QLatin1Char('N')));
    pin_ = pin;
    services_ = new QComboBox(this);
    if (services) {
        for (size_t i = 0; i < services->GetCount(); ++i) {
            if (auto* service = dynamic_cast<const CService*>(services->GetAt(i)))
                services_->addItem(vorla::FromWindows1252(service->GetName()), static_cast<int>(i));
        }
    }
    services_->model()->sort(0);
    services_->setCurrentIndex(services_->count() > 0 ? 0 : -1);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout(this);
    auto* prompt = new QLabel(
        QStringLiteral("To send a Spot Page to someone not in your subscriber directory, enter the "
                       "PIN and Service below:"),
        this);
    prompt->setWordWrap(true);
    form->addRow(prompt);
    form->addRow(QStringLiteral("&PIN:"), pin_);
    form->addRow(QStringLiteral("&Service:"), services_);
    form->addRow(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pin_, &QLineEdit::textChanged, this, &SpotPageDialog::UpdateOk);
    connect(services_, &QComboBox::currentIndexChanged, this, &SpotPageDialog::UpdateOk);
    UpdateOk();
}

void SpotPageDialog::UpdateOk() {
    // A page needs somewhere to go: a PIN and a service.
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(!Pin().isEmpty() && services_->currentIndex() >= 0);
}

QString SpotPageDialog::Pin() const {
    return static_cast<const vorla::CPicEdit*>(pin_)->GetText(true);
}
int SpotPageDialog::ServiceIndex() const {
    return services_->currentIndex() < 0 ? -1 : services_->currentData().toInt();
}
