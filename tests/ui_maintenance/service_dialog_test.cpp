// Service Maintenance driven as a user drives it, over a started application with the shipped
// modem list and a scripts folder: which items a service brings up, what Save and Delete do
// to the directory, what Close keeps, a telephony line device, and a port mapped in the Ports
// dialog carrying a page to the simulated terminal.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include "archive/ob_list.h"
#include "directory/directory_edits.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "engine/platform/telephony/telephony_api.h"
#include "settings/settings_store.h"
#include "telephony/device_settings.h"
#include "tests/child_process/qt_child_process.h"
#include "tests/qt_support/model_check.h"
#include "tests/ui/app_fixture.h"
#include "tests/ui_maintenance/answered_prompts.h"
#include "ui/maintenance/find_filter.h"
#include "ui/maintenance/record_views.h"
#include "ui/maintenance/service_dialog.h"
#include "ui/maintenance/service_model.h"
#include "ui/maintenance/service_ports_dialog.h"
#include "ui/message_entry/selection_list.h"
#include "ui/message_entry/vorla_pro_view.h"

namespace {

class ServiceMaintenance : public AppTest, protected AnsweredPrompts {
protected:
    void SetUp() override {
        AppTest::SetUp();
        const QDir home(QString::fromStdString(Folder()));
        home.mkdir(QStringLiteral("rklfiles"));
        for (const char* script : {"vorlapro.rkl", "vlptapi.rkl", "vorlatcp.rkl"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(VORLA_SOURCE_DIR "/rklfiles/") + QLatin1String(script),
                                    home.filePath(QStringLiteral("rklfiles/")) + QLatin1String(script)));
        QFile hidden(home.filePath(QStringLiteral("rklfiles/_draft.rkl")));
        ASSERT_TRUE(hidden.open(QIODevice::WriteOnly));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VORLA_SOURCE_DIR "/rklfiles/MODEM.INI"),
                                home.filePath(QStringLiteral("MODEM.INI"))));
        WriteTestDirectory(Folder());
        ASSERT_TRUE(Start());
    }

    CService* Service(const std::string& name) {
        for (Serializable* item : *app_->GetServiceList())
            if (auto* service = As<CService>(item); service && service->GetName() == name) return service;
        return nullptr;
    }
    CService* AddService(const std::string& name, const std::string& port = "COM2") {
        ServiceFields fields;
        fields.name = name;
        fields.accessNumber = "555";
        fields.port = port;
        fields.baudRate = 1200;
        fields.scriptFile = "vorlapro.rkl";
        return SaveService(app_->Store(), nullptr, fields);
    }
};

TEST_F(ServiceMaintenance, AServiceShowsTheItemsItNamesOrTheFallbacks) {
    struct Case {
        const char* script;
        const char* modem;
        const char* port;
        QString wantScript;
        QString wantModem;
        QString wantPort;
        bool scriptMissing;
        QString wantUnmapped;
    };
    const Case cases[] = {
        {"rklfiles\\VORLATCP.RKL",
         "Generic - Speaker Off",
         "COM3",
         "vorlatcp.rkl",
         "Generic - Speaker Off",
         "COM3",
         false,
         {}},
        {"gone.rkl",
         "Hayes Compatible",
         "COM2",
         "vorlapro.rkl",
         "Generic - Hayes Compatible",
         "COM2",
         true,
         {}},
        // A port the list does not offer stays the service's, marked, rather than becoming COM1.
        {"vorlapro.rkl", "No Such Modem", "COM9", "vorlapro.rkl", "Generic - Hayes Compatible", "COM9", false,
         "COM9"},
        // No telephony provider here: a line-device service falls back to the serial port.
        {"vlptapi.rkl",
         "Some Line",
         "TAPI Device",
         "vorlapro.rkl",
         "Generic - Hayes Compatible",
         "COM1",
         false,
         {}},
    };
    for (const Case& c : cases) {
        CService* service = AddService(c.script);
        service->SetScriptFile(c.script);
        service->SetModemName(c.modem);
        service->SetPort(c.port);
        ServiceDialog dialog(*app_, nullptr,
                             {[] { return vorla::telephony::LineDeviceScan{}; }, nullptr, {}});
        dialog.SelectServices({service});
        ServiceModemPage* page = dialog.ModemPage();
        EXPECT_EQ(page->ScriptChoice()->currentText(), c.wantScript) << c.script;
        EXPECT_EQ(page->ModemChoice()->currentText(), c.wantModem) << c.script;
        EXPECT_EQ(page->PortChoice()->currentData().toString(), c.wantPort) << c.script;
        EXPECT_EQ(!page->MissingScript().isEmpty(), c.scriptMissing) << c.script;
        EXPECT_EQ(page->UnmappedPort(), c.wantUnmapped) << c.script;
    }
}

TEST_F(ServiceMaintenance, ListsScriptsAndPortsAndSaveFollowsTheForm) {
    settings_->WriteProfileString("Ports", "COM2", FilePath("link2"));
    settings_->WriteProfileString("Ports", "COM6", "tcp://127.0.0.1:1");
    ServiceDialog dialog(*app_);
    CheckModel(dialog.Views()->Report()->model());
    Answer(dialog, true);
    ServiceModemPage* page = dialog.ModemPage();
    QStringList scripts;
    for (int i = 0; i < page->ScriptChoice()->count(); ++i)
        scripts << page->ScriptChoice()->itemText(i);
    EXPECT_EQ(scripts, (QStringList{"vlptapi.rkl", "vorlapro.rkl", "vorlatcp.rkl", "WCTP (internet)"}));
    // The WCTP transport takes the init field for its options, and a modem's string goes.
    const auto initLabel = [page] {
        for (QLabel* label : page->findChildren<QLabel*>())
            if (label->buddy() == page->InitField()) return label->text();
        return QString();
    };
    page->InitField()->setText(QStringLiteral("ATZ"));
    page->ScriptChoice()->setCurrentIndex(3);
    EXPECT_EQ(initLabel(), QStringLiteral("WCTP &Options:"));
    EXPECT_TRUE(page->InitField()->text().isEmpty());
    page->ScriptChoice()->setCurrentIndex(1);
    EXPECT_EQ(initLabel(), QStringLiteral("Modem &Init:"));
    QComboBox* ports = page->PortChoice();
    ASSERT_EQ(ports->count(), 6) << "COM1-COM4, the mapped COM6, then TAPI Device";
    EXPECT_EQ(ports->itemText(1), QStringLiteral("COM2 \u2014 ") + QString::fromStdString(FilePath("link2")) +
                                      QStringLiteral(" (missing)"));
    EXPECT_EQ(ports->itemText(4), QStringLiteral("COM6 \u2014 tcp://127.0.0.1:1"));
    EXPECT_EQ(ports->itemText(5), QStringLiteral("TAPI Device"));

    // The stored service shown unchanged offers no Save; any change does.
    dialog.SelectServices({Service("Acme")});
    EXPECT_FALSE(dialog.SaveButton()->isEnabled());
    ports->setCurrentIndex(1);
    ASSERT_TRUE(dialog.SaveButton()->isEnabled());
    dialog.SaveButton()->click();
    EXPECT_EQ(alerts, 1);
    EXPECT_EQ(Service("Acme")->GetPort(), "COM2") << "the port name is stored, never its device";
    EXPECT_EQ(dialog.Filter()->SelectedCount(), 0) << "Save resets the form";
    EXPECT_EQ(dialog.TotalLabel()->text(), QStringLiteral("Total Services: 1"));

    AddService("Slow")->SetBaudRate(300);
    dialog.Model()->Reload();
    dialog.Model()->Sort(kServiceBaud);
    EXPECT_EQ(dialog.Model()->ServiceAt(0)->GetName(), "Slow") << "baud rates sort as numbers";
}

TEST_F(ServiceMaintenance, SaveAddsAtTheHeadAndARefusedModifyKeepsTheRow) {
    CService* beta = AddService("Beta");
    ServiceDialog dialog(*app_);
    CheckModel(dialog.Views()->Report()->model());
    Answer(dialog, false);
    dialog.SettingsPage()->NameField()->setText(QStringLiteral("Gamma"));
    dialog.SettingsPage()->AccessField()->setText(QStringLiteral("5550199"));
    dialog.SaveButton()->click();
    EXPECT_EQ(alerts, 0) << "nothing selected: no question";
    ASSERT_NE(Service("Gamma"), nullptr);
    EXPECT_EQ(app_->GetServiceList()->GetAt(0), Service("Gamma"));
    EXPECT_EQ(Service("Gamma")->GetBaudRate(), 1200) << "the default baud rate";
    EXPECT_EQ(Service("Gamma")->GetModemName(), "Generic - Factory Default")
        << "the default modem, found by model";
    EXPECT_EQ(Service("Gamma")->GetModemInit(), "ATE0Q0V1X4")
        << "the default init goes with the default modem";

    Answer(dialog, true);
    dialog.SelectServices({beta});
    dialog.SettingsPage()->NameField()->setText(QStringLiteral("ACME"));
    dialog.SaveButton()->click();
    ASSERT_EQ(refusals.size(), 1);
    EXPECT_TRUE(refusals[0].startsWith(QStringLiteral("The service 'ACME' already exists")));
    EXPECT_EQ(beta->GetName(), "Beta");
    EXPECT_GE(dialog.Model()->RowOf(beta), 0) << "the row stays in the list";
    EXPECT_EQ(dialog.Model()->rowCount(), 3);
}

TEST_F(ServiceMaintenance, DeletingTwoServicesDeletesTheUnusedOneAndReportsTheOther) {
    CService* beta = AddService("Beta");
    Service("Acme")->SetName("Acm\xE9");  // the 8-bit name shows with its accent
    ServiceDialog dialog(*app_);
    CheckModel(dialog.Views()->Report()->model());
    Answer(dialog, true);
    dialog.SelectServices({Service("Acm\xE9"), beta});
    ASSERT_TRUE(dialog.DeleteButton()->isEnabled());
    dialog.DeleteButton()->click();
    EXPECT_EQ(questions, QStringList{"Are you sure you want to delete the 2 selected item(s)?"});
    EXPECT_EQ(Service("Beta"), nullptr);
    ASSERT_NE(Service("Acm\xE9"), nullptr);
    EXPECT_EQ(refusals,
              QStringList{QStringLiteral("The Service 'Acm\u00e9' cannot be deleted.  It contains 3 active "
                                         "Subscriber(s).  Please delete or change Subscriber(s) before "
                                         "deleting this Service.")});
    EXPECT_EQ(dialog.Model()->rowCount(), 1);
    EXPECT_TRUE(dialog.Modified());
}

TEST_F(ServiceMaintenance, CloseKeepsDefaultsAndStoresWidthsOnlyFromTheReport) {
    for (int viewType : {RecordViews::kIcons, RecordViews::kReport}) {
        settings_->WriteProfileInt("Settings-ServiceList", "ViewType", viewType);
        settings_->WriteProfileInt("Settings-ServiceList", "Column1", 61);
        {
            ServiceDialog dialog(*app_);
            dialog.Views()->Report()->setColumnWidth(0, 150);
            dialog.ModemPage()->ParityChoice()->setCurrentIndex(2);
            dialog.ModemPage()->ScriptChoice()->setCurrentIndex(
                dialog.ModemPage()->ScriptChoice()->findText("vorlatcp.rkl"));
            dialog.SettingsPage()->BaudChoice()->setCurrentIndex(4);
            EXPECT_TRUE(dialog.CloseDialog());
        }
        EXPECT_EQ(settings_->GetProfileInt("Settings-ServiceList", "Column1", 0),
                  viewType == RecordViews::kReport ? 150 : 61)
            << viewType;
        ServiceDialog reopened(*app_);
        EXPECT_EQ(reopened.ModemPage()->ParityChoice()->currentText(), QStringLiteral("o,7,1"));
        EXPECT_EQ(reopened.ModemPage()->ScriptChoice()->currentText(), QStringLiteral("vorlatcp.rkl"));
        EXPECT_EQ(reopened.SettingsPage()->BaudChoice()->currentText(), QStringLiteral("19200"));
    }
}

// The view-type button by the find field switches the list at once and the choice is stored
// then, not only at Close.
TEST_F(ServiceMaintenance, TheViewTypeButtonSwitchesTheListAndStoresTheChoice) {
    ServiceDialog dialog(*app_);
    EXPECT_NE(dialog.Views()->ViewButton()->parentWidget(), dialog.Views())
        << "by the find field, not over the list";
    EXPECT_TRUE(dialog.Views()->Report()->isVisibleTo(&dialog));
    for (QAction* action : dialog.Views()->ViewButton()->menu()->actions())
        if (action->data().toInt() == RecordViews::kSmallIcons) action->trigger();
    EXPECT_TRUE(dialog.Views()->Icons()->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.Views()->Report()->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.Views()->Icons()->viewMode(), QListView::ListMode);
    EXPECT_EQ(dialog.Views()->Icons()->flow(), QListView::LeftToRight);
    EXPECT_EQ(settings_->GetProfileInt("Settings-ServiceList", "ViewType", -1), RecordViews::kSmallIcons);
}

class SimDeviceSettings : public vorla::telephony::IDeviceSettings {
public:
    std::optional<std::map<std::string, std::string>> OpenSettingsKey(const std::string& key) const override {
        if (key != "Sim\\Modem\\0000") return std::nullopt;
        return std::map<std::string, std::string>{{"Blind_Off", "X4"}, {"Compression_Off", "%C0"}};
    }
};

TEST_F(ServiceMaintenance, ALineDeviceServiceStoresThePortTextAndTheLineId) {
    const SimDeviceSettings deviceSettings;
    ServiceSeams seams;
    seams.scanLineDevices = [] {
        auto api = vorla::telephony::TelephonyApi::Load(VORLA_SIM_PROVIDER);
        return vorla::telephony::ScanLineDevices(*api);
    };
    seams.deviceSettings = &deviceSettings;
    ServiceDialog dialog(*app_, nullptr, seams);
    Answer(dialog, false);
    ServiceModemPage* page = dialog.ModemPage();
    page->PortChoice()->setCurrentIndex(page->PortChoice()->count() - 1);
    ASSERT_TRUE(page->Telephony());
    ASSERT_EQ(page->ModemChoice()->count(), 2);
    EXPECT_EQ(page->ModemChoice()->currentText(), QStringLiteral("Sim Modem Line"));
    EXPECT_EQ(page->InitField()->text(), QStringLiteral("ATX4%C0"));
    EXPECT_EQ(page->ScriptChoice()->currentText(), QStringLiteral("vlptapi.rkl"));
    // A numbered port brings the modem list file and the serial script back.
    page->PortChoice()->setCurrentIndex(1);
    EXPECT_FALSE(page->Telephony());
    EXPECT_EQ(page->ModemChoice()->currentText(), QStringLiteral("Generic - Factory Default"));
    EXPECT_EQ(page->ScriptChoice()->currentText(), QStringLiteral("vorlapro.rkl"));

    page->PortChoice()->setCurrentIndex(page->PortChoice()->count() - 1);
    page->ModemChoice()->setCurrentIndex(1);
    EXPECT_EQ(page->InitField()->text(), QString()) << "a line without settings gives no init";
    page->InitField()->setText(QStringLiteral("ATM0"));
    dialog.SettingsPage()->NameField()->setText(QStringLiteral("Line"));
    dialog.SettingsPage()->AccessField()->setText(QStringLiteral("5550100"));
    dialog.SaveButton()->click();
    CService* saved = Service("Line");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->GetPort(), "TAPI Device");
    EXPECT_EQ(saved->GetPermanentLineID(), 7);
    EXPECT_EQ(saved->GetModemName(), "Second Line");
    EXPECT_EQ(saved->GetModemInit(), "ATM0");

    // Closed in telephony mode, the window opens on a machine without line devices on COM1
    // with the serial list and script, not an empty modem list.
    page->PortChoice()->setCurrentIndex(page->PortChoice()->count() - 1);
    ASSERT_TRUE(dialog.CloseDialog());
    EXPECT_EQ(settings_->GetProfileInt("Defaults", "IsTAPI", 0), 1);
    ServiceDialog without(*app_, nullptr, {[] { return vorla::telephony::LineDeviceScan{}; }, nullptr, {}});
    EXPECT_EQ(without.ModemPage()->PortChoice()->currentData().toString(), QStringLiteral("COM1"));
    EXPECT_EQ(without.ModemPage()->ModemChoice()->currentText(), QStringLiteral("Generic - Factory Default"));
    EXPECT_EQ(without.ModemPage()->ScriptChoice()->currentText(), QStringLiteral("vorlapro.rkl"));
}

// The Ports dialog takes the device away from the port a shown service uses: the service keeps
// its port by name (marked), it is not moved to whatever item now stands at the old place, and
// a numbered port above the four whose mapping was emptied earlier is not shown as COM1.
TEST_F(ServiceMaintenance, APortThatLeftTheListStaysTheServicesPort) {
    settings_->WriteProfileString("Ports", "COM5", "tcp://127.0.0.1:5");
    settings_->WriteProfileString("Ports", "COM6", "tcp://127.0.0.1:6");
    CService* six = AddService("Six", "COM6");
    six->SetModemName("Hayes Compatible");
    CService* five = AddService("Five", "COM5");
    ServiceDialog dialog(*app_);
    Answer(dialog, true);
    ServiceModemPage* page = dialog.ModemPage();
    dialog.SelectServices({six});
    ASSERT_EQ(page->PortChoice()->currentData().toString(), QStringLiteral("COM6"));
    ASSERT_FALSE(dialog.SaveButton()->isEnabled());
    QTimer::singleShot(0, [this] {
        auto* ports = qobject_cast<ServicePortsDialog*>(QApplication::activeModalWidget());
        if (!ports) return;
        settings_->WriteProfileString("Ports", "COM6", "");
        ports->accept();
    });
    page->PortsButton()->click();
    EXPECT_EQ(page->PortChoice()->currentData().toString(), QStringLiteral("COM6"));
    EXPECT_TRUE(page->PortChoice()->currentText().contains(QStringLiteral("unmapped")));
    EXPECT_EQ(page->UnmappedPort(), QStringLiteral("COM6"));
    EXPECT_FALSE(page->Telephony());
    EXPECT_FALSE(dialog.SaveButton()->isEnabled()) << "the form still shows the service as stored";

    settings_->WriteProfileString("Ports", "COM5", "");
    ServiceDialog reopened(*app_);
    reopened.SelectServices({five});
    EXPECT_EQ(reopened.ModemPage()->PortChoice()->currentData().toString(), QStringLiteral("COM5"));
    EXPECT_EQ(reopened.ModemPage()->UnmappedPort(), QStringLiteral("COM5"));
    reopened.SelectServices({});
    EXPECT_EQ(reopened.ModemPage()->UnmappedPort(), QString()) << "a new service starts without the warning";
}

// Two identical modems: the same line name, told apart by the permanent line id.
vorla::telephony::LineDeviceScan TwinModems() {
    vorla::telephony::LineDeviceScan scan;
    scan.providerPresent = true;
    scan.devices = {{"Twin Modem", "Twin\\0000", 3}, {"Twin Modem", "Twin\\0001", 9}};
    return scan;
}

TEST_F(ServiceMaintenance, IdenticalLineDevicesAreToldApartByTheirLineId) {
    CService* second = AddService("Second", "TAPI Device");
    second->SetModemName("Twin Modem");
    second->SetPermanentLineID(9);
    ServiceDialog dialog(*app_, nullptr, {&TwinModems, nullptr, {}});
    Answer(dialog, true);
    ServiceModemPage* page = dialog.ModemPage();
    dialog.SelectServices({second});
    ASSERT_TRUE(page->Telephony());
    EXPECT_EQ(page->ModemChoice()->currentIndex(), 1);
    EXPECT_FALSE(dialog.SaveButton()->isEnabled());
    page->ModemChoice()->setCurrentIndex(0);
    ASSERT_TRUE(dialog.SaveButton()->isEnabled()) << "the other modem of the same name is a change";
    dialog.SaveButton()->click();
    EXPECT_EQ(second->GetPermanentLineID(), 3);
    EXPECT_EQ(second->GetModemName(), "Twin Modem");
}

// The line devices are asked for once while the window is open, on a thread of their own: a
// provider that takes seconds must not hold the window at every selection.
TEST_F(ServiceMaintenance, LineDevicesAreScannedOnceAWindowAndOffItsThread) {
    CService* line = AddService("Line", "TAPI Device");
    line->SetModemName("Twin Modem");
    int scans = 0;
    bool offThread = true;
    ServiceSeams seams;
    seams.scanLineDevices = [&scans, &offThread] {
        ++scans;
        offThread = offThread && QThread::currentThread() != QCoreApplication::instance()->thread();
        return TwinModems();
    };
    ServiceDialog dialog(*app_, nullptr, seams);
    ServiceModemPage* page = dialog.ModemPage();
    for (int round = 0; round < 3; ++round) {
        dialog.SelectServices({line});
        dialog.SelectServices({Service("Acme")});
        page->PortChoice()->setCurrentIndex(page->PortChoice()->count() - 1);
        ASSERT_TRUE(page->Telephony());
        dialog.SelectServices({});
    }
    EXPECT_EQ(scans, 1);
    EXPECT_TRUE(offThread);
}

TEST_F(ServiceMaintenance, APortMappedInThePortsDialogCarriesThePage) {
    QProcess sim;
    vorla::testing::EndWithTest(sim);
    const QString link = QString::fromStdString(FilePath("com2"));
    sim.start(QStringLiteral(VORLA_BIN_DIR "/pagingsim"),
              {"--link", link, "--log", QString::fromStdString(FilePath("pages.jsonl")), "--ring-ms", "50",
               "--quiet"});
    ASSERT_TRUE(sim.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] { return sim.readAllStandardError().contains("ready"); }, 10000));

    {
        ServicePortsDialog ports(app_->Settings(), [] { return std::vector<SerialDevice>{}; });
        ASSERT_EQ(ports.PortCount(), 4);
        ports.DeviceChoice(1)->setEditText(link);
        EXPECT_FALSE(ports.StatusLabel(1)->text().startsWith(QStringLiteral("Missing")));
        ports.DeviceChoice(2)->setEditText(QStringLiteral("/dev/serial/by-id/not-there"));
        EXPECT_TRUE(ports.StatusLabel(2)->text().startsWith(QStringLiteral("Missing")));
        ports.DeviceChoice(2)->setEditText(QString());
        ports.AddButton()->click();
        EXPECT_EQ(ports.PortCount(), 5);
        ports.accept();
    }
    EXPECT_EQ(app_->Settings().GetProfileString("Ports", "COM2", ""), link.toStdString());
    EXPECT_EQ(app_->Settings().GetProfileString("Ports", "COM3", "unset"), "unset")
        << "untouched ports stay unwritten";

    CService* second = AddService("Second");
    second->SetModemInit("ATE0Q0V1X4");
    auto* dan = new CSubscriber("Dan", "2002", "80", second);
    second->AddSubscriber(dan);
    app_->GetSubscriberList()->AddTail(dan);
    app_->NotifyDirectoryChanged();

    CVorlaPro5View* view = View();
    ASSERT_NE(view, nullptr);
    QTest::keyClicks(view->MessageField(), QStringLiteral("Via COM2"));
    CSelectionListBox* list = view->SelectionList();
    int row = -1;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        if (list->model()->index(i, 0).data().toString() == QStringLiteral("Dan")) row = i;
    ASSERT_GE(row, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(60, list->visualRect(list->model()->index(row, 0)).center().y()));
    ASSERT_TRUE(view->SendButton()->isEnabled());
    QTest::mouseClick(view->SendButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return view->MessageField()->isEnabled(); }, 60000)) << "the run did not end";
    EXPECT_FALSE(app_->GetErrorFlag()) << view->StatusList()->currentText().toStdString();
    QFile log(QString::fromStdString(FilePath("pages.jsonl")));
    ASSERT_TRUE(WaitFor([&] { return log.exists() && log.size() > 0; }, 5000));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray pages = log.readAll();
    EXPECT_TRUE(pages.contains("\"pin\":\"2002\"")) << pages.toStdString();
    EXPECT_TRUE(pages.contains("Via COM2")) << pages.toStdString();
}

}  // namespace
