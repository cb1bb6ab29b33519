#pragma once
// Group Maintenance: a group's name and its members picked from every subscriber, and the
// directory's groups.

#include "ui/maintenance/maintenance_dialog.h"

class CGroup;
class FindFilter;
class FindProxy;
class QLabel;
class QListView;
class RecordListModel;

class GroupDialog : public MaintenanceDialog {
    Q_OBJECT
public:
    explicit GroupDialog(CVorlaPro5App& app, QWidget* parent = nullptr);

    QLineEdit* NameField() const { return name_; }
    QListView* MemberList() const { return members_; }
    QListView* GroupList() const { return groups_; }
    FindFilter* MemberFilter() const { return memberFilter_; }
    FindFilter* GroupFilter() const { return groupFilter_; }
    QLineEdit* MemberFindField() const { return memberFind_; }
    QLabel* GroupCounter() const { return groupCounter_; }
    QLabel* MemberCounter() const { return memberCounter_; }

protected:
    void Save() override;
    void Delete() override;

private:
    void LoadSelection();
    void UpdateButtons();

    QLineEdit* name_ = nullptr;
    QLineEdit* memberFind_ = nullptr;
    QListView* members_ = nullptr;
    QListView* groups_ = nullptr;
    QLabel* memberCounter_ = nullptr;
    QLabel* groupCounter_ = nullptr;
    RecordListModel* memberModel_ = nullptr;
    RecordListModel* groupModel_ = nullptr;
    FindProxy* memberProxy_ = nullptr;
    FindProxy* groupProxy_ = nullptr;
    FindFilter* memberFilter_ = nullptr;
    FindFilter* groupFilter_ = nullptr;
};
