#include "paging/message_log.h"

#include "archive/archive_writer.h"
#include "archive/file_format_version.h"
#include "archive/ob_list.h"
#include "paging/log_object.h"
#include "paging/paging_files.h"
#include "settings/settings_keys.h"

namespace {
// From this count on a list's count is 0xFFFF followed by the count as four bytes.
constexpr size_t kWideListCount = 0xFFFF;
}  // namespace

MessageLog::MessageLog(CObList& logList, const vorla::ISettingsStore& settings, std::string programFolder)
    : list_(logList), settings_(settings), programFolder_(std::move(programFolder)) {}

std::string MessageLog::TextLogPath() const {
    return programFolder_ + std::string(kTextLogFileName);
}

std::string MessageLog::LogWindowFilePath() const {
    return programFolder_ + std::string(kLogWindowFileName);
}

const CLogObject& MessageLog::Add(std::unique_ptr<CLogObject> record) {
    CLogObject* kept = record.release();
    list_.AddTail(kept);
    LogRecord(*kept);
    return *kept;
}

void MessageLog::LogRecord(const CLogObject& record) {
    if (programFolder_.empty()) return;
    if (ReadSetting(settings_, vorla::setting::kLogToDisk) == 0) return;
    AppendLogLine(TextLogPath(), record);
}

bool MessageLog::SaveLog() {
    if (programFolder_.empty() || !windowFileWritable_) return true;
    const std::string path = LogWindowFilePath();
    if (GetWrittenFileFormatVersion() == 0) return SaveLogWindowFile(path, &list_) == ArchiveError::None;
    const size_t count = list_.GetCount();
    if (saved_ && count >= saved_->count &&
        (saved_->count == 0 ? saved_->last == nullptr : list_.GetAt(saved_->count - 1) == saved_->last)) {
        if (count == saved_->count) return true;
        if (AppendNewRecords(*saved_)) return true;
    }
    saved_.reset();
    if (SaveLogWindowFile(path, &list_) != ArchiveError::None) return false;
    if (std::optional<FileIdentity> file = IdentifyFile(path)) {
        saved_ = SavedFile{*file, count, count ? list_.GetAt(count - 1) : nullptr};
    }
    return true;
}

bool MessageLog::AppendNewRecords(const SavedFile& saved) {
    const size_t count = list_.GetCount();
    // The first record brings the class's full name, and a count from 0xFFFF on takes four
    // more bytes in front of every record: both need the whole file written again.
    if (saved.count == 0 || (saved.count < kWideListCount && count >= kWideListCount)) return false;
    // The file's own start, written again in memory: the list's header and its first record
    // give the new records the class reference they have in the file.
    OwningList empty(new CObList);
    ArchiveWriter writer(GetWrittenFileFormatVersion());
    writer.WriteObject(empty.get());
    const size_t countOffset = writer.Bytes().size() - 2;
    writer.WriteObject(list_.GetAt(0));
    const size_t recordsStart = writer.Bytes().size();
    for (size_t i = saved.count; i < count; ++i)
        writer.WriteObject(list_.GetAt(i));
    if (writer.Error() != ArchiveError::None) return false;
    ArchiveWriter patch(GetWrittenFileFormatVersion());
    size_t patchAt = countOffset;
    if (count < kWideListCount) {
        patch.WriteWord(static_cast<uint16_t>(count));
    } else {
        patch.WriteDword(static_cast<uint32_t>(count));
        patchAt += 2;  // after the 0xFFFF that says a wide count follows
    }
    const std::string_view records = std::string_view(writer.Bytes()).substr(recordsStart);
    if (!AppendThenPatch(LogWindowFilePath(), saved.file, saved.file.size, records, patchAt, patch.Bytes())) {
        return false;
    }
    saved_ = SavedFile{saved.file, count, list_.GetAt(count - 1)};
    saved_->file.size += records.size();
    return true;
}
