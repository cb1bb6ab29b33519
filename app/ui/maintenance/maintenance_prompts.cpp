#include "ui/maintenance/maintenance_prompts.h"

#include <QMessageBox>
#include <QPointer>

#include "ui/maintenance/alert_dialog.h"

MaintenancePrompts MaintenancePrompts::Boxes(QWidget* owner) {
    QPointer<QWidget> guard(owner);
    MaintenancePrompts prompts;
    prompts.modifyOrAdd = [guard](const QString& text) {
        AlertDialog alert(text, guard);
        return alert.exec() == QDialog::Accepted;
    };
    prompts.yesNo = [guard](const QString& text) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Vorla Pro"), text,
                        QMessageBox::Yes | QMessageBox::No, guard);
        return box.exec() == QMessageBox::Yes;
    };
    prompts.stop = [guard](const QString& text) {
        QMessageBox::critical(guard, QStringLiteral("Vorla Pro"), text);
    };
    return prompts;
}
