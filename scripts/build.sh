#!/usr/bin/env bash
# Configures and builds the project into $VORLA_BUILD_DIR (default: build/).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VORLA_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja -DVORLA_WERROR=ON "$@" >/dev/null
cmake --build "$build" -j2
