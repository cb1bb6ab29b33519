#include "message_log.h"

#include "log_object.h"
#include "ob_list.h"
#include "paging_files.h"

MessageLog::MessageLog(CObList& logList, const vorla::ISettingsStore& settings,
                       std::string programFolder)
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
  if (settings_.GetProfileInt(vorla::kPreferencesSection, "LogToDisk", 0) == 0) return;
  AppendLogLine(TextLogPath(), record);
}

bool MessageLog::SaveLog() {
  if (programFolder_.empty() || !windowFileWritable_) return true;
  return SaveLogWindowFile(LogWindowFilePath(), &list_) == ArchiveError::None;
}
