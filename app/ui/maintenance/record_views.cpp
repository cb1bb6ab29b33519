#include "record_views.h"

#include <QHeaderView>
#include <QListView>
#include <QTreeView>

#include <string>

#include "settings_store.h"

RecordViews::RecordViews(QAbstractItemModel* model, QWidget* parent) : QStackedWidget(parent) {
    report_ = new QTreeView(this);
    report_->setRootIsDecorated(false);
    report_->setUniformRowHeights(true);
    report_->setModel(model);
    report_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    report_->setSelectionBehavior(QAbstractItemView::SelectRows);
    report_->header()->setSectionsClickable(true);
    report_->header()->setSortIndicatorShown(true);
    report_->header()->setStretchLastSection(false);
    icons_ = new QListView(this);
    icons_->setModel(model);
    icons_->setSelectionModel(report_->selectionModel());
    icons_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    icons_->setUniformItemSizes(true);
    icons_->setLayoutMode(QListView::Batched);
    icons_->setResizeMode(QListView::Adjust);
    addWidget(report_);
    addWidget(icons_);
}

void RecordViews::Restore(const vorla::ISettingsStore& settings, std::string_view section,
                          const std::vector<int>& widths) {
    for (size_t c = 0; c < widths.size(); ++c)
        report_->setColumnWidth(static_cast<int>(c),
                                settings.GetProfileInt(section, "Column" + std::to_string(c + 1), widths[c]));
    SetViewType(settings.GetProfileInt(section, "ViewType", kReport));
}

void RecordViews::StoreWidths(vorla::ISettingsStore& settings, std::string_view section) const {
    if (viewType_ != kReport) return;
    const int columns = report_->model() ? report_->model()->columnCount() : 0;
    for (int c = 0; c < columns; ++c)
        settings.WriteProfileInt(section, "Column" + std::to_string(c + 1), report_->columnWidth(c));
}

void RecordViews::SetViewType(int type) {
    viewType_ = type >= kIcons && type <= kList ? type : kReport;
    if (viewType_ == kReport) {
        setCurrentWidget(report_);
        return;
    }
    setCurrentWidget(icons_);
    icons_->setViewMode(viewType_ == kIcons ? QListView::IconMode : QListView::ListMode);
    icons_->setIconSize(viewType_ == kIcons ? QSize(32, 32) : QSize(16, 16));
    icons_->setFlow(viewType_ == kList ? QListView::TopToBottom : QListView::LeftToRight);
    icons_->setWrapping(true);
}

QAbstractItemView* RecordViews::Current() const {
    return viewType_ == kReport ? static_cast<QAbstractItemView*>(report_) : static_cast<QAbstractItemView*>(icons_);
}
