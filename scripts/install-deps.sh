#!/usr/bin/env bash
# Installs every Debian 12 package needed to build, run and test the program (sudo when not root).
set -euo pipefail

packages=(
  build-essential cmake ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
  libgl1-mesa-dev
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
  firebird3.0-server   # the server-mode test runs its own private server from this package
  xvfb xauth fonts-dejavu-core poppler-utils imagemagick
  xdg-utils
  libxlsxwriter-dev qt6-charts-dev python3-openpyxl   # spreadsheet export, stock chart, reading exports back in tests
  libzip-dev   # the zip container of .xlsx files read by the master-data import
  librsvg2-bin   # scripts/make-icons.sh draws the icon's PNG sizes from the SVG
  clang-format   # scripts/check-format.sh, run by CI
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "All needed packages are installed."
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
else
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${packages[@]}"
