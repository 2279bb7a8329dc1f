#!/usr/bin/env bash
# Installs everything the build, the programs and the tests need on Debian 12.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
    build-essential cmake ninja-build pkg-config \
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n \
    libsqlite3-dev sqlite3 zlib1g-dev libtinyxml2-dev libgcab-dev gcab cabextract \
    libgtest-dev libgmock-dev googletest \
    desktop-file-utils dpkg-dev lintian libxml2-utils shared-mime-info libglib2.0-bin xdg-utils \
    fonts-wqy-zenhei fontconfig poppler-utils \
    cups cups-client cups-daemon cups-filters ghostscript printer-driver-cups-pdf \
    xvfb xauth libxtst-dev ccache imagemagick \
    >/dev/null
# The fill-in window asks the X server for detectable auto-repeat (xcb-xkb); the input
# method test runs a private session bus and fcitx5 with its pinyin engine.
$SUDO apt-get install -y -qq --no-install-recommends \
    libxcb-xkb-dev fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6 dbus \
    >/dev/null
