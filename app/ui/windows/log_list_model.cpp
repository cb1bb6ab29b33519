#include "log_list_model.h"

#include <QMimeData>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "local_time.h"
#include "log_object.h"
#include "ob_list.h"
#include "row_icons.h"
#include "windows1252.h"

namespace {

// Case folding for the program's 8-bit text: ASCII and the Windows-1252 accented capitals.
unsigned char Fold(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

int CompareNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = Fold(static_cast<unsigned char>(a[i]));
        const unsigned char y = Fold(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int Sign(int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

int CompareBytes(const std::string& a, const std::string& b) { return Sign(a.compare(b)); }

const CLogObject* AsLog(Serializable* object) { return As<CLogObject>(object); }

}  // namespace

CLogListModel::CLogListModel(CObList* list, QObject* parent) : QAbstractTableModel(parent), list_(list) {
    Reload();
}

void CLogListModel::SetList(CObList* list) {
    list_ = list;
    Reload();
}

void CLogListModel::AppendKeys(size_t from) {
    const size_t count = list_ ? list_->GetCount() : 0;
    keys_.resize(count);
    // Every zone's offset is a whole number of quarter hours and changes only at a quarter
    // hour, so one conversion serves every time in the same quarter hour: a long log costs a
    // few thousand conversions instead of one per record.
    constexpr uint32_t kQuarter = 900;
    std::unordered_map<uint32_t, DayKeys> quarters;
    for (size_t i = from; i < count; ++i) {
        const CLogObject* record = AsLog(list_->GetAt(i));
        if (!record) continue;
        const uint32_t time = record->GetTime();
        const uint32_t quarter = time / kQuarter;
        auto found = quarters.find(quarter);
        if (found == quarters.end()) {
            const std::tm local = LocalCalendarTime(quarter * kQuarter);
            DayKeys start;
            start.day = (local.tm_year * 16 + local.tm_mon) * 32 + local.tm_mday;
            start.timeOfDay = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
            found = quarters.emplace(quarter, start).first;
        }
        keys_[i] = found->second;
        keys_[i].timeOfDay += static_cast<int32_t>(time % kQuarter);
    }
}

void CLogListModel::Reload() {
    beginResetModel();
    order_.clear();
    keys_.clear();
    seen_ = 0;
    if (list_) {
        const size_t count = list_->GetCount();
        order_.reserve(count);
        AppendKeys(0);
        for (size_t i = 0; i < count; ++i) {
            // Only log records are shown; anything else a damaged file left is passed over.
            if (AsLog(list_->GetAt(i))) order_.push_back(static_cast<uint32_t>(i));
        }
        seen_ = count;
    }
    endResetModel();
    Sort(sortColumn_, sortOrder_);
}

static const std::string& SortText(const CLogObject& record, int column) {
    return column == CLogListModel::kStatus    ? record.GetStatus()
           : column == CLogListModel::kMessage ? record.GetMessage()
                                               : record.GetName();
}

CLogListModel::SortKey CLogListModel::MakeSortKey(uint32_t at) const {
    const auto& record = static_cast<const CLogObject&>(*list_->GetAt(at));
    SortKey key;
    key.at = at;
    key.day = keys_[at].day;
    key.timeOfDay = keys_[at].timeOfDay;
    const std::string& text = SortText(record, sortColumn_);
    const bool fold = sortColumn_ == kStatus || sortColumn_ == kMessage;
    key.length = static_cast<uint32_t>(text.size());
    // Big-endian words, so comparing the words compares the bytes in order.
    for (size_t i = 0; i < kPrefixBytes && i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (fold) c = Fold(c);
        key.prefix[i / 8] |= uint64_t(c) << (8 * (7 - i % 8));
    }
    return key;
}

int CLogListModel::CompareText(const SortKey& a, const SortKey& b, bool foldCase) const {
    for (size_t w = 0; w < 4; ++w)
        if (a.prefix[w] != b.prefix[w]) return a.prefix[w] < b.prefix[w] ? -1 : 1;
    // Equal prefixes: a short text (zero bytes pad it) is settled by the lengths, unless a
    // text holds zero bytes of its own; only then are the records read.
    if (a.length <= kPrefixBytes && b.length <= kPrefixBytes) {
        if (a.length != b.length) {
            const auto& x = SortText(static_cast<const CLogObject&>(*list_->GetAt(a.at)), sortColumn_);
            const auto& y = SortText(static_cast<const CLogObject&>(*list_->GetAt(b.at)), sortColumn_);
            return foldCase ? CompareNoCase(x, y) : CompareBytes(x, y);
        }
        return 0;
    }
    const auto& x = SortText(static_cast<const CLogObject&>(*list_->GetAt(a.at)), sortColumn_);
    const auto& y = SortText(static_cast<const CLogObject&>(*list_->GetAt(b.at)), sortColumn_);
    return foldCase ? CompareNoCase(x, y) : CompareBytes(x, y);
}

int CLogListModel::CompareKeys(const SortKey& a, const SortKey& b) const {
    auto byDay = [](const SortKey& x, const SortKey& y) { return x.day == y.day ? 0 : (x.day < y.day ? -1 : 1); };
    auto byTime = [](const SortKey& x, const SortKey& y) {
        return x.timeOfDay == y.timeOfDay ? 0 : (x.timeOfDay < y.timeOfDay ? -1 : 1);
    };
    switch (sortColumn_) {
        case kDate:
            if (int c = byDay(a, b)) return c;
            if (int c = byTime(a, b)) return c;
            return CompareText(a, b, false);
        case kTime:
            if (int c = byTime(a, b)) return c;
            if (int c = byDay(a, b)) return c;
            return CompareText(a, b, false);
        case kName:
            if (int c = CompareText(a, b, false)) return c;
            if (int c = byDay(a, b)) return c;
            return byTime(a, b);
        default: return CompareText(a, b, true);
    }
}

void CLogListModel::Sort(int column, int order) {
    sortColumn_ = std::clamp(column, 0, kColumnCount - 1);
    sortOrder_ = order < 0 ? -1 : 1;
    if (!list_) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    std::vector<uint32_t> before;
    before.reserve(persistent.size());
    for (const QModelIndex& index : persistent) before.push_back(order_[index.row()]);
    const int direction = sortOrder_;
    std::vector<SortKey> sortKeys;
    sortKeys.reserve(order_.size());
    for (uint32_t at : order_) sortKeys.push_back(MakeSortKey(at));
    std::stable_sort(sortKeys.begin(), sortKeys.end(),
                     [this, direction](const SortKey& a, const SortKey& b) { return CompareKeys(a, b) * direction < 0; });
    for (size_t row = 0; row < sortKeys.size(); ++row) order_[row] = sortKeys[row].at;
    if (!persistent.isEmpty()) {
        // Few persistent rows (selection, current): find each one's new row.
        std::vector<int> rowOf(list_->GetCount(), -1);
        for (size_t row = 0; row < order_.size(); ++row) rowOf[order_[row]] = static_cast<int>(row);
        QModelIndexList after;
        after.reserve(persistent.size());
        for (qsizetype i = 0; i < persistent.size(); ++i)
            after.push_back(index(rowOf[before[i]], persistent[i].column()));
        changePersistentIndexList(persistent, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CLogListModel::SyncAppended() {
    const size_t count = list_ ? list_->GetCount() : 0;
    if (count < seen_) {  // the list shrank behind our back: start over
        Reload();
        return 0;
    }
    std::vector<uint32_t> added;
    for (size_t i = seen_; i < count; ++i)
        if (AsLog(list_->GetAt(i))) added.push_back(static_cast<uint32_t>(i));
    AppendKeys(seen_);
    seen_ = count;
    if (added.empty()) return 0;
    const int first = static_cast<int>(order_.size());
    beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
    order_.insert(order_.end(), added.begin(), added.end());
    endInsertRows();
    return static_cast<int>(added.size());
}

const CLogObject* CLogListModel::RecordAt(int row) const {
    if (!list_ || row < 0 || static_cast<size_t>(row) >= order_.size()) return nullptr;
    const uint32_t at = order_[row];
    return at < list_->GetCount() ? AsLog(list_->GetAt(at)) : nullptr;
}

void CLogListModel::DeleteRows(std::vector<int> rows) {
    if (!list_) return;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [this](int r) { return r < 0 || static_cast<size_t>(r) >= order_.size(); }),
               rows.end());
    if (rows.empty()) return;
    SyncAppended();
    std::vector<uint32_t> removed;
    removed.reserve(rows.size());
    for (int row : rows) removed.push_back(order_[row]);
    std::sort(removed.begin(), removed.end());

    // One pass over the list, so clearing every record of a long log stays linear.
    const size_t count = list_->GetCount();
    std::vector<char> gone(count, 0);
    for (uint32_t at : removed) gone[at] = 1;
    std::vector<uint32_t> newPosition(count, 0);
    std::vector<Serializable*> keep;
    std::vector<Serializable*> discard;
    std::vector<DayKeys> keepKeys;
    keep.reserve(count - removed.size());
    keepKeys.reserve(count - removed.size());
    for (size_t i = 0; i < count; ++i) {
        if (gone[i]) {
            discard.push_back(list_->GetAt(i));
            continue;
        }
        newPosition[i] = static_cast<uint32_t>(keep.size());
        keep.push_back(list_->GetAt(i));
        keepKeys.push_back(keys_[i]);
    }

    beginResetModel();
    list_->RemoveAll();
    list_->Reserve(keep.size());
    for (Serializable* record : keep) list_->AddTail(record);
    for (Serializable* record : discard) DiscardRecord(record);
    keys_ = std::move(keepKeys);
    std::vector<uint32_t> kept;
    kept.reserve(order_.size() - rows.size());
    for (size_t row = 0, next = 0; row < order_.size(); ++row) {
        if (next < rows.size() && static_cast<size_t>(rows[next]) == row) {
            ++next;
            continue;
        }
        kept.push_back(newPosition[order_[row]]);
    }
    order_ = std::move(kept);
    seen_ = list_->GetCount();
    endResetModel();
}

int CLogListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int CLogListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QString CLogListModel::ColumnText(const CLogObject& record, int column) {
    switch (column) {
        case kDate: return QString::fromStdString(record.GetDateText()).left(200);
        case kTime: return QString::fromStdString(record.GetTimeText());
        case kName: return vorla::FromWindows1252(record.GetName());
        case kStatus: return vorla::FromWindows1252(record.GetStatus());
        case kMessage: return vorla::FromWindows1252(record.GetMessage());
        default: return QString();
    }
}

QVariant CLogListModel::data(const QModelIndex& index, int role) const {
    const CLogObject* record = RecordAt(index.row());
    if (!record) return {};
    if (role == Qt::DisplayRole) return ColumnText(*record, index.column());
    if (role == Qt::DecorationRole && (index.column() == kDate || index.column() == sortColumn_))
        return RowIcon(record->GetCode() == 0 ? RowImage::LogOk : RowImage::LogError);
    return {};
}

QVariant CLogListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const titles[kColumnCount] = {"Date", "Time", "Name", "Status", "Message"};
    return section >= 0 && section < kColumnCount ? QString::fromLatin1(titles[section]) : QVariant();
}

Qt::ItemFlags CLogListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid()) flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList CLogListModel::mimeTypes() const { return {QStringLiteral("text/plain")}; }

QMimeData* CLogListModel::mimeData(const QModelIndexList& indexes) const {
    // The dragged record's message, as plain text the message field takes.
    const CLogObject* record = nullptr;
    for (const QModelIndex& index : indexes) {
        if ((record = RecordAt(index.row()))) break;
    }
    if (!record) return nullptr;
    auto* mime = new QMimeData;
    mime->setText(vorla::FromWindows1252(record->GetMessage()));
    return mime;
}

Qt::DropActions CLogListModel::supportedDragActions() const { return Qt::CopyAction | Qt::MoveAction; }
