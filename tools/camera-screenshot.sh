#!/usr/bin/env bash
# Takes the README's picture of the virtual camera at work: Plumora's sample video played
# into the camera by play-to-camera, and camera-viewer, a DirectShow client in another
# process, showing "Virtual Camera" in front of it, on a Wine desktop of a private Xvfb.
# The camera is registered in the project's prefix for the picture, and removed again.
# Usage: tools/camera-screenshot.sh [OUTPUT.png, default docs/camera-viewer.png]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
out=${1:-$plumora_repo/docs/camera-viewer.png}

"$here/setup.sh"
"$here/build.sh" >/dev/null
export PLUMORA_WINE_SOUND=${PLUMORA_WINE_SOUND:-null}
source "$here/wine-session.sh"
plumora_start_wine_session

bin="$plumora_build/win32/bin"
dll=$(winepath -w "$bin/PlumoraVirtualCamera32.dll")
sample="$plumora_build/dist/video/示例影音文件(使用时可以删除).avi"
"$here/wine.sh" regsvr32 /s "$dll"
trap '"$here/wine.sh" regsvr32 /s /u "$dll"; plumora_stop_wine_session' EXIT

desktop="explorer /desktop=Plumora,1024x640"
"$here/wine.sh" $desktop "$bin/play-to-camera.exe" "$(winepath -w "$sample")" --seconds 10 \
  >/dev/null 2>&1 &
sleep 2
"$here/wine.sh" $desktop "$bin/camera-viewer.exe" --seconds 7 >/dev/null 2>&1 &
sleep 5
mkdir -p "$(dirname "$out")"
# The viewer's window, at the desktop's top left corner. Ending the session ends both.
import -display "$DISPLAY" -window root -crop 667x561+0+0 "$out"
echo "picture: $out"
