#include "ui/message_entry/selection_list.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "archive/ob_list.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/subscriber.h"
#include "settings/ascii_case.h"
#include "text/windows1252.h"

SelectionListModel::SelectionListModel(QObject* parent) : QAbstractListModel(parent) {}

void SelectionListModel::SetDisplayList(CObList* displayList) {
    beginResetModel();
    rows_.SetDisplayList(displayList);
    endResetModel();
}

void SelectionListModel::Load() {
    beginResetModel();
    rows_.Load();
    endResetModel();
}

void SelectionListModel::Fill(const CObList* subscribers, const CObList* groups) {
    beginResetModel();
    rows_.Fill(subscribers, groups);
    endResetModel();
}

void SelectionListModel::ToggleGroup(int row) {
    CDisplayObject* group = rows_.At(row);
    if (KindOf(*group) != RowKind::Group) return;
    if (!group->GetExpanded()) {
        int added = 0;
        if (const CObList* members = group->GetGroup()->GetMembers()) {
            for (Serializable* item : *members)
                added += dynamic_cast<CSubscriber*>(item) != nullptr;
        }
        if (added <= 0) {
            rows_.ToggleGroup(row);  // marks the empty group expanded
            emit dataChanged(index(row), index(row));
            return;
        }
        beginInsertRows(QModelIndex(), row + 1, row + added);
        rows_.ToggleGroup(row);
        endInsertRows();
    } else {
        int members = 0;
        while (row + 1 + members < rows_.Count()) {
            CDisplayObject* next = rows_.At(row + 1 + members);
            if (KindOf(*next) != RowKind::Member || next->GetGroup() != group->GetGroup()) break;
            ++members;
        }
        if (members == 0) {
            rows_.ToggleGroup(row);
            emit dataChanged(index(row), index(row));
            return;
        }
        beginRemoveRows(QModelIndex(), row + 1, row + members);
        rows_.ToggleGroup(row);
        endRemoveRows();
    }
    emit dataChanged(index(row), index(row));
}

int SelectionListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_.Count();
}

QVariant SelectionListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.Count()) return {};
    const CDisplayObject& row = *rows_.At(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return vorla::FromWindows1252(RowName(row));
        case KindRole:
            return static_cast<int>(KindOf(row));
        case ExpandedRole:
            return row.GetExpanded() != 0;
        default:
            return {};
    }
}

void SelectionDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    painter->save();
    const auto kind = static_cast<RowKind>(index.data(SelectionListModel::KindRole).toInt());
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
    QRect text = option.rect.adjusted(kMargin, 0, 0, 0);
    QColor colour = selected ? palette.highlightedText().color() : palette.text().color();
    if (kind == RowKind::Group) {
        // The expand sign: a box with "-" when expanded, "+" when collapsed.
        const QRect box(option.rect.left() + 3, option.rect.center().y() - 4, 9, 9);
        painter->setPen(palette.text().color());
        painter->fillRect(box, palette.base());
        painter->drawRect(box);
        painter->drawLine(box.left() + 2, box.center().y(), box.right() - 2, box.center().y());
        if (!index.data(SelectionListModel::ExpandedRole).toBool())
            painter->drawLine(box.center().x(), box.top() + 2, box.center().x(), box.bottom() - 2);
    } else if (kind == RowKind::Member) {
        text.setLeft(option.rect.left() + kMargin + kMemberIndent);
        if (!selected) colour = memberColour_;
    }
    painter->setPen(colour);
    painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft, index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.rect = option.rect.adjusted(kMargin, 0, 0, 0);
        focus.state = option.state;
        focus.backgroundColor = selected ? palette.highlight().color() : palette.base().color();
        option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
    painter->restore();
}

QSize SelectionDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), 16));
    return size;
}

void CSelectionListBox::SetFindText(const std::string& text) {
    find_ = vorla::AsciiLowerCopy(text);
    ApplyFind();
}

void CSelectionListBox::ApplyFind() {
    auto holds = [this](const std::string& text) {
        return vorla::AsciiLowerCopy(text).find(find_) != std::string::npos;
    };
    for (int row = 0; row < model_->rowCount(); ++row) {
        const CDisplayObject* item = model_->RowAt(row);
        bool shown = find_.empty();
        if (!shown && item) {
            shown = holds(RowName(*item)) ||
                    (item->GetSubscriber() &&
                     (holds(item->GetSubscriber()->GetName()) || holds(item->GetSubscriber()->GetPIN())));
        }
        setRowHidden(row, !shown);
    }
}

CSelectionListBox::CSelectionListBox(QWidget* parent) : QListView(parent) {
    model_ = new SelectionListModel(this);
    // Rows that come or go (a fill, a group opened) are filtered like the rest.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { ApplyFind(); });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] { ApplyFind(); });
    connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] { ApplyFind(); });
    delegate_ = new SelectionDelegate(this);
    setModel(model_);
    setItemDelegate(delegate_);
    setSelectionMode(QAbstractItemView::MultiSelection);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    clock_ = [] { return QDateTime::currentSecsSinceEpoch(); };
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit SelectionChanged(); });
}

void CSelectionListBox::SetMemberColour(QColor colour) {
    delegate_->SetMemberColour(colour);
    viewport()->update();
}

std::vector<const CDisplayObject*> CSelectionListBox::SelectedRows() const {
    QModelIndexList selected = selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<const CDisplayObject*> rows;
    for (const QModelIndex& index : selected)
        rows.push_back(model_->RowAt(index.row()));
    return rows;
}

void CSelectionListBox::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        const int x = event->position().toPoint().x();
        const auto kind = static_cast<RowKind>(index.data(SelectionListModel::KindRole).toInt());
        if (x < SelectionDelegate::kMargin) {
            // The margin never selects; on a group it opens or closes the group.
            if (kind == RowKind::Group) {
                setUpdatesEnabled(false);
                model_->ToggleGroup(index.row());
                setUpdatesEnabled(true);
                emit SelectionChanged();
            }
            return;
        }
        if (kind == RowKind::Member) return;
    }
    QListView::mousePressEvent(event);
}

void CSelectionListBox::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->position().toPoint().x() < SelectionDelegate::kMargin) return;
    QListView::mouseReleaseEvent(event);
}

void CSelectionListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click is two clicks, each toggling, so the selection ends where it began.
    mousePressEvent(event);
}

void CSelectionListBox::MoveCaret(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    selectionModel()->setCurrentIndex(model_->index(row), QItemSelectionModel::NoUpdate);
    scrollTo(model_->index(row));
}

void CSelectionListBox::ToggleCaretSelection() {
    const QModelIndex caret = currentIndex();
    if (!caret.isValid()) return;
    selectionModel()->select(caret, QItemSelectionModel::Toggle);
}

void CSelectionListBox::keyPressEvent(QKeyEvent* event) {
    const int count = model_->rowCount();
    const int caret = currentIndex().isValid() ? currentIndex().row() : -1;
    switch (event->key()) {
        case Qt::Key_Down:
            MoveCaret(count == 0 ? -1 : (caret + 1 >= count ? 0 : caret + 1));
            return;
        case Qt::Key_Up:
            MoveCaret(count == 0 ? -1 : (caret <= 0 ? count - 1 : caret - 1));
            return;
        case Qt::Key_Home:
            MoveCaret(0);
            return;
        case Qt::Key_End:
            MoveCaret(count - 1);
            return;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Left:
        case Qt::Key_Right:
            return;
        default:
            break;
    }
    const QString text = event->text();
    if (text.isEmpty() || !text[0].isPrint() ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QWidget::keyPressEvent(event);  // Tab, Enter, Esc go on to the form
        return;
    }
    const qint64 now = clock_();
    if (now - lastKeySecond_ >= 2) prefix_.clear();
    lastKeySecond_ = now;
    prefix_ += vorla::ToWindows1252(text);
    if (prefix_[0] == ' ') {
        ToggleCaretSelection();
        return;
    }
    const int found = model_->Rows().FindPrefix(prefix_, 0);
    if (found >= 0) MoveCaret(found);
}

void CSelectionListBox::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
}
