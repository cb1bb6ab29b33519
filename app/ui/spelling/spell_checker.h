#pragma once
// The spelling checker on Hunspell: a main dictionary, custom dictionaries (plain word lists,
// one word a line, which "Add" appends to), a session's ignored words, and the search for the
// next misspelt word in a text. Missing dictionaries are a state, not a failure: IsAvailable
// says so and Unavailability says why.

#include <QString>
#include <QStringList>

#include <memory>

#include "settings/settings_keys.h"

class Hunspell;

inline constexpr const char* kDefaultAffixFile = "/usr/share/hunspell/en_US.aff";
inline constexpr const char* kDefaultDictionaryFile = "/usr/share/hunspell/en_US.dic";

// Option bits of "SpellOptions" this checker honours; the other bits are kept as stored.
inline constexpr int kSpellIgnoreAllCaps = 0x0001;
inline constexpr int kSpellIgnoreWithDigits = 0x0002;
inline constexpr int kDefaultSpellOptions = vorla::setting::kSpellOptions.defaultValue;

struct WordSpan {
    int start = -1;
    int length = 0;
    bool Found() const { return start >= 0; }
};

class SpellChecker {
public:
    SpellChecker(const QString& affixFile = QString::fromLatin1(kDefaultAffixFile),
                 const QString& dictionaryFile = QString::fromLatin1(kDefaultDictionaryFile));
    ~SpellChecker();

    bool IsAvailable() const { return hunspell_ != nullptr; }
    QString Unavailability() const { return unavailable_; }

    // Adds every word of a custom word list; false when it cannot be read.
    bool AddCustomDictionary(const QString& path);
    QStringList CustomDictionaries() const { return custom_; }
    // Adds the word to the first custom dictionary (appending to the file) and to the session.
    bool AddToCustomDictionary(const QString& word);
    void IgnoreAll(const QString& word);

    void SetOptions(int options) { options_ = options; }
    int Options() const { return options_; }

    bool IsCorrect(const QString& word) const;
    QStringList Suggestions(const QString& word) const;
    // The first misspelt word at or after `from`.
    WordSpan NextMisspelling(const QString& text, int from) const;

private:
    std::string Encode(const QString& word) const;
    QString Decode(const std::string& word) const;

    std::unique_ptr<Hunspell> hunspell_;
    bool utf8_ = true;
    QString unavailable_;
    QStringList custom_;
    QStringList ignored_;
    int options_ = kDefaultSpellOptions;
};
