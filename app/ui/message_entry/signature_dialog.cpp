#include "ui/message_entry/signature_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include "text/windows1252.h"

#include "ui/message_entry/message_texts.h"

SignatureDialog::SignatureDialog(const QString& current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Signature"));
    field_ = new QLineEdit(current, this);
    field_->setMaxLength(kMaxSignatureLength);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(new QLabel(QStringLiteral("Please enter the text to use as your signature."), this));
    form->addRow(QStringLiteral("&Signature:"), field_);
    form->addRow(buttons);
    setMinimumWidth(360);
    refuse = [this](const QString& text) { QMessageBox::critical(this, QStringLiteral("Vorla Pro"), text); };
}

void SignatureDialog::accept() {
    if (const QString character = vorla::FirstUnstorableCharacter(field_->text()); !character.isEmpty()) {
        refuse(vorla::UnstorableCharacterText(QStringLiteral("signature"), character));
        field_->setFocus();
        return;
    }
    QDialog::accept();
}

QString SignatureDialog::Text() const {
    return field_->text();
}
