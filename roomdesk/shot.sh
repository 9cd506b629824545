#!/usr/bin/env bash
# The pictures of the user guide (docs/guide.md). Starts simulated speakers and roomdesk under Xvfb,
# on loopback and in a discovery scope of their own, builds a venue through the OSC remote
# (`roomctl desk`), and photographs every screen of the main window at 1024 x 748 into shots/ (or
# $SHOT_DIR); then a large venue of 64 speakers at 1920 x 1080. The mouse (xdotool) is used only
# where the remote cannot reach: the inspector's tabs, menus, the Wi-Fi password popup.
#
#   roomdesk/shot.sh          make every picture
#   roomdesk/shot.sh --list   name the pictures it makes, one a line (without .png)
#
# Every picture named in `pictures` must be written and shown by docs/guide.md, and none may be
# blank (tests/roomdesk/check_guide_pictures.sh): the run fails otherwise.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

pictures=(
  first-start speaker tab-peq tab-notch tab-geq tab-limiter preset-save tab-presets speaker-menu
  venue-new venues room-groups floor-plan room-speaker room-locked wifi wifi-join undo-menu
  about remote-devices offline large-venue large-venue-speaker large-venue-fit
)
if [ "${1:-}" = --list ]; then
  printf '%s\n' "${pictures[@]}"
  exit 0
fi

bin=${ROOMDESK_BIN:-$top/build/bin}
out=${SHOT_DIR:-$top/shots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
export LKNET_LOOPBACK_ONLY=1
export LKNET_DISCOVERY_PORT=$((20000 + $$ % 10000))
export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
export XDG_DOCUMENTS_DIR=$work/home/Documents
# The desk draws on the Xvfb screen, whatever platform the calling shell asks for (the tests'
# offscreen platform draws nothing there).
export QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Vellaris/roomdesk" && chmod 700 "$XDG_RUNTIME_DIR"
# The desk's remotes on ports of this run, so a desk already running is not disturbed.
osc_port=$((30000 + $$ % 10000))
web_port=$((osc_port + 1))

pids=()
desk_pid=
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${KEEP_SHOT_WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "shot.sh: $*" >&2
  [ -f "$work/roomdesk.log" ] && tail -n 20 "$work/roomdesk.log" >&2
  exit 1
}

for tool in Xvfb import xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is missing (./run shot installs it)"
done
for program in roomdesk tarnsim roomctl; do
  [ -x "$bin/$program" ] || fail "$bin/$program is missing (./run shot builds it)"
done

# A screen the size of the window, so the desk's own windows (About, Remote Devices) open centred
# on it as they would over a full-screen desk.
display=:$((90 + $$ % 100))
export DISPLAY=$display
screen_pid=
start_screen() { # size
  if [ -n "$screen_pid" ]; then
    kill "$screen_pid" 2>/dev/null || true
    wait "$screen_pid" 2>/dev/null || true
  fi
  Xvfb "$display" -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
  screen_pid=$!
  pids+=($screen_pid)
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && return 0; sleep 0.1; done
  fail "Xvfb did not start on $display"
}

desk() { "$bin/roomctl" desk --port "$osc_port" "$@"; }
# Quiet set and invoke: the reply is of no interest, a refusal is.
dset() { desk set "$@" >/dev/null || fail "roomctl desk set $* was refused"; }
dinvoke() { desk invoke "$@" >/dev/null || fail "roomctl desk invoke $* was refused"; }

size=1024x748
shoot() { # name; the window at the top left of the screen, at $size
  sleep "${settle:-1.5}"
  import -window root -crop "$size+0+0" +repage -strip "$out/$1.png"
  echo "wrote $out/$1.png"
}
click() { xdotool mousemove "$1" "$2" click "${3:-1}"; }

start_simulator() { # model, serial (or ""), extra environment...
  local model=$1 serial=$2
  local dir=$work/sim-$model-${serial:-own}
  shift 2
  mkdir -p "$dir"
  env APPDATA="$dir" ${serial:+TARNSIM_SERIAL=$serial} "$@" "$bin/tarnsim" "$model" >"$dir.log" 2>&1 &
  pids+=($!)
  last_simulator=$!
}

start_desk() { # width, height
  printf '{"windows":{"ApplicationWindow":{"x":0,"y":0,"width":%d,"height":%d}}}\n' "$1" "$2" \
    >"$XDG_CONFIG_HOME/Vellaris/roomdesk/Desk.settings"
  "$bin/roomdesk" --osc-port "$osc_port" --web-port "$web_port" >>"$work/roomdesk.log" 2>&1 &
  desk_pid=$!
  pids+=($desk_pid)
  for _ in $(seq 100); do desk get /roomdesk/Application/oscListening >/dev/null 2>&1 && return 0; sleep 0.2; done
  fail "roomdesk did not answer on OSC port $osc_port"
}

stop_desk() {
  kill "$desk_pid" 2>/dev/null || true
  wait "$desk_pid" 2>/dev/null || true
}

wait_for_speakers() { # count
  local n=0
  for _ in $(seq 150); do
    n=$(desk list /speaker 2>/dev/null | grep -c / || true)
    [ "$n" -ge "$1" ] && return 0
    sleep 0.2
  done
  fail "the desk sees $n speakers, not $1"
}

# --- The small show: six speakers at 1024 x 748 --------------------------------------------------
# Each sees Wi-Fi networks of its own, so the setup screen shows common and dimmed networks.
wifi_a='Venue<&#&>80<&#&>locked;Backstage<&#&>60<&#&>open'
wifi_b='Venue<&#&>55<&#&>locked;Office<&#&>40<&#&>locked'
start_screen 1024x748
start_simulator TX20A "" TARNSIM_WIFI="$wifi_a"
start_simulator TX10A "" TARNSIM_WIFI="$wifi_b"
start_simulator TX30A "" TARNSIM_WIFI="$wifi_a"
start_simulator TX40S "" TARNSIM_WIFI="$wifi_b"
start_simulator TX20A 987654322 TARNSIM_WIFI="$wifi_a"
start_simulator TX40S 666666667 TARNSIM_WIFI="$wifi_a"
offline_pid=$last_simulator
start_desk 1024 748
wait_for_speakers 6
shoot first-start

# One speaker with its equalisers at work.
spk=/speaker/987654321/line/ch1
dset "$spk/volume" -6
for band in 1 2 3 5; do dset "$spk/eq/eqbandon$band" 1; done
dset "$spk/eq/eqgain1" 4
dset "$spk/eq/eqfreq1" 80
dset "$spk/eq/eqgain2" -3
dset "$spk/eq/eqfreq2" 400
dset "$spk/eq/eqq2" 2
dset "$spk/eq/eqgain3" 2.5
dset "$spk/eq/eqfreq3" 3k
dset "$spk/eq/eqgain5" -5
dset "$spk/eq/eqfreq5" 10k
dset "$spk/eq/eqallon" 1
dset "$spk/notch/notchallon" 1
dset "$spk/notch/notchbandon1" 1
dset "$spk/notch/notchfreq1" 250
dset "$spk/notch/notchgain1" -9
dset "$spk/notch/notchbandon2" 1
dset "$spk/notch/notchfreq2" 1.6k
dset "$spk/notch/notchgain2" -6
for band in 4 5 6 24 25 26 27; do dset "$spk/geq/gain$band" -3; done
for band in 14 15 16; do dset "$spk/geq/gain$band" 2; done
dset "$spk/geq/on" 1
dset "$spk/limit/threshold" -6
dset "$spk/limit/release" 200
dset "$spk/limit/limiteron" 1

# Select it as a click would (it winks), then its tabs. The tab row starts at the inspector's left
# edge: x 724 in the right column; an equaliser tab widens the inspector over the centre, from x 261.
dset /roomdesk/SpeakerNetwork/987654321/editSpeakerProps 1
shoot speaker
tab_y=121
click 810 $tab_y && shoot tab-peq          # PEQ, from the narrow column
click $((261 + 127)) $tab_y && shoot tab-notch
click $((261 + 170)) $tab_y && shoot tab-geq
click $((261 + 213)) $tab_y && shoot tab-limiter
click 989 $tab_y                           # Presets, the narrow column again

# Presets: SAVE opens the name editor; two presets saved.
dinvoke /roomdesk/Inspector/savePreset
dset /roomdesk/Inspector/newPresetName "Main PA"
shoot preset-save
dinvoke /roomdesk/Inspector/okPreset
dinvoke /roomdesk/Inspector/savePreset
dset /roomdesk/Inspector/newPresetName "Wedge"
dinvoke /roomdesk/Inspector/okPreset
dset /roomdesk/Inspector/selectedPreset "Main PA"
shoot tab-presets

# A right click on a speaker's row: copy and paste.
click 120 128 3 && shoot speaker-menu
xdotool key Escape
click 763 $tab_y                           # back to Channel for what follows

# Venues: NEW VENUE with its name editor, then the start page with two venues.
manager=/roomdesk/VenueManager
entry_of() { # venue name: its address in the start page's list
  local line
  line=$(desk list "$manager/HistoryList" | grep "^$1_{" | head -1) || fail "no venue $1"
  echo "$manager/HistoryList/$line"
}
new_venue() { # name
  dinvoke "$manager/newVenue"
  dset "$manager/inspector/name" "$1"
}
new_venue "Club Night"
dset "$(entry_of "Club Night")closeVenueEditor" 1
new_venue "Festival Stage"
shoot venue-new
festival=$(entry_of "Festival Stage")
dset "${festival}closeVenueEditor" 1
shoot venues

# The venue: three rooms, groups in the first, speakers placed in them.
dinvoke "${festival}loadVenue"
venue=$manager/activeVenue
editor=$venue/RoomEditView
dset "$venue/room[0]/roomTitle" "Main Hall"
dinvoke "$venue/newRoom"
dset "$venue/room[1]/roomTitle" "Monitors"
dinvoke "$venue/newRoom"
dset "$venue/room[2]/roomTitle" "Foyer"
# Monitors: one speaker in the room's first group. Main Hall: two tops in its first group, two
# subs in a Subs group; the second TX20A stays in the network browser.
dset "$venue/roomList" 1
dset "$editor/placeSpeaker" 123456789
dset "$venue/roomList" 0
dset "$venue/activeRoom/viewRoomInspector" 1
dset "$editor/placeSpeaker" 987654321
dset "$editor/placeSpeaker" 555555555
dset "$editor/Groups/addGroup" 1            # Subs
dset "$editor/placeSpeaker" 666666666
dset "$editor/placeSpeaker" 666666667
shoot room-groups
dset "$venue/activeRoom/viewRoomInspector" 0
dset "$venue/activeRoom/viewNetwork" 1
# The room's master GEQ, shown while no speaker is picked.
master=$venue/activeRoom/Master/geq
for band in 3 4 5; do dset "$master/gain$band" -2; done
for band in 20 21; do dset "$master/gain$band" 1.5; done
dinvoke "$venue/activeRoom/roomVolumeDown"
dinvoke "$venue/activeRoom/roomVolumeDown"
# A click on empty plan (right of the Tops frame) gives the right column to the room's master
# GEQ; FIT brings both groups into view.
click 660 300
click 680 720
shoot floor-plan

# A speaker picked on the floor plan, soloed.
dset /roomdesk/SpeakerNetwork/987654321/editSpeakerProps 1
dset /speaker/987654321/solo 1
shoot room-speaker
dset /speaker/987654321/solo 0
# LOCK is off while the room shows the network browser.
dset "$venue/activeRoom/viewNetwork" 0
dset "$venue/activeRoom/locked" 1
dset "$venue/activeRoom/muteAll" 1
shoot room-locked
dset "$venue/activeRoom/muteAll" 0
dset "$venue/activeRoom/locked" 0
dset "$venue/activeRoom/viewNetwork" 1

# Wi-Fi setup: the networks the speakers see (the list follows their reports within 10 s), then
# the password popup of the first.
dset "$manager/showNetwork" 1
for _ in $(seq 60); do
  desk get /roomdesk/NetworkSetupManager/wifiList/2/title >/dev/null 2>&1 && break
  sleep 0.25
done
settle=3 shoot wifi
click 400 189 && shoot wifi-join
xdotool key Escape
dset "$manager/showNetwork" 0

# The Edit menu names the step that Undo takes back.
click 85 11 && shoot undo-menu
xdotool key Escape

# A placed speaker leaves the network: its cell, its room's tab and the banner raise the alarm.
click 660 300                              # the room's master GEQ on the right
kill "$offline_pid"
settle=8 shoot offline
# The About box, where the remotes listen; then Remote Devices (Ctrl+Shift+R).
click 31 11 && sleep 0.5 && click 70 38 && shoot about
# Without a window manager a new window does not get the keyboard by itself.
about_window=$(xdotool search --onlyvisible --name "About" | tail -1 || true)
[ -n "$about_window" ] && xdotool windowfocus --sync "$about_window" key Escape
click 500 400
xdotool key ctrl+shift+r && shoot remote-devices

stop_desk

# --- The large venue: 64 speakers at 1920 x 1080 ------------------------------------------------
if [ -x "$bin/tarnfleet" ] && [ -x "$bin/write_large_venue" ]; then
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  pids=()
  screen_pid=
  start_screen 1920x1080
  start_simulator TX20A 100000000
  "$bin/tarnfleet" 63 100000001 >"$work/fleet.log" 2>&1 &
  pids+=($!)
  "$bin/write_large_venue" "$HOME" >/dev/null
  size=1920x1080
  start_desk 1920 1080
  wait_for_speakers 64
  dinvoke "$(entry_of "Arena Tour")loadVenue"
  xdotool mousemove 1000 1060
  settle=3 shoot large-venue
  dset /roomdesk/SpeakerNetwork/100000000/editSpeakerProps 1
  settle=2 shoot large-venue-speaker
  # FIT: every group of the room in view.
  click 1276 1051
  shoot large-venue-fit
else
  fail "tarnfleet and write_large_venue are missing (./run shot builds them)"
fi

# Every picture is there and none is blank; the guide shows each of them.
for name in "${pictures[@]}"; do
  [ -s "$out/$name.png" ] || fail "$name.png was not written"
done
bash "$top/tests/roomdesk/check_guide_pictures.sh" "$top/docs/guide.md" "$0" "$out"
echo "shot.sh: ${#pictures[@]} pictures in $out"
