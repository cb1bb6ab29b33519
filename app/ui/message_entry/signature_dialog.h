#pragma once
// The Signature dialog: the text the form appends as the user's signature.

#include <QDialog>

class QLineEdit;

class SignatureDialog : public QDialog {
    Q_OBJECT
public:
    explicit SignatureDialog(const QString& current, QWidget* parent = nullptr);
    QString Text() const;
    QLineEdit* Field() const { return field_; }

private:
    QLineEdit* field_ = nullptr;
};
