#pragma once
// Every question and refusal of the express setup goes through this seam, so tests answer it
// instead of meeting a modal box.

#include <QString>

class QWidget;

class IWizardPrompts {
public:
    virtual ~IWizardPrompts() = default;
    // A refusal or an error (stop icon).
    virtual void Stop(QWidget* owner, const QString& text) = 0;
    // A Yes/No question with No as the default; true for Yes.
    virtual bool AskYesNo(QWidget* owner, const QString& text) = 0;
};

// Task-modal message boxes captioned with the program's title.
class MessageBoxPrompts final : public IWizardPrompts {
public:
    void Stop(QWidget* owner, const QString& text) override;
    bool AskYesNo(QWidget* owner, const QString& text) override;
};
