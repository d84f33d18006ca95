#!/usr/bin/env bash
# Kills Plumora at random moments while it saves its playlist and its settings, TIMES
# times, and checks that every next start runs and finds chapters.dat and config.ini as
# before or as after the save under way, never damaged (devtools/KillCheck.cpp does the
# driving and the checks). Prints a line per kill, how many kills landed during a save,
# and a verdict; exit code 0 when every check held.
#
# Usage: tools/kill-check.sh [TIMES [SEED]]   (TIMES 100 by default; SEED repeats a run)
#
# Expects a build (tools/build.sh) and builds nothing. Runs Plumora from an installed copy
# in a temporary folder (kept when a check fails), in a Wine prefix and session of its own,
# and leaves no process behind.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
source "$here/long-run.sh"

times=${1:-100}
seed=${2:-}
if ! [[ "$times" =~ ^[1-9][0-9]*$ ]] || { [ -n "$seed" ] && ! [[ "$seed" =~ ^[0-9]+$ ]]; }; then
  echo "usage: tools/kill-check.sh [TIMES [SEED]]  (TIMES a positive number, default 100)" >&2
  exit 2
fi

plumora_pick_program_build
bin="$plumora_program_tree/bin"
plumora_require_built "$plumora_program_dist/Plumora.exe" "$bin/kill-check.exe"
export PLUMORA_WINE_SOUND=${PLUMORA_WINE_SOUND:-null}

source "$here/wine-session.sh"
plumora_start_wine_session
work=$(mktemp -d /tmp/plumora-kill-check.XXXXXX)
finish() {
  local status=$?
  plumora_stop_wine_session
  if [ "$status" = 0 ]; then rm -rf "$work"; else echo "kept for a look: $work" >&2; fi
}
trap finish EXIT

folder="$work/安装 Plumora"
plumora_install_copy "$folder"
started=$(date +%s)
# In a Wine desktop of its own: on a display without a window manager, Wine waits 2 s for
# every top-level window it hides (docs/wine-notes.md), and each settings dialog would
# take that long to close. The desktop's explorer does not hand on the program's exit
# code: the verdict line tells.
"$here/wine.sh" explorer /desktop=KillCheck,1024x768 "$bin/kill-check.exe" \
  "$(plumora_windows_path "$folder")" "$times" $seed </dev/null |
  tr -d '\r' | tee "$work/kill-check.out"
echo "took $(($(date +%s) - started)) s"
grep -q '^verdict: every start ran' "$work/kill-check.out"
