#!/usr/bin/env bash
# Responsiveness probe of the backup run: builds the probe and the stand-ins,
# then runs one whole backup on the simulated medium (preset "standard", the
# stand-ins' default scenario and the production waits) inside the sandbox,
# and prints the longest gap of the GUI thread's 10 ms timer and the run's
# total time.
#
#   bench/backup_responsiveness/run-probe.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
cmake --build "$build" --target bench_backup_responsiveness sarvelin_client sv_archives sv_keyclientd svfd >/dev/null
SV_SANDBOX_MEDIUM=standard SV_SANDBOX_QUIET=1 SV_BINARY_DIR="$build" \
  "$root/sandbox/sv-sandbox" -- env QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software QT_QPA_OFFSCREEN_NO_GLX=1 \
  "$build/bench/backup_responsiveness/bench_backup_responsiveness"
