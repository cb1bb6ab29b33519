// The wizard inside the program's start-up: Finish puts the service and subscribers into the
// directory file and the recipient list; Cancel without a service ends the program.
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <fstream>

#include <gtest/gtest.h>

#include "archive/class_registry.h"
#include "archive/ob_list.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "directory/subscriber.h"
#include "paging/paging_classes.h"
#include "settings/memory_settings_store.h"
#include "tests/ui_wizard/wizard_fixture.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/common/pic_edit.h"
#include "ui/program/program_parts.h"
#include "ui/wizard/express_pages.h"
#include "ui/wizard/express_setup_runner.h"

namespace {

class WizardStartup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        std::ofstream(Path("MODEM.INI")) << kTestModems;
    }
    std::string Path(const char* name) const { return home_.path().toStdString() + "/" + name; }
    bool Start(std::function<void(CExpressPropertySheet&)> drive) {
        auto settings = std::make_unique<vorla::MemorySettingsStore>();
        settings_ = settings.get();
        auto directory = vorla::ProgramDirectory::Resolve({home_.path().toStdString(), std::nullopt, {}, {}});
        EXPECT_TRUE(directory.has_value());
        app_ = std::make_unique<CVorlaPro5App>(std::move(settings), *directory);
        WizardSeams seams;
        seams.prompts = &prompts_;
        seams.scanLineDevices = [] { return vorla::telephony::LineDeviceScan{}; };
        seams.onOpen = [this, drive](CExpressPropertySheet& sheet) {
            opened_ = true;
            drive(sheet);
        };
        RegisterProgramParts(app_->Extensions());
        RegisterUiWizardWith(app_->Extensions(), seams);
        return app_->InitApplicationObjects({}, false);
    }
    void TearDown() override { app_.reset(); }

    QTemporaryDir home_;
    RecordingPrompts prompts_;
    vorla::MemorySettingsStore* settings_ = nullptr;
    std::unique_ptr<CVorlaPro5App> app_;
    bool opened_ = false;
};

// Fills every page the way a newcomer would and presses Finish.
void FillAndFinish(CExpressPropertySheet& sheet) {
    sheet.next();
    auto* service = static_cast<CExpressPropertyPage2*>(sheet.currentPage());
    service->NameEdit()->setText(QStringLiteral("Metro"));
    service->NumberField()->SetText(QStringLiteral("2125550100"));
    sheet.next();  // dialling: both boxes stay on
    ASSERT_EQ(sheet.currentId(), CExpressPropertySheet::kDialingPage);
    sheet.next();  // connection: COM1
    ASSERT_EQ(sheet.currentId(), CExpressPropertySheet::kConnectionPage);
    sheet.next();
    ASSERT_EQ(sheet.currentId(), CExpressPropertySheet::kModemPage);
    auto* modem = static_cast<CExpressPropertyPage5*>(sheet.currentPage());
    modem->Modems()->setCurrentItem(modem->Modems()->topLevelItem(0));
    sheet.next();
    auto* subscribers = static_cast<CExpressPropertyPage6*>(sheet.currentPage());
    for (const char* pin : {"100", "200"}) {
        subscribers->NameEdit()->setText(QStringLiteral("Bob"));
        subscribers->PinEdit()->setText(QString::fromLatin1(pin));
        subscribers->Add();
    }
    sheet.next();
    ASSERT_EQ(sheet.currentId(), CExpressPropertySheet::kCompletePage);
    sheet.accept();
}

TEST_F(WizardStartup, FinishCreatesTheServiceAndSubscribersAndWritesTheDirectoryFile) {
    ASSERT_TRUE(Start(FillAndFinish)) << app_->StartupRefusal().toStdString();
    ASSERT_TRUE(opened_);
    EXPECT_TRUE(prompts_.stops.isEmpty()) << prompts_.stops.join('\n').toStdString();
    EXPECT_EQ(settings_->GetProfileInt("Preferences", "Setup", 0), 1);

    ASSERT_TRUE(QFile::exists(QString::fromStdString(Path("Vorla Pro.vlg"))));
    DirectoryStore reloaded;
    ASSERT_EQ(LoadDirectoryFile(Path("Vorla Pro.vlg"), MakeProgramClassRegistry(), reloaded),
              ArchiveError::None);
    ASSERT_EQ(reloaded.GetServiceList()->GetCount(), 1u);
    auto* service = static_cast<CService*>(reloaded.GetServiceList()->GetHead());
    EXPECT_EQ(service->GetName(), "Metro");
    EXPECT_EQ(service->GetAccessNumber(), "12125550100");
    EXPECT_EQ(service->GetPort(), "COM1");
    EXPECT_EQ(service->GetScriptFile(), "vorlapro.rkl");
    EXPECT_EQ(service->GetModemName(), "Acme - Fast");
    EXPECT_EQ(service->GetUseDialPrefix(), 1);
    ASSERT_EQ(reloaded.GetSubscriberList()->GetCount(), 2u);
    auto* second = static_cast<CSubscriber*>(reloaded.GetSubscriberList()->GetAt(1));
    EXPECT_EQ(second->GetName(), "Bob");
    EXPECT_EQ(second->GetPIN(), "200");
    EXPECT_EQ(second->GetService(), service);
    EXPECT_EQ(reloaded.GetDisplayList()->GetCount(), 2u) << "the recipient list was rebuilt before the save";
    EXPECT_EQ(app_->GetDisplayList()->GetCount(), 2u);
}

// A WCTP carrier: its URL must reach the record as typed, not cut into dialled digits, and the
// dialling, connection and modem pages are passed over.
TEST_F(WizardStartup, AWctpServiceKeepsItsUrlAndIsStoredAsServiceMaintenanceStoresIt) {
    ASSERT_TRUE(Start([](CExpressPropertySheet& sheet) {
        sheet.next();
        auto* service = static_cast<CExpressPropertyPage2*>(sheet.currentPage());
        service->NameEdit()->setText(QStringLiteral("Carrier"));
        service->WctpBox()->setChecked(true);
        service->UrlEdit()->setText(QStringLiteral("http://127.0.0.1:18044/wctp"));
        service->SecurityCodeEdit()->setText(QStringLiteral("s3cret"));
        service->SenderEdit()->setText(QStringLiteral("desk7"));
        sheet.next();
        ASSERT_EQ(sheet.currentId(), CExpressPropertySheet::kSubscriberPage);
        auto* subscribers = static_cast<CExpressPropertyPage6*>(sheet.currentPage());
        subscribers->NameEdit()->setText(QStringLiteral("Ann"));
        subscribers->PinEdit()->setText(QStringLiteral("1001"));
        subscribers->Add();
        sheet.next();
        sheet.accept();
    })) << app_->StartupRefusal().toStdString();
    EXPECT_TRUE(prompts_.stops.isEmpty()) << prompts_.stops.join('\n').toStdString();

    DirectoryStore reloaded;
    ASSERT_EQ(LoadDirectoryFile(Path("Vorla Pro.vlg"), MakeProgramClassRegistry(), reloaded),
              ArchiveError::None);
    ASSERT_EQ(reloaded.GetServiceList()->GetCount(), 1u);
    auto* service = static_cast<CService*>(reloaded.GetServiceList()->GetHead());
    EXPECT_EQ(service->GetAccessNumber(), "http://127.0.0.1:18044/wctp");
    EXPECT_EQ(service->GetScriptFile(), "WCTP (internet)");
    EXPECT_EQ(service->GetPassword(), "s3cret");
    EXPECT_EQ(service->GetModemInit(), "sender=desk7");
    EXPECT_EQ(service->GetUseDialPrefix(), 0) << "a dial prefix would be put before the URL";
    ASSERT_EQ(reloaded.GetSubscriberList()->GetCount(), 1u);
}

TEST_F(WizardStartup, CancelWithNoServiceEndsTheProgramAndWritesNoDirectory) {
    EXPECT_FALSE(Start([](CExpressPropertySheet& sheet) { sheet.reject(); }));
    ASSERT_TRUE(opened_);
    EXPECT_EQ(prompts_.questions.size(), 1);
    EXPECT_TRUE(app_->GetServiceList()->IsEmpty());
    app_->ExitInstance();
    std::ifstream file(Path("Vorla Pro.vlg"), std::ios::binary);
    if (file) {
        DirectoryStore reloaded;
        ASSERT_EQ(LoadDirectoryFile(Path("Vorla Pro.vlg"), MakeProgramClassRegistry(), reloaded),
                  ArchiveError::None);
        EXPECT_TRUE(reloaded.GetServiceList()->IsEmpty());
    }
}

TEST_F(WizardStartup, TheWizardDoesNotRunWhenTheDirectoryHasAService) {
    ASSERT_TRUE(Start(FillAndFinish));
    app_.reset();
    opened_ = false;
    EXPECT_TRUE(Start([](CExpressPropertySheet& sheet) { sheet.reject(); }));
    EXPECT_FALSE(opened_);
    EXPECT_EQ(app_->GetServiceList()->GetCount(), 1u);
}

}  // namespace
