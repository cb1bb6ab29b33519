#pragma once
// The Signature dialog: the text the form appends as the user's signature.

#include <QDialog>

#include <functional>

class QLineEdit;

class SignatureDialog : public QDialog {
    Q_OBJECT
public:
    explicit SignatureDialog(const QString& current, QWidget* parent = nullptr);
    QString Text() const;
    QLineEdit* Field() const { return field_; }
    // OK keeps the dialog open, with a refusal, while the text holds a character the
    // settings cannot store.
    void accept() override;
    // Shows the refusal (a box with the stop icon unless a test answers).
    std::function<void(const QString&)> refuse;

private:
    QLineEdit* field_ = nullptr;
};
