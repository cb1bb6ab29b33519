#include "ui/spelling/spell_checker.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <hunspell.hxx>

namespace {
bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('\'') || c == QChar(0x2019);
}
}  // namespace

SpellChecker::SpellChecker(const QString& affixFile, const QString& dictionaryFile) {
    if (!QFileInfo::exists(affixFile) || !QFileInfo::exists(dictionaryFile)) {
        unavailable_ = QStringLiteral("The spelling dictionary %1 is not installed.").arg(dictionaryFile);
        return;
    }
    hunspell_ = std::make_unique<Hunspell>(QFile::encodeName(affixFile).constData(),
                                           QFile::encodeName(dictionaryFile).constData());
    utf8_ = QString::fromStdString(hunspell_->get_dict_encoding())
                .compare(QStringLiteral("UTF-8"), Qt::CaseInsensitive) == 0;
}

SpellChecker::~SpellChecker() = default;

std::string SpellChecker::Encode(const QString& word) const {
    return utf8_ ? word.toStdString() : word.toLatin1().toStdString();
}

QString SpellChecker::Decode(const std::string& word) const {
    return utf8_ ? QString::fromStdString(word)
                 : QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
}

bool SpellChecker::AddCustomDictionary(const QString& path) {
    QFile file(path);
    // A list that does not exist yet is an empty one: "Add" creates it.
    if (!file.exists()) {
        if (!custom_.contains(path)) custom_ << path;
        return true;
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString word = in.readLine().trimmed();
        if (!word.isEmpty() && hunspell_) hunspell_->add(Encode(word));
    }
    if (!custom_.contains(path)) custom_ << path;
    return true;
}

bool SpellChecker::AddToCustomDictionary(const QString& word) {
    IgnoreAll(word);
    if (hunspell_) hunspell_->add(Encode(word));
    if (custom_.isEmpty()) return false;
    QFile file(custom_.first());
    if (!file.open(QIODevice::Append | QIODevice::Text)) return false;
    file.write(word.toUtf8() + '\n');
    return file.flush();
}

void SpellChecker::IgnoreAll(const QString& word) {
    if (!ignored_.contains(word)) ignored_ << word;
}

bool SpellChecker::IsCorrect(const QString& word) const {
    if (!hunspell_ || word.isEmpty() || ignored_.contains(word)) return true;
    if ((options_ & kSpellIgnoreAllCaps) && word == word.toUpper() && word != word.toLower()) return true;
    if (options_ & kSpellIgnoreWithDigits) {
        for (QChar c : word)
            if (c.isDigit()) return true;
    }
    return hunspell_->spell(Encode(word));
}

QStringList SpellChecker::Suggestions(const QString& word) const {
    QStringList out;
    if (!hunspell_) return out;
    for (const std::string& s : hunspell_->suggest(Encode(word)))
        out << Decode(s);
    return out;
}

WordSpan SpellChecker::NextMisspelling(const QString& text, int from) const {
    int i = std::max(from, 0);
    const int n = static_cast<int>(text.size());
    while (i < n) {
        while (i < n && !IsWordChar(text[i]))
            ++i;
        int end = i;
        while (end < n && IsWordChar(text[end]))
            ++end;
        // Apostrophes around a word are quotes, not part of it.
        int start = i, stop = end;
        while (start < stop && !text[start].isLetterOrNumber())
            ++start;
        while (stop > start && !text[stop - 1].isLetterOrNumber())
            --stop;
        if (stop > start && !IsCorrect(text.mid(start, stop - start))) return {start, stop - start};
        i = end;
    }
    return {};
}
