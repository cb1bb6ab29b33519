#pragma once
// The "Import Brisko" dialog: choose a Brisko data file, translate it once, and close with
// "&Done" (records ready) or "&Cancel".

#include <QDialog>
#include <filesystem>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lomix {

class Translation;

class BriskoImportDialog : public QDialog {
public:
    BriskoImportDialog(Translation& translation, QWidget* parent);

private:
    void ChooseFile();
    void StartTranslation();
    void SetFileToImport(const QString& path);

    Translation& translation_;
    std::filesystem::path fileToImport_;
    QLineEdit* fileName_ = nullptr;
    QPushButton* start_ = nullptr;
    QLabel* servicesRead_ = nullptr;
    QLabel* subscribersRead_ = nullptr;
};

}  // namespace lomix
