#include "import_data_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "translator_catalog.h"
#include "translator_run.h"
#include "vorla_pro_app.h"

namespace vorla {

namespace {

void Refuse(QWidget* parent, const char* text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Vorla Pro"), QString::fromLatin1(text),
                  QMessageBox::Ok, parent);
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
  TranslatorRun run = RunTranslatorAndMerge(path, app_.Store(), this);
  switch (run.outcome) {
    case TranslatorRun::Outcome::CannotLoad:
      Refuse(this, kCannotLoadTranslatorText);
      break;
    case TranslatorRun::Outcome::Invalid:
      Refuse(this, kInvalidTranslatorText);
      break;
    case TranslatorRun::Outcome::Merged: {
      QApplication::setOverrideCursor(Qt::WaitCursor);
      app_.NotifyDirectoryChanged();
      app_.SaveDirectory();
      QApplication::restoreOverrideCursor();
      break;
    }
    case TranslatorRun::Outcome::NotReadable:
    case TranslatorRun::Outcome::Cancelled:
      break;
  }
  accept();
}

void RunImportData(CVorlaPro5App& app, QWidget* parent) {
  ImportDataDialog dialog(app, parent);
  dialog.exec();
}

}  // namespace vorla
