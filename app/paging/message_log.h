#pragma once
// The message log: the LogList in memory, the text log "Message Log.txt" when the user has
// logging to disk on, and the log window file, brought up to date before every save of the
// queue (a page leaves the queue file only once its records are in the log window file).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "files/private_file.h"

#include "settings/settings_store.h"

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
    // Brings "Vorla Pro Log Window.vlg" up to the LogList: the records added since this log
    // last wrote the file are appended in place (cost by the new records, not the whole log);
    // the first save, and the first after records were removed, replaces the file
    // atomically. False when it could not be written.
    bool SaveLog();
    // Records were removed from the LogList (the log window's Clear): the next SaveLog
    // replaces the file.
    void ForgetSavedRecords() { saved_.reset(); }
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

    // What the log window file holds, as this log last wrote it.
    struct SavedFile {
        FileIdentity file;           // the file written, its size the end of the records
        size_t count = 0;            // the first `count` records of the LogList
        const void* last = nullptr;  // the record at count - 1 (null when count is 0)
    };
    bool AppendNewRecords(const SavedFile& saved);
    std::optional<SavedFile> saved_;
};
