#!/usr/bin/env bash
# Starts four simulated speakers and roomdesk under Xvfb (on loopback, in a discovery scope of
# their own), selects a speaker, and writes screenshots of the main window into shots/ (or
# $SHOT_DIR): the start, the selected speaker, then one picture per inspector tab.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin=${ROOMDESK_BIN:-$top/build/bin}
out=${SHOT_DIR:-$top/shots}
mkdir -p "$out"
work=$(mktemp -d)
export LKNET_LOOPBACK_ONLY=1
export LKNET_DISCOVERY_PORT=$((20000 + $$ % 10000))
export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${KEEP_SHOT_WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for i in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY=$display

if [ -x "$bin/tarnsim" ]; then
  for model in TX10A TX20A TX30A TX40S; do
    mkdir -p "$work/$model"
    APPDATA=$work/$model "$bin/tarnsim" "$model" >"$work/$model.log" 2>&1 &
    pids+=($!)
  done
fi

"$bin/roomdesk" >"$work/roomdesk.log" 2>&1 &
pids+=($!)
sleep 4
import -window root -crop 1024x748+0+0 "$out/main.png"
echo "wrote $out/main.png"

# Select the first speaker of the network browser with a click, as a user would.
if command -v xdotool >/dev/null; then
  xdotool mousemove 120 128 click 1 || true
  sleep 2
  import -window root -crop 1024x748+0+0 "$out/selected.png"
  echo "wrote $out/selected.png"

  # The inspector's tabs (Channel, PEQ, Notch, GEQ, Limiter), 54 px apart. The right column starts
  # at x 724; an equaliser tab widens the inspector over the centre, whose column starts at x 261.
  tab_x() { # tab index, wide
    local left=724
    [ "$2" = wide ] && left=261
    echo $((left + 12 + 54 * $1 + 26))
  }
  shoot_tab() { # name, tab index, layout the tab is clicked in
    xdotool mousemove "$(tab_x "$2" "$3")" 122 click 1 || true
    sleep 1.5
    import -window root -crop 1024x748+0+0 "$out/tab-$1.png"
    echo "wrote $out/tab-$1.png"
  }
  shoot_tab channel 0 narrow
  shoot_tab peq 1 narrow
  shoot_tab notch 2 wide
  shoot_tab geq 3 wide
  shoot_tab limiter 4 wide
fi
