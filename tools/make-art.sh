#!/usr/bin/env bash
# Renders the program's pictures from their SVG sources in src/resources/art.
# Usage: tools/make-art.sh IMAGE_DIR RESOURCE_DIR
#   IMAGE_DIR     gets NAME.png (48x48 RGBA) for every NAME in src/resources/art/images.txt
#   RESOURCE_DIR  gets Plumora.ico (16, 24, 32, 48 px DIBs and a 256 px PNG),
#                 ListEntry.bmp and ListPlaying.bmp (32x32, black is the mask colour)
# Every output is checked before it replaces the one from the run before.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: tools/make-art.sh IMAGE_DIR RESOURCE_DIR" >&2
  exit 2
fi
image_dir=$1
resource_dir=$2
here=$(cd "$(dirname "$0")" && pwd)
art=$(cd "$here/../src/resources/art" && pwd)

for tool in rsvg-convert python3; do
  if ! command -v "$tool" >/dev/null; then
    echo "make-art.sh: $tool is missing (tools/install-packages.sh installs it)" >&2
    exit 1
  fi
done
art_py() { python3 "$here/art.py" "$@"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
render() { # SVG SIZE OUT
  rsvg-convert --format=png --width="$2" --height="$2" --output="$3" "$1"
}

# Toolbar pictures.
mapfile -t names < <(grep -v -e '^#' -e '^[[:space:]]*$' "$art/images.txt")
if [ ${#names[@]} -eq 0 ]; then
  echo "make-art.sh: $art/images.txt names no pictures" >&2
  exit 1
fi
mkdir -p "$work/Image"
pngs=()
for name in "${names[@]}"; do
  render "$art/$name.svg" 48 "$work/Image/$name.png"
  pngs+=("$work/Image/$name.png")
done
art_py check-png 48 "${pngs[@]}"

# Program icon: the grid-fitted drawing for the small sizes, the full one above.
mkdir -p "$work/resources"
render "$art/Plumora-small.svg" 16 "$work/icon16.png"
render "$art/Plumora-small.svg" 24 "$work/icon24.png"
for size in 32 48 256; do
  render "$art/Plumora.svg" "$size" "$work/icon$size.png"
done
art_py ico "$work/resources/Plumora.ico" "$work"/icon{16,24,32,48,256}.png
art_py check-ico "$work/resources/Plumora.ico" 16 24 32 48 256

# Playlist row images.
for name in ListEntry ListPlaying; do
  render "$art/$name.svg" 32 "$work/$name.png"
  art_py listbmp "$work/$name.png" "$work/resources/$name.bmp"
done
art_py check-listbmp "$work/resources/ListEntry.bmp" "$work/resources/ListPlaying.bmp"

# Everything checked: put it in place.
mkdir -p "$image_dir" "$resource_dir"
for name in "${names[@]}"; do
  cp -f "$work/Image/$name.png" "$image_dir/$name.png"
done
cp -f "$work/resources/Plumora.ico" "$work/resources/ListEntry.bmp" \
  "$work/resources/ListPlaying.bmp" "$resource_dir/"
