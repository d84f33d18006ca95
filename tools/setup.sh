#!/usr/bin/env bash
# Everything a fresh Debian 12 machine needs before the first build, done idempotently:
# packages (as root), log4cplus cross-built for Windows, the project's Wine prefix.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

"$here/install-packages.sh"
"$here/build-log4cplus.sh" "$plumora_build/deps/log4cplus"
if plumora_host_runs_32bit_code; then
  "$here/make-prefix.sh"
else
  # Only 64-bit Windows programs run here: the program's tests are built for 64-bit too.
  "$here/build-log4cplus.sh" "$plumora_build/deps/log4cplus64" mingw-x86_64.cmake
  PLUMORA_WINEARCH=win64 "$here/make-prefix.sh"
fi
