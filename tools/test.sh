#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the Win32-free logic
# natively under AddressSanitizer and UBSan, then the Windows programs' tests under Wine
# on a private Xvfb display, then the 64-bit camera filter's in a 64-bit Wine prefix.
# Usage: tools/test.sh [extra ctest arguments, e.g. -R FrameChannel]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

"$here/setup.sh"

jobs=$(nproc)
echo "== native build (sanitizers)"
cmake -S "$plumora_repo" -B "$plumora_build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$plumora_build/native" -j "$jobs"
echo "== native tests"
ctest --test-dir "$plumora_build/native" --output-on-failure -j "$jobs" "$@"
# A few seconds of libFuzzer on the parsers of what Plumora reads from disk.
"$here/fuzz.sh"

"$here/build.sh"

# Sound plays into a device that discards it; tests that need no device at all say so.
export PLUMORA_WINE_SOUND=${PLUMORA_WINE_SOUND:-null}

if plumora_host_runs_32bit_code; then
  echo "== Windows tests under Wine"
  (
    source "$here/wine-session.sh"
    plumora_start_wine_session
    ctest --test-dir "$plumora_build/win32" --output-on-failure "$@"
  )
  echo "== 64-bit camera filter in a 64-bit Wine prefix"
  # A session of its own: another prefix needs another wineserver.
  (
    export PLUMORA_WINEARCH=win64
    source "$here/env.sh"
    source "$here/wine-session.sh"
    plumora_start_wine_session
    ctest --test-dir "$plumora_build/win64" --output-on-failure "$@"
  )
else
  cat <<'EOT'
== NOTE: this machine cannot execute 32-bit code (its kernel refuses 32-bit executables),
== so the 32-bit build cannot run here. The same Windows tests, built for 64-bit Windows
== (build/win64-program), run in the 64-bit Wine prefix instead, followed by the 64-bit
== camera filter's own tests; its two tests that start 32-bit programs in that prefix (the
== 32-bit clients, the 32-bit regsvr32) cannot run.
EOT
  # Each tree in a session of its own, as where the 32-bit tree runs.
  (
    export PLUMORA_WINEARCH=win64
    source "$here/env.sh"
    source "$here/wine-session.sh"
    plumora_start_wine_session
    echo "== Windows tests (64-bit build) under Wine"
    ctest --test-dir "$plumora_build/win64-program" --output-on-failure "$@"
  )
  (
    export PLUMORA_WINEARCH=win64
    source "$here/env.sh"
    source "$here/wine-session.sh"
    plumora_start_wine_session
    echo "== 64-bit camera filter in a 64-bit Wine prefix"
    ctest --test-dir "$plumora_build/win64" --output-on-failure \
      -E '32-bit-clients|EachBitnessRegistersInItsOwnRegistryView' "$@"
  )
fi
