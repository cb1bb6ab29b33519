// The message entry form: counts and Send, the recipient list, sending, inserts, spot pager.
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTest>

#include "archive/ob_list.h"
#include "directory/subscriber.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "tests/qt_support/model_check.h"
#include "tests/ui/app_fixture.h"
#include "ui/main_window/main_frame.h"
#include "ui/main_window/message_window.h"
#include "ui/message_entry/selection_list.h"
#include "ui/message_entry/signature_dialog.h"
#include "ui/message_entry/vorla_pro_view.h"

namespace {

class MessageForm : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteTestDirectory(Folder());
        ASSERT_TRUE(Start());
        view_ = View();
        ASSERT_NE(view_, nullptr);
        list_ = view_->SelectionList();
        CheckModel(list_->model());
        // The Outgoing tab's list, which the form's Send fills.
        auto* outgoing = MainFrameOf(*app_)->MessageTabs()->widget(1)->findChild<QAbstractItemView*>();
        ASSERT_NE(outgoing, nullptr);
        CheckModel(outgoing->model());
    }
    int RowOf(const QString& name) const {
        for (int i = 0; i < list_->model()->rowCount(); ++i)
            if (list_->model()->index(i, 0).data().toString() == name) return i;
        return -1;
    }
    void Select(const QString& name) {
        const int row = RowOf(name);
        ASSERT_GE(row, 0) << name.toStdString();
        list_->selectionModel()->select(list_->model()->index(row, 0), QItemSelectionModel::Select);
    }
    QStringList RowTexts() const {
        QStringList out;
        for (int i = 0; i < list_->model()->rowCount(); ++i)
            out << list_->model()->index(i, 0).data().toString();
        return out;
    }
    void ClickMargin(int row) {
        const QRect rect = list_->visualRect(list_->model()->index(row, 0));
        QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, QPoint(5, rect.center().y()));
    }
    std::vector<std::string> QueuedNames() const {
        std::vector<std::string> names;
        for (Serializable* item : *app_->GetOutgoingList())
            names.push_back(static_cast<CPage*>(item)->GetSubscriber()->GetName());
        return names;
    }

    CVorlaPro5View* view_ = nullptr;
    CSelectionListBox* list_ = nullptr;
};

TEST_F(MessageForm, SendIsEnabledOnlyWithTextAndARecipientAndTheCountsFollow) {
    EXPECT_FALSE(view_->SendButton()->isEnabled());
    view_->MessageField()->setPlainText(QStringLiteral("hello"));
    EXPECT_EQ(view_->CountLabel()->text(), QStringLiteral("5"));
    EXPECT_FALSE(view_->SendButton()->isEnabled()) << "no recipient yet";
    Select(QStringLiteral("Ann"));
    Select(QStringLiteral("Team"));
    EXPECT_TRUE(view_->SendButton()->isEnabled());
    EXPECT_EQ(view_->SelectionsLabel()->text(), QStringLiteral("Selections: 2"));
    view_->MessageField()->clear();
    EXPECT_FALSE(view_->SendButton()->isEnabled());
    EXPECT_EQ(view_->CountLabel()->text(), QStringLiteral("0"));
    // Enter with Send disabled does nothing.
    QTest::keyClick(view_->MessageField(), Qt::Key_Return);
    EXPECT_TRUE(app_->GetOutgoingList()->IsEmpty());
}

TEST_F(MessageForm, MarginClicksExpandAndCollapseGroupsWithoutSelecting) {
    EXPECT_EQ(RowTexts(), (QStringList{"Ann", "Bob", "Carol", "Empty", "Team"}));
    const int team = RowOf(QStringLiteral("Team"));
    ClickMargin(team);
    EXPECT_EQ(RowTexts(), (QStringList{"Ann", "Bob", "Carol", "Empty", "Team", "Ann", "Bob"}));
    EXPECT_TRUE(list_->SelectedRows().empty()) << "the margin never selects";
    // Collapse a group that has other rows below it: only its own lines go.
    ClickMargin(RowOf(QStringLiteral("Empty")));
    ClickMargin(team);
    EXPECT_EQ(RowTexts(), (QStringList{"Ann", "Bob", "Carol", "Empty", "Team"}));
    EXPECT_EQ(app_->GetDisplayList()->GetCount(), 5u);
    // A click on a member line beyond the margin is ignored.
    ClickMargin(team);
    const QRect member = list_->visualRect(list_->model()->index(team + 1, 0));
    QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, QPoint(60, member.center().y()));
    EXPECT_TRUE(list_->SelectedRows().empty());
}

TEST_F(MessageForm, KeyboardSearchStartsAfreshAfterTwoSeconds) {
    std::time_t now = 1000;
    view_->SetClock([&] { return now; });
    list_->setFocus();
    QTest::keyClicks(list_, QStringLiteral("b"));
    EXPECT_EQ(list_->currentIndex().row(), RowOf(QStringLiteral("Bob")));
    now += 1;
    QTest::keyClicks(list_, QStringLiteral("x"));  // "bx": no match, caret stays
    EXPECT_EQ(list_->currentIndex().row(), RowOf(QStringLiteral("Bob")));
    now += 3;
    QTest::keyClicks(list_, QStringLiteral("c"));
    EXPECT_EQ(list_->SearchPrefix(), "c");
    EXPECT_EQ(list_->currentIndex().row(), RowOf(QStringLiteral("Carol")));
    // Up and Down move the caret only, wrapping at the ends.
    QTest::keyClick(list_, Qt::Key_Home);
    QTest::keyClick(list_, Qt::Key_Up);
    EXPECT_EQ(list_->currentIndex().row(), list_->model()->rowCount() - 1);
    QTest::keyClick(list_, Qt::Key_Down);
    EXPECT_EQ(list_->currentIndex().row(), 0);
    EXPECT_TRUE(list_->SelectedRows().empty());
    // A prefix starting with a blank toggles the caret line's selection.
    now += 5;
    QTest::keyClick(list_, Qt::Key_Space);
    ASSERT_EQ(list_->SelectedRows().size(), 1u);
    QTest::keyClick(list_, Qt::Key_Space);
    EXPECT_TRUE(list_->SelectedRows().empty());
}

TEST_F(MessageForm, AGroupAndOneOfItsMembersGiveThatMemberOnePage) {
    view_->MessageField()->setPlainText(QStringLiteral("meeting at 3"));
    view_->OutgoingChoice()->setCurrentIndex(CVorlaPro5View::kLater);
    Select(QStringLiteral("Ann"));
    Select(QStringLiteral("Team"));
    view_->Send();
    EXPECT_EQ(QueuedNames(), (std::vector<std::string>{"Ann", "Bob"}));
    auto* page = static_cast<CPage*>(app_->GetOutgoingList()->GetAt(0));
    EXPECT_EQ(page->GetStatus(), kStatusWaiting);
    EXPECT_EQ(page->GetMessage()->GetRefCount(), 2) << "one message shared by both pages";
    // "Later" with ClearMessage on empties the form.
    EXPECT_TRUE(view_->MessageField()->toPlainText().isEmpty());
    EXPECT_TRUE(list_->SelectedRows().empty());
    EXPECT_EQ(view_->OutgoingChoice()->currentIndex(), CVorlaPro5View::kNow);
}

TEST_F(MessageForm, AGroupWithoutMembersQueuesNothingAndLeavesTheFormUsable) {
    view_->MessageField()->setPlainText(QStringLiteral("anyone?"));
    Select(QStringLiteral("Empty"));
    ASSERT_TRUE(view_->SendButton()->isEnabled());
    view_->Send();
    EXPECT_TRUE(app_->GetOutgoingList()->IsEmpty());
    EXPECT_TRUE(view_->MessageField()->isEnabled());
    EXPECT_EQ(app_->GetState(), CVorlaPro5App::kStateIdle);
}

TEST_F(MessageForm, AMessageWithACharacterOutsideWindows1252IsRefusedNotSentWithQuestionMarks) {
    QString error;
    view_->UserPrompts().error = [&](const QString& text) { error = text; };
    view_->MessageField()->setPlainText(QStringLiteral("call \u260e 5\u20ac"));
    Select(QStringLiteral("Ann"));
    view_->Send();
    EXPECT_TRUE(app_->GetOutgoingList()->IsEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("\u260e"))) << error.toStdString();
    EXPECT_EQ(view_->MessageField()->toPlainText(), QStringLiteral("call \u260e 5\u20ac"))
        << "the text stays to mend";
}

TEST_F(MessageForm, SignatureTokensUseTheFormatsAndAMissingSignatureCanBeMade) {
    view_->SetClock([] { return std::time_t(86400 * 365); });
    settings_->WriteProfileString("Preferences", "DateFormat", "%Y");
    settings_->WriteProfileString("Preferences", "TimeFormat", "[%M]");
    int asked = 0;
    view_->UserPrompts().yesNo = [&](const QString&) { return ++asked == 1; };
    view_->UserPrompts().signature = [] {
        return std::optional<QString>(QStringLiteral(" -- <DATE><DATE> <TIME>"));
    };
    view_->MessageField()->setPlainText(QStringLiteral("hi"));
    ASSERT_TRUE(view_->AppendSignature());
    EXPECT_EQ(view_->MessageField()->toPlainText(), QStringLiteral("hi -- 19711971 [00]"));
    EXPECT_EQ(settings_->GetProfileString("Preferences", "Signature", ""), " -- <DATE><DATE> <TIME>");

    // Without a signature and with No, nothing is appended.
    settings_->WriteProfileString("Preferences", "Signature", "");
    EXPECT_FALSE(view_->AppendSignature());
    EXPECT_EQ(view_->MessageField()->toPlainText(), QStringLiteral("hi -- 19711971 [00]"));
}

// A character the settings cannot store is refused at OK instead of being written as '?'.
TEST_F(MessageForm, TheSignatureDialogRefusesTextTheSettingsCannotStore) {
    SignatureDialog dialog(QStringLiteral("Ann \u260e"), view_);
    QStringList refusals;
    dialog.refuse = [&refusals](const QString& text) { refusals << text; };
    dialog.accept();
    EXPECT_EQ(refusals.size(), 1);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.Field()->setText(QStringLiteral("Zo\u00eb \u20ac"));
    dialog.accept();
    EXPECT_EQ(refusals.size(), 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(MessageForm, ATextFileWithWindowsLineEndsReplacesTheSelection) {
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write("one\r\ntwo\r\n");
    file.close();
    view_->MessageField()->setPlainText(QStringLiteral("[X]"));
    QTextCursor cursor = view_->MessageField()->textCursor();
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    view_->MessageField()->setTextCursor(cursor);
    ASSERT_TRUE(view_->InsertTextFile(file.fileName()));
    EXPECT_EQ(view_->MessageField()->toPlainText(), QStringLiteral("[one \ntwo \n]"));

    QString error;
    view_->UserPrompts().error = [&](const QString& text) { error = text; };
    EXPECT_FALSE(view_->InsertTextFile(QStringLiteral("/nonexistent/file.txt")));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(view_->MessageField()->toPlainText(), QStringLiteral("[one \ntwo \n]"));
}

TEST_F(MessageForm, RecycleLastMessageAndSpotPage) {
    view_->RecycleLastMessage();
    EXPECT_TRUE(view_->MessageField()->toPlainText().isEmpty()) << "no last message yet";
    app_->SetLastMessage("earlier text");
    view_->RecycleLastMessage();
    EXPECT_EQ(view_->MessageField()->toPlainText(), QStringLiteral("earlier text"));

    settings_->WriteProfileInt("Preferences", "SpotPage", 1);
    view_->ShowSpotPage(true);
    view_->UserPrompts().spotPage = [](QString& pin, int& service) {
        pin = QStringLiteral("777");
        service = 0;
        return true;
    };
    view_->SpotBox()->click();
    ASSERT_NE(view_->SpotSubscriber(), nullptr);
    EXPECT_EQ(view_->SpotSubscriber()->GetName(), "SpotPage: 777");
    EXPECT_EQ(view_->SpotSubscriber()->GetMaxLength(), "240");
    EXPECT_EQ(view_->SpotLabel()->text(), QStringLiteral("777@Acme"));
    EXPECT_TRUE(view_->SendButton()->isEnabled()) << "the spot pager alone is a recipient";
    EXPECT_EQ(view_->SelectionsLabel()->text(), QStringLiteral("Selections: 1"));
    view_->OutgoingChoice()->setCurrentIndex(CVorlaPro5View::kLater);
    view_->Send();
    EXPECT_EQ(QueuedNames(), (std::vector<std::string>{"SpotPage: 777"}));
    EXPECT_EQ(view_->SpotSubscriber(), nullptr) << "cleared with the form";
    EXPECT_EQ(view_->SpotLabel()->text(), QStringLiteral("None"));

    // A cancelled dialog leaves the box unticked.
    view_->UserPrompts().spotPage = [](QString&, int&) { return false; };
    view_->SpotBox()->click();
    EXPECT_FALSE(view_->SpotBox()->isChecked());
}

TEST_F(MessageForm, DroppedTextReplacesTheMessageAndEnterSends) {
    view_->MessageField()->setPlainText(QStringLiteral("old text"));
    QMimeData mime;
    mime.setText(QStringLiteral("dropped"));
    QWidget* target = view_->MessageField()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    EXPECT_EQ(view_->MessageField()->toPlainText(), QStringLiteral("dropped"));
    EXPECT_EQ(view_->CountLabel()->text(), QStringLiteral("7"));

    Select(QStringLiteral("Bob"));
    view_->OutgoingChoice()->setCurrentIndex(CVorlaPro5View::kLater);
    // Shift+Enter is a line break; Enter alone sends.
    QTest::keyClick(view_->MessageField(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(app_->GetOutgoingList()->IsEmpty());
    QTest::keyClick(view_->MessageField(), Qt::Key_Return);
    EXPECT_EQ(QueuedNames(), (std::vector<std::string>{"Bob"}));
}

TEST_F(MessageForm, AWordDraggedWithinTheFieldIsDroppedLikeTextNotAsTheMessage) {
    MessageEdit* field = view_->MessageField();
    field->setPlainText(QStringLiteral("hello big world"));
    QTextCursor word = field->textCursor();
    word.setPosition(6);
    word.setPosition(9, QTextCursor::KeepAnchor);
    field->setTextCursor(word);
    field->copy();  // the data a drag out of the field carries
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    QTextCursor end = field->textCursor();
    end.movePosition(QTextCursor::End);
    const QPoint at = field->cursorRect(end).center();
    QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(field->viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(field->viewport(), &move);
    QDropEvent drop(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(field->viewport(), &drop);
    EXPECT_EQ(field->toPlainText(), QStringLiteral("hello big worldbig"));
    field->undo();
    EXPECT_EQ(field->toPlainText(), QStringLiteral("hello big world"));
}

TEST_F(MessageForm, PreferencesAreAppliedAgainAfterTheSheetCloses) {
    EXPECT_TRUE(view_->SignatureButton()->isEnabled());
    EXPECT_TRUE(view_->SpotBox()->isHidden());
    settings_->WriteProfileInt("Preferences", "AutoSign", 1);
    settings_->WriteProfileInt("Preferences", "SpotPage", 1);
    app_->RefreshAfterPreferences();
    EXPECT_FALSE(view_->SignatureButton()->isEnabled());
    EXPECT_FALSE(view_->SpotBox()->isHidden());
}

TEST_F(MessageForm, ClosingIsRefusedWhileSendingAndTheFormComesBackAfterTheRun) {
    view_->MessageField()->setPlainText(QStringLiteral("now please"));
    Select(QStringLiteral("Carol"));
    view_->Send();
    // The directory's script is not in this program directory, so the run fails quickly.
    EXPECT_FALSE(view_->MessageField()->isEnabled());
    EXPECT_FALSE(view_->SendButton()->isEnabled());
    ASSERT_NE(app_->GetState(), CVorlaPro5App::kStateIdle);
    EXPECT_FALSE(app_->MainFrame()->close()) << "refused while a run is going on";
    EXPECT_TRUE(app_->MainFrame()->isVisible());
    ASSERT_TRUE(WaitFor(
        [&] { return app_->GetState() == CVorlaPro5App::kStateIdle && view_->MessageField()->isEnabled(); }));
    EXPECT_FALSE(view_->CancelButton()->isEnabled());
    EXPECT_TRUE(app_->GetErrorFlag());
    EXPECT_EQ(view_->MessageField()->toPlainText(), QStringLiteral("now please"))
        << "a failed run keeps the form";
    EXPECT_GT(view_->StatusList()->count(), 0);
    EXPECT_FALSE(app_->GetLogList()->IsEmpty()) << "the failure is logged";
}

}  // namespace
