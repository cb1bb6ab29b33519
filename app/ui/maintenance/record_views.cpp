#include "ui/maintenance/record_views.h"

#include <QHeaderView>
#include <QListView>
#include <QToolButton>
#include <QTreeView>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/common/list_view_layout.h"
#include "ui/maintenance/record_table_model.h"

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
    // A row picked here is the whole record, as in the report: the windows count and load
    // selected rows, which a lone first-column cell is not.
    icons_->setSelectionBehavior(QAbstractItemView::SelectRows);
    icons_->setUniformItemSizes(true);
    icons_->setLayoutMode(QListView::Batched);
    icons_->setResizeMode(QListView::Adjust);
    addWidget(report_);
    addWidget(icons_);
    // Takes focus only to hand it to the view that shows (a label's mnemonic asks for it);
    // having a focus proxy keeps it out of the tab chain.
    setFocusPolicy(Qt::StrongFocus);
    menu_ = new ViewTypeMenu(this);
    menu_->AttachTo(report_);
    menu_->AttachTo(icons_);
    connect(menu_, &ViewTypeMenu::TypeChosen, this, [this](int type) {
        SetViewType(type);
        if (settings_) WriteSetting(*settings_, vorla::setting::kListViewType.In(section_), viewType_);
    });
    SetViewType(kReport);
}

static_assert(vorla::setting::kListViewType.defaultValue == ViewTypeMenu::kReport);

void RecordViews::Restore(vorla::ISettingsStore& settings, std::string_view section,
                          const std::vector<int>& widths) {
    settings_ = &settings;
    section_ = section;
    for (size_t c = 0; c < widths.size(); ++c)
        report_->setColumnWidth(
            static_cast<int>(c),
            settings.GetProfileInt(section, vorla::setting::ColumnWidthEntry(static_cast<int>(c) + 1),
                                   widths[c]));
    SetViewType(ReadSetting(settings, vorla::setting::kListViewType.In(section)));
}

void RecordViews::SortBy(RecordTableModel& model) {
    const auto sort = [this, &model](int column) {
        model.Sort(column);
        report_->header()->setSortIndicator(model.SortColumn(), Qt::AscendingOrder);
    };
    sort(settings_ ? ReadSetting(*settings_, vorla::setting::kListSortColumn.In(section_)) : 0);
    connect(report_->header(), &QHeaderView::sectionClicked, this, [this, &model, sort](int column) {
        sort(column);
        if (settings_)
            WriteSetting(*settings_, vorla::setting::kListSortColumn.In(section_), model.SortColumn());
    });
}

void RecordViews::StoreWidths() const {
    if (viewType_ != kReport || !settings_) return;
    const int columns = report_->model() ? report_->model()->columnCount() : 0;
    for (int c = 0; c < columns; ++c)
        settings_->WriteProfileInt(section_, vorla::setting::ColumnWidthEntry(c + 1),
                                   report_->columnWidth(c));
}

void RecordViews::SetViewType(int type) {
    viewType_ = type >= kIcons && type <= kList ? type : kReport;
    if (viewType_ != kReport) {
        const vorla::ListLayout layout = viewType_ == kIcons  ? vorla::ListLayout::kLargeIcons
                                         : viewType_ == kList ? vorla::ListLayout::kColumns
                                                              : vorla::ListLayout::kSmallIcons;
        vorla::ShowListLayout(icons_, layout, 200, 128);
    }
    setCurrentWidget(Current());
    setFocusProxy(Current());
    menu_->SetType(viewType_);
}

QAbstractItemView* RecordViews::Current() const {
    return viewType_ == kReport ? static_cast<QAbstractItemView*>(report_)
                                : static_cast<QAbstractItemView*>(icons_);
}

std::array<QAbstractItemView*, 2> RecordViews::Both() const {
    return {report_, icons_};
}
