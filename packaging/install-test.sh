#!/usr/bin/env bash
# Installs the Debian package into this machine as a user would, checks what a user meets, and
# removes it again, leaving the machine's packages as they were.
#
#   packaging/install-test.sh BUILD_DIR      makes the .deb from that built tree with cpack (no
#                                            compile) and tests it
#   packaging/install-test.sh PACKAGE.deb    tests a package made before (./run package)
#
# It changes the machine, so it runs only as root and only when allowed: ROOMDESK_INSTALL_TEST=1,
# or a CI service (CI=true, which CI services set). ROOMDESK_INSTALL_TEST=0 forbids it even there.
# A machine that has a roomdesk package installed already is left alone. Otherwise it exits with
# 77 and says why (ctest shows it as skipped).
#
# lintian must report no error and no warning. Its informational tags are accepted:
#   hardening-no-bindnow, hardening-no-fortify-functions  only in the test's package, made from
#                                     the development tree, which is built without Debian's
#                                     hardening flags; ./run package builds with them
#   binary-has-unneeded-section       the .comment section the compiler writes (which compiler)
#   spelling-error-in-binary          false alarms: "adddresses", "usal", "wtH" are pieces of the
#                                     program's texts as the optimiser stores them in overlapping
#                                     words ("addresses", "refusal"), not words of their own
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
skip() {
  echo "SKIPPED: $*"
  exit 77
}
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

[ $# -eq 1 ] || {
  echo "usage: $0 BUILD_DIR | PACKAGE.deb" >&2
  exit 2
}
[ "$(id -u)" -eq 0 ] || skip "installing the package needs root"
case "${ROOMDESK_INSTALL_TEST:-}" in
  1) ;;
  0) skip "ROOMDESK_INSTALL_TEST=0 forbids installing the package here" ;;
  *)
    case "${CI:-}" in
      true | 1) ;;
      *) skip "it installs the package into this machine; ROOMDESK_INSTALL_TEST=1 allows it" ;;
    esac
    ;;
esac
command -v apt-get >/dev/null && command -v dpkg-query >/dev/null || skip "no apt-get here"
if dpkg-query -W -f='${Status}' roomdesk 2>/dev/null | grep -q "install ok installed"; then
  skip "a roomdesk package is installed already; it is left as it is"
fi
for tool in desktop-file-validate:desktop-file-utils appstreamcli:appstream lintian:lintian; do
  command -v "${tool%%:*}" >/dev/null || {
    echo "FAILED: ${tool%%:*} is missing (apt-get install ${tool#*:})" >&2
    exit 1
  }
done

work=$(mktemp -d /tmp/roomdesk-install-test.XXXXXX)
chmod 755 "$work"
before=$work/packages-before
dpkg-query -W -f='${Package}\n' | sort >"$before"
sim_pid=
desk_pid=
lintian_pid=
installed=0

cleanup() {
  local status=$?
  [ -n "$desk_pid" ] && { kill -KILL "$desk_pid" && wait "$desk_pid"; } 2>/dev/null
  [ -n "$sim_pid" ] && { kill -KILL "$sim_pid" && wait "$sim_pid"; } 2>/dev/null
  [ -n "$lintian_pid" ] && wait "$lintian_pid" 2>/dev/null
  if [ "$installed" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -q roomdesk >"$work/remove.log" 2>&1 ||
      fail "apt-get remove roomdesk: $(tail -n 5 "$work/remove.log")"
    # What the install brought along goes too, so the machine's packages are as they were.
    local added
    added=$(dpkg-query -W -f='${Package} ${Status}\n' | awk '/install ok installed/ {print $1}' |
      sort | comm -13 "$before" -)
    if [ -n "$added" ]; then
      # shellcheck disable=SC2086
      DEBIAN_FRONTEND=noninteractive apt-get purge -y -q $added >>"$work/remove.log" 2>&1 ||
        fail "could not remove what the install added: $added"
    fi
    [ ! -e /usr/bin/roomdesk ] || fail "/usr/bin/roomdesk is still there after the removal"
  fi
  rm -rf "$work"
  # A removal that failed fails the test, whatever it found before.
  [ "$failures" -gt 0 ] && [ "$status" -eq 0 ] && exit 1
  exit "$status"
}
trap cleanup EXIT

# The package: made from a built tree, or one made before.
if [ -d "$1" ]; then
  build=$(cd "$1" && pwd)
  [ -f "$build/CPackConfig.cmake" ] || skip "$build holds no configured tree"
  for program in roomdesk tarnsim roomctl; do
    [ -x "$build/bin/$program" ] || skip "$build/bin/$program has not been built"
  done
  if ! cpack --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAILED: cpack could not make the package" >&2
    exit 1
  fi
  deb=$(ls "$work"/cpack/roomdesk_*.deb 2>/dev/null | head -1)
  [ -n "$deb" ] || {
    echo "FAILED: cpack made no roomdesk_*.deb" >&2
    exit 1
  }
else
  [ -f "$1" ] || skip "$1 has not been built (./run package makes it)"
  deb=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
fi
echo "package: $(basename "$deb")"

# lintian reads the file, not the machine: it runs meanwhile.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 &
lintian_pid=$!

# The package as a user installs it: apt takes its dependencies from the archive.
cp "$deb" "$work/" && chmod 644 "$work/$(basename "$deb")"
installed=1
if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  "$work/$(basename "$deb")" >"$work/install.log" 2>&1; then
  tail -n 20 "$work/install.log" >&2
  echo "FAILED: apt-get install" >&2
  exit 1
fi
version=$(dpkg-query -W -f='${Version}' roomdesk)

for file in /usr/bin/roomdesk /usr/bin/tarnsim /usr/bin/roomctl \
  /usr/share/applications/com.vellaris.roomdesk.desktop \
  /usr/share/metainfo/com.vellaris.roomdesk.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/com.vellaris.roomdesk.svg \
  /usr/share/icons/hicolor/48x48/apps/com.vellaris.roomdesk.png \
  /usr/share/icons/hicolor/256x256/apps/com.vellaris.roomdesk.png \
  /usr/share/man/man1/roomdesk.1.gz /usr/share/man/man1/tarnsim.1.gz /usr/share/man/man1/roomctl.1.gz \
  /usr/share/doc/roomdesk/copyright; do
  [ -f "$file" ] || fail "the package does not install $file"
done

# The programs from /usr/bin, as a user starts them, without a display.
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb /usr/bin/roomdesk --version 2>&1) ||
  fail "roomdesk --version: $out"
[ "${out%%$'\n'*}" = "roomdesk $version" ] || fail "roomdesk --version says \"${out%%$'\n'*}\", the package is $version"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb /usr/bin/roomdesk --help 2>&1) ||
  fail "roomdesk --help: $out"
grep -q -- "--osc-port" <<<"$out" || fail "roomdesk --help does not name --osc-port"
out=$(/usr/bin/tarnsim --help 2>&1) || fail "tarnsim --help: $out"
grep -q "usage: tarnsim" <<<"$out" || fail "tarnsim --help: $out"

# The installed simulator is found by the installed roomctl, on this computer only, in a discovery
# scope of this test's own.
export LKNET_LOOPBACK_ONLY=1 LKNET_DISCOVERY_PORT=$((30800 + $$ % 9000))
serial=pkgtest$$
mkdir -p "$work/sim"
APPDATA=$work/sim TARNSIM_SERIAL=$serial /usr/bin/tarnsim TX20A >"$work/sim.log" 2>&1 &
sim_pid=$!
found=0
for _ in 1 2 3 4 5; do
  out=$(/usr/bin/roomctl list --wait 2 2>&1) || true
  grep -q "^$serial	TX20A	" <<<"$out" && {
    found=1
    break
  }
done
[ "$found" = 1 ] || fail "roomctl list did not find the installed tarnsim: $out"

# The installed desk starts (offscreen) with the QML modules the package depends on, and sees the
# simulator: asked over its remote control, on a port of this test's own.
osc_port=$((LKNET_DISCOVERY_PORT + 1))
QT_QPA_PLATFORM=offscreen ROOMDESK_OSC_PORT=$osc_port ROOMDESK_WEB_PORT=0 \
  /usr/bin/roomdesk >"$work/desk.log" 2>&1 &
desk_pid=$!
seen=0
for _ in $(seq 20); do
  out=$(/usr/bin/roomctl desk --port "$osc_port" list /speaker 2>&1) || true
  grep -q "^$serial/" <<<"$out" && {
    seen=1
    break
  }
  kill -0 "$desk_pid" 2>/dev/null || break
  sleep 0.5
done
[ "$seen" = 1 ] || {
  fail "the installed roomdesk did not show the simulator over its remote control: $out"
  cat "$work/desk.log" >&2
}
kill -TERM "$desk_pid" 2>/dev/null
wait "$desk_pid" 2>/dev/null
desk_pid=
# Its state is of no use: no orderly quit (which waits 3 s).
{
  kill -KILL "$sim_pid"
  wait "$sim_pid"
} 2>/dev/null
sim_pid=

desktop-file-validate /usr/share/applications/com.vellaris.roomdesk.desktop ||
  fail "desktop-file-validate"
grep -q "^Name=Ambrel$" /usr/share/applications/com.vellaris.roomdesk.desktop ||
  fail "the desktop entry is not named Ambrel"
appstreamcli validate --no-net /usr/share/metainfo/com.vellaris.roomdesk.metainfo.xml >"$work/appstream.log" 2>&1 || {
  fail "appstreamcli validate:"
  cat "$work/appstream.log" >&2
}
# The metainfo's screenshot is a picture of the repository's docs/.
shot=$(sed -n 's|.*<image>.*/\(docs/[^<]*\)</image>.*|\1|p' /usr/share/metainfo/com.vellaris.roomdesk.metainfo.xml)
[ -n "$shot" ] && [ -f "$here/../$shot" ] || fail "the metainfo's screenshot ${shot:-?} is not in the repository"

wait "$lintian_pid" || {
  fail "lintian:"
  grep -v "running with root privileges" "$work/lintian.log" >&2
}
lintian_pid=

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "installed, checked and removed $(basename "$deb")"
