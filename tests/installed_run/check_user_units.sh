#!/bin/sh
# check_user_units.sh [--system] MAN_PAGE_DIR UNIT...
# The systemd user units (system units with --system) must load without a complaint, their
# manual page references included (looked up among the built pages). Exit 77 (skipped)
# without systemd-analyze.
command -v systemd-analyze > /dev/null 2>&1 || { echo "systemd-analyze is not installed"; exit 77; }
scope=--user
if [ "$1" = "--system" ]; then
  scope=
  shift
fi
pages=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The user manager it simulates needs a runtime folder of its own.
mkdir -m 700 "$scratch/runtime" "$scratch/man" && mkdir "$scratch/man/man1"
cp "$pages"/*.1 "$scratch/man/man1/"
man=yes
command -v man > /dev/null 2>&1 || man=no
output=$(XDG_RUNTIME_DIR=$scratch/runtime MANPATH=$scratch/man systemd-analyze $scope verify --man=$man "$@" 2>&1)
status=$?
[ -n "$output" ] && printf '%s\n' "$output"
[ $status -eq 0 ] && [ -z "$output" ]
