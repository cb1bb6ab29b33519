#pragma once
// The message log: the LogList in memory, the text log "Message Log.txt" when the user has
// logging to disk on, and the log window file written after every run.

#include <memory>
#include <string>

#include "settings_store.h"

class CLogObject;
class CObList;

class MessageLog {
 public:
  // Borrows the LogList (which owns its records). programFolder ends in a separator; with
  // an empty one nothing is written to disk.
  MessageLog(CObList& logList, const vorla::ISettingsStore& settings, std::string programFolder);
  MessageLog(const MessageLog&) = delete;
  MessageLog& operator=(const MessageLog&) = delete;

  // Appends the record to the LogList (which takes it) and runs LogRecord. Returns the
  // record, still valid while the LogList keeps it.
  const CLogObject& Add(std::unique_ptr<CLogObject> record);
  // With "LogToDisk" on, appends the record's line to the text log; a line that cannot be
  // written is dropped without a message (the record is still in the LogList).
  void LogRecord(const CLogObject& record);
  // Writes "Vorla Pro Log Window.vlg" atomically; false when it could not be written.
  bool SaveLog();
  // Off for a log window file that did not read and could not be moved aside: SaveLog then
  // leaves it alone (and succeeds).
  void SetWindowFileWritable(bool writable) { windowFileWritable_ = writable; }

  CObList& List() { return list_; }
  std::string TextLogPath() const;
  std::string LogWindowFilePath() const;

 private:
  CObList& list_;
  const vorla::ISettingsStore& settings_;
  std::string programFolder_;
  bool windowFileWritable_ = true;
};
