// The outgoing window over a real queue: texts and images made from the pages' current
// fields, the three buttons, the due check and the saved column widths.
#include <QCoreApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include "directory/subscriber.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_texts.h"
#include "tests/qt_support/model_check.h"
#include "tests/ui_windows/window_world.h"
#include "ui/windows/local_format.h"
#include "ui/windows/outgoing_model.h"
#include "ui/windows/outgoing_view.h"
#include "ui/windows/row_icons.h"
#include "ui/windows/window_texts.h"

namespace {

class OutgoingViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        acme = world.AddService("Acme");
        ann = world.AddSubscriber("Ann", "1001", acme);
        bob = world.AddSubscriber("Bob", "1002", acme);
        carol = world.AddSubscriber("Carol", "1003", acme);
    }
    void Open() {
        view = std::make_unique<COutgoingView32>([this] { return world.queue.get(); }, world.settings,
                                                 world.prompts.Prompts());
        CheckModel(view->Model());
        world.rowsChanged = [this] { view->OnQueueChanged(); };
    }
    QString Text(int row, int column) const {
        return view->Model()->data(view->Model()->index(row, column), Qt::DisplayRole).toString();
    }
    void Select(std::initializer_list<int> rows) {
        auto* selection = view->List()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(view->Model()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    WindowWorld world;
    CService* acme = nullptr;
    CSubscriber* ann = nullptr;
    CSubscriber* bob = nullptr;
    CSubscriber* carol = nullptr;
    std::unique_ptr<COutgoingView32> view;
};

TEST_F(OutgoingViewTest, AtPageShowsItsTimeAndImageThenTheFailureAfterItFails) {
    const uint32_t at = kTestNow + 3600;
    CPage* page = world.Queue(ann, "Lunch?", kWhenAt, at);
    Open();
    ASSERT_EQ(view->Model()->rowCount(), 1);
    EXPECT_EQ(Text(0, COutgoingModel::kWhen), FormatLocalTime(at, "%x %I:%M %p"));
    EXPECT_EQ(Text(0, COutgoingModel::kWhen), QStringLiteral("03/05/24 03:30 PM"));
    EXPECT_EQ(Text(0, COutgoingModel::kStatus), QStringLiteral("Waiting"));
    EXPECT_EQ(Text(0, COutgoingModel::kName), QStringLiteral("Ann"));
    EXPECT_EQ(Text(0, COutgoingModel::kService), QStringLiteral("Acme"));
    EXPECT_EQ(Text(0, COutgoingModel::kMessage), QStringLiteral("Lunch?"));
    EXPECT_EQ(OutgoingRowImage(*page), RowImage::Timed);

    // No refresh: the texts come from the page when asked.
    page->SetStatus(kStatusFailed, "No carrier", -5);
    EXPECT_EQ(Text(0, COutgoingModel::kStatus), QStringLiteral("No carrier"));
    EXPECT_EQ(OutgoingRowImage(*page), RowImage::Failed);
    page->SetStatus(kStatusWaiting, "", 0);
    page->SetWhen(kWhenNever);
    EXPECT_EQ(Text(0, COutgoingModel::kWhen), QStringLiteral("Never"));
    EXPECT_EQ(OutgoingRowImage(*page), RowImage::Failed);
}

TEST_F(OutgoingViewTest, RowsFollowQueueOrderAndStatusTexts) {
    world.Queue(carol, "c", kWhenLater);
    world.Queue(bob, "b", kWhenNow, std::nullopt, kStatusPending);
    world.Queue(ann, "a", kWhenAt, kTestNow + 60);
    Open();
    ASSERT_EQ(view->Model()->rowCount(), 3);
    EXPECT_EQ(Text(0, COutgoingModel::kWhen), QStringLiteral("Now"));
    EXPECT_EQ(Text(0, COutgoingModel::kStatus), QStringLiteral("Pending"));
    EXPECT_EQ(Text(1, COutgoingModel::kWhen), QStringLiteral("Later"));
    EXPECT_EQ(Text(2, COutgoingModel::kName), QStringLiteral("Ann"));
    world.queue->RowAt(0)->SetStatus(kStatusSending, "", 0);
    world.queue->RowAt(1)->SetStatus(kStatusAwaitingTime, "", 0);
    EXPECT_EQ(Text(0, COutgoingModel::kStatus), QStringLiteral("Sending"));
    EXPECT_EQ(Text(1, COutgoingModel::kStatus), QStringLiteral("Awaiting Time"));
    EXPECT_FALSE(view->Model()->data(view->Model()->index(5, 0), Qt::DisplayRole).isValid());
}

TEST_F(OutgoingViewTest, DeletingASelectionKeepsThePageBeingSent) {
    world.Queue(ann, "one", kWhenNow, std::nullopt, kStatusSending);
    world.Queue(bob, "two", kWhenNow, std::nullopt, kStatusPending);
    world.Queue(carol, "three", kWhenLater);
    Open();
    Select({0, 1, 2});
    view->DeleteSelected();
    ASSERT_EQ(world.prompts.asked.size(), 2u);
    EXPECT_EQ(world.prompts.asked[0], QString::fromLatin1(std::string(paging_texts::kConfirmDelete).c_str()));
    EXPECT_EQ(world.prompts.asked[1],
              QString::fromLatin1(std::string(paging_texts::kCannotDeleteSending).c_str()));
    ASSERT_EQ(world.outgoing->GetCount(), 1u);
    ASSERT_EQ(view->Model()->rowCount(), 1);
    EXPECT_EQ(Text(0, COutgoingModel::kName), QStringLiteral("Ann"));
}

TEST_F(OutgoingViewTest, DeleteCancelledOrWithoutSelectionDeletesNothing) {
    world.Queue(ann, "one", kWhenLater);
    Open();
    view->DeleteSelected();
    EXPECT_TRUE(world.prompts.asked.empty());
    world.prompts.answer = false;
    Select({0});
    view->DeleteSelected();
    EXPECT_EQ(world.prompts.asked.size(), 1u);
    EXPECT_EQ(world.outgoing->GetCount(), 1u);
}

TEST_F(OutgoingViewTest, SendLaterWithoutLaterPagesSaysSoAndStartsNothing) {
    world.Queue(ann, "timed", kWhenAt, kTestNow + 60);
    Open();
    view->SendLaterItems();
    ASSERT_EQ(world.prompts.asked.size(), 1u);
    EXPECT_EQ(world.prompts.asked[0], QStringLiteral("There are no 'Later' items to send."));
    EXPECT_EQ(world.runsStarted, 0);

    world.Queue(bob, "later", kWhenLater);
    view->SendLaterItems();
    EXPECT_EQ(world.runsStarted, 1);
    EXPECT_EQ(Text(0, COutgoingModel::kWhen), QStringLiteral("Now"));
    EXPECT_EQ(Text(0, COutgoingModel::kName), QStringLiteral("Bob"));
}

TEST_F(OutgoingViewTest, SendSelectedMakesTheSelectedPagesNowEvenAfterTheQueueResorted) {
    world.Queue(ann, "a", kWhenLater);
    world.Queue(bob, "b", kWhenLater);
    Open();
    Select({1});  // Bob
    // A page queued elsewhere sorts in front of the selection before the view hears of it.
    auto* message = new CPagerMessage("z");
    auto* page = new CPage(message, CSubscriber::MakeDetachedCopy(*carol), kWhenNow, std::nullopt, 0);
    message->AddRef();
    world.queue->AppendPage(page);
    view->SendSelected();
    EXPECT_EQ(world.runsStarted, 1);
    for (size_t i = 0; i < world.queue->RowCount(); ++i) {
        const CPage* p = world.queue->RowAt(i);
        const std::string name = p->GetSubscriber()->GetName();
        if (name == "Ann") {
            EXPECT_EQ(p->GetWhen(), kWhenLater);
        }
        if (name == "Bob") {
            EXPECT_EQ(p->GetWhen(), kWhenNow);
        }
    }
}

TEST_F(OutgoingViewTest, DueCheckTurnsDueAtPagesIntoNowAndStartsARun) {
    world.Queue(ann, "soon", kWhenAt, kTestNow + 30);
    Open();
    EXPECT_TRUE(view->DueTimer()->isActive());
    EXPECT_EQ(view->DueTimer()->interval(), 750);
    view->DueCheck();
    EXPECT_EQ(world.runsStarted, 0);
    world.clock.Advance(30);
    view->DueCheck();
    EXPECT_EQ(world.runsStarted, 1);
    EXPECT_EQ(Text(0, COutgoingModel::kWhen), QStringLiteral("Now"));
}

TEST_F(OutgoingViewTest, SelectionFollowsThePagesWhenTheQueueChanges) {
    world.Queue(bob, "b", kWhenLater);
    world.Queue(carol, "c", kWhenLater);
    Open();
    Select({1});                        // Carol
    world.Queue(ann, "a", kWhenLater);  // sorts before both
    ASSERT_EQ(view->SelectedRows(), std::vector<size_t>{2});
    EXPECT_EQ(Text(2, COutgoingModel::kName), QStringLiteral("Carol"));
}

TEST_F(OutgoingViewTest, SetResendRefusesPagesBeingSentOrFailed) {
    CPage* sending = world.Queue(ann, "a", kWhenNow, std::nullopt, kStatusSending);
    CPage* waiting = world.Queue(bob, "b", kWhenLater);
    Open();
    Select({0, 1});
    view->SetResend(3);
    EXPECT_EQ(waiting->GetResendTimes(), 3);
    EXPECT_EQ(sending->GetResendTimes(), 0);
    ASSERT_EQ(world.prompts.asked.size(), 1u);
    EXPECT_EQ(world.prompts.asked[0], QString::fromLatin1(window_texts::kCannotChangeSending));
}

TEST_F(OutgoingViewTest, ColumnWidthsDefaultSaveAndRestore) {
    Open();
    EXPECT_EQ(view->List()->header()->sectionSize(0), 150);
    EXPECT_EQ(view->List()->header()->sectionSize(4), 350);
    view->List()->header()->resizeSection(2, 77);
    view.reset();
    EXPECT_EQ(world.settings.GetProfileInt("Settings-OutgoingList", "Column3", 0), 77);
    Open();
    EXPECT_EQ(view->List()->header()->sectionSize(2), 77);
}

TEST_F(OutgoingViewTest, StatusLabelIsBoldAndShowsTheLine) {
    Open();
    view->SetStatusLabel(QStringLiteral("Dialing..."));
    EXPECT_EQ(view->StatusLabel()->text(), QStringLiteral("Dialing..."));
    EXPECT_TRUE(view->StatusLabel()->font().bold());
    EXPECT_GE(view->StatusLabel()->font().pointSizeF(), 9.0);
}

TEST_F(OutgoingViewTest, ListGrowsWithTheWindowAndButtonsKeepToTheBottom) {
    Open();
    view->resize(600, 400);
    view->show();
    const int listHeight = view->List()->height();
    view->resize(700, 600);
    QCoreApplication::processEvents();
    EXPECT_GT(view->List()->height(), listHeight + 150);
    EXPECT_GT(view->List()->width(), 600);
    EXPECT_GT(view->StatusLabel()->geometry().bottom(), 550);
}

}  // namespace
