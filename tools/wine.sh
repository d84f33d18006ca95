#!/usr/bin/env bash
# Runs a Windows program in the project's Wine prefix with the project's Wine settings.
# Usage: tools/wine.sh PROGRAM [ARGS...]
# Without an X display it runs the program under a private Xvfb.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

if [ $# -eq 0 ]; then
  echo "usage: tools/wine.sh PROGRAM [ARGS...]" >&2
  exit 2
fi

if [ "$WINEARCH" = win32 ] && ! plumora_host_runs_32bit_code; then
  echo "tools/wine.sh: this machine cannot execute 32-bit code (its kernel refuses 32-bit" \
    "executables), so Wine's 32-bit prefix cannot run here; PLUMORA_WINEARCH=win64 runs" \
    "64-bit programs" >&2
  exit 1
fi
"$here/make-prefix.sh"
plumora_use_wine_locale

# PLUMORA_WINE_SOUND: unset plays on the machine's sound device; "null" gives Wine an
# ALSA device that takes sound and discards it (tests on machines without sound cards);
# "none" leaves Wine without any sound device.
case "${PLUMORA_WINE_SOUND:-}" in
  null)
    # ALSA reads ~/.asoundrc: a home of its own for Wine's programs, holding only that.
    export HOME="$plumora_build/null-sound-home"
    if [ ! -f "$HOME/.asoundrc" ]; then
      mkdir -p "$HOME"
      printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
    fi
    ;;
  none) export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv=;winepulse.drv=" ;;
esac

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
