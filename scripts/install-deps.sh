#!/usr/bin/env bash
# Installs every Debian 12 package the project needs to build, test and run.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
  # Qt 5.15
  qtbase5-dev qtdeclarative5-dev qtdeclarative5-dev-tools qtquickcontrols2-5-dev
  qttools5-dev qttools5-dev-tools qttranslations5-l10n libqt5svg5 libqt5svg5-dev qtbase5-private-dev
  qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-layouts
  qml-module-qtquick-controls qml-module-qtquick-controls2 qml-module-qtquick-templates2
  qml-module-qtquick-dialogs qml-module-qtquick-privatewidgets qml-module-qtqml-models2
  qml-module-qtgraphicaleffects qml-module-qt-labs-folderlistmodel qml-module-qt-labs-settings
  qml-module-qttest
  # Boost 1.74 and libcrypt
  libboost1.74-dev libboost-date-time1.74-dev libboost-serialization1.74-dev
  libboost-filesystem1.74-dev libboost-system1.74-dev libcrypt-dev
  # headless display, screenshots, fonts
  xvfb xauth x11-utils xdotool imagemagick libgl1-mesa-dri fonts-dejavu-core
  # the accessibility check: the AT-SPI bus and its Python client
  at-spi2-core python3-pyatspi dbus
  # simulated rescue medium: namespaces, loop devices, file systems
  util-linux mount e2fsprogs xfsprogs dosfstools procps
  # the Debian package: building, checking, installing it in the sandbox
  dpkg-dev fakeroot lintian file libxcb1-dev
  # the rescue medium (scripts/build-medium.sh): root, squashfs, hybrid ISO,
  # BIOS GRUB, the EFI image
  mmdebstrap squashfs-tools xorriso grub-pc-bin grub-common mtools
  # the rescue medium's boot tests: virtual machines (BIOS, UEFI, Secure Boot),
  # the installed system on their disks, the driver and its screen reader
  qemu-system-x86 qemu-utils ovmf python3 tesseract-ocr tesseract-ocr-eng tesseract-ocr-rus
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
