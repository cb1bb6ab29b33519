#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QVBoxLayout>

#include "text/windows1252.h"
#include "ui/preferences/prefs_pages.h"

using prefs::IntervalUnit;
using prefs::ShownInterval;

void IntervalSpinBox::SetUnit(IntervalUnit unit) {
    if (unit_ == unit) return;
    unit_ = unit;
    if (onUnitChanged) onUnitChanged(unit);
}

void IntervalSpinBox::stepBy(int steps) {
    ShownInterval shown{value(), unit_};
    for (int i = 0; i < std::abs(steps); ++i)
        shown = prefs::StepInterval(shown, steps > 0 ? 1 : -1);
    SetUnit(shown.unit);
    setValue(shown.value);
}

QAbstractSpinBox::StepEnabled IntervalSpinBox::stepEnabled() const {
    if (!isEnabled()) return StepNone;
    StepEnabled enabled = StepNone;
    if (unit_ == IntervalUnit::Seconds || value() < maximum()) enabled |= StepUpEnabled;
    if (unit_ == IntervalUnit::Minutes || value() > minimum()) enabled |= StepDownEnabled;
    return enabled;
}

namespace {
// Disabled fields keep a white background, so the values stay readable while resending is off.
void KeepWhiteWhenDisabled(QWidget* field) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, Qt::white);
    field->setPalette(palette);
}
}  // namespace

CPrefsPropertyPage1::CPrefsPropertyPage1(vorla::ISettingsStore& settings, QWidget* parent)
    : CPrefsPage(settings, parent) {
    auto* prefixLabel = new QLabel(QStringLiteral("Dial &prefix:"), this);
    prefixLabel->setFont(HeadingFont(font()));
    prefix_ = new QComboBox(this);
    prefix_->setObjectName(QStringLiteral("DialPrefix"));
    prefix_->setEditable(true);
    prefix_->setInsertPolicy(QComboBox::NoInsert);
    prefix_->installEventFilter(this);
    prefixLabel->setBuddy(prefix_);

    resend_ = new QCheckBox(QStringLiteral("&Send Failed Messages Every"), this);
    resend_->setFont(HeadingFont(font()));
    interval_ = new IntervalSpinBox(this);
    interval_->setObjectName(QStringLiteral("ResendInterval"));
    interval_->setRange(prefs::kIntervalMin, prefs::kIntervalMax);
    interval_->setValue(30);
    unit_ = new QLabel(QString::fromLatin1(prefs::UnitLabel(IntervalUnit::Seconds)), this);
    interval_->onUnitChanged = [this](IntervalUnit unit) {
        unit_->setText(QString::fromLatin1(prefs::UnitLabel(unit)));
    };
    count_ = new QSpinBox(this);
    count_->setObjectName(QStringLiteral("ResendCount"));
    count_->setRange(prefs::kCountMin, prefs::kCountMax);
    count_->setValue(5);
    KeepWhiteWhenDisabled(interval_);
    KeepWhiteWhenDisabled(count_);

    auto* grid = new QGridLayout;
    grid->addWidget(prefixLabel, 0, 0);
    grid->addWidget(prefix_, 0, 1, 1, 3);
    auto* resendRow = new QHBoxLayout;
    resendRow->addWidget(resend_);
    resendRow->addWidget(interval_);
    resendRow->addWidget(unit_);
    resendRow->addWidget(count_);
    resendRow->addWidget(new QLabel(QStringLiteral("times."), this));
    resendRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(12);
    layout->addLayout(resendRow);
    layout->addStretch(1);

    connect(resend_, &QCheckBox::toggled, this, [this] { UpdateResendFields(); });
    UpdateResendFields();
}

void CPrefsPropertyPage1::Load() {
    const prefs::DialingSettings stored = prefs::ReadDialing(settings_);
    prefixes_ = stored.prefixes;
    prefix_->clear();
    for (const std::string& prefix : prefixes_)
        prefix_->addItem(vorla::FromWindows1252(prefix));
    const auto selected = std::find(prefixes_.begin(), prefixes_.end(), stored.dialPrefix);
    if (selected != prefixes_.end()) {
        prefix_->setCurrentIndex(static_cast<int>(selected - prefixes_.begin()));
    } else {
        // A prefix stored without joining the list (the setup wizard's, an edited store) is
        // shown as typed text, so OK keeps it rather than writing the empty field.
        prefix_->setCurrentIndex(-1);
        prefix_->setEditText(vorla::FromWindows1252(stored.dialPrefix));
    }

    resend_->setChecked(stored.resend);
    storedSeconds_ = stored.resendSeconds;
    storedShown_ = prefs::ShowInterval(stored.resendSeconds);
    // A value stored beyond the spin range (two hours as 120 minutes) is shown as it is.
    interval_->setMaximum(std::max(prefs::kIntervalMax, storedShown_.value));
    interval_->SetUnit(storedShown_.unit);
    unit_->setText(QString::fromLatin1(prefs::UnitLabel(storedShown_.unit)));
    interval_->setValue(storedShown_.value);
    count_->setMaximum(std::max(prefs::kCountMax, stored.resendTimes));
    count_->setValue(stored.resendTimes);
    UpdateResendFields();

    if (OtherTips()) {
        prefix_->setToolTip(QStringLiteral("Number to dial for outside line access"));
        resend_->setToolTip(QStringLiteral("Check to resend failed messages"));
        interval_->setToolTip(QStringLiteral("Number of seconds/minutues between redials"));
        count_->setToolTip(QStringLiteral("Number of times to redial"));
    }
}

void CPrefsPropertyPage1::UpdateResendFields() {
    const bool on = resend_->isChecked();
    interval_->setEnabled(on);
    count_->setEnabled(on);
}

void CPrefsPropertyPage1::CommitTypedPrefix() {
    // Left as typed for OK to refuse: in the list it would be stored with '?' for the character.
    if (!vorla::FirstUnstorableCharacter(prefix_->currentText()).isEmpty()) return;
    const std::string text = vorla::ToWindows1252(prefix_->currentText());
    const std::vector<std::string> old = prefixes_;
    const int at = prefs::AddTypedPrefix(prefixes_, text);
    if (at < 0) return;
    if (prefixes_ != old) {
        QSignalBlocker block(prefix_);
        prefix_->clear();
        for (const std::string& prefix : prefixes_)
            prefix_->addItem(vorla::FromWindows1252(prefix));
    }
    prefix_->setCurrentIndex(at);
}

bool CPrefsPropertyPage1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == prefix_ && event->type() == QEvent::FocusOut) CommitTypedPrefix();
    return CPrefsPage::eventFilter(watched, event);
}

QString CPrefsPropertyPage1::Refusal() const {
    const QString character = vorla::FirstUnstorableCharacter(prefix_->currentText());
    return character.isEmpty() ? QString()
                               : vorla::UnstorableCharacterText(QStringLiteral("dial prefix"), character);
}

void CPrefsPropertyPage1::Apply() {
    CommitTypedPrefix();
    prefs::DialingSettings out;
    out.prefixes = prefixes_;
    out.dialPrefix = vorla::ToWindows1252(prefix_->currentText());
    out.resend = resend_->isChecked();
    const ShownInterval shown{interval_->value(), interval_->Unit()};
    out.resendSeconds = shown == storedShown_ ? storedSeconds_ : prefs::IntervalSeconds(shown);
    out.resendTimes = count_->value();
    prefs::WriteDialing(settings_, out);
}
