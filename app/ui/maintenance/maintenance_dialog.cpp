#include "ui/maintenance/maintenance_dialog.h"

#include <QAbstractItemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/maintenance/alert_dialog.h"
#include "ui/maintenance/record_rows.h"

MaintenanceDialog::MaintenanceDialog(CVorlaPro5App& app, const QString& title, QWidget* parent)
    : QDialog(parent), app_(app), hold_(app) {
    setWindowTitle(title);
    prompts_ = MaintenancePrompts::Boxes(this);
    tips_ = ReadSetting(app_.Settings(), vorla::setting::kOtherTips) != 0;
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
    for (QPushButton* button : {save_, delete_, close_})
        layout->addWidget(button);
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
        // Said now: the user would otherwise take the edits for saved until the program ends.
        if (const QString failure = app_.SaveDirectoryOrReason(); !failure.isEmpty()) prompts_.stop(failure);
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

void MaintenanceDialog::StartCounter(QLabel* label, const QString& text, const QAbstractItemModel* model) {
    counter_ = new QTimer(this);
    connect(counter_, &QTimer::timeout, this, [label, text, model, shown = -1]() mutable {
        if (model->rowCount() == shown) return;
        shown = model->rowCount();
        label->setText(text.arg(shown));
    });
    counter_->start(250);
}

bool MaintenanceDialog::AskModify() {
    return prompts_.modifyOrAdd(QString::fromLatin1(AlertDialog::kSaveQuestion));
}

bool MaintenanceDialog::AfterSave(const void* saved, bool modified, RecordRows& rows,
                                  const std::string& refusal) {
    if (!saved) {
        prompts_.stop(vorla::FromWindows1252(refusal));
        return false;
    }
    SetModified();
    if (modified)
        rows.Resort();
    else
        rows.Reload();
    return true;
}

bool MaintenanceDialog::Storable(std::initializer_list<std::pair<QString, QString>> fields) {
    for (const auto& [field, text] : fields) {
        if (const QString character = vorla::FirstUnstorableCharacter(text); !character.isEmpty()) {
            prompts_.stop(vorla::UnstorableCharacterText(field, character));
            return false;
        }
    }
    return true;
}

bool MaintenanceDialog::ConfirmDelete(int count) {
    return prompts_.yesNo(
        QStringLiteral("Are you sure you want to delete the %1 selected item(s)?").arg(count));
}

void MaintenanceDialog::LayOutWithList(QWidget* entry, QLayout* listHead, QWidget* list, QWidget* counter) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(entry);
    layout->addLayout(listHead);
    layout->addWidget(list, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(counter, 1);
    bottom->addWidget(MakeButtons());
    layout->addLayout(bottom);
}
