#pragma once
// The Schedule Message dialog: a time field ("99:99"), AM and PM, a calendar, and the chosen
// moment spelt out. Its result is that moment, or none when cancelled.

#include <QDialog>

#include <cstdint>
#include <functional>
#include <optional>

#include "ui/windows/window_prompts.h"

class QCalendarWidget;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vorla {
class CPicEdit;
}

class CScheduleDialog : public QDialog {
    Q_OBJECT
public:
    // `now` is the clock the dialog opens on and checks the moment against.
    CScheduleDialog(std::function<uint32_t()> now, WindowPrompts prompts, QWidget* parent = nullptr);

    // The moment the dialog closed with (after Schedule), or the one shown now.
    std::optional<uint32_t> ChosenMoment() const { return chosen_; }

    vorla::CPicEdit* TimeField() const { return time_; }
    QRadioButton* AmButton() const { return am_; }
    QRadioButton* PmButton() const { return pm_; }
    QCalendarWidget* Calendar() const { return calendar_; }
    QLabel* MomentLabel() const { return moment_; }
    QPushButton* ScheduleButton() const { return schedule_; }

    // The Schedule button.
    void Schedule();

private:
    void ComputeMoment();
    void TimeEdited();

    std::function<uint32_t()> now_;
    WindowPrompts prompts_;
    vorla::CPicEdit* time_ = nullptr;
    QRadioButton* am_ = nullptr;
    QRadioButton* pm_ = nullptr;
    QCalendarWidget* calendar_ = nullptr;
    QLabel* moment_ = nullptr;
    QPushButton* schedule_ = nullptr;
    std::optional<uint32_t> chosen_;
};
