#!/usr/bin/env bash
# Saves a picture of the main window playing the sample video, frame included, as a user
# sees it in a Wine virtual desktop, and checks that it shows a whole window.
# Usage: tools/screenshot-mainwindow.sh BIN_DIR OUTPUT.png VIDEO...
# Runs inside a Wine session (tools/test.sh starts one; tools/wine.sh otherwise).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$1 out=$2
shift 2

windows_path() { WINEDEBUG=-all wine winepath -w "$1" 2>/dev/null; }
source "$here/env.sh"
plumora_use_wine_locale
videos=()
for video in "$@"; do videos+=("$(windows_path "$video")"); done
rm -f "$out"
mkdir -p "$(dirname "$out")"
"$here/wine.sh" explorer /desktop=Plumora,1000x720 "$bin/mainwindow-shot.exe" \
  "$(windows_path "$out")" "${videos[@]}"

# A whole window: the dialog with its frame, and more than one colour in it.
python3 - "$here" "$out" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
import art
width, height, rows = art.read_png(sys.argv[2])
colours = {bytes(row[i:i + 3]) for row in rows for i in range(0, len(row), 4)}
if width < 600 or height < 450 or len(colours) < 50:
    sys.exit(f"{sys.argv[2]}: {width}x{height} with {len(colours)} colours is not the main window")
print(f"{width}x{height}, {len(colours)} colours")
PY
echo "saved $out"
