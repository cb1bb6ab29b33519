#include "ui/spelling/spell_check_session.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"
#include "ui/spelling/spell_checker.h"

namespace {

// One undoable edit, so the user can take a correction back with Undo.
void ShowInField(QPlainTextEdit& field, const QString& text) {
    if (field.toPlainText() == text) return;
    QTextCursor all(field.document());
    all.select(QTextCursor::Document);
    all.insertText(text);
}
}  // namespace

SpellCheckSession::SpellCheckSession(vorla::ISettingsStore& settings, QPlainTextEdit& field, QWidget* parent,
                                     const QString& affixFile, const QString& dictionaryFile)
    : settings_(settings), field_(field), parent_(parent) {
    checker_ = affixFile.isEmpty() ? std::make_unique<SpellChecker>()
                                   : std::make_unique<SpellChecker>(affixFile, dictionaryFile);
    ask_ = [this](const QString& word, const QStringList& suggestions) {
        CorrectionDialog dialog(word, suggestions, parent_);
        dialog.exec();
        return Correction{dialog.Result(), dialog.Replacement()};
    };
}

SpellCheckSession::~SpellCheckSession() = default;

QString SpellCheckSession::Run() {
    if (!checker_->IsAvailable()) return checker_->Unavailability();
    for (int n = 1;; ++n) {
        const std::string path = settings_.GetProfileString(vorla::setting::kSpellerSection,
                                                            vorla::setting::CustomDictEntry(n), "");
        if (path.empty()) break;
        checker_->AddCustomDictionary(vorla::FromWindows1252(path));
    }
    checker_->SetOptions(ReadSetting(settings_, vorla::setting::kSpellOptions));

    QString text = field_.toPlainText();
    bool cancelled = false;
    int at = 0;
    while (true) {
        const WordSpan span = checker_->NextMisspelling(text, at);
        if (!span.Found()) break;
        const QString word = text.mid(span.start, span.length);
        QTextCursor cursor = field_.textCursor();
        cursor.setPosition(span.start);
        cursor.setPosition(span.start + span.length, QTextCursor::KeepAnchor);
        field_.setTextCursor(cursor);
        field_.ensureCursorVisible();
        const Correction answer = ask_(word, checker_->Suggestions(word));
        at = span.start + span.length;
        switch (answer.choice) {
            case CorrectionDialog::kCancel:
                cancelled = true;
                break;
            case CorrectionDialog::kIgnore:
                break;
            case CorrectionDialog::kIgnoreAll:
                checker_->IgnoreAll(word);
                break;
            case CorrectionDialog::kAdd:
                checker_->AddToCustomDictionary(word);
                break;
            case CorrectionDialog::kChange:
                text.replace(span.start, span.length, answer.replacement);
                at = span.start + static_cast<int>(answer.replacement.size());
                break;
            case CorrectionDialog::kChangeAll: {
                // Whole words only, from here on; the replacement is never checked again.
                text.replace(span.start, span.length, answer.replacement);
                at = span.start + static_cast<int>(answer.replacement.size());
                int from = at;
                while (true) {
                    const int found = text.indexOf(word, from);
                    if (found < 0) break;
                    const bool startsWord = found == 0 || !text[found - 1].isLetterOrNumber();
                    const int end = found + static_cast<int>(word.size());
                    const bool endsWord = end >= text.size() || !text[end].isLetterOrNumber();
                    if (startsWord && endsWord) {
                        text.replace(found, word.size(), answer.replacement);
                        from = found + static_cast<int>(answer.replacement.size());
                    } else {
                        from = end;
                    }
                }
                break;
            }
        }
        // Each correction reaches the field at once: the next word is selected by its
        // offset in the corrected text. The corrections so far stay, also after a cancel.
        ShowInField(field_, text);
        if (cancelled) break;
    }
    const QStringList dictionaries = checker_->CustomDictionaries();
    for (int n = 0; n < dictionaries.size(); ++n)
        settings_.WriteProfileString(vorla::setting::kSpellerSection, vorla::setting::CustomDictEntry(n + 1),
                                     vorla::ToWindows1252(dictionaries[n]));
    WriteSetting(settings_, vorla::setting::kSpellOptions, checker_->Options());
    return cancelled ? QString() : QStringLiteral("Spell check complete!");
}
