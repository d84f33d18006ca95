#!/usr/bin/env bash
# Builds Plumora's installer with NSIS from installer/Plumora.nsi.
# Usage: tools/make-installer.sh DIST OUTPUT.exe [ICON] [TARGET]
#   DIST: the shipped folder (build/dist); TARGET: NSIS's target, x86-unicode (the
#   default: one installer for 32- and 64-bit Windows) or amd64-unicode.
# The version is the project's, from CMakeLists.txt. Needs makensis (tools/setup.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

if [ $# -lt 2 ]; then
  echo "usage: tools/make-installer.sh DIST OUTPUT.exe [ICON] [TARGET]" >&2
  exit 2
fi
dist=$(cd "$1" && pwd)
output=$2
icon=${3:-}
target=${4:-x86-unicode}
for needed in Plumora.exe PlumoraVirtualCamera64.dll chapters.dat; do
  if [ ! -f "$dist/$needed" ]; then
    echo "tools/make-installer.sh: $dist has no $needed (run tools/build.sh)" >&2
    exit 1
  fi
done
if [ -z "$icon" ]; then
  icon=$(find "$plumora_build/win32/resources" "$plumora_build/win64-program/resources" \
    -name Plumora.ico 2>/dev/null | head -n 1 || true)
fi
version=$(sed -n 's/^project(Plumora VERSION \([0-9.]*\) .*/\1/p' "$plumora_repo/CMakeLists.txt")

# What the uninstaller removes: every shipped file, then every shipped folder, deepest
# first, each only if empty by then. A filter a running program holds goes at restart.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
files="$work/files.nsh"
(
  cd "$dist"
  find . -type f | sed 's|^\./||' | sort | while IFS= read -r file; do
    windows=${file//\//\\}
    case "$file" in
      *.dll) printf 'Delete /REBOOTOK "$INSTDIR\\%s"\n' "$windows" ;;
      *) printf 'Delete "$INSTDIR\\%s"\n' "$windows" ;;
    esac
  done
  find . -mindepth 1 -type d | sed 's|^\./||' | awk '{ print length($0) "\t" $0 }' |
    sort -rn | cut -f2- | while IFS= read -r folder; do
      printf 'RMDir "$INSTDIR\\%s"\n' "${folder//\//\\}"
    done
) >"$files"

mkdir -p "$(dirname "$output")"
makensis -V2 -WX -INPUTCHARSET UTF8 -DVERSION="$version" -DDIST="$dist" -DICON="$icon" \
  -DFILES="$files" -DOUTFILE="$(cd "$(dirname "$output")" && pwd)/$(basename "$output")" \
  -DTARGET="$target" "$plumora_repo/installer/Plumora.nsi"
