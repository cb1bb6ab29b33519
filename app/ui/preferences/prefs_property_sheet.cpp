#include "ui/preferences/prefs_property_sheet.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/common/command_icon.h"

CPrefsPropertySheet::CPrefsPropertySheet(vorla::ISettingsStore& settings, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Preferences"));
    setObjectName(QStringLiteral("Preferences"));
    tabs_ = new QTabWidget(this);
    dialing_ = new CPrefsPropertyPage1(settings, tabs_);
    signature_ = new CPrefsPropertyPage2(settings, tabs_);
    toolBar_ = new CPrefsPropertyPage3(settings, tabs_);
    sending_ = new CPrefsPropertyPage4(settings, tabs_);
    pages_ = {dialing_, signature_, toolBar_, sending_};

    const QStyle* s = style();
    tabs_->setIconSize(QSize(16, 16));
    tabs_->addTab(dialing_, vorla::CommandIcon("call-start", QStyle::SP_DriveNetIcon, s),
                  QStringLiteral("Dialing"));
    tabs_->addTab(signature_, vorla::CommandIcon("document-edit", QStyle::SP_FileDialogContentsView, s),
                  QStringLiteral("Signature"));
    tabs_->addTab(toolBar_, vorla::CommandIcon("configure-toolbars", QStyle::SP_DesktopIcon, s),
                  QStringLiteral("Tool Bar"));
    tabs_->addTab(sending_, vorla::CommandIcon("mail-send", QStyle::SP_ArrowForward, s),
                  QStringLiteral("Sending"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);

    connect(tabs_, &QTabWidget::currentChanged, this, [this] { LoadShownPage(); });
    LoadShownPage();
    refuse = [this](const QString& text) { QMessageBox::critical(this, QStringLiteral("Vorla Pro"), text); };
}

void CPrefsPropertySheet::LoadShownPage() {
    if (auto* page = dynamic_cast<CPrefsPage*>(tabs_->currentWidget())) page->LoadOnce();
}

void CPrefsPropertySheet::ShowPage(PageIndex page) {
    tabs_->setCurrentIndex(page);
}

void CPrefsPropertySheet::accept() {
    for (CPrefsPage* page : pages_) {
        if (!page->Loaded()) continue;
        if (const QString refusal = page->Refusal(); !refusal.isEmpty()) {
            tabs_->setCurrentWidget(page);
            refuse(refusal);
            return;
        }
    }
    for (CPrefsPage* page : pages_)
        if (page->Loaded()) page->Apply();
    QDialog::accept();
}
