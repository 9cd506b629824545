#!/usr/bin/env bash
# The Windows simulator under Wine, driven from this machine: tarnsim.exe TX20A is found by
# roomctl list, answers roomctl set and get, stops on Ctrl+C with status 0 and keeps what was set
# in its settings file under %APPDATA%. Loopback only, in a discovery scope of its own.
#
# usage: wine_simulator.sh TARNSIM_EXE ROOMCTL [WINE]
# WINEPREFIX, when set, names a prefix that is already made (wineboot); otherwise one is made
# in a temporary folder and removed afterwards.
set -euo pipefail
exe=$1
roomctl=$2
wine=${3:-wine64}
serial=987654321 # TX20A's serial number

work=$(mktemp -d)
own_prefix=0
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX=$work/prefix
  own_prefix=1
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LKNET_LOOPBACK_ONLY=1
export LKNET_DISCOVERY_PORT=$((40000 + $$ % 20000))
wineserver=$(dirname "$(command -v "$wine")")/wineserver
pid=""

finish() {
  local status=$?
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid" 2>/dev/null || true
  fi
  if [ "$status" -ne 0 ] && [ -f "$work/console.log" ]; then
    echo "--- tarnsim.exe's console:" >&2
    cat "$work/console.log" >&2
  fi
  [ "$own_prefix" = 1 ] && { "$wineserver" -k 2>/dev/null || true; }
  rm -rf "$work"
  exit "$status"
}
trap finish EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Wine keeps APPDATA to itself (the prefix's profile), so the file is looked for there.
settings_file() {
  local f
  for f in "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Vellaris/Tarn/Tarn.settings; do
    [ -f "$f" ] && { echo "$f"; return 0; }
  done
  return 1
}

"$wine" "$exe" TX20A >"$work/console.log" 2>&1 &
pid=$!

# Wine's first start in a prefix takes a while: look for the speaker until it shows or a
# generous deadline passes.
found=0
for _ in $(seq 1 30); do
  kill -0 "$pid" 2>/dev/null || fail "tarnsim.exe ended before it was found"
  if "$roomctl" list --wait 2 >"$work/list.txt" 2>/dev/null && grep -q "^$serial	TX20A" "$work/list.txt"; then
    found=1
    break
  fi
done
[ "$found" = 1 ] || fail "roomctl list did not find TX20A ($serial)"
echo "roomctl list: $(grep "^$serial" "$work/list.txt")"

set_and_check() { # path, text, expected text read back
  local got
  got=$("$roomctl" set "$serial" "$1" "$2") || fail "roomctl set $1 $2 failed"
  [ "$got" = "$3" ] || fail "roomctl set $1 answered '$got', expected '$3'"
  got=$("$roomctl" get "$serial" "$1") || fail "roomctl get $1 failed"
  [ "$got" = "$3" ] || fail "roomctl get $1 read '$got', expected '$3'"
  echo "roomctl set/get $1: $got"
}
set_and_check nickname "Wine Hall" "Wine Hall"
set_and_check line/ch1/mute On On

# The periodic save writes what was set; Ctrl+C then stops the simulator in order.
saved=0
for _ in $(seq 1 60); do
  f=$(settings_file) && grep -q '"nickname": "Wine Hall"' "$f" && { saved=1; break; }
  sleep 0.5
done
[ "$saved" = 1 ] || fail "no settings file with the nickname under $WINEPREFIX/drive_c/users/*/AppData/Roaming"

kill -INT "$pid"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" = 0 ] || fail "tarnsim.exe ended with status $status after Ctrl+C"
grep -q "Quit requested" "$work/console.log" || fail "no \"Quit requested\" on the console"
grep -q "Will exit in 3 seconds" "$work/console.log" || fail "no orderly shutdown on the console"
f=$(settings_file) || fail "the settings file is gone after shutdown"
grep -q '"nickname": "Wine Hall"' "$f" || fail "the final settings file lost the nickname"
grep -q '"mute": 1' "$f" || fail "the final settings file lost the mute"
echo "settings file: ${f#"$WINEPREFIX"/}"
echo "tarnsim.exe under Wine: found, set, read back and saved"
