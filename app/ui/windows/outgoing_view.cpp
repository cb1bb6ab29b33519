#include "ui/windows/outgoing_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <set>
#include <string>

#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/common/command_icon.h"
#include "ui/windows/outgoing_model.h"
#include "ui/windows/window_texts.h"

namespace {
constexpr std::string_view kSection = vorla::setting::kOutgoingListSection;
constexpr int kDefaultWidths[COutgoingModel::kColumnCount] = {150, 100, 122, 112, 350};
QFont BoldLabelFont(const QFont& base) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPointSizeF(std::max<qreal>(9.0, base.pointSizeF()));
    return font;
}
}  // namespace

COutgoingView32::COutgoingView32(std::function<OutgoingQueue*()> queue, vorla::ISettingsStore& settings,
                                 WindowPrompts prompts, QWidget* parent)
    : QWidget(parent), queue_(std::move(queue)), settings_(settings), prompts_(std::move(prompts)) {
    setWindowTitle(QString::fromLatin1(window_texts::kProgramTitle));
    model_ = new COutgoingModel(queue_, this);

    list_ = new QTreeView(this);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setTextElideMode(Qt::ElideRight);
    list_->setModel(model_);
    // The selection stays visible while the buttons have the focus.
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    list_->setPalette(palette);
    for (int c = 0; c < COutgoingModel::kColumnCount; ++c) {
        const int width =
            settings_.GetProfileInt(kSection, vorla::setting::ColumnWidthEntry(c + 1), kDefaultWidths[c]);
        list_->header()->resizeSection(c, width > 0 ? width : kDefaultWidths[c]);
    }
    list_->header()->setStretchLastSection(false);

    sendLater_ = new QPushButton(QString::fromLatin1(window_texts::kSendLaterItems), this);
    sendLater_->setIcon(vorla::CommandIcon("", "send_later", QStyle::SP_CustomBase, nullptr));
    sendSelected_ = new QPushButton(QString::fromLatin1(window_texts::kSendSelected), this);
    deleteSelected_ = new QPushButton(QString::fromLatin1(window_texts::kDeleteSelected), this);
    connect(sendLater_, &QPushButton::clicked, this, &COutgoingView32::SendLaterItems);
    connect(sendSelected_, &QPushButton::clicked, this, &COutgoingView32::SendSelected);
    connect(deleteSelected_, &QPushButton::clicked, this, &COutgoingView32::DeleteSelected);

    auto* statusCaption = new QLabel(QString::fromLatin1(window_texts::kStatusCaption), this);
    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("OutgoingStatusLabel"));
    const QFont bold = BoldLabelFont(font());
    statusCaption->setFont(bold);
    statusLabel_->setFont(bold);
    statusLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The list grows with the window; the buttons and the status line keep their distance
    // to the bottom edge.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sendLater_);
    buttons->addWidget(sendSelected_);
    buttons->addWidget(deleteSelected_);
    buttons->addStretch(1);
    auto* status = new QHBoxLayout;
    status->addWidget(statusCaption);
    status->addWidget(statusLabel_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    layout->addLayout(status);

    dueTimer_ = new QTimer(this);
    dueTimer_->setInterval(kDueCheckMilliseconds);
    connect(dueTimer_, &QTimer::timeout, this, [this] {
        OutgoingQueue* q = queue_();
        if (q && q->RowCount() > 0) DueCheck();
    });
    dueTimer_->start();
}

COutgoingView32::~COutgoingView32() {
    dueTimer_->stop();
    SaveColumnWidths();
}

void COutgoingView32::SaveColumnWidths() {
    if (ReadSetting(settings_, vorla::setting::kListViewType.In(kSection)) != 1) return;
    for (int c = 0; c < COutgoingModel::kColumnCount; ++c)
        settings_.WriteProfileInt(kSection, vorla::setting::ColumnWidthEntry(c + 1),
                                  list_->header()->sectionSize(c));
}

std::vector<size_t> COutgoingView32::SelectedRows() const {
    std::vector<size_t> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void COutgoingView32::OnQueueChanged() {
    std::set<const CPage*> selected;
    for (size_t row : SelectedRows())
        selected.insert(model_->PageAt(static_cast<int>(row)));
    const CPage* current = model_->PageAt(list_->currentIndex().row());
    selected.erase(nullptr);
    model_->Reload();
    if (selected.empty() && !current) return;
    QItemSelection selection;
    QModelIndex currentIndex;
    for (int row = 0; row < model_->rowCount(); ++row) {
        const CPage* page = model_->PageAt(row);
        if (selected.count(page))
            selection.select(model_->index(row, 0), model_->index(row, COutgoingModel::kColumnCount - 1));
        if (page == current) currentIndex = model_->index(row, 0);
    }
    if (currentIndex.isValid())
        list_->selectionModel()->setCurrentIndex(currentIndex, QItemSelectionModel::NoUpdate);
    list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void COutgoingView32::DueCheck() {
    if (OutgoingQueue* q = queue_()) q->DueCheck();
}

void COutgoingView32::Refresh() {
    if (OutgoingQueue* q = queue_()) q->Refresh();
    OnQueueChanged();
}

CPage* COutgoingView32::GetNextPage() {
    OutgoingQueue* q = queue_();
    return q ? q->GetNextPage() : nullptr;
}

int32_t COutgoingView32::MarkNowPages(int32_t status) {
    OutgoingQueue* q = queue_();
    return q ? q->MarkNowPages(status) : 0;
}

void COutgoingView32::RemoveFirstRow() {
    if (OutgoingQueue* q = queue_()) q->RemoveFirstRow();
}

void COutgoingView32::SetStatusLabel(const QString& text) {
    statusLabel_->setText(text);
    statusLabel_->repaint();
}

void COutgoingView32::SetResend(int32_t times) {
    for (size_t row : SelectedRows()) {
        CPage* page = model_->PageAt(static_cast<int>(row));
        if (!page) continue;
        if (page->GetStatus() == kStatusSending || page->GetStatus() == kStatusFailed) {
            prompts_.stop(QString::fromLatin1(window_texts::kCannotChangeSending));
            continue;
        }
        page->SetResendTimes(times);
    }
}

void COutgoingView32::InsertRow(CPage* page) {
    if (OutgoingQueue* q = queue_()) q->InsertRow(page);
}

void COutgoingView32::Relayout(int width, int height) {
    // The layout keeps the list's top left corner and moves the buttons with the bottom edge;
    // only the last size is kept, as callers ask for it.
    lastWidth_ = width;
    lastHeight_ = height;
    if (layout()) layout()->activate();
}

void COutgoingView32::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout(event->size().width(), event->size().height());
}

void COutgoingView32::SendLaterItems() {
    if (OutgoingQueue* q = queue_()) q->SendLaterItems();
}

std::vector<size_t> COutgoingView32::SelectedQueueRows(OutgoingQueue& queue) const {
    // The queue may have re-sorted since the view was last told (pages appended elsewhere),
    // so the selected pages are looked up again rather than trusting the view's row numbers.
    std::set<const CPage*> selected;
    for (size_t row : SelectedRows())
        selected.insert(model_->PageAt(static_cast<int>(row)));
    selected.erase(nullptr);
    std::vector<size_t> rows;
    const auto& queueRows = queue.Rows();
    for (size_t i = 0; i < queueRows.size() && rows.size() < selected.size(); ++i)
        if (selected.count(queueRows[i].page)) rows.push_back(i);
    return rows;
}

void COutgoingView32::SendSelected() {
    if (OutgoingQueue* q = queue_()) q->SendSelected(SelectedQueueRows(*q));
}

void COutgoingView32::DeleteSelected() {
    if (OutgoingQueue* q = queue_()) q->DeleteSelected(SelectedQueueRows(*q));
}
