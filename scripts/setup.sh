#!/usr/bin/env bash
# Installs what the build and the tests need, when it is missing (Debian 12).
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev zlib1g-dev
          libgtest-dev libgmock-dev libbenchmark-dev gettext python3 clang libclang-rt-14-dev
          fonts-dejavu-core qt6-translations-l10n clang-format poppler-utils
          dpkg-dev fakeroot lintian desktop-file-utils appstream shared-mime-info libglib2.0-bin
          man-db bash-completion
          libqt6sql6-sqlite libqt6sql6-psql postgresql
          xvfb openbox x11-utils devscripts)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
