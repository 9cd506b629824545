#!/usr/bin/env bash
# Checks the desktop entry and the AppStream metainfo as the package installs them, and that the
# metainfo's screenshot is a picture of the repository's docs/. Needs no root and installs nothing;
# exits with 77 (skipped) when desktop-file-utils or appstream is missing.
#   packaging/check-metadata.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
id=com.vellaris.roomdesk
for tool in desktop-file-validate:desktop-file-utils appstreamcli:appstream; do
  command -v "${tool%%:*}" >/dev/null || {
    echo "SKIPPED: ${tool%%:*} is missing (apt-get install ${tool#*:})"
    exit 77
  }
done
status=0
desktop-file-validate "$here/$id.desktop" || status=1
appstreamcli validate --no-net "$build/$id.metainfo.xml" || status=1
shot=$(sed -n 's|.*<image>.*/\(docs/[^<]*\)</image>.*|\1|p' "$build/$id.metainfo.xml")
if [ -z "$shot" ] || [ ! -s "$here/../$shot" ]; then
  echo "the metainfo's screenshot ${shot:-?} is not in the repository" >&2
  status=1
fi
exit $status
