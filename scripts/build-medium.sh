#!/usr/bin/env bash
# Builds the rescue medium: a hybrid ISO image that boots from a CD or, written
# to a USB key, from the key; on BIOS and UEFI machines, with Secure Boot
# through Debian's signed shim, GRUB and kernel.
#
#   scripts/build-medium.sh [--rehearsal] [--cache DIR] [--build DIR] OUTPUT.iso
#
# The root is Debian 12 made by mmdebstrap from this machine's configured apt
# sources; the recipe (package lists, session, settings) is in medium/.
# The tool's Debian package is built here (cmake + cpack -G DEB) and
# installed into the root.
#
#   --rehearsal   the project's stand-ins play the suite's programs, with the
#                 default scenario (sandbox/scenarios/default.ini); the medium
#                 says so in its journal at boot
#   --cache DIR   downloaded packages and package lists (default: SV_MEDIUM_CACHE,
#                 else BUILD/medium-cache); a second build downloads nothing
#   --build DIR   the project's build folder (default: SV_BUILD_DIR, else build/)
#
# Environment:
#   SV_SUITE_DEBS       folder with the suite's own Debian packages (local
#                       client, key client daemon, sv_archives, svfd); needed
#                       unless --rehearsal
#   SV_MEDIUM_REFRESH=1 fetch fresh package lists even if the cache has some
#   SV_MEDIUM_LABEL     the ISO's volume label (default SARVELIN_KEY)
#   SV_APT_TIMEOUT      seconds before an unanswered package source fails (default 30)
#   SV_MEDIUM_SOURCES   a sources.list file (one-line or deb822) to build the
#                       root from instead of this machine's configured sources,
#                       e.g. a local mirror
set -euo pipefail

root_dir="$(cd "$(dirname "$0")/.." && pwd)"
recipe="$root_dir/medium"
rehearsal=0
cache="${SV_MEDIUM_CACHE:-}"
build="${SV_BUILD_DIR:-$root_dir/build}"
output=""
label="${SV_MEDIUM_LABEL:-SARVELIN_KEY}"
apt_timeout="${SV_APT_TIMEOUT:-30}"

usage() { sed -n '2,/^set -euo/p' "$0" | sed -e '/^set -euo/d' -e 's/^# \{0,1\}//' >&2; exit 2; }
die() { echo "build-medium: $*" >&2; exit 1; }
step() { echo "build-medium: [$(date +%T)] $*"; }

while [ $# -gt 0 ]; do
  case "$1" in
    --rehearsal) rehearsal=1 ;;
    --cache) [ $# -ge 2 ] || usage; cache="$2"; shift ;;
    --build) [ $# -ge 2 ] || usage; build="$2"; shift ;;
    -h|--help) usage ;;
    -*) echo "build-medium: unknown option $1" >&2; usage ;;
    *) [ -z "$output" ] || usage; output="$1" ;;
  esac
  shift
done
[ -n "$output" ] || usage
[ "$(id -u)" -eq 0 ] || die "must run as root (mmdebstrap builds the root as root)"
for tool in mmdebstrap mksquashfs xorriso grub-mkimage mkfs.vfat mcopy cmake cpack apt-get dpkg-deb; do
  command -v "$tool" >/dev/null || die "$tool is missing: run scripts/install-deps.sh"
done
[ -f /usr/lib/grub/i386-pc/boot_hybrid.img ] || die "grub-pc-bin is missing: run scripts/install-deps.sh"

mkdir -p "$build"
build="$(cd "$build" && pwd)"
cache="${cache:-$build/medium-cache}"
mkdir -p "$cache/archives" "$cache/lists" "$cache/boot"
cache="$(cd "$cache" && pwd)"
output="$(readlink -f "$output")"
mkdir -p "$(dirname "$output")"

sources=()
if [ -n "${SV_MEDIUM_SOURCES:-}" ]; then
  [ -f "$SV_MEDIUM_SOURCES" ] || die "SV_MEDIUM_SOURCES: no such file: $SV_MEDIUM_SOURCES"
  sources=("$(readlink -f "$SV_MEDIUM_SOURCES")")
fi
suite_debs=""
if [ "$rehearsal" -eq 0 ]; then
  [ -n "${SV_SUITE_DEBS:-}" ] || die "SV_SUITE_DEBS is not set: give the folder with the suite's Debian packages (local client, key client daemon, sv_archives, svfd), or build a rehearsal medium with --rehearsal"
  suite_debs="$(readlink -f "$SV_SUITE_DEBS")"
  compgen -G "$suite_debs/*.deb" >/dev/null || die "no .deb file in SV_SUITE_DEBS ($SV_SUITE_DEBS)"
fi

work="$(mktemp -d "$build/medium-work.XXXXXX")"
# SV_MEDIUM_KEEP_WORK=1 keeps the work folder (root, ISO tree) for a look.
cleanup() { if [ "${SV_MEDIUM_KEEP_WORK:-0}" = 1 ]; then echo "build-medium: work folder kept: $work"; else rm -rf "$work"; fi; }
trap cleanup EXIT
started=$(date +%s)

# --- the tool's package (and the stand-ins for a rehearsal) -------------------
step "building the tool's Debian package in $build"
cmake -S "$root_dir" -B "$build" -G Ninja >/dev/null
targets=(svkey2 sv_package_changelog)
[ "$rehearsal" -eq 1 ] && targets+=(sarvelin_client sv_keyclientd sv_archives svfd)
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
rm -f "$build"/package/sarvelin-key_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
mkdir -p "$work/debs"
cp "$build"/package/sarvelin-key_*.deb "$work/debs/" || die "cpack made no package"
[ -n "$suite_debs" ] && cp "$suite_debs"/*.deb "$work/debs/"

# --- what the root holds -------------------------------------------------------
packages=()
while read -r p; do packages+=("$p"); done < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$recipe/packages.list")
# The local packages' dependencies are installed with the root, so that
# installing the packages themselves fetches nothing (first of alternatives,
# versions left to apt).
local_names=()
for d in "$work"/debs/*.deb; do local_names+=("$(dpkg-deb -f "$d" Package)"); done
for d in "$work"/debs/*.deb; do
  for field in Depends Pre-Depends Recommends; do
    dpkg-deb -f "$d" "$field" | tr ',' '\n' | sed -e 's/|.*//' -e 's/(.*)//' -e 's/:any//' -e 's/[[:space:]]//g' \
      | while read -r dep; do if [ -n "$dep" ]; then echo "$dep"; fi; done
  done
done | sort -u > "$work/deps"
while read -r dep; do
  printf '%s\n' "${local_names[@]}" | grep -qx "$dep" || packages+=("$dep")
done < "$work/deps"
# The stand-ins' shared libraries, by the packages of this machine that hold them.
if [ "$rehearsal" -eq 1 ]; then
  for prog in sarvelin_client sv_keyclientd sv_archives svfd; do
    f="$build/standins/$prog/$prog"
    [ -x "$f" ] || die "stand-in $prog was not built ($f)"
    ldd "$f" | awk '/=> \//{print $3}'
  done | sort -u | while read -r lib; do
    dpkg -S "$(readlink -f "$lib")" 2>/dev/null || dpkg -S "$lib" 2>/dev/null || true
  done | sed 's/:.*//' | sed 's/:amd64$//' | sort -u > "$work/standin-deps"
  while read -r dep; do packages+=("$dep"); done < "$work/standin-deps"
fi
include="$(printf '%s\n' "${packages[@]}" | sort -u | paste -sd, -)"

# --- the root: mmdebstrap from this machine's apt sources ----------------------
apt_opts=(
  --aptopt="Acquire::http::Timeout \"$apt_timeout\""
  --aptopt="Acquire::https::Timeout \"$apt_timeout\""
  --aptopt='Acquire::Retries "1"'
  --aptopt='APT::Update::Error-Mode "any"'
)
# Each build downloads once: the package lists and the packages are kept in
# the cache; with lists for the same package set there, apt is not asked to
# update them.
stamp="$( { printf '%s\n' "$include"; [ ${#sources[@]} -eq 0 ] || cat "${sources[@]}"; } | sha256sum | cut -c1-16)"
skip_update=()
if [ "${SV_MEDIUM_REFRESH:-0}" != 1 ] && [ -f "$cache/lists.stamp" ] && [ "$(cat "$cache/lists.stamp")" = "$stamp" ] \
   && compgen -G "$cache/lists/*_Packages*" >/dev/null; then
  skip_update=(--skip=update --setup-hook="mkdir -p \"\$1\"/var/lib/apt/lists" --setup-hook="sync-in '$cache/lists' /var/lib/apt/lists")
  step "package lists from the cache ($cache)"
fi

export SV_MEDIUM_RECIPE="$recipe" SV_MEDIUM_DEBS="$work/debs"
export SV_MEDIUM_STANDINS="" SV_MEDIUM_SCENARIO=""
if [ "$rehearsal" -eq 1 ]; then
  SV_MEDIUM_STANDINS="$build/standins"
  SV_MEDIUM_SCENARIO="$root_dir/sandbox/scenarios/default.ini"
fi

rm -rf "$cache/lists.new"; mkdir -p "$cache/lists.new"
step "making the root with mmdebstrap ($(wc -w <<<"${include//,/ }") packages asked for)"
rootfs="$work/root"
rc=0
timeout 3600 mmdebstrap --variant=minbase --mode=root --skip=essential/unlink \
  "${apt_opts[@]}" \
  --dpkgopt=force-unsafe-io \
  --dpkgopt='path-exclude=/usr/share/man/*' --dpkgopt='path-exclude=/usr/share/info/*' \
  --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-include=/usr/share/doc/*/copyright' \
  --include="$include" \
  "${skip_update[@]}" \
  --setup-hook='mkdir -p "$1"/var/cache/apt/archives' \
  --setup-hook="sync-in '$cache/archives' /var/cache/apt/archives" \
  --customize-hook="sync-out /var/cache/apt/archives '$cache/archives'" \
  --customize-hook="sync-out /var/lib/apt/lists '$cache/lists.new'" \
  --customize-hook="$recipe/customize.sh \"\$1\"" \
  bookworm "$rootfs" "${sources[@]}" > "$work/mmdebstrap.log" 2>&1 || rc=$?
if [ "$rc" -ne 0 ]; then
  tail -n 25 "$work/mmdebstrap.log" >&2
  if [ "$rc" -eq 124 ]; then
    die "mmdebstrap did not finish within an hour: is the package source slow or unreachable?"
  fi
  if grep -qiE "Could not (resolve|connect)|Failed to fetch|Connection timed out|Temporary failure|Unable to connect|did not find any indices|Some index files failed" "$work/mmdebstrap.log"; then
    where="configured on this machine (/etc/apt/sources.list, /etc/apt/sources.list.d/)"
    [ ${#sources[@]} -eq 0 ] || where="in $SV_MEDIUM_SOURCES"
    die "the package sources $where cannot be reached; check the network or the sources (see the lines above)"
  fi
  die "mmdebstrap failed (exit code $rc; see the lines above)"
fi
if [ -d "$cache/lists.new" ]; then
  rm -rf "$cache/lists"; mv "$cache/lists.new" "$cache/lists"; echo "$stamp" > "$cache/lists.stamp"
fi
rm -f "$cache/archives/lock"; rm -rf "$cache/archives/partial"

# --- the signed boot loaders ---------------------------------------------------
step "fetching Debian's signed shim and GRUB"
boot_pkgs=()
while read -r p; do boot_pkgs+=("$p"); done < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$recipe/boot.list")
mkdir -p "$work/bootpkg"
for p in "${boot_pkgs[@]}"; do
  if ! compgen -G "$cache/boot/${p}_*.deb" >/dev/null; then
    (cd "$cache/boot" && timeout 600 apt-get -o Acquire::http::Timeout="$apt_timeout" -o Acquire::Retries=1 download "$p") \
      || die "cannot download $p from the configured package sources"
  fi
  for d in "$cache/boot/${p}"_*.deb; do dpkg-deb -x "$d" "$work/bootpkg"; done
done
shim="$work/bootpkg/usr/lib/shim/shimx64.efi.signed"
mokmanager="$work/bootpkg/usr/lib/shim/mmx64.efi.signed"
grub_efi="$work/bootpkg/usr/lib/grub/x86_64-efi-signed/gcdx64.efi.signed"
for f in "$shim" "$mokmanager" "$grub_efi"; do [ -f "$f" ] || die "missing after unpacking: $f"; done

# --- the ISO's tree ------------------------------------------------------------
iso="$work/iso"
mkdir -p "$iso/live" "$iso/boot/grub" "$iso/.disk" "$iso/EFI/BOOT"
kernel="$(ls "$rootfs"/boot/vmlinuz-* | sort -V | tail -n 1)"
initrd="$rootfs/boot/initrd.img-${kernel##*/vmlinuz-}"
[ -f "$initrd" ] || die "no initrd for $kernel"
cp "$kernel" "$iso/live/vmlinuz"
cp "$initrd" "$iso/live/initrd.img"
kind="Sarvelin key"; [ "$rehearsal" -eq 1 ] && kind="Sarvelin key (rehearsal)"
# Debian's signed GRUB finds the medium by this file.
echo "$kind $(date -u +%F)" > "$iso/.disk/info"

cmdline="boot=live live-media=/dev/disk/by-label/$label live-media-timeout=20 nopersistence"
cmdline+=" systemd.gpt_auto=0 systemd.swap=0 console=ttyS0,115200 console=tty0 quiet loglevel=4"
sed -e "s|@LABEL@|$label|g" -e "s|@CMDLINE@|$cmdline|g" "$recipe/grub.cfg" > "$iso/boot/grub/grub.cfg"

step "compressing the root (squashfs, zstd)"
mksquashfs "$rootfs" "$iso/live/filesystem.squashfs" -comp zstd -Xcompression-level 9 -b 1M \
  -noappend -no-progress -wildcards -e 'boot/*' 'proc/*' 'sys/*' 'dev/*' 'run/*' 'tmp/*' > "$work/mksquashfs.log" 2>&1 \
  || { tail -n 20 "$work/mksquashfs.log" >&2; df -h "$iso" >&2; die "mksquashfs failed"; }

# UEFI: shim (signed by Microsoft's key), Debian's signed GRUB and MokManager
# on a FAT image, the ISO's El Torito EFI entry and a GPT partition.
efi_img="$work/efiboot.img"
mkfs.vfat -C -n EFIBOOT "$efi_img" 8192 >/dev/null
mmd -i "$efi_img" ::/EFI ::/EFI/BOOT
mcopy -i "$efi_img" "$shim" ::/EFI/BOOT/BOOTX64.EFI
mcopy -i "$efi_img" "$grub_efi" ::/EFI/BOOT/grubx64.efi
mcopy -i "$efi_img" "$mokmanager" ::/EFI/BOOT/mmx64.efi
mcopy -i "$efi_img" "$iso/boot/grub/grub.cfg" ::/EFI/BOOT/grub.cfg
cp "$shim" "$iso/EFI/BOOT/BOOTX64.EFI"
cp "$grub_efi" "$iso/EFI/BOOT/grubx64.efi"
cp "$mokmanager" "$iso/EFI/BOOT/mmx64.efi"

# BIOS: GRUB's El Torito image, and its hybrid MBR for USB keys.
grub-mkimage -O i386-pc-eltorito -p /boot/grub -o "$iso/boot/grub/bios.img" \
  biosdisk iso9660 part_msdos part_gpt normal search search_label search_fs_file configfile \
  linux echo test ls cat all_video gfxterm

step "writing the ISO image"
xorriso -as mkisofs -r -J -joliet-long -iso-level 3 -V "$label" -o "$output" \
  --grub2-mbr /usr/lib/grub/i386-pc/boot_hybrid.img \
  -partition_offset 16 --mbr-force-bootable \
  -append_partition 2 0xef "$efi_img" -appended_part_as_gpt \
  -c /boot/boot.cat \
  -b /boot/grub/bios.img -no-emul-boot -boot-load-size 4 -boot-info-table --grub2-boot-info \
  -eltorito-alt-boot -e '--interval:appended_partition_2:all::' -no-emul-boot \
  "$iso" 2> "$work/xorriso.log" || { tail -n 20 "$work/xorriso.log" >&2; die "xorriso failed"; }

size=$(du -m "$output" | cut -f1)
step "done: $output (${size} MiB, label $label, $(( $(date +%s) - started )) s)"
[ "$rehearsal" -eq 1 ] && echo "build-medium: rehearsal medium: the suite's programs are stand-ins"
exit 0
