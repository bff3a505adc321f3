#!/bin/sh
# Installs the Debian packages the build and the tests need, only when some are missing.
set -e
PKGS="build-essential cmake pkg-config qtbase5-dev libqt5serialport5-dev qttools5-dev qttools5-dev-tools \
libqwt-qt5-dev libxlsxwriter-dev libbenchmark-dev xvfb xauth python3 python3-openpyxl \
dpkg-dev desktop-file-utils fonts-liberation qttranslations5-l10n"
missing=""
for p in $PKGS; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "Installing:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
