#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine. Figures vary with the machine; compare runs
# made on the same one.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

"$here/setup.sh"
"$here/build.sh" >/dev/null
source "$here/wine-session.sh"
plumora_start_wine_session

echo "== frame channel: WriteFrame against a memcpy into a view mapped once"
"$here/wine.sh" "$plumora_build/win32/bin/frame_channel_bench.exe" | tr -d '\r'

echo "== AVI movie writer: CAviMovieWriter against WriteFile of the same bytes"
"$here/wine.sh" "$plumora_build/win32/bin/avi_movie_writer_bench.exe" | tr -d '\r'
