#include "platform/program_directory_lock.h"

#include <QDir>
#include <QFile>

namespace vorla {

namespace {
// The lock records the holder's executable name: the program's is this one.
constexpr const char* kProgramApplicationName = "vorlapro";
QString LockPathIn(const QString& directory) {
    return QDir(directory).filePath(QString::fromLatin1(kProgramDirectoryLockName));
}
}  // namespace

ProgramDirectoryLock::ProgramDirectoryLock(const QString& programDirectory)
    : directory_(QDir::cleanPath(programDirectory)), path_(LockPathIn(programDirectory)), lock_(path_) {
    // Only a dead holder makes the lock stale (QLockFile checks the recorded process).
    lock_.setStaleLockTime(0);
}

ProgramDirectoryLock::~ProgramDirectoryLock() {
    Release();
}

ProgramDirectoryLock::Result ProgramDirectoryLock::TryAcquire() {
    if (lock_.isLocked()) return last_ = Result::Acquired;
    holderPid_ = 0;
    holderHost_.clear();
    holderApplication_.clear();
    if (lock_.tryLock(0)) {
        error_ = QLockFile::NoError;
        // It names this process and computer; like every file of the program, for the owner only.
        QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return last_ = Result::Acquired;
    }
    error_ = lock_.error();
    if (error_ == QLockFile::LockFailedError) {
        lock_.getLockInfo(&holderPid_, &holderHost_, &holderApplication_);
        return last_ = Result::HeldByOther;
    }
    return last_ = Result::Failed;
}

void ProgramDirectoryLock::Release() {
    if (lock_.isLocked()) lock_.unlock();
}

bool ProgramDirectoryLock::HeldByProgram() const {
    return holderApplication_ == QLatin1String(kProgramApplicationName);
}

QString ProgramDirectoryLock::RefusalText() const {
    const QString folder = QDir::toNativeSeparators(directory_);
    if (last_ == Result::HeldByOther) {
        const QString holder =
            holderPid_ > 0 ? QStringLiteral(" (process %1 on %2)")
                                 .arg(holderPid_)
                                 .arg(holderHost_.isEmpty() ? QStringLiteral("this computer") : holderHost_)
                           : QString();
        if (HeldByProgram())
            return QStringLiteral(
                       "Vorla Pro is already running with the program directory %1%2.\n"
                       "Only one copy of Vorla Pro may use a program directory at a time.")
                .arg(folder, holder);
        // Another tool (vorlapage, vorlaimport) or a holder that did not say what it is.
        const QString who =
            holderApplication_.isEmpty() ? QStringLiteral("Another process") : holderApplication_;
        return QStringLiteral(
                   "%1%2 is using the program directory %3.\n"
                   "Only one program may use a program directory at a time.")
            .arg(who, holder, folder);
    }
    if (last_ == Result::Failed)
        return QStringLiteral(
                   "Vorla Pro cannot lock the program directory %1; check that it exists and can be written.")
            .arg(folder);
    return {};
}

}  // namespace vorla
