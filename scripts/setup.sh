#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Trellvark needs. Idempotent and
# non-interactive; does nothing when everything is already there.
set -euo pipefail
PACKAGES=(
  g++ cmake ninja-build pkg-config ccache clang-format clang-tidy
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc
  libsodium-dev
  libxlsxwriter-dev
  unixodbc odbcinst libodbcinst2 libsqliteodbc
  libgtest-dev googletest
  libbenchmark-dev libpq-dev libsqlite3-dev
  postgresql-15
  xvfb xauth
  libreoffice-calc-nogui libreoffice-writer-nogui fonts-liberation unzip
  qt6-translations-l10n breeze-icon-theme libqt6svg6
  dpkg-dev desktop-file-utils qt6-qpa-plugins libxlsxwriter4 libsodium23
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=; [ "$(id -u)" = 0 ] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
