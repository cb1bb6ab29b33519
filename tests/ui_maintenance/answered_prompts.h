#pragma once
// A maintenance dialog's questions answered as a test decides, and what it asked or refused
// kept for the test to look at.

#include <QStringList>

#include "ui/maintenance/maintenance_dialog.h"

class AnsweredPrompts {
protected:
    // The Alert answers Modify when `modify` (else Add), yes/no questions `yes`.
    void Answer(MaintenanceDialog& dialog, bool modify, bool yes = true) {
        dialog.Prompts().modifyOrAdd = [this, modify](const QString&) {
            ++alerts;
            return modify;
        };
        dialog.Prompts().yesNo = [this, yes](const QString& text) {
            questions << text;
            return yes;
        };
        dialog.Prompts().stop = [this](const QString& text) { refusals << text; };
    }

    int alerts = 0;
    QStringList questions;
    QStringList refusals;
};
