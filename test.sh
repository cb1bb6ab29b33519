#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
build=${VORLA_BUILD_DIR:-$top/build}
# Tests never touch the real user's settings or display.
export XDG_CONFIG_HOME="$build/test-config"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j2 --timeout 600 "$@"
