#pragma once
// One spell check of the message field: custom dictionaries from section "Speller"
// ("CustomDict1", "CustomDict2", ... up to the first empty one) and "SpellOptions" (default
// 1127) are loaded, each misspelt word is selected in the field and offered in the
// correction dialog, and the dictionaries and options are stored back at the end.

#include <QString>

#include <functional>
#include <memory>

#include "ui/spelling/correction_dialog.h"

class QPlainTextEdit;
class QWidget;
class SpellChecker;

namespace vorla {
class ISettingsStore;
}

class SpellCheckSession {
public:
    struct Correction {
        CorrectionDialog::Choice choice = CorrectionDialog::kCancel;
        QString replacement;
    };
    // Asks the user about one word; by default the correction dialog.
    using Ask = std::function<Correction(const QString& word, const QStringList& suggestions)>;

    SpellCheckSession(vorla::ISettingsStore& settings, QPlainTextEdit& field, QWidget* parent,
                      const QString& affixFile = QString(), const QString& dictionaryFile = QString());
    ~SpellCheckSession();
    void SetAsk(Ask ask) { ask_ = std::move(ask); }

    // Runs the check; returns the text to tell the user: "Spell check complete!", a missing
    // dictionary, or empty after a cancel.
    QString Run();

private:
    vorla::ISettingsStore& settings_;
    QPlainTextEdit& field_;
    QWidget* parent_;
    std::unique_ptr<SpellChecker> checker_;
    Ask ask_;
};
