#!/usr/bin/env bash
# Contact sheet of the program's pictures for reviewing them by eye (not part of the build).
# Usage: tools/art-sheet.sh [OUT.png [SCALE]]   (default /tmp/art-sheet.png, scale 1)
# Rows on the dialog grey: toolbar pictures at 48, 30 and 20 px, then the 48 px files
# shrunk to 20 px as a button draws them; the icon at 16, 24, 32, 48 px; on white, the
# list bitmaps as the list shows them (black masked out).
set -euo pipefail
out=${1:-/tmp/art-sheet.png}
scale=${2:-1}
here=$(cd "$(dirname "$0")" && pwd)
art="$here/../src/resources/art"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$here/make-art.sh" "$work/Image" "$work/resources"
mapfile -t names < <(grep -v -e '^#' -e '^[[:space:]]*$' "$art/images.txt")
rows=()
for size in 48 30 20; do
  files=()
  for name in "${names[@]}"; do
    if [ "$size" = 48 ]; then
      files+=("$work/Image/$name.png")
    else
      rsvg-convert -w "$size" -h "$size" -o "$work/$name-$size.png" "$art/$name.svg"
      files+=("$work/$name-$size.png")
    fi
  done
  rows+=("F0F0F0:$size:$(IFS=,; echo "${files[*]}")")
done
files=()
for name in "${names[@]}"; do
  convert "$work/Image/$name.png" -filter Triangle -resize 20x20 "PNG32:$work/$name-20s.png"
  files+=("$work/$name-20s.png")
done
rows+=("F0F0F0:20:$(IFS=,; echo "${files[*]}")")
for size in 16 24 32 48; do
  svg=Plumora.svg
  [ "$size" -le 24 ] && svg=Plumora-small.svg
  rsvg-convert -w "$size" -h "$size" -o "$work/icon$size.png" "$art/$svg"
  rows+=("F0F0F0:$size:$work/icon$size.png")
done
rows+=("FFFFFF:32:$work/resources/ListEntry.bmp,$work/resources/ListPlaying.bmp")
python3 "$here/art.py" sheet "$out" "$scale" "${rows[@]}"
echo "$out"
