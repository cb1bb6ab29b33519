#include "ui/wizard/wizard_prompts.h"

#include <QMessageBox>

void MessageBoxPrompts::Stop(QWidget* owner, const QString& text) {
    QMessageBox::critical(owner, QStringLiteral("Vorla Pro"), text);
}

bool MessageBoxPrompts::AskYesNo(QWidget* owner, const QString& text) {
    return QMessageBox::question(owner, QStringLiteral("Vorla Pro"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}
