#!/usr/bin/env bash
# Installs the Debian 12 packages Selvane needs to build, run and test, where any is missing.
#   --package   also what building and checking the Debian package needs
set -euo pipefail
packages=(g++ cmake make qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-svg-dev libqt6sql6-sqlite libsqlite3-dev
  qt6-translations-l10n fonts-noto-cjk python3-fonttools xvfb xauth openbox imagemagick poppler-utils sqlite3
  cups cups-client printer-driver-cups-pdf clang-tidy clang-format libsodium-dev zlib1g-dev dbus-daemon
  syncthing)  # a real sync engine for the test that keeps two sync folders in step
if [ "${1:-}" = "--package" ]; then
  # CPack's DEB generator (dpkg-shlibdeps, file, strip) and Debian's checks of a package.
  packages+=(dpkg-dev file binutils lintian desktop-file-utils appstream man-db)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
