#include "ui/wizard/express_property_sheet.h"

#include <QApplication>

#include <algorithm>

#include "ui/wizard/express_pages.h"
#include "ui/wizard/wizard_prompts.h"

const QString CExpressPropertySheet::kCaption = QStringLiteral("Vorla Pro Express Setup Wizard");

namespace {
const QString kCancelQuestion = QStringLiteral(
    "Vorla Pro Setup is not complete.  If you cancel Setup now the application wil exit.  You will need to "
    "Restart Vorla Pro and complete the Setup.\n\nDo you wish to Exit Vorla Pro and finish Setup later?");
}  // namespace

QFont ExpressHeadingFont(const QFont& base) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setWeight(QFont::Bold);
    font.setPointSize(std::max(base.pointSize(), 9));
    return font;
}

CExpressPropertySheet::CExpressPropertySheet(ExpressSetupContext context, ExpressSetupData& data,
                                             QWidget* parent)
    : QWizard(parent), context_(std::move(context)), data_(data) {
    setWindowTitle(kCaption);
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::HaveHelpButton, false);
    setOption(QWizard::NoBackButtonOnStartPage, true);
    setButtonText(QWizard::BackButton, QStringLiteral("&Back"));
    setButtonText(QWizard::NextButton, QStringLiteral("&Next"));
    setButtonText(QWizard::CancelButton, QStringLiteral("&Cancel"));
    setButtonText(QWizard::FinishButton, QStringLiteral("&Finish"));
    // Back right beside Next, as the buttons of a wizard-style property sheet sit.
    setButtonLayout({QWizard::Stretch, QWizard::BackButton, QWizard::NextButton, QWizard::FinishButton,
                     QWizard::CancelButton});

    setPage(kWelcomePage, new CExpressPropertyPage1(*this));
    setPage(kServicePage, new CExpressPropertyPage2(*this));
    setPage(kDialingPage, new CExpressPropertyPage3(*this));
    setPage(kConnectionPage, new CExpressPropertyPage4(*this));
    setPage(kModemPage, new CExpressPropertyPage5(*this));
    setPage(kSubscriberPage, new CExpressPropertyPage6(*this));
    setPage(kCompletePage, new CExpressPropertyPage7(*this));
    setStartId(kWelcomePage);
}

void CExpressPropertySheet::reject() {
    const bool hasService = context_.directoryHasService && context_.directoryHasService();
    if (!hasService && context_.prompts && !context_.prompts->AskYesNo(this, kCancelQuestion)) return;
    QWizard::reject();
}
