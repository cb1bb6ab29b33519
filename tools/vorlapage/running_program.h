#pragma once
// Hands vorlapage's pages to the Vorla Pro that holds the program directory, over the session
// bus, once it is sure the program answering there is the process holding the lock.

#include <QString>

#include <functional>
#include <optional>
#include <string>

#include "tools/vorlapage/vorlapage_options.h"

struct HandOverOutcome {
    // The exit code when the pages went to the program; none when it cannot be reached
    // (`reason` says why), which leaves the directory in use (exit 3).
    std::optional<int> exitCode;
    std::string reason;
};

// Needs a QCoreApplication. `stopRequested` is asked while waiting for the program.
HandOverOutcome HandToRunningProgram(const VorlapageOptions& options, qint64 holderPid,
                                     const QString& holderHost, const std::function<bool()>& stopRequested);
