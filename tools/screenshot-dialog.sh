#!/usr/bin/env bash
# Saves a picture of one of the program's dialogs, frame included, as a user sees it in a
# Wine virtual desktop, and checks that it shows a whole dialog.
# Usage: tools/screenshot-dialog.sh BIN_DIR OUTPUT.png settings|help|about|moviemaker|moviesettings
# Runs inside a Wine session (tools/test.sh starts one; tools/wine.sh otherwise).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$1 out=$2 name=$3

windows_path() { WINEDEBUG=-all wine winepath -w "$1" 2>/dev/null; }
source "$here/env.sh"
plumora_use_wine_locale
rm -f "$out"
mkdir -p "$(dirname "$out")"
"$here/wine.sh" explorer /desktop=Plumora,1024x768 "$bin/dialog-shot.exe" \
  "$(windows_path "$out")" "$name"

# A whole dialog: frame, caption and controls, so more than a few colours.
python3 - "$here" "$out" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
import art
width, height, rows = art.read_png(sys.argv[2])
colours = {bytes(row[i:i + 3]) for row in rows for i in range(0, len(row), 4)}
if width < 250 or height < 120 or len(colours) < 20:
    sys.exit(f"{sys.argv[2]}: {width}x{height} with {len(colours)} colours is not a whole dialog")
print(f"{width}x{height}, {len(colours)} colours")
PY
echo "saved $out"
