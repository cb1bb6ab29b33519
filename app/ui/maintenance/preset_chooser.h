#pragma once
// The preset message chooser: a sorted list of the preset messages; a double click (or Enter) takes one,
// with its "<DATE>" and "<TIME>" tokens replaced by the date and time of now.

#include <QDialog>

#include <ctime>
#include <optional>
#include <string>

class CObList;
class FindProxy;
class QListView;
class RecordListModel;

namespace vorla {
class ISettingsStore;
}

class PresetChooser : public QDialog {
    Q_OBJECT
public:
    PresetChooser(const CObList* messages, const vorla::ISettingsStore& settings, QWidget* parent = nullptr);
    QListView* List() const { return list_; }
    // The message picked by a double click, tokens replaced (nothing when none was picked).
    const std::optional<std::string>& Chosen() const { return chosen_; }
    // Takes the message in the row (as a double click does) and closes.
    void Choose(int row);
    void SetClock(std::time_t (*now)()) { now_ = now; }

private:
    const vorla::ISettingsStore& settings_;
    QListView* list_ = nullptr;
    RecordListModel* model_ = nullptr;
    FindProxy* proxy_ = nullptr;
    std::optional<std::string> chosen_;
    std::time_t (*now_)() = [] { return std::time(nullptr); };
};

// The preset's text as it goes into the message: every "<DATE>" replaced by the date in
// `dateFormat`, then every "<TIME>" by the time in `timeFormat`.
std::string ExpandPreset(const std::string& text, const vorla::ISettingsStore& settings, std::time_t now);
