#include "ui/windows/schedule_dialog.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <ctime>

#include "paging/local_time.h"
#include "ui/common/pic_edit.h"
#include "ui/windows/local_format.h"
#include "ui/windows/schedule_time.h"
#include "ui/windows/window_texts.h"

CScheduleDialog::CScheduleDialog(std::function<uint32_t()> now, WindowPrompts prompts, QWidget* parent)
    : QDialog(parent), now_(std::move(now)), prompts_(std::move(prompts)) {
    setWindowTitle(QString::fromLatin1(window_texts::kScheduleTitle));

    auto* timeCaption = new QLabel(QStringLiteral("&Time:"), this);
    time_ = new vorla::CPicEdit(this);
    time_->SetMask(QStringLiteral("99:99"));
    time_->SetPromptCharacter(QLatin1Char('_'));
    timeCaption->setBuddy(time_);
    am_ = new QRadioButton(QStringLiteral("&AM"), this);
    pm_ = new QRadioButton(QStringLiteral("&PM"), this);
    calendar_ = new QCalendarWidget(this);
    calendar_->setGridVisible(true);

    auto* willBeSent = new QLabel(QString::fromLatin1(window_texts::kWillBeSent), this);
    QFont bold(QStringLiteral("MS Sans Serif"));
    bold.setStyleHint(QFont::SansSerif);
    bold.setBold(true);
    bold.setPointSizeF(std::max<qreal>(9.0, font().pointSizeF()));
    willBeSent->setFont(bold);
    moment_ = new QLabel(this);
    moment_->setObjectName(QStringLiteral("ScheduleMoment"));

    auto* buttons = new QDialogButtonBox(this);
    schedule_ = buttons->addButton(QStringLiteral("&Schedule"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    schedule_->setDefault(true);
    connect(schedule_, &QPushButton::clicked, this, &CScheduleDialog::Schedule);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(timeCaption);
    timeRow->addWidget(time_);
    timeRow->addWidget(am_);
    timeRow->addWidget(pm_);
    timeRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(timeRow);
    layout->addWidget(calendar_);
    layout->addWidget(willBeSent);
    layout->addWidget(moment_);
    layout->addWidget(buttons);

    // Opens on the current time and today.
    const uint32_t current = now_ ? now_() : 0;
    const std::tm local = LocalCalendarTime(current);
    time_->SetText(FormatLocalTime(current, "%I%M"));
    calendar_->setSelectedDate(QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday));
    (local.tm_hour > 11 ? pm_ : am_)->setChecked(true);

    connect(time_, &QLineEdit::textChanged, this, &CScheduleDialog::TimeEdited);
    connect(am_, &QRadioButton::clicked, this, &CScheduleDialog::ComputeMoment);
    connect(pm_, &QRadioButton::clicked, this, &CScheduleDialog::ComputeMoment);
    connect(calendar_, &QCalendarWidget::selectionChanged, this, &CScheduleDialog::ComputeMoment);
    TimeEdited();
    time_->setFocus();
}

void CScheduleDialog::TimeEdited() {
    // Only a fully typed time can be scheduled.
    schedule_->setEnabled(time_->GetText(true).size() > 3);
    ComputeMoment();
}

void CScheduleDialog::ComputeMoment() {
    const ScheduleFields fields = ParseScheduleText(time_->GetText().toStdString());
    const QDate date = calendar_->selectedDate();
    chosen_ = ScheduleMoment(date.year(), date.month(), date.day(), HourOfDay(fields.hour, pm_->isChecked()),
                             fields.minute);
    moment_->setText(chosen_ ? FormatScheduleMoment(*chosen_) : QString());
}

void CScheduleDialog::Schedule() {
    const ScheduleFields fields = ParseScheduleText(time_->GetText().toStdString());
    if (auto error = ScheduleFieldError(fields)) {
        if (prompts_.information) prompts_.information(*error);
        time_->setFocus();
        return;
    }
    ComputeMoment();
    if (!chosen_) return;
    const uint32_t current = now_ ? now_() : 0;
    if (*chosen_ <= current) {
        if (!prompts_.yesNo || !prompts_.yesNo(QString::fromLatin1(window_texts::kPriorToNow))) {
            chosen_.reset();
            return;
        }
    }
    accept();
}
