#pragma once
// Child processes of the tests. Every child started here is killed by the kernel when the
// test's thread that started it ends, however it ends (a crash, an abort from a sanitizer, a
// CTest time-out), so no simulator or tool is ever left running after a test.

#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace vorla::testing {

// For a child between fork and exec (async-signal-safe): asks for SIGKILL when the parent
// ends, and ends at once when `parent` has already gone before the request took effect.
void EndWithParent(pid_t parent);

// Starts argv[0] (a path) with argv. Its standard output and error go to the given files
// (an empty path keeps the test's own). `environment` replaces the test's environment; the
// sanitizer settings of the test are added to it, so a fault in the child reports the same way.
// Returns the process id, or -1 when the child could not be created.
pid_t StartChild(const std::vector<std::string>& argv, const std::string& out_path = {},
                 const std::string& err_path = {},
                 const std::optional<std::vector<std::string>>& environment = std::nullopt);

}  // namespace vorla::testing
