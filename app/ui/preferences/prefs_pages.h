#pragma once
// The four pages of the Preferences sheet. Each reads its settings in Load (once, when the
// sheet first shows it) and writes them in Apply (OK); the tool tips of a page's controls are
// set in Load when "OtherTips" is on.

#include <QSpinBox>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "ui/preferences/prefs_rules.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
namespace vorla {
class ISettingsStore;
}

class CPrefsPage : public QWidget {
public:
    CPrefsPage(vorla::ISettingsStore& settings, QWidget* parent) : QWidget(parent), settings_(settings) {}
    bool Loaded() const { return loaded_; }
    void LoadOnce() {
        if (loaded_) return;
        loaded_ = true;
        Load();
    }
    virtual void Apply() = 0;
    // Why OK cannot write the page as it stands (a text the settings cannot store); empty
    // when it can.
    virtual QString Refusal() const { return {}; }

protected:
    virtual void Load() = 0;
    bool OtherTips() const;
    // The page's headings: bold, the dialog font's size and at least 9 points.
    static QFont HeadingFont(const QFont& base);
    vorla::ISettingsStore& settings_;

private:
    bool loaded_ = false;
};

// The interval's spin box: a click past 59 seconds goes on to 1 minute, a click below 1 minute
// goes on to 59 seconds; the page keeps the unit label in step through onUnitChanged.
class IntervalSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    void SetUnit(prefs::IntervalUnit unit);
    prefs::IntervalUnit Unit() const { return unit_; }
    void stepBy(int steps) override;
    std::function<void(prefs::IntervalUnit)> onUnitChanged;

protected:
    StepEnabled stepEnabled() const override;

private:
    prefs::IntervalUnit unit_ = prefs::IntervalUnit::Seconds;
};

// "Dialing": the dial prefix and the resending of failed messages.
class CPrefsPropertyPage1 : public CPrefsPage {
public:
    CPrefsPropertyPage1(vorla::ISettingsStore& settings, QWidget* parent = nullptr);
    void Apply() override;
    QString Refusal() const override;
    // What losing the focus does to the prefix box: a new text joins the list and is selected.
    void CommitTypedPrefix();

    QComboBox* PrefixBox() const { return prefix_; }
    QCheckBox* ResendBox() const { return resend_; }
    IntervalSpinBox* IntervalBox() const { return interval_; }
    QLabel* UnitLabel() const { return unit_; }
    QSpinBox* CountBox() const { return count_; }
    // The prefix list in its order (what OK writes to section "Prefix").
    const std::vector<std::string>& Prefixes() const { return prefixes_; }

protected:
    void Load() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateResendFields();

    QComboBox* prefix_ = nullptr;
    QCheckBox* resend_ = nullptr;
    IntervalSpinBox* interval_ = nullptr;
    QLabel* unit_ = nullptr;
    QSpinBox* count_ = nullptr;
    std::vector<std::string> prefixes_;
    // The interval as read: written back as it was unless the user changed it, so a stored
    // 90 seconds (shown as 1 minute) stays 90 after an OK that did not touch it.
    int storedSeconds_ = 0;
    prefs::ShownInterval storedShown_;
};

// "Signature": the signature text and whether sending adds it.
class CPrefsPropertyPage2 : public CPrefsPage {
public:
    CPrefsPropertyPage2(vorla::ISettingsStore& settings, QWidget* parent = nullptr);
    void Apply() override;
    QString Refusal() const override;
    QLineEdit* SignatureField() const { return signature_; }
    QCheckBox* AutoSignBox() const { return autoSign_; }

protected:
    void Load() override;

private:
    QLineEdit* signature_ = nullptr;
    QCheckBox* autoSign_ = nullptr;
};

// "Tool Bar": the toolbar's size and the two kinds of tool tips.
class CPrefsPropertyPage3 : public CPrefsPage {
public:
    CPrefsPropertyPage3(vorla::ISettingsStore& settings, QWidget* parent = nullptr);
    void Apply() override;
    QCheckBox* SmallToolbarBox() const { return small_; }
    QCheckBox* TipsBox() const { return tips_; }
    QCheckBox* OtherTipsBox() const { return otherTips_; }

protected:
    void Load() override;

private:
    QCheckBox* small_ = nullptr;
    QCheckBox* tips_ = nullptr;
    QCheckBox* otherTips_ = nullptr;
};

// "Sending": upper case, clearing the form, the spot pager, and keeping failed messages.
class CPrefsPropertyPage4 : public CPrefsPage {
public:
    CPrefsPropertyPage4(vorla::ISettingsStore& settings, QWidget* parent = nullptr);
    void Apply() override;
    QCheckBox* UpperCaseBox() const { return upperCase_; }
    QCheckBox* ClearMessageBox() const { return clearMessage_; }
    QCheckBox* SpotPageBox() const { return spotPage_; }
    QCheckBox* RememberFailedBox() const { return rememberFailed_; }

protected:
    void Load() override;

private:
    QCheckBox* upperCase_ = nullptr;
    QCheckBox* clearMessage_ = nullptr;
    QCheckBox* spotPage_ = nullptr;
    QCheckBox* rememberFailed_ = nullptr;
};
