#include "translator/brisko_import_dialog.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "translator/lomix_records.h"

namespace lomix {

namespace {

QLabel* BoldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font("MS Sans Serif");
    font.setPointSizeF(std::max(9.0, parent->font().pointSizeF()));
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel* Counter(const char* id, QWidget* parent) {
    auto* counter = new QLabel("0", parent);
    counter->setObjectName(id);
    return counter;
}

}  // namespace

BriskoImportDialog::BriskoImportDialog(Translation& translation, QWidget* parent)
    : QDialog(parent), translation_(translation) {
    setWindowTitle("Import Brisko");
    auto* prompt = new QLabel("Choose the Brisko file to import.", this);
    auto* choose = new QPushButton("Choose Import File...", this);
    choose->setObjectName("3000");
    fileName_ = new QLineEdit(this);
    fileName_->setObjectName("3001");
    start_ = new QPushButton("Start &Translation", this);
    start_->setObjectName("3002");
    start_->setEnabled(false);
    auto* done = new QPushButton("&Done", this);
    done->setObjectName("1");
    auto* cancel = new QPushButton("&Cancel", this);
    cancel->setObjectName("2");

    servicesRead_ = Counter("1003", this);
    subscribersRead_ = Counter("1005", this);
    auto* counts = new QGridLayout;
    counts->addWidget(BoldLabel("Services read:", this), 0, 0);
    counts->addWidget(servicesRead_, 0, 1);
    counts->addWidget(BoldLabel("Subscribers read:", this), 1, 0);
    counts->addWidget(subscribersRead_, 1, 1);
    counts->addWidget(BoldLabel("Groups read:", this), 2, 0);
    counts->addWidget(Counter("1004", this), 2, 1);
    counts->addWidget(BoldLabel("Messages read:", this), 3, 0);
    counts->addWidget(Counter("1006", this), 3, 1);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileName_, 1);
    fileRow->addWidget(choose);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addStretch(1);
    buttons->addWidget(done);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(fileRow);
    layout->addLayout(counts);
    layout->addLayout(buttons);

    connect(choose, &QPushButton::clicked, this, [this] { ChooseFile(); });
    connect(start_, &QPushButton::clicked, this, [this] { StartTranslation(); });
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // A typed name is the file to import as much as a chosen one: translating anything else
    // would read a file the user no longer sees.
    connect(fileName_, &QLineEdit::textChanged, this, [this](const QString& text) {
        start_->setEnabled(!text.isEmpty());
        fileToImport_ = text.toStdString();
    });

    if (std::optional<std::filesystem::path> file = DefaultDataFile())
        SetFileToImport(QString::fromStdString(file->string()));
}

void BriskoImportDialog::SetFileToImport(const QString& path) {
    fileName_->setText(path);
}

void BriskoImportDialog::ChooseFile() {
    QFileDialog dialog(this, QString(), QString(), "Brisko Files (*.pdb);;All Files (*)");
    dialog.setDefaultSuffix("pdb");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        SetFileToImport(dialog.selectedFiles().front());
}

void BriskoImportDialog::StartTranslation() {
    size_t services = translation_.ReadCompaniesFrom(fileToImport_, ModemSettingsOfThisUser());
    servicesRead_->setText(QString::number(services));
    size_t subscribers = translation_.ReadPeopleFrom(fileToImport_);
    subscribersRead_->setText(QString::number(subscribers));
    start_->setEnabled(false);
}

}  // namespace lomix
