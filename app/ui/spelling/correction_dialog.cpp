#include "ui/spelling/correction_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CorrectionDialog::CorrectionDialog(const QString& word, const QStringList& suggestions, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Spelling"));
    replacement_ = new QLineEdit(suggestions.value(0, word), this);
    suggestions_ = new QListWidget(this);
    suggestions_->addItems(suggestions);
    connect(suggestions_, &QListWidget::currentTextChanged, replacement_, &QLineEdit::setText);
    connect(suggestions_, &QListWidget::itemDoubleClicked, this, [this] { Choose(kChange); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Not in dictionary:"), this), 0, 0);
    auto* wordLabel = new QLabel(word, this);
    wordLabel->setObjectName(QStringLiteral("Word"));
    QFont bold = wordLabel->font();
    bold.setBold(true);
    wordLabel->setFont(bold);
    grid->addWidget(wordLabel, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Change &to:"), this), 1, 0);
    grid->addWidget(replacement_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Suggestio&ns:"), this), 2, 0);
    grid->addWidget(suggestions_, 2, 1);
    auto* buttons = new QVBoxLayout;
    const std::pair<const char*, Choice> kButtons[] = {{"&Ignore", kIgnore}, {"I&gnore All", kIgnoreAll},
                                                       {"&Change", kChange}, {"C&hange All", kChangeAll},
                                                       {"&Add", kAdd},       {"Cancel", kCancel}};
    for (const auto& [text, choice] : kButtons) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        const Choice c = choice;
        connect(button, &QPushButton::clicked, this, [this, c] { Choose(c); });
        buttons->addWidget(button);
        if (choice == kChange) button->setDefault(true);
    }
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 3, 1);
}

QString CorrectionDialog::Replacement() const {
    return replacement_->text();
}

void CorrectionDialog::Choose(Choice choice) {
    choice_ = choice;
    if (choice == kCancel) {
        reject();
    } else {
        accept();
    }
}
