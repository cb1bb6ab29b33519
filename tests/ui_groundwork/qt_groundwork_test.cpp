#include "platform/program_directory_lock.h"
#include "settings/qt_settings_store.h"
#include "settings/settings_keys.h"
#include "settings/window_placement.h"
#include "tests/child_process/qt_child_process.h"
#include "text/windows1252.h"
#include "ui/common/pic_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorla {
namespace {

TEST(Windows1252, EveryByteSurvivesARoundTripAndTheHighRangeIsNotLatin1) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    bool lossy = true;
    EXPECT_EQ(ToWindows1252(FromWindows1252(all), &lossy), all);
    EXPECT_FALSE(lossy);

    EXPECT_EQ(FromWindows1252("\x80\x93\x94\x99\xe9"), QString::fromUtf8("\u20ac\u201c\u201d\u2122\u00e9"));
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("\u2014 \u0160")), "\x97 \x8a");

    EXPECT_EQ(ToWindows1252(QString::fromUtf8("a\u2713b\U0001F600c"), &lossy), "a?b?c");
    EXPECT_TRUE(lossy);
}

TEST(QtSettingsStore, LivesInTheUsersConfigFolderUnderQuillon) {
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    ASSERT_FALSE(config.isEmpty());
    QtSettingsStore store;
    EXPECT_EQ(store.FileName(), QDir(config).filePath("Quillon/Vorla Pro.conf"));
    ASSERT_TRUE(store.WriteProfileInt("Preferences", "ToolBarState", 0));
    EXPECT_TRUE(QFile::exists(store.FileName()));  // written at once, not at exit
}

class QtSettingsFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("settings.conf"); }
};

TEST_F(QtSettingsFile, ValuesSurviveReloadWithBlanksCaseAndWindows1252Text) {
    {
        QtSettingsStore store(path());
        EXPECT_EQ(store.GetProfileInt("Preferences", "StatusBarState", 1), 1);
        EXPECT_EQ(store.GetProfileString("Preferences", "DateFormat", "none"), "none");
        ASSERT_TRUE(store.WriteProfileInt("Preferences", "MLRed", -75));
        ASSERT_TRUE(
            store.WriteProfileString("Settings-SubscriberList", "Column Widths", "Caf\xe9 \x80 | 1,2"));
        ASSERT_TRUE(store.WriteProfileString("Tip", "TimeStamp", "@Variant(odd)"));
        WindowPlacement p;
        p.normalPosition = {-8, -8, 1032, 776};
        ASSERT_TRUE(WriteWindowPlacement(store, "MainWindowPos", p));
    }
    QtSettingsStore reread(path());
    EXPECT_EQ(reread.GetProfileInt("preferences", "mlred", 0), -75);
    EXPECT_EQ(reread.GetProfileString("SETTINGS-SUBSCRIBERLIST", "column widths", ""), "Caf\xe9 \x80 | 1,2");
    EXPECT_EQ(reread.GetProfileString("Tip", "TimeStamp", ""), "@Variant(odd)");
    WindowPlacement back;
    ASSERT_TRUE(ReadWindowPlacement(reread, "MainWindowPos", back));
    EXPECT_EQ(back.normalPosition, (PlacementRect{-8, -8, 1032, 776}));

    // A write in another case updates the existing value instead of adding a second one.
    ASSERT_TRUE(reread.WriteProfileInt("PREFERENCES", "mlRED", 10));
    QSettings raw(path(), QSettings::IniFormat);
    EXPECT_EQ(raw.childGroups().filter("preferences", Qt::CaseInsensitive).size(), 1);
    raw.beginGroup("Preferences");
    EXPECT_EQ(raw.childKeys().filter("mlred", Qt::CaseInsensitive), QStringList{"MLRed"});
    EXPECT_EQ(raw.value("MLRed").toInt(), 10);
}

// The settings files users already have, as this program has always written them. Every entry
// of the settings table must be found here under its exact spelling: a renamed entry would
// quietly drop the users' saved value and fall back to the default. (QSettings keeps a group
// named "General" as "[%General]", its root being "[General]".)
constexpr char kExistingUsersFile[] = R"([Defaults]
Baud=kept
CurrentRKL=kept
DefaultService=kept
DialMode=kept
Handshake=kept
IsTAPI=4242
Modem=kept
ModemInit=kept
ModemPort=kept
Parity=kept
PermanentLineID=4242
Split=4242
UsePrefix=4242

[%General]
BarLayout=kept

[MessageFont]
FaceName=kept
Height=4242
Italic=4242
PitchAndFamily=4242
Underline=4242
Weight=4242

[Preferences]
AutoSign=4242
AutomationIdleSeconds=4242
ClearMessage=4242
DateFormat=kept
DialPrefix=kept
EntryWindowPos=kept
LogActive=4242
LogToDisk=4242
LogToolBarState=kept
LogVisible=4242
LogWindowPos=kept
MLBlue=4242
MLGreen=4242
MLRed=4242
MainMinX=4242
MainMinY=4242
MainWindowPos=kept
Message%20Tool%20Bar=kept
OtherTips=4242
RememberFailed=4242
Resend=4242
ResendSeconds=4242
ResendTimes=4242
SendUpperCase=4242
Setup=4242
Signature=kept
SmallToolbar=4242
SpotPage=4242
StatusBarState=4242
TimeFormat=kept
Tips=4242
ToolBarState=4242

[Settings-LogWindow]
ListColumn=4242
SortColumn=4242
SortOrder=4242
ViewType=4242

[Speller]
SpellOptions=4242

[Tip]
FilePos=4242
StartUp=4242
TimeStamp=kept
)";

TEST_F(QtSettingsFile, EveryTableEntryKeepsTheSpellingOfExistingFilesAndItsDefault) {
    const QString existingPath = dir.filePath("existing.conf");
    {
        QFile file(existingPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kExistingUsersFile);
    }
    std::vector<IntSetting> ints;
    std::vector<TextSetting> texts;
    for (const IntSetting* s : setting::kIntSettings)
        ints.push_back(*s);
    for (const TextSetting* s : setting::kTextSettings)
        texts.push_back(*s);
    for (const IntSetting* s : setting::kFontIntSettings)
        ints.push_back(s->In(setting::kMessageFontSection));
    for (const TextSetting* s : setting::kFontTextSettings)
        texts.push_back(s->In(setting::kMessageFontSection));
    for (const IntSetting* s : setting::kListWindowSettings)
        ints.push_back(s->In(setting::kLogWindowSection));

    QtSettingsStore existing(existingPath);
    QtSettingsStore fresh(path());
    for (const IntSetting& s : ints) {
        SCOPED_TRACE(std::string(s.section) + "/" + std::string(s.name));
        EXPECT_EQ(ReadSetting(existing, s), 4242);
        EXPECT_EQ(ReadSetting(fresh, s), s.defaultValue);
    }
    for (const TextSetting& s : texts) {
        SCOPED_TRACE(std::string(s.section) + "/" + std::string(s.name));
        EXPECT_EQ(ReadSetting(existing, s), "kept");
        EXPECT_EQ(ReadSetting(fresh, s), s.defaultValue);
    }
    for (const IntSetting& s : ints)
        ASSERT_TRUE(WriteSetting(fresh, s, 4242));
    for (const TextSetting& s : texts)
        ASSERT_TRUE(WriteSetting(fresh, s, "kept"));
    // Written through the table, a new file has the old file's entries, spelt alike to the
    // letter case (the store reads without regard to case, a user's tools may not).
    QStringList written = QSettings(path(), QSettings::IniFormat).allKeys();
    QStringList old = QSettings(existingPath, QSettings::IniFormat).allKeys();
    written.sort();
    old.sort();
    EXPECT_EQ(written.join(' ').toStdString(), old.join(' ').toStdString());
}

TEST_F(QtSettingsFile, IntegersAreReadStrictlyFromText) {
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Preferences]\nA=42\nB=4294967292\nC=12abc\nD=\nE=4294967296\nF= 7\nG=-2147483648\n");
    file.close();
    QtSettingsStore store(path());
    EXPECT_EQ(store.GetProfileInt("Preferences", "A", 0), 42);
    EXPECT_EQ(store.GetProfileInt("Preferences", "B", 0), -4);
    EXPECT_EQ(store.GetProfileInt("Preferences", "C", 9), 9);
    EXPECT_EQ(store.GetProfileInt("Preferences", "D", 9), 9);
    EXPECT_EQ(store.GetProfileInt("Preferences", "E", 9), 9);
    EXPECT_EQ(store.GetProfileInt("Preferences", "G", 0), INT32_MIN);
    EXPECT_EQ(store.GetProfileString("Preferences", "A", ""), "42");

    // Names QSettings would read as paths are refused rather than written somewhere else.
    EXPECT_FALSE(store.WriteProfileInt("Preferences", "a/b", 1));
    EXPECT_FALSE(store.WriteProfileInt("Pre\\ferences", "a", 1));
    EXPECT_EQ(store.GetProfileInt("Preferences", "a/b", 3), 3);
}

class DirectoryLock : public ::testing::Test {
protected:
    QTemporaryDir home;
};

TEST_F(DirectoryLock, OneHolderPerDirectoryInThisProcess) {
    ProgramDirectoryLock first(home.path());
    ASSERT_EQ(first.TryAcquire(), ProgramDirectoryLock::Result::Acquired);
    EXPECT_TRUE(QFile::exists(home.filePath(".vorlapro.lock")));
    ProgramDirectoryLock second(home.path() + "/");
    EXPECT_EQ(second.TryAcquire(), ProgramDirectoryLock::Result::HeldByOther);
    EXPECT_EQ(second.HolderProcessId(), QCoreApplication::applicationPid());
    EXPECT_TRUE(second.RefusalText().contains(QString::number(QCoreApplication::applicationPid())));
    first.Release();
    EXPECT_EQ(second.TryAcquire(), ProgramDirectoryLock::Result::Acquired);

    ProgramDirectoryLock nowhere(home.filePath("missing/folder"));
    EXPECT_EQ(nowhere.TryAcquire(), ProgramDirectoryLock::Result::Failed);
    EXPECT_FALSE(nowhere.RefusalText().isEmpty());
}

TEST_F(DirectoryLock, AnotherProcessIsNamedAndItsStaleLockTakenOver) {
    QProcess holder;
    vorla::testing::EndWithTest(holder);
    holder.start(QCoreApplication::applicationDirPath() + "/ui_lock_holder", {home.path()});
    ASSERT_TRUE(holder.waitForStarted(10000));
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readAllStandardOutput().trimmed(), "locked");

    ProgramDirectoryLock lock(home.path());
    EXPECT_EQ(lock.TryAcquire(), ProgramDirectoryLock::Result::HeldByOther);
    EXPECT_EQ(lock.HolderProcessId(), holder.processId());

    holder.kill();  // dies without releasing: the lock file stays behind
    ASSERT_TRUE(holder.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(home.filePath(".vorlapro.lock")));
    EXPECT_EQ(lock.TryAcquire(), ProgramDirectoryLock::Result::Acquired);
}

class PicEditWidget : public ::testing::Test {
protected:
    void SetUp() override {
        edit.SetMaskType(1);
        edit.SetPromptCharacter(QChar('_'));
        edit.show();
        edit.setFocus();
    }
    CPicEdit edit;
};

TEST_F(PicEditWidget, KeysGoThroughTheMask) {
    edit.setCursorPosition(1);
    QTest::keyClicks(&edit, "555x1234567");
    EXPECT_EQ(edit.text(), "(555) 123-4567");
    EXPECT_EQ(edit.GetText(true), "5551234567");
    EXPECT_TRUE(edit.isModified());

    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "(555) 123-45__");
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "(555) 123-4567");
    EXPECT_EQ(edit.selectedText(), edit.text());

    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "(551) 234-567_");
}

TEST_F(PicEditWidget, ClipboardCarriesPlainDigits) {
    QApplication::clipboard()->setText("(555) 987-6543");
    edit.setCursorPosition(1);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "(555) 987-6543");

    edit.setSelection(6, 3);
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "987");
}

// Right-click menu, middle-click paste: the selection the user made is what the command
// acts on, and pasted text goes through the mask.
TEST_F(PicEditWidget, MenuCommandsKeepTheSelectionAndMiddleClickPastesThroughTheMask) {
    edit.SetText("5559876543");
    edit.setSelection(6, 3);
    QFocusEvent backFromMenu(QEvent::FocusIn, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(&edit, &backFromMenu);
    edit.Cut();
    EXPECT_EQ(QApplication::clipboard()->text(), "987");
    EXPECT_EQ(edit.text(), "(555) 654-3___");

    struct PrimarySelectionEdit : CPicEdit {
        std::optional<std::string> ClipboardText() override { return std::string("1x2-3"); }
    } primary;
    primary.SetMaskType(1);
    primary.SetPromptCharacter(QChar('_'));
    primary.show();
    // A click at the far left lands before the first editable position.
    QTest::mouseClick(&primary, Qt::MiddleButton, {}, QPoint(2, primary.height() / 2));
    EXPECT_EQ(primary.text(), "(123) ___-____");
}

TEST_F(PicEditWidget, ReadOnlyStyleIsFollowed) {
    edit.SetText("5551234567");
    edit.setReadOnly(true);
    edit.setCursorPosition(5);
    QTest::keyClicks(&edit, "99");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Delete);
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "(555) 123-4567");
}

}  // namespace
}  // namespace vorla
