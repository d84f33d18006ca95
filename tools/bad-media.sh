#!/usr/bin/env bash
# The bad-media loop for as long as asked: the real main window and player play a list of
# two good videos, twenty bad files and one whose opening never ends, in loop mode, and the
# test checks that the window kept answering (no gap of 5 s), that every bad entry was
# reported and passed over, that the good ones fed the camera and that chapters.dat was
# left as it was. Files cut short are played by their own test (TruncatedFiles), a process
# each (docs/wine-notes.md).
# Usage: tools/bad-media.sh [MINUTES]   (default 10; expects a build: tools/build.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
minutes=${1:-10}
case $minutes in '' | *[!0-9]*) echo "usage: tools/bad-media.sh [MINUTES]" >&2; exit 4 ;; esac
source "$here/env.sh"
if plumora_host_runs_32bit_code && [ "${PLUMORA_PROGRAM_64:-0}" != 1 ]; then
  tree=$plumora_build/win32
else
  export PLUMORA_WINEARCH=win64
  source "$here/env.sh"
  tree=$plumora_build/win64-program
fi
[ -f "$tree/bin/mainwindow_tests.exe" ] || { echo "no build in $tree: run tools/build.sh" >&2; exit 1; }
export PLUMORA_WINE_SOUND=${PLUMORA_WINE_SOUND:-null}
export PLUMORA_BAD_MEDIA_MINUTES=$minutes
source "$here/wine-session.sh"
plumora_start_wine_session
"$here/make-test-media.sh" "$tree/media" >/dev/null
cd "$tree"
start=$(date +%s)
status=0
"$here/wine.sh" "$tree/bin/mainwindow_tests.exe" --gtest_filter='BadMediaTest.*' || status=$?
echo "== bad-media loop: $(($(date +%s) - start)) s, exit status $status"
exit "$status"
