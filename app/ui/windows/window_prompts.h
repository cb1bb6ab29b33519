#pragma once
// Every question and refusal these windows put to the user goes through here, so a test
// answers them instead of facing a modal box. The defaults show task-modal message boxes.

#include <QString>

#include <functional>

class QWidget;

struct WindowPrompts {
    // OK/Cancel with a stop icon; true for OK.
    std::function<bool(const QString& text)> okCancel;
    // Yes/No with a stop icon (questions before something that cannot be undone); true for Yes.
    std::function<bool(const QString& text)> yesNoStop;
    // Yes/No with a question icon; true for Yes.
    std::function<bool(const QString& text)> yesNo;
    // A refusal with a stop icon and OK.
    std::function<void(const QString& text)> stop;
    // A notice with an information icon and OK.
    std::function<void(const QString& text)> information;

    // Message boxes owned by the given window (looked up when a box is shown, so the owner
    // may be made after the prompts).
    static WindowPrompts MessageBoxes(const std::function<QWidget*()>& owner);
};
