# Shared settings of the project's scripts; sourced, not run.
# Paths: build/win32 (cross build), build/native (native build with sanitizers),
# build/deps (cross-built libraries), build/dist (what ships), build/wineprefix; for the
# 64-bit camera filter build/win64 and build/wineprefix64.
plumora_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
plumora_build=${PLUMORA_BUILD_DIR:-$plumora_repo/build}

# PLUMORA_WINEARCH=win64 selects a 64-bit prefix (build/wineprefix64) instead, where the
# 64-bit camera filter is tested.
export WINEARCH=${PLUMORA_WINEARCH:-win32}
if [ "$WINEARCH" = win64 ]; then
  export WINEPREFIX=${PLUMORA_WINEPREFIX:-$plumora_build/wineprefix64}
else
  export WINEPREFIX=${PLUMORA_WINEPREFIX:-$plumora_build/wineprefix}
fi
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts; the program needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine takes its code pages from the locale: zh_CN gives code page 936 for the program's
# 8-bit text, as on its users' machines. Only Windows programs run with it (tools/wine.sh).
plumora_use_wine_locale() {
  export LANG=${PLUMORA_WINE_LANG:-zh_CN.UTF-8}
  export LC_ALL=$LANG
}

# Some hosts run 64-bit user code only: the kernel refuses every 32-bit executable, Wine's
# 32-bit loader among them, so no 32-bit Windows program can run there (tools/test.sh then
# runs the program's tests built for 64-bit Windows instead).
plumora_host_runs_32bit_code() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}
if [ "$WINEARCH" = win64 ] && [ -x /usr/lib/wine/wine64 ] && ! plumora_host_runs_32bit_code; then
  case ":$PATH:" in
    *":$plumora_repo/tools/wine64-loader:"*) ;;
    *) export PATH="$plumora_repo/tools/wine64-loader:$PATH" ;;
  esac
fi
