// The spelling check on the system's English dictionary.
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "settings/memory_settings_store.h"
#include "ui/spelling/spell_check_session.h"
#include "ui/spelling/spell_checker.h"

namespace {

bool HaveDictionary() {
    return QFileInfo::exists(QString::fromLatin1(kDefaultDictionaryFile));
}

TEST(SpellChecker, FindsMisspeltWordsAndSkipsWhatTheOptionsSay) {
    if (!HaveDictionary()) GTEST_SKIP() << "hunspell-en-us is not installed";
    SpellChecker checker;
    ASSERT_TRUE(checker.IsAvailable());
    checker.SetOptions(kSpellIgnoreAllCaps | kSpellIgnoreWithDigits);
    const QString text = QStringLiteral("Please 'calll' me at RM42 about the NASA meetng.");
    WordSpan first = checker.NextMisspelling(text, 0);
    ASSERT_TRUE(first.Found());
    EXPECT_EQ(text.mid(first.start, first.length), QStringLiteral("calll"))
        << "quotes are not part of the word";
    WordSpan second = checker.NextMisspelling(text, first.start + first.length);
    ASSERT_TRUE(second.Found());
    EXPECT_EQ(text.mid(second.start, second.length), QStringLiteral("meetng"));
    EXPECT_TRUE(checker.Suggestions(QStringLiteral("meetng")).contains(QStringLiteral("meeting")));
    EXPECT_FALSE(checker.NextMisspelling(text, second.start + second.length).Found());
    checker.SetOptions(0);
    EXPECT_FALSE(checker.IsCorrect(QStringLiteral("RM42")));
}

TEST(SpellChecker, AMissingDictionaryIsReportedNotFatal) {
    SpellChecker checker(QStringLiteral("/nonexistent/xx.aff"), QStringLiteral("/nonexistent/xx.dic"));
    EXPECT_FALSE(checker.IsAvailable());
    EXPECT_TRUE(checker.Unavailability().contains(QStringLiteral("not installed")));
    EXPECT_FALSE(checker.NextMisspelling(QStringLiteral("qwzx"), 0).Found());
}

TEST(SpellCheckSession, CorrectsIgnoresAddsAndStoresTheDictionaries) {
    if (!HaveDictionary()) GTEST_SKIP() << "hunspell-en-us is not installed";
    QTemporaryDir dir;
    const QString custom = dir.filePath(QStringLiteral("custom.txt"));
    vorla::MemorySettingsStore settings;
    settings.WriteProfileString("Speller", "CustomDict1", custom.toStdString());
    // The first correction makes the text shorter, so later offsets move.
    QPlainTextEdit field(QStringLiteral("tehh vorlax tehh zorblat"));
    SpellCheckSession session(settings, field, nullptr);
    QStringList asked, selected;
    session.SetAsk([&](const QString& word, const QStringList&) {
        asked << word;
        selected << field.textCursor().selectedText();
        if (word == QStringLiteral("tehh"))
            return SpellCheckSession::Correction{CorrectionDialog::kChangeAll, "the"};
        if (word == QStringLiteral("vorlax"))
            return SpellCheckSession::Correction{CorrectionDialog::kAdd, {}};
        return SpellCheckSession::Correction{CorrectionDialog::kIgnore, {}};
    });
    EXPECT_EQ(session.Run(), QStringLiteral("Spell check complete!"));
    EXPECT_EQ(field.toPlainText(), QStringLiteral("the vorlax the zorblat"));
    EXPECT_EQ(asked, (QStringList{"tehh", "vorlax", "zorblat"}));
    EXPECT_EQ(selected, (QStringList{"tehh", "vorlax", "zorblat"}))
        << "each word is highlighted where it is now";
    EXPECT_EQ(settings.GetProfileInt("Speller", "SpellOptions", 0), kDefaultSpellOptions);

    // The added word is known to the next check through the custom dictionary.
    QPlainTextEdit again(QStringLiteral("vorlax zorblat"));
    SpellCheckSession second(settings, again, nullptr);
    asked.clear();
    second.SetAsk([&](const QString& word, const QStringList&) {
        asked << word;
        return SpellCheckSession::Correction{CorrectionDialog::kCancel, {}};
    });
    EXPECT_TRUE(second.Run().isEmpty()) << "a cancel ends quietly";
    EXPECT_EQ(asked, (QStringList{"zorblat"}));
}

}  // namespace
