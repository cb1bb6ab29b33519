#pragma once
// The same guarantee for children started with QProcess.

#include <QProcess>

#include <unistd.h>

#include "tests/child_process/child_process.h"

namespace vorla::testing {

inline void EndWithTest(QProcess& process) {
    const pid_t parent = getpid();
    process.setChildProcessModifier([parent] { EndWithParent(parent); });
}

}  // namespace vorla::testing
