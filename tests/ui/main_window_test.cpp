// The main frame: toolbars and their saved layouts, the customise dialog, bars and clock.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTime>

#include "archive/ob_list.h"
#include "tests/ui/app_fixture.h"
#include "ui/app/command_ids.h"
#include "ui/common/cust_toolbar.h"
#include "ui/common/customize_dialog.h"
#include "ui/desktop/program_icon.h"
#include "ui/main_window/main_frame.h"
#include "ui/main_window/message_window.h"
#include "ui/message_entry/selection_list.h"
#include "ui/message_entry/vorla_pro_view.h"

namespace {

class MainWindow : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteTestDirectory(Folder());
        ASSERT_TRUE(Start());
        frame_ = MainFrameOf(*app_);
    }
    CMainFrame* frame_ = nullptr;
};

const std::vector<int> kDefaultMainButtons = {cmd::kMessageLog,
                                              cmd::kNextWindow,
                                              0,
                                              cmd::kPreferences,
                                              cmd::kServices,
                                              cmd::kSubscribers,
                                              cmd::kGroups,
                                              cmd::kPresetMessages,
                                              0,
                                              cmd::kCut,
                                              cmd::kCopy,
                                              cmd::kPaste,
                                              0,
                                              cmd::kPrint,
                                              cmd::kAbout};

TEST_F(MainWindow, TheFrameAndTheMessageWindowShowTheProgramsIcon) {
    // No icon theme here knows the program, as in a run from the build folder.
    const QImage own = vorla::ProgramIcon().pixmap(QSize(16, 16)).toImage();
    ASSERT_FALSE(own.isNull());
    for (const QWidget* window :
         {static_cast<QWidget*>(frame_), static_cast<QWidget*>(frame_->MessageWindow())}) {
        EXPECT_EQ(window->windowIcon().pixmap(QSize(16, 16)).toImage(), own)
            << window->metaObject()->className();
    }
}

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
    EXPECT_EQ(
        CustomizeToolbarDialog::ButtonText(QStringLiteral("Opens the Service Maintenance window\nServices")),
        QStringLiteral("Services"));
    EXPECT_EQ(CustomizeToolbarDialog::ButtonText(QStringLiteral("Only one line")),
              QStringLiteral("Only one line"));
}

TEST_F(MainWindow, TheEntryWindowPlacementAndTheToolbarDockAreRestored) {
    QMdiSubWindow* message = frame_->MessageWindow();
    EXPECT_TRUE(message->isMaximized()) << "without a stored placement it fills the frame";
    settings_->WriteProfileString("Preferences", "EntryWindowPos", "0,1,-1,-1,-1,-1,10,20,610,470");
    message->showNormal();
    frame_->ShowWithSavedPlacement();
    EXPECT_FALSE(message->isMaximized());
    EXPECT_EQ(message->geometry(), QRect(10, 20, 600, 450));

    frame_->addToolBar(Qt::LeftToolBarArea, frame_->MainToolBar());
    frame_->SavePlacementsAndBars();
    frame_->addToolBar(Qt::TopToolBarArea, frame_->MainToolBar());
    frame_->RestoreBarLayout();
    EXPECT_EQ(frame_->toolBarArea(frame_->MainToolBar()), Qt::LeftToolBarArea);
}

TEST_F(MainWindow, LockKeyPanesFollowTheirKeys) {
    const auto& panes = frame_->LockPanes();
    ASSERT_EQ(panes.size(), 3u);
    const QList<QLabel*> labels = frame_->statusBar()->findChildren<QLabel*>();
    EXPECT_LT(labels.indexOf(frame_->ClockPane()), labels.indexOf(panes[0])) << "after the clock";
    EXPECT_EQ(panes[0]->text(), QStringLiteral("CAP"));
    EXPECT_EQ(panes[1]->text(), QStringLiteral("NUM"));
    EXPECT_EQ(panes[2]->text(), QStringLiteral("SCRL"));
    frame_->SetLockKeySource([] {
        return std::optional<vorla::LockKeys>(vorla::LockKeys{true, false, true});
    });
    EXPECT_TRUE(panes[0]->isEnabled());
    EXPECT_FALSE(panes[1]->isEnabled());
    EXPECT_TRUE(panes[2]->isEnabled());
    frame_->SetLockKeySource([] { return std::optional<vorla::LockKeys>(); });
    EXPECT_FALSE(panes[0]->isEnabled()) << "unknown is shown as off";
}

// Every Alt+letter that one top-level window answers to: buttons, labels with a buddy, tabs,
// the menu bars' titles and explicit shortcuts.
std::map<int, QStringList> AltKeysOf(QWidget& window) {
    std::map<int, QStringList> keys;
    auto note = [&keys](const QKeySequence& key, const QString& where) {
        if (key.isEmpty() || key[0].keyboardModifiers() != Qt::AltModifier) return;
        keys[key[0].toCombined()] << where;
    };
    for (QAbstractButton* b : window.findChildren<QAbstractButton*>())
        note(b->shortcut(), b->text());
    for (QLabel* l : window.findChildren<QLabel*>())
        if (l->buddy()) note(QKeySequence::mnemonic(l->text()), l->text());
    for (QTabBar* t : window.findChildren<QTabBar*>())
        for (int i = 0; i < t->count(); ++i)
            note(QKeySequence::mnemonic(t->tabText(i)), t->tabText(i));
    for (QMenuBar* m : window.findChildren<QMenuBar*>())
        for (QAction* a : m->actions())
            note(QKeySequence::mnemonic(a->text()), a->text());
    for (QShortcut* s : window.findChildren<QShortcut*>())
        note(s->key(), QStringLiteral("shortcut"));
    for (QAction* a : window.findChildren<QAction*>())
        for (const QKeySequence& k : a->shortcuts())
            note(k, a->text());
    return keys;
}

TEST_F(MainWindow, AltSSendsFromTheFormAndNoMnemonicIsClaimedTwice) {
    ASSERT_TRUE(app_->OpenLogWindow());
    for (const auto& [key, owners] : AltKeysOf(*frame_))
        EXPECT_EQ(owners.size(), 1) << QKeySequence(key).toString().toStdString() << ": "
                                    << owners.join(QStringLiteral(", ")).toStdString();

    CVorlaPro5View* view = frame_->MessageView();
    view->MessageField()->setPlainText(QStringLiteral("by Alt+S"));
    view->OutgoingChoice()->setCurrentIndex(CVorlaPro5View::kLater);
    view->SelectionList()->selectAll();
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_));
    frame_->MdiArea()->setActiveSubWindow(frame_->MessageWindow());
    view->MessageField()->setFocus();
    QTest::keyClick(view->MessageField(), Qt::Key_S, Qt::AltModifier);
    EXPECT_FALSE(app_->GetOutgoingList()->IsEmpty());
}

TEST_F(MainWindow, EditAndInsertCommandsAreEnabledExactlyWhenTheFieldCanTakeThem) {
    CVorlaPro5View* view = frame_->MessageView();
    MessageEdit* field = view->MessageField();
    auto enabled = [this](int id) { return frame_->Action(id)->isEnabled(); };
    field->setPlainText(QStringLiteral("abc"));
    EXPECT_FALSE(enabled(cmd::kCut)) << "nothing selected";
    EXPECT_FALSE(enabled(cmd::kClear));
    frame_->Action(cmd::kSelectAll)->trigger();
    EXPECT_TRUE(enabled(cmd::kCut));
    EXPECT_TRUE(enabled(cmd::kCopy));
    EXPECT_TRUE(enabled(cmd::kInsertDate));

    // Another window of the frame, or the Outgoing tab: the field is out of sight.
    QMdiSubWindow* other = frame_->AddChild(new QWidget);
    frame_->MdiArea()->setActiveSubWindow(other);
    for (int id : {cmd::kCut, cmd::kPaste, cmd::kClear, cmd::kSelectAll, cmd::kInsertDate, cmd::kInsertTime,
                   cmd::kInsertMessage, cmd::kInsertTextFile, cmd::kInsertLastMessage, cmd::kSpellCheck})
        EXPECT_FALSE(enabled(id)) << id;
    frame_->Action(cmd::kInsertDate)->trigger();
    EXPECT_EQ(field->toPlainText(), QStringLiteral("abc"));
    other->close();
    frame_->MdiArea()->setActiveSubWindow(frame_->MessageWindow());
    EXPECT_TRUE(enabled(cmd::kInsertDate));
    frame_->MessageTabs()->setCurrentIndex(1);
    EXPECT_FALSE(enabled(cmd::kInsertDate));
    frame_->MessageTabs()->setCurrentIndex(0);

    // While a page is sent, nothing may change the disabled field.
    view->SelectionList()->selectAll();
    view->Send();
    ASSERT_FALSE(field->isEnabled());
    EXPECT_FALSE(enabled(cmd::kInsertDate));
    EXPECT_FALSE(enabled(cmd::kSelectAll));
    for (QAction* button : view->MessageToolBar()->actions())
        EXPECT_FALSE(button->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return app_->GetState() == CVorlaPro5App::kStateIdle && field->isEnabled(); }));
    EXPECT_TRUE(enabled(cmd::kInsertDate));
}

TEST_F(MainWindow, BarTogglesAreStoredAndTheClockTicks) {
    frame_->Action(cmd::kViewStatusBar)->trigger();
    EXPECT_FALSE(frame_->statusBar()->isVisible());
    EXPECT_EQ(settings_->GetProfileInt("Preferences", "StatusBarState", -1), 0);
    frame_->Action(cmd::kViewToolBar)->trigger();
    EXPECT_EQ(settings_->GetProfileInt("Preferences", "ToolBarState", -1), 0);
    EXPECT_TRUE(CMainFrame::ClockText(QTime(13, 5, 7)).contains(QStringLiteral("07")))
        << "the clock shows seconds";
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
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Main"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Outgoing"));
    EXPECT_EQ(app_->GetMainView(), frame_->MessageView());
}

// A child window that prints itself (the log window does) takes the frame's Print while it is
// the active window; with the message window active there is nothing to print.
TEST_F(MainWindow, PrintGoesToTheActiveWindowThatPrintsItself) {
    // A counter stands in for the frame's own print (the directory's report), whose dialog
    // would wait for a user.
    int framePrinted = 0;
    app_.reset();
    ASSERT_TRUE(Start({}, [&framePrinted](UiExtensions& parts) {
        parts.commands[cmd::kPrint] = [&framePrinted](CVorlaPro5App&, QWidget*) { ++framePrinted; };
    }));
    frame_ = MainFrameOf(*app_);
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
    EXPECT_EQ(framePrinted, 0);

    frame_->MdiArea()->setActiveSubWindow(frame_->MessageWindow());
    EXPECT_TRUE(framePrint->isEnabled());
    framePrint->trigger();
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(framePrinted, 1);
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
}

}  // namespace
