# Sourced by the long checks of the built program (tools/soak.sh, tools/kill-check.sh):
# which build of the program runs here, a Wine prefix of their own, and an installed copy
# of Plumora whose playlist holds three short test videos. Needs env.sh sourced first.

# The program's build that runs on this machine: the 64-bit one where no 32-bit code runs
# (or with PLUMORA_PROGRAM_64=1), the 32-bit one elsewhere. Sets plumora_program_tree (the
# build tree, whose bin/ holds the tools), plumora_program_dist (the shipped folder) and
# plumora_camera_dll (the camera filter of the program's bitness there), and the Wine
# prefix: a prefix of the checks' own unless PLUMORA_WINEPREFIX names one, so that ending
# their session ends nothing else.
plumora_pick_program_build() {
  if ! plumora_host_runs_32bit_code || [ "${PLUMORA_PROGRAM_64:-0}" = 1 ]; then
    export PLUMORA_WINEARCH=win64
    plumora_program_tree="$plumora_build/win64-program"
    plumora_program_dist="$plumora_build/dist64"
    plumora_camera_dll="$plumora_program_dist/PlumoraVirtualCamera64.dll"
    export PLUMORA_WINEPREFIX=${PLUMORA_WINEPREFIX:-$plumora_build/long-run-wineprefix64}
  else
    export PLUMORA_WINEARCH=win32
    plumora_program_tree="$plumora_build/win32"
    plumora_program_dist="$plumora_build/dist"
    plumora_camera_dll="$plumora_program_dist/PlumoraVirtualCamera32.dll"
    export PLUMORA_WINEPREFIX=${PLUMORA_WINEPREFIX:-$plumora_build/long-run-wineprefix}
  fi
  source "$plumora_repo/tools/env.sh"
}

# plumora_require_built FILE...: each file must be there, or the check says to build first.
plumora_require_built() {
  local file
  for file in "$@"; do
    if [ ! -f "$file" ]; then
      echo "$file is missing: build first (tools/build.sh; on this machine it builds" \
        "$(basename "$plumora_program_tree"))" >&2
      exit 2
    fi
  done
}

# The Windows path of a file, as Wine's programs see it.
plumora_windows_path() {
  wine winepath -w "$1" 2>/dev/null | tr -d '\r'
}

# plumora_install_copy FOLDER: a copy of the shipped folder in FOLDER (as an installer
# leaves it: no config.ini, no log) whose chapters.dat lists three short test videos, made
# in the build tree's media folder when missing. Runs inside a Wine session.
plumora_install_copy() {
  local folder=$1 media="$plumora_program_tree/media" name line playlist=()
  "$plumora_repo/tools/make-test-media.sh" "$media"
  mkdir -p "$(dirname "$folder")"
  cp -r "$plumora_program_dist" "$folder"
  rm -f "$folder/config.ini" "$folder"/Plumora.log*
  # Plumora's own format: one path a line, CR LF between lines and none after the last.
  for name in raw.avi mjpeg.avi small.avi; do
    line=$(plumora_windows_path "$media/$name")
    [ -n "$line" ] || { echo "no Windows path for $media/$name" >&2; return 1; }
    # Written as it stands: right in every code page only in ASCII.
    if LC_ALL=C grep -q '[^ -~]' <<<"$line"; then
      echo "the test videos' path $line is not plain ASCII; the playlist cannot hold it here" >&2
      return 1
    fi
    playlist+=("$line")
  done
  (IFS=$'\n'; printf '%s' "${playlist[*]}") | sed 's/$/\r/; $ s/\r$//' >"$folder/chapters.dat"
}
