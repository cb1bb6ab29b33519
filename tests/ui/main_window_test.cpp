// The main frame: toolbars and their saved layouts, the customise dialog, bars and clock.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTest>
#include <QTime>

#include "app/command_ids.h"
#include "app_fixture.h"
#include "main_window/cust_toolbar.h"
#include "main_window/customize_dialog.h"
#include "main_window/main_frame.h"
#include "main_window/message_window.h"
#include "message_entry/vorla_pro_view.h"

namespace {

class MainWindow : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteTestDirectory(Folder());
        ASSERT_TRUE(Start());
        frame_ = app_->MainFrame();
    }
    CMainFrame* frame_ = nullptr;
};

const std::vector<int> kDefaultMainButtons = {cmd::kMessageLog, cmd::kNextWindow, 0, cmd::kPreferences,
                                              cmd::kServices,   cmd::kSubscribers, cmd::kGroups,
                                              cmd::kPresetMessages, 0, cmd::kCut, cmd::kCopy, cmd::kPaste, 0,
                                              cmd::kPrint, cmd::kAbout};

TEST_F(MainWindow, ToolbarLayoutsAreEditedSavedAndRestored) {
    CCustToolBar* bar = frame_->MainToolBar();
    EXPECT_EQ(bar->Layout(), kDefaultMainButtons);
    {
        CustomizeToolbarDialog dialog(*bar, bar->Layout());
        dialog.CurrentList()->setCurrentRow(0);
        dialog.RemoveSelected();  // Message Log goes
        dialog.CurrentList()->setCurrentRow(0);
        dialog.MoveSelected(1);  // Next Window after the separator
        EXPECT_EQ(bar->Layout()[0], 0);
        EXPECT_EQ(bar->Layout()[1], cmd::kNextWindow);
        EXPECT_EQ(bar->Layout().size(), kDefaultMainButtons.size() - 1);
        // Message Log is offered again, with its short text.
        bool offered = false;
        for (int i = 0; i < dialog.AvailableList()->count(); ++i)
            offered |= dialog.AvailableList()->item(i)->text() == QStringLiteral("Message Log");
        EXPECT_TRUE(offered);
        dialog.Reset();
        EXPECT_EQ(bar->Layout(), kDefaultMainButtons);
        dialog.CurrentList()->setCurrentRow(14);
        dialog.RemoveSelected();
    }
    const std::vector<int> edited = bar->Layout();
    ASSERT_EQ(edited.size(), kDefaultMainButtons.size() - 1);
    frame_->SavePlacementsAndBars();
    bar->SetLayout(kDefaultMainButtons);
    ASSERT_TRUE(bar->RestoreLayout(*settings_));
    EXPECT_EQ(bar->Layout(), edited);

    // A damaged stored value leaves the layout alone.
    settings_->WriteProfileString("Preferences", "Toolbar State(0x67CB)", "0300000001");
    bar->SetLayout(kDefaultMainButtons);
    EXPECT_FALSE(bar->RestoreLayout(*settings_));
    EXPECT_EQ(bar->Layout(), kDefaultMainButtons);
    EXPECT_EQ(CustomizeToolbarDialog::ButtonText(QStringLiteral("Opens the Service Maintenance window\nServices")),
              QStringLiteral("Services"));
    EXPECT_EQ(CustomizeToolbarDialog::ButtonText(QStringLiteral("Only one line")), QStringLiteral("Only one line"));
}

TEST_F(MainWindow, BarTogglesAreStoredAndTheClockTicks) {
    frame_->Action(cmd::kViewStatusBar)->trigger();
    EXPECT_FALSE(frame_->statusBar()->isVisible());
    EXPECT_EQ(settings_->GetProfileInt("Preferences", "StatusBarState", -1), 0);
    frame_->Action(cmd::kViewToolBar)->trigger();
    EXPECT_EQ(settings_->GetProfileInt("Preferences", "ToolBarState", -1), 0);
    EXPECT_TRUE(CMainFrame::ClockText(QTime(13, 5, 7)).contains(QStringLiteral("07"))) << "the clock shows seconds";
    const QString first = frame_->ClockPane()->text();
    EXPECT_FALSE(first.isEmpty());
    EXPECT_TRUE(WaitFor([&] { return frame_->ClockPane()->text() != first; }, 2500));
}

TEST_F(MainWindow, TheMessageWindowCannotBeClosedAndHasItsTwoTabs) {
    QMdiSubWindow* message = frame_->MessageWindow();
    EXPECT_EQ(message->windowTitle(), QStringLiteral("Message Window"));
    message->close();
    EXPECT_TRUE(frame_->MdiArea()->subWindowList().contains(message));
    EXPECT_TRUE(message->isVisible());
    CMainView* tabs = frame_->MessageTabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("&Main"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("&Outgoing"));
    EXPECT_EQ(app_->GetMainView(), frame_->MessageView());
}

// A child window that prints itself (the log window does) takes the frame's Print while it is
// the active window; with the message window active there is nothing to print.
TEST_F(MainWindow, PrintGoesToTheActiveWindowThatPrintsItself) {
    QAction* framePrint = frame_->Action(cmd::kPrint);
    ASSERT_NE(framePrint, nullptr);
    auto* printing = new QWidget;
    auto* ownPrint = new QAction(QStringLiteral("Print"), printing);
    ownPrint->setData(cmd::kPrint);
    int printed = 0;
    QObject::connect(ownPrint, &QAction::triggered, [&printed] { ++printed; });
    QMdiSubWindow* child = frame_->AddChild(printing);
    frame_->MdiArea()->setActiveSubWindow(child);
    EXPECT_TRUE(framePrint->isEnabled());
    framePrint->trigger();
    EXPECT_EQ(printed, 1);

    frame_->MdiArea()->setActiveSubWindow(frame_->MessageWindow());
    EXPECT_FALSE(framePrint->isEnabled());
    framePrint->trigger();
    EXPECT_EQ(printed, 1);
    child->close();
}

TEST_F(MainWindow, EditCommandsWorkOnTheMessageField) {
    CVorlaPro5View* view = frame_->MessageView();
    view->MessageField()->setPlainText(QStringLiteral("abc"));
    frame_->Action(cmd::kSelectAll)->trigger();
    frame_->Action(cmd::kClear)->trigger();
    EXPECT_TRUE(view->MessageField()->toPlainText().isEmpty());
    frame_->Action(cmd::kUndo)->trigger();
    EXPECT_EQ(view->MessageField()->toPlainText(), QStringLiteral("abc"));
    // Commands another part provides are there, disabled, until it is built in.
    EXPECT_FALSE(frame_->Action(cmd::kServices)->isEnabled());
}

}  // namespace
