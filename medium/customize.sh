#!/bin/bash
# Runs on the build machine as mmdebstrap's customize hook, with the medium's
# root folder as $1: lays out the medium's own files and settings.
# Environment from scripts/build-medium.sh:
#   SV_MEDIUM_RECIPE    this folder
#   SV_MEDIUM_DEBS      folder with the .deb files to install (the tool's, and
#                       the suite's unless rehearsing)
#   SV_MEDIUM_STANDINS  folder with the built stand-ins (rehearsal), or empty
#   SV_MEDIUM_SCENARIO  the stand-ins' scenario file (rehearsal)
set -euo pipefail
root="$1"
recipe="$SV_MEDIUM_RECIPE"
in_root() { chroot "$root" "$@"; }

# The packages built here (the tool's, the suite's): their dependencies came
# with the root, so dpkg installs them without fetching anything and fails
# if one is missing.
mkdir -p "$root/tmp/sv-debs"
cp "$SV_MEDIUM_DEBS"/*.deb "$root/tmp/sv-debs/"
debs=()
for d in "$root"/tmp/sv-debs/*.deb; do debs+=("/tmp/sv-debs/$(basename "$d")"); done
in_root env DEBIAN_FRONTEND=noninteractive dpkg -i "${debs[@]}"
rm -rf "$root/tmp/sv-debs"

# Settings and the session.
cp -a "$recipe/rootfs/." "$root/"
if [ -n "${SV_MEDIUM_STANDINS:-}" ]; then
  cp -a "$recipe/rehearsal/." "$root/"
  install -d -m 0755 "$root/opt/sarvelin/bin" "$root/opt/sarvelin/etc" "$root/opt/sarvelin/log" "$root/opt/sarvelin/standins"
  install -d -m 0700 "$root/opt/sarvelin/keys"
  for prog in sarvelin_client sv_keyclientd sv_archives svfd; do
    install -m 0755 "$SV_MEDIUM_STANDINS/$prog/$prog" "$root/opt/sarvelin/bin/$prog"
  done
  install -m 0644 "$SV_MEDIUM_SCENARIO" "$root/opt/sarvelin/standins/scenario.ini"
  in_root systemctl enable sarvelin-rehearsal.service sarvelin-evidence.service
fi

# The medium's name (a file: Debian's os-release is a link into /usr).
rm -f "$root/etc/os-release"
cat > "$root/etc/os-release" <<'OSR'
PRETTY_NAME="Sarvelin key"
NAME="Sarvelin key"
ID=sarvelin
ID_LIKE=debian
VERSION_ID="12"
OSR
echo "127.0.1.1 sarvelin-key" >> "$root/etc/hosts"

# A machine id made at each boot: the file is empty in the image.
: > "$root/etc/machine-id"
mkdir -p "$root/var/lib/dbus"
ln -sf /etc/machine-id "$root/var/lib/dbus/machine-id"

# Services: the session on tty1, a shell on tty2,
# DHCP, volume groups activated once udev has settled.
# getty@tty1 runs only when the session is switched off (its drop-in).
in_root systemctl enable sarvelin-session.service sarvelin-vgchange.service \
  systemd-networkd.service systemd-resolved.service getty@tty1.service getty@tty2.service
# Nothing touches the machine's disks at boot: no swap, no file system
# checks, scrubs or trims, no first-boot questions, no waiting for a network.
in_root systemctl mask swap.target systemd-networkd-wait-online.service systemd-firstboot.service serial-getty@ttyS0.service \
  e2scrub_all.timer e2scrub_reap.service fstrim.timer xfs_scrub_all.timer \
  apt-daily.timer apt-daily-upgrade.timer
: > "$root/etc/fstab"
# live-boot writes an ifupdown file there, though networkd does the work.
mkdir -p "$root/etc/network"
ln -sf /run/systemd/resolve/stub-resolv.conf "$root/etc/resolv.conf"

# Lean image: drivers a rescue console does not need (sound, cameras and TV,
# wireless, Bluetooth, InfiniBand, staging); documentation.
for kdir in "$root"/usr/lib/modules/*; do
  [ -d "$kdir/kernel" ] || continue
  rm -rf "$kdir/kernel/sound" "$kdir/kernel/drivers/media" "$kdir/kernel/drivers/net/wireless" \
    "$kdir/kernel/drivers/infiniband" "$kdir/kernel/drivers/bluetooth" "$kdir/kernel/net/bluetooth" \
    "$kdir/kernel/drivers/staging" "$kdir/kernel/net/mac80211" "$kdir/kernel/net/wireless" \
    "$kdir/kernel/drivers/iio"
  in_root depmod -a "$(basename "$kdir")"
done
rm -rf "$root"/usr/share/doc/* "$root"/usr/share/man/* "$root"/usr/share/info/*
