// The main window's remaining commands in the running program.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include <fstream>

#include "tests/ui/app_fixture.h"
#include "ui/app/command_ids.h"
#include "ui/frame_commands/about_box.h"
#include "ui/frame_commands/mail_directory.h"
#include "ui/frame_commands/register_frame_commands.h"
#include "ui/frame_commands/tip_dialog.h"
#include "ui/frame_commands/user_guide.h"
#include "ui/main_window/main_frame.h"

namespace {
class FrameCommands : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteTestDirectory(Folder());
        // The guide and the mailed lists go to the cache folder: a temporary one here.
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(Folder() + "/cache"));
    }
};

QStringList WindowListTexts(QMenu* menu, QAction** checked) {
    QStringList texts;
    bool inList = false;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            inList = true;
            continue;
        }
        if (!inList || !action->isCheckable()) continue;
        texts << action->text();
        if (action->isChecked()) *checked = action;
    }
    return texts;
}
}  // namespace

TEST_F(FrameCommands, WindowMenuListsTheChildWindowsAndChecksTheActiveOne) {
    ASSERT_TRUE(Start());
    CMainFrame* frame = MainFrameOf(*app_);
    auto* other = new QWidget;
    other->setWindowTitle(QStringLiteral("R&D list"));
    QMdiSubWindow* sub = frame->AddChild(other);
    frame->MdiArea()->setActiveSubWindow(sub);
    frame->UpdateWindowMenu();
    QAction* checked = nullptr;
    const QStringList texts = WindowListTexts(frame->WindowMenu(), &checked);
    ASSERT_EQ(texts, (QStringList{QStringLiteral("&1 Message Window"), QStringLiteral("&2 R&&D list")}));
    ASSERT_NE(checked, nullptr);
    EXPECT_EQ(checked->text(), texts[1]);

    // Choosing an entry brings that window to the front; the list is made afresh each time.
    for (QAction* action : frame->WindowMenu()->actions())
        if (action->text() == texts[0]) action->trigger();
    EXPECT_EQ(frame->MdiArea()->activeSubWindow(), frame->MessageWindow());
    frame->UpdateWindowMenu();
    EXPECT_EQ(WindowListTexts(frame->WindowMenu(), &checked).size(), 2);
    EXPECT_EQ(checked->text(), texts[0]);
}

TEST_F(FrameCommands, AboutNamesTheVersionsAndTheLibrariesLicences) {
    ASSERT_TRUE(Start());
    const QString text = AboutText(*app_);
    for (const char* part : {"Version 2.0", "Rkl32 v2.0", "Free memory: ", "Free disk space", "Qt 6",
                             "GNU Lesser General Public License", "Hunspell"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(part))) << part << "\n" << text.toStdString();
}

TEST_F(FrameCommands, TipsGoOnFromWhereTheyStoppedAndTheStartupBoxIsKept) {
    std::ofstream(FilePath("TIPS.TXT")) << "; ours\nfirst tip\nsecond tip\n";
    ASSERT_TRUE(Start());
    EXPECT_TRUE(CTipDialog::ShownAtStartup(*settings_));
    {
        CTipDialog dialog(*settings_, app_->ProgramDir());
        EXPECT_EQ(dialog.CurrentTip(), "first tip");
        dialog.ShowNextTip();
        EXPECT_EQ(dialog.CurrentTip(), "second tip");
        dialog.StartupBox()->setChecked(false);
        dialog.reject();
    }
    EXPECT_FALSE(CTipDialog::ShownAtStartup(*settings_));
    {
        CTipDialog dialog(*settings_, app_->ProgramDir());
        EXPECT_EQ(dialog.CurrentTip(), "first tip");  // round again
        dialog.reject();
    }
    // An edited file starts at its first tip.
    settings_->WriteProfileString("Tip", "TimeStamp", "another time");
    CTipDialog dialog(*settings_, app_->ProgramDir());
    EXPECT_EQ(dialog.CurrentTip(), "first tip");
    dialog.ShowNextTip();
    EXPECT_EQ(dialog.CurrentTip(), "second tip");
}

TEST_F(FrameCommands, BuiltInTipsAndGuideShipInsideTheProgram) {
    ASSERT_TRUE(Start());
    CTipDialog dialog(*settings_, app_->ProgramDir());
    EXPECT_FALSE(dialog.CurrentTip().isEmpty());
    EXPECT_FALSE(dialog.CurrentTip().startsWith(QStringLiteral("There are no tips")));
    const QString guide = UserGuideFile();
    ASSERT_FALSE(guide.isEmpty());
    QFile file(guide);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray html = file.readAll();
    EXPECT_TRUE(html.contains("id=\"using-help\""));
    EXPECT_TRUE(html.contains("Send Failed Messages Every"));
}

TEST_F(FrameCommands, SendMailsTheListsOrIsHiddenWithoutAMailHandler) {
    ASSERT_TRUE(Start());  // no handler registered: the command is not offered
    EXPECT_FALSE(MainFrameOf(*app_)->Action(cmd::kSendMail)->isVisible());

    QString program;
    QStringList arguments;
    ASSERT_TRUE(MailDirectory(*app_, QStringLiteral("/usr/bin/xdg-email"),
                              [&](const QString& p, const QStringList& a) {
                                  program = p;
                                  arguments = a;
                                  return true;
                              }));
    EXPECT_EQ(program, "/usr/bin/xdg-email");
    const qsizetype attach = arguments.indexOf(QStringLiteral("--attach"));
    ASSERT_GE(attach, 0);
    QFile attachment(arguments.value(attach + 1));
    ASSERT_TRUE(attachment.open(QIODevice::ReadOnly));
    const QByteArray text = attachment.readAll();
    EXPECT_TRUE(text.contains("Ann\t1001\t80\tAcme")) << text.toStdString();

    EXPECT_FALSE(MailDirectory(*app_, QStringLiteral("xdg-email"),
                               [](const QString&, const QStringList&) { return false; }));
}
