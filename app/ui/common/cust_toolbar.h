#pragma once
// A toolbar the user can rearrange: a catalogue of every button it may hold (by command id),
// a current layout (command ids, 0 for a separator), the customise dialog (opened by a right
// click), and the layout saved to and restored from one settings entry as toolbar_layout.h
// describes. Used for the main toolbar and for the message toolbar over the message field.

#include <QToolBar>

#include <map>
#include <string>
#include <vector>

namespace vorla {
class ISettingsStore;
}

class CCustToolBar : public QToolBar {
    Q_OBJECT
public:
    CCustToolBar(const QString& title, std::string settingsEntry, QWidget* parent = nullptr);

    // Adds a button to the catalogue (in resource order); the toolbar does not own the action.
    // The customise dialog names it by its "commandText" property ("status line\nshort name").
    void AddToCatalogue(QAction* action, int commandId);
    // The catalogue's order with separators where `defaultLayout` puts them.
    void SetDefaultLayout(std::vector<int> commandIds);
    const std::vector<int>& DefaultLayout() const { return defaultLayout_; }

    // Command ids of the buttons shown now; 0 stands for a separator.
    std::vector<int> Layout() const { return layout_; }
    // Unknown ids are dropped.
    void SetLayout(const std::vector<int>& commandIds);

    void SaveLayout(vorla::ISettingsStore& store) const;
    // False (layout unchanged) when nothing usable is stored.
    bool RestoreLayout(const vorla::ISettingsStore& store);

    void SetToolTipsShown(bool shown);
    bool ToolTipsShown() const { return toolTipsShown_; }

    // Opens the customise dialog: it saves the layout first, so Reset can go back to it.
    void Customize();
    QAction* ActionFor(int commandId) const;
    const std::vector<std::pair<int, QAction*>>& Catalogue() const { return catalogue_; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Rebuild();

    std::string entry_;
    std::vector<std::pair<int, QAction*>> catalogue_;
    std::vector<int> defaultLayout_;
    std::vector<int> layout_;
    bool toolTipsShown_ = true;
    vorla::ISettingsStore* lastStore_ = nullptr;
};
