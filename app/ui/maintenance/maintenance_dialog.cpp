#include "maintenance_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "alert_dialog.h"
#include "app/vorla_pro_app.h"
#include "settings_store.h"

MaintenanceDialog::MaintenanceDialog(CVorlaPro5App& app, const QString& title, QWidget* parent)
    : QDialog(parent), app_(app) {
    setWindowTitle(title);
    prompts_ = MaintenancePrompts::Boxes(this);
    tips_ = app_.Settings().GetProfileInt(vorla::kPreferencesSection, "OtherTips", 1) != 0;
    find_ = new QLineEdit(this);
}

QWidget* MaintenanceDialog::MakeButtons() {
    auto* box = new QWidget(this);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    save_ = new QPushButton(QStringLiteral("&Save"), box);
    delete_ = new QPushButton(QStringLiteral("D&elete"), box);
    close_ = new QPushButton(QStringLiteral("&Close"), box);
    save_->setDefault(true);
    save_->setEnabled(false);
    delete_->setEnabled(false);
    layout->addStretch(1);
    for (QPushButton* button : {save_, delete_, close_}) layout->addWidget(button);
    connect(save_, &QPushButton::clicked, this, [this] {
        if (save_->isEnabled()) Save();
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        if (delete_->isEnabled()) Delete();
    });
    connect(close_, &QPushButton::clicked, this, &MaintenanceDialog::CloseDialog);
    return box;
}

bool MaintenanceDialog::CloseDialog() {
    if (save_->isEnabled() &&
        prompts_.yesNo(QStringLiteral("Do you wish to save this item before closing the dialog box?")))
        return false;
    if (modified_) {
        if (FormShowsChanges()) app_.NotifyDirectoryChanged();
        app_.SaveDirectory();
    }
    StoreSettings();
    if (counter_) counter_->stop();
    done(QDialog::Accepted);
    return true;
}

QFont MaintenanceDialog::BoldFont() const {
    QFont bold = font();
    bold.setPointSize(std::max(9, bold.pointSize()));
    bold.setBold(true);
    return bold;
}

void MaintenanceDialog::SetTip(QWidget* control, const QString& tip) {
    if (tips_) control->setToolTip(tip);
}

void MaintenanceDialog::StartCounter(std::function<void()> tick) {
    counter_ = new QTimer(this);
    connect(counter_, &QTimer::timeout, this, std::move(tick));
    counter_->start(250);
}

bool MaintenanceDialog::AskModify() { return prompts_.modifyOrAdd(QString::fromLatin1(AlertDialog::kSaveQuestion)); }

bool MaintenanceDialog::ConfirmDelete(int count) {
    return prompts_.yesNo(QStringLiteral("Are you sure you want to delete the %1 selected item(s)?").arg(count));
}
