#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest. Arguments go to
# ctest (./test.sh -R paging_).
#
# The tests run in a build instrumented with AddressSanitizer, UndefinedBehaviorSanitizer and
# leak detection, kept in its own folder ($VORLA_ASAN_BUILD_DIR, default build-asan/) so that
# ./run.sh keeps its optimised build in build/. A memory fault, undefined behaviour or a leak in
# any test or in any tool a test starts fails that test. VORLA_SANITIZE=0 runs the tests of the
# plain build instead ($VORLA_BUILD_DIR, default build/). Without arguments it then builds the
# Debian packages and checks them (scripts/package.sh --check); VORLA_PACKAGE=0 skips that.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/install-deps.sh"
if [ "${VORLA_SANITIZE:-1}" = 1 ]; then
  build=${VORLA_ASAN_BUILD_DIR:-$top/build-asan}
  # Set before the build too: test discovery runs the test programs.
  export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  export LSAN_OPTIONS="suppressions=$top/tests/sanitizers/lsan.supp:print_suppressions=0"
  # Benchmarks measure the optimised build only.
  VORLA_BUILD_DIR=$build "$top/scripts/build.sh" -DVORLA_SANITIZE=ON -DVORLA_BENCH=OFF
else
  build=${VORLA_BUILD_DIR:-$top/build}
  VORLA_BUILD_DIR=$build "$top/scripts/build.sh" -DVORLA_SANITIZE=OFF
fi
# Tests never touch the real user's settings or display.
export XDG_CONFIG_HOME="$build/test-config"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j2 --timeout 600 "$@"
# The whole run also builds the Debian packages and checks them (no root needed).
if [ $# -eq 0 ] && [ "${VORLA_PACKAGE:-1}" = 1 ]; then
  "$top/scripts/package.sh" --check
fi
