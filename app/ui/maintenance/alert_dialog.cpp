#include "ui/maintenance/alert_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

AlertDialog::AlertDialog(const QString& text, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Alert"));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* modify = buttons->addButton(QStringLiteral("&Modify"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Add"), QDialogButtonBox::RejectRole);
    modify->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(label, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}
