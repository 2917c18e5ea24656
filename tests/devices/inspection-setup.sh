# Simulated disks for the inspection tests, sourced inside sv-sandbox (the
# medium functions of sandbox/lib/medium.sh are loaded). Writes the UUIDs the
# tests need to /tmp/.sv-devices/medium.env.
if [ "${SV_SANDBOX_INSIDE:-}" != 1 ]; then
  echo "inspection-setup.sh: only inside sandbox/sv-sandbox" >&2
  return 2 2>/dev/null || exit 2
fi
work=/tmp/.sv-devices
mkdir -p "$work"
t="$work/trees"
rm -rf "$t"; mkdir -p "$t"

# Stubs in front of the medium's tools: lsblk answers from a prepared file
# when the test lays one; umount fails once when the test lays umount.fail-once.
wrap() {
  cp "$1" "$work/${1##*/}.real"
  printf '%s\n' '#!/bin/sh' "$2" "exec $work/${1##*/}.real \"\$@\"" > "$1"
  chmod 0755 "$1"
}
wrap /usr/bin/lsblk 'if [ -f /tmp/.sv-devices/lsblk.fixture ]; then cat /tmp/.sv-devices/lsblk.fixture; exit 0; fi'
wrap /usr/bin/umount 'if [ -f /tmp/.sv-devices/umount.fail-once ]; then rm -f /tmp/.sv-devices/umount.fail-once; echo "umount: target is busy." >&2; exit 32; fi'

ROOT=$(sv_new_uuid); BOOT=$(sv_new_uuid); SWAP=$(sv_new_uuid)
PLAIN=$(sv_new_uuid); NAMEONLY=$(sv_new_uuid); NOCONF=$(sv_new_uuid)
BADFSTAB=$(sv_new_uuid); MISSING=$(sv_new_uuid); HOSTILE=$(sv_new_uuid)

# sda: a complete installed system, its /boot, swap and an LVM volume group.
printf 'UUID=%s\t/\text4\terrors=remount-ro\t0\t1\nLABEL=boot  /boot  ext4  defaults  0  2\n' "$ROOT" > "$t/fstab.root"
sv_tree_root "$t/root" --hostname web01 --pretty "Installed Linux 7 (inside)" --fstab "$t/fstab.root"
sv_tree_boot "$t/boot"
sv_disk sda "ext4:24:uuid=$ROOT:label=rootfs:tree=$t/root" \
            "ext4:16:uuid=$BOOT:label=boot:tree=$t/boot" \
            "swap:8:uuid=$SWAP" \
            "lvm:8:vg=vg_data:lvs=home/ext4,srv/xfs"

# sdb: os-release and hostname variants, and a system without the client.
sv_tree_root "$t/plain" --hostname "plain01 " --os-release-file --root-uuid "$PLAIN"
printf '%s\n' 'NAME=Plain Linux' 'PRETTY_NAME=Plain Linux 3 "test"' 'PRETTY_NAME="second"' > "$t/plain/etc/os-release"
sv_tree_root "$t/nameonly" --hostname nameonly --os-release-file --root-uuid "$NAMEONLY"
printf '%s\n' 'NAME="Only Name Linux"' 'NAME=again' 'ID=only' > "$t/nameonly/etc/os-release"
sv_tree_root "$t/noconf" --hostname noconf --pretty "No Client Linux" --root-uuid "$NOCONF" --no-config
sv_disk sdb "ext4:16:uuid=$PLAIN:tree=$t/plain" "ext4:16:uuid=$NAMEONLY:tree=$t/nameonly" \
            "ext4:16:uuid=$NOCONF:tree=$t/noconf"

# sdc: a system whose fstab names a missing disk.
printf 'UUID=%s / ext4 errors=remount-ro 0 1\nUUID=%s /srv ext4 defaults 0 2\n' "$BADFSTAB" "$MISSING" > "$t/fstab.bad"
sv_tree_root "$t/badfstab" --hostname bad01 --fstab "$t/fstab.bad"
mkdir -p "$t/badfstab/srv"
sv_disk sdc "ext4:16:uuid=$BADFSTAB:tree=$t/badfstab"

# sdd: a hostile installed system, partitions without a file system, and a
# system without an fstab.
{
  echo "UUID=$HOSTILE / ext4 defaults 0 1"
  echo '/dev/sdd1;touch${IFS}/tmp/.sv-devices/pwned-semicolon /x ext4 defaults 0 2'
  echo '$(touch${IFS}/tmp/.sv-devices/pwned-dollar) /srv ext4 defaults 0 2'
  echo '`touch${IFS}/tmp/.sv-devices/pwned-backquote` /var ext4 defaults 0 2'
  echo '/dev/sdd1|touch${IFS}/tmp/.sv-devices/pwned-pipe /home ext4 defaults 0 2'
  echo '/dev/sdd2 /$(touch${IFS}/tmp/.sv-devices/pwned-mountpoint) ext4 defaults 0 2'
} > "$t/fstab.hostile"
sv_tree_root "$t/hostile" --hostname 'web$(touch /tmp/.sv-devices/pwned-hostname);`touch /tmp/.sv-devices/pwned-hostq`|x' \
  --fstab "$t/fstab.hostile"
mkdir -p "$t/hostile/srv" "$t/hostile/x"
sv_tree_root "$t/nofstab" --hostname nofstab01 --root-uuid "$(sv_new_uuid)"
rm -f "$t/nofstab/etc/fstab"
sv_disk sdd "ext4:16:uuid=$HOSTILE:tree=$t/hostile" "none:8" "none:8" \
            "ext4:16:tree=$t/nofstab"

# sde: a system whose fstab names sda1 as its root. sdf and sdg: clones
# sharing one UUID; /dev/disk/by-uuid names sdf1. sdg's fstab names its
# root by device, sdf's by the shared UUID.
OTHER=$(sv_new_uuid); CLONE=$(sv_new_uuid)
printf 'UUID=%s / ext4 defaults 0 1\n' "$ROOT" > "$t/fstab.other"
sv_tree_root "$t/other" --hostname other01 --fstab "$t/fstab.other"
sv_disk sde "ext4:16:uuid=$OTHER:tree=$t/other"
printf '/dev/sdg1 / ext4 defaults 0 1\n' > "$t/fstab.cloneb"
sv_tree_root "$t/clonea" --hostname clone-a --root-uuid "$CLONE"
sv_tree_root "$t/cloneb" --hostname clone-b --fstab "$t/fstab.cloneb"
sv_disk sdf "ext4:16:uuid=$CLONE:tree=$t/clonea"
sv_disk sdg "ext4:16:uuid=$CLONE:tree=$t/cloneb"
ln -sfn ../../sdf1 "/dev/disk/by-uuid/$CLONE"

printf 'ROOT=%s\nCLONE=%s\nMISSING=%s\n' "$ROOT" "$CLONE" "$MISSING" > "$work/medium.env"
