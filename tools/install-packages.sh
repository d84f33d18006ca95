#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Plumora need.
# Idempotent: when everything is already installed it returns without touching apt.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  echo "install-packages.sh must run as root (it installs Debian packages)" >&2
  exit 1
fi

host_packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xauth x11-utils imagemagick
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  ffmpeg fonts-wqy-microhei fonts-wine fonts-liberation locales
  cmake ninja-build g++ googletest dpkg-dev
  clang libclang-rt-14-dev
  librsvg2-bin
  nsis
)
# Wine's 32-bit side, the 32-bit GStreamer plugins it decodes media with, and the 32-bit
# OpenGL (Mesa) and X libraries that its Direct3D, and so the video renderers, draw with.
i386_packages=(
  wine32:i386 libwine:i386
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 gstreamer1.0-libav:i386
  libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386 libosmesa6:i386
  libxcomposite1:i386 libxcursor1:i386 libxi6:i386 libxinerama1:i386 libxrandr2:i386
  libxxf86vm1:i386
)

# Installed packages as "name" (architecture all) or "name:arch", one per line.
host_arch=$(dpkg --print-architecture)
installed=$(dpkg-query -W -f='${binary:Package} ${Status}\n' 2>/dev/null |
  awk '$NF == "installed" { print $1 }')
is_installed() { grep -qxF -e "$1" <<<"$installed"; }
missing=()
for p in "${host_packages[@]}"; do
  is_installed "$p" || is_installed "$p:$host_arch" || missing+=("$p")
done
for p in "${i386_packages[@]}"; do
  is_installed "$p" || missing+=("$p")
done

export DEBIAN_FRONTEND=noninteractive

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt_opts=(-y -qq --no-install-recommends)
  if ! apt-get install "${apt_opts[@]}" "${missing[@]}"; then
    # When one architecture's index lags behind (a mirror mid-sync), Multi-Arch "same"
    # libraries end up with different versions per architecture. Pinning the release
    # itself gives both architectures the same version.
    prefs=$(mktemp)
    printf 'Package: *\nPin: release n=bookworm,l=Debian\nPin-Priority: 1001\n' >"$prefs"
    apt-get install "${apt_opts[@]}" --allow-downgrades \
      -o Dir::Etc::Preferences="$prefs" "${missing[@]}"
    rm -f "$prefs"
  fi
fi

# zh_CN.UTF-8 gives Wine the code page 936 of the program's users.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
