#pragma once
// File > Import: the "Import Data" dialog. Lists the translators of the import folder by
// their file description, runs the chosen one and merges what it prepared into the directory.

#include <QDialog>

#include <functional>

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

struct TranslatorRun;

// What follows a translator run: its refusal said, or what it merged shown in every window and
// saved, a failed save said at once. `stop` shows a text with the stop icon.
void FinishTranslatorRun(CVorlaPro5App& app, const TranslatorRun& run,
                         const std::function<void(const QString&)>& stop);

// Opens the dialog modally.
void RunImportData(CVorlaPro5App& app, QWidget* parent);

}  // namespace vorla
