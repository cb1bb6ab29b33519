#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vorla Pro on its demo program directory:
# a simulated modem and paging terminal (pagingsim) on a pseudo-terminal wired as COM1, the
# shipped scripts and lists, and a demo service with two subscribers. Without a display it
# sends one demo page with vorlapage instead and shows what the terminal received.
#   --fresh  start on an empty program directory instead, so the Express Setup Wizard opens
#            (SERVICES.INI offers the pagingsim service; choose "Direct to COM1:").
# VORLA_SIM_ARGS passes faults to the simulated terminal, to watch a page fail and be sent
# again, e.g. VORLA_SIM_ARGS="--busy --fault-calls 1" ./run.sh (see docs/pagingsim.md).
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
fresh=0
if [ "${1:-}" = "--fresh" ]; then fresh=1; shift; fi
"$top/scripts/install-deps.sh"
# Only the programs the demo starts; ./test.sh builds the tests and benchmarks.
VORLA_BUILD_TARGETS=demo "$top/scripts/build.sh"
build=${VORLA_BUILD_DIR:-$top/build}
bin="$build/bin"

if [ "$fresh" = 1 ]; then
  # A new folder every time: no directory, no queue, no log, no settings but the port map.
  demo=$build/demo-fresh
  rm -rf "$demo"
else
  demo=${VORLAPRO_HOME:-$build/demo-home}
fi
mkdir -p "$demo/rklfiles"
# The shipped scripts and the service and modem lists, refreshed on every start.
for f in "$top"/rklfiles/*.rkl; do [ -e "$f" ] && cp -f "$f" "$demo/rklfiles/"; done
for f in "$top"/rklfiles/*.INI "$top"/rklfiles/*.ini; do [ -e "$f" ] && cp -f "$f" "$demo/"; done
# The import translators, for File > Import and vorlaimport.
mkdir -p "$demo/import"
for f in "$build"/lib/liblomix.so; do [ -e "$f" ] && cp -f "$f" "$demo/import/"; done

# Demo-only settings: the newcomer's own settings are never touched.
export XDG_CONFIG_HOME="$demo/config"
conf="$XDG_CONFIG_HOME/Quillon/Vorla Pro.conf"
mkdir -p "$(dirname "$conf")"
touch "$conf"
link="$demo/com1"
# COM1 is the simulator's link; every other entry (the user's own ports, mapped in the
# Ports dialog) is kept.
awk -v link="$link" '
  /^\[/ { inPorts = ($0 == "[Ports]") }
  inPorts && /^COM1=/ { next }
  { print }
  inPorts && /^\[Ports\]$/ { print "COM1=" link; done = 1 }
  END { if (!done) { print "[Ports]"; print "COM1=" link } }
' "$conf" > "$conf.tmp" && mv -f "$conf.tmp" "$conf"

# A demo directory when there is none (or it holds no service yet). A directory the tool
# cannot read is left to the program, which moves it aside. The dump is read whole: a grep
# that stopped at the first match would end the tool early and, under pipefail, make a large
# directory look like one without services, to be written over.
directory="$demo/Vorla Pro.vlg"
needs_demo=0
if [ "$fresh" = 0 ]; then
  if [ ! -s "$directory" ]; then
    needs_demo=1
  elif dump=$("$bin/vlgtool" dump "$directory" 2>/dev/null) && [[ "$dump" != *'"CService"'* ]]; then
    needs_demo=1
  fi
  unset dump
fi
if [ "$needs_demo" = 1 ]; then
  cat > "$demo/demo-directory.json" <<'JSON'
{
 "kind": "directory",
 "format_version": 1,
 "schemas": { "CObList": 0, "CService": 1, "CSubscriber": 1 },
 "roots": { "services": 2, "subscribers": 11, "groups": 12, "preset_messages": 13,
            "display_rows": 14, "last_message": null },
 "objects": [
  { "index": 2, "class": "CObList", "items": [4] },
  { "index": 4, "class": "CService", "Name": "Demo Paging", "AccessNumber": "5551234",
    "UseDialPrefix": 0, "Password": "", "ModemName": "Hayes Compatible", "ModemInit": "AT&F",
    "Port": "COM1", "BaudRate": 2400, "Parity": 1, "Handshake": 0, "DialMode": 0,
    "ScriptFile": "VORLAPRO.RKL", "PermanentLineID": 0, "Subscribers": 5 },
  { "index": 5, "class": "CObList", "items": [7, 9] },
  { "index": 7, "class": "CSubscriber", "Name": "Ann Demo", "PIN": "1001", "MaxLength": "80",
    "Service": 4, "Groups": 8 },
  { "index": 8, "class": "CObList", "items": [] },
  { "index": 9, "class": "CSubscriber", "Name": "Bob Demo", "PIN": "1002", "MaxLength": "240",
    "Service": 4, "Groups": 10 },
  { "index": 10, "class": "CObList", "items": [] },
  { "index": 11, "class": "CObList", "items": [7, 9] },
  { "index": 12, "class": "CObList", "items": [] },
  { "index": 13, "class": "CObList", "items": [] },
  { "index": 14, "class": "CObList", "items": [] }
 ]
}
JSON
  "$bin/vlgtool" build "$demo/demo-directory.json" "$directory"
  echo "Made a demo directory: service \"Demo Paging\" with subscribers \"Ann Demo\" and \"Bob Demo\"."
fi

# The simulated modem and paging terminal, gone when this script ends.
pages="$demo/pages.jsonl"
# shellcheck disable=SC2086  # VORLA_SIM_ARGS is a list of options
"$bin/pagingsim" --link "$link" --log "$pages" --ring-ms 300 --quiet ${VORLA_SIM_ARGS:-} 2> "$demo/pagingsim.err" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  grep -q ready "$demo/pagingsim.err" 2>/dev/null && break
  sleep 0.1
done
if ! grep -q ready "$demo/pagingsim.err"; then
  echo "pagingsim did not start:" >&2
  cat "$demo/pagingsim.err" >&2
  exit 1
fi
echo "pagingsim answers on COM1 ($link); pages it accepts are written to $pages."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo
  echo "There is no display here (DISPLAY and WAYLAND_DISPLAY are empty), so the window cannot open."
  if [ "$fresh" = 1 ]; then
    echo "--fresh shows the Express Setup Wizard, which needs a display; run ./run.sh --fresh on a desktop."
    exit 1
  fi
  echo "On a desktop, ./run.sh starts Vorla Pro on this demo directory; or run it yourself:"
  echo "  XDG_CONFIG_HOME=\"$XDG_CONFIG_HOME\" \"$bin/vorlapro\" --home \"$demo\""
  echo "(with pagingsim running as above). Sending one demo page with vorlapage instead:"
  echo
  before=$( [ -f "$pages" ] && wc -l < "$pages" || echo 0)
  "$bin/vorlapage" --home "$demo" --to "Ann Demo" "Hello from the Vorla Pro demo"
  echo
  echo "The paging terminal received:"
  tail -n +"$((before + 1))" "$pages"
  exit 0
fi

if [ "$fresh" = 1 ]; then
  echo "Starting Vorla Pro on an empty directory: the Express Setup Wizard opens. Pick the pagingsim"
  echo "service, keep \"Direct to COM1:\", add a subscriber, press Finish, then page that subscriber."
else
  echo "Starting Vorla Pro. Type a message, pick \"Ann Demo\", press Send; close the window to end the demo."
fi
status=0
"$bin/vorlapro" --home "$demo" || status=$?
if [ -s "$pages" ]; then
  echo "Pages the terminal received (last 5):"
  tail -n 5 "$pages"
fi
exit "$status"
