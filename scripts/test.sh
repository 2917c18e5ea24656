#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Usage: sudo scripts/test.sh        (SV_BUILD_DIR overrides the build folder)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${SV_BUILD_DIR:-$root/build}"
jobs="$(nproc)"

cmake -S "$root" -B "$build" -G Ninja
cmake --build "$build" -j"$jobs"

cd "$build"
ctest --output-on-failure -j"$jobs"
