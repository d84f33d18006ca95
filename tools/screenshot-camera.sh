#!/usr/bin/env bash
# Takes the README's pictures of the virtual camera under Wine, on a Wine desktop of a
# private Xvfb: camera-viewer (a DirectShow client of our own) showing "Virtual Camera"
# before anything plays (camera-card.png), then while play-to-camera plays the sample
# video into the camera from another process (camera-viewer.png). The camera is
# registered in the project's prefix for the pictures, and removed again.
# Usage: tools/screenshot-camera.sh [FOLDER, default docs]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
out=${1:-$plumora_repo/docs}

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
mkdir -p "$out"

desktop="explorer /desktop=Plumora,1024x640"
# The viewer's window, at the desktop's top left corner.
shoot() { import -display "$DISPLAY" -window root -crop 667x561+0+0 "$out/$1"; }

"$here/wine.sh" $desktop "$bin/camera-viewer.exe" --seconds 4 >/dev/null 2>&1 &
sleep 3
shoot camera-card.png
sleep 2

"$here/wine.sh" $desktop "$bin/play-to-camera.exe" "$(winepath -w "$sample")" --seconds 10 \
  >/dev/null 2>&1 &
sleep 2
"$here/wine.sh" $desktop "$bin/camera-viewer.exe" --seconds 7 >/dev/null 2>&1 &
sleep 5
shoot camera-viewer.png
# Ending the session ends the programs.
echo "pictures: $out/camera-card.png $out/camera-viewer.png"
