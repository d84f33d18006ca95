#!/usr/bin/env bash
# Builds Plumora and starts it under Wine from the shipped folder (build/dist), as a user
# starts it: it plays its playlist, at first the bundled sample video, into the virtual
# camera at once.
#
# With an X display, Plumora opens in a Wine virtual desktop on it (window frames and the
# tray included) and runs until you quit it through its tray icon ("退出系统"). Without
# one, it runs for PLUMORA_RUN_SECONDS (default 12) on a private Xvfb and the script saves
# a picture of the screen. Either way a second process reads the camera's shared memory
# as the virtual camera does and reports what it saw.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

"$here/setup.sh"
"$here/build.sh" >/dev/null

dist="$plumora_build/dist"
bin="$plumora_build/win32/bin"
frame_png="$plumora_build/camera-last-frame.png"
screen_png="$plumora_build/run-screen.png"
rm -f "$frame_png" "$screen_png"

interactive=${DISPLAY:+yes}
source "$here/wine-session.sh"
plumora_start_wine_session --use-display
seconds=${PLUMORA_RUN_SECONDS:-12}

echo "== starting Plumora from $dist (display $DISPLAY)"
cd "$dist"
"$here/wine.sh" explorer /desktop=Plumora,1024x720 Plumora.exe >"$plumora_build/plumora.out" 2>&1 &
plumora=$!

# What the camera sees in its first seconds, read from another process.
"$here/wine.sh" "$bin/channel-reader.exe" --watch "$seconds" --png "$(winepath -w "$frame_png")" \
  >"$plumora_build/channel-reader.out" 2>&1 || true
[ -z "$interactive" ] && { import -display "$DISPLAY" -window root "$screen_png" 2>/dev/null || true; }

echo "== what the virtual camera saw in ${seconds} seconds, read from another process"
tr -d '\r' <"$plumora_build/channel-reader.out"
[ -f "$frame_png" ] && echo "camera picture: $frame_png"
[ -f "$screen_png" ] && echo "screen: $screen_png"
echo "A chat program sees this picture through the \"Virtual Camera\" filter (see README)."

if [ -n "$interactive" ]; then
  echo "Plumora goes on running in the \"Plumora\" window on your display. Quit it with its"
  echo "tray icon (bottom right of the Wine desktop): right click, \"退出系统\"."
  wait "$plumora" || true
else
  # Nobody is there to confirm the exit: end the session's programs.
  wineserver -k >/dev/null 2>&1 || true
fi
