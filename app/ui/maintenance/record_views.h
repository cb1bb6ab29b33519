#pragma once
// A maintenance list in one of four view types over one model and one selection model:
// report (a tree view with columns) or icons, small icons and list (a list view showing the
// first column), switched from a view-type button by the list or the same menu on a right
// click. The window's settings section keeps the choice as "ViewType" the moment it is made,
// the column the report is sorted by as "SortColumn", and the column widths as "Column1".. only while the report is shown, so another view never
// overwrites the user's widths with the hidden view's.

#include <QStackedWidget>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ui/maintenance/view_type_menu.h"

class QAbstractItemModel;
class QAbstractItemView;
class QListView;
class RecordTableModel;
class QToolButton;
class QTreeView;

namespace vorla {
class ISettingsStore;
}

class RecordViews : public QStackedWidget {
    Q_OBJECT
public:
    using enum ViewTypeMenu::Type;
    RecordViews(QAbstractItemModel* model, QWidget* parent = nullptr);

    // "ViewType" and the widths from the section, which later choices and StoreWidths write;
    // an unknown view type is the report.
    void Restore(vorla::ISettingsStore& settings, std::string_view section, const std::vector<int>& widths);
    // A click on a column of the report sorts `model` (the one behind the views) by it, and
    // the section's "SortColumn" keeps the choice; sorts by the kept one now. After Restore.
    void SortBy(RecordTableModel& model);
    // The widths, in report view only.
    void StoreWidths() const;
    void SetViewType(int type);
    int CurrentViewType() const { return viewType_; }

    QTreeView* Report() const { return report_; }
    QListView* Icons() const { return icons_; }
    QAbstractItemView* Current() const;
    // Both views, shown or not: what a window watches on one it watches on the other.
    std::array<QAbstractItemView*, 2> Both() const;
    ViewTypeMenu* ViewMenu() const { return menu_; }
    // Belongs in the window's layout, by the list.
    QToolButton* ViewButton() const { return menu_->Button(); }

private:
    QTreeView* report_;
    QListView* icons_;
    ViewTypeMenu* menu_;
    vorla::ISettingsStore* settings_ = nullptr;
    std::string section_;
    int viewType_ = kReport;
};
