#!/usr/bin/env bash
# Everything a fresh Debian 12 machine needs before the first build, done idempotently:
# packages (as root), log4cplus cross-built for Windows, the project's Wine prefix.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

"$here/install-packages.sh"
"$here/build-log4cplus.sh" "$plumora_build/deps/log4cplus"
"$here/make-prefix.sh"
