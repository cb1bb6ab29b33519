#include "ui/windows/log_list_model.h"

#include <QMimeData>

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <unordered_map>

#include "archive/ob_list.h"
#include "paging/local_time.h"
#include "paging/log_object.h"
#include "sorting/text_order.h"
#include "text/windows1252.h"
#include "ui/windows/row_icons.h"

namespace {

const CLogObject* AsLog(Serializable* object) {
    return As<CLogObject>(object);
}

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
            // Days since 1970-01-01 keep every date of the 32-bit time range within 16 bits,
            // which the sort's packed keys count on.
            const std::chrono::year_month_day date{
                std::chrono::year(local.tm_year + 1900),
                std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
                std::chrono::day(static_cast<unsigned>(local.tm_mday))};
            start.day = std::chrono::sys_days(date).time_since_epoch().count();
            start.timeOfDay = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
            found = quarters.emplace(quarter, start).first;
        }
        keys_[i] = found->second;
        keys_[i].timeOfDay += static_cast<int32_t>(time % kQuarter);
        dayLow_ = std::min(dayLow_, keys_[i].day);
        dayHigh_ = std::max(dayHigh_, keys_[i].day);
        timeLow_ = std::min(timeLow_, keys_[i].timeOfDay);
        timeHigh_ = std::max(timeHigh_, keys_[i].timeOfDay);
    }
}

void CLogListModel::Reload() {
    beginResetModel();
    order_.clear();
    keys_.clear();
    dayLow_ = timeLow_ = INT32_MAX;
    dayHigh_ = timeHigh_ = INT32_MIN;
    ForgetSortKeys();
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

void CLogListModel::ForgetSortKeys() {
    sortKeysColumn_ = -1;
    for (TextKind kind : {kNameText, kStatusText, kMessageText}) {
        textRanks_[kind].clear();
        textRanksFresh_[kind] = false;
    }
}

const std::vector<uint32_t>& CLogListModel::TextRanks(TextKind kind) {
    std::vector<uint32_t>& ranks = textRanks_[kind];
    if (textRanksFresh_[kind]) return ranks;
    const vorla::ByteFold& fold = kind == kNameText ? vorla::kExactBytes : vorla::kWindows1252Fold;
    std::vector<vorla::TextRef> texts;
    texts.reserve(order_.size());
    for (uint32_t at : order_) {
        const auto& record = static_cast<const CLogObject&>(*list_->GetAt(at));
        const std::string& text = kind == kStatusText    ? record.GetStatus()
                                  : kind == kMessageText ? record.GetMessage()
                                                         : record.GetName();
        texts.push_back(vorla::TextRef::Of(text, at));
    }
    rankCount_[kind] = vorla::RankTexts(texts, fold, keys_.size(), ranks);
    textRanksFresh_[kind] = true;
    return ranks;
}

void CLogListModel::MakeSortKeys() {
    const bool byText = sortColumn_ == kStatus || sortColumn_ == kMessage;
    const TextKind text = sortColumn_ == kStatus    ? kStatusText
                          : sortColumn_ == kMessage ? kMessageText
                                                    : kNameText;
    const std::vector<uint32_t>& ranks = TextRanks(text);
    // Each field is stored as its distance from its smallest value, in as few bits as its
    // spread needs: days fit 16 bits, times of day 17 and ranks 31 (fewer rows than an int
    // counts), so a whole key always fits 64 bits. The day and time bounds are kept as records
    // arrive (deleting rows leaves them wider than needed, never wrong), which spares a pass
    // over the rows.
    auto widthOf = [](int64_t low, int64_t high) {
        return static_cast<unsigned>(std::bit_width(static_cast<uint64_t>(std::max<int64_t>(high - low, 0))));
    };
    const unsigned dayBits = byText ? 0 : widthOf(dayLow_, dayHigh_);
    const unsigned timeBits = byText ? 0 : widthOf(timeLow_, timeHigh_);
    const unsigned rankBits = widthOf(0, int64_t(rankCount_[text]) - 1);
    // Where each field sits in the key, the most significant field of the column highest.
    unsigned dayShift = 0, timeShift = 0, rankShift = 0;
    switch (sortColumn_) {
        case kDate:
            dayShift = timeBits + rankBits, timeShift = rankBits;
            break;
        case kTime:
            timeShift = dayBits + rankBits, dayShift = rankBits;
            break;
        case kName:
            rankShift = dayBits + timeBits, dayShift = timeBits;
            break;
        default:
            break;
    }
    // The keys are made in list order, where the reads are sequential, and then taken in row
    // order, one read each.
    keysByPosition_.resize(keys_.size());
    for (size_t at = 0; at < keys_.size(); ++at) {
        uint64_t key = uint64_t(ranks[at]) << rankShift;
        if (!byText) {
            key |= uint64_t(keys_[at].day - dayLow_) << dayShift;
            key |= uint64_t(keys_[at].timeOfDay - timeLow_) << timeShift;
        }
        keysByPosition_[at] = key;
    }
    radix_.Load(dayBits + timeBits + rankBits, keys_.size(), order_,
                [this](uint32_t at) { return keysByPosition_[at]; });
    sortKeysColumn_ = sortColumn_;
}

void CLogListModel::SortRows() {
    if (order_.empty()) return;
    if (sortKeysColumn_ != sortColumn_) MakeSortKeys();
    radix_.Sort(sortOrder_ < 0, order_);
}

void CLogListModel::Sort(int column, int order) {
    sortColumn_ = std::clamp(column, 0, kColumnCount - 1);
    sortOrder_ = order < 0 ? -1 : 1;
    if (!list_) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    std::vector<uint32_t> before;
    before.reserve(persistent.size());
    for (const QModelIndex& index : persistent)
        before.push_back(order_[index.row()]);
    SortRows();
    if (!persistent.isEmpty()) {
        // Few persistent rows (selection, current): find each one's new row.
        std::vector<int> rowOf(list_->GetCount(), -1);
        for (size_t row = 0; row < order_.size(); ++row)
            rowOf[order_[row]] = static_cast<int>(row);
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
    ForgetSortKeys();
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
    for (int row : rows)
        removed.push_back(order_[row]);
    std::sort(removed.begin(), removed.end());

    // One pass over the list, so clearing every record of a long log stays linear.
    const size_t count = list_->GetCount();
    std::vector<char> gone(count, 0);
    for (uint32_t at : removed)
        gone[at] = 1;
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
    for (Serializable* record : keep)
        list_->AddTail(record);
    for (Serializable* record : discard)
        DiscardRecord(record);
    keys_ = std::move(keepKeys);
    ForgetSortKeys();
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

int CLogListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString CLogListModel::ColumnText(const CLogObject& record, int column) {
    switch (column) {
        case kDate:
            return QString::fromStdString(record.GetDateText()).left(200);
        case kTime:
            return QString::fromStdString(record.GetTimeText());
        case kName:
            return vorla::FromWindows1252(record.GetName());
        case kStatus:
            return vorla::FromWindows1252(record.GetStatus());
        case kMessage:
            return vorla::FromWindows1252(record.GetMessage());
        default:
            return QString();
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

QStringList CLogListModel::mimeTypes() const {
    return {QStringLiteral("text/plain")};
}

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

Qt::DropActions CLogListModel::supportedDragActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}
