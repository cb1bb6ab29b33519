#pragma once
// A maintenance list in one of four view types over one model and one selection model:
// report (a tree view with columns) or icons, small icons and list (a list view showing the
// first column). The column widths are read from and kept in a settings section as
// "Column1".. only while the report is shown, so another view never overwrites the user's
// widths with the hidden view's.

#include <QStackedWidget>

#include <string_view>
#include <vector>

class QAbstractItemModel;
class QAbstractItemView;
class QListView;
class QTreeView;

namespace vorla {
class ISettingsStore;
}

class RecordViews : public QStackedWidget {
    Q_OBJECT
public:
    enum ViewType { kIcons = 0, kReport = 1, kSmallIcons = 2, kList = 3 };
    RecordViews(QAbstractItemModel* model, QWidget* parent = nullptr);

    // "ViewType" and the widths from the section; an unknown view type is the report.
    void Restore(const vorla::ISettingsStore& settings, std::string_view section, const std::vector<int>& widths);
    // The widths, in report view only.
    void StoreWidths(vorla::ISettingsStore& settings, std::string_view section) const;
    void SetViewType(int type);
    int CurrentViewType() const { return viewType_; }

    QTreeView* Report() const { return report_; }
    QListView* Icons() const { return icons_; }
    QAbstractItemView* Current() const;

private:
    QTreeView* report_;
    QListView* icons_;
    int viewType_ = kReport;
};
