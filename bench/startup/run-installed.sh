#!/usr/bin/env bash
# Start-up of the INSTALLED program: the Debian package is installed with
# dpkg inside the sandbox (never on this machine) and /opt/sarvelin/gui/bin/svkey2
# is timed from process start to its first frame, beside the minimal Qt Quick
# window, under the same conditions as run-startup.sh (offscreen, software
# rendering, a fresh home folder per run, one warm-up run).
#
#   bench/startup/run-installed.sh [BUILD_DIR] [RUNS]
#
# The package is taken from BUILD_DIR/package (built by the package test's
# fixture step, or: cmake -DBUILD=BUILD_DIR -P tests/package/build-package.cmake).
# RUNS (default 7) interleaved rounds; prints the runs, the medians and the
# ratios of the wall-clock time and of the processor time (steadier on a
# shared machine), and the package's size and installed size.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(readlink -f "${1:-$root/build}")"
runs="${2:-7}"

if [ "${SV_SANDBOX_INSIDE:-}" != "1" ]; then
  cmake --build "$build" --target bench_startup_minimal bench_startup_preload >/dev/null
  deb="$(ls "$build"/package/sarvelin-key_*.deb 2>/dev/null | head -1)"
  [ -n "$deb" ] || { echo "no package in $build/package: build it first (see the header)" >&2; exit 1; }
  printf 'package %s: %s bytes, installed size %s KiB\n' "$(basename "$deb")" "$(stat -c %s "$deb")" \
    "$(dpkg-deb -f "$deb" Installed-Size)"
  SV_BINARY_DIR="$build" SV_BENCH_DEB="$deb" SV_BENCH_RUNS="$runs" \
    exec "$root/sandbox/sv-sandbox" -- "$root/bench/startup/run-installed.sh" "$build" "$runs"
fi

# Inside the sandbox.
dpkg -i "$SV_BENCH_DEB" >/dev/null
export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software QT_QPA_OFFSCREEN_NO_GLX=1
scratch="$(mktemp -d)"
preload="$build/bench/startup/libbench_startup_preload.so"

measure() {
  local home line start
  home="$(mktemp -d "$scratch/home.XXXXXX")"
  start="$(date +%s.%N)"
  if [ "$1" = installed ]; then
    line="$(HOME="$home" LD_PRELOAD="$preload" /opt/sarvelin/gui/bin/svkey2 2>/dev/null | grep -m1 '^FIRST_FRAME' || true)"
  else
    line="$(HOME="$home" "$build/bench/startup/bench_startup_minimal" 2>/dev/null | grep -m1 '^FIRST_FRAME' || true)"
  fi
  [ -n "$line" ] || { echo "no first frame from $1" >&2; exit 1; }
  set -- $line
  awk -v s="$start" -v e="$2" -v c="$3" 'BEGIN { printf "%.1f/%.1f\n", (e - s) * 1000, c * 1000 }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure minimal >/dev/null; measure installed >/dev/null
declare -A wall cpu
for _ in $(seq "$runs"); do
  for name in minimal installed; do
    r="$(measure $name)"
    wall[$name]+="${r%/*} "; cpu[$name]+="${r#*/} "
  done
done
printf 'runs, ms to first frame (wall/processor):\n'
for name in minimal installed; do
  printf '  %-10s %s\n' "$name" "$(paste -d/ <(printf '%s\n' ${wall[$name]}) <(printf '%s\n' ${cpu[$name]}) | tr '\n' ' ')"
done
for kind in wall cpu; do
  declare -n t=$kind
  m="$(printf '%s\n' ${t[minimal]} | median)"; i="$(printf '%s\n' ${t[installed]} | median)"
  printf 'median %-4s ms: minimal %s, installed svkey2 %s, ratio %.2f\n' "$kind" "$m" "$i" \
    "$(awk -v a="$i" -v b="$m" 'BEGIN { print a / b }')"
done
