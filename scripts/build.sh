#!/usr/bin/env bash
# Configures and builds the project into $VORLA_BUILD_DIR (default: build/): every target, or
# only those named in $VORLA_BUILD_TARGETS (./run.sh builds just the demo's programs).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VORLA_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja -DVORLA_WERROR=ON "$@" >/dev/null
targets=()
for t in ${VORLA_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build" -j2 "${targets[@]}"
