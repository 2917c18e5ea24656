#!/usr/bin/env bash
# Builds the rehearsal rescue medium for the boot tests:
#   build-image.sh SOURCE BUILD OUT   ->  OUT/rehearsal.iso
# Skipped (77) when this tree has no medium recipe.
set -euo pipefail
src="$1"; build="$2"; out="$3"
if [ ! -x "$src/scripts/build-medium.sh" ]; then
  echo "build-image: no scripts/build-medium.sh in $src: boot tests skipped"
  exit 77
fi
mkdir -p "$out"
start=$SECONDS
SV_BUILD_DIR="$build" "$src/scripts/build-medium.sh" --rehearsal "$out/rehearsal.iso"
[ -s "$out/rehearsal.iso" ] || { echo "build-image: no image was written" >&2; exit 1; }
echo "build-image: $(du -m "$out/rehearsal.iso" | cut -f1) MiB in $((SECONDS - start)) s"
