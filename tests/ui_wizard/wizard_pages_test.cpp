// The wizard's pages driven the way a user does: refusals, enabling rules, the dial preview,
// the connection and modem choices and the settings each Next writes.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "directory/subscriber.h"
#include "tests/ui_wizard/wizard_fixture.h"
#include "ui/common/pic_edit.h"
#include "ui/wizard/express_pages.h"

namespace {

using Sheet = CExpressPropertySheet;

TEST_F(WizardTest, ButtonsAndCaptionAreTheWizardsOwn) {
    Open();
    EXPECT_EQ(sheet_->windowTitle(), QStringLiteral("Vorla Pro Express Setup Wizard"));
    EXPECT_EQ(sheet_->buttonText(QWizard::NextButton), QStringLiteral("&Next"));
    EXPECT_EQ(sheet_->buttonText(QWizard::BackButton), QStringLiteral("&Back"));
    EXPECT_EQ(sheet_->buttonText(QWizard::FinishButton), QStringLiteral("&Finish"));
    EXPECT_EQ(sheet_->buttonText(QWizard::CancelButton), QStringLiteral("&Cancel"));
    EXPECT_FALSE(sheet_->button(QWizard::BackButton)->isVisible()) << "no Back on the welcome page";
    EXPECT_FALSE(sheet_->button(QWizard::HelpButton)->isVisible());
}

TEST_F(WizardTest, ServicePageNeedsNameAndNumberAndRefusesAServiceInTheDirectory) {
    data_.serviceNames = {"Acme"};
    Open();
    ASSERT_TRUE(Next());
    auto* page = static_cast<CExpressPropertyPage2*>(sheet_->currentPage());
    EXPECT_FALSE(page->isComplete());
    page->NameEdit()->setText(QStringLiteral("Acme"));
    EXPECT_FALSE(page->isComplete()) << "a name alone is not enough";
    QTest::keyClicks(page->NumberField(), QStringLiteral("2125550100"));
    EXPECT_EQ(page->NumberField()->text(), QStringLiteral("(212) 555-0100"));
    EXPECT_TRUE(page->isComplete());

    EXPECT_FALSE(Next());
    ASSERT_EQ(prompts_.stops.size(), 1);
    EXPECT_EQ(prompts_.stops[0],
              QStringLiteral(
                  "The service 'Acme' already exists in the directory.  Please add only unique services.  "
                  "NOTE: To modify this service, choose Services... from the Setup menu.  To add "
                  "Subscribers to this service, choose Subscribers... from the Setup menu."));
    EXPECT_EQ(sheet_->currentId(), Sheet::kServicePage);

    page->NameEdit()->setText(QStringLiteral("acme"));  // names compare case-sensitively
    ASSERT_TRUE(Next());
    EXPECT_EQ(data_.setup.name, "acme");
    EXPECT_EQ(data_.setup.accessNumber, "2125550100");
    EXPECT_EQ(data_.setup.baudRate, 1200) << "no services list entry: the defaults";
    EXPECT_EQ(data_.setup.parity, 1);
    EXPECT_EQ(data_.setup.handshake, 0);
}

// The security code must not go to a carrier in clear text: plain http is refused unless the
// carrier is on this machine.
TEST_F(WizardTest, AWctpServiceNeedsAUrlAndRefusesPlainHttpToAnotherHost) {
    Open();
    ASSERT_TRUE(Next());
    auto* page = static_cast<CExpressPropertyPage2*>(sheet_->currentPage());
    page->NameEdit()->setText(QStringLiteral("Carrier"));
    page->WctpBox()->setChecked(true);
    EXPECT_FALSE(page->isComplete()) << "no URL yet";
    page->UrlEdit()->setText(QStringLiteral("http://wctp.example.net/wctp"));
    ASSERT_TRUE(page->isComplete());
    EXPECT_FALSE(Next());
    EXPECT_EQ(prompts_.stops.size(), 1);
    EXPECT_EQ(sheet_->currentId(), Sheet::kServicePage);
}

TEST_F(WizardTest, TheServicesListRelabelsThePageAndOffersItsServices) {
    services_ =
        "[Services]\n1=Metro Page|212|5550100|2400|n,8,1|Hardware\n2=Skyline||7770000|9600\n"
        "[ServiceOptions]\nExpressDialogType=1\nExpressAccessText=Terminal number:\nExpressChooseText=*\n";
    Open();
    ASSERT_TRUE(Next());
    auto* page = static_cast<CExpressPropertyPage2*>(sheet_->currentPage());
    ASSERT_NE(page->NameCombo(), nullptr);
    EXPECT_FALSE(page->NameCombo()->isEditable());
    ASSERT_EQ(page->NameCombo()->count(), 2);
    EXPECT_FALSE(page->NumberField()->isEnabled());
    EXPECT_EQ(page->NumberField()->GetText(true), QStringLiteral("2125550100"));
    QStringList labels;
    for (auto* label : page->findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("Terminal number:")));
    EXPECT_TRUE(labels.contains(QStringLiteral("&Service Name")));

    // An empty field moves the later ones up: "7770000" is field 2 and "9600" field 3; the
    // field keeps the ten digits its mask has room for.
    page->NameCombo()->setCurrentIndex(1);
    EXPECT_EQ(page->NumberField()->GetText(true), QStringLiteral("7770000960"));
    page->NameCombo()->setCurrentIndex(0);
    ASSERT_TRUE(Next());
    EXPECT_EQ(data_.setup.name, "Metro Page");
    // The entry's line settings survive the connection page and reach the new service.
    ASSERT_TRUE(Next());
    ASSERT_TRUE(Next());
    ASSERT_EQ(sheet_->currentId(), Sheet::kModemPage);
    EXPECT_EQ(data_.setup.port, "COM1");
    EXPECT_EQ(data_.setup.baudRate, 2400);
    EXPECT_EQ(data_.setup.parity, 0);
    EXPECT_EQ(data_.setup.handshake, 1);
}

// A first start without a modem list and without telephony can still be finished.
TEST_F(WizardTest, AnEmptyModemListLetsTheModemPageGoOnWithoutAModem) {
    for (const char* modems : {"", "[Modems]\n"}) {
        modems_ = modems;
        settings_.WriteProfileString("Defaults", "ModemInit", "stale");
        Open();
        PassServicePage(QStringLiteral("Metro"), QStringLiteral("2125550100"));
        ASSERT_TRUE(Next());
        ASSERT_TRUE(Next());
        ASSERT_EQ(sheet_->currentId(), Sheet::kModemPage);
        EXPECT_TRUE(sheet_->currentPage()->isComplete());
        EXPECT_TRUE(sheet_->currentPage()
                        ->findChild<QLabel*>(QStringLiteral("NoModemList"))
                        ->isVisibleTo(sheet_->currentPage()));
        ASSERT_TRUE(Next());
        EXPECT_EQ(sheet_->currentId(), Sheet::kSubscriberPage);
        EXPECT_EQ(data_.setup.modemInit, "");
        EXPECT_EQ(settings_.GetProfileString("Defaults", "ModemInit", "?"), "");
    }
}

TEST_F(WizardTest, DialPreviewFollowsTheBoxesAndNextStoresThePrefixAndFlags) {
    settings_.WriteProfileString("Preferences", "DialPrefix", "9,");
    Open();
    PassServicePage(QStringLiteral("Metro"), QStringLiteral("2125550100"));
    auto* page = static_cast<CExpressPropertyPage3*>(sheet_->currentPage());
    ASSERT_EQ(sheet_->currentId(), Sheet::kDialingPage);
    EXPECT_TRUE(page->DialOneBox()->isChecked());
    EXPECT_TRUE(page->DialAreaBox()->isChecked());
    EXPECT_EQ(page->Preview()->text(), QStringLiteral("9, 1 (212) 555-0100"));
    page->DialOneBox()->click();
    EXPECT_EQ(page->Preview()->text(), QStringLiteral("9, (212) 555-0100"));
    page->DialAreaBox()->click();
    EXPECT_EQ(page->Preview()->text(), QStringLiteral("9, 555-0100"));
    page->PrefixEdit()->clear();
    EXPECT_EQ(page->Preview()->text(), QStringLiteral(" 555-0100"));
    QTest::keyClicks(page->PrefixEdit(), QStringLiteral("*70"));

    ASSERT_TRUE(Next());
    EXPECT_EQ(settings_.GetProfileString("Prefix", "1", "?"), "*70");
    EXPECT_EQ(settings_.GetProfileString("Preferences", "DialPrefix", "?"), "*70");
    EXPECT_EQ(settings_.GetProfileInt("Defaults", "UsePrefix", 0), 1);
    EXPECT_EQ(data_.setup.useDialPrefix, 1);
    EXPECT_FALSE(data_.dialOne);
    EXPECT_FALSE(data_.dialArea);
}

TEST_F(WizardTest, WithoutTelephonyTheConnectionsAreTheFourPortsAndNothingIsShown) {
    devices_.providerPresent = false;
    devices_.initializeResult = static_cast<int32_t>(0x80000049);
    Open();
    PassServicePage(QStringLiteral("Metro"), QStringLiteral("2125550100"));
    ASSERT_TRUE(Next());
    auto* page = static_cast<CExpressPropertyPage4*>(sheet_->currentPage());
    ASSERT_EQ(page->Connections()->count(), 4);
    EXPECT_EQ(page->Connections()->item(0)->text(), QStringLiteral("Direct to COM1:"));
    EXPECT_EQ(page->Connections()->item(3)->text(), QStringLiteral("Direct to COM4:"));
    EXPECT_EQ(page->Connections()->currentRow(), 0);
    EXPECT_TRUE(prompts_.stops.isEmpty());

    page->Connections()->setCurrentRow(2);
    ASSERT_TRUE(Next());
    EXPECT_EQ(sheet_->currentId(), Sheet::kModemPage);
    EXPECT_EQ(data_.setup.port, "COM3");
    EXPECT_EQ(data_.setup.scriptFile, "vorlapro.rkl");
    EXPECT_EQ(data_.setup.baudRate, 1200);
    EXPECT_EQ(data_.setup.parity, 1);
    EXPECT_EQ(data_.setup.permanentLineID, 0);
    EXPECT_EQ(settings_.GetProfileString("Defaults", "ModemPort", "?"), "COM3");
    EXPECT_EQ(settings_.GetProfileString("Defaults", "CurrentRKL", "?"), "vorlapro.rkl");
    EXPECT_EQ(settings_.GetProfileInt("Defaults", "IsTAPI", 9), 0);
    EXPECT_EQ(settings_.GetProfileString("Defaults", "Modem", "?"), "");
}

TEST_F(WizardTest, AFailingProviderIsNamedAndTheDirectPortsRemain) {
    devices_.providerPresent = true;
    devices_.initializeResult = static_cast<int32_t>(0x80000048);
    Open();
    PassServicePage(QStringLiteral("Metro"), QStringLiteral("2125550100"));
    ASSERT_TRUE(Next());
    EXPECT_EQ(prompts_.stops, QStringList{QStringLiteral("LINEERR_OPERATIONFAILED")});
    EXPECT_EQ(static_cast<CExpressPropertyPage4*>(sheet_->currentPage())->Connections()->count(), 4);
}

TEST_F(WizardTest, ALineDeviceSkipsTheModemPageBothWays) {
    devices_.providerPresent = true;
    devices_.devices = {{"Office Line", "", 0x1001}};
    Open();
    PassServicePage(QStringLiteral("Metro"), QStringLiteral("2125550100"));
    ASSERT_TRUE(Next());
    auto* page = static_cast<CExpressPropertyPage4*>(sheet_->currentPage());
    ASSERT_EQ(page->Connections()->count(), 5);
    page->Connections()->setCurrentRow(4);
    ASSERT_TRUE(Next());
    EXPECT_EQ(sheet_->currentId(), Sheet::kSubscriberPage);
    EXPECT_EQ(data_.setup.port, "TAPI Device");
    EXPECT_EQ(data_.setup.scriptFile, "vlptapi.rkl");
    EXPECT_EQ(data_.setup.permanentLineID, 0x1001);
    EXPECT_EQ(data_.setup.modemName, "Office Line");
    EXPECT_EQ(settings_.GetProfileInt("Defaults", "IsTAPI", 0), 1);
    EXPECT_EQ(settings_.GetProfileInt("Defaults", "PermanentLineID", 0), 0x1001);
    EXPECT_EQ(settings_.GetProfileString("Defaults", "Modem", "?"), "Office Line");

    sheet_->back();
    EXPECT_EQ(sheet_->currentId(), Sheet::kConnectionPage);
}

TEST_F(WizardTest, ModemRowsSortWithoutRegardToCaseAndNextStoresTheChoice) {
    Open();
    PassServicePage(QStringLiteral("Metro"), QStringLiteral("2125550100"));
    ASSERT_TRUE(Next());
    ASSERT_TRUE(Next());
    ASSERT_EQ(sheet_->currentId(), Sheet::kModemPage);
    auto* page = static_cast<CExpressPropertyPage5*>(sheet_->currentPage());
    QTreeWidget* list = page->Modems();
    ASSERT_EQ(list->topLevelItemCount(), 4);
    QStringList makers;
    for (int i = 0; i < 4; ++i)
        makers << list->topLevelItem(i)->text(0).toLower();
    EXPECT_EQ(makers, (QStringList{"acme", "acme", "generic", "zoom"}));
    EXPECT_FALSE(page->isComplete()) << "Next waits for a row";
    EXPECT_FALSE(Next());

    list->sortByColumn(1, Qt::AscendingOrder);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("Factory Default"));
    EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("Fast"));
    list->setCurrentItem(list->topLevelItem(3));  // by model: "Slow" comes last
    EXPECT_TRUE(page->isComplete());
    ASSERT_TRUE(Next());
    EXPECT_EQ(data_.setup.modemName, "acme - Slow");
    EXPECT_EQ(data_.setup.modemInit, "ATS1");
    EXPECT_EQ(settings_.GetProfileString("Defaults", "Modem", "?"), "acme - Slow");
    EXPECT_EQ(settings_.GetProfileString("Defaults", "ModemInit", "?"), "ATS1");
}

class SubscriberPageTest : public WizardTest {
protected:
    CExpressPropertyPage6& OpenOnSubscribers() {
        data_.subscriberNames = {"Ann"};
        Open();
        sheet_->setStartId(Sheet::kSubscriberPage);
        sheet_->restart();
        return *static_cast<CExpressPropertyPage6*>(sheet_->currentPage());
    }
    static QStringList Rows(const CExpressPropertyPage6& page) {
        QStringList rows;
        for (int i = 0; i < page.Subscribers()->count(); ++i)
            rows << page.Subscribers()->item(i)->text();
        return rows;
    }
};

TEST_F(SubscriberPageTest, AddRefusesDirectoryNamesButTakesRepeatedNewNames) {
    CExpressPropertyPage6& page = OpenOnSubscribers();
    EXPECT_FALSE(page.AddButton()->isEnabled());
    page.NameEdit()->setText(QStringLiteral("Ann"));
    EXPECT_FALSE(page.AddButton()->isEnabled()) << "Add needs a PIN too";
    page.PinEdit()->setText(QStringLiteral("555"));
    ASSERT_TRUE(page.AddButton()->isEnabled());
    page.AddButton()->click();
    EXPECT_EQ(prompts_.stops,
              QStringList{QStringLiteral("A Subscriber with the name 'Ann' already exists in the directory.  "
                                         "Please add only unique subscribers.")});
    EXPECT_TRUE(Rows(page).isEmpty());
    EXPECT_EQ(page.NameEdit()->text(), QStringLiteral("Ann")) << "a refusal keeps the typing";

    for (const char* pin : {"1", "2"}) {
        page.NameEdit()->setText(QStringLiteral("Bob"));
        page.PinEdit()->setText(QString::fromLatin1(pin));
        page.AddButton()->click();
        EXPECT_TRUE(page.NameEdit()->text().isEmpty());
        EXPECT_TRUE(page.PinEdit()->text().isEmpty());
    }
    EXPECT_EQ(Rows(page), (QStringList{"Bob", "Bob"}));
    ASSERT_EQ(data_.newSubscribers.size(), 2u);
    EXPECT_EQ(data_.newSubscribers[1]->GetPIN(), "2");
    EXPECT_EQ(data_.newSubscribers[1]->GetMaxLength(), "240");
    EXPECT_EQ(data_.newSubscribers[1]->GetService(), nullptr);
}

TEST_F(SubscriberPageTest, EnterAddsWhileBothFieldsHoldTextElseGoesOn) {
    CExpressPropertyPage6& page = OpenOnSubscribers();
    page.NameEdit()->setText(QStringLiteral("Cy"));
    page.PinEdit()->setText(QStringLiteral("77"));
    QTest::keyClick(page.PinEdit(), Qt::Key_Return);
    EXPECT_EQ(Rows(page), QStringList{"Cy"});
    EXPECT_EQ(sheet_->currentId(), Sheet::kSubscriberPage);
    QTest::keyClick(page.NameEdit(), Qt::Key_Return);
    EXPECT_EQ(sheet_->currentId(), Sheet::kCompletePage) << "empty fields: Enter is Next";
}

TEST_F(SubscriberPageTest, EditTakesOneBackAndDeleteDropsTheSelection) {
    CExpressPropertyPage6& page = OpenOnSubscribers();
    for (const char* name : {"A1", "B2", "C3", "D4"}) {
        page.NameEdit()->setText(QString::fromLatin1(name));
        page.PinEdit()->setText(QStringLiteral("9%1").arg(name));
        page.Add();
    }
    EXPECT_FALSE(page.EditButton()->isEnabled());
    EXPECT_FALSE(page.DeleteButton()->isEnabled());
    page.Subscribers()->item(1)->setSelected(true);
    page.Subscribers()->item(3)->setSelected(true);
    EXPECT_FALSE(page.EditButton()->isEnabled()) << "Edit takes exactly one";
    ASSERT_TRUE(page.DeleteButton()->isEnabled());
    page.DeleteButton()->click();
    EXPECT_EQ(Rows(page), (QStringList{"A1", "C3"}));

    page.Subscribers()->clearSelection();
    page.Subscribers()->item(1)->setSelected(true);
    ASSERT_TRUE(page.EditButton()->isEnabled());
    page.EditButton()->click();
    EXPECT_EQ(Rows(page), QStringList{"A1"});
    EXPECT_EQ(page.NameEdit()->text(), QStringLiteral("C3"));
    EXPECT_EQ(page.PinEdit()->text(), QStringLiteral("9C3"));
    ASSERT_EQ(data_.newSubscribers.size(), 1u);
    EXPECT_EQ(data_.newSubscribers[0]->GetName(), "A1");
}

TEST_F(WizardTest, CancelOnTheModemPageKeepsTheDefaultsOfTheEarlierPages) {
    Open();
    PassServicePage(QStringLiteral("Metro"), QStringLiteral("2125550100"));
    ASSERT_TRUE(Next());  // dialling
    ASSERT_TRUE(Next());  // connection: COM1
    ASSERT_EQ(sheet_->currentId(), Sheet::kModemPage);

    prompts_.answerYes = false;
    sheet_->reject();
    ASSERT_EQ(prompts_.questions.size(), 1);
    EXPECT_TRUE(prompts_.questions[0].startsWith(QStringLiteral("Vorla Pro Setup is not complete.")));
    EXPECT_TRUE(sheet_->isVisible()) << "No keeps the wizard open";

    prompts_.answerYes = true;
    sheet_->reject();
    EXPECT_FALSE(sheet_->isVisible());
    EXPECT_EQ(sheet_->result(), QDialog::Rejected);
    EXPECT_EQ(settings_.GetProfileInt("Defaults", "UsePrefix", 0), 1);
    EXPECT_EQ(settings_.GetProfileString("Defaults", "ModemPort", "?"), "COM1");
    EXPECT_EQ(settings_.GetProfileInt("Defaults", "IsTAPI", 9), 0);
    EXPECT_FALSE(settings_.Contains("Defaults", "Baud")) << "nothing beyond what the pages wrote";
}

TEST_F(WizardTest, CancelWithAServiceInTheDirectoryAsksNothing) {
    directoryHasService_ = true;
    Open();
    sheet_->reject();
    EXPECT_TRUE(prompts_.questions.isEmpty());
    EXPECT_FALSE(sheet_->isVisible());
}

}  // namespace
