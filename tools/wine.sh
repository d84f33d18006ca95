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

"$here/make-prefix.sh"
plumora_use_wine_locale

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
