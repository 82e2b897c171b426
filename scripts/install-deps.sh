#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need,
# skipping those that are already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  clang libclang-rt-14-dev
  libsqlite3-dev libicu-dev
  libmecab-dev mecab-ipadic-utf8 mecab-ipadic mecab-jumandic-utf8 enamdict skkdic-extra
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n libgl-dev libx11-dev
  fonts-ipafont-gothic
  xvfb xauth imagemagick dbus at-spi2-core
  desktop-file-utils appstream lintian poppler-utils man-db dpkg-dev fakeroot file
  python3-vobject
  acl strace  # setfacl for the save tests' ACLs; strace injects system call faults
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
