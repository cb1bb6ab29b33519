#pragma once
// The toolbar's customise dialog: the buttons available on the left, the toolbar's buttons on
// the right; Add, Remove, Move Up, Move Down, Reset (back to the layout when the dialog
// opened), Help and Close. Every change is applied to the toolbar at once.

#include <QDialog>

#include <vector>

class CCustToolBar;
class QListWidget;

class CustomizeToolbarDialog : public QDialog {
    Q_OBJECT
public:
    CustomizeToolbarDialog(CCustToolBar& toolBar, std::vector<int> layoutAtOpen, QWidget* parent = nullptr);

    QListWidget* AvailableList() const { return available_; }
    QListWidget* CurrentList() const { return current_; }
    void AddSelected();
    void RemoveSelected();
    void MoveSelected(int by);
    void Reset();

    // The button's text: the second line of its status text ("Opens ...\nServices"), or the
    // first when there is no second.
    static QString ButtonText(const QString& statusText);

private:
    void Fill();
    std::vector<int> CurrentLayout() const;

    CCustToolBar& toolBar_;
    std::vector<int> layoutAtOpen_;
    QListWidget* available_ = nullptr;
    QListWidget* current_ = nullptr;
};
