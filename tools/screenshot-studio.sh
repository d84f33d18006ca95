#!/usr/bin/env bash
# Saves a picture of the camera studio showing our virtual camera while the sample video
# plays into it from another process, and checks that the preview frame shows a picture.
# The camera is registered for the picture and removed again.
# Usage: tools/screenshot-studio.sh BIN_DIR OUTPUT.png VIDEO
# Runs inside a Wine session (tools/test.sh starts one; tools/wine.sh otherwise).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$1 out=$2 video=$3

windows_path() { WINEDEBUG=-all wine winepath -w "$1" 2>/dev/null; }
source "$here/env.sh"
plumora_use_wine_locale
dll=$(ls "$bin"/PlumoraVirtualCamera*.dll | head -1)
"$here/wine.sh" regsvr32 /s "$(windows_path "$dll")"
player=
cleanup() {
  [ -n "$player" ] && kill "$player" 2>/dev/null || true
  "$here/wine.sh" regsvr32 /s /u "$(windows_path "$dll")" || true
}
trap cleanup EXIT

rm -f "$out"
mkdir -p "$(dirname "$out")"
"$here/wine.sh" "$bin/play-to-camera.exe" "$(windows_path "$video")" --seconds 20 \
  >/dev/null 2>&1 &
player=$!
"$here/wine.sh" explorer /desktop=Plumora,800x640 "$bin/dialog-shot.exe" \
  "$(windows_path "$out")" camera

# A whole dialog, and in its black-framed preview area (dialog units 37,46 338x206 at the
# font's scale, about the middle third of the picture) a picture of many colours rather
# than the dialog's plain background.
python3 - "$here" "$out" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
import art
width, height, rows = art.read_png(sys.argv[2])
colours = {bytes(row[i:i + 3]) for row in rows for i in range(0, len(row), 4)}
if width < 500 or height < 400 or len(colours) < 20:
    sys.exit(f"{sys.argv[2]}: {width}x{height} with {len(colours)} colours is not a whole dialog")
middle = {bytes(rows[y][x * 4:x * 4 + 3])
          for y in range(height * 3 // 10, height * 6 // 10, 2)
          for x in range(width * 3 // 10, width * 7 // 10, 2)}
if len(middle) < 50:
    sys.exit(f"{sys.argv[2]}: the preview area shows {len(middle)} colours, no camera picture")
print(f"{width}x{height}, {len(colours)} colours, {len(middle)} in the preview area")
PY
echo "saved $out"
