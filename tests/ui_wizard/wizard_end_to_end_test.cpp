// A first start on an empty directory: the wizard takes the shipped pagingsim service on COM1
// and a new subscriber; a page to that subscriber then reaches the simulated terminal.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "archive/ob_list.h"
#include "settings/memory_settings_store.h"
#include "tests/child_process/qt_child_process.h"
#include "tests/qt_support/qt_wait.h"
#include "tests/ui_wizard/wizard_fixture.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/main_window/main_frame.h"
#include "ui/message_entry/selection_list.h"
#include "ui/message_entry/vorla_pro_view.h"
#include "ui/program/program_parts.h"
#include "ui/wizard/express_pages.h"
#include "ui/wizard/express_setup_runner.h"

namespace {

class WizardEndToEnd : public ::testing::Test {
protected:
    void TearDown() override {
        app_.reset();
        if (sim_.state() != QProcess::NotRunning) {
            sim_.terminate();
            if (!sim_.waitForFinished(5000)) sim_.kill();
        }
    }
    QString File(const char* name) const { return home_.filePath(QString::fromLatin1(name)); }

    QTemporaryDir home_;
    QProcess sim_;
    RecordingPrompts prompts_;
    std::unique_ptr<CVorlaPro5App> app_;
};

TEST_F(WizardEndToEnd, APageToASubscriberMadeByTheWizardReachesTheTerminal) {
    const QString sources = QStringLiteral(VORLA_SOURCE_DIR "/rklfiles/");
    for (const char* name : {"vorlapro.rkl", "SERVICES.INI", "MODEM.INI"})
        if (!QFile::exists(sources + QString::fromLatin1(name)))
            GTEST_SKIP() << name << " is not in rklfiles";
    ASSERT_TRUE(home_.isValid());
    QDir(home_.path()).mkdir(QStringLiteral("rklfiles"));
    ASSERT_TRUE(QFile::copy(sources + "vorlapro.rkl", File("rklfiles/vorlapro.rkl")));
    ASSERT_TRUE(QFile::copy(sources + "SERVICES.INI", File("SERVICES.INI")));
    ASSERT_TRUE(QFile::copy(sources + "MODEM.INI", File("MODEM.INI")));

    vorla::testing::EndWithTest(sim_);
    sim_.setProgram(QStringLiteral(VORLA_BIN_DIR "/pagingsim"));
    sim_.setArguments({"--link", File("com1"), "--log", File("pages.jsonl"), "--ring-ms", "50", "--quiet"});
    sim_.start();
    ASSERT_TRUE(sim_.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] { return sim_.readAllStandardError().contains("ready"); }, 10000));

    auto settings = std::make_unique<vorla::MemorySettingsStore>();
    settings->WriteProfileString("Ports", "COM1", File("com1").toStdString());
    auto directory = vorla::ProgramDirectory::Resolve({home_.path().toStdString(), std::nullopt, {}, {}});
    ASSERT_TRUE(directory.has_value());
    app_ = std::make_unique<CVorlaPro5App>(std::move(settings), *directory);
    WizardSeams seams;
    seams.prompts = &prompts_;
    seams.onOpen = [](CExpressPropertySheet& sheet) {
        sheet.next();  // the first service of the list is chosen, with its number
        sheet.next();
        sheet.next();  // "Direct to COM1:"
        sheet.next();
        auto* modems = static_cast<CExpressPropertyPage5*>(sheet.currentPage());
        modems->Modems()->setCurrentItem(modems->Modems()->topLevelItem(0));
        sheet.next();
        auto* subscribers = static_cast<CExpressPropertyPage6*>(sheet.currentPage());
        subscribers->NameEdit()->setText(QStringLiteral("Zoe"));
        subscribers->PinEdit()->setText(QStringLiteral("4242"));
        subscribers->Add();
        sheet.next();
        sheet.accept();
    };
    RegisterProgramParts(app_->Extensions());
    RegisterUiWizardWith(app_->Extensions(), seams);
    ASSERT_TRUE(app_->InitApplicationObjects({}, false)) << app_->StartupRefusal().toStdString();
    ASSERT_EQ(app_->GetServiceList()->GetCount(), 1u);

    CVorlaPro5View* view = MainFrameOf(*app_)->MessageView();
    ASSERT_NE(view, nullptr);
    view->MessageField()->setFocus();
    QTest::keyClicks(view->MessageField(), QStringLiteral("Welcome aboard"));
    CSelectionListBox* list = view->SelectionList();
    int zoe = -1;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        if (list->model()->index(i, 0).data().toString() == QStringLiteral("Zoe")) zoe = i;
    ASSERT_GE(zoe, 0) << "the recipient list was not rebuilt after Finish";
    const QRect row = list->visualRect(list->model()->index(zoe, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(60, row.center().y()));
    ASSERT_TRUE(view->SendButton()->isEnabled());
    QTest::mouseClick(view->SendButton(), Qt::LeftButton);

    ASSERT_TRUE(WaitFor([&] { return view->MessageField()->isEnabled(); }, 60000)) << "the run did not end";
    EXPECT_FALSE(app_->GetErrorFlag());
    QFile log(File("pages.jsonl"));
    ASSERT_TRUE(WaitFor([&] { return log.exists() && log.size() > 0; }, 5000));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray pages = log.readAll();
    EXPECT_TRUE(pages.contains("\"pin\":\"4242\"")) << pages.toStdString();
    EXPECT_TRUE(pages.contains("Welcome aboard")) << pages.toStdString();
}

}  // namespace
