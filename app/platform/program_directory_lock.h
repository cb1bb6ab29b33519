#pragma once
// One process per program directory: the directory file, the queue and the log there are
// written by whoever holds ".vorlapro.lock" in it. A second process is told who holds the
// lock and should stop instead of overwriting the first one's files. A lock left behind by
// a process that died is taken over; age alone never makes a lock stale, because a
// program may run for weeks.

#include <QLockFile>
#include <QString>

namespace vorla {

inline constexpr const char* kProgramDirectoryLockName = ".vorlapro.lock";

class ProgramDirectoryLock {
public:
    enum class Result { Acquired, HeldByOther, Failed };

    // programDirectory is the folder, with or without a trailing "/".
    explicit ProgramDirectoryLock(const QString& programDirectory);
    ~ProgramDirectoryLock();  // releases the lock when held

    Result TryAcquire();
    void Release();
    bool IsHeld() const { return lock_.isLocked(); }

    // After HeldByOther: the holder as recorded in the lock file (0 / empty when unreadable).
    qint64 HolderProcessId() const { return holderPid_; }
    QString HolderHost() const { return holderHost_; }
    // The holder's executable name as its lock records it ("vorlapro" for the program itself,
    // "vorlapage" for the tool; empty when unreadable).
    QString HolderApplication() const { return holderApplication_; }
    // The holder is Vorla Pro itself, which keeps the directory for as long as it runs.
    bool HeldByProgram() const;
    // The message for the user after HeldByOther or Failed.
    QString RefusalText() const;
    QString LockFilePath() const { return path_; }

private:
    QString directory_;
    QString path_;
    QLockFile lock_;
    Result last_ = Result::Failed;
    QLockFile::LockError error_ = QLockFile::NoError;
    qint64 holderPid_ = 0;
    QString holderHost_;
    QString holderApplication_;
};

}  // namespace vorla
