#pragma once
// Every question the maintenance windows ask goes through here, so tests answer them. The
// defaults are task-modal boxes with the stop icon, as the windows' messages all are.

#include <QString>

#include <functional>

class QWidget;

struct MaintenancePrompts {
    // The Alert question: true for "Modify", false for "Add".
    std::function<bool(const QString& text)> modifyOrAdd;
    // Yes/No; true for Yes.
    std::function<bool(const QString& text)> yesNo;
    // A refusal or a notice with OK.
    std::function<void(const QString& text)> stop;

    static MaintenancePrompts Boxes(QWidget* owner);
};
