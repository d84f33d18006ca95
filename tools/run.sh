#!/usr/bin/env bash
# Builds Plumora and shows the frame channel at work under Wine: one process writes a
# moving test picture into the channel, a second one reads it as the virtual camera
# would and reports the frames it saw, their size, and the last one as a PNG picture.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

"$here/setup.sh"
"$here/build.sh" >/dev/null

bin="$plumora_build/win32/bin"
picture="$plumora_build/channel-last-frame.png"
rm -f "$picture"

source "$here/wine-session.sh"
plumora_start_wine_session

echo "== writing a moving test picture into the frame channel for 5 seconds"
"$here/wine.sh" "$bin/channel-reader.exe" --watch 7 --png "$(winepath -w "$picture")" \
  >"$plumora_build/channel-reader.out" 2>&1 &
reader=$!
"$here/wine.sh" "$bin/channel-writer.exe" --seconds 5 --size 640x480 --fps 30 | tr -d '\r'
status=0
wait "$reader" || status=$?
echo "== what a reader in another process saw"
tr -d '\r' <"$plumora_build/channel-reader.out"
[ -f "$picture" ] && echo "last frame: $picture"
exit "$status"
