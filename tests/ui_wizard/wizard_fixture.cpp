#include "tests/ui_wizard/wizard_fixture.h"

#include <QLineEdit>

#include "ui/common/pic_edit.h"
#include "ui/wizard/express_pages.h"

CExpressPropertySheet& WizardTest::Open() {
    ExpressSetupContext context;
    context.settings = &settings_;
    context.servicesFile = vorla::ProfileFile::Parse(services_);
    context.modemFile = vorla::ProfileFile::Parse(modems_);
    context.prompts = &prompts_;
    context.scanLineDevices = [this] { return devices_; };
    context.directoryHasService = [this] { return directoryHasService_; };
    sheet_ = std::make_unique<CExpressPropertySheet>(std::move(context), data_);
    sheet_->show();
    return *sheet_;
}

bool WizardTest::Next() {
    const int before = sheet_->currentId();
    sheet_->next();
    return sheet_->currentId() != before;
}

void WizardTest::PassServicePage(const QString& name, const QString& digits) {
    if (sheet_->currentId() == CExpressPropertySheet::kWelcomePage) {
        ASSERT_TRUE(Next());
    }
    auto* page = static_cast<CExpressPropertyPage2*>(sheet_->currentPage());
    ASSERT_NE(page->NameEdit(), nullptr);
    page->NameEdit()->setText(name);
    page->NumberField()->SetText(digits);
    ASSERT_TRUE(Next()) << prompts_.stops.join('\n').toStdString();
}
