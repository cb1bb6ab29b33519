// The log window over a real LogList: sorting by every column and its saved settings, new
// records, clearing, re-sending, dragging, the view modes and commands, the properties
// sheet's statistics and the frame's saved state.
#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include <memory>

#include <gtest/gtest.h>

#include "directory/subscriber.h"
#include "paging/log_object.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_texts.h"
#include "tests/qt_support/model_check.h"
#include "tests/ui_windows/window_world.h"
#include "ui/windows/log_list_model.h"
#include "ui/windows/log_list_view.h"
#include "ui/windows/log_properties.h"
#include "ui/windows/log_window.h"
#include "ui/windows/window_texts.h"

namespace {

constexpr uint32_t kDay = 24 * 3600;

class LogWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        acme = world.AddService("Acme");
        world.AddSubscriber("Ann", "1001", acme);
        world.AddSubscriber("Bob", "1002", acme);
    }
    void Open() {
        view = std::make_unique<CLogListView>(world.LogContext());
        CheckModel(view->Model());
    }
    QStringList Column(int column) const {
        QStringList texts;
        for (int row = 0; row < view->Model()->rowCount(); ++row)
            texts << view->Model()->data(view->Model()->index(row, column), Qt::DisplayRole).toString();
        return texts;
    }
    void Select(std::initializer_list<int> rows) {
        auto* selection = view->DetailsView()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(view->Model()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    WindowWorld world;
    CService* acme = nullptr;
    std::unique_ptr<CLogListView> view;
};

TEST_F(LogWindowTest, SortingByNameTwiceReversesAndSavesTheOrder) {
    world.Log(kTestNow, "Bob", "Message Sent Successfully!", "b");
    world.Log(kTestNow, "Carol", "Message Sent Successfully!", "c");
    world.Log(kTestNow, "Ann", "Message Sent Successfully!", "a");
    Open();
    view->ColumnClicked(CLogListModel::kName);
    EXPECT_EQ(Column(CLogListModel::kName), (QStringList{"Ann", "Bob", "Carol"}));
    EXPECT_EQ(world.settings.GetProfileInt("Settings-LogWindow", "SortColumn", 0), CLogListModel::kName);
    EXPECT_EQ(world.settings.GetProfileInt("Settings-LogWindow", "SortOrder", 0), 1);
    view->ColumnClicked(CLogListModel::kName);
    EXPECT_EQ(Column(CLogListModel::kName), (QStringList{"Carol", "Bob", "Ann"}));
    EXPECT_EQ(world.settings.GetProfileInt("Settings-LogWindow", "SortOrder", 0), -1);
    EXPECT_FALSE(view->Action(log_cmd::kAscending)->isChecked());
    EXPECT_TRUE(view->Action(log_cmd::kSortName)->isChecked());

    // Another column keeps the current (descending) order; a new window reads both back.
    view->SortByColumn(CLogListModel::kMessage);
    EXPECT_EQ(Column(CLogListModel::kMessage), (QStringList{"c", "b", "a"}));
    view.reset();
    Open();
    EXPECT_EQ(view->Model()->SortColumn(), CLogListModel::kMessage);
    EXPECT_EQ(view->Model()->SortOrder(), -1);
    EXPECT_EQ(Column(CLogListModel::kMessage), (QStringList{"c", "b", "a"}));
}

TEST_F(LogWindowTest, DateTimeAndNameSortsUseTheirTieBreakers) {
    // Day 1 at 15:00 (Bob), day 2 at 09:00 (Ann), day 1 at 09:00 (Carol), day 1 at 09:00 (Abe).
    const uint32_t day1 = kTestNow - 14 * 3600 - 30 * 60;  // midnight
    world.Log(day1 + 15 * 3600, "Bob", "s", "1");
    world.Log(day1 + kDay + 9 * 3600, "Ann", "s", "2");
    world.Log(day1 + 9 * 3600, "Carol", "s", "3");
    world.Log(day1 + 9 * 3600, "Abe", "s", "4");
    Open();
    view->SortByColumn(CLogListModel::kDate);
    EXPECT_EQ(Column(CLogListModel::kMessage), (QStringList{"4", "3", "1", "2"}));
    view->SortByColumn(CLogListModel::kTime);
    EXPECT_EQ(Column(CLogListModel::kMessage), (QStringList{"4", "3", "2", "1"}));
    view->SortByColumn(CLogListModel::kName);
    EXPECT_EQ(Column(CLogListModel::kMessage), (QStringList{"4", "2", "1", "3"}));
}

TEST_F(LogWindowTest, StatusAndMessageSortIgnoreCase) {
    world.Log(kTestNow, "A", "beta", "Zulu");
    world.Log(kTestNow, "B", "Alpha", "alpha");
    world.Log(kTestNow, "C", "ALPHA2", "Mike");
    Open();
    view->SortByColumn(CLogListModel::kStatus);
    EXPECT_EQ(Column(CLogListModel::kStatus), (QStringList{"Alpha", "ALPHA2", "beta"}));
    view->SortByColumn(CLogListModel::kMessage);
    EXPECT_EQ(Column(CLogListModel::kMessage), (QStringList{"alpha", "Mike", "Zulu"}));
}

TEST_F(LogWindowTest, NewRecordsShowAtTheEndAsTheyArrive) {
    world.Log(kTestNow, "Bob", "s", "b");
    Open();
    view->SortByColumn(CLogListModel::kName);
    world.Log(kTestNow, "Ann", "s", "a");
    view->AddRow();
    EXPECT_EQ(Column(CLogListModel::kName), (QStringList{"Bob", "Ann"}));
    view->ReverseOrder();
    view->ReverseOrder();
    EXPECT_EQ(Column(CLogListModel::kName), (QStringList{"Ann", "Bob"}));
}

TEST_F(LogWindowTest, ClearAsksAndRemovesOnlyTheSelectedRecords) {
    for (const char* name : {"Dan", "Ann", "Cid", "Bob"})
        world.Log(kTestNow, name, "s", name);
    Open();
    view->SortByColumn(CLogListModel::kName);  // Ann Bob Cid Dan
    Select({1, 3});
    world.prompts.answer = false;
    view->ClearSelected();
    EXPECT_EQ(world.logList->GetCount(), 4u);
    ASSERT_EQ(world.prompts.asked.size(), 1u);
    EXPECT_EQ(world.prompts.asked[0], QString::fromLatin1(window_texts::kConfirmClear));

    world.prompts.answer = true;
    Select({1, 3});
    view->ClearSelected();
    EXPECT_EQ(Column(CLogListModel::kName), (QStringList{"Ann", "Cid"}));
    ASSERT_EQ(world.logList->GetCount(), 2u);
    EXPECT_EQ(static_cast<CLogObject*>(world.logList->GetAt(0))->GetName(), "Ann");
    EXPECT_EQ(static_cast<CLogObject*>(world.logList->GetAt(1))->GetName(), "Cid");
    // The rows still point at the right records after the list closed up.
    world.Log(kTestNow, "Eve", "s", "e");
    view->AddRow();
    EXPECT_EQ(Column(CLogListModel::kName), (QStringList{"Ann", "Cid", "Eve"}));
}

TEST_F(LogWindowTest, ResendQueuesAnAtPageForAKnownSubscriberAndNothingForAGoneOne) {
    world.Log(kTestNow - 500, "Ann", "Message Sent Successfully!", "Call home");
    world.Log(kTestNow - 400, "Gone", "Message Sent Successfully!", "Lost");
    world.Log(kTestNow - 300, "SpotPage: 555", "Message Sent Successfully!", "Spot");
    Open();
    view->SortByColumn(CLogListModel::kDate);
    Select({0, 1, 2});
    view->ResendSelected();
    ASSERT_EQ(world.prompts.asked.size(), 2u);
    EXPECT_EQ(world.prompts.asked[0], QString::fromLatin1(window_texts::kCannotResend));
    ASSERT_EQ(world.outgoing->GetCount(), 1u);
    const CPage* page = world.queue->RowAt(0);
    EXPECT_EQ(page->GetSubscriber()->GetName(), "Ann");
    EXPECT_EQ(page->GetWhen(), kWhenAt);
    EXPECT_EQ(page->GetStatus(), kStatusWaiting);
    EXPECT_EQ(page->GetScheduledTime(), std::optional<uint32_t>(kTestNow));
    EXPECT_EQ(page->GetMessage()->GetText(), "Call home");
    EXPECT_EQ(page->GetMessage()->GetRefCount(), 1);
    // Due at once.
    EXPECT_TRUE(world.queue->DueCheck());
    EXPECT_EQ(world.runsStarted, 1);
}

TEST_F(LogWindowTest, ResendCancelStopsAtTheFirstMissingSubscriber) {
    world.Log(kTestNow - 2, "Gone", "s", "x");
    world.Log(kTestNow - 1, "Ann", "s", "y");
    Open();
    view->SortByColumn(CLogListModel::kDate);
    world.prompts.answer = false;
    Select({0, 1});
    view->ResendSelected();
    EXPECT_EQ(world.outgoing->GetCount(), 0u);
}

TEST_F(LogWindowTest, DraggingARowOffersItsMessageAsPlainText) {
    world.Log(kTestNow, "Ann", "s", "Meet at 5");
    Open();
    std::unique_ptr<QMimeData> mime(view->Model()->mimeData({view->Model()->index(0, CLogListModel::kName)}));
    ASSERT_TRUE(mime);
    EXPECT_EQ(mime->text(), QStringLiteral("Meet at 5"));
    EXPECT_TRUE(view->Model()->flags(view->Model()->index(0, 0)) & Qt::ItemIsDragEnabled);
    EXPECT_TRUE(view->Model()->supportedDragActions() & Qt::MoveAction);
}

TEST_F(LogWindowTest, ViewModesAreCheckedAndSaved) {
    world.Log(kTestNow, "Ann", "s", "m");
    Open();
    EXPECT_EQ(view->CurrentViewType(), CLogListView::kDetailsView);
    EXPECT_TRUE(view->Action(log_cmd::kDetails)->isChecked());
    view->Action(log_cmd::kList)->trigger();
    EXPECT_EQ(view->CurrentViewType(), CLogListView::kListView);
    EXPECT_TRUE(view->Action(log_cmd::kList)->isChecked());
    EXPECT_FALSE(view->Action(log_cmd::kDetails)->isChecked());
    EXPECT_EQ(world.settings.GetProfileInt("Settings-LogWindow", "ViewType", -5), 3);
    view->Action(log_cmd::kLargeIcons)->trigger();
    EXPECT_EQ(world.settings.GetProfileInt("Settings-LogWindow", "ViewType", -5), 0);
    EXPECT_NE(view->CurrentView(), view->DetailsView());
    view.reset();
    Open();
    EXPECT_EQ(view->CurrentViewType(), CLogListView::kLargeIconView);
}

// A click on a record picks its row in every mode, so Properties, Re-send and Clear act on it.
TEST_F(LogWindowTest, AClickSelectsTheRecordInEveryViewMode) {
    for (const char* name : {"Ann", "Bob", "Cid"})
        world.Log(kTestNow, name, "s", name);
    Open();
    view->resize(600, 400);
    view->show();
    for (int mode : {log_cmd::kLargeIcons, log_cmd::kSmallIcons, log_cmd::kList, log_cmd::kDetails}) {
        view->Action(mode)->trigger();
        QAbstractItemView* shown = view->CurrentView();
        shown->clearSelection();
        const QRect rect = shown->visualRect(
            view->Model()->index(1, shown == view->DetailsView() ? 0 : view->Model()->SortColumn()));
        ASSERT_TRUE(rect.isValid()) << mode;
        QTest::mouseClick(shown->viewport(), Qt::LeftButton, {}, rect.center());
        EXPECT_EQ(view->SelectedRows(), std::vector<int>{1}) << "mode " << mode;
    }
}

TEST_F(LogWindowTest, LoggingCommandsSetLogToDiskAndShowTheCurrentChoice) {
    Open();
    EXPECT_TRUE(view->Action(log_cmd::kStopLogging)->isChecked());
    view->Action(log_cmd::kStartLogging)->trigger();
    EXPECT_EQ(world.settings.GetProfileInt("Preferences", "LogToDisk", 0), 1);
    EXPECT_TRUE(view->Action(log_cmd::kStartLogging)->isChecked());
    EXPECT_FALSE(view->Action(log_cmd::kStopLogging)->isChecked());
    view->Action(log_cmd::kStopLogging)->trigger();
    EXPECT_EQ(world.settings.GetProfileInt("Preferences", "LogToDisk", 1), 0);
}

TEST_F(LogWindowTest, SelectAllSelectsEveryRowAndTheContextMenuHoldsTheCommands) {
    for (int i = 0; i < 5; ++i)
        world.Log(kTestNow + i, "Ann", "s", "m");
    Open();
    view->Action(log_cmd::kSelectAll)->trigger();
    EXPECT_EQ(view->SelectedRows().size(), 5u);
    QStringList texts;
    for (QAction* action : view->ContextMenu()->actions())
        texts << action->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Re-&send Message")));
    EXPECT_TRUE(texts.contains(QStringLiteral("&Clear")));
}

TEST_F(LogWindowTest, PropertiesCountTheSubscribersRecordsOnePerTick) {
    world.Log(kTestNow, "Ann", "Message Sent Successfully!", "hello");
    world.Log(kTestNow, "Bob", "Message Sent Successfully!", "x");
    world.Log(kTestNow, "Ann", "User cancel", "y", kScriptCancelled);
    world.Log(kTestNow, "Ann", "No answer", "z", -210);
    world.Log(kTestNow, "ann", "Message Sent Successfully!", "not the same name");
    CLogPropertySheet sheet(*static_cast<CLogObject*>(world.logList->GetAt(0)), world.logList.get());
    EXPECT_TRUE(sheet.IsCalculating());
    EXPECT_EQ(sheet.Page()->CounterText(0), QStringLiteral("0"));
    for (int i = 0; i < 100 && sheet.IsCalculating(); ++i)
        QCoreApplication::processEvents();
    ASSERT_FALSE(sheet.IsCalculating());
    EXPECT_EQ(sheet.Page()->CounterText(0), QStringLiteral("3"));
    EXPECT_EQ(sheet.Page()->CounterText(1), QStringLiteral("1"));
    EXPECT_EQ(sheet.Page()->CounterText(2), QStringLiteral("1"));
    EXPECT_EQ(sheet.Page()->CounterText(3), QStringLiteral("1"));
    EXPECT_TRUE(sheet.Page()->CalculatingLabel()->isHidden());
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Properties"));
}

TEST_F(LogWindowTest, PropertiesSurviveTheLogBeingClearedWhileCounting) {
    for (int i = 0; i < 10; ++i)
        world.Log(kTestNow, "Ann", "s", "m");
    auto* sheet =
        new CLogPropertySheet(*static_cast<CLogObject*>(world.logList->GetAt(0)), world.logList.get());
    QCoreApplication::processEvents();
    Open();
    view->Action(log_cmd::kSelectAll)->trigger();
    view->ClearSelected();
    for (int i = 0; i < 20 && sheet->IsCalculating(); ++i)
        QCoreApplication::processEvents();
    EXPECT_FALSE(sheet->IsCalculating());
    EXPECT_LE(sheet->Statistics().total, 10);
    delete sheet;
}

TEST_F(LogWindowTest, FrameSavesPlacementToolBarAndVisibility) {
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    auto* window = new CLogMDIChild(world.LogContext());
    QMdiSubWindow* sub = area.addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Log Window"));
    sub->setGeometry(20, 30, 400, 300);
    QCoreApplication::processEvents();
    const std::string placement = world.settings.GetProfileString("Preferences", "LogWindowPos", "");
    EXPECT_FALSE(placement.empty());
    window->ToggleToolBarAction()->trigger();  // hide
    EXPECT_TRUE(window->ToolBar()->isHidden());
    world.settings.WriteProfileInt("Preferences", "LogVisible", 1);
    sub->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(world.settings.GetProfileInt("Preferences", "LogVisible", 1), 0);

    // A new window comes back hidden-toolbar, at the saved place.
    auto* again = new CLogMDIChild(world.LogContext());
    QMdiSubWindow* sub2 = area.addSubWindow(again);
    sub2->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(again->ToolBar()->isHidden());
    EXPECT_EQ(sub2->geometry(), QRect(20, 30, 400, 300));
}

}  // namespace
