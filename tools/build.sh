#!/usr/bin/env bash
# Cross-builds the Windows programs, their tests and benchmarks into build/win32, and the
# 64-bit camera filter with its tests into build/win64; what ships lands in build/dist.
# Assumes tools/setup.sh has run.
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
