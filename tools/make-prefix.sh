#!/usr/bin/env bash
# Creates the project's 32-bit Wine prefix (idempotent): a fresh win32 prefix whose
# dialog fonts link to WenQuanYi Micro Hei, so that Chinese captions show as text.
set -euo pipefail
source "$(dirname "$0")/env.sh"

# Bump when the prefix set-up below changes, so that existing prefixes are remade.
prefix_version=1
marker="$WINEPREFIX/.plumora-prefix-$prefix_version"
[ -f "$marker" ] && exit 0

plumora_use_wine_locale
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
wine wineboot -i >/dev/null 2>&1
wineserver -w

fontlink='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "SimSun"; do
  wine reg add "$fontlink" /v "$face" /t REG_MULTI_SZ \
    /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1
done
wineserver -w
touch "$marker"
