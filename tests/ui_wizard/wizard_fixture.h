#pragma once
// A wizard sheet over in-memory settings, list files given as text and prompts that record
// what they were asked instead of showing boxes.

#include <QStringList>

#include <memory>

#include <gtest/gtest.h>

#include "settings/memory_settings_store.h"
#include "ui/wizard/express_property_sheet.h"
#include "ui/wizard/wizard_prompts.h"

class RecordingPrompts : public IWizardPrompts {
public:
    void Stop(QWidget*, const QString& text) override { stops << text; }
    bool AskYesNo(QWidget*, const QString& text) override {
        questions << text;
        return answerYes;
    }
    QStringList stops;
    QStringList questions;
    bool answerYes = true;
};

inline constexpr const char* kTestModems =
    "[Modems]\n1=zoom|Faxmodem|ATZ1\n2=Acme|Fast|ATA1\n3=acme|Slow|ATS1\n4=Generic|Factory Default|AT&F\n";

class WizardTest : public ::testing::Test {
protected:
    // Builds the sheet; call after setting the members below.
    CExpressPropertySheet& Open();
    // Presses Next and tells whether the wizard moved on.
    bool Next();
    // Page 2 with a typed name and number, then on to the dialling page.
    void PassServicePage(const QString& name, const QString& digits);

    std::string services_;  // SERVICES.INI text
    std::string modems_ = kTestModems;
    vorla::telephony::LineDeviceScan devices_;  // no provider by default
    bool directoryHasService_ = false;
    vorla::MemorySettingsStore settings_;
    RecordingPrompts prompts_;
    ExpressSetupData data_;
    std::unique_ptr<CExpressPropertySheet> sheet_;
};
