#include "ui/import/import_data_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/app/vorla_pro_app.h"
#include "ui/import/translator_catalog.h"
#include "ui/import/translator_run.h"

namespace vorla {

namespace {

void Refuse(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Vorla Pro"), text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace

ImportDataDialog::ImportDataDialog(CVorlaPro5App& app, QWidget* parent) : QDialog(parent), app_(app) {
    setWindowTitle("Import Data");
    auto* label = new QLabel("Choose Translator:", this);
    translators_ = new QComboBox(this);
    label->setBuddy(translators_);
    for (const TranslatorEntry& entry : ListTranslators(app.ProgramDir()))
        translators_->addItem(entry.description, entry.path);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* run = buttons->addButton("&Run Translator...", QDialogButtonBox::AcceptRole);
    buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
    run->setDefault(true);
    run->setEnabled(translators_->count() > 0);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { RunSelectedTranslator(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(translators_);
    layout->addWidget(buttons);
}

void ImportDataDialog::RunSelectedTranslator() {
    const QString path = translators_->currentData().toString();
    if (path.isEmpty()) return;
    // The translator's dialog is owned by this one; the wait cursor is for the merge and save.
    const TranslatorRun run = RunTranslatorAndMerge(path, app_.Store(), this);
    FinishTranslatorRun(app_, run, [this](const QString& text) { Refuse(this, text); });
    accept();
}

void FinishTranslatorRun(CVorlaPro5App& app, const TranslatorRun& run,
                         const std::function<void(const QString&)>& stop) {
    switch (run.outcome) {
        case TranslatorRun::Outcome::CannotLoad:
            stop(QString::fromLatin1(kCannotLoadTranslatorText));
            break;
        case TranslatorRun::Outcome::Invalid:
            stop(QString::fromLatin1(kInvalidTranslatorText));
            break;
        case TranslatorRun::Outcome::Merged: {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            app.NotifyDirectoryChanged();
            const QString failure = app.SaveDirectoryOrReason();
            QApplication::restoreOverrideCursor();
            if (!failure.isEmpty()) stop(failure);
            break;
        }
        case TranslatorRun::Outcome::NotReadable:
        case TranslatorRun::Outcome::Cancelled:
            break;
    }
}

void RunImportData(CVorlaPro5App& app, QWidget* parent) {
    ImportDataDialog dialog(app, parent);
    dialog.exec();
}

}  // namespace vorla
