#!/usr/bin/env bash
# Builds Plumora and plays the bundled sample video into the virtual camera under Wine:
# the video shows in a window (on your X display, or on a private Xvfb when there is
# none), and a second process reads the camera's shared memory as the virtual camera
# does and reports the frames it saw, their size, and the last one as a PNG picture.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

"$here/setup.sh"
"$here/build.sh" >/dev/null

bin="$plumora_build/win32/bin"
sample="$plumora_build/dist/video/示例影音文件(使用时可以删除).avi"
frame_png="$plumora_build/camera-last-frame.png"
screen_png="$plumora_build/run-screen.png"
rm -f "$frame_png" "$screen_png"

source "$here/wine-session.sh"
plumora_start_wine_session --use-display
echo "== playing the sample video into the camera for 8 seconds (display $DISPLAY)"

"$here/wine.sh" "$bin/channel-reader.exe" --watch 10 --png "$(winepath -w "$frame_png")" \
  >"$plumora_build/channel-reader.out" 2>&1 &
reader=$!
( sleep 4 && import -display "$DISPLAY" -window root "$screen_png" 2>/dev/null ) &
screenshot=$!
"$here/wine.sh" "$bin/play-to-camera.exe" "$(winepath -w "$sample")" --seconds 8 2>/dev/null |
  tr -d '\r'
status=0
wait "$reader" || status=$?
wait "$screenshot" || true
echo "== what the virtual camera sees, read from another process"
tr -d '\r' <"$plumora_build/channel-reader.out"
[ -f "$frame_png" ] && echo "camera picture: $frame_png"
[ -f "$screen_png" ] && echo "screen: $screen_png"
exit "$status"
