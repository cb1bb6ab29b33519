// Start-up and exit of the application on empty, existing, damaged and locked directories.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "archive/class_registry.h"
#include "archive/file_format_version.h"
#include "archive/ob_list.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "directory/message.h"
#include "directory/service.h"
#include "paging/log_object.h"
#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "platform/program_directory_lock.h"
#include "tests/ui/app_fixture.h"
#include "ui/common/cust_toolbar.h"
#include "ui/main_window/main_frame.h"
#include "ui/message_entry/selection_list.h"
#include "ui/message_entry/vorla_pro_view.h"

#include <QComboBox>
#include <QStatusBar>

namespace {

QByteArray ReadAll(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(CommandLine, SwitchesAfterSlashOrDashInAnyCaseAndOneFileName) {
    const CommandLineInfo info =
        ParseCommandLine({"/embedding", "-AUTOMATION", "doc.vlg", "other", "/bogus"});
    EXPECT_TRUE(info.embedding);
    EXPECT_TRUE(info.automation);
    EXPECT_EQ(info.fileName, "doc.vlg");
    const CommandLineInfo plain = ParseCommandLine({"/Embeddingx", "-p"});
    EXPECT_FALSE(plain.embedding);
    EXPECT_TRUE(plain.print);
}

class Startup : public AppTest {
protected:
    void QueueLaterPageToFirstRow(const char* text) {
        View()->MessageField()->setPlainText(QString::fromLatin1(text));
        View()->OutgoingChoice()->setCurrentIndex(CVorlaPro5View::kLater);
        View()->SelectionList()->selectionModel()->select(View()->SelectionList()->model()->index(0, 0),
                                                          QItemSelectionModel::Select);
        View()->Send();
    }
};

TEST_F(Startup, FirstStartWithoutServiceEndsUnlessTheWizardMakesOne) {
    int wizardRuns = 0;
    // The wizard stands in for the user: cancelled, then finished with a service.
    EXPECT_FALSE(Start({}, [&](UiExtensions& parts) {
        parts.runSetupWizard = [&](CVorlaPro5App&, QWidget*) { ++wizardRuns; };
    }));
    EXPECT_EQ(wizardRuns, 1);
    EXPECT_TRUE(app_->StartupRefusal().contains(QStringLiteral("no paging service")));
    app_.reset();

    // The same first start with a wizard that adds a service goes on, with both bars shown.
    ASSERT_TRUE(Start({}, [&](UiExtensions& parts) {
        parts.runSetupWizard = [&](CVorlaPro5App& app, QWidget*) {
            ++wizardRuns;
            ServiceFields fields;
            fields.name = "First";
            app.GetServiceList()->AddTail(new CService(fields));
        };
    }));
    EXPECT_EQ(wizardRuns, 2);
    EXPECT_TRUE(app_->MainFrame()->isVisible());
    EXPECT_TRUE(MainFrameOf(*app_)->MainToolBar()->isVisible());
    EXPECT_TRUE(app_->MainFrame()->statusBar()->isVisible());
    EXPECT_EQ(MainFrameOf(*app_)->MainToolBar()->iconSize(), QSize(16, 15)) << "small toolbar by default";
}

TEST_F(Startup, ExistingDirectoryIsLoadedAndAutomationKeepsTheWindowHidden) {
    WriteTestDirectory(Folder());
    CommandLineInfo automation;
    automation.automation = true;
    ASSERT_TRUE(Start(automation));
    EXPECT_EQ(app_->GetServiceList()->GetCount(), 1u);
    EXPECT_EQ(app_->GetSubscriberList()->GetCount(), 3u);
    EXPECT_EQ(app_->GetGroupList()->GetCount(), 2u);
    EXPECT_TRUE(app_->IsEmbedded());
    EXPECT_FALSE(app_->MainFrame()->isVisible());
    // The recipient list is built from the directory: three subscribers and two groups.
    EXPECT_EQ(View()->SelectionList()->model()->rowCount(), 5);
    EXPECT_EQ(app_->GetState(), CVorlaPro5App::kStateIdle);
    ASSERT_NE(app_->Queue(), nullptr);
}

TEST_F(Startup, TheLogoIsFoundWithoutRegardToCaseAndABadOneIsDropped) {
    WriteTestDirectory(Folder());
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(QString::fromStdString(FilePath("logo.bmp")), "BMP"));
    ASSERT_TRUE(Start());
    EXPECT_EQ(app_->Logo().size(), QSize(40, 20));
    app_.reset();

    QFile bad(QString::fromStdString(FilePath("logo.bmp")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bad.write("BM not really a bitmap");
    bad.close();
    ASSERT_TRUE(Start()) << "start-up goes on without a logo";
    EXPECT_TRUE(app_->Logo().isNull());
}

TEST_F(Startup, ExitWritesTheDirectoryAndLeavesNoQueueFileForAnEmptyQueue) {
    WriteTestDirectory(Folder());
    ASSERT_TRUE(Start());
    app_->ExitInstance();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(FilePath("Outgoing.vlg"))));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(FilePath("Vorla Pro Log Window.vlg"))));
    DirectoryStore reread;
    ASSERT_EQ(LoadDirectoryFile(FilePath("Vorla Pro.vlg"), MakeProgramClassRegistry(), reread),
              ArchiveError::None);
    EXPECT_EQ(reread.GetSubscriberList()->GetCount(), 3u);
    EXPECT_EQ(reread.GetDisplayList()->GetCount(), 5u) << "the recipient rows are saved with the directory";
}

TEST_F(Startup, AQueuedLaterPageSurvivesARestart) {
    WriteTestDirectory(Folder());
    ASSERT_TRUE(Start());
    QueueLaterPageToFirstRow("see you");
    ASSERT_EQ(app_->GetOutgoingList()->GetCount(), 1u);
    app_.reset();
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(FilePath("Outgoing.vlg"))));

    ASSERT_TRUE(Start());
    ASSERT_EQ(app_->GetOutgoingList()->GetCount(), 1u);
    auto* page = dynamic_cast<CPage*>(app_->GetOutgoingList()->GetAt(0));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetWhen(), kWhenLater);
    EXPECT_EQ(app_->GetLastMessage() ? app_->GetLastMessage()->GetText() : "", "see you");
}

// A cut directory file costs neither the queue nor the log history, and is itself kept aside.
TEST_F(Startup, ADamagedDirectoryKeepsTheQueueAndTheLogAndIsKeptAside) {
    WriteTestDirectory(Folder());
    ASSERT_TRUE(Start());
    QueueLaterPageToFirstRow("see you");
    for (const char* name : {"Ann", "Bob", "Carol"}) {
        app_->AddLogRecord(std::make_unique<CLogObject>(1000u, name, "Message Sent Successfully!", "hi", 0));
    }
    app_.reset();
    const QByteArray whole = ReadAll(FilePath("Vorla Pro.vlg"));
    const QByteArray cut = whole.left(whole.size() / 2);
    {
        QFile file(QString::fromStdString(FilePath("Vorla Pro.vlg")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(cut);
    }

    SetFileFormatVersion(0);  // as in a new process
    ASSERT_TRUE(Start());
    EXPECT_EQ(app_->GetOutgoingList()->GetCount(), 1u);
    EXPECT_EQ(app_->GetLogList()->GetCount(), 3u);
    app_.reset();

    SetFileFormatVersion(kCurrentFileFormatVersion);
    LoadedList queue;
    ASSERT_EQ(LoadQueueFile(FilePath("Outgoing.vlg"), MakeProgramClassRegistry(), queue), ArchiveError::None);
    EXPECT_EQ(queue.list->GetCount(), 1u);
    LoadedList log;
    ASSERT_EQ(LoadLogWindowFile(FilePath("Vorla Pro Log Window.vlg"), MakeProgramClassRegistry(), log),
              ArchiveError::None);
    EXPECT_EQ(log.list->GetCount(), 3u);
    const QStringList aside = QDir(QString::fromStdString(Folder()))
                                  .entryList({QStringLiteral("Vorla Pro.unreadable-*.vlg")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(ReadAll(FilePath(aside[0].toStdString())), cut);
}

TEST_F(Startup, ASecondProcessOnTheSameDirectoryIsRefused) {
    WriteTestDirectory(Folder());
    vorla::ProgramDirectoryLock other(QString::fromStdString(Folder()));
    ASSERT_EQ(other.TryAcquire(), vorla::ProgramDirectoryLock::Result::Acquired);
    // Locks are per process in QLockFile; the refusal path is the same for another process.
    EXPECT_FALSE(Start());
    EXPECT_FALSE(app_->StartupRefusal().isEmpty());
    const QByteArray before = ReadAll(FilePath("Vorla Pro.vlg"));
    app_.reset();
    EXPECT_EQ(ReadAll(FilePath("Vorla Pro.vlg")), before) << "the refused start wrote nothing";
}

TEST_F(Startup, ClosingStoresPlacementsAndBarStates) {
    WriteTestDirectory(Folder());
    ASSERT_TRUE(Start());
    MainFrameOf(*app_)->MainToolBar()->hide();
    ASSERT_TRUE(app_->MainFrame()->close());
    EXPECT_EQ(settings_->GetProfileInt("Preferences", "ToolBarState", -1), 0);
    EXPECT_EQ(settings_->GetProfileInt("Preferences", "StatusBarState", -1), 1);
    EXPECT_TRUE(settings_->Contains("Preferences", "MainWindowPos"));
    EXPECT_TRUE(settings_->Contains("Preferences", "EntryWindowPos"));
    EXPECT_TRUE(settings_->Contains("Preferences", "Toolbar State(0x67CB)"));
    EXPECT_TRUE(settings_->Contains("Preferences", "Message Tool Bar"));
}

}  // namespace
