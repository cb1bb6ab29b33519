#pragma once
// The correction dialog for one misspelt word: the word, a replacement field, suggestions,
// and Ignore, Ignore All, Change, Change All, Add and Cancel.

#include <QDialog>

class QLineEdit;
class QListWidget;
class QLabel;

class CorrectionDialog : public QDialog {
    Q_OBJECT
public:
    enum Choice { kIgnore, kIgnoreAll, kChange, kChangeAll, kAdd, kCancel };
    CorrectionDialog(const QString& word, const QStringList& suggestions, QWidget* parent = nullptr);
    Choice Result() const { return choice_; }
    QString Replacement() const;
    QLineEdit* ReplacementField() const { return replacement_; }
    void Choose(Choice choice);

private:
    Choice choice_ = kCancel;
    QLineEdit* replacement_ = nullptr;
    QListWidget* suggestions_ = nullptr;
};
