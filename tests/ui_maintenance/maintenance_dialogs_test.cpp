// The maintenance windows driven as a user drives them, over a started application: what
// they change in the directory, what they ask, and what reaches the file at Close.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "archive/ob_list.h"
#include "directory/directory_edits.h"
#include "directory/directory_store.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "tests/child_process/qt_child_process.h"
#include "tests/qt_support/model_check.h"
#include "tests/ui/app_fixture.h"
#include "tests/ui_maintenance/answered_prompts.h"
#include "text/windows1252.h"
#include "ui/import/import_data_dialog.h"
#include "ui/import/translator_run.h"
#include "ui/maintenance/find_filter.h"
#include "ui/maintenance/group_dialog.h"
#include "ui/maintenance/message_dialog.h"
#include "ui/maintenance/preset_chooser.h"
#include "ui/maintenance/progress_window.h"
#include "ui/maintenance/record_views.h"
#include "ui/maintenance/subscriber_dialog.h"
#include "ui/maintenance/subscriber_model.h"
#include "ui/message_entry/selection_list.h"
#include "ui/message_entry/vorla_pro_view.h"

namespace {

template <class Record>
Record* Named(const CObList* list, const std::string& name) {
    for (Serializable* item : *list) {
        auto* record = As<Record>(item);
        if (record && record->GetName() == name) return record;
    }
    return nullptr;
}

class Maintenance : public AppTest, protected AnsweredPrompts {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteTestDirectory(Folder());
        ASSERT_TRUE(Start());
    }

    CSubscriber* Subscriber(const std::string& name) {
        return Named<CSubscriber>(app_->GetSubscriberList(), name);
    }
    CGroup* Group(const std::string& name) { return Named<CGroup>(app_->GetGroupList(), name); }
};

TEST_F(Maintenance, SubscriberSaveAddsModifiesAndRefusesDuplicates) {
    ServiceFields fields;
    fields.name = "Beta";
    auto* beta = new CService(fields);
    app_->GetServiceList()->AddTail(beta);
    SubscriberDialog dialog(*app_);
    CheckModel(dialog.Views()->Report()->model());
    Answer(dialog, /*modify=*/true);

    // Two rows selected: a new entry, no question.
    dialog.SelectSubscribers({Subscriber("Ann"), Subscriber("Bob")});
    dialog.PinField()->setText(QStringLiteral("2001"));
    dialog.NameField()->setText(QStringLiteral("Dan\tTab"));  // pasted: the directory's name rule refuses it
    EXPECT_FALSE(dialog.SaveButton()->isEnabled());
    dialog.NameField()->setText(QStringLiteral("Dan"));
    ASSERT_TRUE(dialog.SaveButton()->isEnabled());
    dialog.SaveButton()->click();
    EXPECT_EQ(alerts, 0);
    ASSERT_NE(Subscriber("Dan"), nullptr);
    EXPECT_EQ(dialog.Model()->rowCount(), 4);

    // One row selected, Modify: the record moves to the new service's list.
    dialog.SelectSubscribers({Subscriber("Carol")});
    EXPECT_FALSE(dialog.SaveButton()->isEnabled()) << "the entry equals the row";
    dialog.ServiceChoice()->setCurrentIndex(dialog.ServiceChoice()->findText(QStringLiteral("Beta")));
    dialog.SaveButton()->click();
    EXPECT_EQ(alerts, 1);
    CSubscriber* carol = Subscriber("Carol");
    ASSERT_NE(carol, nullptr);
    EXPECT_EQ(carol->GetService(), beta);
    EXPECT_GE(beta->GetSubscribers()->Find(carol), 0);
    EXPECT_LT(Named<CService>(app_->GetServiceList(), "Acme")->GetSubscribers()->Find(carol), 0);

    // A Modify whose name clashes is refused and changes nothing.
    dialog.SelectSubscribers({carol});
    dialog.NameField()->setText(QStringLiteral("ann"));
    dialog.SaveButton()->click();
    ASSERT_EQ(refusals.size(), 1);
    EXPECT_TRUE(refusals[0].contains(QStringLiteral("'ann' already exists")));
    EXPECT_EQ(carol->GetName(), "Carol");
    EXPECT_EQ(dialog.Model()->rowCount(), 4);
    EXPECT_GE(dialog.Model()->RowOf(carol), 0);
}

// A character the directory cannot hold (it keeps 8-bit text) is refused with a message
// instead of being saved as '?'; an accented name shows as typed in the duplicate message.
TEST_F(Maintenance, UnstorableCharactersAreRefusedAndAccentedNamesShowInMessages) {
    const QString lost = QStringLiteral("\u0141\u00f3d\u017a \u260e 5\u20ac");
    const size_t subscribers = app_->GetSubscriberList()->GetCount();
    {
        SubscriberDialog dialog(*app_);
        CheckModel(dialog.Views()->Report()->model());
        Answer(dialog, true);
        dialog.NameField()->setText(lost);
        dialog.PinField()->setText(QStringLiteral("2001"));
        dialog.SaveButton()->click();
        ASSERT_EQ(refusals.size(), 1);
        EXPECT_TRUE(refusals[0].contains(QStringLiteral("cannot store"))) << refusals[0].toStdString();
        EXPECT_EQ(app_->GetSubscriberList()->GetCount(), subscribers);

        SaveSubscriber(app_->Store(), nullptr, {"Zo\xEB", "2002", "80", Subscriber("Ann")->GetService()});
        dialog.Model()->Reload();
        refusals.clear();
        dialog.NameField()->setText(QStringLiteral("Zo\u00eb"));
        dialog.PinField()->setText(QStringLiteral("2003"));
        dialog.SaveButton()->click();
        EXPECT_EQ(refusals,
                  QStringList{QStringLiteral("A Subscriber with the name 'Zo\u00eb' already exists in the "
                                             "directory.  Please add only unique subscribers.")});
    }
    {
        GroupDialog groups(*app_);
        Answer(groups, true);
        refusals.clear();
        groups.NameField()->setText(lost);
        groups.MemberFilter()->Select({Subscriber("Carol")});
        groups.SaveButton()->click();
        EXPECT_EQ(refusals.size(), 1);
        EXPECT_EQ(Group(vorla::ToWindows1252(lost)), nullptr);
    }
    {
        MessageDialog messages(*app_);
        Answer(messages, true);
        refusals.clear();
        messages.TextField()->setPlainText(QStringLiteral("Call \U0001F4DE now"));
        messages.SaveButton()->click();
        EXPECT_EQ(refusals.size(), 1);
        EXPECT_TRUE(app_->GetPresetMessageList()->IsEmpty());
    }
}

TEST_F(Maintenance, DeletingTheLastMembersOfAGroupDeletesItAndTheFormForgetsThem) {
    ASSERT_NE(View(), nullptr);
    CheckModel(View()->SelectionList()->model());
    SubscriberDialog dialog(*app_);
    CheckModel(dialog.Views()->Report()->model());
    Answer(dialog, true);
    dialog.SelectSubscribers({Subscriber("Ann"), Subscriber("Bob")});
    dialog.DeleteButton()->click();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], QStringLiteral("Are you sure you want to delete the 2 selected item(s)?"));
    EXPECT_EQ(Group("Team"), nullptr);
    EXPECT_NE(Group("Empty"), nullptr) << "only groups the delete emptied go";
    for (Serializable* item : *app_->GetDisplayList()) {
        auto* row = As<CDisplayObject>(item);
        ASSERT_NE(row, nullptr);
        if (row->GetSubscriber()) {
            EXPECT_EQ(row->GetSubscriber()->GetName(), "Carol");
        }
    }
    EXPECT_EQ(View()->SelectionList()->Model()->rowCount(), app_->GetDisplayList()->GetCount());
}

TEST_F(Maintenance, TheProgressWindowShowsFromOneHundredRecords) {
    CService* acme = Named<CService>(app_->GetServiceList(), "Acme");
    auto fillTo = [&](int count) {
        for (int i = static_cast<int>(app_->GetSubscriberList()->GetCount()); i < count; ++i)
            SaveSubscriber(app_->Store(), nullptr, {"P" + std::to_string(i), std::to_string(i), "80", acme});
    };
    struct Case {
        int subscribers;
        int windows;
    };
    for (const Case& c : {Case{99, 0}, Case{100, 1}}) {
        fillTo(c.subscribers);
        const int before = ProgressWindow::TimesShown();
        SubscriberDialog dialog(*app_);
        EXPECT_EQ(ProgressWindow::TimesShown() - before, c.windows) << c.subscribers;
        EXPECT_EQ(dialog.Model()->rowCount(), c.subscribers);
    }
}

// Between the steps of a long delete nothing else runs (a bus call, a timer, a posted event):
// it would meet records half taken apart, a person already out of their groups who is still
// a member there and still in the directory.
TEST_F(Maintenance, NothingRunsBetweenTheStepsOfALongDelete) {
    CService* acme = Named<CService>(app_->GetServiceList(), "Acme");
    for (int i = 0; i < 150; ++i)
        SaveSubscriber(app_->Store(), nullptr, {"P" + std::to_string(i), std::to_string(i), "80", acme});
    SubscriberDialog dialog(*app_);
    CheckModel(dialog.Views()->Report()->model());
    Answer(dialog, true);
    std::vector<CSubscriber*> all;
    for (Serializable* item : *app_->GetSubscriberList())
        all.push_back(As<CSubscriber>(item));
    dialog.SelectSubscribers(all);
    bool sawHalfDone = false;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const CSubscriber* ann = Subscriber("Ann");
        sawHalfDone = sawHalfDone || (ann && ann->GetGroups()->IsEmpty());
    });
    tick.start(0);
    dialog.DeleteButton()->click();
    EXPECT_EQ(app_->GetSubscriberList()->GetCount(), 0u);
    EXPECT_FALSE(sawHalfDone);
}

TEST_F(Maintenance, FindNarrowsTheListAndKeepsHiddenSelections) {
    SubscriberDialog dialog(*app_);
    CheckModel(dialog.Views()->Report()->model());
    dialog.SelectSubscribers({Subscriber("Ann")});
    dialog.FindField()->setText(QStringLiteral("10"));  // every PIN
    EXPECT_EQ(dialog.Views()->Report()->model()->rowCount(), 3);
    dialog.FindField()->setText(QStringLiteral("BO"));
    EXPECT_EQ(dialog.Views()->Report()->model()->rowCount(), 1);
    EXPECT_EQ(dialog.Filter()->SelectedCount(), 0) << "Ann is out of sight: no command acts on her";
    dialog.FindField()->clear();
    EXPECT_EQ(dialog.Views()->Report()->model()->rowCount(), 3);
    EXPECT_EQ(dialog.Filter()->Selected(), std::vector<Serializable*>{Subscriber("Ann")});
}

// Clicks the row showing `text`, as the user does.
void ClickRow(QAbstractItemView* view, const QString& text, Qt::KeyboardModifiers modifiers = {}) {
    const QModelIndexList found =
        view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString() << " is not shown";
    view->scrollTo(found[0]);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, view->visualRect(found[0]).center());
}

// One maintenance window as a test drives it: its list, and what the entry area holds.
struct WindowUnderTest {
    std::unique_ptr<MaintenanceDialog> dialog;
    QAbstractItemView* list;
    std::function<QString()> entry;
    std::function<void()> edit;  // the user changes the entry area
};

class MaintenanceWindows : public Maintenance {
protected:
    void SetUp() override {
        Maintenance::SetUp();
        SaveMessage(app_->Store(), nullptr, "Running late");
        SaveMessage(app_->Store(), nullptr, "On my way");
    }
    std::vector<WindowUnderTest> Windows() {
        std::vector<WindowUnderTest> windows;
        auto* subscribers = new SubscriberDialog(*app_);
        windows.push_back({std::unique_ptr<MaintenanceDialog>(subscribers), subscribers->Views()->Report(),
                           [subscribers] { return subscribers->NameField()->text(); },
                           [subscribers] { subscribers->NameField()->setText(QStringLiteral("Edited")); }});
        auto* groups = new GroupDialog(*app_);
        windows.push_back({std::unique_ptr<MaintenanceDialog>(groups), groups->GroupList(),
                           [groups] {
                               return groups->NameField()->text() + QStringLiteral(" with ") +
                                      QString::number(groups->MemberFilter()->SelectedCount());
                           },
                           [groups] {
                               groups->NameField()->setText(QStringLiteral("Edited"));
                               groups->MemberFilter()->Select({});
                           }});
        auto* messages = new MessageDialog(*app_);
        windows.push_back({std::unique_ptr<MaintenanceDialog>(messages), messages->MessageList(),
                           [messages] { return messages->TextField()->toPlainText(); },
                           [messages] { messages->TextField()->setPlainText(QStringLiteral("Edited")); }});
        CheckModel(groups->MemberList()->model());
        for (WindowUnderTest& w : windows) {
            CheckModel(w.list->model());
            Answer(*w.dialog, /*modify=*/true);
            w.dialog->show();
        }
        return windows;
    }
};

// A row selected and then filtered out is not part of what Delete and Save act on, and a plain
// click on a row in sight chooses that row alone.
TEST_F(MaintenanceWindows, CommandsActOnlyOnTheRowsInSight) {
    struct Case {
        QString first, find, second;
        std::function<bool()> firstStays;
    };
    const Case cases[] = {
        {"Ann", "Bo", "Bob", [this] { return Subscriber("Ann") != nullptr; }},
        {"Team", "Emp", "Empty", [this] { return Group("Team") != nullptr; }},
        {"Running late", "way", "On my way",
         [this] {
             const CObList* messages = app_->GetPresetMessageList();
             return messages->GetCount() == 1 &&
                    As<CMessage>(messages->GetHead())->GetText() == "Running late";
         }},
    };
    std::vector<WindowUnderTest> windows = Windows();
    for (size_t i = 0; i < windows.size(); ++i) {
        const Case& c = cases[i];
        WindowUnderTest& w = windows[i];
        const std::string what = w.dialog->windowTitle().toStdString();
        ClickRow(w.list, c.first);
        QTest::keyClicks(w.dialog->FindField(), c.find);
        ClickRow(w.list, c.second);
        QTest::keyClick(w.dialog->FindField(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w.dialog->FindField(), Qt::Key_Delete);
        EXPECT_EQ(w.list->selectionModel()->selectedRows().size(), 1) << what << ": the click chose one row";
        QTest::keyClicks(w.dialog->FindField(), c.find);
        questions.clear();
        w.dialog->DeleteButton()->click();
        ASSERT_EQ(questions.size(), 1) << what;
        EXPECT_EQ(questions[0], QStringLiteral("Are you sure you want to delete the 1 selected item(s)?"))
            << what;
        EXPECT_TRUE(c.firstStays()) << what;
    }
}

// Typing in a find field narrows the list and nothing else: the entry being typed stays.
TEST_F(MaintenanceWindows, TypingInFindLeavesTheEntryAlone) {
    const QString first[] = {"Ann", "Team", "Running late"};
    std::vector<WindowUnderTest> windows = Windows();
    for (size_t i = 0; i < windows.size(); ++i) {
        WindowUnderTest& w = windows[i];
        const std::string what = w.dialog->windowTitle().toStdString();
        ClickRow(w.list, first[i]);
        w.edit();
        const QString typed = w.entry();
        for (const char* text : {"x", "", "a"}) {
            w.dialog->FindField()->setText(QString::fromLatin1(text));
            EXPECT_EQ(w.entry().toStdString(), typed.toStdString()) << what << " find " << text;
        }
    }
    auto* groups = static_cast<GroupDialog*>(windows[1].dialog.get());
    groups->MemberFilter()->Select({Subscriber("Carol")});
    QTest::keyClicks(groups->MemberFindField(), QStringLiteral("Bo"));
    EXPECT_EQ(groups->MemberFilter()->Selected(), std::vector<Serializable*>{Subscriber("Carol")})
        << "a member out of sight is still chosen";
}

// Tab goes through the entry fields in the order they stand before it reaches the find field,
// and the member list has a key of its own.
TEST_F(MaintenanceWindows, TheKeyboardReachesTheEntryFieldsFirst) {
    std::vector<WindowUnderTest> windows = Windows();
    auto* subscribers = static_cast<SubscriberDialog*>(windows[0].dialog.get());
    auto* groups = static_cast<GroupDialog*>(windows[1].dialog.get());
    auto* messages = static_cast<MessageDialog*>(windows[2].dialog.get());
    const std::vector<std::vector<QWidget*>> entries = {
        {subscribers->NameField(), subscribers->PinField(), subscribers->CharactersChoice(),
         subscribers->ServiceChoice()},
        {groups->NameField(), groups->MemberFindField(), groups->MemberList()},
        {messages->TextField()},
    };
    for (size_t i = 0; i < windows.size(); ++i) {
        MaintenanceDialog& dialog = *windows[i].dialog;
        std::vector<QWidget*> order;
        for (QWidget* w = dialog.nextInFocusChain(); w != &dialog; w = w->nextInFocusChain())
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&dialog) && !w->focusProxy())
                order.push_back(w);
        auto at = [&](QWidget* w) {
            if (w->focusProxy()) w = w->focusProxy();
            return std::find(order.begin(), order.end(), w) - order.begin();
        };
        const auto find = at(dialog.FindField());
        for (size_t f = 0; f < entries[i].size(); ++f) {
            EXPECT_LT(at(entries[i][f]), find) << dialog.windowTitle().toStdString() << " field " << f;
            if (f > 0) {
                EXPECT_LT(at(entries[i][f - 1]), at(entries[i][f])) << dialog.windowTitle().toStdString();
            }
        }
    }
    groups->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(groups));
    QTest::keyClick(groups, Qt::Key_U, Qt::AltModifier);
    EXPECT_TRUE(groups->MemberList()->hasFocus()) << "Alt+U goes to the subscribers";
}

TEST_F(MaintenanceWindows, TheSelectedCountFollowsADelete) {
    std::vector<WindowUnderTest> windows = Windows();
    auto* dialog = static_cast<SubscriberDialog*>(windows[0].dialog.get());
    ClickRow(dialog->Views()->Report(), QStringLiteral("Ann"));
    ClickRow(dialog->Views()->Report(), QStringLiteral("Bob"), Qt::ControlModifier);
    EXPECT_EQ(dialog->SelectedLabel()->text(), QStringLiteral("2 selected"));
    dialog->DeleteButton()->click();
    EXPECT_EQ(dialog->SelectedLabel()->text(), QStringLiteral("0 selected"));
}

// A length picked from the Characters list changes the selected person's split as one typed does.
TEST_F(MaintenanceWindows, APickedCharactersValueModifiesTheSubscriber) {
    std::vector<WindowUnderTest> windows = Windows();
    auto* dialog = static_cast<SubscriberDialog*>(windows[0].dialog.get());
    ClickRow(dialog->Views()->Report(), QStringLiteral("Ann"));
    ASSERT_EQ(dialog->CharactersChoice()->currentText(), QStringLiteral("80"));
    EXPECT_FALSE(dialog->SaveButton()->isEnabled());
    dialog->CharactersChoice()->setFocus();
    QTest::keyClick(dialog->CharactersChoice(), Qt::Key_Down);
    ASSERT_EQ(dialog->CharactersChoice()->currentText(), QStringLiteral("132"));
    ASSERT_TRUE(dialog->SaveButton()->isEnabled());
    dialog->SaveButton()->click();
    EXPECT_EQ(Subscriber("Ann")->GetMaxLength(), "132");
}

// A split the Characters list does not hold stays the person's when something else is modified.
TEST_F(MaintenanceWindows, AModifyKeepsASplitTheListDoesNotHold) {
    Subscriber("Ann")->SetMaxLength("77");
    std::vector<WindowUnderTest> windows = Windows();
    auto* dialog = static_cast<SubscriberDialog*>(windows[0].dialog.get());
    ClickRow(dialog->Views()->Report(), QStringLiteral("Ann"));
    EXPECT_EQ(dialog->CharactersChoice()->currentText(), QStringLiteral("77"));
    dialog->PinField()->setText(QStringLiteral("1009"));
    dialog->SaveButton()->click();
    EXPECT_EQ(Subscriber("Ann")->GetPIN(), "1009");
    EXPECT_EQ(Subscriber("Ann")->GetMaxLength(), "77");
}

TEST_F(Maintenance, EnterInThePresetChooserTakesTheHighlightedMessage) {
    SaveMessage(app_->Store(), nullptr, "Running late");
    PresetChooser chooser(app_->GetPresetMessageList(), app_->Settings());
    CheckModel(chooser.List()->model());
    chooser.show();
    chooser.List()->setCurrentIndex(chooser.List()->model()->index(0, 0));
    QTest::keyClick(chooser.List(), Qt::Key_Return);
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    EXPECT_EQ(chooser.Chosen().value_or("(none)"), "Running late");
}

TEST_F(Maintenance, GroupAndMessageChangesReachTheFileAtClose) {
    {
        GroupDialog groups(*app_);
        CheckModel(groups.GroupList()->model());
        Answer(groups, true);
        groups.NameField()->setText(QStringLiteral("Pair"));
        groups.MemberFilter()->Select({Subscriber("Carol"), Subscriber("Bob")});
        groups.SaveButton()->click();
        ASSERT_NE(Group("Pair"), nullptr);
        EXPECT_EQ(Group("Pair")->GetMembers()->GetCount(), 2u);
        EXPECT_TRUE(groups.CloseDialog());
    }
    {
        MessageDialog messages(*app_);
        CheckModel(messages.MessageList()->model());
        Answer(messages, true);
        messages.TextField()->setPlainText(QStringLiteral("Back at "));
        messages.TextField()->moveCursor(QTextCursor::End);
        messages.TimeButton()->click();
        messages.SaveButton()->click();
        // An entry not saved yet: Close asks, and Yes keeps the dialog open.
        messages.TextField()->setPlainText(QStringLiteral("unsaved"));
        EXPECT_FALSE(messages.CloseDialog());
        messages.TextField()->clear();
        EXPECT_TRUE(messages.CloseDialog());
    }
    QProcess dump;
    vorla::testing::EndWithTest(dump);
    dump.start(QStringLiteral(VORLA_BIN_DIR "/vlgtool"),
               {QStringLiteral("dump"), QString::fromStdString(FilePath("Vorla Pro.vlg"))});
    ASSERT_TRUE(dump.waitForFinished(10000));
    const QString json = QString::fromUtf8(dump.readAllStandardOutput());
    EXPECT_TRUE(json.contains(QStringLiteral("Back at <TIME>"))) << json.toStdString();
    EXPECT_TRUE(json.contains(QStringLiteral("\"Pair\""))) << json.toStdString();
}

// A save that fails is said at once, with the document's texts, when a window that changed
// the directory closes and after an import merged records.
TEST_F(Maintenance, AFailedSaveIsSaidWhenTheWindowClosesAndAfterAnImport) {
    // A folder in the file's place: the save cannot replace it, as with a file opened elsewhere.
    std::filesystem::remove(FilePath("Vorla Pro.vlg"));
    std::filesystem::create_directory(FilePath("Vorla Pro.vlg"));
    const QStringList failed{QStringLiteral("Failed to save document.")};
    GroupDialog groups(*app_);
    Answer(groups, true);
    groups.NameField()->setText(QStringLiteral("Pair"));
    groups.MemberFilter()->Select({Subscriber("Carol")});
    groups.SaveButton()->click();
    EXPECT_TRUE(groups.CloseDialog());
    EXPECT_EQ(refusals, failed);

    refusals.clear();
    vorla::TranslatorRun run;
    run.outcome = vorla::TranslatorRun::Outcome::Merged;
    vorla::FinishTranslatorRun(*app_, run, [this](const QString& text) { refusals << text; });
    EXPECT_EQ(refusals, failed);
}

TEST_F(Maintenance, ThePresetChooserReplacesTokensWithNow) {
    SaveMessage(app_->Store(), nullptr, "Due <DATE> at <TIME>");
    settings_->WriteProfileString("Preferences", "DateFormat", "%Y-%m-%d");
    settings_->WriteProfileString("Preferences", "TimeFormat", "%H.%M");
    PresetChooser chooser(app_->GetPresetMessageList(), app_->Settings());
    const std::time_t now = std::time(nullptr);
    chooser.Choose(0);
    ASSERT_TRUE(chooser.Chosen().has_value());
    char expected[64];
    std::strftime(expected, sizeof expected, "Due %Y-%m-%d at %H.%M", std::localtime(&now));
    EXPECT_EQ(*chooser.Chosen(), expected);
}

}  // namespace

namespace {

TEST_F(Maintenance, TheFormsFindFieldNarrowsTheRecipientsAndKeepsSelections) {
    ASSERT_NE(View(), nullptr);
    CSelectionListBox* list = View()->SelectionList();
    auto shown = [list] {
        std::vector<std::string> names;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            if (!list->isRowHidden(row))
                names.push_back(list->model()->index(row, 0).data().toString().toStdString());
        return names;
    };
    const size_t all = shown().size();
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::Select);  // Ann
    View()->RecipientFind()->setText(QStringLiteral("CAR"));
    EXPECT_EQ(shown(), std::vector<std::string>{"Carol"});
    EXPECT_EQ(list->SelectedRows().size(), 1u) << "Ann stays selected out of sight";
    View()->RecipientFind()->setText(QStringLiteral("1002"));
    EXPECT_EQ(shown(), std::vector<std::string>{"Bob"});
    View()->RecipientFind()->clear();
    EXPECT_EQ(shown().size(), all);
}

// The view type chosen from the list's menu shows at once and is the one the window opens with
// next time.
TEST_F(Maintenance, TheChosenViewTypeShowsAndIsKept) {
    {
        SubscriberDialog dialog(*app_);
        QAction* list = nullptr;
        for (QAction* action : dialog.Views()->ViewMenu()->Menu()->actions())
            if (action->data().toInt() == RecordViews::kList) list = action;
        ASSERT_NE(list, nullptr);
        list->trigger();
        EXPECT_TRUE(dialog.Views()->Icons()->isVisibleTo(&dialog));
        EXPECT_FALSE(dialog.Views()->Report()->isVisibleTo(&dialog));
        EXPECT_EQ(dialog.Views()->Icons()->flow(), QListView::TopToBottom);
    }
    SubscriberDialog again(*app_);
    EXPECT_TRUE(again.Views()->Icons()->isVisibleTo(&again));
    EXPECT_TRUE(again.Views()->ViewMenu()->Menu()->actions()[2]->isChecked()) << "List is checked";
}

// A click in an icon view selects the whole row, so the window counts it and loads the record.
TEST_F(Maintenance, AClickInAnIconViewSelectsTheRecord) {
    SubscriberDialog dialog(*app_);
    dialog.Views()->SetViewType(RecordViews::kSmallIcons);
    dialog.show();
    QListView* icons = dialog.Views()->Icons();
    const QModelIndex bob = icons->model()->index(dialog.Model()->RowOf(Subscriber("Bob")), 0);
    QTest::mouseClick(icons->viewport(), Qt::LeftButton, {}, icons->visualRect(bob).center());
    EXPECT_EQ(dialog.Filter()->SelectedCount(), 1);
    EXPECT_EQ(dialog.NameField()->text(), QStringLiteral("Bob"));
}

// Removing rows closes them up without sorting again: the others keep their order, the keys
// made before stay in step with them, and a later sort by any column is still right.
TEST(SubscriberModelTest, RemovedRowsCloseUpAndLaterSortsStayRight) {
    std::vector<std::unique_ptr<CSubscriber>> owned;
    CObList list;
    for (const auto& [name, pin] : std::vector<std::pair<const char*, const char*>>{
             {"eve", "5"}, {"Dan", "4"}, {"cat", "3"}, {"Bob", "2"}, {"amy", "1"}}) {
        owned.push_back(std::make_unique<CSubscriber>(name, pin, "", nullptr));
        list.AddTail(owned.back().get());
    }
    SubscriberModel model;
    CheckModel(&model);
    model.SetList(&list);
    model.Sort(kSubscriberPin);
    model.Sort(kSubscriberName);                     // keys of both columns made before the removal
    model.Remove({owned[2].get(), owned[4].get()});  // cat, amy
    auto names = [&model] {
        std::vector<std::string> shown;
        for (int row = 0; row < model.rowCount(); ++row)
            shown.push_back(model.SubscriberAt(row)->GetName());
        return shown;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"Bob", "Dan", "eve"}));
    EXPECT_EQ(model.RowOf(owned[2].get()), -1);
    model.Sort(kSubscriberPin);
    EXPECT_EQ(names(), (std::vector<std::string>{"Bob", "Dan", "eve"}));
    model.Sort(kSubscriberName);
    model.Sort(kSubscriberPin);
    const QPersistentModelIndex dan = model.index(model.RowOf(owned[1].get()), 1);
    owned[0]->SetPIN("0");
    model.Resort();
    EXPECT_EQ(names(), (std::vector<std::string>{"eve", "Bob", "Dan"}));
    EXPECT_EQ(dan.row(), 2) << "a selection follows its record";
    EXPECT_EQ(dan.column(), 1);
}

// The model orders rows three ways (ranks that are the rows' places, a counting pass, the
// radix sort); each must give the stable order the column rules give, from whatever order
// the clicks before left: unique and repeated names, repeated PINs and lengths.
TEST(SubscriberModelTest, EveryClickGivesTheStableOrderOfTheColumn) {
    for (bool uniqueNames : {true, false}) {
        std::vector<std::unique_ptr<CSubscriber>> owned;
        CObList list;
        uint32_t seed = 3;
        auto next = [&seed](uint32_t n) { return (seed = seed * 1103515245u + 12345u) / 65536 % n; };
        for (int i = 0; i < 400; ++i) {
            const std::string name = "n" + std::to_string(uniqueNames ? i : static_cast<int>(next(50)));
            owned.push_back(std::make_unique<CSubscriber>(name, std::to_string(next(30)),
                                                          std::to_string(next(900)), nullptr));
            list.AddTail(owned.back().get());
        }
        SubscriberModel model;
        CheckModel(&model);
        model.SetList(&list);
        std::vector<CSubscriber*> expected;
        for (int row = 0; row < model.rowCount(); ++row)
            expected.push_back(model.SubscriberAt(row));
        for (int column :
             {kSubscriberPin, kSubscriberName, kSubscriberSplit, kSubscriberPin, kSubscriberName}) {
            SortSubscribers(expected, column);
            model.Sort(column);
            std::vector<CSubscriber*> shown;
            for (int row = 0; row < model.rowCount(); ++row)
                shown.push_back(model.SubscriberAt(row));
            ASSERT_EQ(shown, expected)
                << "column " << column << (uniqueNames ? ", unique names" : ", shared names");
        }
    }
}

}  // namespace
