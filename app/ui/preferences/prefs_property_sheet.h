#pragma once
// CPrefsPropertySheet: the modal "Preferences" sheet with its pages "Dialing", "Signature",
// "Tool Bar" and "Sending". A page reads its settings when it is first shown and writes them
// when the sheet closes with OK; a page never shown writes nothing. "RememberFailed" is
// written the moment its box is clicked, so a Cancel keeps that one change.

#include <QDialog>

#include <array>
#include <functional>

#include "ui/preferences/prefs_pages.h"

class QTabWidget;
namespace vorla {
class ISettingsStore;
}

class CPrefsPropertySheet : public QDialog {
    Q_OBJECT
public:
    enum PageIndex { kDialingPage = 0, kSignaturePage, kToolBarPage, kSendingPage };

    explicit CPrefsPropertySheet(vorla::ISettingsStore& settings, QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return tabs_; }
    CPrefsPropertyPage1* DialingPage() const { return dialing_; }
    CPrefsPropertyPage2* SignaturePage() const { return signature_; }
    CPrefsPropertyPage3* ToolBarPage() const { return toolBar_; }
    CPrefsPropertyPage4* SendingPage() const { return sending_; }
    // Shows a page (reading its settings the first time), as a click on its tab does.
    void ShowPage(PageIndex page);

    // OK: every page that was shown writes its settings, then the sheet closes; a page that
    // cannot be written as it stands is shown with its refusal instead, and nothing is written.
    void accept() override;
    // Shows a refusal (a box with the stop icon unless a test answers).
    std::function<void(const QString&)> refuse;

private:
    void LoadShownPage();

    QTabWidget* tabs_ = nullptr;
    CPrefsPropertyPage1* dialing_ = nullptr;
    CPrefsPropertyPage2* signature_ = nullptr;
    CPrefsPropertyPage3* toolBar_ = nullptr;
    CPrefsPropertyPage4* sending_ = nullptr;
    std::array<CPrefsPage*, 4> pages_{};
};
