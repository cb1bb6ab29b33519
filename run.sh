#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vorla Pro on its demo program directory.
# Until the program's window lands, it runs the sample script with rklrun.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
build=${VORLA_BUILD_DIR:-$top/build}
exec "$build/bin/rklrun" "$top/rklfiles/examples/hello.rkl" name=newcomer MAIN
