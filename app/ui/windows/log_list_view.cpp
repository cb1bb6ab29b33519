#include "ui/windows/log_list_view.h"

#include "ui/common/command_icon.h"
#include "ui/common/list_view_layout.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QStackedWidget>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

#include "archive/ob_list.h"
#include "paging/log_object.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/windows/log_list_model.h"
#include "ui/windows/log_printer.h"
#include "ui/windows/log_properties.h"
#include "ui/windows/log_resend.h"
#include "ui/windows/window_texts.h"

namespace {
constexpr std::string_view kSection = vorla::setting::kLogWindowSection;
constexpr int kDefaultWidths[CLogListModel::kColumnCount] = {100, 100, 150, 100, 1000};
constexpr int kSortCommands[CLogListModel::kColumnCount] = {
    log_cmd::kSortDate, log_cmd::kSortTime, log_cmd::kSortName, log_cmd::kSortStatus, log_cmd::kSortMessage};
}  // namespace

static_assert(vorla::setting::kListViewType.defaultValue == CLogListView::kDetailsView);

CLogListView::CLogListView(LogWindowContext context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
    auto& settings = *context_.settings;
    const int sortColumn = ReadSetting(settings, vorla::setting::kListSortColumn.In(kSection));
    const int sortOrder = ReadSetting(settings, vorla::setting::kListSortOrder.In(kSection));

    model_ = new CLogListModel(nullptr, this);
    details_ = new QTreeView(this);
    details_->setRootIsDecorated(false);
    details_->setItemsExpandable(false);
    details_->setUniformRowHeights(true);
    details_->setAllColumnsShowFocus(true);
    details_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    details_->setSelectionBehavior(QAbstractItemView::SelectRows);
    details_->setDragEnabled(true);
    details_->setDragDropMode(QAbstractItemView::DragOnly);
    details_->setDefaultDropAction(Qt::CopyAction);
    details_->setModel(model_);
    details_->header()->setSectionsClickable(true);
    details_->header()->setSortIndicatorShown(true);
    details_->header()->setStretchLastSection(false);
    for (int c = 0; c < CLogListModel::kColumnCount; ++c) {
        const int width =
            settings.GetProfileInt(kSection, vorla::setting::ColumnWidthEntry(c + 1), kDefaultWidths[c]);
        details_->header()->resizeSection(c, width > 0 ? width : kDefaultWidths[c]);
    }
    connect(details_->header(), &QHeaderView::sectionClicked, this, &CLogListView::ColumnClicked);

    icons_ = new QListView(this);
    icons_->setModel(model_);
    icons_->setSelectionModel(details_->selectionModel());
    icons_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A click picks a record, as in details mode: the commands act on whole rows.
    icons_->setSelectionBehavior(QAbstractItemView::SelectRows);
    icons_->setUniformItemSizes(true);
    icons_->setLayoutMode(QListView::Batched);
    icons_->setBatchSize(500);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setDragEnabled(true);
    icons_->setDragDropMode(QAbstractItemView::DragOnly);
    icons_->setDefaultDropAction(Qt::CopyAction);
    icons_->setMovement(QListView::Static);

    stack_ = new QStackedWidget(this);
    stack_->addWidget(details_);
    stack_->addWidget(icons_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(details_), static_cast<QAbstractItemView*>(icons_)}) {
        view->setContextMenuPolicy(Qt::DefaultContextMenu);
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }

    CreateActions();
    model_->Sort(sortColumn, sortOrder);
    model_->SetList(context_.logList ? context_.logList() : nullptr);
    SetViewType(ReadSetting(settings, vorla::setting::kListViewType.In(kSection)));
    UpdateChecks();
    if (context_.registerView) context_.registerView(this);
}

CLogListView::~CLogListView() {
    if (ReadSetting(*context_.settings, vorla::setting::kListViewType.In(kSection)) == kDetailsView) {
        for (int c = 0; c < CLogListModel::kColumnCount; ++c)
            context_.settings->WriteProfileInt(kSection, vorla::setting::ColumnWidthEntry(c + 1),
                                               details_->header()->sectionSize(c));
    }
    if (context_.registerView) context_.registerView(nullptr);
}

void CLogListView::CreateActions() {
    auto add = [this](int id, const char* text) {
        auto* action = new QAction(QString::fromLatin1(text), this);
        action->setData(id);
        actions_[id] = action;
        return action;
    };
    QStyle* s = style();
    auto* modes = new QActionGroup(this);
    const struct {
        int id;
        const char* text;
        int type;
        const char* themeIcon;
        const char* ownIcon;
        QStyle::StandardPixmap icon;
    } modeCommands[] = {
        {log_cmd::kLargeIcons, "Lar&ge Icons", kLargeIconView, "view-list-icons", "view_large_icons",
         QStyle::SP_FileDialogContentsView},
        {log_cmd::kSmallIcons, "S&mall Icons", kSmallIconView, "", "view_small_icons",
         QStyle::SP_FileDialogInfoView},
        {log_cmd::kList, "&List", kListView, "view-list-text", "view_list", QStyle::SP_FileDialogListView},
        {log_cmd::kDetails, "&Details", kDetailsView, "view-list-details", "view_details",
         QStyle::SP_FileDialogDetailedView}};
    for (const auto& m : modeCommands) {
        QAction* action = add(m.id, m.text);
        action->setCheckable(true);
        action->setIcon(vorla::CommandIcon(m.themeIcon, m.ownIcon, m.icon, s));
        modes->addAction(action);
        const int type = m.type;
        connect(action, &QAction::triggered, this, [this, type] { SetViewType(type); });
    }
    auto* sorts = new QActionGroup(this);
    static const char* const sortTexts[] = {"by &Date", "by &Time", "by &Name", "by &Status", "by &Message"};
    for (int c = 0; c < CLogListModel::kColumnCount; ++c) {
        QAction* action = add(kSortCommands[c], sortTexts[c]);
        action->setCheckable(true);
        sorts->addAction(action);
        connect(action, &QAction::triggered, this, [this, c] { SortByColumn(c); });
    }
    QAction* ascending = add(log_cmd::kAscending, "&Ascending");
    ascending->setCheckable(true);
    ascending->setIcon(s->standardIcon(QStyle::SP_ArrowUp));
    connect(ascending, &QAction::triggered, this, &CLogListView::ReverseOrder);
    QAction* descending = add(log_cmd::kDescending, "D&escending");
    descending->setCheckable(true);
    connect(descending, &QAction::triggered, this, &CLogListView::ReverseOrder);

    QAction* start = add(log_cmd::kStartLogging, "S&tart Logging");
    start->setCheckable(true);
    connect(start, &QAction::triggered, this, [this] { SetLogging(true); });
    QAction* stop = add(log_cmd::kStopLogging, "St&op Logging");
    stop->setCheckable(true);
    connect(stop, &QAction::triggered, this, [this] { SetLogging(false); });

    QAction* properties = add(log_cmd::kProperties, "P&roperties...");
    properties->setIcon(vorla::CommandIcon("document-properties", QStyle::SP_FileDialogInfoView, s));
    connect(properties, &QAction::triggered, this, &CLogListView::ShowProperties);
    QAction* resend = add(log_cmd::kResend, "Re-&send Message");
    resend->setIcon(vorla::CommandIcon("mail-send", QStyle::SP_BrowserReload, s));
    connect(resend, &QAction::triggered, this, &CLogListView::ResendSelected);
    QAction* clear = add(log_cmd::kClear, "&Clear");
    clear->setIcon(vorla::CommandIcon("edit-delete", QStyle::SP_TrashIcon, s));
    connect(clear, &QAction::triggered, this, &CLogListView::ClearSelected);
    QAction* selectAll = add(log_cmd::kSelectAll, "Select &All");
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(selectAll);
    connect(selectAll, &QAction::triggered, this, &CLogListView::SelectAll);
    QAction* print = add(log_cmd::kPrint, "&Print...");
    print->setIcon(vorla::CommandIcon("document-print", QStyle::SP_DialogSaveButton, s));
    connect(print, &QAction::triggered, this, &CLogListView::Print);

    contextMenu_ = new QMenu(this);
    QMenu* view = contextMenu_->addMenu(QStringLiteral("&View"));
    for (int id : {log_cmd::kLargeIcons, log_cmd::kSmallIcons, log_cmd::kList, log_cmd::kDetails})
        view->addAction(actions_[id]);
    QMenu* sort = contextMenu_->addMenu(QStringLiteral("&Sort"));
    for (int id : kSortCommands)
        sort->addAction(actions_[id]);
    sort->addSeparator();
    sort->addAction(ascending);
    sort->addAction(descending);
    contextMenu_->addSeparator();
    for (int id : {log_cmd::kProperties, log_cmd::kResend, log_cmd::kClear, log_cmd::kSelectAll})
        contextMenu_->addAction(actions_[id]);
    contextMenu_->addSeparator();
    contextMenu_->addAction(start);
    contextMenu_->addAction(stop);
    contextMenu_->addAction(print);
}

QAction* CLogListView::Action(int commandId) const {
    auto found = actions_.find(commandId);
    return found == actions_.end() ? nullptr : found->second;
}

QAbstractItemView* CLogListView::CurrentView() const {
    return viewType_ == kDetailsView ? static_cast<QAbstractItemView*>(details_) : icons_;
}

void CLogListView::UpdateChecks() {
    const int modeIds[] = {log_cmd::kLargeIcons, log_cmd::kDetails, log_cmd::kSmallIcons, log_cmd::kList};
    actions_[modeIds[viewType_]]->setChecked(true);
    actions_[kSortCommands[model_->SortColumn()]]->setChecked(true);
    actions_[log_cmd::kAscending]->setChecked(model_->SortOrder() == 1);
    actions_[log_cmd::kDescending]->setChecked(model_->SortOrder() == -1);
    const bool logging = ReadSetting(*context_.settings, vorla::setting::kLogToDisk) != 0;
    actions_[log_cmd::kStartLogging]->setChecked(logging);
    actions_[log_cmd::kStopLogging]->setChecked(!logging);
    details_->header()->setSortIndicator(model_->SortColumn(),
                                         model_->SortOrder() == 1 ? Qt::AscendingOrder : Qt::DescendingOrder);
    // Outside details mode an item shows the field of the sort column.
    icons_->setModelColumn(model_->SortColumn());
}

void CLogListView::SetViewType(int type) {
    if (type < kLargeIconView || type > kListView) type = kDetailsView;
    viewType_ = type;
    if (type == kDetailsView) {
        stack_->setCurrentWidget(details_);
    } else {
        const vorla::ListLayout layout = type == kLargeIconView ? vorla::ListLayout::kLargeIcons
                                         : type == kListView    ? vorla::ListLayout::kColumns
                                                                : vorla::ListLayout::kSmallIcons;
        vorla::ShowListLayout(icons_, layout,
                              ReadSetting(*context_.settings, vorla::setting::kListColumn.In(kSection)), 96);
        stack_->setCurrentWidget(icons_);
    }
    WriteSetting(*context_.settings, vorla::setting::kListViewType.In(kSection), viewType_);
    UpdateChecks();
}

void CLogListView::SaveSort() {
    WriteSetting(*context_.settings, vorla::setting::kListSortColumn.In(kSection), model_->SortColumn());
    WriteSetting(*context_.settings, vorla::setting::kListSortOrder.In(kSection), model_->SortOrder());
    UpdateChecks();
}

void CLogListView::ColumnClicked(int column) {
    const int order = column == model_->SortColumn() ? -model_->SortOrder() : model_->SortOrder();
    model_->SyncAppended();
    model_->Sort(column, order);
    SaveSort();
}

void CLogListView::SortByColumn(int column) {
    model_->SyncAppended();
    model_->Sort(column, model_->SortOrder());
    SaveSort();
}

void CLogListView::ReverseOrder() {
    model_->SyncAppended();
    model_->Sort(model_->SortColumn(), -model_->SortOrder());
    SaveSort();
}

void CLogListView::SetLogging(bool on) {
    WriteSetting(*context_.settings, vorla::setting::kLogToDisk, on ? 1 : 0);
    UpdateChecks();
}

std::vector<int> CLogListView::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : details_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CLogListView::ShowProperties() {
    const auto rows = SelectedRows();
    if (rows.empty()) return;
    const CLogObject* record = model_->RecordAt(rows.front());
    if (!record) return;
    auto* sheet = new CLogPropertySheet(*record, model_->List(), this);
    sheet->setWindowFlag(Qt::Window);
    sheet->show();
}

void CLogListView::ResendSelected() {
    OutgoingQueue* queue = context_.queue ? context_.queue() : nullptr;
    CObList* subscribers = context_.subscriberList ? context_.subscriberList() : nullptr;
    if (!queue || !subscribers) return;
    std::vector<const CLogObject*> records;
    for (int row : SelectedRows())
        records.push_back(model_->RecordAt(row));
    if (records.empty()) return;
    ResendLogRecords(records, *subscribers, *queue, *context_.settings, context_.now ? context_.now() : 0,
                     context_.prompts.okCancel);
}

void CLogListView::ClearSelected() {
    const auto rows = SelectedRows();
    if (rows.empty()) return;
    if (!context_.prompts.yesNoStop ||
        !context_.prompts.yesNoStop(QString::fromLatin1(window_texts::kConfirmClear)))
        return;
    model_->DeleteRows(rows);
    if (context_.recordsRemoved) context_.recordsRemoved();
}

void CLogListView::SelectAll() {
    CurrentView()->selectAll();
}

int CLogListView::PrintTo(QPagedPaintDevice& device) {
    return PrintLogLines(device, model_->rowCount(), [this](int row) {
        const CLogObject* record = model_->RecordAt(row);
        if (!record) return QString();
        QStringList fields;
        for (int c = 0; c < CLogListModel::kColumnCount; ++c)
            fields << CLogListModel::ColumnText(*record, c);
        return fields.join(QLatin1Char('\t'));
    });
}

void CLogListView::Print() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintTo(printer);
}

void CLogListView::AddRow() {
    if (model_->List() != (context_.logList ? context_.logList() : nullptr)) {
        CheckList();
        return;
    }
    if (model_->SyncAppended() > 0) CurrentView()->scrollTo(model_->index(model_->rowCount() - 1, 0));
}

void CLogListView::CheckList() {
    CObList* list = context_.logList ? context_.logList() : nullptr;
    if (list != model_->List()) model_->SetList(list);
}

void CLogListView::ShowContextMenuAt(QWidget* from, const QPoint& position) {
    contextMenu_->popup(from->mapToGlobal(position));
}

bool CLogListView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu) {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        QAbstractItemView* view = CurrentView();
        if (menuEvent->reason() == QContextMenuEvent::Keyboard) {
            ShowContextMenuAt(view, QPoint(5, 5));
        } else {
            ShowContextMenuAt(static_cast<QWidget*>(watched), menuEvent->pos());
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
