#!/bin/sh
# check_manual_pages.sh BIN_DIR PAGE...
# Every manual page must format without a warning (what a package checker reports), and
# must mention every long option the program's --help lists, so the two cannot drift apart.
# Exit 77 (skipped) when neither man nor groff is installed.
bin=$1
shift
if command -v man > /dev/null 2>&1; then
  lint() { LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$1" 2>&1 > /dev/null; }
elif command -v groff > /dev/null 2>&1; then
  lint() { groff -man -ww -z "$1" 2>&1; }
else
  echo "neither man nor groff is installed"
  exit 77
fi
status=0
for page in "$@"; do
  program=$(basename "$page" .1)
  warnings=$(lint "$page")
  if [ -n "$warnings" ]; then
    printf '%s:\n%s\n' "$page" "$warnings"
    status=1
  fi
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS"; do
    grep -q "^\.SH \"*$section" "$page" || { echo "$page: no section $section"; status=1; }
  done
  text=$(sed 's/\\-/-/g' "$page")
  for option in $("$bin/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    printf '%s\n' "$text" | grep -q -- "$option" || { echo "$page: $option of $program --help is not described"; status=1; }
  done
done
exit $status
