#pragma once
// File > Import: the "Import Data" dialog. Lists the translators of the import folder by
// their file description, runs the chosen one and merges what it prepared into the directory.

#include <QDialog>

class CVorlaPro5App;
class QComboBox;

namespace vorla {

class ImportDataDialog : public QDialog {
 public:
  ImportDataDialog(CVorlaPro5App& app, QWidget* parent);

 private:
  void RunSelectedTranslator();

  CVorlaPro5App& app_;
  QComboBox* translators_ = nullptr;
};

// Opens the dialog modally.
void RunImportData(CVorlaPro5App& app, QWidget* parent);

}  // namespace vorla
