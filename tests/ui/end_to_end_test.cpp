// Type a message, pick a subscriber, press Send: the page reaches the simulated paging
// terminal through the shipped script on a pseudo-terminal mapped to COM1.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "archive/ob_list.h"
#include "tests/child_process/qt_child_process.h"
#include "tests/ui/app_fixture.h"
#include "ui/main_window/main_frame.h"
#include "ui/message_entry/selection_list.h"
#include "ui/message_entry/vorla_pro_view.h"

namespace {

class EndToEnd : public AppTest {
protected:
    void TearDown() override {
        AppTest::TearDown();
        if (sim_.state() != QProcess::NotRunning) {
            sim_.terminate();
            if (!sim_.waitForFinished(5000)) sim_.kill();
        }
    }
    bool StartSimulator() {
        vorla::testing::EndWithTest(sim_);
        sim_.setProgram(QStringLiteral(VORLA_BIN_DIR "/pagingsim"));
        sim_.setArguments({"--link", QString::fromStdString(FilePath("com1")), "--log",
                           QString::fromStdString(FilePath("pages.jsonl")), "--ring-ms", "50", "--quiet"});
        sim_.start();
        if (!sim_.waitForStarted(5000)) return false;
        return WaitFor([&] { return sim_.readAllStandardError().contains("ready"); }, 10000);
    }
    QProcess sim_;
};

TEST_F(EndToEnd, ATypedMessageSentToASubscriberArrivesAtTheTerminal) {
    const QString script = QStringLiteral(VORLA_SOURCE_DIR "/rklfiles/vorlapro.rkl");
    if (!QFile::exists(script)) GTEST_SKIP() << "the serial paging script is not in rklfiles yet";
    ASSERT_TRUE(StartSimulator());
    QDir(QString::fromStdString(Folder())).mkdir(QStringLiteral("rklfiles"));
    ASSERT_TRUE(QFile::copy(script, QString::fromStdString(FilePath("rklfiles/vorlapro.rkl"))));
    WriteTestDirectory(Folder());
    ASSERT_TRUE(Start());
    settings_->WriteProfileString("Ports", "COM1", FilePath("com1"));

    CVorlaPro5View* view = View();
    view->MessageField()->setFocus();
    QTest::keyClicks(view->MessageField(), QStringLiteral("Lunch at noon"));
    CSelectionListBox* list = view->SelectionList();
    int ann = -1;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        if (list->model()->index(i, 0).data().toString() == QStringLiteral("Ann")) ann = i;
    ASSERT_GE(ann, 0);
    const QRect row = list->visualRect(list->model()->index(ann, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(60, row.center().y()));
    ASSERT_TRUE(view->SendButton()->isEnabled());
    QTest::mouseClick(view->SendButton(), Qt::LeftButton);

    ASSERT_TRUE(WaitFor([&] { return view->MessageField()->isEnabled(); }, 60000)) << "the run did not end";
    EXPECT_FALSE(app_->GetErrorFlag()) << view->StatusList()->currentText().toStdString();
    EXPECT_TRUE(app_->GetOutgoingList()->IsEmpty());
    EXPECT_TRUE(view->MessageField()->toPlainText().isEmpty()) << "a good run clears the form";
    QFile log(QString::fromStdString(FilePath("pages.jsonl")));
    ASSERT_TRUE(WaitFor([&] { return log.exists() && log.size() > 0; }, 5000));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray pages = log.readAll();
    EXPECT_TRUE(pages.contains("\"pin\":\"1001\"")) << pages.toStdString();
    EXPECT_TRUE(pages.contains("Lunch at noon")) << pages.toStdString();
    EXPECT_EQ(app_->GetLogList()->GetCount(), 1u) << "one log record for the page";
}

}  // namespace
