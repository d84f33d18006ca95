#!/usr/bin/env bash
# Cross-builds log4cplus from Debian's source package as a static wide-character
# library for i686-w64-mingw32 (or, with a second argument, for the target of another of
# the project's toolchain files). Idempotent: does nothing when the library is there.
# Usage: build-log4cplus.sh INSTALL_DIR [TOOLCHAIN_FILE_NAME]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
prefix=${1:?usage: build-log4cplus.sh INSTALL_DIR [TOOLCHAIN_FILE_NAME]}
toolchain=$repo/cmake/${2:-mingw-i686.cmake}

if [ -f "$prefix/lib/liblog4cplusSU.a" ] && [ -f "$prefix/include/log4cplus/logger.h" ]; then
  exit 0
fi

# Debian's source entries mirror the binary ones already configured.
src_list=/etc/apt/sources.list.d/plumora-deb-src.sources
if ! apt-get source --print-uris log4cplus >/dev/null 2>&1; then
  if [ ! -f "$src_list" ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$src_list"
  fi
  apt-get update -qq
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source -qq log4cplus >/dev/null 2>&1)
src=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name 'log4cplus-*' | head -n 1)
[ -n "$src" ] || { echo "apt-get source log4cplus produced no source tree" >&2; exit 1; }

cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DUNICODE=ON -DBUILD_SHARED_LIBS=OFF \
  -DLOG4CPLUS_BUILD_TESTING=OFF -DLOG4CPLUS_BUILD_LOGGINGSERVER=OFF \
  -DWITH_UNIT_TESTS=OFF -DLOG4CPLUS_ENABLE_DECORATED_LIBRARY_NAME=ON \
  -DLOG4CPLUS_QT4=OFF -DLOG4CPLUS_QT5=OFF >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null
