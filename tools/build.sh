#!/usr/bin/env bash
# Cross-builds the Windows programs, their tests and benchmarks into build/win32, and the
# 64-bit camera filter with its tests into build/win64; what ships lands in build/dist.
# On a machine that cannot execute 32-bit code (or with PLUMORA_PROGRAM_64=1) it also builds
# the whole program and its tests for 64-bit Windows into build/win64-program, whose
# shipped folder is build/dist64. Assumes tools/setup.sh has run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

echo "== Windows build"
cmake -S "$plumora_repo" -B "$plumora_build/win32" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$plumora_repo/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$plumora_build/win32" -j "$(nproc)"

echo "== 64-bit camera filter"
cmake -S "$plumora_repo" -B "$plumora_build/win64" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$plumora_repo/cmake/mingw-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$plumora_build/win64" -j "$(nproc)"

if ! plumora_host_runs_32bit_code || [ "${PLUMORA_PROGRAM_64:-0}" = 1 ]; then
  echo "== The program and its tests for 64-bit Windows"
  "$here/build-log4cplus.sh" "$plumora_build/deps/log4cplus64" mingw-x86_64.cmake
  cmake -S "$plumora_repo" -B "$plumora_build/win64-program" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$plumora_repo/cmake/mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLUMORA_PROGRAM_64=ON \
    -DPLUMORA_DIST_DIR="$plumora_build/dist64" >/dev/null
  cmake --build "$plumora_build/win64-program" -j "$(nproc)"
fi

echo "== The installer"
# After every tree: it carries the 32-bit program and both camera filters.
"$here/make-installer.sh" "$plumora_build/dist" "$plumora_build/Plumora-Setup.exe"
if [ -d "$plumora_build/win64-program" ] && [ -f "$plumora_build/dist64/Plumora.exe" ]; then
  # The same installer carrying the 64-bit program, for that tree's tests where 32-bit
  # programs cannot run.
  "$here/make-installer.sh" "$plumora_build/dist64" "$plumora_build/win64-program/Plumora-Setup.exe" \
    "" amd64-unicode
fi
