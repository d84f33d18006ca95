# Shared settings of the project's scripts; sourced, not run.
# Paths: build/win32 (cross build), build/native (native build with sanitizers),
# build/deps (cross-built libraries), build/dist (what ships), build/wineprefix.
plumora_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
plumora_build=${PLUMORA_BUILD_DIR:-$plumora_repo/build}

export WINEPREFIX=${PLUMORA_WINEPREFIX:-$plumora_build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts; the program needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine takes its code pages from the locale: zh_CN gives code page 936 for the program's
# 8-bit text, as on its users' machines. Only Windows programs run with it (tools/wine.sh).
plumora_use_wine_locale() {
  export LANG=${PLUMORA_WINE_LANG:-zh_CN.UTF-8}
  export LC_ALL=$LANG
}
