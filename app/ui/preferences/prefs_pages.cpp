#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"
#include "ui/message_entry/message_texts.h"
#include "ui/preferences/prefs_pages.h"

bool CPrefsPage::OtherTips() const {
    return ReadSetting(settings_, vorla::setting::kOtherTips) != 0;
}

QFont CPrefsPage::HeadingFont(const QFont& base) {
    QFont font = base;
    font.setBold(true);
    if (font.pointSizeF() > 0 && font.pointSizeF() < 9) font.setPointSizeF(9);
    return font;
}

namespace {
QCheckBox* AddBox(QVBoxLayout* layout, const char* text, QWidget* parent) {
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    layout->addWidget(box);
    return box;
}

QLabel* AddNote(QVBoxLayout* layout, const char* text, QWidget* parent) {
    auto* note = new QLabel(QString::fromLatin1(text), parent);
    note->setWordWrap(true);
    layout->addWidget(note);
    return note;
}
}  // namespace

// ---- Signature ------------------------------------------------------------------------------

CPrefsPropertyPage2::CPrefsPropertyPage2(vorla::ISettingsStore& settings, QWidget* parent)
    : CPrefsPage(settings, parent) {
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Signature:"), this);
    label->setFont(HeadingFont(font()));
    signature_ = new QLineEdit(this);
    signature_->setMaxLength(kMaxSignatureLength);
    signature_->setObjectName(QStringLiteral("Signature"));
    label->setBuddy(signature_);
    layout->addWidget(label);
    layout->addWidget(signature_);
    AddNote(layout, "<DATE> and <TIME> in the signature become the date and time of sending.", this);
    layout->addSpacing(8);
    autoSign_ = AddBox(layout, "&Automatically sign when sending", this);
    layout->addStretch(1);
}

void CPrefsPropertyPage2::Load() {
    const prefs::SignatureSettings stored = prefs::ReadSignature(settings_);
    signature_->setText(vorla::FromWindows1252(stored.signature));
    autoSign_->setChecked(stored.autoSign);
    if (OtherTips()) {
        signature_->setToolTip(QStringLiteral("Name of person sending messages"));
        autoSign_->setToolTip(QStringLiteral("Check this to have signatures automatically added"));
    }
}

QString CPrefsPropertyPage2::Refusal() const {
    const QString character = vorla::FirstUnstorableCharacter(signature_->text());
    return character.isEmpty() ? QString()
                               : vorla::UnstorableCharacterText(QStringLiteral("signature"), character);
}

void CPrefsPropertyPage2::Apply() {
    prefs::WriteSignature(settings_, {vorla::ToWindows1252(signature_->text()), autoSign_->isChecked()});
}

// ---- Tool Bar -------------------------------------------------------------------------------

CPrefsPropertyPage3::CPrefsPropertyPage3(vorla::ISettingsStore& settings, QWidget* parent)
    : CPrefsPage(settings, parent) {
    auto* layout = new QVBoxLayout(this);
    small_ = AddBox(layout, "Display Sma&ll Toolbar", this);
    AddNote(layout, "A change of the toolbar's size shows at the next start of the program.", this);
    layout->addSpacing(8);
    tips_ = AddBox(layout, "Display Toolbar Tool &Tips", this);
    otherTips_ = AddBox(layout, "Display &Other Tool Tips", this);
    layout->addStretch(1);
}

void CPrefsPropertyPage3::Load() {
    const prefs::ToolBarSettings stored = prefs::ReadToolBar(settings_);
    small_->setChecked(stored.smallToolbar);
    tips_->setChecked(stored.tips);
    otherTips_->setChecked(stored.otherTips);
    if (OtherTips()) {
        small_->setToolTip(QStringLiteral("Display the toolbar using small icons"));
        tips_->setToolTip(QStringLiteral("Check to display toolbar tooltips"));
        otherTips_->setToolTip(QStringLiteral("Check to display other tooltips"));
    }
}

void CPrefsPropertyPage3::Apply() {
    prefs::WriteToolBar(settings_, {small_->isChecked(), tips_->isChecked(), otherTips_->isChecked()});
}

// ---- Sending --------------------------------------------------------------------------------

CPrefsPropertyPage4::CPrefsPropertyPage4(vorla::ISettingsStore& settings, QWidget* parent)
    : CPrefsPage(settings, parent) {
    auto* layout = new QVBoxLayout(this);
    upperCase_ = AddBox(layout, "Send as &uppercase", this);
    clearMessage_ = AddBox(layout, "Clea&r message after send", this);
    spotPage_ = AddBox(layout, "&Enable Spot Page", this);
    rememberFailed_ = AddBox(layout, "Remember &failed messages in Outgoing window", this);
    layout->addStretch(1);
    // Kept at once: the outgoing queue decides about failed pages at the end of every run.
    connect(rememberFailed_, &QCheckBox::clicked, this,
            [this](bool checked) { prefs::WriteRememberFailed(settings_, checked); });
}

void CPrefsPropertyPage4::Load() {
    const prefs::SendingSettings stored = prefs::ReadSending(settings_);
    upperCase_->setChecked(stored.sendUpperCase);
    clearMessage_->setChecked(stored.clearMessage);
    spotPage_->setChecked(stored.spotPage);
    rememberFailed_->setChecked(stored.rememberFailed);
    if (OtherTips()) {
        clearMessage_->setToolTip(QStringLiteral("Check to clear message after successful send"));
        spotPage_->setToolTip(QStringLiteral("Check to enable spot page"));
        upperCase_->setToolTip(QStringLiteral("Check to have message always sent as uppercase"));
    }
}

void CPrefsPropertyPage4::Apply() {
    prefs::WriteSending(settings_, {upperCase_->isChecked(), clearMessage_->isChecked(),
                                    spotPage_->isChecked(), rememberFailed_->isChecked()});
}
