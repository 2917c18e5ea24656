#!/bin/sh
# PID 1 of the boot test's disk-making guest (see make-disks.sh):
#   /dev/vda helper root, /dev/vdb disk 1, /dev/vdc disk 2,
#   /dev/vdd the installed system as a tar (read-only).
# Prints "SV-DISKS-KEY=value" lines and "SV-DISKS-DONE" on the console, then
# powers off. Any failure powers off without the DONE line.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
exec > /dev/ttyS0 2>&1
set -eu

off() { sync; echo o > /proc/sysrq-trigger; sleep 30; }
trap 'echo "SV-DISKS-FAILED at line $LINENO"; off' EXIT

mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sysfs /sys
mountpoint -q /dev || mount -t devtmpfs devtmpfs /dev
mountpoint -q /run || mount -t tmpfs tmpfs /run
mount -o remount,rw /
. /sv-disks.env

/lib/systemd/systemd-udevd --daemon
udevadm trigger --action=add
udevadm settle --timeout=60


# Disk 1: BIOS boot, /boot, LVM (root + swap of vg_web01).
sfdisk -q /dev/vdb <<'EOF'
label: gpt
size=1MiB, type=21686148-6449-6E6F-744E-656564454649, name="bios"
size=300MiB, type=0FC63DAF-8483-4772-8E79-3D69D8477DE4, name="boot"
type=E6D6D379-F507-44C2-A23C-238F2A3DF928, name="lvm"
EOF
# Disk 2: one LVM partition of vg_nvme.
sfdisk -q /dev/vdc <<'EOF'
label: gpt
type=E6D6D379-F507-44C2-A23C-238F2A3DF928, name="nvme-lvm"
EOF
udevadm settle --timeout=60

pvcreate -q -ff -y /dev/vdb3
vgcreate -q vg_web01 /dev/vdb3
lvcreate -q -y -L 2600M -n root vg_web01
lvcreate -q -y -L 256M -n swap vg_web01
pvcreate -q -ff -y /dev/vdc1
vgcreate -q vg_nvme /dev/vdc1
lvcreate -q -y -L 400M -n data vg_nvme
lvcreate -q -y -L 200M -n logs vg_nvme
udevadm settle --timeout=60

mke2fs -q -F -t ext4 -U "$BOOT_UUID" -L boot /dev/vdb2
mke2fs -q -F -t ext4 -U "$ROOT_UUID" -L root /dev/vg_web01/root
mkswap -U "$SWAP_UUID" /dev/vg_web01/swap >/dev/null
mke2fs -q -F -t ext4 -L data /dev/vg_nvme/data
mke2fs -q -F -t ext4 -L logs /dev/vg_nvme/logs

mkdir -p /target
mount /dev/vg_web01/root /target
mkdir -p /target/boot
mount /dev/vdb2 /target/boot
tar -C /target --numeric-owner -xpf /dev/vdd
# What the boot test relies on: the kernel on /boot, the client's secrets.
ls /target/boot/vmlinuz-* >/dev/null
test "$(stat -c %a:%s /target/opt/sarvelin/keys/master-key)" = 600:32
test "$(stat -c %a /target/opt/sarvelin/etc/config.file)" = 600
grep -q '^UUID=' /target/etc/fstab && grep -q '^/dev/mapper/vg_web01-root ' /target/etc/fstab
# The installed system's LVM knows its own group (as after an installer).
vgcfgbackup -q -f /target/etc/lvm/backup/vg_web01 vg_web01 || true
mkdir -p /mnt/d && mount /dev/vg_nvme/data /mnt/d
echo "data of the machine the disk came from" > /mnt/d/old.txt
umount /mnt/d
sync
umount /target/boot
umount /target
vgchange -q -an vg_web01 vg_nvme

echo "SV-DISKS-PV1_UUID=$(pvs --noheadings -o pv_uuid /dev/vdb3 | tr -d ' ')"
echo "SV-DISKS-PV2_UUID=$(pvs --noheadings -o pv_uuid /dev/vdc1 | tr -d ' ')"
echo "SV-DISKS-VG1=vg_web01"
echo "SV-DISKS-VG2=vg_nvme"
echo "SV-DISKS-DONE"
trap - EXIT
off
